#include "osd/hkiconwindowdlg.h"

#include <objbase.h>
#include <gdiplus.h>
#include <mmsystem.h>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "osd/hotkeypicture.h"
#include "osd/imagestrip.h"
#include "osd/osdplacement.h"
#include "osd/togglechoices.h"
#include "resource.h"

using osd::SelectionOwner;

namespace {
// Where a hidden OSD waits, well outside any desktop.
constexpr int kParkingSpot = 12000;
POINT PointOf(LPARAM lParam) {
    return {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
}
constexpr SelectionOwner kAllOwners[] = {SelectionOwner::DisplayChanger, SelectionOwner::SrsSelector,
                                         SelectionOwner::ResolutionSelector, SelectionOwner::WirelessSelector,
                                         SelectionOwner::RfSelector};
}  // namespace

CHKIconWindowDlg::CHKIconWindowDlg(osd::IOsdPartners& partners, osd::IClickSound& clickSound,
                                   osd::IOsdWindowGone* gone)
    : m_partners(partners),
      m_pGone(gone),
      m_displaySwitch(*this, clickSound),
      m_srsToggle(osd::kSrsToggleKind, *this, clickSound),
      m_resolutionToggle(osd::kResolutionToggleKind, *this, clickSound),
      m_wirelessToggle(*this, clickSound),
      m_rfSwitch(*this) {}

CHKIconWindowDlg::~CHKIconWindowDlg() {
    // Destroyed here, not by the base, so that OnDestroy still sees the whole object.
    if (IsWindowAlive()) DestroyWindow();
}

bool CHKIconWindowDlg::CreateOsdWindow() { return Create(IDD_HKICON_DIALOG, nullptr); }

void CHKIconWindowDlg::AddLayeredStyle() {
    const LONG_PTR style = GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE);
    if (!(style & WS_EX_LAYERED)) SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
}

bool CHKIconWindowDlg::OnInitDialog() {
    m_windowLife.Begin();
    AddLayeredStyle();
    RECT client{};
    GetClientRect(m_hWnd, &client);
    m_nTemplateWidth = client.right - client.left;
    m_nTemplateHeight = client.bottom - client.top;
    m_screenDC.Reset(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    m_memoryDC.Reset(CreateCompatibleDC(m_screenDC.Get()));
    return true;
}

void CHKIconWindowDlg::Init(osd::CFrameStrip* iconStrip, osd::CFrameStrip* levelStrip) {
    m_pIconStrip = iconStrip;
    m_pLevelStrip = levelStrip;
    if (m_hWnd) AddLayeredStyle();
}

osd::CFrameStrip* CHKIconWindowDlg::StripOf(int code) {
    if (osd::StripOfIconCode(code) == osd::Strip::Level) {
        if (!m_pLevelStrip) {
            m_pOwnLevelStrip = osd::CFrameStrip::Load(osd::kLevelStripFile);
            m_pLevelStrip = m_pOwnLevelStrip.get();
        }
        return m_pLevelStrip;
    }
    if (!m_pIconStrip) {
        m_pOwnIconStrip = osd::CFrameStrip::Load(osd::kIconStripFile);
        m_pIconStrip = m_pOwnIconStrip.get();
    }
    return m_pIconStrip;
}

bool CHKIconWindowDlg::OtherKindShown(Kind kind) const {
    for (int other = 0; other < kKinds; ++other) {
        if (other != kind && m_bLastShown[other]) return true;
    }
    return false;
}

void CHKIconWindowDlg::ClearOtherKinds(Kind kind) {
    for (int other = 0; other < kKinds; ++other) {
        if (other != kind) m_bLastShown[other] = false;
    }
}

void CHKIconWindowDlg::ClearAllPending() {
    for (SelectionOwner owner : kAllOwners) {
        if (m_partners.Exists(owner)) m_partners.ClearPending(owner);
    }
}

int CHKIconWindowDlg::InitHotKeyIcon(int code) {
    if (!m_hWnd) {
        ReportError(L"InitHotKeyIcon");
        return 0;
    }
    if (m_bShown) KillTimer(TE_OSD_HIDE);
    m_partners.HideMessageWindow();

    // A hotkey while the display switcher is open only closes it (and applies its choice).
    if (m_partners.Pending(SelectionOwner::DisplayChanger)) {
        ForceHide();
        return 1;
    }
    if (proc::HasCompactDisplayChoices() && m_partners.Exists(SelectionOwner::ResolutionSelector) &&
        m_partners.Pending(SelectionOwner::ResolutionSelector)) {
        ForceHide();
    }
    ClearAllPending();

    // A change of strip in either direction means another picture size.
    const bool stripChanged = osd::StripOfIconCode(m_nIconCode) != osd::StripOfIconCode(code);
    m_nMode = osd::OsdMode::HotkeyPicture;
    m_nIconCode = code;
    osd::IconFrames frames{};
    if (osd::FramesOfIconCode(code, &frames)) {
        m_nFrameIndex = frames.frame;
        m_nOverlayFrameIndex = frames.overlay;
    }
    osd::CFrameStrip* strip = StripOf(code);
    SIZE size{m_nFrameWidth, m_nFrameHeight};
    if (m_nFrameIndex >= 0 && strip) strip->FrameSize(m_nFrameIndex, &size);
    const bool sizeChanged = size.cx != m_nFrameWidth || size.cy != m_nFrameHeight;
    m_nFrameWidth = size.cx;
    m_nFrameHeight = size.cy;
    m_bLastShown[kHotkeyPicture] = true;

    if (!m_bShown || OtherKindShown(kHotkeyPicture) || stripChanged || sizeChanged || m_bAtRightBottom || m_bParkedOffScreen) {
        if (!MoveHKWindowToCenter()) {
            ReportError(L"InitHotKey: MoveHKWindowToCenter()");
            return 0;
        }
        ClearOtherKinds(kHotkeyPicture);
        m_bAtRightBottom = false;
        m_bRepositionPending = true;
    }
    if (proc::IsCornerOsdNotebook() && osd::IsShortDisplayCode(code)) {
        if (!MoveHKWindowToRightButtom()) {
            ReportError(L"InitHotKey: MoveHKWindowToRightButtom()");
            return 0;
        }
        ClearOtherKinds(kHotkeyPicture);
        m_bAtRightBottom = true;
        m_bRepositionPending = true;
    }
    DrawHotKeyIcon();
    SetTimer(TE_OSD_HIDE, osd::IsShortDisplayCode(code) ? kShortHideAfterMs : kHideAfterMs);
    return 1;
}

int CHKIconWindowDlg::InitDisplaySwitching(int connectedCode, int /*activeCode*/, bool savedProfile,
                                           osd::IDisplaySwitchOwner& owner) {
    if (!m_hWnd) {
        ReportError(L"InitDisplaySwitching");
        return 0;
    }
    m_pDisplaySwitchOwner = &owner;
    if (m_bAnimationRunning) return 0;
    if (!m_displaySwitch.ReloadStrip()) return 0;

    if (m_bShown) KillTimer(TE_OSD_HIDE);
    if (proc::HasCompactDisplayChoices() && m_partners.Exists(SelectionOwner::ResolutionSelector) &&
        m_partners.Pending(SelectionOwner::ResolutionSelector)) {
        ForceHide();
    }
    for (SelectionOwner owner : {SelectionOwner::SrsSelector, SelectionOwner::ResolutionSelector,
                                 SelectionOwner::WirelessSelector, SelectionOwner::RfSelector}) {
        if (m_partners.Exists(owner)) m_partners.ClearPending(owner);
    }

    m_nMode = osd::OsdMode::DisplaySwitcher;
    FreeImgResource();
    const SIZE before{m_nFrameWidth, m_nFrameHeight};
    if (!m_displaySwitch.Prepare(connectedCode, savedProfile) || m_nFrameWidth == 0) return 0;
    if (!PlaceSelection(kDisplaySwitcher, before, L"InitDisplaySwitching: MoveHKWindowToCenter()")) return 0;

    m_bAnimationStarted = false;
    m_bAnimationRunning = false;
    if (!m_displaySwitch.Draw()) return 0;
    SetTimer(TE_OSD_HIDE, osd::kDisplaySwitchConfirmAfterMs);
    return 1;
}

// A selection of `kind` takes the window over: it is centred again when it
// was hidden or parked, showed another kind last, or the picture changed size.
bool CHKIconWindowDlg::PlaceSelection(Kind kind, SIZE before, const wchar_t* placementFailureReport) {
    const bool sizeChanged = before.cx != m_nFrameWidth || before.cy != m_nFrameHeight;
    m_bLastShown[kind] = true;
    if (!m_bShown || OtherKindShown(kind) || sizeChanged || m_bParkedOffScreen) {
        if (!MoveHKWindowToCenter()) {
            ReportError(placementFailureReport);
            return false;
        }
        ClearOtherKinds(kind);
        m_bRepositionPending = true;
    }
    return true;
}

int CHKIconWindowDlg::SetNextDisplayDevice(int backward) {
    // The choice is being confirmed: further presses change nothing.
    if (m_nMode == osd::OsdMode::DisplaySwitcher && m_bAnimationRunning) return 1;
    KillTimer(TE_OSD_HIDE);
    if (m_nMode != osd::OsdMode::DisplaySwitcher) {
        m_bShown = false;
        return 0;
    }
    return m_displaySwitch.Step(backward != 0, m_pDisplaySwitchOwner);
}

int CHKIconWindowDlg::GetSelectedDisplayMode() { return m_displaySwitch.SelectedOutput(); }

void CHKIconWindowDlg::Hide() {
    if (!m_bDestroyed && IsWindowAlive()) ShowWindow(m_hWnd, SW_HIDE);
}

void CHKIconWindowDlg::SetPictureSize(SIZE size) {
    m_nFrameWidth = size.cx;
    m_nFrameHeight = size.cy;
}

void CHKIconWindowDlg::DrawHotKeyIcon() {
    // A due fit to the picture is done by the layered update itself (one
    // move fewer while the window is hidden); by a move when drawing fails.
    POINT fittedAt{};
    const bool fit = TakePictureMove(&fittedAt);
    osd::CFrameStrip* strip = StripOf(m_nIconCode);
    if (!m_canvas.Begin(m_nFrameWidth, m_nFrameHeight)) {
        const DWORD error = GetLastError();
        if (fit) MoveWindow(m_hWnd, fittedAt.x, fittedAt.y, m_nFrameWidth, m_nFrameHeight, FALSE);
        ReportError(L"CHKIconWindowDlg::DrawHotKeyIcon()", error);
        return;
    }
    // Each frame at its own pixel size; a missing strip or frame leaves its part empty.
    auto draw = [&](int frame, POINT at, int clipRight = INT_MAX) {
        if (!strip) return;
        if (std::shared_ptr<const osd::FramePixels> pixels = strip->Frame(frame)) {
            m_canvas.Draw(*pixels, at.x, at.y, clipRight);
        }
    };
    if (m_nFrameIndex == -1) {
        // Nothing to draw: the window shows an empty picture.
    } else if (m_nIconCode == osd::kBatteryCode) {
        const osd::BatteryPicture battery = osd::BatteryPictureOf(m_nLevel);
        m_nFrameIndex = battery.background;
        draw(battery.background, {0, 0});
        if (battery.leadingOne) draw(7, osd::kHundredsAt);
        draw(battery.tensFrame, osd::kTensAt);
        draw(battery.unitsFrame, osd::kUnitsAt);
    } else if (m_nIconCode == osd::kBrightnessCode || m_nIconCode == osd::kVolumeCode) {
        draw(m_nFrameIndex, {0, 0});
        const bool brightness = m_nIconCode == osd::kBrightnessCode;
        const int clipRight =
            brightness ? osd::BrightnessClipRight(m_nLevel, m_canvas.Width())
                       : osd::VolumeClipRight(m_nLevel, m_nVolumeStepScale, proc::windowsVersion, m_canvas.Width());
        draw(m_nOverlayFrameIndex, brightness ? osd::kBrightnessBarAt : osd::kVolumeBarAt, clipRight);
    } else {
        draw(m_nFrameIndex, {0, 0});
    }
    gdi::CSelection selection(m_memoryDC.Get(), m_canvas.Bitmap());
    if (!fit) {
        SetShapeWnd(m_memoryDC.Get());
    } else if (!UpdateShape(m_memoryDC.Get(), fittedAt)) {
        MoveWindow(m_hWnd, fittedAt.x, fittedAt.y, m_nFrameWidth, m_nFrameHeight, FALSE);
    }
}

void CHKIconWindowDlg::AdjustWindowToIcon() {
    POINT at{};
    if (TakePictureMove(&at)) MoveWindow(m_hWnd, at.x, at.y, m_nFrameWidth, m_nFrameHeight, FALSE);
}

bool CHKIconWindowDlg::TakePictureMove(POINT* at) {
    if (m_bShown && !m_bRepositionPending) return false;
    m_bRepositionPending = false;
    if (m_bAtRightBottom) return false;
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    *at = {osd::CentredPictureLeft(window.left, m_nTemplateWidth, m_nFrameWidth), window.top};
    return true;
}

int CHKIconWindowDlg::MoveHKWindowToCenter() {
    if (!m_hWnd) {
        ReportError(L"GetSafeHwnd(): CHKIconWindowDlg::MoveHKWindowToCenter");
        return 0;
    }
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    ShowWindow(m_hWnd, SW_HIDE);
    const POINT at = osd::CentredOrigin(screenWidth, screenHeight, m_nTemplateWidth, m_nTemplateHeight, m_nMode);
    MoveWindow(m_hWnd, at.x, at.y, m_nTemplateWidth, m_nTemplateHeight, TRUE);
    m_bParkedOffScreen = false;
    return 1;
}

int CHKIconWindowDlg::MoveHKWindowToRightButtom() {
    if (!m_hWnd) {
        ReportError(L"GetSafeHwnd(): CHKIconWindowDlg::MoveHKWindowToRightButtom");
        return 0;
    }
    RECT workArea{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0)) return 0;
    ShowWindow(m_hWnd, SW_HIDE);
    const POINT at = osd::RightBottomOrigin(workArea, m_nFrameWidth, m_nFrameHeight);
    MoveWindow(m_hWnd, at.x, at.y, m_nFrameWidth, m_nFrameHeight, TRUE);
    m_bParkedOffScreen = false;
    return 1;
}

void CHKIconWindowDlg::SetShapeWnd(HDC dc) {
    RECT window{};
    GetWindowRect(m_hWnd, &window);
    UpdateShape(dc, {window.left, window.top});
}

bool CHKIconWindowDlg::UpdateShape(HDC dc, POINT destination) {
    SIZE size{m_nFrameWidth, m_nFrameHeight};
    POINT source{0, 0};
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    if (UpdateLayeredWindow(m_hWnd, m_screenDC.Get(), &destination, &size, dc, &source, 0, &blend, ULW_ALPHA)) {
        return true;
    }
    const DWORD error = GetLastError();
    ReportError(FormatText(L"fail: SetShapeWnd (errorCode=%d)", static_cast<int>(error)), error);
    return false;
}

void CHKIconWindowDlg::ShowNoActivate() {
    if (IsWindowAlive()) ShowWindow(m_hWnd, SW_SHOWNA);
}

void CHKIconWindowDlg::RestartHideTimer() {
    if (!m_bShown || !IsWindowAlive()) return;
    KillTimer(TE_OSD_HIDE);
    SetTimer(TE_OSD_HIDE, kHideAfterMs);
}

void CHKIconWindowDlg::ForceHide() {
    m_bDestroyAfterHide = false;
    RunHideSequence();
    m_bDestroyAfterHide = true;
}

void CHKIconWindowDlg::ClearSelection() {
    m_nSelectedChoice = 0;
    m_displaySwitch.ResetSelection();
}

LRESULT CHKIconWindowDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SHOWWINDOW: {
        const LRESULT result = DefaultProc(message, wParam, lParam);
        OnShowWindow(wParam != FALSE);
        return result;
    }
    case WM_DESTROY: {
        const LRESULT result = DefaultProc(message, wParam, lParam);
        OnDestroy();
        return result;
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (m_nMode == osd::OsdMode::DisplaySwitcher) {
            m_displaySwitch.OnMouse(message, PointOf(lParam));
            return 0;
        }
        if (m_nMode == osd::OsdMode::SrsToggle) {
            OnSrsMouse(message, PointOf(lParam));
            return 0;
        }
        if (m_nMode == osd::OsdMode::ResolutionToggle) {
            OnResolutionMouse(message, PointOf(lParam));
            return 0;
        }
        // A click the system counts as the second of a pair (the first may
        // have met the window while it was still disabled) is a click too.
        OnLeftButtonDown();
        return 0;
    case WM_MOUSEMOVE:
        if (m_nMode == osd::OsdMode::DisplaySwitcher) m_displaySwitch.OnMouse(message, PointOf(lParam));
        if (m_nMode == osd::OsdMode::SrsToggle) OnSrsMouse(message, PointOf(lParam));
        if (m_nMode == osd::OsdMode::ResolutionToggle) OnResolutionMouse(message, PointOf(lParam));
        return 0;
    case osd::WM_OSD_ANIMATION_STEP:
        // Each animation drops the steps of timers that are not its own.
        m_displaySwitch.OnAnimationStep(static_cast<UINT_PTR>(wParam));
        m_wirelessToggle.OnAnimationStep(static_cast<UINT_PTR>(wParam));
        return 0;
    case WM_PAINT:
        // The content comes from layered-window updates only.
        ValidateRect(m_hWnd, nullptr);
        return 0;
    default:
        return fw::CDialogBase::WindowProc(message, wParam, lParam);
    }
}

void CHKIconWindowDlg::OnShowWindow(bool show) {
    // Only a show counts: the placements hide the window on their way.
    if (!show) return;
    if (!m_bShown) m_bShown = true;
    // First in the z-order already (the window made ahead usually is): a
    // raise would change nothing on screen and only cost a round trip.
    if (GetTopWindow(nullptr) != m_hWnd) {
        SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    SetTimer(TE_OSD_ENABLE, kEnableAfterMs);
}

void CHKIconWindowDlg::OnLeftButtonDown() {
    if (m_nMode == osd::OsdMode::HotkeyPicture || m_nMode == osd::OsdMode::RfSwitch) OnTimer(TE_OSD_HIDE);
}

void CHKIconWindowDlg::OnTimer(UINT_PTR id) {
    if (!m_hWnd) {
        ReportError(L"OnTimer");
        return;
    }
    if (id == TE_OSD_ENABLE) {
        KillTimer(TE_OSD_ENABLE);
        EnableWindow(m_hWnd, TRUE);
        m_bEnabledAfterShow = true;
    } else if (id == TE_OSD_HIDE) {
        RunHideSequence();
    }
}

void CHKIconWindowDlg::RunHideSequence() {
    // A selection with several choices first plays its confirmation animation,
    // which ends by starting the hide timer again.
    const int choices = m_nMode == osd::OsdMode::DisplaySwitcher  ? m_displaySwitch.ChoiceCount()
                        : m_nMode == osd::OsdMode::WirelessToggle ? m_wirelessToggle.ChoiceCount()
                                                                  : m_nChoiceCount;
    if ((m_nMode == osd::OsdMode::DisplaySwitcher || m_nMode == osd::OsdMode::WirelessToggle) && choices > 1 &&
        !m_bAnimationStarted) {
        m_bAnimationStarted = true;
        m_bAnimationRunning = true;
        KillTimer(TE_OSD_HIDE);
        if (m_nMode == osd::OsdMode::WirelessToggle && m_partners.Exists(SelectionOwner::WirelessSelector)) {
            m_partners.ApplySelection(SelectionOwner::WirelessSelector);
        }
        if (m_nMode == osd::OsdMode::DisplaySwitcher) m_displaySwitch.StartConfirmation();
        else m_wirelessToggle.StartConfirmation();
        return;
    }

    // No animation step may reach the window once it hides.
    m_displaySwitch.CancelAnimation();
    m_wirelessToggle.CancelAnimation();

    if (m_nMode == osd::OsdMode::RfSwitch) ShowWindow(m_hWnd, SW_HIDE);
    SetWindowPos(m_hWnd, HWND_TOPMOST, kParkingSpot, kParkingSpot, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    m_bParkedOffScreen = true;
    EnableWindow(m_hWnd, FALSE);
    m_bEnabledAfterShow = false;
    KillTimer(TE_OSD_HIDE);
    KillTimer(TE_OSD_ENABLE);
    if (proc::IsVistaOrLater()) PlaySoundW(nullptr, nullptr, 0);
    m_nFrameIndex = -1;
    m_bShown = false;

    ApplyClosingSelection();

    ClearAllPending();
    m_bLastShown.fill(false);
    m_bAnimationStarted = false;
    m_bAnimationRunning = false;
    m_bAtRightBottom = false;
    m_nFirstVisibleChoice = 0;
    m_nMode = osd::OsdMode::Hidden;
    m_partners.ClearDispatcherMuteNote();

    SetWindowPos(m_hWnd, HWND_TOPMOST, 0, 0, m_nTemplateWidth, m_nTemplateHeight, SWP_NOMOVE | SWP_NOACTIVATE);
    if (m_bDestroyAfterHide) DestroyWindow();
}

// The opening steps the SRS and resolution toggles share. False when an
// open display switch was only closed (and applied) instead.
bool CHKIconWindowDlg::TakeOverForToggle(SelectionOwner self) {
    if (m_bShown) KillTimer(TE_OSD_HIDE);
    m_partners.HideMessageWindow();
    if (m_partners.Pending(SelectionOwner::DisplayChanger)) {
        ForceHide();
        return false;
    }
    // An open resolution toggle of these models is applied before another takes over.
    if (self != SelectionOwner::ResolutionSelector && proc::HasCompactDisplayChoices() &&
        m_partners.Exists(SelectionOwner::ResolutionSelector) && m_partners.Pending(SelectionOwner::ResolutionSelector)) {
        ForceHide();
    }
    // The toggle takes the window over: no other selection stays open.
    for (SelectionOwner owner : kAllOwners) {
        if (owner != self && m_partners.Exists(owner)) m_partners.ClearPending(owner);
    }
    return true;
}

int CHKIconWindowDlg::OpenRowToggle(const RowToggleOpening& opening, int choice, bool portrait) {
    if (!m_hWnd) {
        ReportError(opening.noWindowReport);
        return 0;
    }
    if (!opening.toggle.ReloadStrip()) return 0;
    if (!TakeOverForToggle(opening.owner)) return 1;

    m_nMode = opening.mode;
    const SIZE before{m_nFrameWidth, m_nFrameHeight};
    if (!opening.toggle.Prepare(choice, portrait)) return 0;
    if (!PlaceSelection(opening.kind, before, opening.placementFailureReport)) return 0;
    if (!opening.toggle.Draw()) return 0;
    SetTimer(TE_OSD_HIDE, osd::kDisplaySwitchConfirmAfterMs);
    return 1;
}

int CHKIconWindowDlg::InitSRSToggle(BYTE state) {
    // An unknown state keeps the last choice.
    return OpenRowToggle({m_srsToggle, SelectionOwner::SrsSelector, osd::OsdMode::SrsToggle, kSrsToggle,
                          L"InitSRSToggle", L"InitSRS: MoveHKWindowToCenter()"},
                         osd::SrsChoiceOfState(state, m_srsToggle.Choice()), false);
}

void CHKIconWindowDlg::SetNextSRSmode() {
    KillTimer(TE_OSD_HIDE);
    m_srsToggle.Step();
    SetTimer(TE_OSD_HIDE, osd::kDisplaySwitchConfirmAfterMs);
}

int CHKIconWindowDlg::GetSelectedSRSMode() { return osd::SrsValueOf(m_srsToggle.Choice()); }

void CHKIconWindowDlg::OnSrsMouse(UINT message, POINT at) {
    KillTimer(TE_OSD_HIDE);
    if (m_srsToggle.OnMouse(message, at)) {
        // A clicked effect takes effect at once, like a key step.
        m_partners.ApplySelection(SelectionOwner::SrsSelector);
        if (message == WM_LBUTTONDBLCLK) {
            RunHideSequence();
            return;
        }
    }
    if (m_bShown) SetTimer(TE_OSD_HIDE, osd::kDisplaySwitchConfirmAfterMs);
}

int CHKIconWindowDlg::InitASToggle(int choice) {
    // A choice outside 0 to 5 keeps the last set and choice.
    osd::ResolutionOpening opening{m_resolutionToggle.Choice(), m_resolutionToggle.Portrait()};
    osd::ResolutionOpeningOf(choice, &opening);
    return OpenRowToggle({m_resolutionToggle, SelectionOwner::ResolutionSelector, osd::OsdMode::ResolutionToggle,
                          kResolutionToggle, L"InitASToggle", L"InitAS: MoveHKWindowToCenter()"},
                         opening.choice, opening.portrait);
}

int CHKIconWindowDlg::InitWirelessDeviceToggle(int state) {
    if (!m_hWnd) {
        ReportError(L"InitWirelessDeviceToggle");
        return 0;
    }
    if (!m_wirelessToggle.ReloadStrip()) return 0;
    if (!TakeOverForToggle(SelectionOwner::WirelessSelector)) return 1;

    m_nMode = osd::OsdMode::WirelessToggle;
    const SIZE before{m_nFrameWidth, m_nFrameHeight};
    if (!m_wirelessToggle.Prepare(state)) return 0;
    if (!PlaceSelection(kWirelessToggle, before, L"InitWirelessDeviceToggle: MoveHKWindowToCenter()")) return 0;
    m_bAnimationStarted = false;
    m_bAnimationRunning = false;
    if (!m_wirelessToggle.Draw()) return 0;
    SetTimer(TE_OSD_HIDE, osd::kDisplaySwitchConfirmAfterMs);
    return 1;
}

int CHKIconWindowDlg::SetNextAutoScalerMode() {
    KillTimer(TE_OSD_HIDE);
    if (m_nMode != osd::OsdMode::ResolutionToggle) {
        m_bShown = false;
        return 0;
    }
    m_resolutionToggle.Step();
    // The wait restarts even when the picture could not be drawn, so the window never stays.
    SetTimer(TE_OSD_HIDE, osd::kDisplaySwitchConfirmAfterMs);
    return 1;
}

int CHKIconWindowDlg::SetNextWirelessDeviceStatus() {
    // The choice has gone to the radios: the confirmation runs to its end.
    if (m_bAnimationRunning) return 0;
    if (m_nMode != osd::OsdMode::WirelessToggle) return 0;
    KillTimer(TE_OSD_HIDE);
    const bool drawn = m_wirelessToggle.Step();
    SetTimer(TE_OSD_HIDE, osd::kDisplaySwitchConfirmAfterMs);
    return drawn ? 1 : 0;
}

int CHKIconWindowDlg::GetSelectedWirelessStatus() { return m_wirelessToggle.Choice(); }

int CHKIconWindowDlg::InitRFSwitchWnd(const BYTE status[3]) {
    if (!m_hWnd) {
        ReportError(L"InitRFSwitchWnd");
        return 0;
    }
    if (!osd::ValidRadioStatus(status[0], status[1], status[2])) {
        ReportError(FormatText(L"fail: InitRFSwitchWnd() radio status %d %d %d", status[0], status[1], status[2]));
        return 0;
    }
    const SIZE before{m_nFrameWidth, m_nFrameHeight};
    if (!m_rfSwitch.Prepare(status)) return 0;
    if (!TakeOverForToggle(SelectionOwner::RfSelector)) return 1;

    m_nMode = osd::OsdMode::RfSwitch;
    if (!PlaceSelection(kRfSwitch, before, L"InitRFSwitchWnd: MoveHKWindowToCenter()")) return 0;
    m_bAnimationStarted = false;
    m_bAnimationRunning = false;
    if (!m_rfSwitch.Draw()) return 0;
    SetTimer(TE_OSD_HIDE, osd::kRfSwitchHideAfterMs);
    return 1;
}

int CHKIconWindowDlg::GetSelectedAutoScalerMode() {
    return osd::ResolutionSelectedMode(m_resolutionToggle.Choice(), m_resolutionToggle.Portrait());
}

// The choice is set when the window hides, not at the click.
void CHKIconWindowDlg::OnResolutionMouse(UINT message, POINT at) {
    if (!m_resolutionToggle.OnMouse(message, at)) return;
    KillTimer(TE_OSD_HIDE);
    if (message == WM_LBUTTONDBLCLK) RunHideSequence();
    else SetTimer(TE_OSD_HIDE, osd::kDisplaySwitchConfirmAfterMs);
}

void CHKIconWindowDlg::ApplyClosingSelection() {
    switch (m_nMode) {
    case osd::OsdMode::DisplaySwitcher:
        if (osd::IDisplaySwitchOwner* changer = m_pDisplaySwitchOwner) {
            if (GetKeyState(VK_CONTROL) < 0) changer->SetPendingSide(osd::kCtrlSide);
            else if (GetKeyState(VK_MENU) < 0) changer->SetPendingSide(osd::kAltSide);
            changer->ApplyDisplayCombination(GetSelectedDisplayMode());
        }
        FreeImgResource();
        m_nSelectedChoice = 0;
        m_displaySwitch.ResetSelection();
        break;
    case osd::OsdMode::SrsToggle:
        if (m_partners.Exists(SelectionOwner::SrsSelector)) FreeImgResource();
        break;
    case osd::OsdMode::ResolutionToggle:
        if (m_partners.Exists(SelectionOwner::ResolutionSelector)) {
            m_partners.ApplySelection(SelectionOwner::ResolutionSelector);
            FreeImgResource();
        }
        break;
    case osd::OsdMode::WirelessToggle:
        if (m_partners.Exists(SelectionOwner::WirelessSelector)) FreeImgResource();
        break;
    case osd::OsdMode::RfSwitch:
        if (m_partners.Exists(SelectionOwner::RfSelector)) FreeImgResource();
        break;
    default:
        break;
    }
}

void CHKIconWindowDlg::FreeImgResource() {
    for (auto& list : m_pChoiceImages) {
        for (auto& image : list) image.reset();
    }
    for (auto& image : m_pLabelImages) image.reset();
    m_displaySwitch.FreeImages();
    m_srsToggle.FreeImages();
    m_resolutionToggle.FreeImages();
    m_wirelessToggle.FreeImages();
    m_rfSwitch.FreeImages();
}

void CHKIconWindowDlg::OnDestroy() {
    m_displaySwitch.Release();
    m_wirelessToggle.Release();
    m_canvas.Release();
    m_memoryDC.Reset();
    m_screenDC.Reset();
    FreeImgResource();
    // Strips loaded here are this window's; the shared ones stay with the main window.
    if (m_pIconStrip == m_pOwnIconStrip.get()) m_pIconStrip = nullptr;
    if (m_pLevelStrip == m_pOwnLevelStrip.get()) m_pLevelStrip = nullptr;
    m_pOwnIconStrip.reset();
    m_pOwnLevelStrip.reset();
    m_bShown = false;
    m_bDestroyed = true;
    m_bLastShown.fill(false);
    m_nChoiceCount = 0;
    m_nSelectedChoice = 0;
    m_nFirstVisibleChoice = 0;
    m_bAnimationStarted = false;
    m_bAnimationRunning = false;
    if (m_pGone) m_pGone->OsdWindowGone();
}

void CHKIconWindowDlg::OnClose() { DefaultProc(WM_CLOSE, 0, 0); }

void CHKIconWindowDlg::PostNcDestroy() { m_windowLife.End(); }
