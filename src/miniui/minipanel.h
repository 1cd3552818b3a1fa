// What the four mini UI panels share: a borderless pop-up from its template,
// hidden at creation, titled "VLM miniUI", that shrinks to an icon, a strip
// or its full size with a small animation (its view-mode button, control
// 1069), hides the whole mini UI on Escape or close, tells the manager when
// the user touches it, and carries the icon controls of its template. A
// panel is shown without taking the keyboard focus; it becomes the active
// window only when the user clicks it.
#pragma once

#include <windows.h>

#include <array>

#include "framework/dialogbase.h"
#include "miniui/panelrow.h"
#include "miniui/staticcursor.h"
#include "miniui/viewmodes.h"

namespace miniui {

// What a panel asks of the manager that owns it.
class IPanelOwner {
public:
    // Escape in a panel: hide the mini UI, end its countdown, the one-time hint.
    virtual void OnPanelEscape() = 0;
    // A close request: hide the mini UI.
    virtual void HideAll() = 0;
    virtual void MarkUserTouched() = 0;
    // Each step of an animation lays the row out again.
    virtual void RefreshLayout() = 0;
    virtual void SetAnimating(bool animating) = 0;
    // A panel was moved (by the user, or by the system).
    virtual void PanelMoved(Panel panel) = 0;
    virtual void ToggleOptionPanel() = 0;

protected:
    ~IPanelOwner() = default;
};

class CMiniPanel : public fw::CDialogBase {
public:
    // SetViewMode's two ways: size at once and stay hidden, or advance with the animation.
    static constexpr UINT kApplyHidden = SWP_HIDEWINDOW;
    static constexpr UINT kAdvanceAnimated = SWP_SHOWWINDOW;
    static constexpr int kViewModeButton = 1069;

    CMiniPanel(Panel panel, IPanelOwner& owner, const SizeAdditions& additions);

    // Creates the window from the panel's template, hidden.
    bool CreatePanel();
    Panel Kind() const { return m_panel; }
    int ViewMode() const { return m_nViewMode; }
    void SetViewMode(int mode, UINT how);
    // The window's size in a mode.
    SIZE SizeOf(int mode) const;
    // The options panel is widened for languages with longer texts.
    void SetLanguageWidening(int pixels) { m_nLanguageWidening = pixels; }
    const CStaticCursor& ViewModeButton() const { return m_viewModeButton; }

    bool PreTranslateMessage(MSG& msg) override;

protected:
    bool OnInitDialog() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnCommand(UINT id, UINT notifyCode) override;

private:
    // What each mode shows of the panel's controls.
    void PrepareContent();
    void Animate(int from, int to);
    void PointAtViewModeButton();

    Panel m_panel;
    IPanelOwner& m_owner;
    const SizeAdditions& m_additions;
    int m_nViewMode;
    int m_nLanguageWidening = 0;
    SIZE m_templateWindow{};  // the full template with the frame
    CStaticCursor m_viewModeButton;
    CStaticCursor m_optionsButton;
};

}  // namespace miniui
