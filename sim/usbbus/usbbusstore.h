// Where the simulated notebook keeps the devices on its internal USB bus
// (shared by the USB bus library and the end-to-end driver).
#pragma once

namespace vqsim::usbbus {

inline constexpr wchar_t kLibrary[] = L"VqSimUsb.dll";
inline constexpr wchar_t kKey[] = L"Software\\VqSim\\Usb";  // under HKEY_CURRENT_USER
// MULTI_SZ: the device instance id of every present USB device, in the order
// the management instrumentation lists them ("USB\VID_1E0E&PID_6772\5&2A1B&0&3").
inline constexpr wchar_t kDevices[] = L"Devices";
// DWORD, written: how many USB-class queries the library has answered.
inline constexpr wchar_t kAnswered[] = L"Answered";
// DWORD fault: nonzero makes the bus a management service that has stopped
// answering: the USB-class query's enumerator hands out nothing and each
// step waits its whole time-out (for ever when it has none).
inline constexpr wchar_t kNoAnswer[] = L"NoAnswer";

}  // namespace vqsim::usbbus
