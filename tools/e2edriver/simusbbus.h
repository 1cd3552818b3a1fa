// The simulated notebook's internal USB bus (sim/usbbus): the present USB
// devices in the registry of the wine prefix, and the library the driver
// injects into a program it starts so that the program's WMI lists them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "usbbusstore.h"

namespace vqdrive::usbbus {

// The present USB devices, by device instance id, in list order.
void SetDevices(const std::vector<std::wstring>& ids);
// How many USB-class queries the injected library has answered.
DWORD Answered();
// Fault: the bus's query is asked but never answered.
void SetNoAnswer(bool noAnswer);
// Back to the stock state: no USB device, nothing answered.
void Reset();
// Full path of the library beside the program.
std::wstring LibraryPath();

}  // namespace vqdrive::usbbus
