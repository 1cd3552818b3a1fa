// The SRS toggle on a real OSD window: it opens on the driver's state at the
// background's size, every step moves the choice with a click, a click on a
// slot selects and applies at once, the other selections are closed when it
// takes the window over, and its hide applies nothing more.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "osd/togglechoices.h"
#include "osdfixture.h"

namespace {

using osd::SelectionOwner;

class SrsToggleWindow : public OsdTest {
protected:
    void SetUp() override {
        OsdTest::SetUp();
        partners_.AllExist();
    }
    int Open(BYTE state) {
        const int result = osd_->InitSRSToggle(state);
        if (result) osd_->ShowNoActivate();
        Run(30);
        return result;
    }
    int Applied() const { return partners_.Count("ApplySelection SrsSelector"); }
};

TEST_F(SrsToggleWindow, OpensAtTheBackgroundsSizeOnTheStateItIsGiven) {
    ASSERT_EQ(Open(33), 1);
    const Picture background = StripFramePicture(osd::kSrsStripFile, osd::kSrsBackgroundFrame);
    const RECT rect = WindowRect();
    EXPECT_EQ(rect.right - rect.left, background.width);
    EXPECT_EQ(rect.bottom - rect.top, background.height);
    EXPECT_EQ(osd_->Mode(), osd::OsdMode::SrsToggle);
    EXPECT_EQ(osd_->GetSelectedSRSMode(), 255);
    // The label of the choice sits centred at its fixed line.
    const Picture label = StripFramePicture(osd::kSrsStripFile, osd::SrsFrames(2).label);
    EXPECT_EQ(osd_->SrsToggle().LabelAt().x, background.width / 2 - label.width / 2);
    EXPECT_EQ(osd_->SrsToggle().LabelAt().y, osd::kSrsLabelTop);
}

TEST_F(SrsToggleWindow, TakingTheWindowOverClosesEveryOtherSelectionButItsOwn) {
    ASSERT_EQ(Open(16), 1);
    for (const char* other : {"DisplayChanger", "ResolutionSelector", "WirelessSelector", "RfSelector"}) {
        EXPECT_TRUE(partners_.Called(std::string("ClearPending ") + other)) << other;
    }
    EXPECT_FALSE(partners_.Called("ClearPending SrsSelector"));
}

TEST_F(SrsToggleWindow, StepsWrapWithAClickAndEveryChoiceLooksDifferent) {
    ASSERT_EQ(Open(33), 1);
    std::vector<Picture> seen{CaptureScreen(WindowRect())};
    std::vector<int> values;
    for (int i = 0; i < 3; ++i) {
        osd_->SetNextSRSmode();
        Run(20);
        values.push_back(osd_->GetSelectedSRSMode());
        seen.push_back(CaptureScreen(WindowRect()));
    }
    EXPECT_EQ(values, (std::vector<int>{16, 32, 255}));
    EXPECT_EQ(clickSound_.plays.size(), 3u);
    EXPECT_EQ(CountMismatches(seen[0], seen[3]), 0);
    EXPECT_GT(CountMismatches(seen[0], seen[1]), 0);
    EXPECT_GT(CountMismatches(seen[1], seen[2]), 0);
    // The step leaves applying to the selector, which does it at each step itself.
    EXPECT_EQ(Applied(), 0);
}

TEST_F(SrsToggleWindow, ClickSelectsAndAppliesSilentlyAndADoubleClickCloses) {
    ASSERT_EQ(Open(16), 1);
    const POINT slot = osd::SrsSlot(1);
    SendMessageW(osd_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(slot.x + 20, 50));
    EXPECT_EQ(osd_->GetSelectedSRSMode(), 32);
    EXPECT_EQ(Applied(), 1);
    // Above the icons' hit line nothing is hit.
    SendMessageW(osd_->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(osd::SrsSlot(2).x + 20, 5));
    EXPECT_EQ(osd_->GetSelectedSRSMode(), 32);
    EXPECT_TRUE(clickSound_.plays.empty());
    SendMessageW(osd_->Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(osd::SrsSlot(2).x + 20, 50));
    EXPECT_EQ(Applied(), 2);
    EXPECT_TRUE(Gone());
}

TEST_F(SrsToggleWindow, HideReleasesTheImagesAndAppliesNothingMore) {
    ASSERT_EQ(Open(32), 1);
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
    EXPECT_TRUE(Gone());
    EXPECT_EQ(Applied(), 0);
    EXPECT_TRUE(partners_.Called("ClearPending SrsSelector"));
}

TEST_F(SrsToggleWindow, DisplaySwitchPendingOnlyClosesTheWindow) {
    partners_.pending[SelectionOwner::DisplayChanger] = true;
    EXPECT_EQ(Open(16), 1);
    EXPECT_NE(osd_->Mode(), osd::OsdMode::SrsToggle);
}

}  // namespace
