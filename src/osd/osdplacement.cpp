#include "osd/osdplacement.h"

namespace osd {

POINT CentredOrigin(int screenWidth, int screenHeight, int templateWidth, int templateHeight, OsdMode mode) {
    const int below = mode == OsdMode::DisplaySwitcher ? 63 : 70;
    return {screenWidth / 2 - templateWidth / 2, screenHeight / 2 - templateHeight / 2 + below};
}

POINT RightBottomOrigin(const RECT& workArea, int frameWidth, int frameHeight) {
    return {workArea.right - frameWidth, workArea.bottom - frameHeight};
}

int CentredPictureLeft(int left, int templateWidth, int frameWidth) {
    return left + templateWidth / 2 - frameWidth / 2;
}

}  // namespace osd
