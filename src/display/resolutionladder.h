// The standard resolution ladder, smallest first: the display changer climbs
// it when a driver refuses a combination, and the resolution keys step along it.
#pragma once

#include <cstddef>

#include "display/vga.h"

namespace resolutionladder {

inline constexpr Resolution kSizes[] = {
    {800, 480},   {800, 600},   {1024, 600},  {1024, 768},  {1152, 864},  {1280, 720},  {1280, 768},
    {1280, 800},  {1280, 1024}, {1360, 768},  {1366, 768},  {1400, 1050}, {1440, 900},  {1600, 900},
    {1600, 1024}, {1600, 1200}, {1680, 1050}, {1920, 1080}, {1920, 1200}, {1920, 1440}, {2048, 1536}};
inline constexpr size_t kCount = sizeof(kSizes) / sizeof(kSizes[0]);
static_assert(kCount == 21);

}  // namespace resolutionladder
