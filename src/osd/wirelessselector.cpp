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
    return Select();
}

int CWirelessSelector::Select() {
    return PressSelection(
        m_osd, m_bOsdPending, L"fail: SelectWirelessDeviceStatus::HKIconWindow",
        [this](CHKIconWindowDlg& open) {
            if (open.IsDestroyed()) return SelectionStep::Reopen;
            // The choice has gone to the radios: the confirmation runs to its end.
            if (open.Mode() == OsdMode::WirelessToggle && open.AnimationRunning()) return SelectionStep::Refused;
            if (open.SetNextWirelessDeviceStatus()) return SelectionStep::Stepped;
            // Another picture has the window now: open the toggle afresh.
            m_bOsdPending = false;
            return SelectionStep::Reopen;
        },
        [this](CHKIconWindowDlg& window) {
            window.SetWirelessTwoChoice(m_bTwoChoice);
            BYTE bytes[2] = {0, 0};
            if (!m_firmware.GetWirelessStatus2(bytes)) {
                ReportError(L"fail: SelectWirelessDeviceStatus::GetWirelessStatus2()");
                return false;
            }
            return window.InitWirelessDeviceToggle(WirelessStateOfBytes(bytes)) != 0;
        });
}

int CWirelessSelector::ApplySelection() {
    CHKIconWindowDlg* window = m_osd.CurrentWindow();
    if (!window) return 0;
    BYTE bytes[2] = {};
    WirelessBytesOfChoice(window->GetSelectedWirelessStatus(), m_bTwoChoice, bytes);
    return m_firmware.SetWirelessStatus2(bytes);
}

}  // namespace osd
