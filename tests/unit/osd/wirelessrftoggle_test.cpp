// The wireless toggle and the RF switch on a real OSD window, and the rule
// all toggles share: taking the window over closes every other open
// selection. The wireless toggle opens on the radio state in its layout,
// steps with a click, hands its choice back at the first timer expiry and
// hides after its confirmation; the RF switch shows the radios as the
// firmware reports them and refuses bytes that are not radio states.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "osd/togglechoices.h"
#include "osdfixture.h"

namespace {

using osd::OsdMode;
using osd::SelectionOwner;

constexpr SelectionOwner kOwners[] = {SelectionOwner::DisplayChanger, SelectionOwner::SrsSelector,
                                      SelectionOwner::ResolutionSelector, SelectionOwner::WirelessSelector,
                                      SelectionOwner::RfSelector};
const char* const kOwnerNames[] = {"DisplayChanger", "SrsSelector", "ResolutionSelector", "WirelessSelector",
                                   "RfSelector"};

class ToggleWindow : public OsdTest {
protected:
    void SetUp() override {
        OsdTest::SetUp();
        for (SelectionOwner owner : kOwners) partners_.exists[owner] = true;
    }
    int Shown(int result) {
        if (result) osd_->ShowNoActivate();
        Run(30);
        return result;
    }
    int OpenWireless(int state, bool twoChoice) {
        osd_->SetWirelessTwoChoice(twoChoice);
        return Shown(osd_->InitWirelessDeviceToggle(state));
    }
    int OpenRf(BYTE d0, BYTE d1, BYTE d2) {
        const BYTE status[3] = {d0, d1, d2};
        return Shown(osd_->InitRFSwitchWnd(status));
    }
    int Count(const std::string& line) const {
        return static_cast<int>(std::count(partners_.calls.begin(), partners_.calls.end(), line));
    }
    SIZE Size() const {
        const RECT rect = WindowRect();
        return {rect.right - rect.left, rect.bottom - rect.top};
    }
};

TEST_F(ToggleWindow, EveryToggleTakingTheWindowOverClosesEveryOtherSelectionButItsOwn) {
    const struct {
        const char* name;
        SelectionOwner self;
        std::function<int()> open;
    } toggles[] = {
        {"SRS", SelectionOwner::SrsSelector, [this] { return Shown(osd_->InitSRSToggle(16)); }},
        {"wireless", SelectionOwner::WirelessSelector, [this] { return OpenWireless(0, false); }},
        {"RF", SelectionOwner::RfSelector, [this] { return OpenRf(1, 0, 2); }},
    };
    for (const auto& toggle : toggles) {
        SCOPED_TRACE(toggle.name);
        MakeOsd();
        partners_.calls.clear();
        for (SelectionOwner owner : kOwners) partners_.pending[owner] = owner != SelectionOwner::DisplayChanger;
        ASSERT_EQ(toggle.open(), 1);
        for (size_t i = 0; i < std::size(kOwners); ++i) {
            const bool cleared = partners_.Called(std::string("ClearPending ") + kOwnerNames[i]);
            EXPECT_EQ(cleared, kOwners[i] != toggle.self) << kOwnerNames[i];
        }
    }
}

TEST_F(ToggleWindow, WirelessOpensOnTheRadioStateOfItsLayout) {
    const struct {
        bool twoChoice;
        int state;
        int choice;  // on a fresh window
    } cases[] = {
        {true, 0, 0}, {true, 3, 1}, {true, 1, 0}, {true, 2, 0},  // the two-choice layout has no mixed states
        {false, 0, 0}, {false, 1, 1}, {false, 2, 2}, {false, 3, 3}, {false, 7, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.twoChoice) + " state " + std::to_string(c.state));
        MakeOsd();
        ASSERT_EQ(OpenWireless(c.state, c.twoChoice), 1);
        EXPECT_EQ(osd_->Mode(), OsdMode::WirelessToggle);
        EXPECT_EQ(osd_->GetSelectedWirelessStatus(), c.choice);
        const Picture background =
            StripFramePicture(osd::kWirelessStripFile, osd::WirelessBackgroundFrame(c.twoChoice));
        EXPECT_EQ(Size().cx, background.width);
        EXPECT_EQ(Size().cy, background.height);
        const Picture label =
            StripFramePicture(osd::kWirelessStripFile, osd::WirelessFrames(c.choice, c.twoChoice).label);
        const POINT anchor = osd::WirelessLabelAnchor({background.width, background.height}, c.twoChoice);
        EXPECT_EQ(osd_->WirelessToggle().LabelAt().x, anchor.x - label.width / 2);
        EXPECT_EQ(osd_->WirelessToggle().LabelAt().y, anchor.y);
    }
    // A state the layout has no choice for keeps the choice of the last opening.
    MakeOsd();
    ASSERT_EQ(OpenWireless(2, false), 1);
    ASSERT_EQ(OpenWireless(9, false), 1);
    EXPECT_EQ(osd_->GetSelectedWirelessStatus(), 2);
}

TEST_F(ToggleWindow, WirelessStepsWrapWithAClickAndEveryChoiceLooksDifferent) {
    for (const bool twoChoice : {true, false}) {
        SCOPED_TRACE(twoChoice ? "two choices" : "four choices");
        MakeOsd();
        clickSound_.plays.clear();
        ASSERT_EQ(OpenWireless(0, twoChoice), 1);
        const int count = twoChoice ? 2 : 4;
        std::vector<Picture> seen{CaptureScreen(WindowRect())};
        std::vector<int> choices;
        for (int i = 0; i < count; ++i) {
            EXPECT_EQ(osd_->SetNextWirelessDeviceStatus(), 1);
            Run(20);
            choices.push_back(osd_->GetSelectedWirelessStatus());
            seen.push_back(CaptureScreen(WindowRect()));
        }
        std::vector<int> expected;
        for (int i = 1; i <= count; ++i) expected.push_back(i % count);
        EXPECT_EQ(choices, expected);
        EXPECT_EQ(clickSound_.plays, std::vector<std::string>(count, "async"));
        EXPECT_EQ(CountMismatches(seen[0], seen[count]), 0);
        for (int i = 0; i + 1 < count; ++i) EXPECT_GT(CountMismatches(seen[i], seen[i + 1]), 0) << i;
    }
}

TEST_F(ToggleWindow, WirelessStepIsRefusedWhenTheWindowShowsAnotherPicture) {
    ASSERT_EQ(OpenWireless(0, false), 1);
    ASSERT_EQ(ShowPicture(81), 1);
    clickSound_.plays.clear();
    EXPECT_EQ(osd_->SetNextWirelessDeviceStatus(), 0);
    EXPECT_EQ(osd_->Mode(), OsdMode::HotkeyPicture);
    EXPECT_EQ(osd_->GetSelectedWirelessStatus(), 0);
    EXPECT_TRUE(clickSound_.plays.empty());
}

TEST_F(ToggleWindow, WirelessHandsItsChoiceBackOnceThenConfirmsAndHides) {
    ASSERT_EQ(OpenWireless(0, true), 1);
    osd_->SetNextWirelessDeviceStatus();
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
    EXPECT_EQ(Count("ApplySelection WirelessSelector"), 1);
    EXPECT_TRUE(osd_->AnimationRunning());
    EXPECT_FALSE(Gone());
    // The choice has gone to the radios: further steps change nothing.
    EXPECT_EQ(osd_->SetNextWirelessDeviceStatus(), 0);
    EXPECT_EQ(osd_->GetSelectedWirelessStatus(), 1);
    Run(300);
    EXPECT_GT(osd_->WirelessToggle().AnimationStep(), 0) << "the confirmation animation runs";
    const DWORD start = GetTickCount();
    while (!Gone() && GetTickCount() - start < 3000) Run(20);
    EXPECT_TRUE(Gone());
    EXPECT_EQ(Count("ApplySelection WirelessSelector"), 1);
    EXPECT_TRUE(partners_.Called("ClearPending WirelessSelector"));
}

TEST_F(ToggleWindow, RfShowsTheRadiosAsReported) {
    // All three present: one frame of the fast strip is the whole picture.
    ASSERT_EQ(OpenRf(1, 0, 1), 1);
    EXPECT_EQ(osd_->Mode(), OsdMode::RfSwitch);
    EXPECT_EQ(osd_->RfSwitch().Picture().fastFrame, 6);
    const Picture fast = StripFramePicture(osd::kRfFastStripFile, 6);
    EXPECT_EQ(CountMismatches(CaptureScreen(WindowRect()), fast), 0);

    // Two present: their icons and labels on the two-radio background.
    MakeOsd();
    ASSERT_EQ(OpenRf(1, 2, 0), 1);
    const Picture background = StripFramePicture(osd::kRfStripFile, 0);
    EXPECT_EQ(Size().cx, background.width);
    EXPECT_EQ(Size().cy, background.height);
    EXPECT_EQ(osd_->RfSwitch().Picture().count, 2);
    // Every icon at the first radio's icon size, every label at its label's.
    const Picture d0On = StripFramePicture(osd::kRfStripFile, 11);
    const Picture d0OnLabel = StripFramePicture(osd::kRfStripFile, 7);
    EXPECT_EQ(osd_->RfSwitch().IconSize().cx, d0On.width);
    EXPECT_EQ(osd_->RfSwitch().LabelSize().cx, d0OnLabel.width);
    // The icons over the background: d0 on at the first corner, d2 off at the
    // second (the labels below them are left out: they are stretched).
    Picture expected = background;
    DrawOver(expected, d0On, 30, 0);
    DrawOver(expected, StripFramePicture(osd::kRfStripFile, 2), 160, 0);
    for (int y = 93; y < expected.height; ++y) {
        for (int x = 0; x < expected.width; ++x) expected.pixels[static_cast<size_t>(y) * expected.width + x] = 0;
    }
    EXPECT_EQ(CountMismatches(CaptureScreen(WindowRect()), expected), 0);
}

TEST_F(ToggleWindow, RfRefusesBytesThatAreNotRadioStates) {
    const BYTE cases[][3] = {{1, 0x80, 0}, {0, 1, 3}, {2, 2, 2}};
    for (const auto& status : cases) {
        SCOPED_TRACE(std::to_string(status[0]) + " " + std::to_string(status[1]) + " " + std::to_string(status[2]));
        MakeOsd();
        EXPECT_EQ(OpenRf(status[0], status[1], status[2]), 0);
        EXPECT_NE(osd_->Mode(), OsdMode::RfSwitch);
    }
    EXPECT_NE(NewLog().find("fail: InitRFSwitchWnd() radio status 1 128 0"), std::string::npos) << NewLog();
}

TEST_F(ToggleWindow, RfHidesAfterItsTimeOrAtAClick) {
    ASSERT_EQ(OpenRf(0, 0, 0), 1);
    Run(1200);
    EXPECT_FALSE(Gone());
    Run(700);
    EXPECT_TRUE(Gone());

    MakeOsd();
    ASSERT_EQ(OpenRf(0, 1, 0), 1);
    Run(400);  // clicks count from 300 ms after the show
    SendMessageW(osd_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(Gone());
    EXPECT_TRUE(partners_.Called("ClearPending RfSelector"));
}

}  // namespace
