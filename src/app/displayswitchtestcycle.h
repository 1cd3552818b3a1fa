// The manufacturer's display-switch test cycle (timer 153, started by the
// sibling code 60 and stopped by code 61): each pass presses the display
// switch key a number of times, pausing after each press, by the mode given
// with code 60. The positions in the cycles persist between start and stop.
#pragma once

#include <windows.h>

#include "app/displayports.h"

class CDisplaySwitchTestCycle {
public:
    explicit CDisplaySwitchTestCycle(IDisplaySwitching& display) : m_display(display) {}

    // One pass for `mode`; returns the number of presses it made.
    int RunPass(LPARAM mode);

private:
    IDisplaySwitching& m_display;
    int m_nModeOnePosition = 0;    // 1, 2, 3, 4 presses
    int m_nModeTwoPosition = 0;    // 3, 4 presses
    int m_nOtherModeCounter = 0;   // 0 to 7 presses
};
