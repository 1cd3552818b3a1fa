#include "app/mainminiui.h"

#include "app/tracecall.h"
#include "miniui/miniuimanager.h"

bool CMainMiniUi::MiniUiShown() { return m_pManager && m_pManager->Shown(); }

void CMainMiniUi::ShowMiniUI(int show) {
    TraceCall(L"ShowMiniUI", show);
    if (m_pManager) m_pManager->ShowMiniUI(show);
}

void CMainMiniUi::RefreshLayout() {
    if (m_pManager) m_pManager->RefreshLayout();
}

void CMainMiniUi::SetCountdownTitle(int seconds) {
    if (m_pManager) m_pManager->SetCountdownTitle(seconds);
}

bool CMainMiniUi::IsUserTouched() { return m_pManager && m_pManager->IsUserTouched(); }

void CMainMiniUi::ClearUserTouched() {
    if (m_pManager) m_pManager->ClearUserTouched();
}

bool CMainMiniUi::ReactsToConnectedMonitors() { return m_pManager && m_pManager->Options().autoShow; }
bool CMainMiniUi::ReactsOnlyToNewMonitors() { return m_pManager && m_pManager->Options().newMonitorsOnly; }
bool CMainMiniUi::IsAutoHide() { return m_pManager && m_pManager->Options().autoHide; }

// The presentation panel is not built yet: its mode is never on.
void CMainMiniUi::ApplyPresentationOutputMode() { TraceCall(L"ApplyPresentationOutputMode"); }
void CMainMiniUi::SwitchPresentationModeOff() { TraceCall(L"SwitchPresentationModeOff"); }
