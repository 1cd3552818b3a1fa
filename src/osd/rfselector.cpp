#include "osd/rfselector.h"

#include "common/commondefine.h"
#include "osd/hkiconwindowdlg.h"
#include "osd/togglechoices.h"

namespace osd {

int CRFSelector::SelectRFStatus() {
    return Select();
}

int CRFSelector::Select() {
    BYTE status[3] = {0, 0, 0};
    if (!m_firmware.GetRFOnOffStatus(status)) {
        ReportError(L"fail: SelectRFStatus::GetRFOnOffStatus()");
        return 0;
    }
    // Only the first byte is checked by the firmware; the others pick pictures.
    if (!ValidRadioStatus(status[0], status[1], status[2])) {
        ReportError(FormatText(L"fail: SelectRFStatus() radio status %d %d %d", status[0], status[1], status[2]));
        return 0;
    }
    CHKIconWindowDlg* window = m_osd.ShowableWindow();
    if (!window) {
        ReportError(L"fail: SelectRFStatus::HKIconWindow");
        return 0;
    }
    // Every press draws the state read now, also while the RF picture still
    // shows: the radios may have changed since.
    if (!Draw(window, status)) return 0;
    m_bOsdPending = true;
    if (CHKIconWindowDlg* drawn = m_osd.CurrentWindow()) drawn->ShowNoActivate();
    return 1;
}

bool CRFSelector::Draw(CHKIconWindowDlg* window, const BYTE status[3]) {
    if (status[1] != kRadioAbsent || status[2] != kRadioAbsent) return window->InitRFSwitchWnd(status) != 0;
    // The lone first radio as the wireless on/off picture; a window that cannot draw is replaced once.
    const int icon = status[0] == kRadioOn ? kWirelessOnIcon : kWirelessOffIcon;
    if (window->InitHotKeyIcon(icon)) return true;
    CHKIconWindowDlg* replacement = m_osd.NewWindow();
    if (replacement && replacement->InitHotKeyIcon(icon)) return true;
    ReportError(L"fail: SelectRFStatus::InitHotKeyIcon()");
    return false;
}

}  // namespace osd
