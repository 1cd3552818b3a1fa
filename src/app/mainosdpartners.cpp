#include "app/mainosdpartners.h"

#include "app/mainhotkeyowner.h"
#include "display/displaychanger.h"

using osd::SelectionOwner;

bool CMainOsdPartners::Exists(SelectionOwner owner) {
    return owner == SelectionOwner::DisplayChanger && m_pDisplayChanger;
}
bool CMainOsdPartners::Pending(SelectionOwner owner) {
    return owner == SelectionOwner::DisplayChanger && m_pDisplayChanger && m_pDisplayChanger->Switching();
}
void CMainOsdPartners::ClearPending(SelectionOwner owner) {
    if (owner == SelectionOwner::DisplayChanger && m_pDisplayChanger) m_pDisplayChanger->ClearSwitching();
}
void CMainOsdPartners::ApplySelection(SelectionOwner owner) {}
osd::IDisplaySwitchOwner* CMainOsdPartners::DisplaySwitchOwner() { return m_pDisplayChanger; }
void CMainOsdPartners::HideMessageWindow() {}
void CMainOsdPartners::ClearDispatcherMuteNote() {
    if (m_pMuteNoteOwner) m_pMuteNoteOwner->ClearUnmuteNote();
}
