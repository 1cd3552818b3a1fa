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

// The Windows version codes.
namespace winver {
inline constexpr int kWindows95 = 1;
inline constexpr int kWindows98 = 2;  // and Me
inline constexpr int kWindowsNt4 = 3;
inline constexpr int kWindows2000 = 4;
inline constexpr int kWindowsXp = 5;
inline constexpr int kWindowsXpMediaCenter = 6;
inline constexpr int kWindowsVista = 7;
inline constexpr int kWindows7 = 8;  // and every later Windows
}  // namespace winver

inline bool IsWindows7OrLater(int version = windowsVersion) { return version >= winver::kWindows7; }
inline bool IsVistaOrLater(int version = windowsVersion) { return version >= winver::kWindowsVista; }
inline bool IsVista(int version = windowsVersion) { return version == winver::kWindowsVista; }
inline bool IsXpMediaCenter(int version = windowsVersion) { return version == winver::kWindowsXpMediaCenter; }
inline bool IsWindowsXp(int version = windowsVersion) { return version == winver::kWindowsXp; }

// The model families the program treats apart, named for what sets them apart.
namespace family {
inline constexpr int kIntelNetbook = 1;      // Intel down-scaling, the 800 x 480 mode, the resolution toggle
inline constexpr int kCompactNotebook = 3;   // the Intel netbook's display choices and resolution toggle
inline constexpr int kMenuNetbook = 4;       // Num Lock window, displays from the firmware, no display profiles
inline constexpr int kFerrinR = 5;           // its own default panel size
inline constexpr int kHdmiNotebook = 8;      // a second HDMI output; a second display is kept right of the panel
inline constexpr int kSecondDisplayRightNotebook = 9;  // a second display is kept right of the panel
inline constexpr int kWheelNetbook = 10;     // the wheel menu, the "wlan radio" program, 1024 x 600
inline constexpr int kCornerOsdNotebook = 15;  // lock-key and display pictures in the right-bottom corner
inline constexpr int kCapsLockNotebook16 = 16;
inline constexpr int kCapsLockNotebook17 = 17;
}  // namespace family

inline bool IsIntelNetbook(int f = modelFamily) { return f == family::kIntelNetbook; }
inline bool IsMenuNetbook(int f = modelFamily) { return f == family::kMenuNetbook; }
inline bool IsWheelNetbook(int f = modelFamily) { return f == family::kWheelNetbook; }
inline bool IsCornerOsdNotebook(int f = modelFamily) { return f == family::kCornerOsdNotebook; }
inline bool IsFerrinR(int f = modelFamily) { return f == family::kFerrinR; }
inline bool IsHdmiNotebook(int f = modelFamily) { return f == family::kHdmiNotebook; }
inline bool KeepsSecondDisplayRight(int f = modelFamily) {
    return f == family::kHdmiNotebook || f == family::kSecondDisplayRightNotebook;
}
// Panel and clone only when a monitor is connected; an open resolution toggle is applied before another OSD.
inline bool HasCompactDisplayChoices(int f = modelFamily) {
    return f == family::kIntelNetbook || f == family::kCompactNotebook;
}
inline bool ShowsCapsLockChange(int f = modelFamily) {
    return f == family::kCornerOsdNotebook || f == family::kCapsLockNotebook16 || f == family::kCapsLockNotebook17;
}
inline bool IsUsbKeyboardFamily(int f) {
    return f == family::kIntelNetbook || f == family::kCompactNotebook || f == family::kMenuNetbook ||
           f == family::kWheelNetbook;
}

}  // namespace proc
