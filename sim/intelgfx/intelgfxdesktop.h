// What a change of active devices does to the desktop, through the real
// display functions: one display alone, the second display attached beside
// the first (extended) or at the first one's place (clone).
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

}  // namespace vqsim::graphics
