// Audio device interfaces with SRS properties, and the power status, in
// memory behind the system information's platform calls. Records every
// property request as text ("get A", "set selection 1") and every open and close.
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

class FakeSystemInfoPlatform {
public:
    FakeSystemInfoPlatform();
    ~FakeSystemInfoPlatform();  // restores the platform
    FakeSystemInfoPlatform(const FakeSystemInfoPlatform&) = delete;
    FakeSystemInfoPlatform& operator=(const FakeSystemInfoPlatform&) = delete;

    // One SRS-capable device interface, effect A selected and on.
    FakeKsDevice& AddSrsDevice(const std::wstring& path = L"\\\\?\\hdaudio#func_01#srs");

    std::vector<FakeKsDevice> devices;
    std::vector<std::string> requests;  // of the device that answered
    std::vector<std::wstring> opened;
    int openHandles = 0;
    GUID listedClass{};

    BOOL powerResult = TRUE;
    BYTE batteryPercent = 80;
    DWORD powerError = 0;

private:
    sysinfo::Platform m_saved;
};
