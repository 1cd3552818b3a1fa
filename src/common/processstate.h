// Process-wide values that many parts branch on. Set once at start, on the
// main thread; read everywhere.
#pragma once

namespace proc {

// 1 Windows 95, 2 98/Me, 3 NT 4, 4 2000, 5 XP, 6 XP Media Center, 7 Vista, 8 Windows 7 and later.
inline int windowsVersion = 7;
inline bool starterEdition = false;
// 0 to 18, from the firmware's model identifier.
inline int modelFamily = 0;
// Model families 1, 3, 4 and 10 have a USB keyboard.
inline bool usbKeyboardModel = false;
inline bool auditMode = false;
// 1 ATI/AMD, 2 NVIDIA, 3 Intel, 4 VIA/S3, 0 none.
inline int graphicsVendor = 0;

inline bool IsUsbKeyboardFamily(int family) {
    return family == 1 || family == 3 || family == 4 || family == 10;
}

}  // namespace proc
