// The platform calls of the system information that tests must control: the
// kernel-streaming audio devices (device-interface enumeration, opening,
// property requests) and the power status. The real system is the default;
// tests hand in their own.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ISysInfoPlatform {
public:
    virtual ~ISysInfoPlatform() = default;

    // Paths of the present device interfaces of the class, in enumeration order.
    virtual std::vector<std::wstring> ListDeviceInterfaces(const GUID& interfaceClass) = 0;
    // Opens a device for reading and writing with read and write sharing;
    // INVALID_HANDLE_VALUE on failure.
    virtual HANDLE OpenDevice(const wchar_t* path) = 0;
    virtual void CloseDevice(HANDLE device) = 0;
    virtual BOOL ControlDevice(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                               DWORD* returned) = 0;

    // As GetSystemPowerStatus; on failure the system error is set.
    virtual BOOL GetPowerStatus(SYSTEM_POWER_STATUS* status) = 0;
};

// The real system; one instance for the process.
ISysInfoPlatform& SystemSysInfoPlatform();
