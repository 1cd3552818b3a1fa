#include "osd/hotkeypicture.h"

#include <algorithm>

#include "common/processstate.h"

namespace osd {

namespace {
struct IconRow {
    int firstCode;
    int lastCode;
    Strip strip;
    int frame;  // of the first code; a pair's second code has its own row
    int overlay;
};

constexpr IconRow kIconRows[] = {
    {20, 20, Strip::Icon, 5, 6},     {21, 21, Strip::Icon, 22, -1},   {50, 50, Strip::Icon, 0, -1},
    {51, 51, Strip::Icon, 1, -1},    {60, 60, Strip::Icon, 30, -1},   {61, 61, Strip::Icon, 31, -1},
    {80, 80, Strip::Icon, 36, -1},   {81, 81, Strip::Icon, 37, -1},   {90, 90, Strip::Icon, 32, -1},
    {91, 91, Strip::Icon, 33, -1},   {100, 100, Strip::Icon, 18, -1}, {101, 101, Strip::Icon, 19, -1},
    {111, 111, Strip::Level, 0, 1},  {121, 121, Strip::Level, 2, 3},  {122, 122, Strip::Icon, 27, -1},
    {123, 123, Strip::Icon, 35, -1}, {124, 124, Strip::Icon, 34, -1}, {125, 125, Strip::Icon, 21, -1},
    {126, 126, Strip::Icon, 20, -1}, {127, 127, Strip::Icon, 39, -1}, {128, 128, Strip::Icon, 24, -1},
    {129, 129, Strip::Icon, 23, -1}, {130, 130, Strip::Icon, 29, -1}, {131, 131, Strip::Icon, 28, -1},
    {132, 132, Strip::Icon, 17, -1}, {133, 133, Strip::Icon, 16, -1}, {134, 134, Strip::Icon, 38, -1},
    {201, 205, Strip::Icon, 26, -1}, {206, 206, Strip::Icon, 25, -1}, {218, 218, Strip::Icon, 46, -1},
    {219, 219, Strip::Icon, 45, -1},
};

constexpr int kDigitZeroFrame = 6;
}  // namespace

bool FramesOfIconCode(int code, IconFrames* frames) {
    for (const IconRow& row : kIconRows) {
        if (code >= row.firstCode && code <= row.lastCode) {
            *frames = {row.strip, row.frame, row.overlay};
            return true;
        }
    }
    return false;
}

Strip StripOfIconCode(int code) {
    return code == kBrightnessCode || code == kVolumeCode ? Strip::Level : Strip::Icon;
}

bool IsShortDisplayCode(int code) { return code >= 128 && code <= 133; }

BatteryPicture BatteryPictureOf(int percent) {
    const int level = std::clamp(percent, 0, 100);
    BatteryPicture picture{};
    if (level >= 90) picture.background = 3;
    else if (level >= 50) picture.background = 5;
    else if (level > 15) picture.background = 4;
    else picture.background = 2;
    picture.leadingOne = level == 100;
    picture.tensFrame = kDigitZeroFrame + (level / 10) % 10;  // 100 %: the tens of "100" is "0"
    picture.unitsFrame = kDigitZeroFrame + level % 10;
    return picture;
}

int BrightnessClipRight(int level, int canvasWidth) { return std::clamp(level * 15 + 129, 0, canvasWidth); }

int VolumeClipRight(int level, int stepScale, int windowsVersion, int canvasWidth) {
    int right;
    if (stepScale == 1) right = level * 12 + 98;
    else if (proc::IsVistaOrLater(windowsVersion)) right = static_cast<int>(level * 3.12 + 0.5) + 98;
    else if (level == 25) right = 254;
    else right = level * 6 + (level % 2 != 0 ? 100 : 98);
    return std::clamp(right, 0, canvasWidth);
}

}  // namespace osd
