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

// The orientation (0..3) of the picture a display device shows, as the
// notebook's graphics state records it: the X server turns no picture, so
// Wine always reports 0; the picture itself is portrait on the screen.
DWORD Orientation(const wchar_t* deviceName);

// A mode change of the Intel notebook that names an orientation: Wine
// refuses every orientation (the X server turns no picture), so the change
// goes through at the size asked for, which makes the picture portrait for
// a quarter turn, and the orientation is recorded for the output shown.
// Every other change goes to `real` unchanged.
LONG TurnDisplay(const wchar_t* deviceName, DEVMODEW* mode, HWND window, DWORD flags, void* parameter,
                 LONG(WINAPI* real)(LPCWSTR, DEVMODEW*, HWND, DWORD, LPVOID));

}  // namespace vqsim::displayconfig
