#include "osd/resolutionselector.h"

#include "common/commondefine.h"
#include "common/processstate.h"
#include "osd/resolutiontable.h"

namespace osd {

namespace {

constexpr int kIntelVendor = 3;
// The model family whose panel the Intel driver scales down.
constexpr int kBitsPerPixel = 32;
// The frequency the display keeps.
constexpr int kAnyFrequency = 0;
// The two choices the panel shows scaled down: 800 x 600 and 1024 x 600.
bool IsDownScaledChoice(int choice) { return choice == 1 || choice == 2; }
bool SameSize(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

}  // namespace

int CResolutionSelector::SelectResolution() {
    if (!m_display.HasGraphicsDriver()) {
        ReportError(kNoDriverReport);
        return 0;
    }
    return Select();
}

int CResolutionSelector::Select() {
    return PressSelection(
        m_osd, m_bOsdPending, kNoOsdReport,
        [this](IResolutionToggleOsd& open) {
            if (open.IsShown() && open.SetNextAutoScalerMode()) return SelectionStep::Stepped;
            m_bOsdPending = false;
            return SelectionStep::Reopen;
        },
        [this](IResolutionToggleOsd& window) {
            const SIZE screen = m_display.PrimaryScreenSize();
            if (window.InitASToggle(ChoiceOfScreenSize(screen.cx, screen.cy))) return true;
            ReportError(kOpenFailedReport);
            return false;
        });
}

int CResolutionSelector::ChangeResolution(int width, int height) {
    if (!m_display.HasGraphicsDriver()) {
        ReportError(kNoDriverReport);
        return 0;
    }
    return Change(width, height);
}

int CResolutionSelector::Change(int width, int height) {
    m_bOsdPending = false;
    int choice = 0;
    SIZE size{width, height};
    if (width == 0) {
        IResolutionToggleOsd* window = m_osd.CurrentWindow();
        choice = window ? window->GetSelectedAutoScalerMode() : -1;
        size = ScreenSizeOfChoice(choice);
    } else {
        choice = ChoiceOfRequestedSize(width, height);
    }
    bool panelActive = false, crtActive = false;
    if (proc::IsIntelNetbook() && m_display.GraphicsVendor() == kIntelVendor) {
        m_display.RefreshOutputs(&panelActive, &crtActive);
    }
    const bool panelAlone = panelActive && !crtActive;
    if (panelAlone) {
        const SIZE screen = m_display.PrimaryScreenSize();
        // A size the panel shows already needs no change and no notice; a
        // scaled-down size already in place answers 0, as nothing was set.
        if (SameSize(screen, size)) {
            if (!IsDownScaledChoice(choice)) return 1;
            if (DownScalingEnabled()) return 0;
        }
    }
    const int result = panelAlone ? ChangeOnSmallPanel(choice, size) : ChangePrimary(size);
    m_owner.PostRotationNotice();
    return result;
}

// The panel alone on the Intel driver: the two larger sizes are shown scaled
// down, every other size with down-scaling off.
int CResolutionSelector::ChangeOnSmallPanel(int choice, SIZE size) {
    if (IsDownScaledChoice(choice)) {
        if (!m_display.SetDownScaling(1, size)) return 0;
        return ChangePrimary(size);
    }
    if (DownScalingEnabled()) return m_display.SetDownScaling(0, size);
    return ChangePrimary(size);
}

// A query that fails counts as down-scaling off.
bool CResolutionSelector::DownScalingEnabled() {
    if (m_display.GraphicsVendor() != kIntelVendor) return false;
    int enabled = 0;
    return m_display.IsDownScalingEnabled(&enabled) && enabled != 0;
}

int CResolutionSelector::ChangePrimary(SIZE size) {
    return m_display.ChangePrimaryDisplaySettings(size.cx, size.cy, kBitsPerPixel, kAnyFrequency);
}

int CResolutionSelector::CanRotataion(int* canRotate) {
    if (!m_display.HasGraphicsDriver()) {
        *canRotate = 0;
        ReportError(kNoDriverReport);
        return 0;
    }
    const SIZE screen = m_display.PrimaryScreenSize();
    bool can = !DownScalingEnabled() && IsRotatableSize(screen.cx, screen.cy) && !m_display.IsDualView();
    if (can) {
        bool panelActive = false, crtActive = false;
        m_display.RefreshOutputs(&panelActive, &crtActive);
        can = !(panelActive && crtActive);
    }
    *canRotate = can ? 1 : 0;
    return 1;
}

int CResolutionSelector::WaResetResolutionBeforeS3S4() {
    if (!m_display.HasGraphicsDriver()) {
        ReportError(kNoDriverReport);
        return 0;
    }
    const SIZE screen = m_display.PrimaryScreenSize();
    if (IsRotatableSize(screen.cx, screen.cy)) return 1;
    return ChangePrimary(SleepSizeOf(screen.cx, screen.cy));
}

}  // namespace osd
