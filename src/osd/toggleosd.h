// A toggle of the OSD window: three icons in a row with the current one
// selected and named below; key steps and clicks move the choice. The SRS
// toggle (mode 3: effect A, effect B, off) and the resolution toggle (mode
// 4: three screen sizes in a landscape or a portrait set) are this one shape
// with their own data (ToggleKind); what a choice means stays with the window.
#pragma once

#include <windows.h>

#include "osd/displayswitchosd.h"
#include "osd/displayswitchports.h"
#include "osd/togglerow.h"

namespace osd {

// What one toggle is made of.
struct ToggleKind {
    const wchar_t* stripFile;
    // The row of a set (the resolution toggle's portrait set when true).
    ToggleRow (*rowOfSet)(bool portrait);
    // What a drawing that throws reports.
    const wchar_t* drawFailureReport;
    // A key step clicks before the next choice is drawn (after it when false).
    bool clickBeforeDraw;
};

extern const ToggleKind kSrsToggleKind;
extern const ToggleKind kResolutionToggleKind;

class CToggleOsd {
public:
    CToggleOsd(const ToggleKind& kind, IOsdSurface& surface, IClickSound& sound);

    // Drops the strip and loads it afresh; false when it cannot be read.
    bool ReloadStrip() { return m_picture.ReloadStrip(); }
    // A new opening on a choice of a set; gives the background's size to the surface.
    bool Prepare(int choice, bool portrait);
    // False when the picture cannot be drawn (choice 0's unselected icon is missing).
    bool Draw();
    // One key step: the next choice drawn, with the click; false when not drawn.
    bool Step();
    // Left button down, double-click or movement with the button pressed;
    // true when a slot was hit and became the choice.
    bool OnMouse(UINT message, POINT at);

    int Choice() const { return m_nChoice; }
    bool Portrait() const { return m_bPortrait; }
    // Where the label of the current choice was last drawn.
    POINT LabelAt() const { return m_picture.LabelAt(); }
    void FreeImages() { m_picture.FreeImages(); }

private:
    ToggleRow Row() const { return m_kind.rowOfSet(m_bPortrait); }

    const ToggleKind& m_kind;
    IClickSound& m_sound;
    CToggleRowPicture m_picture;
    int m_nChoice = 0;
    bool m_bPortrait = false;
};

}  // namespace osd
