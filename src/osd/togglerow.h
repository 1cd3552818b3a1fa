// The picture of the SRS and resolution toggles: three icons in a row on a
// background frame of the toggle's strip, the current one selected and its
// label centred below, and the slot a pointer picks.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "osd/displaychoices.h"
#include "osd/displayswitchosd.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

namespace osd {

constexpr int kToggleRowChoices = 3;

// The frames and places of one set of three choices.
struct ToggleRow {
    int background;
    int labelTop;
    std::array<ChoiceFrames, kToggleRowChoices> frames;
    std::array<POINT, kToggleRowChoices> slots;
};

class CToggleRowPicture {
public:
    CToggleRowPicture(IOsdSurface& surface, const wchar_t* stripFile);
    ~CToggleRowPicture();
    CToggleRowPicture(const CToggleRowPicture&) = delete;
    CToggleRowPicture& operator=(const CToggleRowPicture&) = delete;

    // Releases the strip and loads it afresh; false when it cannot be read.
    bool ReloadStrip();
    // A new opening: loads the strip when there is none, forgets earlier
    // presses and gives the background's size to the surface.
    bool Prepare(const ToggleRow& row);
    // Draws the row with `choice` selected onto the surface; false without
    // the strip, its background or choice 0's unselected icon.
    bool Draw(const ToggleRow& row, int choice);
    // Left button down, double-click, or movement once the button was
    // pressed: the slot under the pointer (window coordinates), -1 when
    // none. A slot is as wide as choice 0's unselected icon and is hit from
    // line 21 down to that icon's height.
    int Hit(const ToggleRow& row, UINT message, POINT at);
    // Where the label was last drawn.
    POINT LabelAt() const { return m_labelAt; }
    void FreeImages();

private:
    IOsdSurface& m_surface;
    const wchar_t* m_pStripFile;
    std::unique_ptr<Gdiplus::Bitmap> m_pStrip;
    SIZE m_background{};
    POINT m_labelAt{};
    bool m_bButtonSeen = false;
};

}  // namespace osd
