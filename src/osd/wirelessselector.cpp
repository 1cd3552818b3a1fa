#include "osd/wirelessselector.h"

#include "common/commondefine.h"
#include "osd/hkiconwindowdlg.h"
#include "osd/togglechoices.h"

namespace osd {

namespace {
constexpr BYTE kFirstOn = 1, kFirstOff = 0;
constexpr BYTE kSecondOn = 3, kSecondOff = 2;
}  // namespace

int WirelessStateOfBytes(const BYTE bytes[2]) {
    const bool first = bytes[0] == kFirstOn;
    const bool second = bytes[1] == kSecondOn;
    if (first && second) return 0;
    if (first) return 1;
    if (second) return 2;
    return 3;
}

void WirelessBytesOfChoice(int choice, bool twoChoice, BYTE bytes[2]) {
    const int state = WirelessStateOfChoice(choice, twoChoice);
    bytes[0] = state == 0 || state == 1 ? kFirstOn : kFirstOff;
    bytes[1] = state == 0 || state == 2 ? kSecondOn : kSecondOff;
}

int CWirelessSelector::SelectWirelessDeviceStatus() {
    try {
        return Select();
    } catch (...) {
        ReportError(L"fail: SelectWirelessDeviceStatus()");
        return 0;
    }
}

int CWirelessSelector::Select() {
    if (m_bOsdPending) {
        if (!m_pHKIconWindow) {
            ReportError(L"fail: SelectWirelessDeviceStatus::HKIconWindow");
            return 0;
        }
        if (!m_pHKIconWindow->IsDestroyed()) {
            // The choice has gone to the radios: the confirmation runs to its end.
            if (m_pHKIconWindow->Mode() == OsdMode::WirelessToggle && m_pHKIconWindow->AnimationRunning()) return 0;
            if (m_pHKIconWindow->SetNextWirelessDeviceStatus()) return 1;
            // Another picture has the window now: open the toggle afresh.
            m_bOsdPending = false;
        }
    }
    if (!m_pHKIconWindow || !m_pHKIconWindow->IsShown()) m_owner.InitHkWindow();
    if (!m_pHKIconWindow) {
        ReportError(L"fail: SelectWirelessDeviceStatus::HKIconWindow");
        return 0;
    }
    m_pHKIconWindow->SetWirelessTwoChoice(m_bTwoChoice);
    BYTE bytes[2] = {0, 0};
    if (!m_firmware.GetWirelessStatus2(bytes)) {
        ReportError(L"fail: SelectWirelessDeviceStatus::GetWirelessStatus2()");
        return 0;
    }
    if (!m_pHKIconWindow->InitWirelessDeviceToggle(WirelessStateOfBytes(bytes))) return 0;
    m_bOsdPending = true;
    m_pHKIconWindow->ShowNoActivate();
    return 1;
}

int CWirelessSelector::ApplySelection() {
    try {
        if (!m_pHKIconWindow) return 0;
        BYTE bytes[2] = {};
        WirelessBytesOfChoice(m_pHKIconWindow->GetSelectedWirelessStatus(), m_bTwoChoice, bytes);
        return m_firmware.SetWirelessStatus2(bytes);
    } catch (...) {
        ReportError(L"fail: ApplyWirelessDeviceStatus()");
        return 0;
    }
}

}  // namespace osd
