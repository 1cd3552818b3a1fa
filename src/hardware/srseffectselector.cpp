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
    return PressSelection(
        m_osd, m_bOsdPending, L"fail: SelectSRSEffect::HKIconWindow",
        [this](ISRSToggleOsd& open) {
            // A destroyed window's toggle is opened again on a new one.
            if (open.IsDestroyed()) return SelectionStep::Reopen;
            open.SetNextSRSmode();
            // Every step takes effect at once.
            m_systemInfo.ApplySRSSelection(static_cast<BYTE>(open.GetSelectedSRSMode()));
            return SelectionStep::Stepped;
        },
        [this](ISRSToggleOsd& window) {
            BYTE state = srs::kEffectAOn;
            m_systemInfo.GetSRSEffect(&state);
            if (state == srs::kNoDevice) {
                ReportError(L"Cannot use SRS effects.\r\nPlease check the SRS filter program.");
                return false;
            }
            return window.InitSRSToggle(state) != 0;
        });
}
