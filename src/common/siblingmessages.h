// The messages exchanged with the sibling programs (the menu program, the
// wireless configuration window, the display-settings window) and the codes
// they carry in wParam.
#pragma once

#include <windows.h>

inline constexpr UINT WM_VQ_SIBLING = 0x8B1;
inline constexpr UINT WM_VQ_EXTKEY_ON = 0x46E;   // the sibling road opens: external key mode
inline constexpr UINT WM_VQ_EXTKEY_OFF = 0x46F;  // and closes

// Codes of message 0x8B1 the routing serves itself; every other code is a key code.
namespace sibling {
inline constexpr WPARAM kDisplaySwitchKey = 1;
inline constexpr WPARAM kSrsEffect = 9;
inline constexpr WPARAM kMuteKey = 14;
inline constexpr WPARAM kVolumeDownKey = 15;
inline constexpr WPARAM kVolumeUpKey = 16;
inline constexpr WPARAM kResolutionUp = 51;
inline constexpr WPARAM kResolutionDown = 52;
inline constexpr WPARAM kChangeCombination = 53;
inline constexpr WPARAM kStartTestCycle = 60;
inline constexpr WPARAM kStopTestCycle = 61;
inline constexpr WPARAM kRereadAndChangeCombination = 62;
// The wireless configuration window's note that it acted on the radios
// (also sent to it after the wireless master key).
inline constexpr WPARAM kWirelessKeyBlock = 73;

// Requests of the menu program.
inline constexpr int kRotateStep = 17;
inline constexpr int kResolutionSelector = 18;
inline constexpr int kMenuStatus = 19;
inline constexpr int kRotationAnswer = 24;
inline constexpr int kRotateStep42 = 42;
// Menu commands the dispatcher serves, on or off from the argument.
inline constexpr int kSetWirelessLan = 43;
inline constexpr int kSetWiredLan = 44;
inline constexpr int kSetBacklight = 45;
inline constexpr int kSetEtiquette = 46;
inline constexpr int kSetMute = 47;
inline constexpr int kActiveDisplay = 48;
inline constexpr int kConnectedDisplay = 49;
inline constexpr int kRotateUnderCursor = 70;
inline constexpr int kMenuStatus71 = 71;
}  // namespace sibling
