// Where the mini UI's panels stand: one horizontal row centred on the primary
// display, 12 pixels above a taskbar along the bottom of that display, else
// 12 pixels above the display's bottom edge (a taskbar at the top, left or
// right, auto-hidden, or on another monitor). Kept apart from the windows so
// that the layout can be checked for any screen and taskbar.
#pragma once

#include <windows.h>

#include <array>

namespace miniui {

enum Panel { kOutputPanel, kResolutionPanel, kPresentationPanel, kOptionsPanel, kPanels };

struct RowInput {
    SIZE screen;                        // the primary display's width and height
    bool hasTaskbar;                    // a taskbar window was found
    RECT taskbar;                       // its rectangle, when found
    std::array<SIZE, kPanels> panels;   // each panel's client size
    std::array<bool, kOptionsPanel> enabled;  // output, resolution, presentation
    bool optionsVisible;                // the options panel is marked part of the row
};

// Each panel's top-left corner. The options panel gets its place whether or
// not it is shown (after the enabled panels).
std::array<POINT, kPanels> PlacePanelRow(const RowInput& row);

// The options panel belongs on screen: marked visible, or no other panel enabled.
bool OptionsPanelInRow(const RowInput& row);

// The view modes of the four panels (0 icon, 1 strip, 2 full; the options
// panel has no strip) as the one number the settings keep, four bits a panel,
// and back. A mode a panel does not have reads as the icon, and `damaged`
// says so.
using ViewModes = std::array<int, kPanels>;
int PackViewModes(const ViewModes& modes);
ViewModes UnpackViewModes(int packed, bool* damaged);

// The options panel's seven flags as "miniWinDisplay" keeps them, one 4-bit
// field each, of which only the lowest bit counts.
struct PanelOptions {
    bool autoShow = true;                      // react when a monitor is connected
    std::array<bool, kOptionsPanel> enabled{true, true, true};  // output, resolution, presentation
    bool optionsVisible = true;                // the options panel is part of the row
    bool autoHide = true;                      // hide again after the countdown
    bool newMonitorsOnly = false;              // only for monitors never seen before
};
PanelOptions UnpackPanelOptions(int packed);
int PackPanelOptions(const PanelOptions& options);

}  // namespace miniui
