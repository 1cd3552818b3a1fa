#include "app/maindisplayports.h"

#include "app/tracecall.h"
#include "display/displaychanger.h"

// The display keys and detection ask this first: the trace shows their road
// was taken even where no driver lets them act.
bool CMainDisplayPorts::HasGraphicsDriver() {
    TraceCall(L"HasGraphicsDriver");
    return m_pChanger && m_pChanger->Driver();
}

int CMainDisplayPorts::SelectDisplayCombination(int backward) {
    TraceCall(L"SelectDisplayCombination", backward);
    return m_pChanger ? m_pChanger->SelectDisplayCombination(backward) : 0;
}

int CMainDisplayPorts::RestoreDefaultDisplay(int flags) {
    TraceCall(L"RestoreDefaultDisplay", flags);
    return m_pChanger ? m_pChanger->RestoreDefaultDisplay(flags) : 0;
}

void CMainDisplayPorts::ChangeDisplayCombination(int combination, int repaint) {
    TraceCall(L"ChangeDisplayCombination", combination, repaint);
    if (m_pChanger) m_pChanger->ChangeDisplayCombination(&combination, repaint);
}

void CMainDisplayPorts::GetConnectedDisplays() {
    if (m_pChanger) m_pChanger->GetConnectedDisplays();
}

int CMainDisplayPorts::RefreshActiveDisplay() {
    if (!m_pChanger) return 0;
    m_pChanger->GetConnectedDisplays();
    return m_pChanger->ActiveDisplay();
}

int CMainDisplayPorts::RefreshConnectedDisplay() {
    if (!m_pChanger) return 0;
    m_pChanger->GetConnectedDisplays();
    return m_pChanger->ConnectedDisplay();
}

void CMainDisplayPorts::ClearDisplaySwitchPending() {
    if (m_pChanger) m_pChanger->ClearSwitching();
}

void CMainDisplayPorts::SetDriverSuspendFlag() {
    if (m_pChanger && m_pChanger->Driver()) m_pChanger->Driver()->m_bSuspended = 1;
}

bool CMainDisplayPorts::HasWin7Component() {
    TraceCall(L"HasWin7Component");
    return m_pChanger && m_pChanger->Win7Component();
}

int CMainDisplayPorts::GetActiveCode(int* code) {
    return m_pChanger && m_pChanger->Win7Component() ? m_pChanger->Win7Component()->GetActiveCode(code) : 0;
}

bool CMainDisplayPorts::IsOnlyPanelActive() { return RefreshActiveOutputs() == displaydevice::kPanel; }

int CMainDisplayPorts::RefreshActiveOutputs() {
    CVGA* driver = m_pChanger ? m_pChanger->Driver() : nullptr;
    if (!driver) return 0;
    driver->GetConnectedDisplays();
    int active = 0;
    for (int i = 0; i < displaydevice::kCount; ++i) {
        if (driver->m_nDeviceStatus[i] == devicestatus::kActive) active |= 1 << i;
    }
    return active;
}

int CMainDisplayPorts::SetResolutionUp(int x, int y, int useLadder) {
    TraceCall(L"SetResolutionUp", useLadder);
    return m_pChanger ? m_pChanger->ResolutionSteps().SetResolutionUp(x, y, useLadder) : 0;
}

int CMainDisplayPorts::SetResolutionDown(int x, int y, int useLadder) {
    TraceCall(L"SetResolutionDown", useLadder);
    return m_pChanger ? m_pChanger->ResolutionSteps().SetResolutionDown(x, y, useLadder) : 0;
}

int CMainDisplayPorts::RotateDisplayAt(int x, int y, int angle) {
    TraceCall(L"RotateDisplayAt", angle);
    return m_pChanger ? m_pChanger->ResolutionSteps().RotateDisplayAt(x, y, angle) : 0;
}

void CMainDisplayPorts::RotateDisplayStep(int key) {
    TraceCall(L"RotateDisplayStep", key);
    if (m_pChanger) m_pChanger->ResolutionSteps().RotateDisplayStep(key);
}

// Down-scaling is a capability of some drivers (Intel's); any other has none.
int CMainDisplayPorts::ApplyDownScalingToCurrentMode() {
    TraceCall(L"ApplyDownScalingToCurrentMode");
    IDownScaling* downScaling = m_pChanger && m_pChanger->Driver() ? m_pChanger->Driver()->DownScaling() : nullptr;
    return downScaling ? downScaling->ApplyDownScalingToCurrentMode() : 0;
}
