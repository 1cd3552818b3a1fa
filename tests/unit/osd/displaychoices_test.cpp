// The display-switch OSD's pure rules: the choice list of every connected
// code with its frames, stepping, which choices the arc shows as the list
// scrolls, the drawing geometry, the click hit test, the easing and the HDMI
// audio check.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "osd/displaychoices.h"
#include "osd/displayswitchview.h"

namespace {

using osd::BuildChoiceList;
using osd::ChoiceList;

std::vector<int> Codes(const ChoiceList& list) {
    std::vector<int> codes;
    for (int i = 0; i < list.count; ++i) codes.push_back(list.choices[i].outputCode);
    return codes;
}

struct ListCase {
    int connected;
    std::vector<int> codes;
    int starterLength;
};

// The lists as the display changer's connected codes call for them.
const ListCase kLists[] = {
    {1, {0x01}, 1},
    {2, {0x02}, 1},
    {3, {0x01, 0x02, 0x03, 0x103}, 3},
    {4, {0x04}, 1},
    {5, {0x01, 0x04, 0x05, 0x105}, 3},
    {6, {0x02, 0x04}, 2},
    {7, {0x01, 0x02, 0x04, 0x03, 0x05, 0x103, 0x105}, 5},
    {8, {0x08}, 1},
    {9, {0x01, 0x08, 0x09, 0x109}, 3},
    {10, {0x02, 0x08}, 2},
    {11, {0x01, 0x02, 0x08, 0x03, 0x09, 0x103, 0x109}, 5},
    {12, {0x04, 0x08}, 2},
    {13, {0x01, 0x04, 0x08, 0x05, 0x09, 0x105, 0x109}, 5},
    {14, {0x02, 0x04, 0x08}, 3},
    {15, {0x01, 0x02, 0x04, 0x08, 0x03, 0x05, 0x09, 0x103, 0x105, 0x109}, 7},
    {16, {0x10}, 1},
    {17, {0x01, 0x10, 0x11, 0x111}, 3},
    {18, {0x01, 0x02, 0x10, 0x03, 0x11, 0x103, 0x111}, 5},
    {19, {0x01, 0x04, 0x10, 0x05, 0x11, 0x105, 0x111}, 5},
    {20, {0x01, 0x08, 0x10, 0x09, 0x11, 0x109, 0x111}, 5},
    {21, {0x01, 0x02, 0x08, 0x10, 0x03, 0x09, 0x11, 0x103, 0x109, 0x111}, 7},
    {22, {0x01, 0x02, 0x04, 0x10, 0x03, 0x05, 0x11, 0x103, 0x105, 0x111}, 7},
    {23, {0x01, 0x04, 0x08, 0x10, 0x05, 0x09, 0x11, 0x105, 0x109, 0x111}, 7},
    {24, {0x01, 0x02, 0x04, 0x08, 0x10, 0x03, 0x05, 0x09, 0x11, 0x103, 0x105, 0x109, 0x111}, 9},
    {25, {0x01, 0x2B, 0x19, 0x119}, 3},
    {26, {0x01, 0x2B, 0x02, 0x19, 0x03, 0x119, 0x103}, 7},
    {27, {0x01, 0x2B, 0x08, 0x19, 0x09, 0x119, 0x109}, 7},
    {28, {0x01}, 1},  // no list of its own: the panel alone
    {29, {0x01, 0x2B, 0x10, 0x19, 0x11, 0x119, 0x111}, 7},
    {30, {0x01, 0x2B, 0x02, 0x08, 0x19, 0x03, 0x09, 0x119, 0x103, 0x109}, 7},
};

// Frames (unselected, selected, label) of every output code in the strip.
const std::map<int, osd::ChoiceFrames> kFrames = {
    {0x01, {29, 15, 44}}, {0x02, {8, 6, 40}},    {0x04, {59, 57, 55}},  {0x08, {11, 9, 42}},  {0x10, {14, 12, 43}},
    {0x03, {18, 16, 45}}, {0x05, {32, 30, 51}},  {0x09, {22, 20, 47}},  {0x11, {26, 24, 49}}, {0x103, {19, 17, 46}},
    {0x105, {33, 31, 52}}, {0x109, {23, 21, 48}}, {0x111, {27, 25, 50}}, {0x19, {36, 34, 53}}, {0x2B, {61, 60, 56}},
    {0x119, {37, 35, 54}}, {0x12, {39, 38, 41}},
};
const std::map<int, int> kStandAlone = {{0x01, 28}, {0x02, 7}, {0x04, 58}, {0x08, 10}, {0x10, 13}};

void ExpectFrames(const ChoiceList& list) {
    for (int i = 0; i < list.count; ++i) {
        const osd::Choice& choice = list.choices[i];
        const osd::ChoiceFrames& expected = kFrames.at(choice.outputCode);
        EXPECT_EQ(choice.frames.label, expected.label) << "choice " << i;
        if (list.count == 1) {
            EXPECT_EQ(choice.frames.unselected, kStandAlone.at(choice.outputCode));
            EXPECT_EQ(choice.frames.selected, kStandAlone.at(choice.outputCode));
        } else {
            EXPECT_EQ(choice.frames.unselected, expected.unselected) << "choice " << i;
            EXPECT_EQ(choice.frames.selected, expected.selected) << "choice " << i;
        }
    }
}

class ChoiceListOf : public ::testing::TestWithParam<ListCase> {};

TEST_P(ChoiceListOf, ConnectedCodeOffersItsChoicesWithTheirFrames) {
    const ListCase& c = GetParam();
    const ChoiceList list = BuildChoiceList(c.connected, 0, false, false);
    EXPECT_EQ(Codes(list), c.codes);
    ExpectFrames(list);
}

TEST_P(ChoiceListOf, StarterEditionKeepsTheFirstEntries) {
    const ListCase& c = GetParam();
    const ChoiceList list = BuildChoiceList(c.connected, 0, true, false);
    EXPECT_EQ(Codes(list), std::vector<int>(c.codes.begin(), c.codes.begin() + c.starterLength));
}

TEST_P(ChoiceListOf, SavedProfileComesLastWithOrdinaryFrames) {
    const ListCase& c = GetParam();
    const ChoiceList list = BuildChoiceList(c.connected, 0, false, true);
    std::vector<int> expected = c.codes;
    expected.push_back(osd::kSavedProfileCode);
    EXPECT_EQ(Codes(list), expected);
    ExpectFrames(list);  // a single output with the profile has two choices: no stand-alone picture
}

INSTANTIATE_TEST_SUITE_P(EveryCode, ChoiceListOf, ::testing::ValuesIn(kLists),
                         [](const auto& info) { return "code" + std::to_string(info.param.connected); });

TEST(ChoiceList, CodesWithoutAListOfferThePanelAlone) {
    for (int code : {0, -1, 28, 31, 33, 39, 43, 48, 1000}) {
        EXPECT_EQ(Codes(BuildChoiceList(code, 0, false, false)), std::vector<int>{0x01}) << code;
        EXPECT_EQ(Codes(BuildChoiceList(code, 0, false, true)), (std::vector<int>{0x01, 0x12})) << code;
    }
}

TEST(ChoiceList, Families1And3OfferOnlyPanelAndCloneForCode3) {
    for (int family : {1, 3}) {
        EXPECT_EQ(Codes(BuildChoiceList(3, family, false, false)), (std::vector<int>{0x01, 0x03}));
    }
    EXPECT_EQ(BuildChoiceList(3, 4, false, false).count, 4);
    EXPECT_EQ(BuildChoiceList(5, 1, false, false).count, 4);  // only code 3 is cut
}

// --- Stepping and the arc

TEST(Stepping, WrapsAtBothEnds) {
    EXPECT_EQ(osd::StepSelection(0, 7, false), 1);
    EXPECT_EQ(osd::StepSelection(6, 7, false), 0);
    EXPECT_EQ(osd::StepSelection(0, 7, true), 6);
    EXPECT_EQ(osd::StepSelection(3, 7, true), 2);
    EXPECT_EQ(osd::StepSelection(0, 1, true), 0);
}

// Which choice each slot shows, from slot 0, and the arrows.
struct View {
    std::vector<int> choices;
    bool left;
    bool right;
};

View KeyView(int count, int selected, int previous) {
    const osd::FramePlan plan = osd::PlanFrame({count, selected, previous, 0, false}, 0.6, 1.0, true);
    std::vector<int> bySlot(plan.icons.size(), -1);
    for (const osd::IconDraw& icon : plan.icons) bySlot[icon.slot] = icon.choice;
    return {bySlot, plan.leftArrow, plan.rightArrow};
}

TEST(Arc, SevenChoicesScrollPastTheFifthAndBackOnTheWrap) {
    int selected = 0;
    std::vector<View> views;
    for (int step = 1; step <= 7; ++step) {
        const int previous = selected;
        selected = osd::StepSelection(selected, 7, false);
        views.push_back(KeyView(7, selected, previous));
    }
    // After the fifth step: choice 5 in slot 4, choices 1 to 4 before it, the left arrow.
    EXPECT_EQ(views[4].choices, (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(views[4].left);
    EXPECT_TRUE(views[4].right);
    // The last choice: the left arrow alone.
    EXPECT_EQ(views[5].choices, (std::vector<int>{2, 3, 4, 5, 6}));
    EXPECT_TRUE(views[5].left);
    EXPECT_FALSE(views[5].right);
    // The seventh step wraps: the first five again, the right arrow alone.
    EXPECT_EQ(views[6].choices, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_FALSE(views[6].left);
    EXPECT_TRUE(views[6].right);
}

TEST(Arc, BackwardFromTheFirstChoiceShowsTheLastInTheLastSlot) {
    const View view = KeyView(10, osd::StepSelection(0, 10, true), 0);
    EXPECT_EQ(view.choices, (std::vector<int>{5, 6, 7, 8, 9}));
    EXPECT_TRUE(view.left);
    EXPECT_FALSE(view.right);
}

TEST(Arc, FewChoicesNeverScrollOrShowArrows) {
    const View view = KeyView(4, 3, 2);
    EXPECT_EQ(view.choices, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_FALSE(view.left);
    EXPECT_FALSE(view.right);
}

TEST(Arc, StepGrowsTheNewChoiceAndShrinksThePreviousOne) {
    const osd::FramePlan first = osd::PlanFrame({4, 2, 1, 0, false}, 0.98, 0.59, false);
    const osd::FramePlan last = osd::PlanFrame({4, 2, 1, 0, false}, 0.6, 1.0, true);
    for (const osd::FramePlan* plan : {&first, &last}) {
        for (const osd::IconDraw& icon : plan->icons) {
            EXPECT_EQ(icon.image == osd::IconImage::Selected, icon.choice == 2);
            EXPECT_EQ(icon.label, icon.choice == 2);
        }
    }
    auto of = [](const osd::FramePlan& plan, int choice) {
        for (const osd::IconDraw& icon : plan.icons) {
            if (icon.choice == choice) return icon;
        }
        return osd::IconDraw{};
    };
    EXPECT_DOUBLE_EQ(of(first, 2).scale, 0.59);
    EXPECT_DOUBLE_EQ(of(first, 1).scale, 0.98);
    EXPECT_FALSE(of(first, 1).settled);
    EXPECT_TRUE(of(last, 1).settled);
    EXPECT_DOUBLE_EQ(of(first, 0).scale, 1.0);
}

TEST(Arc, MouseModeKeepsTheScrolledView) {
    const osd::FramePlan plan = osd::PlanFrame({9, 3, 6, 2, true}, 0.6, 1.0, true);
    EXPECT_EQ(plan.firstVisible, 2);
    ASSERT_EQ(plan.icons.size(), 5u);
    for (int slot = 0; slot < 5; ++slot) EXPECT_EQ(plan.icons[slot].choice, 2 + slot);
    EXPECT_TRUE(plan.leftArrow);
    EXPECT_TRUE(plan.rightArrow);
    EXPECT_FALSE(osd::PlanFrame({9, 4, 3, 4, true}, 0.6, 1.0, true).rightArrow);  // 4..8: the end is shown
}

TEST(IconGeometry, ScaledIconsKeepTheMiddleOfTheirBottomEdge) {
    struct Case {
        double scale;
        bool settled;
        bool highlighted;
        RECT expected;
    };
    const POINT at{95, 10};
    const SIZE size{84, 84};
    for (const Case& c : {Case{0.59, false, true, {112, 44, 161, 93}}, Case{1.0, false, true, {95, 10, 179, 94}},
                          Case{1.0, false, false, {111, 43, 161, 93}}, Case{0.6, true, false, {111, 43, 161, 93}},
                          Case{0.75, false, false, {105, 31, 168, 94}}}) {
        const RECT r = osd::IconRect(at, size, c.scale, c.settled, c.highlighted);
        EXPECT_EQ(r.left, c.expected.left) << c.scale;
        EXPECT_EQ(r.top, c.expected.top) << c.scale;
        EXPECT_EQ(r.right, c.expected.right) << c.scale;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.scale;
    }
}

TEST(HitTest, SlotsAreHitBelowTheirTopBandAndWithinTheirWidth) {
    const osd::SlotLayout layout = osd::SlotLayoutFor(5);
    const std::vector<SIZE> sizes(5, SIZE{84, 84});
    EXPECT_EQ(osd::HitSlot(layout, sizes, {5, 21}), 0);
    EXPECT_EQ(osd::HitSlot(layout, sizes, {88, 50}), 0);
    EXPECT_EQ(osd::HitSlot(layout, sizes, {89, 50}), -1);  // between slots 0 and 1
    EXPECT_EQ(osd::HitSlot(layout, sizes, {400, 83}), 4);
    EXPECT_EQ(osd::HitSlot(layout, sizes, {400, 84}), -1);
    EXPECT_EQ(osd::HitSlot(layout, sizes, {200, 20}), -1);
    EXPECT_EQ(osd::HitSlot(osd::SlotLayoutFor(2), {{84, 84}, {84, 84}}, {300, 50}), -1);
}

TEST(Animation, EasingRisesLikeASineToOneAndPacesAboutHalfASecond) {
    const auto& t = osd::EasingTable();
    const double expected[] = {0,     0.052, 0.105, 0.156, 0.208, 0.259, 0.309, 0.358, 0.407, 0.454,
                               0.5,   0.545, 0.588, 0.629, 0.669, 0.707, 0.743, 0.777, 0.809, 0.839,
                               0.866, 0.891, 0.914, 0.934, 0.951, 0.966, 0.978, 0.988, 0.995, 1.0};
    for (int k = 0; k < osd::kAnimationSteps; ++k) EXPECT_DOUBLE_EQ(t[k], expected[k]) << k;
    UINT total = 0;
    for (int k = 1; k < osd::kAnimationSteps; ++k) total += osd::AnimationDelayAfter(t[k]);
    EXPECT_EQ(osd::AnimationDelayAfter(0.1), 1u);
    EXPECT_NEAR(total, 570, 30);
}

struct AudioCase {
    int version;
    int connected;
    int vendor;
    const wchar_t* name;
    bool muted;
};

class HdmiAudio : public ::testing::TestWithParam<AudioCase> {};

TEST_P(HdmiAudio, ClickStaysOffOnlyForNvidiaAudioOnWindows7) {
    const AudioCase& c = GetParam();
    EXPECT_EQ(osd::ClickGoesToHdmiAudio(c.version, c.connected, c.vendor, c.name), c.muted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HdmiAudio,
    ::testing::Values(AudioCase{8, 9, 2, L"NVIDIA HDMI Out", true}, AudioCase{8, 9, 2, L"nvidia hd audio", true},
                      AudioCase{8, 24, 2, L"High Definition Audio (NVIDIA)", true},
                      AudioCase{8, 9, 2, L"Realtek HD Audio", false}, AudioCase{8, 9, 2, nullptr, false},
                      AudioCase{8, 9, 1, L"NVIDIA HDMI Out", false}, AudioCase{7, 9, 2, L"NVIDIA HDMI Out", false},
                      AudioCase{8, 3, 2, L"NVIDIA HDMI Out", false}, AudioCase{8, 5, 2, L"NVIDIA HDMI Out", false},
                      AudioCase{8, 7, 2, L"NVIDIA HDMI Out", false}));

}  // namespace
