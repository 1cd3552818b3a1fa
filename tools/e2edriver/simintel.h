// Setting up and reading the simulated Intel graphics component
// (sim/intelgfx) from a test or the demo: its registration in the wine
// prefix, the notebook's outputs in the registry state, and the journal of
// the calls it received. Value names: graphicsstore.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "graphicsstore.h"

namespace vqdrive::intel {

// Back to the stock notebook (the panel alone, connected and shown), empty journal.
void Reset();

// Registers (or removes) the component from the program folder through its
// own DllRegisterServer, as regsvr32 does; true on success.
bool Register();
bool Unregister();

// The outputs by their stem ("Panel", "Crt", "Hdmi", "Tv").
void SetConnected(const wchar_t* output, bool connected);
void SetDeviceId(const wchar_t* output, DWORD id);
DWORD DeviceId(const wchar_t* output);
void SetRotation(const wchar_t* output, DWORD index);
DWORD Rotation(const wchar_t* output);
// What the two displays show (device bits).
void SetShown(DWORD display1, DWORD display2);

void SetValue(const wchar_t* name, DWORD data);
DWORD Value(const wchar_t* name, DWORD fallback = 0);
std::wstring Text(const wchar_t* name);

// The request fails for its next `count` calls (vqsim::graphics::kAlways: every one).
void SetFault(const wchar_t* request, DWORD count);

// The journal's lines, oldest first: "ChangeActiveDevices {GUID} 120 <hex>", ...
std::vector<std::string> Journal();
// Only the lines of one request, without the request's name.
std::vector<std::string> JournalOf(const std::string& request);
void ClearJournal();

}  // namespace vqdrive::intel
