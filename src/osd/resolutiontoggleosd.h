// The resolution toggle: mode 4 of the OSD window on the small-panel models.
// Three screen sizes in a row, in a landscape or a portrait set, with the
// current one selected and named below; key steps and clicks move the
// choice, and the resolution selector applies it when the OSD hides.
#pragma once

#include <windows.h>

#include "osd/displayswitchosd.h"
#include "osd/displayswitchports.h"
#include "osd/togglerow.h"

namespace osd {

class CResolutionToggleOsd {
public:
    CResolutionToggleOsd(IOsdSurface& surface, IClickSound& sound);

    // Releases the strip of the previous opening and loads it afresh; false
    // when it cannot be read.
    bool ReloadStrip() { return m_picture.ReloadStrip(); }
    // Takes the set and choice of a resolution choice (0 to 5; any other
    // value keeps the previous one) and gives the background's size to the surface.
    bool Prepare(int given);
    // False when the picture cannot be drawn (choice 0's unselected icon is missing).
    bool Draw();
    // One key step: the click, then the next choice drawn; false when not drawn.
    bool Step();
    // Left button down, double-click or movement with the button pressed;
    // true when a slot was hit and became the choice.
    bool OnMouse(UINT message, POINT at);

    int Choice() const { return m_nChoice; }
    bool Portrait() const { return m_bPortrait; }
    // 0 to 2 in the landscape set, 3 to 5 in the portrait set.
    int SelectedMode() const;
    // Where the label of the current choice was last drawn.
    POINT LabelAt() const { return m_picture.LabelAt(); }
    void FreeImages() { m_picture.FreeImages(); }

private:
    IClickSound& m_sound;
    CToggleRowPicture m_picture;
    int m_nChoice = 0;
    bool m_bPortrait = false;
};

}  // namespace osd
