// The panels' view modes (icon, strip, full), their window sizes and the
// small animation between them, apart from the windows so that they can be
// checked for any panel and screen.
#pragma once

#include <windows.h>

#include <array>

#include "miniui/panelrow.h"

namespace miniui {

enum ViewMode { kIconView = 0, kStripView = 1, kFullView = 2 };

// What screens above 96 dots per inch add to the panels' base sizes; all 0 at 96.
struct SizeAdditions {
    int fullWidth = 0;
    int fullHeight = 0;
    int iconWidth = 0;
    int stripHeight = 0;
};

// The mode after `mode` in a panel's cycle: icon, strip, full, icon; the
// options panel has no strip and alternates icon and full.
int NextViewMode(Panel panel, int mode);
// The mode a panel grows or shrinks from when it enters `mode`.
int PreviousViewMode(Panel panel, int mode);

// A panel's window size in a mode. `optionsFull` is the options panel's full
// size (its template with its frame and the language widening).
SIZE ViewModeSize(Panel panel, int mode, const SizeAdditions& additions, SIZE optionsFull);

// The six window rectangles of the animation from a window at `start` (its
// screen rectangle) to `target` size: it grows and shrinks about its bottom centre.
std::array<RECT, 6> AnimationSteps(const RECT& start, SIZE target);

}  // namespace miniui
