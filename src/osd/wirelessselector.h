// The wireless key of notebooks with a built-in 3G module: the first press
// reads the two radios and opens the wireless toggle on their state, every
// further press while it is open steps it, and the OSD hands the choice back
// at its first timer expiry to be written to the radios. Created by the main
// window on first use, with the OSD window's owner.
#pragma once

#include <windows.h>

#include "common/osdwindowslot.h"
#include "osd/selectorports.h"

class CHKIconWindowDlg;

namespace osd {

class CWirelessSelector {
public:
    // `twoChoice`: only "both on" and "both off" are offered.
    CWirelessSelector(IRadioFirmware& firmware, IOsdWindowSlot<CHKIconWindowDlg>& osd, bool twoChoice)
        : m_firmware(firmware), m_osd(osd), m_bTwoChoice(twoChoice) {}

    // 1 when the toggle was opened or stepped.
    int SelectWirelessDeviceStatus();
    // Writes the OSD's current choice to the two radios.
    int ApplySelection();

    void ClearOsdPending() { m_bOsdPending = false; }
    bool OsdPending() const { return m_bOsdPending; }
    bool TwoChoice() const { return m_bTwoChoice; }

private:
    int Select();

    IRadioFirmware& m_firmware;
    IOsdWindowSlot<CHKIconWindowDlg>& m_osd;
    bool m_bOsdPending = false;
    bool m_bTwoChoice;
};

// The radio state (0 both on, 1 only the first, 2 only the second, 3 both
// off) of the two wireless bytes.
int WirelessStateOfBytes(const BYTE bytes[2]);
// The two bytes that put the radios in the state a choice stands for.
void WirelessBytesOfChoice(int choice, bool twoChoice, BYTE bytes[2]);

}  // namespace osd
