// The display functions in memory: display devices in enumeration order,
// each with a current mode and a mode list; scripted results for the
// changes, and a record of every call that reaches the system.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "display/displaysettings.h"

DEVMODEW Mode(int width, int height, int bitsPerPixel = 32, int frequency = 60, LONG x = 0, LONG y = 0);

struct FakeDisplayDevice {
    std::wstring name;
    std::wstring deviceId = L"PCI\\VEN_0000&DEV_0000";
    std::wstring description = L"Fake Adapter";
    DWORD stateFlags = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;
    bool hasCurrent = true;  // the current settings can be read
    DEVMODEW current = Mode(1366, 768);
    std::vector<DEVMODEW> modes;
};

struct RecordedChange {
    bool ex;              // ChangeDisplaySettingsEx (else ChangeDisplaySettings)
    std::wstring device;  // Ex only
    bool hasRecord;
    DEVMODEW record;
    DWORD flags;
};

class FakeDisplaySettings : public IDisplaySettings {
public:
    BOOL EnumDisplayDevices(const wchar_t* device, DWORD index, DISPLAY_DEVICEW* info, DWORD flags) override;
    BOOL EnumDisplaySettings(const wchar_t* device, DWORD mode, DEVMODEW* record) override;
    LONG ChangeDisplaySettings(DEVMODEW* record, DWORD flags) override;
    LONG ChangeDisplaySettingsEx(const wchar_t* device, DEVMODEW* record, DWORD flags) override;
    int GetSystemMetrics(int index) override;

    FakeDisplayDevice& Add(const std::wstring& name);

    std::vector<FakeDisplayDevice> devices;
    std::deque<LONG> results;  // the next changes' results; then defaultResult
    LONG defaultResult = DISP_CHANGE_SUCCESSFUL;
    int screenWidth = 1366;
    int screenHeight = 768;

    std::vector<RecordedChange> changes;
    std::vector<DWORD> modeNumbersAsked;  // numbered (not current) EnumDisplaySettings calls
    std::vector<std::wstring> currentAsked;

private:
    FakeDisplayDevice* Find(const wchar_t* name);
    LONG NextResult();
};
