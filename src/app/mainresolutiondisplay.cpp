#include "app/mainresolutiondisplay.h"

#include "app/tracecall.h"
#include "display/displaychanger.h"

bool CMainResolutionDisplay::HasGraphicsDriver() { return m_pChanger && m_pChanger->Driver(); }

int CMainResolutionDisplay::GraphicsVendor() { return m_pChanger ? m_pChanger->GraphicsVendor() : 0; }

SIZE CMainResolutionDisplay::PrimaryScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void CMainResolutionDisplay::RefreshOutputs(bool* panelActive, bool* crtActive) {
    *panelActive = *crtActive = false;
    CVGA* driver = m_pChanger ? m_pChanger->Driver() : nullptr;
    if (!driver) return;
    driver->GetConnectedDisplays();
    // The status tables hold the outputs in bit order: the panel first, then the CRT.
    *panelActive = driver->m_nDeviceStatus[0] == devicestatus::kActive;
    *crtActive = driver->m_nDeviceStatus[1] == devicestatus::kActive;
}

bool CMainResolutionDisplay::IsDualView() {
    CVGA* driver = m_pChanger ? m_pChanger->Driver() : nullptr;
    return driver && driver->IsDualView() != 0;
}

IDownScaling* CMainResolutionDisplay::DownScaling() const {
    return m_pChanger && m_pChanger->Driver() ? m_pChanger->Driver()->DownScaling() : nullptr;
}

int CMainResolutionDisplay::IsDownScalingEnabled(int* enabled) {
    IDownScaling* downScaling = DownScaling();
    return downScaling ? downScaling->IsDownScalingEnabled(enabled) : 0;
}

int CMainResolutionDisplay::SetDownScaling(int enable, SIZE size) {
    TraceCall(L"SetDownScaling", enable, size.cx, size.cy);
    IDownScaling* downScaling = DownScaling();
    const Resolution resolution{size.cx, size.cy};
    return downScaling ? downScaling->SetDownScaling(enable, &resolution) : 0;
}

int CMainResolutionDisplay::ChangePrimaryDisplaySettings(int width, int height, int bitsPerPixel, int frequency) {
    TraceCall(L"ChangePrimaryDisplaySettings", width, height, bitsPerPixel);
    return m_pChanger ? m_pChanger->ModeSetting().ChangePrimaryDisplaySettings(width, height, bitsPerPixel, frequency)
                      : 0;
}
