#include "hardware/hotkeytable.h"

#include "common/processstate.h"

namespace {
using C = HotkeyCode;
using P = KeyPreprocessing;
using M = ModifiedRole;
using A = HotkeyAction;

constexpr WPARAM kUsageBrightnessDown = 0xB1, kUsageBrightnessUp = 0xB2, kUsageBattery = 0xB3,
                 kUsageDisplaySwitch = 0xB5, kUsageBacklight = 0xB6, kUsageSrsEffect = 0xB7, kUsageWireless = 0xB8;

constexpr KeyMeaning kBuiltInRows[] = {
    {C::DisplaySwitch, P::DisplaySwitch, M::None, A::Pass, -1, kUsageDisplaySwitch},
    {C::Battery, P::Dispatch, M::None, A::Battery, -1, kUsageBattery},
    {C::Backlight, P::Dispatch, M::None, A::Backlight, -1, kUsageBacklight},
    {C::Wireless, P::WirelessKey, M::None, A::Wireless, -1, kUsageWireless},
    {C::BatteryWarning, P::Dispatch, M::Quiet, A::BatteryWarning},
    {C::BrightnessUp, P::DispatchBrightness, M::BrightnessUp, A::BrightnessUp, -1, kUsageBrightnessUp},
    {C::BrightnessDown, P::DispatchBrightness, M::BrightnessDown, A::BrightnessDown, -1, kUsageBrightnessDown},
    {C::SiblingVolumeUp, P::Dispatch, M::Quiet},
    {C::SiblingVolumeDown, P::Dispatch, M::Quiet},
    {C::BatteryReplace, P::Dispatch, M::None, A::BatteryReplace},
    {C::Mute, P::Dispatch, M::None, A::Mute},
    {C::Picture218Key, P::Dispatch, M::None, A::Picture, 218},
    {C::Picture219Key, P::Dispatch, M::None, A::Picture, 219},
    {C::VolumeDown, P::Dispatch, M::VolumeDown, A::VolumeDown},
    {C::VolumeUp, P::Dispatch, M::VolumeUp, A::VolumeUp},
    {C::NoAction, P::PassOn},
    {C::WirelessNotice, P::WirelessNotice},
    {C::EjectKey, P::EjectOpticalDrive},
    {C::WirelessMaster, P::WirelessMaster},
    {C::BrightnessShow, P::Dispatch, M::None, A::BrightnessShow},
    {C::SrsEffect, P::SrsEffect, M::None, A::Pass, -1, kUsageSrsEffect},
    {C::Picture125Key, P::Dispatch, M::None, A::Picture, 125},
    {C::Picture126Key, P::Dispatch, M::None, A::Picture, 126},
    {C::EtiquetteOnKey, P::Dispatch, M::None, A::Picture, 101},
    {C::EtiquetteOffKey, P::Dispatch, M::None, A::Picture, 100},
    {C::ResolutionSelector, P::ResolutionSelector},
    {C::Picture91Key, P::Dispatch, M::None, A::Picture, 91},
    {C::Picture90Key, P::Dispatch, M::None, A::Picture, 90},
    {C::NumLockOff, P::Dispatch, M::None, A::SameCode},
    {C::NumLockOn, P::Dispatch, M::None, A::SameCode},
    {C::ScrollLockOff, P::Dispatch, M::None, A::SameCode},
    {C::ScrollLockOn, P::Dispatch, M::None, A::SameCode},
    {C::CapsLockOff, P::Dispatch, M::None, A::SameCode},
    {C::CapsLockOn, P::Dispatch, M::None, A::SameCode},
    {C::OpticalDriveEject, P::Dispatch, M::None, A::SameCode},
    {C::DisplayReset, P::Dispatch, M::None, A::SameCode},
    {C::DisplayPicture202, P::Dispatch, M::None, A::SameCode},
    {C::DisplayPicture203, P::Dispatch, M::None, A::SameCode},
    {C::DisplayPicture204, P::Dispatch, M::None, A::SameCode},
    {C::DisplayPicture205, P::Dispatch, M::None, A::SameCode},
    {C::WiredLanPicture123Key, P::Dispatch, M::None, A::Picture, 123},
    {C::WiredLanPicture124Key, P::Dispatch, M::None, A::Picture, 124},
    {C::Picture125Key212, P::Dispatch, M::None, A::Picture, 125},
    {C::Picture126Key213, P::Dispatch, M::None, A::Picture, 126},
};

constexpr KeyMeaning kUsbRows[] = {
    {C::UsbDisplaySwitch, P::DisplaySwitch, M::None, A::Pass, -1, kUsageDisplaySwitch},
    {C::UsbBattery, P::Dispatch, M::None, A::Battery, -1, kUsageBattery},
    {C::UsbBacklight, P::Dispatch, M::None, A::Backlight, -1, kUsageBacklight},
    {C::UsbWireless, P::Dispatch, M::None, A::Wireless, -1, kUsageWireless},
    {C::UsbBrightnessUp, P::Dispatch, M::BrightnessUp, A::BrightnessUp, -1, kUsageBrightnessUp},
    {C::UsbBrightnessDown, P::Dispatch, M::BrightnessDown, A::BrightnessDown, -1, kUsageBrightnessDown},
    {C::UsbSrsEffect, P::SrsEffect, M::Quiet, A::Pass, -1, kUsageSrsEffect},
    {C::UsbEtiquetteOnKey, P::Dispatch, M::None, A::Picture, 101},
    {C::UsbEtiquetteOffKey, P::Dispatch, M::None, A::Picture, 100},
    {C::UsbPicture91Key, P::Dispatch, M::None, A::Picture, 91},
    {C::UsbPicture90Key, P::Dispatch, M::None, A::Picture, 90},
    {C::UsbMute, P::Dispatch, M::None, A::Mute},
    {C::SiblingVolumeUp, P::Dispatch, M::Quiet, A::VolumeUp},
    {C::SiblingVolumeDown, P::Dispatch, M::Quiet, A::VolumeDown},
    {C::UsbRotateStep, P::Dispatch, M::None, A::Picture, 122},
    {C::UsbPicture125Key, P::Dispatch, M::None, A::Picture, 125},
    {C::UsbPicture126Key, P::Dispatch, M::None, A::Picture, 126},
    {C::UsbPicture206Key, P::Dispatch, M::None, A::Picture, 206},
    {C::UsbEtiquette, P::Dispatch, M::None, A::Etiquette},
    {C::UsbWiredLan, P::Dispatch, M::None, A::WiredLan},
    {C::Mute, P::Dispatch, M::None, A::Mute},
    {C::UsbPicture127Key, P::Dispatch, M::None, A::Picture, 127},
    {C::VolumeDown, P::Dispatch, M::VolumeDown, A::VolumeDown},
    {C::VolumeUp, P::Dispatch, M::VolumeUp, A::VolumeUp},
    {C::UsbRotateUnderCursor, P::Dispatch, M::None, A::Picture, 122},
    {C::UsbBatteryWarning, P::Dispatch, M::None, A::BatteryWarning},
    {C::UsbHandledKey, P::Handled},
    {C::Picture125Key, P::Dispatch, M::None, A::Picture, 125},
    {C::Picture126Key, P::Dispatch, M::None, A::Picture, 126},
    {C::ResolutionSelector, P::ResolutionSelector},
    {C::UsbNoAction, P::PassOn},
    {C::DisplayReset, P::Dispatch, M::None, A::SameCode},
    {C::DisplayPicture202, P::Dispatch, M::None, A::SameCode},
    {C::DisplayPicture203, P::Dispatch, M::None, A::SameCode},
    {C::DisplayPicture204, P::Dispatch, M::None, A::SameCode},
    {C::DisplayPicture205, P::Dispatch, M::None, A::SameCode},
};

// The built-in keyboard's keys as the USB keyboard models number them.
constexpr HookAlias kUsbHookAliases[] = {
    {C::BatteryWarning, C::UsbBatteryWarning},
    {C::BrightnessUp, C::UsbBrightnessUp},
    {C::BrightnessDown, C::UsbBrightnessDown},
};

constexpr KeyboardTable kBuiltInKeyboard{kBuiltInRows, {}};
constexpr KeyboardTable kUsbKeyboard{kUsbRows, kUsbHookAliases};

constexpr ModifiedMeaning kBrightnessUp{+1, 0, 0};
constexpr ModifiedMeaning kBrightnessDown{-1, 0, 180};
constexpr ModifiedMeaning kVolumeDown{-1, 1, 90};
constexpr ModifiedMeaning kVolumeUp{+1, 1, 270};
}  // namespace

const ModifiedMeaning* MeaningOfRole(ModifiedRole role) {
    switch (role) {
    case ModifiedRole::BrightnessUp: return &kBrightnessUp;
    case ModifiedRole::BrightnessDown: return &kBrightnessDown;
    case ModifiedRole::VolumeDown: return &kVolumeDown;
    case ModifiedRole::VolumeUp: return &kVolumeUp;
    case ModifiedRole::None:
    case ModifiedRole::Quiet: break;
    }
    return nullptr;
}

KeyMeaning KeyboardTable::Find(int code) const {
    for (const KeyMeaning& row : m_rows) {
        if (CodeOf(row.code) == code) return row;
    }
    return KeyMeaning{static_cast<HotkeyCode>(code)};
}

const KeyMeaning* KeyboardTable::FindUsage(WPARAM usage) const {
    if (usage == 0) return nullptr;
    for (const KeyMeaning& row : m_rows) {
        if (row.hidUsage == usage) return &row;
    }
    return nullptr;
}

int KeyboardTable::FromHookRoad(int code) const {
    for (const HookAlias& alias : m_hookAliases) {
        if (CodeOf(alias.arrives) == code) return CodeOf(alias.standsFor);
    }
    return code;
}

const KeyboardTable& BuiltInKeyboard() { return kBuiltInKeyboard; }
const KeyboardTable& UsbKeyboard() { return kUsbKeyboard; }
const KeyboardTable& NotebookKeyboard() { return proc::usbKeyboardModel ? kUsbKeyboard : kBuiltInKeyboard; }
