// What each notebook key means, one constant table per keyboard family: how
// the key pre-processing treats it, what Shift and Alt make of it, which
// action the hotkey dispatcher runs for it (and with which picture), and the
// vendor HID usage the USB keyboard library reports for it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <span>

// Hotkey codes: the scan codes the special keys arrive with (virtual key
// 0xFF) and the codes the program hands the dispatcher itself. The two
// keyboard families number some keys differently: the USB keyboard's own
// numbers carry the prefix Usb.
enum class HotkeyCode : int {
    // The built-in (PS/2) keyboard.
    DisplaySwitch = 2,
    Battery = 3,
    Backlight = 4,
    Wireless = 6,
    BatteryWarning = 7,
    BrightnessUp = 8,
    BrightnessDown = 9,
    SiblingVolumeUp = 15,  // volume keys as sibling programs send them
    SiblingVolumeDown = 16,
    BatteryReplace = 20,
    Mute = 0x20,
    Picture218Key = 40,
    Picture219Key = 41,
    VolumeDown = 0x2E,
    VolumeUp = 0x30,
    NoAction = 49,
    WirelessNotice = 52,
    EjectKey = 58,
    WirelessMaster = 85,
    BrightnessShow = 98,
    SrsEffect = 111,
    Picture125Key = 112,
    Picture126Key = 115,
    EtiquetteOnKey = 116,
    EtiquetteOffKey = 117,
    ResolutionSelector = 118,
    Picture91Key = 119,
    Picture90Key = 121,
    // Codes the program hands the dispatcher itself.
    NumLockOff = 128,
    NumLockOn = 129,
    ScrollLockOff = 130,
    ScrollLockOn = 131,
    CapsLockOff = 132,
    CapsLockOn = 133,
    OpticalDriveEject = 134,
    DisplayReset = 201,
    DisplayPicture202 = 202,
    DisplayPicture203 = 203,
    DisplayPicture204 = 204,
    DisplayPicture205 = 205,
    WiredLanPicture123Key = 210,
    WiredLanPicture124Key = 211,
    Picture125Key212 = 212,
    Picture126Key213 = 213,

    // The USB keyboard models.
    UsbDisplaySwitch = 1,
    UsbBattery = 2,
    UsbBacklight = 3,
    UsbWireless = 5,
    UsbBrightnessUp = 7,
    UsbBrightnessDown = 8,
    UsbSrsEffect = 9,
    UsbEtiquetteOnKey = 10,
    UsbEtiquetteOffKey = 11,
    UsbPicture91Key = 12,
    UsbPicture90Key = 13,
    UsbMute = 14,
    UsbRotateStep = 17,  // also the menu program's rotation step: always on a fresh OSD window
    UsbPicture125Key = 20,
    UsbPicture126Key = 21,
    UsbPicture206Key = 22,
    UsbEtiquette = 23,
    UsbWiredLan = 25,
    UsbPicture127Key = 42,
    UsbRotateUnderCursor = 70,
    UsbBatteryWarning = 72,
    UsbHandledKey = 98,
    UsbNoAction = 120,
};

constexpr int CodeOf(HotkeyCode code) { return static_cast<int>(code); }

// What the key pre-processing does with a special key before the dispatcher.
enum class KeyPreprocessing : std::uint8_t {
    Dispatch,            // Shift/Alt, then the dispatcher
    DispatchBrightness,  // the same, with the Windows 7 rule for brightness keys on an external output
    DisplaySwitch,
    WirelessKey,
    WirelessMaster,
    WirelessNotice,
    EjectOpticalDrive,
    SrsEffect,
    ResolutionSelector,
    PassOn,   // result 1, nothing done
    Handled,  // the handled-key result, nothing done
};

// What Shift (resolution) and Alt (rotation) make of a key.
enum class ModifiedRole : std::uint8_t {
    None,
    Quiet,  // Shift uses the key up without an action
    BrightnessUp,
    BrightnessDown,
    VolumeDown,
    VolumeUp,
};

// The hotkey dispatcher's action for a code.
enum class HotkeyAction : std::uint8_t {
    Pass,
    Battery,
    Backlight,
    Wireless,
    Etiquette,
    WiredLan,
    BatteryWarning,
    BatteryReplace,
    BrightnessUp,
    BrightnessDown,
    BrightnessShow,
    VolumeUp,
    VolumeDown,
    Mute,
    Picture,   // the row's picture
    SameCode,  // the picture with the key's own code
};

struct KeyMeaning {
    HotkeyCode code;
    KeyPreprocessing preprocessing = KeyPreprocessing::Dispatch;
    ModifiedRole modified = ModifiedRole::None;
    HotkeyAction action = HotkeyAction::Pass;
    int picture = -1;  // for HotkeyAction::Picture
    WPARAM hidUsage = 0;  // on the vendor usage page; 0 = none
};

// The Shift and Alt meaning of a role: resolution up (+1) or down (-1) with
// the ladder flag, and the rotation in degrees.
struct ModifiedMeaning {
    int resolutionStep;
    int ladderFlag;
    int rotationDegrees;
};
// nullptr for ModifiedRole::None and ModifiedRole::Quiet.
const ModifiedMeaning* MeaningOfRole(ModifiedRole role);

// A key of the built-in keyboard on a USB keyboard model: the code it arrives
// with on the hook or raw input road, and the USB keyboard's code for it.
struct HookAlias {
    HotkeyCode arrives;
    HotkeyCode standsFor;
};

// One keyboard family's table. A code without a row is dispatched and passed.
class KeyboardTable {
public:
    constexpr KeyboardTable(std::span<const KeyMeaning> rows, std::span<const HookAlias> hookAliases)
        : m_rows(rows), m_hookAliases(hookAliases) {}

    KeyMeaning Find(int code) const;
    // The row whose key the USB library reports with this vendor usage, or nullptr.
    const KeyMeaning* FindUsage(WPARAM usage) const;
    // The code a key stands for when it comes through the hook or raw input road.
    int FromHookRoad(int code) const;
    std::span<const KeyMeaning> Rows() const { return m_rows; }

private:
    std::span<const KeyMeaning> m_rows;
    std::span<const HookAlias> m_hookAliases;
};

const KeyboardTable& BuiltInKeyboard();
const KeyboardTable& UsbKeyboard();
// The table of the keyboard family this notebook has.
const KeyboardTable& NotebookKeyboard();
