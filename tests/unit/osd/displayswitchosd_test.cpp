// The display-switch OSD on a real OSD window: what it shows for a list,
// key steps forward and backward, clicks and double-clicks, the click sound,
// the confirmation animation and the hand-back of the chosen combination to
// the display changer (a fake here), and the animation's timer never
// reaching a hidden or destroyed window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/processstate.h"
#include "osd/displaychoices.h"
#include "osd/osdplacement.h"
#include "osdfixture.h"

namespace {

using osd::SelectionOwner;

constexpr int kSevenChoices = 7;  // panel, CRT, TV, two clones, two dual views
constexpr int kFourChoices = 3;   // panel, CRT, clone, dual view
constexpr int kPanelAlone = 1;

Picture StripFrame(int frame) { return StripFramePicture(osd::kDisplaySwitchStripFile, frame); }

class DisplaySwitch : public OsdTest {
protected:
    void SetUp() override {
        OsdTest::SetUp();
        partners_.exists[SelectionOwner::DisplayChanger] = true;
    }
    void TearDown() override {
        BYTE keys[256] = {};
        SetKeyboardState(keys);
        OsdTest::TearDown();
    }

    int Open(int connectedCode, bool savedProfile = false) {
        const int result = osd_->InitDisplaySwitching(connectedCode, osd::kPanelOnlyCode, savedProfile, partners_.changer);
        if (result) osd_->ShowNoActivate();
        Run(30);
        return result;
    }
    const osd::CDisplaySwitchOsd& Osd() const { return osd_->DisplaySwitch(); }
    Picture Screen() const { return CaptureScreen(WindowRect()); }
    // A mouse message in the middle of a slot of the current layout.
    void Mouse(UINT message, int slot) {
        const POINT at = osd::SlotLayoutFor(Osd().ChoiceCount()).slots[slot];
        SendMessageW(osd_->Handle(), message, message == WM_MOUSEMOVE ? 0 : MK_LBUTTON, MAKELPARAM(at.x + 40, 50));
    }
    std::vector<std::string> ChangerCalls() const {
        std::vector<std::string> lines;
        for (const std::string& call : partners_.calls) {
            if (call.rfind("Apply", 0) == 0 || call.rfind("SetPendingSide", 0) == 0) lines.push_back(call);
        }
        return lines;
    }
};

// --- Opening

struct OpenCase {
    int connected;
    int backgroundFrame;
};

class OpenedList : public DisplaySwitch, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenedList, TakesItsBackgroundsSizeBelowTheMiddleOfTheScreen) {
    ASSERT_EQ(Open(GetParam().connected), 1);
    const Picture background = StripFrame(GetParam().backgroundFrame);
    const SIZE box = osd_->TemplateSize();
    const POINT origin = osd::CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), box.cx,
                                            box.cy, osd::OsdMode::DisplaySwitcher);
    const RECT rect = WindowRect();
    EXPECT_EQ(rect.right - rect.left, background.width);
    EXPECT_EQ(rect.bottom - rect.top, background.height);
    EXPECT_EQ(rect.left, osd::CentredPictureLeft(origin.x, box.cx, background.width));
    EXPECT_EQ(rect.top, origin.y);
    EXPECT_EQ(osd_->Mode(), osd::OsdMode::DisplaySwitcher);
    EXPECT_TRUE(IsWindowVisible(osd_->Handle()));
    EXPECT_EQ(Osd().Selected(), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, OpenedList,
                         ::testing::Values(OpenCase{6, 2}, OpenCase{14, 3}, OpenCase{kFourChoices, 4},
                                           OpenCase{kSevenChoices, 5}));

TEST_F(DisplaySwitch, SingleOutputShowsItsStandAlonePictureAndIsAppliedAtTheFirstExpiry) {
    ASSERT_EQ(Open(kPanelAlone), 1);
    EXPECT_EQ(CountMismatches(Screen(), StripFrame(28)), 0);
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
    EXPECT_TRUE(osd_->IsDestroyed());  // no animation for a single choice
    EXPECT_EQ(ChangerCalls(), std::vector<std::string>{"ApplyDisplayCombination 0x001"});
}

TEST_F(DisplaySwitch, SavedProfileGivesASingleOutputTwoChoices) {
    ASSERT_EQ(Open(kPanelAlone, true), 1);
    EXPECT_EQ(Osd().ChoiceCount(), 2);
    EXPECT_EQ(WindowRect().right - WindowRect().left, StripFrame(2).width);
}

// --- Key steps

TEST_F(DisplaySwitch, StepsForwardAndWithShiftBackwardAndEverySelectionLooksDifferent) {
    ASSERT_EQ(Open(kSevenChoices), 1);
    std::vector<Picture> seen{Screen()};
    EXPECT_EQ(osd_->SetNextDisplayDevice(0), 1);
    EXPECT_EQ(Osd().Selected(), 1);
    seen.push_back(Screen());
    EXPECT_EQ(osd_->SetNextDisplayDevice(1), 1);
    EXPECT_EQ(Osd().Selected(), 0);
    EXPECT_EQ(CountMismatches(Screen(), seen[0]), 0);  // back where it started
    EXPECT_EQ(osd_->SetNextDisplayDevice(1), 1);
    EXPECT_EQ(Osd().Selected(), 6);  // backward from the first choice: the last one
    EXPECT_EQ(Osd().FirstVisible(), 2);
    seen.push_back(Screen());
    EXPECT_GT(CountMismatches(seen[1], seen[0]), 0);
    EXPECT_GT(CountMismatches(seen[2], seen[0]), 0);
    EXPECT_GT(CountMismatches(seen[2], seen[1]), 0);
    EXPECT_EQ(osd_->GetSelectedDisplayMode(), 0x105);
}

TEST_F(DisplaySwitch, StepWhenAnotherPictureIsShownAsksForANewOpening) {
    ASSERT_EQ(ShowPicture(111, 3), 1);
    ASSERT_TRUE(osd_->IsShown());
    EXPECT_EQ(osd_->SetNextDisplayDevice(0), 0);
    EXPECT_FALSE(osd_->IsShown());
}

struct SoundCase {
    int windowsVersion;
    int vendor;
    const wchar_t* mixerName;
    int connected;
    std::vector<std::string> plays;
    int hdmiAudioCheck;
};

class ClickSound : public DisplaySwitch, public ::testing::WithParamInterface<SoundCase> {};

TEST_P(ClickSound, KeyStepsClickUnlessTheSoundGoesToHdmi) {
    const SoundCase& c = GetParam();
    proc::windowsVersion = c.windowsVersion;
    partners_.changer.vendor = c.vendor;
    clickSound_.mixerName = c.mixerName;
    ASSERT_EQ(Open(c.connected), 1);
    osd_->SetNextDisplayDevice(0);
    EXPECT_EQ(clickSound_.plays, c.plays);
    EXPECT_EQ(Osd().HdmiAudioCheck(), c.hdmiAudioCheck);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ClickSound,
    ::testing::Values(SoundCase{8, 3, L"Generic audio", kSevenChoices, {"async"}, 0},
                      SoundCase{7, 2, L"NVIDIA HDMI", 9, {"async"}, 0},
                      SoundCase{5, 2, L"NVIDIA HDMI", 9, {"sync"}, 0},
                      SoundCase{8, 2, L"NVIDIA HDMI", 9, {}, 1},
                      SoundCase{8, 2, L"NVIDIA HDMI", kSevenChoices, {"async"}, 0}));

// --- The mouse

TEST_F(DisplaySwitch, ClickSelectsSilentlyAndMovingThePointerSelectsOnlyAfterAClick) {
    ASSERT_EQ(Open(kSevenChoices), 1);
    Mouse(WM_MOUSEMOVE, 3);
    EXPECT_EQ(Osd().Selected(), 0);
    Mouse(WM_LBUTTONDOWN, 1);
    EXPECT_EQ(Osd().Selected(), 1);
    EXPECT_TRUE(Osd().MouseMode());
    Mouse(WM_MOUSEMOVE, 3);
    EXPECT_EQ(Osd().Selected(), 3);
    EXPECT_TRUE(clickSound_.plays.empty());
    EXPECT_TRUE(ChangerCalls().empty());
    EXPECT_FALSE(osd_->IsDestroyed());
    osd_->SetNextDisplayDevice(0);
    EXPECT_FALSE(Osd().MouseMode());  // a key step leaves mouse mode
}

TEST_F(DisplaySwitch, ClickAfterScrollingSelectsTheChoiceShownInThatSlot) {
    ASSERT_EQ(Open(kSevenChoices), 1);
    for (int i = 0; i < 5; ++i) osd_->SetNextDisplayDevice(0);
    ASSERT_EQ(Osd().Selected(), 5);
    ASSERT_EQ(Osd().FirstVisible(), 1);
    Mouse(WM_LBUTTONDOWN, 0);
    EXPECT_EQ(Osd().Selected(), 1);
    EXPECT_EQ(Osd().FirstVisible(), 1);  // a click does not scroll
    Mouse(WM_LBUTTONDBLCLK, 4);
    EXPECT_EQ(ChangerCalls(), std::vector<std::string>{"ApplyDisplayCombination 0x103"});
}

TEST_F(DisplaySwitch, DoubleClickConfirmsAtOnceWithoutTheAnimation) {
    ASSERT_EQ(Open(kSevenChoices), 1);
    Mouse(WM_LBUTTONDBLCLK, 2);
    EXPECT_TRUE(osd_->IsDestroyed());
    EXPECT_EQ(ChangerCalls(), std::vector<std::string>{"ApplyDisplayCombination 0x004"});
    EXPECT_TRUE(partners_.Called("ClearPending DisplayChanger"));
}

struct SideCase {
    int key;
    std::vector<std::string> calls;
};

class PendingSide : public DisplaySwitch, public ::testing::WithParamInterface<SideCase> {};

TEST_P(PendingSide, CtrlOrAltHeldAtTheConfirmationIsHandedToTheChanger) {
    ASSERT_EQ(Open(kFourChoices), 1);
    BYTE keys[256] = {};
    if (GetParam().key) keys[GetParam().key] = 0x80;
    SetKeyboardState(keys);
    Mouse(WM_LBUTTONDBLCLK, 3);
    EXPECT_EQ(ChangerCalls(), GetParam().calls);
}

INSTANTIATE_TEST_SUITE_P(Keys, PendingSide,
                         ::testing::Values(SideCase{0, {"ApplyDisplayCombination 0x103"}},
                                           SideCase{VK_CONTROL, {"SetPendingSide 1", "ApplyDisplayCombination 0x103"}},
                                           SideCase{VK_MENU, {"SetPendingSide 2", "ApplyDisplayCombination 0x103"}}));

// --- Confirmation

TEST_F(DisplaySwitch, ConfirmationAnimatesRefusesStepsThenHidesAndHandsBackTheChoice) {
    ASSERT_EQ(Open(kFourChoices), 1);
    osd_->SetNextDisplayDevice(0);
    const Picture chosen = Screen();
    Run(osd::kDisplaySwitchConfirmAfterMs + 150);
    ASSERT_FALSE(osd_->IsDestroyed());
    EXPECT_TRUE(osd_->AnimationRunning());
    EXPECT_GT(Osd().AnimationStep(), 0);
    EXPECT_GT(CountMismatches(Screen(), chosen), 0);  // the arc is collapsing
    EXPECT_EQ(osd_->SetNextDisplayDevice(0), 1);
    EXPECT_EQ(Osd().Selected(), 1);
    EXPECT_EQ(osd_->InitDisplaySwitching(kSevenChoices, 1, false, partners_.changer), 0);
    EXPECT_TRUE(ChangerCalls().empty());

    // The animation's end, however late a loaded machine lets its timer run.
    EXPECT_TRUE(RunUntil([this] { return osd_->IsDestroyed(); }, 6000));
    EXPECT_EQ(ChangerCalls(), std::vector<std::string>{"ApplyDisplayCombination 0x002"});
    EXPECT_EQ(NewLog().find("fail"), std::string::npos) << NewLog();
}

TEST_F(DisplaySwitch, AnimationStepsNeverReachAHiddenOrDestroyedWindow) {
    ASSERT_EQ(Open(kSevenChoices), 1);
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);  // the first expiry starts the animation
    ASSERT_TRUE(osd_->AnimationRunning());
    Run(60);
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);  // Enter on the main window: hide now
    EXPECT_TRUE(osd_->IsDestroyed());
    Run(300);
    EXPECT_EQ(ChangerCalls(), std::vector<std::string>{"ApplyDisplayCombination 0x001"});

    // The object itself goes while a step is due.
    MakeOsd();
    ASSERT_EQ(Open(kSevenChoices), 1);
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
    osd_.reset();
    Run(300);
    EXPECT_EQ(NewLog().find("fail"), std::string::npos) << NewLog();
}

// --- Missing pictures

class ScratchFolder {
public:
    ScratchFolder() {
        wchar_t folder[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, folder);
        m_program = folder;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_scratch = std::wstring(temp) + L"vqdsosd" + std::to_wstring(GetCurrentProcessId());
        CreateDirectoryW(m_scratch.c_str(), nullptr);
        SetCurrentDirectoryW(m_scratch.c_str());
    }
    ~ScratchFolder() {
        SetCurrentDirectoryW(m_program.c_str());
        DeleteFileW((m_scratch + L"\\" + osd::kDisplaySwitchStripFile).c_str());
        RemoveDirectoryW(m_scratch.c_str());
    }
    void Bring(const wchar_t* file) {
        CopyFileW((m_program + L"\\" + file).c_str(), (m_scratch + L"\\" + file).c_str(), FALSE);
    }

private:
    std::wstring m_program;
    std::wstring m_scratch;
};

TEST_F(DisplaySwitch, MissingStripRefusesToOpen) {
    ScratchFolder folder;
    EXPECT_EQ(Open(kSevenChoices), 0);
    EXPECT_NE(NewLog().find("vqiDS.dll"), std::string::npos) << NewLog();
    EXPECT_NE(osd_->Mode(), osd::OsdMode::DisplaySwitcher);
}

TEST_F(DisplaySwitch, MissingConfirmationPictureStillEndsInTheHandBack) {
    ScratchFolder folder;
    folder.Bring(osd::kDisplaySwitchStripFile);
    ASSERT_EQ(Open(kFourChoices), 1);
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
    Run(1200);
    EXPECT_TRUE(osd_->IsDestroyed());
    EXPECT_EQ(ChangerCalls(), std::vector<std::string>{"ApplyDisplayCombination 0x001"});
    EXPECT_NE(NewLog().find("BgBlnk.bg4"), std::string::npos) << NewLog();
}

}  // namespace
