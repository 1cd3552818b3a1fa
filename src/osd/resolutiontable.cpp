#include "osd/resolutiontable.h"

namespace osd {

namespace {

constexpr SIZE kSizes[kResolutionTableChoices] = {{800, 480}, {800, 600}, {1024, 600},
                                                  {480, 800}, {600, 800}, {600, 1024}};
constexpr int kWidest = 2;
constexpr int kTallest = 5;
constexpr int kSmallest = 0;
constexpr int kDownScaledWidth = 1024;
constexpr int kDownScaledHeight = 600;

}  // namespace

SIZE ScreenSizeOfChoice(int choice) {
    return choice >= 0 && choice < kResolutionTableChoices ? kSizes[choice] : kSizes[kSmallest];
}

int ChoiceOfScreenSize(int width, int height) {
    for (int c = 0; c < kResolutionTableChoices; ++c) {
        if (kSizes[c].cx == width && kSizes[c].cy == height) return c;
    }
    if (width >= 1024) return kWidest;
    if (height >= 1024) return kTallest;
    if (width < 800) return kSmallest;
    return kTallest;
}

int ChoiceOfRequestedSize(int width, int height) {
    if (width == kDownScaledWidth) return 2;
    if (height == kDownScaledHeight) return 1;
    return 0;
}

bool IsRotatableSize(int width, int height) {
    return (width == 800 && height == 480) || (width == 480 && height == 800);
}

SIZE SleepSizeOf(int width, int height) { return width > height ? kSizes[0] : kSizes[3]; }

}  // namespace osd
