#include "hardware/srseffectselector.h"

#include "common/commondefine.h"
#include "hardware/srsdevice.h"
#include "hardware/systeminfo.h"

int CSRSEffectSelector::SelectSRSEffect() {
    try {
        return Select();
    } catch (...) {
        ReportCaught(L"fail: SelectSRSEffect()");
        return 0;
    }
}

int CSRSEffectSelector::Select() {
    if (m_bOsdPending) {
        if (!m_pHKIconWindow) {
            ReportError(L"fail: SelectSRSEffect::HKIconWindow");
            return 0;
        }
        if (!m_pHKIconWindow->IsDestroyed()) {
            m_pHKIconWindow->SetNextSRSmode();
            // Every step takes effect at once.
            m_systemInfo.ApplySRSSelection(static_cast<BYTE>(m_pHKIconWindow->GetSelectedSRSMode()));
            return 1;
        }
    }
    if (!m_pHKIconWindow || !m_pHKIconWindow->IsShown()) m_owner.InitHkWindow();
    if (!m_pHKIconWindow) {
        ReportError(L"fail: SelectSRSEffect::HKIconWindow");
        return 0;
    }
    BYTE state = srs::kEffectAOn;
    m_systemInfo.GetSRSEffect(&state);
    if (state == srs::kNoDevice) {
        ReportError(L"Cannot use SRS effects.\r\nPlease check the SRS filter program.");
        return 0;
    }
    if (!m_pHKIconWindow->InitSRSToggle(state)) return 0;
    m_bOsdPending = true;
    m_pHKIconWindow->ShowNoActivate();
    return 1;
}
