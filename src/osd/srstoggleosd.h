// The SRS toggle: mode 3 of the OSD window. Three icons in a row (effect A,
// effect B, effects off) with the current one selected and named below; every
// key step and click moves the choice, and the owner applies it at once.
#pragma once

#include <windows.h>

#include "osd/displayswitchosd.h"
#include "osd/displayswitchports.h"
#include "osd/togglerow.h"

namespace osd {

class CSrsToggleOsd {
public:
    CSrsToggleOsd(IOsdSurface& surface, IClickSound& sound);

    // Drops the strip and loads it afresh; false when it cannot be read.
    bool ReloadStrip() { return m_picture.ReloadStrip(); }
    // Takes the choice of an SRS state and gives the background's size to the surface.
    bool Prepare(int state);
    bool Draw();
    // One key step: the next choice, drawn, with the click.
    void Step();
    // Left button down, double-click or movement with the button pressed;
    // true when a slot was hit and became the choice.
    bool OnMouse(UINT message, POINT at);

    int Choice() const { return m_nChoice; }
    // 16, 32 or 255.
    int SelectedValue() const;
    // Where the label of the current choice was last drawn.
    POINT LabelAt() const { return m_picture.LabelAt(); }
    void FreeImages() { m_picture.FreeImages(); }

private:
    IClickSound& m_sound;
    CToggleRowPicture m_picture;
    int m_nChoice = 0;
};

}  // namespace osd
