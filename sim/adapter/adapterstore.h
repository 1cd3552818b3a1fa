// Where the simulated notebook keeps its graphics adapter's identity: the
// registry of the wine prefix, next to the firmware's state. Shared by the
// adapter library and the end-to-end driver.
#pragma once

namespace vqsim::adapter {
constexpr const wchar_t* kKey = L"Software\\VqSim\\Adapter";  // under HKEY_CURRENT_USER (the graphics component keeps Graphics)
constexpr const wchar_t* kDeviceId = L"DeviceID";              // REG_SZ, "PCI\VEN_8086&DEV_2A42&..."
constexpr const wchar_t* kDescription = L"Description";        // REG_SZ, the adapter's name
// The library's file name, in the program folder.
constexpr const wchar_t* kLibrary = L"VqSimAdapter.dll";
}  // namespace vqsim::adapter
