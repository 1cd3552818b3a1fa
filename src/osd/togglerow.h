// The picture of the SRS and resolution toggles: three icons in a row on a
// background, the current one selected and its label centred below, and the
// slot a pointer hits.
#pragma once

#include <windows.h>

#include <array>

#include "osd/displaychoices.h"
#include "osd/displayswitchosd.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

namespace osd {

constexpr int kToggleRowChoices = 3;

struct ToggleRow {
    int background;
    int labelTop;
    std::array<ChoiceFrames, kToggleRowChoices> frames;
    std::array<POINT, kToggleRowChoices> slots;
};

// Draws the row with `choice` selected onto the surface; `labelAt` gets the
// label's corner. False when the background frame is missing.
bool DrawToggleRow(Gdiplus::Bitmap* strip, const ToggleRow& row, int choice, SIZE background, IOsdSurface& surface,
                   POINT* labelAt);

// The slot under a pointer in window coordinates, -1 when none: a slot is
// as wide as choice 0's unselected icon and is hit from line 21 down to that
// icon's height.
int HitToggleSlot(Gdiplus::Bitmap* strip, const ToggleRow& row, POINT at);

}  // namespace osd
