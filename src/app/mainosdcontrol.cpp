#include "app/mainosdcontrol.h"

#include "osd/hkiconwindowdlg.h"

bool CMainOsdControl::OsdAlive() { return m_pWindow && !m_pWindow->IsDestroyed() && m_pWindow->IsWindowAlive(); }
void CMainOsdControl::HideOsd() {
    if (OsdAlive()) ShowWindow(m_pWindow->Handle(), SW_HIDE);
}
osd::OsdMode CMainOsdControl::OsdMode() { return m_pWindow ? m_pWindow->Mode() : osd::OsdMode::None; }
void CMainOsdControl::SetOsdMode(osd::OsdMode mode) {
    if (m_pWindow) m_pWindow->SetMode(mode);
}
void CMainOsdControl::ClearOsdSelection() {
    if (m_pWindow) m_pWindow->ClearSelection();
}
void CMainOsdControl::SendOsdSelectionTimer() {
    if (OsdAlive()) SendMessageW(m_pWindow->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
}
