// The simulated notebook's display-configuration service: the four
// functions of user32 (GetDisplayConfigBufferSizes, QueryDisplayConfig,
// DisplayConfigGetDeviceInfo, SetDisplayConfig) answered as the notebook's
// Intel driver would, from the outputs the Intel graphics state names
// connected and shown (sim/intelgfx/graphicsstore.h). Wine lists only what
// is on the desktop, with target ids and technologies no notebook has, and
// applies nothing; this service lists every connected output, validates
// what the notebook can show and applies it to the real desktop through the
// display functions, writing each request to the state's journal. With
// another adapter identity than Intel's, Wine's own functions answer.
#pragma once

#include <windows.h>

namespace vqsim::displayconfig {

// Looked up by name in user32: the replacement of that function, or null.
FARPROC Replacement(const char* name);

// The state flags the notebook gives a display device of the desktop. A
// clone is one source shown on two outputs: one display device on the
// desktop. Wine can show it only as a second display of the same size
// (see ShowOnDesktop), which the system would not list as attached.
DWORD DeviceStateFlags(const wchar_t* deviceName, DWORD flags);

}  // namespace vqsim::displayconfig
