// Every registry value the program reads or writes, declared once. Application
// settings carry section, value name and the default a reader gets when the
// value is absent or unreadable; values at fixed registry paths carry their
// root, key path and value name.
#pragma once

namespace settings {

struct IntSetting {
    const wchar_t* section;  // "" is the application key itself
    const wchar_t* name;
    int defaultValue;
};

struct TextSetting {
    const wchar_t* section;
    const wchar_t* name;
    const wchar_t* defaultValue;
};

inline constexpr wchar_t kSettingsSection[] = L"Settings";
inline constexpr wchar_t kApplicationKey[] = L"";

// Section "Settings": options and remembered state.
inline constexpr IntSetting kDebug{kSettingsSection, L"vqdg", 0};
inline constexpr IntSetting kSkipFirmwareDisplays{kSettingsSection, L"vqsd", 0};
inline constexpr IntSetting kHandledKeyResult{kSettingsSection, L"vqScanCode", 255};
inline constexpr TextSetting kAltRestoreDefault{kSettingsSection, L"vqrd", L"1 31"};
inline constexpr IntSetting kOwnVolumeSteps{kSettingsSection, L"vqav", 1};
inline constexpr IntSetting kShiftChangesResolution{kSettingsSection, L"vqsm", 1};
inline constexpr IntSetting kAltRotates{kSettingsSection, L"vqsr", 0};
inline constexpr IntSetting kRotationAngle{kSettingsSection, L"RotationAngle", 0};
inline constexpr IntSetting kMenuStatus{kSettingsSection, L"MenuUI", 0};
inline constexpr IntSetting kWheelStatus{kSettingsSection, L"WheelUI", 0};
inline constexpr IntSetting kMiniUiViewModes{kSettingsSection, L"SimpleUI", 0};
inline constexpr IntSetting kFirstUserHide{kSettingsSection, L"FirstUserHide", 1};
inline constexpr IntSetting kMiniUiOptions{kSettingsSection, L"miniWinDisplay", 0x111111};
inline constexpr IntSetting kHotkeyShowUi{kSettingsSection, L"hotkey_idx_showUI", 16};
inline constexpr IntSetting kHotkeyMagnifier{kSettingsSection, L"hotkey_idx_magnifiy", 8};  // spelled so
inline constexpr IntSetting kPresentationOptions{kSettingsSection, L"miniPresentation", -1};
inline constexpr IntSetting kPresentationNeedsRestore{kSettingsSection, L"PresentationNeedToRestore", 0};
inline constexpr TextSetting kPresentationWallpaper{kSettingsSection, L"miniWallpaper", L""};
inline constexpr TextSetting kPresentationWallpaperRestore{kSettingsSection, L"miniWallpaperRestore", L""};

// Directly under the application key: three radio states as decimal digits
// (hundreds = first radio), remembered by the wireless master key.
inline constexpr IntSetting kWirelessStatus{kApplicationKey, L"WirelessStatus", 0};

// Display profile sections "Profile\disp_pro_000", "Profile\disp_pro_001", ...
namespace profile {
inline constexpr wchar_t kSectionFormat[] = L"Profile\\disp_pro_%03d";
inline constexpr wchar_t kDisplayIdFormat[] = L"disp_%02d";
inline constexpr const wchar_t* kValueNames[] = {
    L"cnt", L"mode", L"w", L"h", L"depth", L"freq", L"rotate", L"freqDenum", L"w_panel", L"h_panel",
    L"w_ext", L"h_ext", L"depth_ext", L"freq_ext", L"rotate_ext", L"freq_extDenum", L"pos_x", L"pos_y",
    L"PixelRateUp", L"PixelRateDown", L"hSyncFreq_num", L"hSyncFreq_den", L"vSyncFreq_num",
    L"vSyncFreq_den", L"activeSize", L"totalSize"};
}  // namespace profile

// Values at fixed paths of their own or of the operating system.
enum class RegistryRoot { CurrentUser, LocalMachine };

struct FixedValue {
    RegistryRoot root;
    const wchar_t* path;
    const wchar_t* name;
};

inline constexpr FixedValue kRegisteredProfileName{
    RegistryRoot::CurrentUser, L"Software\\Korvane\\Valmora\\Preference", L"RegistedProfileName"};
inline constexpr FixedValue kSchemeLanguage{RegistryRoot::CurrentUser, L"Control Panel\\Appearance",
                                            L"SchemeLangID"};
inline constexpr FixedValue kImageState{RegistryRoot::LocalMachine,
                                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Setup\\State",
                                        L"ImageState"};
// Below the first subkey of the first subkey of this key: "DirectSound\Mixer Defaults".
inline constexpr FixedValue kSoundAcceleration{
    RegistryRoot::LocalMachine,
    L"SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current\\System\\CurrentControlSet\\Enum\\HDAUDIO",
    L"Acceleration"};
inline constexpr wchar_t kSoundAccelerationSubkey[] = L"DirectSound\\Mixer Defaults";
// Adapter subkeys "0000" to "0099" of the network adapter class.
inline constexpr wchar_t kNetworkAdapterClassPath[] =
    L"SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E972-E325-11CE-BFC1-08002bE10318}";
inline constexpr const wchar_t* kNetworkAdapterRadioNames[] = {L"DriverDesc", L"Radio", L"RadioOff",
                                                               L"RadioOn"};
inline constexpr FixedValue kIntelRotationCaps{RegistryRoot::LocalMachine,
                                               L"SYSTEM\\CurrentControlSet\\Services\\ialm\\Device0",
                                               L"Display1_RotationCaps"};
inline constexpr FixedValue kProgramFilesFolder{RegistryRoot::LocalMachine,
                                                L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                                                L"ProgramFilesDir"};

}  // namespace settings

namespace settings {
// Written for the sibling menu program.
inline constexpr IntSetting kMenuDisplay{kSettingsSection, L"Display", 0};
inline constexpr IntSetting kMenuConnectedDisplay{kSettingsSection, L"ConnectedDisplay", 0};
inline constexpr IntSetting kMenuRotation{kSettingsSection, L"Rotation", 0};
}  // namespace settings
