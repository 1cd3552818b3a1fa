#include "app/mainosdpartners.h"

#include "app/mainhotkeyowner.h"
#include "app/mainselectors.h"

CSRSEffectSelector* CMainOsdPartners::Srs() const {
    return m_pSelectors ? m_pSelectors->SrsSelector() : nullptr;
}

bool CMainOsdPartners::Exists(osd::SelectionOwner owner) {
    return owner == osd::SelectionOwner::SrsSelector && Srs() != nullptr;
}

bool CMainOsdPartners::Pending(osd::SelectionOwner owner) {
    return owner == osd::SelectionOwner::SrsSelector && Srs() && Srs()->OsdPending();
}

void CMainOsdPartners::ClearPending(osd::SelectionOwner owner) {
    if (owner == osd::SelectionOwner::SrsSelector && Srs()) Srs()->ClearOsdPending();
}

void CMainOsdPartners::ApplySelection(osd::SelectionOwner owner) {
    if (owner == osd::SelectionOwner::SrsSelector && Srs()) m_pSelectors->ApplySrsSelection();
}
osd::IDisplaySwitchOwner* CMainOsdPartners::DisplaySwitchOwner() { return nullptr; }
void CMainOsdPartners::HideMessageWindow() {}
void CMainOsdPartners::ClearDispatcherMuteNote() {
    if (m_pMuteNoteOwner) m_pMuteNoteOwner->ClearUnmuteNote();
}
