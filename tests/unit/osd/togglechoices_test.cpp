// The toggles' pure rules: the choice a state opens on, stepping and wrap,
// the frames of every choice, the slots and label positions, and the RF
// switch's composition.
#include <gtest/gtest.h>

#include <vector>

#include "osd/togglechoices.h"

namespace {

using namespace osd;

void ExpectFrames(const ChoiceFrames& got, const ChoiceFrames& want) {
    EXPECT_EQ(got.unselected, want.unselected);
    EXPECT_EQ(got.selected, want.selected);
    EXPECT_EQ(got.label, want.label);
}

// Every step visits each choice once and comes back to the start.
TEST(ToggleStepping, WrapsAfterTheLastChoice) {
    for (int count : {2, 3, 4}) {
        std::vector<int> seen;
        int choice = count - 1;
        for (int i = 0; i < count; ++i) seen.push_back(choice = NextChoice(choice, count));
        std::vector<int> want;
        for (int i = 0; i < count; ++i) want.push_back(i);
        EXPECT_EQ(seen, want) << count;
    }
    // An out-of-range choice restarts at the first.
    EXPECT_EQ(NextChoice(7, 3), 0);
    EXPECT_EQ(NextChoice(-4, 3), 0);
}

TEST(SrsToggle, StatesOpenOnTheirChoiceAndUnknownStatesKeepTheCurrentOne) {
    const struct {
        int state, current, choice;
    } cases[] = {{16, 2, 0}, {32, 0, 1}, {17, 0, 2}, {33, 1, 2},
                 {153, 0, 0}, {153, 1, 1}, {255, 1, 1}, {0, 2, 2}, {-1, 0, 0}};
    for (const auto& c : cases) EXPECT_EQ(SrsChoiceOfState(c.state, c.current), c.choice) << c.state;
}

TEST(SrsToggle, StateOffStepsThroughEveryEffectBackToOff) {
    int choice = SrsChoiceOfState(33, 0);
    std::vector<int> applied;
    for (int i = 0; i < 3; ++i) applied.push_back(SrsValueOf(choice = NextChoice(choice, kSrsChoices)));
    EXPECT_EQ(applied, (std::vector<int>{16, 32, 255}));
    EXPECT_EQ(choice, 2);
}

TEST(SrsToggle, FramesSlotsAndLabel) {
    const struct {
        ChoiceFrames frames;
        POINT slot;
        int value;
    } want[kSrsChoices] = {{{7, 6, 8}, {10, 10}, 16}, {{5, 4, 1}, {102, 10}, 32}, {{3, 2, 0}, {194, 10}, 255}};
    for (int c = 0; c < kSrsChoices; ++c) {
        SCOPED_TRACE(c);
        ExpectFrames(SrsFrames(c), want[c].frames);
        EXPECT_EQ(SrsSlot(c).x, want[c].slot.x);
        EXPECT_EQ(SrsSlot(c).y, want[c].slot.y);
        EXPECT_EQ(SrsValueOf(c), want[c].value);
        // No frame is used twice and none reaches the background.
        EXPECT_LT(SrsFrames(c).label, kSrsBackgroundFrame);
    }
    const POINT label = CentredLabelAt({285, 140}, {91, 20}, kSrsLabelTop);
    EXPECT_EQ(label.x, 142 - 45);
    EXPECT_EQ(label.y, 112);
}

TEST(ResolutionToggle, OpeningPicksTheSetAndSelectedModeGivesItBack) {
    for (int given = 0; given < 6; ++given) {
        ResolutionOpening opening{};
        ASSERT_TRUE(ResolutionOpeningOf(given, &opening)) << given;
        EXPECT_EQ(opening.portrait, given >= 3) << given;
        EXPECT_EQ(opening.choice, given % 3) << given;
        EXPECT_EQ(ResolutionSelectedMode(opening.choice, opening.portrait), given);
    }
    ResolutionOpening opening{};
    EXPECT_FALSE(ResolutionOpeningOf(6, &opening));
    EXPECT_FALSE(ResolutionOpeningOf(-1, &opening));
}

TEST(ResolutionToggle, FramesAndSizesOfBothSets) {
    const struct {
        int choice;
        bool portrait;
        ChoiceFrames frames;
        SIZE size;
    } cases[] = {
        {0, false, {11, 5, 17}, {800, 480}}, {1, false, {12, 6, 18}, {800, 600}}, {2, false, {7, 1, 13}, {1024, 600}},
        {0, true, {8, 2, 14}, {480, 800}},   {1, true, {10, 4, 16}, {600, 800}},  {2, true, {9, 3, 15}, {600, 1024}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.choice + (c.portrait ? 3 : 0));
        ExpectFrames(ResolutionFrames(c.choice, c.portrait), c.frames);
        EXPECT_EQ(ResolutionSizeOf(c.choice, c.portrait).cx, c.size.cx);
        EXPECT_EQ(ResolutionSizeOf(c.choice, c.portrait).cy, c.size.cy);
        EXPECT_LT(ResolutionFrames(c.choice, c.portrait).label, kResolutionStripFrames);
    }
    EXPECT_EQ(ResolutionSlot(0).x, 12);
    EXPECT_EQ(ResolutionSlot(1).x, 100);
    EXPECT_EQ(ResolutionSlot(2).x, 188);
}

TEST(WirelessToggle, OpeningKeepsThePreviousChoiceForStatesTheLayoutLacks) {
    const struct {
        bool two;
        int state, previous, choice;
    } cases[] = {
        {true, 0, 1, 0},  {true, 3, 0, 1},  {true, 1, 0, 0},  {true, 2, 1, 1}, {true, 9, 1, 1},
        {false, 0, 2, 0}, {false, 2, 0, 2}, {false, 3, 0, 3}, {false, 4, 1, 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WirelessChoiceOfState(c.state, c.two, c.previous), c.choice) << c.two << " " << c.state;
    }
    // The two-choice layout's choices stand for both on and both off.
    EXPECT_EQ(WirelessStateOfChoice(0, true), 0);
    EXPECT_EQ(WirelessStateOfChoice(1, true), 3);
    for (int c = 0; c < 4; ++c) EXPECT_EQ(WirelessStateOfChoice(c, false), c);
}

TEST(WirelessToggle, LayoutsFramesSlotsAndLabel) {
    EXPECT_EQ(WirelessChoiceCount(true), 2);
    EXPECT_EQ(WirelessChoiceCount(false), 4);
    EXPECT_EQ(WirelessBackgroundFrame(true), 0);
    EXPECT_EQ(WirelessBackgroundFrame(false), 3);
    ExpectFrames(WirelessFrames(0, true), {11, 10, 6});
    ExpectFrames(WirelessFrames(1, true), {8, 9, 5});
    const ChoiceFrames four[] = {{11, 10, 6}, {13, 12, 7}, {2, 1, 4}, {8, 9, 5}};
    const POINT fourSlots[] = {{5, 7}, {95, 17}, {185, 17}, {275, 7}};
    for (int c = 0; c < 4; ++c) {
        SCOPED_TRACE(c);
        ExpectFrames(WirelessFrames(c, false), four[c]);
        EXPECT_EQ(WirelessSlot(c, false).x, fourSlots[c].x);
        EXPECT_EQ(WirelessSlot(c, false).y, fourSlots[c].y);
    }
    EXPECT_EQ(WirelessSlot(1, true).x, 114);
    EXPECT_EQ(WirelessLabelAnchor({221, 131}, true).x, 110);
    EXPECT_EQ(WirelessLabelAnchor({221, 131}, true).y, 131 - 29);
    EXPECT_EQ(WirelessLabelAnchor({365, 141}, false).y, 141 - 24);
    EXPECT_EQ(WirelessLabelTravel(true), -14);
    EXPECT_EQ(WirelessLabelTravel(false), -19);
    EXPECT_STREQ(WirelessBlankPicture(true), L"BgBlnk.bg2");
    EXPECT_STREQ(WirelessBlankPicture(false), L"BgBlnk.bg4");
}

TEST(RfSwitch, AllRadiosPresentPickOneFastFrame) {
    const struct {
        BYTE d0, d1, d2;
        int frame;
    } cases[] = {{0, 0, 0, 0}, {1, 0, 1, 6}, {0, 1, 0, 1}, {0, 0, 1, 2}, {1, 0, 0, 4}, {1, 1, 1, 7}};
    for (const auto& c : cases) {
        RfPicture picture;
        ASSERT_TRUE(BuildRfPicture(c.d0, c.d1, c.d2, &picture));
        EXPECT_EQ(picture.fastFrame, c.frame) << int(c.d0) << int(c.d1) << int(c.d2);
        EXPECT_LT(picture.fastFrame, kRfFastStripFrames);
        EXPECT_EQ(picture.count, 0);
    }
}

TEST(RfSwitch, PresentRadiosAreComposedInOrderD0D2D1) {
    RfPicture picture;
    // d0 on, d1 absent, d2 off.
    ASSERT_TRUE(BuildRfPicture(1, 2, 0, &picture));
    EXPECT_EQ(picture.fastFrame, -1);
    EXPECT_EQ(picture.background, 0);
    ASSERT_EQ(picture.count, 2);
    EXPECT_EQ(picture.radios[0].icon, 11);
    EXPECT_EQ(picture.radios[0].label, 7);
    EXPECT_EQ(picture.radios[1].icon, 2);
    EXPECT_EQ(picture.radios[1].label, 4);
    EXPECT_EQ(picture.radios[1].iconAt.x, 160);
    EXPECT_EQ(picture.radios[1].labelAt.x, 161);
    EXPECT_EQ(picture.radios[1].labelAt.y, 93);

    // d0 absent: d2 comes first, then d1.
    ASSERT_TRUE(BuildRfPicture(2, 1, 1, &picture));
    ASSERT_EQ(picture.count, 2);
    EXPECT_EQ(picture.radios[0].icon, 3);
    EXPECT_EQ(picture.radios[1].icon, 13);
    EXPECT_EQ(picture.radios[1].label, 9);

    // A lone radio is drawn at the first corners on the two-radio background.
    ASSERT_TRUE(BuildRfPicture(2, 0, 2, &picture));
    ASSERT_EQ(picture.count, 1);
    EXPECT_EQ(picture.background, 0);
    EXPECT_EQ(picture.radios[0].icon, 12);
    EXPECT_EQ(picture.radios[0].iconAt.x, 30);

    EXPECT_FALSE(BuildRfPicture(2, 2, 2, &picture));
    EXPECT_EQ(picture.count, 0);
}

TEST(RfSwitch, BytesThatAreNotRadioStatesPickNoPicture) {
    // The firmware validates only the first byte; any byte may come back wrong.
    const BYTE cases[][3] = {{3, 0, 0}, {0, 0x80, 0}, {1, 1, 0xFF}, {2, 7, 2}};
    for (const auto& c : cases) {
        RfPicture picture;
        picture.fastFrame = 5;
        EXPECT_FALSE(ValidRadioStatus(c[0], c[1], c[2])) << int(c[0]) << " " << int(c[1]) << " " << int(c[2]);
        EXPECT_FALSE(BuildRfPicture(c[0], c[1], c[2], &picture));
        EXPECT_EQ(picture.fastFrame, -1);
        EXPECT_EQ(picture.count, 0);
    }
    EXPECT_TRUE(ValidRadioStatus(0, 1, 2));
}

}  // namespace
