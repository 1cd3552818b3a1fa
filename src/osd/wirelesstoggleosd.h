// The wireless toggle: mode 5 of the OSD window. The states of the two
// radios as icons on the display switcher's arc (both on and both off, or
// all four combinations), the current one enlarged and named below; every
// key step moves the choice with a click. The first expiry of the hide timer
// hands the choice to the owner and plays the confirmation animation, whose
// end starts the timer once more to hide the window.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "osd/displayswitchosd.h"
#include "osd/displayswitchports.h"
#include "osd/selectionpictures.h"
#include "osd/togglechoices.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

namespace osd {

// After the confirmation animation the window hides this much later.
constexpr UINT kWirelessHideAfterConfirmMs = 300;

class CWirelessToggleOsd {
public:
    CWirelessToggleOsd(IOsdSurface& surface, IClickSound& sound);
    ~CWirelessToggleOsd();
    CWirelessToggleOsd(const CWirelessToggleOsd&) = delete;
    CWirelessToggleOsd& operator=(const CWirelessToggleOsd&) = delete;

    // Written by the wireless selector before the toggle opens.
    void SetTwoChoice(bool twoChoice) { m_bTwoChoice = twoChoice; }
    bool TwoChoice() const { return m_bTwoChoice; }

    // Drops the strip and loads it afresh; false when it cannot be read.
    bool ReloadStrip();
    // Takes the choice of a radio state (0 to 3; a state the layout has no
    // choice for keeps the previous one), copies the layout's pictures and
    // gives the background's size to the surface.
    bool Prepare(int state);
    // Five growing frames of the current choice; false when nothing can be drawn.
    bool Draw();
    // One key step: the next choice, drawn, with the click.
    bool Step();

    int Choice() const { return m_nChoice; }
    // The choices on show; 0 before the toggle was opened.
    int ChoiceCount() const { return m_pUnselected[0] ? WirelessChoiceCount(m_bCopiedTwoChoice) : 0; }
    // Where the label of the current choice was last drawn.
    POINT LabelAt() const { return m_labelAt; }

    // The confirmation animation; it ends by starting the hide timer.
    void StartConfirmation();
    void OnAnimationStep(UINT_PTR timerId);
    void CancelAnimation();
    bool Animating() const { return m_steps.Running(); }
    int AnimationStep() const { return m_steps.Step(); }

    void FreeImages();
    // Releases everything the window's end must release.
    void Release();

private:
    IOsdSurface& m_surface;
    IClickSound& m_sound;
    std::unique_ptr<Gdiplus::Bitmap> m_pStrip;
    bool m_bTwoChoice = false;
    int m_nChoice = 0;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, kWirelessFourChoices> m_pUnselected;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, kWirelessFourChoices> m_pSelected;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, kWirelessFourChoices> m_pLabels;
    std::unique_ptr<Gdiplus::Bitmap> m_pBackground;
    // The layout the pictures were copied for.
    bool m_bCopiedTwoChoice = false;
    SIZE m_background{};
    POINT m_labelAt{};

    std::unique_ptr<Gdiplus::Bitmap> m_pBlankPicture;
    bool m_bBlankTwoChoice = false;
    CConfirmationSteps m_steps;
};

}  // namespace osd
