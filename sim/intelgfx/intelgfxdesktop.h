// What a change of active devices does to the simulated screen: the devices
// of the first display on one picture at the origin (two of them: a true
// clone), those of the second display beside it; every other output off.
// And what a rotation does: the picture that shows the device turns to
// portrait (or back), on every output that shows it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vqsim::graphics {

struct DesktopOutcome {
    LONG result = DISP_CHANGE_SUCCESSFUL;  // of the last display change tried
    std::wstring description;              // for the state's "Desktop" value
};

// Shows the device bits of the first and second display (0: no second display).
DesktopOutcome ShowDevices(std::uint32_t display1, std::uint32_t display2);

// Turns the picture that shows `deviceBit` from rotation index `from` to `to`
// (0..3, the system's orientation): a quarter turn swaps its sides.
DesktopOutcome TurnDevice(std::uint32_t display1, std::uint32_t display2, std::uint32_t deviceBit, DWORD from,
                          DWORD to);

}  // namespace vqsim::graphics
