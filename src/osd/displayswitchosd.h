// The display-switch OSD: mode 2 of the OSD window. It shows the output
// combinations the connected displays allow as icons on an arc, with the
// current choice enlarged and named below; key steps and clicks move the
// selection, and the confirmation slides the chosen icon to the middle
// before the window hides and the choice goes back to the display changer.
//
// The confirmation animation is timed by one-shot multimedia timers, whose
// callbacks run on another thread: they only post a step message to the
// window, so every step runs on the window's thread, and a step that arrives
// after a hide or for a cancelled timer is dropped.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "osd/displaychoices.h"
#include "osd/displayswitchports.h"
#include "osd/displayswitchview.h"
#include "osd/selectionpictures.h"

namespace Gdiplus {
class Bitmap;
class Graphics;
}  // namespace Gdiplus

namespace osd {

// What the display-switch OSD needs of the OSD window it is shown in.
class IOsdSurface {
public:
    virtual ~IOsdSurface() = default;

    virtual HWND Window() = 0;
    virtual bool IsShown() = 0;
    // The size the window takes for the pictures from now on.
    virtual void SetPictureSize(SIZE size) = 0;
    // Fits the window to the picture size when due.
    virtual void FitToPicture() = 0;
    // Shows the bitmap selected into `dc` as the window's content.
    virtual void ShowContent(HDC dc) = 0;
    virtual HDC ScreenDC() = 0;
    virtual void StartHideTimer(UINT ms) = 0;
    virtual void StopHideTimer() = 0;
    // The hide sequence now, which hands the choice back.
    virtual void HideNow() = 0;
};

class CDisplaySwitchOsd {
public:
    CDisplaySwitchOsd(IOsdSurface& surface, IClickSound& sound);
    ~CDisplaySwitchOsd();
    CDisplaySwitchOsd(const CDisplaySwitchOsd&) = delete;
    CDisplaySwitchOsd& operator=(const CDisplaySwitchOsd&) = delete;

    // Drops the strip and loads it afresh; false when it cannot be read.
    bool ReloadStrip();
    // Builds the list for the connected code and copies its pictures; gives
    // the picture size to the surface. False when there is nothing to show.
    bool Prepare(int connectedCode, bool savedProfile);
    // Draws the current selection (five growing frames with several choices).
    int Draw();
    // One key step; `owner` (null when the changer is gone) names the graphics vendor.
    int Step(bool backward, IDisplaySwitchOwner* owner);
    // Left button down, double-click or pointer movement at a point in the window.
    void OnMouse(UINT message, POINT at);

    // The confirmation animation; it ends by starting the hide timer.
    void StartConfirmation();
    void OnAnimationStep(UINT_PTR timerId);
    // Stops a pending animation step; called before every hide.
    void CancelAnimation();

    // The output code of the current choice; the panel alone when there is none.
    int SelectedOutput();
    void FreeImages();
    // Releases everything the window's end must release.
    void Release();
    void ResetSelection();

    int ChoiceCount() const { return m_list.count; }
    int Selected() const { return m_nSelected; }
    int Previous() const { return m_nPrevious; }
    int FirstVisible() const { return m_nFirstVisible; }
    bool MouseMode() const { return m_bMouseMode; }
    int HdmiAudioCheck() const { return m_nHdmiAudioCheck; }
    const ChoiceList& Choices() const { return m_list; }
    // What the last drawn frame showed.
    const FramePlan& LastPlan() const { return m_lastPlan; }
    int AnimationStep() const { return m_steps.Step(); }

private:
    void DetermineHdmiAudioCheck(IDisplaySwitchOwner* owner);
    void DrawPlan(Gdiplus::Graphics& graphics, const FramePlan& plan);
    void DrawAnimationStep(double t);
    SIZE BackgroundSize() const;

    IOsdSurface& m_surface;
    IClickSound& m_sound;

    std::unique_ptr<Gdiplus::Bitmap> m_pStrip;
    ChoiceList m_list;
    int m_nConnectedCode = 0;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, kMaxChoices> m_pUnselected;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, kMaxChoices> m_pSelected;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, kMaxChoices> m_pLabels;
    std::unique_ptr<Gdiplus::Bitmap> m_pBackground;
    std::unique_ptr<Gdiplus::Bitmap> m_pLeftArrow;
    std::unique_ptr<Gdiplus::Bitmap> m_pRightArrow;
    SlotLayout m_layout{};
    SIZE m_pictureSize{};

    int m_nSelected = 0;
    int m_nPrevious = -1;
    int m_nFirstVisible = 0;
    bool m_bMouseMode = false;
    bool m_bButtonSeen = false;
    int m_nHdmiAudioCheck = -1;  // -1 not yet determined, 0 play the click, 1 do not
    FramePlan m_lastPlan;

    // Confirmation animation.
    std::unique_ptr<Gdiplus::Bitmap> m_pBlankPicture;
    CConfirmationSteps m_steps;
};

}  // namespace osd
