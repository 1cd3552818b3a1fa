#include "app/mainselectors.h"

#include "common/commondefine.h"
#include "hardware/systeminfo.h"
#include "osd/hkiconwindowdlg.h"

CMainSelectors::CMainSelectors(ISelectors& unbuilt, IOsdWindowUsers& otherUsers, std::function<void()> initHkWindow)
    : m_unbuilt(unbuilt), m_otherUsers(otherUsers), m_initHkWindow(std::move(initHkWindow)) {}

CMainSelectors::~CMainSelectors() = default;

void CMainSelectors::SetOsdWindow(CHKIconWindowDlg* window) {
    m_pWindow = window;
    if (m_pSrsSelector) m_pSrsSelector->SetHKIconWindow(window ? static_cast<ISRSToggleOsd*>(this) : nullptr);
    m_otherUsers.SetOsdWindow(window);
}

void CMainSelectors::Release() {
    m_pSrsSelector.reset();
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
