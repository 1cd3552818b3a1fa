// The resolution toggle's table both ways: the size each choice sets, the
// choice a screen opens on (a size between the rows keeps its orientation),
// the choice a requested size counts as, and the sizes kept before sleep.
#include <gtest/gtest.h>

#include "osd/resolutiontable.h"

namespace {

using namespace osd;

TEST(ResolutionTable, EveryChoiceSetsItsSizeAndItsSizeOpensOnIt) {
    const SIZE sizes[kResolutionTableChoices] = {{800, 480}, {800, 600}, {1024, 600},
                                                 {480, 800}, {600, 800}, {600, 1024}};
    for (int c = 0; c < kResolutionTableChoices; ++c) {
        SCOPED_TRACE(c);
        EXPECT_EQ(ScreenSizeOfChoice(c).cx, sizes[c].cx);
        EXPECT_EQ(ScreenSizeOfChoice(c).cy, sizes[c].cy);
        EXPECT_EQ(ChoiceOfScreenSize(sizes[c].cx, sizes[c].cy), c);
    }
    for (int outside : {-1, 6, 255}) {
        EXPECT_EQ(ScreenSizeOfChoice(outside).cx, 800) << outside;
        EXPECT_EQ(ScreenSizeOfChoice(outside).cy, 480) << outside;
    }
}

TEST(ResolutionTable, ScreensBetweenTheRowsOpenOnTheWidestTallestOrSmallestChoice) {
    const struct {
        int width, height, choice;
    } cases[] = {
        {1280, 800, 2}, {1366, 768, 2}, {1024, 1280, 2},  // at least 1024 wide
        {768, 1366, 5},                                    // at least 1024 high
        {640, 480, 0},  {480, 640, 0},                     // narrower than 800
        {1000, 700, 5}, {900, 1000, 5}, {800, 800, 5},     // 800 to 1023 wide
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ChoiceOfScreenSize(c.width, c.height), c.choice) << c.width << " x " << c.height;
    }
}

TEST(ResolutionTable, RequestedSizesCountAsTheChoiceOfTheirWidthOrHeight) {
    const struct {
        int width, height, choice;
    } cases[] = {{1024, 600, 2}, {1024, 768, 2}, {800, 600, 1}, {1280, 600, 1}, {800, 480, 0}, {480, 800, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(ChoiceOfRequestedSize(c.width, c.height), c.choice) << c.width << " x " << c.height;
    }
}

TEST(ResolutionTable, OnlyTheSmallestSizesRotateAndEveryOtherGoesBackToThemBeforeSleep) {
    EXPECT_TRUE(IsRotatableSize(800, 480));
    EXPECT_TRUE(IsRotatableSize(480, 800));
    EXPECT_FALSE(IsRotatableSize(800, 600));
    EXPECT_FALSE(IsRotatableSize(1024, 600));
    const struct {
        int width, height, sleepWidth, sleepHeight;
    } cases[] = {{1024, 600, 800, 480}, {600, 1024, 480, 800}, {1366, 768, 800, 480}, {800, 800, 480, 800}};
    for (const auto& c : cases) {
        const SIZE sleep = SleepSizeOf(c.width, c.height);
        EXPECT_EQ(sleep.cx, c.sleepWidth) << c.width << " x " << c.height;
        EXPECT_EQ(sleep.cy, c.sleepHeight) << c.width << " x " << c.height;
    }
}

}  // namespace
