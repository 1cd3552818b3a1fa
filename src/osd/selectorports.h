// What the wireless and RF selectors ask of their surroundings: the
// firmware's radio commands (the OSD window comes from its owner).
#pragma once

#include <windows.h>

namespace osd {

class IRadioFirmware {
public:
    virtual ~IRadioFirmware() = default;
    // The two wireless bytes: the first radio is on at 1, the second at 3.
    virtual int GetWirelessStatus2(BYTE state[2]) = 0;
    virtual int SetWirelessStatus2(const BYTE state[2]) = 0;
    // The three radios, 0 off, 1 on, 2 not present (the firmware validates
    // the first byte only).
    virtual int GetRFOnOffStatus(BYTE status[3]) = 0;
};

}  // namespace osd
