#include "app/mainselectors.h"

#include "common/commondefine.h"
#include "common/siblingmessages.h"
#include "hardware/systeminfo.h"
#include "osd/hkiconwindowdlg.h"

CMainSelectors::CMainSelectors(IOsdWindowUsers& otherUsers, std::function<void()> initHkWindow)
    : m_otherUsers(otherUsers), m_initHkWindow(std::move(initHkWindow)) {}

CMainSelectors::~CMainSelectors() = default;

void CMainSelectors::SetOsdWindow(CHKIconWindowDlg* window) {
    m_pWindow = window;
    if (m_pSrsSelector) m_pSrsSelector->SetHKIconWindow(window ? static_cast<ISRSToggleOsd*>(this) : nullptr);
    HandResolutionSelectorTheWindow();
    if (m_pWirelessSelector) m_pWirelessSelector->SetHKIconWindow(window);
    if (m_pRfSelector) m_pRfSelector->SetHKIconWindow(window);
    m_otherUsers.SetOsdWindow(window);
}

void CMainSelectors::ReleaseRadioSelectors() {
    m_pRfSelector.reset();
    m_pWirelessSelector.reset();
}

void CMainSelectors::ReleaseDisplaySelectors() {
    m_pSrsSelector.reset();
    m_pResolutionSelector.reset();
    m_pWindow = nullptr;
}

int CMainSelectors::SelectSRSEffect() {
    if (!m_pSystemInfo) return 0;
    if (!m_pSrsSelector) {
        m_pSrsSelector = std::make_unique<CSRSEffectSelector>(*m_pSystemInfo, static_cast<ISRSSelectorOwner&>(*this));
        m_pSrsSelector->SetHKIconWindow(m_pWindow ? static_cast<ISRSToggleOsd*>(this) : nullptr);
    }
    return m_pSrsSelector->SelectSRSEffect();
}

int CMainSelectors::SelectWirelessDeviceStatus(int twoChoice) {
    if (!m_pSystemInfo) return 0;
    if (!m_pWirelessSelector) {
        // The layout is bound once, by the key press that creates the selector.
        m_pWirelessSelector = std::make_unique<osd::CWirelessSelector>(static_cast<osd::IRadioFirmware&>(*this),
                                                                       static_cast<osd::ISelectorOwner&>(*this),
                                                                       twoChoice != 0);
        m_pWirelessSelector->SetHKIconWindow(m_pWindow);
    }
    return m_pWirelessSelector->SelectWirelessDeviceStatus();
}

int CMainSelectors::SelectRFStatus() {
    if (!m_pSystemInfo) return 0;
    if (!m_pRfSelector) {
        m_pRfSelector = std::make_unique<osd::CRFSelector>(static_cast<osd::IRadioFirmware&>(*this),
                                                           static_cast<osd::ISelectorOwner&>(*this));
        m_pRfSelector->SetHKIconWindow(m_pWindow);
    }
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

void CMainSelectors::ApplySrsSelection() {
    if (m_pSystemInfo && m_pWindow) m_pSystemInfo->ApplySRSSelection(static_cast<BYTE>(m_pWindow->GetSelectedSRSMode()));
}

bool CMainSelectors::IsShown() { return m_pWindow && m_pWindow->IsShown(); }
bool CMainSelectors::IsDestroyed() { return !m_pWindow || m_pWindow->IsDestroyed(); }
int CMainSelectors::InitSRSToggle(BYTE state) { return m_pWindow ? m_pWindow->InitSRSToggle(state) : 0; }
void CMainSelectors::SetNextSRSmode() {
    if (m_pWindow) m_pWindow->SetNextSRSmode();
}
int CMainSelectors::GetSelectedSRSMode() { return m_pWindow ? m_pWindow->GetSelectedSRSMode() : 0; }
void CMainSelectors::ShowNoActivate() {
    if (m_pWindow) m_pWindow->ShowNoActivate();
}

// The resolution selector.

void CMainSelectors::HandResolutionSelectorTheWindow() {
    if (m_pResolutionSelector) {
        m_pResolutionSelector->SetHKIconWindow(m_pWindow ? static_cast<osd::IResolutionToggleOsd*>(this) : nullptr);
    }
}

osd::CResolutionSelector* CMainSelectors::MakeResolutionSelector() {
    if (!m_pResolutionSelector && m_pResolutionDisplay) {
        m_pResolutionSelector = std::make_unique<osd::CResolutionSelector>(
            *m_pResolutionDisplay, static_cast<osd::IResolutionSelectorOwner&>(*this));
        HandResolutionSelectorTheWindow();
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

int CMainSelectors::InitASToggle(int choice) { return m_pWindow ? m_pWindow->InitASToggle(choice) : 0; }
int CMainSelectors::SetNextAutoScalerMode() { return m_pWindow ? m_pWindow->SetNextAutoScalerMode() : 0; }
int CMainSelectors::GetSelectedAutoScalerMode() { return m_pWindow ? m_pWindow->GetSelectedAutoScalerMode() : 0; }

void CMainSelectors::PostRotationNotice() {
    if (m_hMainWindow) PostMessageW(m_hMainWindow, WM_VQ_SIBLING, sibling::kRotationAnswer, 0);
}
