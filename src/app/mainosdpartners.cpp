#include "app/mainosdpartners.h"

#include "app/mainhotkeyowner.h"

bool CMainOsdPartners::Exists(osd::SelectionOwner owner) { return false; }
bool CMainOsdPartners::Pending(osd::SelectionOwner owner) { return false; }
void CMainOsdPartners::ClearPending(osd::SelectionOwner owner) {}
void CMainOsdPartners::ApplySelection(osd::SelectionOwner owner) {}
osd::IDisplaySwitchOwner* CMainOsdPartners::DisplaySwitchOwner() { return nullptr; }
void CMainOsdPartners::HideMessageWindow() {}
void CMainOsdPartners::ClearDispatcherMuteNote() {
    if (m_pMuteNoteOwner) m_pMuteNoteOwner->ClearUnmuteNote();
}
