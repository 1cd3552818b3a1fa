// The SRS toggle: mode 3 of the OSD window. Three icons in a row (effect A,
// effect B, effects off) with the current one selected and named below; every
// key step and click moves the choice, and the owner applies it at once.
#pragma once

#include <windows.h>

#include <memory>

#include "osd/displayswitchosd.h"
#include "osd/displayswitchports.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

namespace osd {

class CSrsToggleOsd {
public:
    CSrsToggleOsd(IOsdSurface& surface, IClickSound& sound);
    ~CSrsToggleOsd();
    CSrsToggleOsd(const CSrsToggleOsd&) = delete;
    CSrsToggleOsd& operator=(const CSrsToggleOsd&) = delete;

    // Drops the strip and loads it afresh; false when it cannot be read.
    bool ReloadStrip();
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
    POINT LabelAt() const { return m_labelAt; }
    void FreeImages();

private:
    IOsdSurface& m_surface;
    IClickSound& m_sound;
    std::unique_ptr<Gdiplus::Bitmap> m_pStrip;
    int m_nChoice = 0;
    SIZE m_background{};
    POINT m_labelAt{};
    bool m_bButtonSeen = false;
};

}  // namespace osd
