// The simulated notebook's graphics adapter (sim/adapter): its identity in
// the registry of the wine prefix, and the library the driver injects into
// a program it starts so that the program sees that identity.
#pragma once

#include <windows.h>

#include <string>

#include "adapterstore.h"

namespace vqdrive::adapter {

// The notebook's Intel graphics (the first vendor the display engine serves).
constexpr const wchar_t* kIntelDeviceId = L"PCI\\VEN_8086&DEV_2A42&SUBSYS_00000000&REV_07";
constexpr const wchar_t* kIntelDescription = L"Mobile Intel(R) 4 Series Express Chipset Family";

// Sets the adapter's DeviceID and description that injected programs see.
void Set(const std::wstring& deviceId, const std::wstring& description);
// Back to the stock state: no identity of our own (programs see Wine's).
void Reset();
// Full path of the adapter library beside the program.
std::wstring LibraryPath();

// Makes a process created suspended load `library` on its main thread once
// it runs: after its imports are resolved, before its entry point. The
// thread must still be suspended; the caller resumes it.
bool QueueLibraryLoad(HANDLE process, HANDLE thread, const std::wstring& library);

}  // namespace vqdrive::adapter
