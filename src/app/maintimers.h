// The main window's timers. Starting a running timer restarts it.
#pragma once

#include <windows.h>

inline constexpr UINT_PTR kTimerVolumeKey = 1;          // 1000 ms: volume-key pending
inline constexpr UINT_PTR kTimerNotice = 3;             // the notice picture
inline constexpr UINT_PTR kTimerMiniUiLayout = 4;       // 1000 ms after a display change
inline constexpr UINT_PTR kTimerWirelessBlock = 5;      // 5000 ms: wireless-key block
inline constexpr UINT_PTR kTimerEject = 6;              // 15000 ms: optical drive eject
inline constexpr UINT_PTR kTimerDetectBlock = 7;        // 50 ms: the same monitors were detected
inline constexpr UINT_PTR kTimerMce = 21;               // 5000 ms: Media Center mute workaround
inline constexpr UINT_PTR kTimerBrightnessBlock = 144;  // TE_BLOCK_GET_ACTIVE_DISPLAY_DURING_BRIGHTNESS_CONTROL
inline constexpr UINT_PTR kTimerConnectionHandled = 145; // 3000 ms: a connected monitor was handled
inline constexpr UINT_PTR kTimerAfterResume = 147;      // TE_LIDCLOSE_S3S4_WA
inline constexpr UINT_PTR kTimerMiniUiCountdown = 149;  // TE_MINIUI_AUTO_DISAPPEAR, repeating
inline constexpr UINT_PTR kTimerAfterMiniUiHide = 150;  // 500 ms: the mini UI was hidden on removal
inline constexpr UINT_PTR kTimerTestCycle = 153;        // display-switch test cycle

// Their lengths, where more than one caller starts them.
inline constexpr UINT kVolumeKeyMs = 1000;
inline constexpr UINT kWirelessBlockMs = 5000;
inline constexpr UINT kAfterResumeMs = 10000;
inline constexpr UINT kTestCycleFirstMs = 100;
inline constexpr UINT kTestCycleNextMs = 8000;
