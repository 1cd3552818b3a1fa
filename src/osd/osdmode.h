// What the OSD window is showing: its mode.
#pragma once

namespace osd {

enum class OsdMode : int {
    Hidden = -2,
    None = -1,
    HotkeyPicture = 1,
    DisplaySwitcher = 2,
    SrsToggle = 3,
    ResolutionToggle = 4,
    WirelessToggle = 5,
    RfSwitch = 6,
};

}  // namespace osd
