#include "app/mainselectors.h"

#include "common/commondefine.h"
#include "common/siblingmessages.h"
#include "hardware/systeminfo.h"

CMainSelectors::CMainSelectors(osd::COsdWindowSlot& osd) : m_osd(osd) {}

CMainSelectors::~CMainSelectors() = default;

void CMainSelectors::ReleaseRadioSelectors() {
    m_pRfSelector.reset();
    m_pWirelessSelector.reset();
}

void CMainSelectors::ReleaseDisplaySelectors() {
    m_pSrsSelector.reset();
    m_pResolutionSelector.reset();
}

int CMainSelectors::SelectSRSEffect() {
    if (!m_pSystemInfo) return 0;
    if (!m_pSrsSelector) m_pSrsSelector = std::make_unique<CSRSEffectSelector>(*m_pSystemInfo, m_osd);
    return m_pSrsSelector->SelectSRSEffect();
}

int CMainSelectors::SelectWirelessDeviceStatus(int twoChoice) {
    if (!m_pSystemInfo) return 0;
    if (!m_pWirelessSelector) {
        // The layout is bound once, by the key press that creates the selector.
        m_pWirelessSelector =
            std::make_unique<osd::CWirelessSelector>(static_cast<osd::IRadioFirmware&>(*this), m_osd, twoChoice != 0);
    }
    return m_pWirelessSelector->SelectWirelessDeviceStatus();
}

int CMainSelectors::SelectRFStatus() {
    if (!m_pSystemInfo) return 0;
    if (!m_pRfSelector) m_pRfSelector = std::make_unique<osd::CRFSelector>(static_cast<osd::IRadioFirmware&>(*this), m_osd);
    return m_pRfSelector->SelectRFStatus();
}

void CMainSelectors::ClearWirelessSelectorPending() {
    if (m_pWirelessSelector) m_pWirelessSelector->ClearOsdPending();
}

int CMainSelectors::GetWirelessStatus2(BYTE state[2]) { return m_pSystemInfo ? m_pSystemInfo->GetWirelessStatus2(state) : 0; }
int CMainSelectors::SetWirelessStatus2(const BYTE state[2]) {
    return m_pSystemInfo ? m_pSystemInfo->SetWirelessStatus2(state) : 0;
}
int CMainSelectors::GetRFOnOffStatus(BYTE status[3]) { return m_pSystemInfo ? m_pSystemInfo->GetRFOnOffStatus(status) : 0; }

bool CMainSelectors::Exists(osd::SelectionOwner owner) const {
    switch (owner) {
    case osd::SelectionOwner::SrsSelector: return m_pSrsSelector != nullptr;
    case osd::SelectionOwner::ResolutionSelector: return m_pResolutionSelector != nullptr;
    case osd::SelectionOwner::WirelessSelector: return m_pWirelessSelector != nullptr;
    case osd::SelectionOwner::RfSelector: return m_pRfSelector != nullptr;
    default: return false;
    }
}

bool CMainSelectors::Pending(osd::SelectionOwner owner) const {
    switch (owner) {
    case osd::SelectionOwner::SrsSelector: return m_pSrsSelector && m_pSrsSelector->OsdPending();
    case osd::SelectionOwner::ResolutionSelector: return m_pResolutionSelector && m_pResolutionSelector->OsdPending();
    case osd::SelectionOwner::WirelessSelector: return m_pWirelessSelector && m_pWirelessSelector->OsdPending();
    case osd::SelectionOwner::RfSelector: return m_pRfSelector && m_pRfSelector->OsdPending();
    default: return false;
    }
}

void CMainSelectors::ClearPending(osd::SelectionOwner owner) {
    if (owner == osd::SelectionOwner::SrsSelector && m_pSrsSelector) m_pSrsSelector->ClearOsdPending();
    if (owner == osd::SelectionOwner::ResolutionSelector) ClearResolutionSelectorPending();
    if (owner == osd::SelectionOwner::WirelessSelector) ClearWirelessSelectorPending();
    if (owner == osd::SelectionOwner::RfSelector && m_pRfSelector) m_pRfSelector->ClearOsdPending();
}

void CMainSelectors::ApplySelection(osd::SelectionOwner owner) {
    if (owner == osd::SelectionOwner::SrsSelector && m_pSrsSelector) ApplySrsSelection();
    if (owner == osd::SelectionOwner::ResolutionSelector) ApplyResolutionSelection();
    if (owner == osd::SelectionOwner::WirelessSelector && m_pWirelessSelector) m_pWirelessSelector->ApplySelection();
}

void CMainSelectors::ApplySrsSelection() {
    CHKIconWindowDlg* window = m_osd.CurrentWindow();
    if (m_pSystemInfo && window) m_pSystemInfo->ApplySRSSelection(static_cast<BYTE>(window->GetSelectedSRSMode()));
}

// The resolution selector.

osd::CResolutionSelector* CMainSelectors::MakeResolutionSelector() {
    if (!m_pResolutionSelector && m_pResolutionDisplay) {
        m_pResolutionSelector = std::make_unique<osd::CResolutionSelector>(
            *m_pResolutionDisplay, static_cast<osd::IResolutionSelectorOwner&>(*this), m_osd);
    }
    return m_pResolutionSelector.get();
}

int CMainSelectors::SelectResolution() {
    osd::CResolutionSelector* selector = MakeResolutionSelector();
    return selector ? selector->SelectResolution() : 0;
}

// Before sleep a fresh selector takes over: no toggle stays open across it.
void CMainSelectors::RenewResolutionSelector() {
    m_pResolutionSelector.reset();
    MakeResolutionSelector();
}

int CMainSelectors::WaResetResolutionBeforeS3S4() {
    return m_pResolutionSelector ? m_pResolutionSelector->WaResetResolutionBeforeS3S4() : 0;
}

int CMainSelectors::CanRotate() {
    osd::CResolutionSelector* selector = MakeResolutionSelector();
    int canRotate = 0;
    if (selector) selector->CanRotataion(&canRotate);
    return canRotate;
}

void CMainSelectors::ClearResolutionSelectorPending() {
    if (m_pResolutionSelector) m_pResolutionSelector->ClearOsdPending();
}

void CMainSelectors::ApplyResolutionSelection() {
    if (m_pResolutionSelector) m_pResolutionSelector->ChangeResolution(0, 0);
}

void CMainSelectors::PostRotationNotice() {
    if (m_hMainWindow) PostMessageW(m_hMainWindow, WM_VQ_SIBLING, sibling::kRotationAnswer, 0);
}
