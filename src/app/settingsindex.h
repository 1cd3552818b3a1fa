// Every application setting the program reads or writes, declared once:
// section, value name, and the default a reader gets when the value is absent
// or unreadable.
#pragma once

namespace settings {

struct IntSetting {
    const wchar_t* section;
    const wchar_t* name;
    int defaultValue;
};

struct TextSetting {
    const wchar_t* section;
    const wchar_t* name;
    const wchar_t* defaultValue;
};

inline constexpr wchar_t kSettingsSection[] = L"Settings";

// Section "Settings".
inline constexpr IntSetting kDebug{kSettingsSection, L"vqdg", 0};
inline constexpr IntSetting kSkipFirmwareDisplays{kSettingsSection, L"vqsd", 0};
inline constexpr IntSetting kHandledKeyResult{kSettingsSection, L"vqScanCode", 255};
inline constexpr TextSetting kAltRestoreDefault{kSettingsSection, L"vqrd", L"1 31"};
inline constexpr IntSetting kOwnVolumeSteps{kSettingsSection, L"vqav", 1};
inline constexpr IntSetting kShiftChangesResolution{kSettingsSection, L"vqsm", 1};
inline constexpr IntSetting kAltRotates{kSettingsSection, L"vqsr", 0};

}  // namespace settings

namespace settings {
// Written for the sibling menu program.
inline constexpr IntSetting kMenuDisplay{kSettingsSection, L"Display", 0};
inline constexpr IntSetting kMenuConnectedDisplay{kSettingsSection, L"ConnectedDisplay", 0};
inline constexpr IntSetting kMenuRotation{kSettingsSection, L"Rotation", 0};
}  // namespace settings
