#include "app/mainosdpartners.h"

#include "app/mainhotkeyowner.h"
#include "app/mainselectors.h"
#include "display/displaychanger.h"

using osd::SelectionOwner;

CSRSEffectSelector* CMainOsdPartners::Srs() const {
    return m_pSelectors ? m_pSelectors->SrsSelector() : nullptr;
}

bool CMainOsdPartners::Exists(SelectionOwner owner) {
    if (owner == SelectionOwner::DisplayChanger) return m_pDisplayChanger != nullptr;
    return owner == SelectionOwner::SrsSelector && Srs() != nullptr;
}

bool CMainOsdPartners::Pending(SelectionOwner owner) {
    if (owner == SelectionOwner::DisplayChanger) return m_pDisplayChanger && m_pDisplayChanger->Switching();
    return owner == SelectionOwner::SrsSelector && Srs() && Srs()->OsdPending();
}

void CMainOsdPartners::ClearPending(SelectionOwner owner) {
    if (owner == SelectionOwner::DisplayChanger && m_pDisplayChanger) m_pDisplayChanger->ClearSwitching();
    if (owner == SelectionOwner::SrsSelector && Srs()) Srs()->ClearOsdPending();
}

void CMainOsdPartners::ApplySelection(SelectionOwner owner) {
    if (owner == SelectionOwner::SrsSelector && Srs()) m_pSelectors->ApplySrsSelection();
}
osd::IDisplaySwitchOwner* CMainOsdPartners::DisplaySwitchOwner() { return m_pDisplayChanger; }
void CMainOsdPartners::HideMessageWindow() {}
void CMainOsdPartners::ClearDispatcherMuteNote() {
    if (m_pMuteNoteOwner) m_pMuteNoteOwner->ClearUnmuteNote();
}
