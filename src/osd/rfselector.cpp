#include "osd/rfselector.h"

#include "common/commondefine.h"
#include "osd/hkiconwindowdlg.h"
#include "osd/togglechoices.h"

namespace osd {

int CRFSelector::SelectRFStatus() {
    try {
        return Select();
    } catch (...) {
        ReportError(L"fail: SelectRFStatus()");
        return 0;
    }
}

bool CRFSelector::EnsureWindow() {
    if (!m_pHKIconWindow || m_pHKIconWindow->IsDestroyed() || !m_pHKIconWindow->IsShown()) m_owner.InitHkWindow();
    if (m_pHKIconWindow) return true;
    ReportError(L"fail: SelectRFStatus::HKIconWindow");
    return false;
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
    if (!EnsureWindow()) return 0;

    // Every press draws the state read now, also while the RF picture still
    // shows: the radios may have changed since.

    if (status[1] == kRadioAbsent && status[2] == kRadioAbsent) {
        const int icon = status[0] == kRadioOn ? kWirelessOnIcon : kWirelessOffIcon;
        if (!m_pHKIconWindow->InitHotKeyIcon(icon)) {
            m_owner.InitHkWindow();
            if (!m_pHKIconWindow || !m_pHKIconWindow->InitHotKeyIcon(icon)) {
                ReportError(L"fail: SelectRFStatus::InitHotKeyIcon()");
                return 0;
            }
        }
    } else if (!m_pHKIconWindow->InitRFSwitchWnd(status)) {
        return 0;
    }
    m_bOsdPending = true;
    m_pHKIconWindow->ShowNoActivate();
    return 1;
}

}  // namespace osd
