// The Win32 display functions the graphics driver calls: the one seam
// between the mode-setting code and the system. The driver takes it at
// construction; RealDisplaySettings() is the system itself.
#pragma once

#include <windows.h>

// The records are the system's own, exchanged with the display functions.
static_assert(sizeof(DEVMODEW) == 220, "display mode record (wide form) is 220 bytes");
static_assert(sizeof(DISPLAY_DEVICEW) == 840, "display device record (wide form) is 840 bytes");

class IDisplaySettings {
public:
    virtual ~IDisplaySettings() = default;
    virtual BOOL EnumDisplayDevices(const wchar_t* device, DWORD index, DISPLAY_DEVICEW* info, DWORD flags) = 0;
    virtual BOOL EnumDisplaySettings(const wchar_t* device, DWORD mode, DEVMODEW* record) = 0;
    virtual LONG ChangeDisplaySettings(DEVMODEW* record, DWORD flags) = 0;
    virtual LONG ChangeDisplaySettingsEx(const wchar_t* device, DEVMODEW* record, DWORD flags) = 0;
    virtual int GetSystemMetrics(int index) = 0;
};

// The process's real display functions (user32).
IDisplaySettings& RealDisplaySettings();
