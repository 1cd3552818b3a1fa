#include "display/displaysettings.h"

namespace {
class Win32DisplaySettings final : public IDisplaySettings {
public:
    BOOL EnumDisplayDevices(const wchar_t* device, DWORD index, DISPLAY_DEVICEW* info, DWORD flags) override {
        return ::EnumDisplayDevicesW(device, index, info, flags);
    }
    BOOL EnumDisplaySettings(const wchar_t* device, DWORD mode, DEVMODEW* record) override {
        return ::EnumDisplaySettingsW(device, mode, record);
    }
    LONG ChangeDisplaySettings(DEVMODEW* record, DWORD flags) override {
        return ::ChangeDisplaySettingsW(record, flags);
    }
    LONG ChangeDisplaySettingsEx(const wchar_t* device, DEVMODEW* record, DWORD flags) override {
        return ::ChangeDisplaySettingsExW(device, record, nullptr, flags, nullptr);
    }
    int GetSystemMetrics(int index) override { return ::GetSystemMetrics(index); }
};
}  // namespace

IDisplaySettings& RealDisplaySettings() {
    static Win32DisplaySettings settings;
    return settings;
}
