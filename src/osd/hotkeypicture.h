// Which frames of the two image strips make up each hotkey picture, and the
// numbers the drawing of battery and level pictures depends on.
#pragma once

#include <windows.h>

namespace osd {

constexpr int kBatteryCode = 20;
constexpr int kBrightnessCode = 111;
constexpr int kVolumeCode = 121;

enum class Strip { Icon, Level };

struct IconFrames {
    Strip strip;
    int frame;
    int overlay;  // -1: none
};

// The frames of an icon code; false for a code without a picture of its own.
bool FramesOfIconCode(int code, IconFrames* frames);
// The strip a code draws from: the level strip for the two level pictures.
Strip StripOfIconCode(int code);
// Lock-key pictures (128 to 133): shown briefly, in the corner on some models.
bool IsShortDisplayCode(int code);

// Battery picture for a charge in percent (clamped to 0..100 first).
struct BatteryPicture {
    int background;   // frame 2, 3, 4 or 5
    bool leadingOne;  // 100 %: frame 7 at kHundredsAt
    int tensFrame;
    int unitsFrame;
};
BatteryPicture BatteryPictureOf(int percent);
constexpr POINT kHundredsAt{115, 38};
constexpr POINT kTensAt{137, 38};
constexpr POINT kUnitsAt{159, 38};

// Level bars: the full bar is drawn over the background, clipped on the right.
constexpr POINT kBrightnessBarAt{128, 36};
constexpr POINT kVolumeBarAt{94, 33};
int BrightnessClipRight(int level, int canvasWidth);
// stepScale 1: the program's own volume steps; 0: the mixer's (percent-like
// steps on Vista and later, 25 steps before).
int VolumeClipRight(int level, int stepScale, int windowsVersion, int canvasWidth);

}  // namespace osd
