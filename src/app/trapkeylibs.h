// The two keyboard companion libraries: the PS/2 hook library and the USB HID
// keyboard library. Both are loaded by name; each export is looked up when it
// is used. A missing library or export leaves its road silent.
#pragma once

#include <windows.h>

#include <string>

namespace trapkey {

// PS/2 hook library "TrapkeyPS2.dll": every key event of the keyboard is sent
// to `owner` with `message`, lParam pointing to the key record.
bool SetHookOwner(HWND owner, UINT message);
void Unhook();

// USB HID keyboard library "TrapkeyUSB.DLL", loaded from the program's own
// folder once per process. Registers "TrapkeyUSB" and returns its number in
// `message`; returns 0 when the library or the function is missing.
int LoadUsbDevice(HWND owner, UINT* message);
// A plain library release (at tear-down and before a reload).
void ReleaseUsbLibrary();

// Folder of the running executable, with a trailing backslash.
std::wstring ProgramFolder();

}  // namespace trapkey
