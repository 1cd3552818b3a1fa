#include "app/unbuiltsubsystems.h"

#include "app/tracecall.h"

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
