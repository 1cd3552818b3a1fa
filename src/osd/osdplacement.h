// Where the OSD window goes on the screen.
#pragma once

#include <windows.h>

#include "osd/osdmode.h"

namespace osd {

// Top-left corner of the template-sized window near the middle of the screen
// (each half truncated separately); the display switcher sits 7 px higher.
POINT CentredOrigin(int screenWidth, int screenHeight, int templateWidth, int templateHeight, OsdMode mode);
// Top-left corner of a picture in the work area's right-bottom corner,
// wherever the taskbar is.
POINT RightBottomOrigin(const RECT& workArea, int frameWidth, int frameHeight);
// Left edge of a picture centred in a template-wide window whose left edge is `left`.
int CentredPictureLeft(int left, int templateWidth, int frameWidth);

}  // namespace osd
