#include "app/unbuiltsubsystems.h"

#include "app/tracecall.h"

// The mini UI and the 3G module detector.
void CUnbuiltSubsystems::ShowMiniUI(int show) { TraceCall(L"ShowMiniUI", show); }
void CUnbuiltSubsystems::SetCountdownTitle(int seconds) { TraceCall(L"SetCountdownTitle", seconds); }
void CUnbuiltSubsystems::ApplyPresentationOutputMode() { TraceCall(L"ApplyPresentationOutputMode"); }
void CUnbuiltSubsystems::SwitchPresentationModeOff() { TraceCall(L"SwitchPresentationModeOff"); }
int CUnbuiltSubsystems::Detect3GModule(int* found, int* special) {
    TraceCall(L"Detect3GModule");
    return 0;
}

// Notice and Num Lock windows.
void CUnbuiltSubsystems::HideMessageWindow() { TraceCall(L"HideMessageWindow"); }
bool CUnbuiltSubsystems::CreateNumLockWindow() {
    TraceCall(L"CreateNumLockWindow");
    return false;
}

// Menu status and network switches.
int CUnbuiltSubsystems::DispatchMenuRequest(int code, LPARAM argument) {
    TraceCall(L"DispatchMenuRequest", code, argument);
    return 0;
}
void CUnbuiltSubsystems::ShowWiredLANOnOffIcon() { TraceCall(L"ShowWiredLANOnOffIcon"); }
void CUnbuiltSubsystems::ToggleFamily10Wireless() { TraceCall(L"ToggleFamily10Wireless"); }
