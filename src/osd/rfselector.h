// The wireless master key, after it has switched all radios: shows the state
// the firmware now reports, as the RF switch picture, or as the plain
// wireless on/off picture when only the first radio is present. Created by
// the main window on first use, with the OSD window's owner.
#pragma once

#include <windows.h>

#include "common/osdwindowslot.h"
#include "osd/selectorports.h"

class CHKIconWindowDlg;

namespace osd {

// Pictures of the lone first radio.
constexpr int kWirelessOffIcon = 80;
constexpr int kWirelessOnIcon = 81;

class CRFSelector {
public:
    CRFSelector(IRadioFirmware& firmware, IOsdWindowSlot<CHKIconWindowDlg>& osd) : m_firmware(firmware), m_osd(osd) {}

    // 1 when the radios' state is shown.
    int SelectRFStatus();

    void ClearOsdPending() { m_bOsdPending = false; }
    bool OsdPending() const { return m_bOsdPending; }

private:
    int Select();
    // Draws the radios' state on `window`; false after a reported failure.
    bool Draw(CHKIconWindowDlg* window, const BYTE status[3]);

    IRadioFirmware& m_firmware;
    IOsdWindowSlot<CHKIconWindowDlg>& m_osd;
    bool m_bOsdPending = false;
};

}  // namespace osd
