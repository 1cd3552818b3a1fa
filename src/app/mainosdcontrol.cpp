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

bool CMainOsdControl::IsShown() { return m_pWindow && m_pWindow->IsShown(); }
bool CMainOsdControl::IsDestroyed() { return !m_pWindow || m_pWindow->IsDestroyed(); }
bool CMainOsdControl::AnimationRunning() { return m_pWindow && m_pWindow->AnimationRunning(); }
int CMainOsdControl::InitDisplaySwitching(int connectedCode, int activeCode, int registeredProfile) {
    return m_pWindow ? m_pWindow->InitDisplaySwitching(connectedCode, activeCode, registeredProfile != 0) : 0;
}
int CMainOsdControl::SetNextDisplayDevice(int backward) {
    return m_pWindow ? m_pWindow->SetNextDisplayDevice(backward) : 0;
}
int CMainOsdControl::GetSelectedDisplayMode() { return m_pWindow ? m_pWindow->GetSelectedDisplayMode() : 0; }
void CMainOsdControl::ShowNoActivate() {
    if (m_pWindow) m_pWindow->ShowNoActivate();
}
