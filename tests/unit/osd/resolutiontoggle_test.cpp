// The resolution toggle on a real OSD window: it opens on the set and choice
// it is given at the background's size, each step clicks and moves the
// choice, a click selects without applying and a double-click closes; the
// choice is handed to the selector only when the window hides; it closes the
// other selections when it takes the window over; and every opening reads
// its strip again.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "osd/togglechoices.h"
#include "osdfixture.h"

namespace {

using osd::SelectionOwner;

class ResolutionToggleWindow : public OsdTest {
protected:
    void SetUp() override {
        OsdTest::SetUp();
        partners_.AllExist();
    }
    int Open(int choice) {
        const int result = osd_->InitASToggle(choice);
        if (result) osd_->ShowNoActivate();
        Run(30);
        return result;
    }
    int Applied() const { return partners_.Count("ApplySelection ResolutionSelector"); }
    void Mouse(UINT message, POINT at) {
        SendMessageW(osd_->Handle(), message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(at.x, at.y));
    }
    // A point inside a slot, below the line from which slots are hit.
    static POINT InSlot(int choice) { return {osd::ResolutionSlot(choice).x + 20, 50}; }
};

TEST_F(ResolutionToggleWindow, OpensOnTheSetAndChoiceItIsGivenWithTheLabelCentred) {
    const Picture background = StripFramePicture(osd::kResolutionStripFile, osd::kResolutionBackgroundFrame);
    const struct {
        int given;
        bool portrait;
        int choice;
    } cases[] = {{0, false, 0}, {2, false, 2}, {3, true, 0}, {4, true, 1}, {5, true, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.given);
        ASSERT_EQ(Open(c.given), 1);
        EXPECT_EQ(osd_->Mode(), osd::OsdMode::ResolutionToggle);
        EXPECT_EQ(osd_->ResolutionToggle().Portrait(), c.portrait);
        EXPECT_EQ(osd_->ResolutionToggle().Choice(), c.choice);
        EXPECT_EQ(osd_->GetSelectedAutoScalerMode(), c.given);
        const RECT rect = WindowRect();
        EXPECT_EQ(rect.right - rect.left, background.width);
        EXPECT_EQ(rect.bottom - rect.top, background.height);
        const Picture label = StripFramePicture(osd::kResolutionStripFile, osd::ResolutionFrames(c.choice, c.portrait).label);
        EXPECT_EQ(osd_->ResolutionToggle().LabelAt().x, background.width / 2 - label.width / 2);
        EXPECT_EQ(osd_->ResolutionToggle().LabelAt().y, osd::kResolutionLabelTop);
    }
    // A choice outside the table keeps the one shown last.
    ASSERT_EQ(Open(7), 1);
    EXPECT_EQ(osd_->GetSelectedAutoScalerMode(), 5);
}

TEST_F(ResolutionToggleWindow, TakingTheWindowOverClosesEveryOtherSelectionButItsOwn) {
    ASSERT_EQ(Open(1), 1);
    for (const char* other : {"DisplayChanger", "SrsSelector", "WirelessSelector", "RfSelector"}) {
        EXPECT_TRUE(partners_.Called(std::string("ClearPending ") + other)) << other;
    }
    EXPECT_FALSE(partners_.Called("ClearPending ResolutionSelector"));
    EXPECT_TRUE(partners_.Called("HideMessageWindow"));
}

TEST_F(ResolutionToggleWindow, StepsClickAndWrapWithinTheSetAndEveryChoiceLooksDifferent) {
    ASSERT_EQ(Open(4), 1);
    std::vector<Picture> seen{CaptureScreen(WindowRect())};
    std::vector<int> modes;
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(osd_->SetNextAutoScalerMode(), 1);
        Run(20);
        modes.push_back(osd_->GetSelectedAutoScalerMode());
        seen.push_back(CaptureScreen(WindowRect()));
    }
    EXPECT_EQ(modes, (std::vector<int>{5, 3, 4}));
    EXPECT_EQ(clickSound_.plays, (std::vector<std::string>{"async", "async", "async"}));
    EXPECT_EQ(CountMismatches(seen[0], seen[3]), 0);
    EXPECT_GT(CountMismatches(seen[0], seen[1]), 0);
    EXPECT_GT(CountMismatches(seen[1], seen[2]), 0);
    EXPECT_EQ(Applied(), 0);
    EXPECT_TRUE(osd_->IsShown());
}

TEST_F(ResolutionToggleWindow, AStepInAnotherModeIsRefusedAndTheSelectorOpensAnew) {
    ASSERT_EQ(ShowPicture(81), 1);
    EXPECT_EQ(osd_->SetNextAutoScalerMode(), 0);
    EXPECT_FALSE(osd_->IsShown());
    EXPECT_TRUE(clickSound_.plays.empty());
}

TEST_F(ResolutionToggleWindow, AClickSelectsSilentlyAndADoubleClickClosesAndApplies) {
    ASSERT_EQ(Open(0), 1);
    // Moving the pointer over a slot before any press selects nothing.
    Mouse(WM_MOUSEMOVE, InSlot(2));
    EXPECT_EQ(osd_->GetSelectedAutoScalerMode(), 0);
    Mouse(WM_LBUTTONDOWN, InSlot(1));
    EXPECT_EQ(osd_->GetSelectedAutoScalerMode(), 1);
    // Above the icons' hit line nothing is hit.
    Mouse(WM_LBUTTONDOWN, {osd::ResolutionSlot(2).x + 20, 5});
    EXPECT_EQ(osd_->GetSelectedAutoScalerMode(), 1);
    Mouse(WM_MOUSEMOVE, InSlot(2));
    EXPECT_EQ(osd_->GetSelectedAutoScalerMode(), 2);
    EXPECT_TRUE(clickSound_.plays.empty());
    EXPECT_EQ(Applied(), 0);
    Mouse(WM_LBUTTONDBLCLK, InSlot(0));
    EXPECT_EQ(Applied(), 1);
    EXPECT_TRUE(Gone());
}

TEST_F(ResolutionToggleWindow, TheHideHandsTheChoiceToTheSelectorOnce) {
    ASSERT_EQ(Open(5), 1);
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
    EXPECT_EQ(Applied(), 1);
    EXPECT_TRUE(partners_.Called("ClearPending ResolutionSelector"));
    EXPECT_TRUE(Gone());
}

TEST_F(ResolutionToggleWindow, TheHideTimerEndsTheToggle) {
    ASSERT_EQ(Open(1), 1);
    Run(osd::kDisplaySwitchConfirmAfterMs + 400);
    EXPECT_EQ(Applied(), 1);
    EXPECT_TRUE(Gone());
}

TEST_F(ResolutionToggleWindow, DisplaySwitchPendingOnlyClosesTheWindow) {
    partners_.pending[SelectionOwner::DisplayChanger] = true;
    EXPECT_EQ(Open(1), 1);
    EXPECT_NE(osd_->Mode(), osd::OsdMode::ResolutionToggle);
}

// Each opening drops the strip of the last one and reads the file again: in
// a folder without it the next opening fails.
TEST_F(ResolutionToggleWindow, EveryOpeningReadsItsStripAgain) {
    ASSERT_EQ(Open(1), 1);
    wchar_t programFolder[MAX_PATH]{};
    GetCurrentDirectoryW(MAX_PATH, programFolder);
    wchar_t empty[MAX_PATH]{};
    GetTempPathW(MAX_PATH, empty);
    wcscat_s(empty, L"vq-no-strips");
    CreateDirectoryW(empty, nullptr);
    ASSERT_TRUE(SetCurrentDirectoryW(empty));
    const int reopened = osd_->InitASToggle(2);
    SetCurrentDirectoryW(programFolder);
    RemoveDirectoryW(empty);
    EXPECT_EQ(reopened, 0);
    EXPECT_EQ(Open(2), 1);
}

}  // namespace
