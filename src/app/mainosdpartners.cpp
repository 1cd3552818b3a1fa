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

osd::CWirelessSelector* CMainOsdPartners::Wireless() const {
    return m_pSelectors ? m_pSelectors->WirelessSelector() : nullptr;
}

osd::CRFSelector* CMainOsdPartners::Rf() const { return m_pSelectors ? m_pSelectors->RfSelector() : nullptr; }

bool CMainOsdPartners::Exists(SelectionOwner owner) {
    switch (owner) {
    case SelectionOwner::DisplayChanger: return m_pDisplayChanger != nullptr;
    case SelectionOwner::SrsSelector: return Srs() != nullptr;
    case SelectionOwner::ResolutionSelector: return Resolution() != nullptr;
    case SelectionOwner::WirelessSelector: return Wireless() != nullptr;
    case SelectionOwner::RfSelector: return Rf() != nullptr;
    default: return false;
    }
}

bool CMainOsdPartners::Pending(SelectionOwner owner) {
    switch (owner) {
    case SelectionOwner::DisplayChanger: return m_pDisplayChanger && m_pDisplayChanger->Switching();
    case SelectionOwner::SrsSelector: return Srs() && Srs()->OsdPending();
    case SelectionOwner::ResolutionSelector: return Resolution() && Resolution()->OsdPending();
    case SelectionOwner::WirelessSelector: return Wireless() && Wireless()->OsdPending();
    case SelectionOwner::RfSelector: return Rf() && Rf()->OsdPending();
    default: return false;
    }
}

void CMainOsdPartners::ClearPending(SelectionOwner owner) {
    if (owner == SelectionOwner::DisplayChanger && m_pDisplayChanger) m_pDisplayChanger->ClearSwitching();
    if (owner == SelectionOwner::SrsSelector && Srs()) Srs()->ClearOsdPending();
    if (owner == SelectionOwner::ResolutionSelector && Resolution()) Resolution()->ClearOsdPending();
    if (owner == SelectionOwner::WirelessSelector && Wireless()) Wireless()->ClearOsdPending();
    if (owner == SelectionOwner::RfSelector && Rf()) Rf()->ClearOsdPending();
}

void CMainOsdPartners::ApplySelection(SelectionOwner owner) {
    if (owner == SelectionOwner::SrsSelector && Srs()) m_pSelectors->ApplySrsSelection();
    if (owner == SelectionOwner::ResolutionSelector && Resolution()) m_pSelectors->ApplyResolutionSelection();
    if (owner == SelectionOwner::WirelessSelector && Wireless()) Wireless()->ApplySelection();
}
osd::IDisplaySwitchOwner* CMainOsdPartners::DisplaySwitchOwner() { return m_pDisplayChanger; }
void CMainOsdPartners::HideMessageWindow() {}
void CMainOsdPartners::ClearDispatcherMuteNote() {
    if (m_pMuteNoteOwner) m_pMuteNoteOwner->ClearUnmuteNote();
}
