// The rules that turn an icon code and a level into frames, clip widths and
// window positions.
#include <gtest/gtest.h>

#include "osd/hotkeypicture.h"
#include "osd/osdplacement.h"

namespace {

using osd::Strip;

struct IconCase {
    int code;
    Strip strip;
    int frame;
    int overlay;
};

class IconCodeTable : public ::testing::TestWithParam<IconCase> {};

TEST_P(IconCodeTable, NamesItsStripFrameAndOverlay) {
    const IconCase c = GetParam();
    osd::IconFrames frames{};
    ASSERT_TRUE(osd::FramesOfIconCode(c.code, &frames));
    EXPECT_EQ(frames.strip, c.strip);
    EXPECT_EQ(frames.frame, c.frame);
    EXPECT_EQ(frames.overlay, c.overlay);
    EXPECT_EQ(osd::StripOfIconCode(c.code), c.strip);
}

INSTANTIATE_TEST_SUITE_P(
    EveryRow, IconCodeTable,
    ::testing::Values(IconCase{20, Strip::Icon, 5, 6}, IconCase{21, Strip::Icon, 22, -1},
                      IconCase{50, Strip::Icon, 0, -1}, IconCase{51, Strip::Icon, 1, -1},
                      IconCase{60, Strip::Icon, 30, -1}, IconCase{61, Strip::Icon, 31, -1},
                      IconCase{80, Strip::Icon, 36, -1}, IconCase{81, Strip::Icon, 37, -1},
                      IconCase{90, Strip::Icon, 32, -1}, IconCase{91, Strip::Icon, 33, -1},
                      IconCase{100, Strip::Icon, 18, -1}, IconCase{101, Strip::Icon, 19, -1},
                      IconCase{111, Strip::Level, 0, 1}, IconCase{121, Strip::Level, 2, 3},
                      IconCase{122, Strip::Icon, 27, -1}, IconCase{123, Strip::Icon, 35, -1},
                      IconCase{124, Strip::Icon, 34, -1}, IconCase{125, Strip::Icon, 21, -1},
                      IconCase{126, Strip::Icon, 20, -1}, IconCase{127, Strip::Icon, 39, -1},
                      IconCase{128, Strip::Icon, 24, -1}, IconCase{129, Strip::Icon, 23, -1},
                      IconCase{130, Strip::Icon, 29, -1}, IconCase{131, Strip::Icon, 28, -1},
                      IconCase{132, Strip::Icon, 17, -1}, IconCase{133, Strip::Icon, 16, -1},
                      IconCase{134, Strip::Icon, 38, -1}, IconCase{201, Strip::Icon, 26, -1},
                      IconCase{203, Strip::Icon, 26, -1}, IconCase{205, Strip::Icon, 26, -1},
                      IconCase{206, Strip::Icon, 25, -1}, IconCase{218, Strip::Icon, 46, -1},
                      IconCase{219, Strip::Icon, 45, -1}));

TEST(IconCodes, CodesWithoutAPictureAreNotInTheTable) {
    osd::IconFrames frames{Strip::Icon, 99, 99};
    for (int code : {0, 19, 22, 52, 110, 112, 120, 135, 200, 207, 217, 220, 777}) {
        EXPECT_FALSE(osd::FramesOfIconCode(code, &frames)) << code;
    }
    EXPECT_EQ(frames.frame, 99);  // left as it was
}

TEST(IconCodes, OnlyTheLockKeysAreShortPictures) {
    for (int code = 120; code <= 140; ++code) EXPECT_EQ(osd::IsShortDisplayCode(code), code >= 128 && code <= 133);
}

struct BatteryCase {
    int percent;
    int background;
    bool leadingOne;
    int tens;
    int units;
};

class BatteryRule : public ::testing::TestWithParam<BatteryCase> {};

TEST_P(BatteryRule, ChoosesBackgroundAndDigitFrames) {
    const BatteryCase c = GetParam();
    const osd::BatteryPicture picture = osd::BatteryPictureOf(c.percent);
    EXPECT_EQ(picture.background, c.background);
    EXPECT_EQ(picture.leadingOne, c.leadingOne);
    EXPECT_EQ(picture.tensFrame, 6 + c.tens);
    EXPECT_EQ(picture.unitsFrame, 6 + c.units);
}

INSTANTIATE_TEST_SUITE_P(
    Thresholds, BatteryRule,
    ::testing::Values(BatteryCase{100, 3, true, 0, 0}, BatteryCase{90, 3, false, 9, 0}, BatteryCase{89, 5, false, 8, 9},
                      BatteryCase{50, 5, false, 5, 0}, BatteryCase{49, 4, false, 4, 9}, BatteryCase{16, 4, false, 1, 6},
                      BatteryCase{15, 2, false, 1, 5}, BatteryCase{9, 2, false, 0, 9}, BatteryCase{0, 2, false, 0, 0},
                      // Out-of-range readings are clamped before digits are chosen.
                      BatteryCase{-7, 2, false, 0, 0}, BatteryCase{130, 3, true, 0, 0},
                      BatteryCase{254, 3, true, 0, 0}));

struct ClipCase {
    const char* name;
    int level;
    int stepScale;  // -1: brightness
    int windowsVersion;
    int canvasWidth;
    int clipRight;
};

class ClipWidth : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ClipWidth, FollowsTheLevel) {
    const ClipCase c = GetParam();
    const int right = c.stepScale < 0 ? osd::BrightnessClipRight(c.level, c.canvasWidth)
                                      : osd::VolumeClipRight(c.level, c.stepScale, c.windowsVersion, c.canvasWidth);
    EXPECT_EQ(right, c.clipRight) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    LevelBars, ClipWidth,
    ::testing::Values(ClipCase{"brightness 1", 1, -1, 8, 400, 144}, ClipCase{"brightness 3", 3, -1, 8, 400, 174},
                      ClipCase{"brightness 8", 8, -1, 8, 400, 249}, ClipCase{"brightness capped", 8, -1, 8, 240, 240},
                      ClipCase{"own steps 0", 0, 1, 8, 400, 98}, ClipCase{"own steps 7", 7, 1, 8, 400, 182},
                      ClipCase{"own steps 13", 13, 1, 5, 400, 254}, ClipCase{"own steps capped", 13, 1, 8, 200, 200},
                      ClipCase{"mixer vista 25", 25, 0, 7, 400, 176}, ClipCase{"mixer win7 50", 50, 0, 8, 400, 254},
                      ClipCase{"mixer win7 1 rounds", 1, 0, 8, 400, 101}, ClipCase{"mixer win7 3", 3, 0, 8, 400, 107},
                      ClipCase{"mixer win7 capped", 100, 0, 8, 276, 276}, ClipCase{"mixer xp 25", 25, 0, 5, 400, 254},
                      ClipCase{"mixer xp 24", 24, 0, 5, 400, 242}, ClipCase{"mixer xp 23", 23, 0, 5, 400, 238},
                      ClipCase{"mixer 2000 0", 0, 0, 4, 400, 98}, ClipCase{"mixer xp capped", 25, 0, 6, 250, 250}));

TEST(Placement, CentredBelowTheMiddleWithEachHalfTruncated) {
    POINT at = osd::CentredOrigin(1366, 768, 611, 281, osd::OsdMode::HotkeyPicture);
    EXPECT_EQ(at.x, 683 - 305);
    EXPECT_EQ(at.y, 384 - 140 + 70);
    at = osd::CentredOrigin(1365, 767, 611, 281, osd::OsdMode::HotkeyPicture);
    EXPECT_EQ(at.x, 682 - 305);
    EXPECT_EQ(at.y, 383 - 140 + 70);
}

TEST(Placement, DisplaySwitcherSitsSevenPixelsHigher) {
    EXPECT_EQ(osd::CentredOrigin(1024, 768, 600, 280, osd::OsdMode::DisplaySwitcher).y, 384 - 140 + 63);
    using osd::OsdMode;
    for (OsdMode mode : {OsdMode::Hidden, OsdMode::None, OsdMode::HotkeyPicture, OsdMode::SrsToggle,
                         OsdMode::ResolutionToggle, OsdMode::WirelessToggle, OsdMode::RfSwitch}) EXPECT_EQ(osd::CentredOrigin(1024, 768, 600, 280, mode).y, 384 - 140 + 70);
}

TEST(Placement, RightBottomUsesTheWorkAreasEdgesWhereverTheTaskbarIs) {
    const RECT bottomBar{0, 0, 1366, 728}, leftBar{60, 0, 1366, 768}, topBar{0, 40, 1366, 768};
    const RECT rightBar{0, 0, 1300, 768};
    EXPECT_EQ(osd::RightBottomOrigin(bottomBar, 150, 150).x, 1216);
    EXPECT_EQ(osd::RightBottomOrigin(bottomBar, 150, 150).y, 578);
    EXPECT_EQ(osd::RightBottomOrigin(leftBar, 150, 150).x, 1216);
    EXPECT_EQ(osd::RightBottomOrigin(topBar, 150, 150).y, 618);
    EXPECT_EQ(osd::RightBottomOrigin(rightBar, 150, 100).x, 1150);
}

TEST(Placement, PictureCentredInTheTemplateBox) {
    EXPECT_EQ(osd::CentredPictureLeft(378, 611, 150), 378 + 305 - 75);
    EXPECT_EQ(osd::CentredPictureLeft(378, 611, 611), 378);
    EXPECT_EQ(osd::CentredPictureLeft(0, 600, 231), 300 - 115);
}

}  // namespace
