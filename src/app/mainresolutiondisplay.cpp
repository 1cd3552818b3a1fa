#include "app/mainresolutiondisplay.h"

#include "app/tracecall.h"
#include "display/displaychanger.h"
#include "display/drivers/intel.h"

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

CIntel* CMainResolutionDisplay::Intel() const {
    return m_pChanger ? dynamic_cast<CIntel*>(m_pChanger->Driver()) : nullptr;
}

int CMainResolutionDisplay::IsDownScalingEnabled(int* enabled) {
    CIntel* intel = Intel();
    return intel ? intel->IsDownScalingEnabled(enabled) : 0;
}

int CMainResolutionDisplay::SetDownScaling(int enable, SIZE size) {
    TraceCall(L"SetDownScaling", enable, size.cx, size.cy);
    CIntel* intel = Intel();
    const Resolution resolution{size.cx, size.cy};
    return intel ? intel->SetDownScaling(enable, &resolution) : 0;
}

int CMainResolutionDisplay::ChangePrimaryDisplaySettings(int width, int height, int bitsPerPixel, int frequency) {
    TraceCall(L"ChangePrimaryDisplaySettings", width, height, bitsPerPixel);
    return m_pChanger ? m_pChanger->ModeSetting().ChangePrimaryDisplaySettings(width, height, bitsPerPixel, frequency)
                      : 0;
}
