// The platform calls of the system information that tests must control: the
// kernel-streaming audio devices (device-interface enumeration, opening,
// property requests) and the power status. The real Win32 calls are the
// default; a test assigns fakes to CurrentPlatform() and restores it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace sysinfo {

struct Platform {
    // Paths of the present device interfaces of the class, in enumeration order.
    std::vector<std::wstring> (*listDeviceInterfaces)(const GUID& interfaceClass);
    // Opens a device for reading and writing with read and write sharing;
    // INVALID_HANDLE_VALUE on failure.
    HANDLE (*openDevice)(const wchar_t* path);
    void (*closeDevice)(HANDLE device);
    BOOL (*deviceIoControl)(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                            DWORD* returned);
    // As GetSystemPowerStatus; on failure the system error is set.
    BOOL(WINAPI* getSystemPowerStatus)(SYSTEM_POWER_STATUS* status);
};

Platform RealPlatform();
// The calls in use; a test may assign to it and must restore it.
Platform& CurrentPlatform();

}  // namespace sysinfo
