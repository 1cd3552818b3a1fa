// The wireless master key, after it has switched all radios: shows the state
// the firmware now reports, as the RF switch picture, or as the plain
// wireless on/off picture when only the first radio is present. Created by
// the main window on first use; the main window hands it every new OSD window.
#pragma once

#include <windows.h>

#include "osd/selectorports.h"

class CHKIconWindowDlg;

namespace osd {

// Pictures of the lone first radio.
constexpr int kWirelessOffIcon = 80;
constexpr int kWirelessOnIcon = 81;

class CRFSelector {
public:
    CRFSelector(IRadioFirmware& firmware, ISelectorOwner& owner) : m_firmware(firmware), m_owner(owner) {}

    void SetHKIconWindow(CHKIconWindowDlg* window) { m_pHKIconWindow = window; }
    // 1 when the radios' state is shown.
    int SelectRFStatus();

    void ClearOsdPending() { m_bOsdPending = false; }
    bool OsdPending() const { return m_bOsdPending; }

private:
    int Select();
    // Makes sure an OSD window exists and is showing or can be shown.
    bool EnsureWindow();

    IRadioFirmware& m_firmware;
    ISelectorOwner& m_owner;
    CHKIconWindowDlg* m_pHKIconWindow = nullptr;
    bool m_bOsdPending = false;
};

}  // namespace osd
