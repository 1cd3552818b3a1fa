#include "miniui/minipanel.h"

#include "resource.h"

namespace miniui {

namespace {

constexpr int kTemplateMargin = 4;  // the options panel's full size beyond its template
constexpr int kPointerOffset = 10;  // the pointer rests this far right of and below the button's centre

UINT TemplateOf(Panel panel) {
    switch (panel) {
    case kOutputPanel: return IDD_MINI_DISPLAY_SWITCH;
    case kResolutionPanel: return IDD_MINI_DISPLAY_PROPERTY;
    case kPresentationPanel: return IDD_MINI_PRESENTATION;
    default: return IDD_MINI_OPTION;
    }
}

// The control that shows or hides the options panel: a corner dot, or the
// options panel's own close mark.
int OptionsControlOf(Panel panel) {
    switch (panel) {
    case kOutputPanel: return IDC_MINI_OUTPUT_OPTIONS;
    case kOptionsPanel: return IDC_MINI_OPTION_CLOSE;
    default: return IDC_MINI_OPTIONS;
    }
}

bool IsEscapeKey(const MSG& msg) {
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
        return msg.wParam == VK_ESCAPE;
    default:
        return false;
    }
}

}  // namespace

CMiniPanel::CMiniPanel(Panel panel, IPanelOwner& owner, const SizeAdditions& additions)
    : m_panel(panel), m_owner(owner), m_additions(additions), m_nViewMode(panel == kOptionsPanel ? kFullView : kIconView) {}

bool CMiniPanel::CreatePanel() { return Create(TemplateOf(m_panel)); }

bool CMiniPanel::OnInitDialog() {
    RECT window;
    GetWindowRect(m_hWnd, &window);
    RECT client;
    GetClientRect(m_hWnd, &client);
    // The template's client with a margin, and the window's frame around it.
    m_templateWindow = SIZE{client.right + kTemplateMargin + (window.right - window.left - client.right),
                            client.bottom + kTemplateMargin + (window.bottom - window.top - client.bottom)};
    const auto owner = static_cast<OwnerKind>(m_panel + 1);
    if (m_viewModeButton.Attach(m_hWnd, kViewModeButton, owner)) m_viewModeButton.LoadImageKind(m_panel + 1);
    if (m_optionsButton.Attach(m_hWnd, OptionsControlOf(m_panel), owner) && m_panel == kOptionsPanel) {
        m_optionsButton.LoadImageKind(static_cast<int>(ImageKind::Close));
    }
    return false;  // no control takes the focus: that would make the panel the active window
}

SIZE CMiniPanel::SizeOf(int mode) const {
    const SIZE full{m_templateWindow.cx + m_nLanguageWidening, m_templateWindow.cy};
    return ViewModeSize(m_panel, mode, m_additions, full);
}

void CMiniPanel::SetViewMode(int mode, UINT how) {
    const int before = m_nViewMode;
    m_nViewMode = how == kAdvanceAnimated ? NextViewMode(m_panel, before) : mode;
    PrepareContent();
    if (how != kAdvanceAnimated) {
        const SIZE size = SizeOf(m_nViewMode);
        SetWindowPos(m_hWnd, nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        return;
    }
    Animate(PreviousViewMode(m_panel, m_nViewMode), m_nViewMode);
}

void CMiniPanel::PrepareContent() {
    // The options panel's icon shows its picture alone: its detection group goes.
    if (m_panel == kOptionsPanel) {
        if (HWND group = GetDlgItem(m_hWnd, IDC_MINI_OPTION_DETECTION)) {
            ShowWindow(group, m_nViewMode == kIconView ? SW_HIDE : SW_SHOWNA);
        }
    }
}

void CMiniPanel::Animate(int from, int to) {
    m_owner.SetAnimating(true);
    RECT now;
    GetWindowRect(m_hWnd, &now);
    const SIZE start = SizeOf(from);
    const RECT startRect{now.left, now.top, now.left + start.cx, now.top + start.cy};
    for (const RECT& step : AnimationSteps(startRect, SizeOf(to))) {
        SetWindowPos(m_hWnd, nullptr, step.left, step.top, step.right - step.left, step.bottom - step.top,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        m_owner.RefreshLayout();
        InvalidateRect(m_hWnd, nullptr, FALSE);
        UpdateWindow(m_hWnd);
        PointAtViewModeButton();
    }
    InvalidateRect(m_hWnd, nullptr, TRUE);
    m_owner.SetAnimating(false);
}

void CMiniPanel::PointAtViewModeButton() {
    HWND button = GetDlgItem(m_hWnd, kViewModeButton);
    if (!button) return;
    RECT r;
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2 + kPointerOffset, (r.top + r.bottom) / 2 + kPointerOffset);
}

bool CMiniPanel::PreTranslateMessage(MSG& msg) {
    if (IsEscapeKey(msg)) m_owner.OnPanelEscape();
    if (msg.message == WM_LBUTTONDOWN || (msg.message == WM_MOUSEMOVE && m_panel != kOptionsPanel)) {
        m_owner.MarkUserTouched();
    }
    // A panel never takes the focus by being shown, only when the user clicks it.
    if (msg.message == WM_LBUTTONDOWN && GetForegroundWindow() != m_hWnd) SetForegroundWindow(m_hWnd);
    return m_hWnd && IsDialogMessageW(m_hWnd, &msg);
}

LRESULT CMiniPanel::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CLOSE:
        m_owner.HideAll();
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            m_owner.HideAll();
            if (m_panel == kOptionsPanel) return 0;
        }
        break;
    case WM_MOVE:
        m_owner.PanelMoved(m_panel);
        break;
    default:
        break;
    }
    return fw::CDialogBase::WindowProc(message, wParam, lParam);
}

bool CMiniPanel::OnCommand(UINT id, UINT notifyCode) {
    if (id == IDCANCEL) return true;  // Escape is handled as the key itself
    if (notifyCode != STN_CLICKED) return false;
    if (id == static_cast<UINT>(kViewModeButton)) {
        SetViewMode(m_nViewMode, kAdvanceAnimated);
        return true;
    }
    if (id == static_cast<UINT>(OptionsControlOf(m_panel))) {
        m_owner.ToggleOptionPanel();
        return true;
    }
    return false;
}

}  // namespace miniui
