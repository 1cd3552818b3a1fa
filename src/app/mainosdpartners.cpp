#include "app/mainosdpartners.h"

#include "app/mainhotkeyowner.h"
#include "app/mainselectors.h"
#include "display/displaychanger.h"

using osd::SelectionOwner;

CSRSEffectSelector* CMainOsdPartners::Srs() const {
    return m_pSelectors ? m_pSelectors->SrsSelector() : nullptr;
}

osd::CResolutionSelector* CMainOsdPartners::Resolution() const {
    return m_pSelectors ? m_pSelectors->ResolutionSelector() : nullptr;
}

bool CMainOsdPartners::Exists(SelectionOwner owner) {
    if (owner == SelectionOwner::DisplayChanger) return m_pDisplayChanger != nullptr;
    if (owner == SelectionOwner::ResolutionSelector) return Resolution() != nullptr;
    return owner == SelectionOwner::SrsSelector && Srs() != nullptr;
}

bool CMainOsdPartners::Pending(SelectionOwner owner) {
    if (owner == SelectionOwner::DisplayChanger) return m_pDisplayChanger && m_pDisplayChanger->Switching();
    if (owner == SelectionOwner::ResolutionSelector) return Resolution() && Resolution()->OsdPending();
    return owner == SelectionOwner::SrsSelector && Srs() && Srs()->OsdPending();
}

void CMainOsdPartners::ClearPending(SelectionOwner owner) {
    if (owner == SelectionOwner::DisplayChanger && m_pDisplayChanger) m_pDisplayChanger->ClearSwitching();
    if (owner == SelectionOwner::SrsSelector && Srs()) Srs()->ClearOsdPending();
    if (owner == SelectionOwner::ResolutionSelector && Resolution()) Resolution()->ClearOsdPending();
}

void CMainOsdPartners::ApplySelection(SelectionOwner owner) {
    if (owner == SelectionOwner::SrsSelector && Srs()) m_pSelectors->ApplySrsSelection();
    if (owner == SelectionOwner::ResolutionSelector && Resolution()) m_pSelectors->ApplyResolutionSelection();
}
osd::IDisplaySwitchOwner* CMainOsdPartners::DisplaySwitchOwner() { return m_pDisplayChanger; }
void CMainOsdPartners::HideMessageWindow() {}
void CMainOsdPartners::ClearDispatcherMuteNote() {
    if (m_pMuteNoteOwner) m_pMuteNoteOwner->ClearUnmuteNote();
}
