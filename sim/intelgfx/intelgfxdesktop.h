// What a change of active devices does to the desktop, through the real
// display functions: one display alone, the second display attached beside
// the first (extended) or at the first one's place (clone); and what a
// rotation does: the display that shows the device turns.
#pragma once

#include <windows.h>

#include <string>

namespace vqsim::graphics {

enum class DesktopLayout { Single, Clone, Extended };

struct DesktopOutcome {
    LONG result = DISP_CHANGE_SUCCESSFUL;  // of the last display change tried
    std::wstring description;              // for the state's "Desktop" value
};

DesktopOutcome ShowLayout(DesktopLayout layout);

// Turns "\\.\DISPLAY1" or "\\.\DISPLAY2" to a rotation index (0..3, the
// system's orientation); nothing is sent when it shows that one already.
DesktopOutcome TurnDisplay(const wchar_t* device, DWORD orientation);

}  // namespace vqsim::graphics
