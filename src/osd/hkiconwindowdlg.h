// The OSD window: the translucent, topmost, never-activated picture shown when
// a notebook hotkey is pressed (an on/off picture, the battery charge, a level
// bar). It also hosts the selection OSDs. Its content is set only through
// layered-window updates with per-pixel alpha; it hides itself on its timer
// and then destroys its window; its owner (COsdWindowSlot) makes a new one on demand.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "framework/dialogbase.h"
#include "common/gdiobjects.h"
#include "display/displayswitchwindow.h"
#include "hardware/hotkeyports.h"
#include "hardware/srseffectselector.h"
#include "osd/displayswitchosd.h"
#include "osd/displayswitchports.h"
#include "osd/framestrip.h"
#include "osd/layercanvas.h"
#include "osd/osdmode.h"
#include "osd/osdpartners.h"
#include "osd/resolutionselector.h"
#include "osd/rfswitchosd.h"
#include "osd/toggleosd.h"
#include "osd/wirelesstoggleosd.h"

namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

// Window timers of the OSD.
constexpr UINT_PTR TE_OSD_HIDE = 1;    // ends the OSD: the hide sequence
constexpr UINT_PTR TE_OSD_ENABLE = 4;  // mouse input only from 300 ms after the show

// Each user drives its own side of the window: the dispatcher the hotkey
// pictures, the display changer the display switcher, the SRS and resolution
// selectors their toggles.
class CHKIconWindowDlg : public fw::CDialogBase,
                         public IHotkeyOsd,
                         public IDisplaySwitchOsd,
                         public ISRSToggleOsd,
                         public osd::IResolutionToggleOsd,
                         private osd::IOsdSurface {
public:
    static constexpr UINT kHideAfterMs = 1500;
    static constexpr UINT kShortHideAfterMs = 600;
    static constexpr UINT kEnableAfterMs = 300;

    // `gone` is told when the window has been destroyed; null: nobody is told.
    explicit CHKIconWindowDlg(osd::IOsdPartners& partners, osd::IClickSound& clickSound = osd::SystemClickSound(),
                              osd::IOsdWindowGone* gone = nullptr);
    ~CHKIconWindowDlg() override;

    // Creates the window from its template, without an owner (hidden, disabled).
    bool CreateOsdWindow();
    // Takes the two shared strips (not owned) and makes the window layered.
    void Init(osd::CFrameStrip* iconStrip, osd::CFrameStrip* levelStrip);

    // Prepares and draws the picture of an icon code and starts the hide
    // timer; the caller then shows the window with SW_SHOWNA. 0: no window or
    // no placement.
    int InitHotKeyIcon(int code) override;
    // Shows the prepared picture without activating the window.
    void ShowNoActivate() override;
    void RestartHideTimer() override;
    int MoveHKWindowToCenter();
    int MoveHKWindowToRightButtom();
    // Makes the bitmap selected into `dc` the window's content.
    void SetShapeWnd(HDC dc);
    // The display switcher (mode 2): opens it with the choices of a
    // connected-combination code (the active code is not used) for `owner`,
    // which takes the confirmed choice; 1 = drawn and timed, the caller then
    // shows the window without activating it.
    int InitDisplaySwitching(int connectedCode, int activeCode, bool savedProfile,
                             osd::IDisplaySwitchOwner& owner) override;
    // One step of the open display switcher (backward when not 0); 0 when it is not open.
    int SetNextDisplayDevice(int backward) override;
    // The output code of the current choice.
    int GetSelectedDisplayMode() override;
    // The confirmation animation runs: the display changer takes no more steps.
    bool AnimationRunning() const override { return m_bAnimationRunning; }
    // Hides the living window at once (no hide sequence).
    void Hide() override;
    const osd::CDisplaySwitchOsd& DisplaySwitch() const { return m_displaySwitch; }

    // The SRS toggle (mode 3): opens it on the driver's SRS state; 1 = drawn
    // and timed, the caller then shows the window without activating it.
    int InitSRSToggle(BYTE state) override;
    // One step of the open SRS toggle; its owner applies the new choice.
    void SetNextSRSmode() override;
    // 16, 32 or 255: the effect value of the current choice.
    int GetSelectedSRSMode() override;
    const osd::CToggleOsd& SrsToggle() const { return m_srsToggle; }

    // The resolution toggle (mode 4): opens it on a choice (0 to 5); 1 =
    // drawn and timed, the caller then shows the window without activating it.
    int InitASToggle(int choice) override;
    // One step of the open resolution toggle; 0 when it is not open.
    int SetNextAutoScalerMode() override;
    // 0 to 5: the current choice, 3 to 5 in the portrait set.
    int GetSelectedAutoScalerMode() override;
    const osd::CToggleOsd& ResolutionToggle() const { return m_resolutionToggle; }

    // The wireless toggle (mode 5). The wireless selector writes the layout
    // (both radios on and off only, or all four states) before opening it on
    // the radio state 0 to 3; 1 = drawn and timed, the caller then shows the
    // window without activating it.
    void SetWirelessTwoChoice(bool twoChoice) { m_wirelessToggle.SetTwoChoice(twoChoice); }
    int InitWirelessDeviceToggle(int state);
    // One step of the open wireless toggle; 0 when the window is not showing
    // it or its choice is being confirmed.
    int SetNextWirelessDeviceStatus();
    // 0 to 3 (0 or 1 in the two-choice layout).
    int GetSelectedWirelessStatus();
    const osd::CWirelessToggleOsd& WirelessToggle() const { return m_wirelessToggle; }

    // The RF switch (mode 6): shows the three radio bytes (0 off, 1 on, 2 not
    // present); 1 = drawn and timed, 0 for bytes that are not radio states.
    int InitRFSwitchWnd(const BYTE status[3]);
    const osd::CRfSwitchOsd& RfSwitch() const { return m_rfSwitch; }

    // Forgets the choice of an open selection (Escape on the main window).
    void ClearSelection();

    // Written by the dispatcher before InitHotKeyIcon.
    void SetLevel(int level) override { m_nLevel = level; }
    void SetVolumeStepScale(int scale) override { m_nVolumeStepScale = scale; }

    bool IsShown() override { return m_bShown; }
    bool IsDestroyed() override { return m_bDestroyed; }
    int IconCode() override { return m_nIconCode; }
    osd::OsdMode Mode() const override { return m_nMode; }
    void SetMode(osd::OsdMode mode) { m_nMode = mode; }
    int FrameIndex() const { return m_nFrameIndex; }
    SIZE FrameSize() const { return {m_nFrameWidth, m_nFrameHeight}; }
    SIZE TemplateSize() const { return {m_nTemplateWidth, m_nTemplateHeight}; }
    bool AtRightBottom() const { return m_bAtRightBottom; }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    void OnClose() override;
    void PostNcDestroy() override;

private:
    // Releases the selection pictures.
    void FreeImgResource();
    // The hide sequence without the window's destruction afterwards.
    void ForceHide();
    // The kinds of picture whose last showing decides whether the window is placed again.
    enum Kind { kHotkeyPicture, kSrsToggle, kDisplaySwitcher, kResolutionToggle, kWirelessToggle, kRfSwitch, kKinds };

    void DrawHotKeyIcon();
    void AdjustWindowToIcon();
    // Where the picture's window goes when a fit is due (and clears it); false: no move.
    bool TakePictureMove(POINT* at);
    // The layered update with the window's top-left at `destination`; false after a reported failure.
    bool UpdateShape(HDC dc, POINT destination);
    void OnShowWindow(bool show);
    void OnDestroy();
    void OnLeftButtonDown();
    void RunHideSequence();
    void ApplyClosingSelection();
    void OnSrsMouse(UINT message, POINT at);
    void OnResolutionMouse(UINT message, POINT at);
    // The common start of a toggle taking the window over: false when a
    // pending display switch was closed instead (the toggle then stays shut).
    bool TakeOverForToggle(osd::SelectionOwner self);
    // What differs between the openings of the SRS and the resolution toggle.
    struct RowToggleOpening {
        osd::CToggleOsd& toggle;
        osd::SelectionOwner owner;
        osd::OsdMode mode;
        Kind kind;
        const wchar_t* noWindowReport;
        const wchar_t* placementFailureReport;
    };
    // Opens a toggle on a choice of a set; 1 = drawn and timed (or only a
    // pending display switch closed).
    int OpenRowToggle(const RowToggleOpening& opening, int choice, bool portrait);
    void ClearAllPending();
    bool OtherKindShown(Kind kind) const;
    void ClearOtherKinds(Kind kind);
    bool PlaceSelection(Kind kind, SIZE before, const wchar_t* placementFailureReport);
    void AddLayeredStyle();

    // The surface the display switcher draws on.
    HWND Window() override { return m_hWnd; }
    void SetPictureSize(SIZE size) override;
    void FitToPicture() override { AdjustWindowToIcon(); }
    void ShowContent(HDC dc) override { SetShapeWnd(dc); }
    HDC ScreenDC() override { return m_screenDC.Get(); }
    void StartHideTimer(UINT ms) override { SetTimer(TE_OSD_HIDE, ms); }
    void StopHideTimer() override { KillTimer(TE_OSD_HIDE); }
    // A double-click confirms without the animation.
    void HideNow() override {
        m_bAnimationStarted = true;
        RunHideSequence();
    }
    // The strip a code draws from, loaded here when it was not handed over.
    osd::CFrameStrip* StripOf(int code);

    osd::IOsdPartners& m_partners;
    osd::IOsdWindowGone* m_pGone;
    // The display changer that opened the display switcher last.
    osd::IDisplaySwitchOwner* m_pDisplaySwitchOwner = nullptr;

    osd::OsdMode m_nMode = osd::OsdMode::None;
    int m_nIconCode = 0;
    int m_nFrameIndex = -1;
    int m_nOverlayFrameIndex = -1;
    int m_nLevel = 0;
    int m_nVolumeStepScale = 1;
    int m_nFrameWidth = 0;
    int m_nFrameHeight = 0;
    int m_nTemplateWidth = 0;
    int m_nTemplateHeight = 0;

    bool m_bShown = false;
    bool m_bEnabledAfterShow = false;
    bool m_bRepositionPending = false;
    bool m_bAtRightBottom = false;
    // Set by every hide, which leaves the window off-screen: it must be placed
    // again before the next picture, even when a caller showed it in between.
    bool m_bParkedOffScreen = false;
    bool m_bDestroyAfterHide = true;
    bool m_bDestroyed = false;
    std::array<bool, kKinds> m_bLastShown{};

    osd::CFrameStrip* m_pIconStrip = nullptr;
    osd::CFrameStrip* m_pLevelStrip = nullptr;
    // Strips this window had to load itself because none were handed over.
    std::unique_ptr<osd::CFrameStrip> m_pOwnIconStrip;
    std::unique_ptr<osd::CFrameStrip> m_pOwnLevelStrip;
    // The hotkey picture, kept while the window lives.
    osd::CLayerCanvas m_canvas;

    gdi::CDeviceContext m_screenDC;
    gdi::CDeviceContext m_memoryDC;
    gdi::CWindowLife m_windowLife;

    // Selection state of the selection OSDs.
    int m_nChoiceCount = 0;
    int m_nSelectedChoice = 0;
    int m_nFirstVisibleChoice = 0;
    bool m_bAnimationStarted = false;
    bool m_bAnimationRunning = false;
    std::array<std::array<std::unique_ptr<Gdiplus::Bitmap>, 14>, 3> m_pChoiceImages;
    std::array<std::unique_ptr<Gdiplus::Bitmap>, 7> m_pLabelImages;

    osd::CDisplaySwitchOsd m_displaySwitch;
    osd::CToggleOsd m_srsToggle;
    osd::CToggleOsd m_resolutionToggle;
    osd::CWirelessToggleOsd m_wirelessToggle;
    osd::CRfSwitchOsd m_rfSwitch;
};
