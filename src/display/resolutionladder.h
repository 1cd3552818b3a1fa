// The standard resolution ladder, smallest first: the sizes the display
// changer falls back along when a driver refuses a combination, and the
// steps of the resolution keys when they follow the ladder.
#pragma once

#include "display/vga.h"

namespace resolutionladder {

inline constexpr Resolution kSizes[] = {
    {800, 480},   {800, 600},   {1024, 600},  {1024, 768},  {1152, 864},  {1280, 720},  {1280, 768},
    {1280, 800},  {1280, 1024}, {1360, 768},  {1366, 768},  {1400, 1050}, {1440, 900},  {1600, 900},
    {1600, 1024}, {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}, {1920, 1440}, {2048, 1536},
};
inline constexpr int kCount = static_cast<int>(sizeof kSizes / sizeof kSizes[0]);
static_assert(kCount == 21, "the ladder has 21 sizes");

inline constexpr Resolution Smallest() { return kSizes[0]; }
inline constexpr Resolution Largest() { return kSizes[kCount - 1]; }

}  // namespace resolutionladder
