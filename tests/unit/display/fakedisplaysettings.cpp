#include "fakedisplaysettings.h"

#include <cwchar>

DEVMODEW Mode(int width, int height, int bitsPerPixel, int frequency, LONG x, LONG y) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY | DM_POSITION;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    mode.dmDisplayFrequency = static_cast<DWORD>(frequency);
    mode.dmPosition = {x, y};
    return mode;
}

FakeDisplayDevice& FakeDisplaySettings::Add(const std::wstring& name) {
    devices.push_back({});
    devices.back().name = name;
    return devices.back();
}

FakeDisplayDevice* FakeDisplaySettings::Find(const wchar_t* name) {
    for (auto& device : devices) {
        if (name && _wcsicmp(device.name.c_str(), name) == 0) return &device;
    }
    return nullptr;
}

LONG FakeDisplaySettings::NextResult() {
    if (results.empty()) return defaultResult;
    const LONG result = results.front();
    results.pop_front();
    return result;
}

BOOL FakeDisplaySettings::EnumDisplayDevices(const wchar_t* device, DWORD index, DISPLAY_DEVICEW* info, DWORD) {
    if (device || index >= devices.size() || info->cb != sizeof *info) return FALSE;
    wcsncpy(info->DeviceName, devices[index].name.c_str(), 32);
    info->DeviceName[31] = 0;
    wcsncpy(info->DeviceString, devices[index].description.c_str(), 127);
    info->DeviceString[127] = 0;
    wcsncpy(info->DeviceID, devices[index].deviceId.c_str(), 127);
    info->DeviceID[127] = 0;
    info->StateFlags = devices[index].stateFlags;
    return TRUE;
}

BOOL FakeDisplaySettings::EnumDisplaySettings(const wchar_t* name, DWORD mode, DEVMODEW* record) {
    FakeDisplayDevice* device = Find(name);
    if (mode == ENUM_CURRENT_SETTINGS) {
        currentAsked.push_back(name ? name : L"");
        if (!device || !device->hasCurrent) return FALSE;
        *record = device->current;
        return TRUE;
    }
    modeNumbersAsked.push_back(mode);
    if (!device || mode >= device->modes.size()) return FALSE;
    *record = device->modes[mode];
    return TRUE;
}

LONG FakeDisplaySettings::ChangeDisplaySettings(DEVMODEW* record, DWORD flags) {
    changes.push_back({false, L"", record != nullptr, record ? *record : DEVMODEW{}, flags});
    return NextResult();
}

LONG FakeDisplaySettings::ChangeDisplaySettingsEx(const wchar_t* device, DEVMODEW* record, DWORD flags) {
    changes.push_back({true, device ? device : L"", record != nullptr, record ? *record : DEVMODEW{}, flags});
    return NextResult();
}

int FakeDisplaySettings::GetSystemMetrics(int index) {
    if (index == SM_CXSCREEN) return screenWidth;
    if (index == SM_CYSCREEN) return screenHeight;
    return 0;
}
