// The simulated notebook's audio driver with its two sound effects
// (sim/audiofx): its state in the registry of the wine prefix, and the
// library the driver injects into a program it starts so that the program
// finds the effects' audio device.
#pragma once

#include <windows.h>

#include <string>

#include "audiofxstore.h"

namespace vqdrive::audiofx {

// Back to the stock state: effect A selected, both effects off, no requests.
void Reset();
DWORD Value(const wchar_t* name);
// Every property request the device answered, oldest first ("get A set sel=1 ...").
std::wstring Requests();
// Full path of the library beside the program.
std::wstring LibraryPath();

}  // namespace vqdrive::audiofx
