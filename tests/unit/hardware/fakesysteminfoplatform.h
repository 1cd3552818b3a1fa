// Audio device interfaces with SRS properties, and the power status, in
// memory behind the system information's platform calls, handed to the
// system information object at construction. Records every property request
// as text ("get A", "set selection 1") and every open and close.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "hardware/sysinfoplatform.h"

struct FakeKsDevice {
    std::wstring path;
    bool opens = true;
    bool answersSrs = true;  // has the SRS property sets
    bool answersSelection = true;
    ULONG selection = 0;
    ULONG effectA = 1;
    ULONG effectB = 0;
};

class FakeSystemInfoPlatform : public ISysInfoPlatform {
public:
    FakeSystemInfoPlatform() = default;
    FakeSystemInfoPlatform(const FakeSystemInfoPlatform&) = delete;
    FakeSystemInfoPlatform& operator=(const FakeSystemInfoPlatform&) = delete;

    // Handles are the device's index + 1.
    std::vector<std::wstring> ListDeviceInterfaces(const GUID& interfaceClass) override;
    HANDLE OpenDevice(const wchar_t* path) override;
    void CloseDevice(HANDLE device) override;
    BOOL ControlDevice(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                       DWORD* returned) override;
    BOOL GetPowerStatus(SYSTEM_POWER_STATUS* status) override;

    // One SRS-capable device interface, effect A selected and on.
    FakeKsDevice& AddSrsDevice(const std::wstring& path = L"\\\\?\\hdaudio#func_01#srs");

    std::vector<FakeKsDevice> devices;
    std::vector<std::string> requests;  // of the device that answered
    // The set requests among them; all requests are forgotten.
    std::vector<std::string> TakeSetRequests();
    std::vector<std::wstring> opened;
    int openHandles = 0;
    GUID listedClass{};

    BOOL powerResult = TRUE;
    BYTE batteryPercent = 80;
    DWORD powerError = 0;

private:
    FakeKsDevice* DeviceOf(HANDLE handle);
};
