// The resolution selector against a recorded display side and OSD: it opens
// the toggle on the screen's choice and steps it while open; it sets the
// chosen size, on the Intel small panel through down-scaling, and tells the
// main window; it answers whether the screen may rotate and puts a small
// size back before sleep. Without a graphics driver it changes nothing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/processstate.h"
#include "osd/resolutionselector.h"
#include "osdfixture.h"

namespace {

using Calls = std::vector<std::string>;

std::string SizeText(const char* name, int a, int b) { return std::string(name) + " " + std::to_string(a) + " " + std::to_string(b); }

class FakeResolutionDisplay : public osd::IResolutionDisplay {
public:
    Calls& calls;
    explicit FakeResolutionDisplay(Calls& log) : calls(log) {}

    bool driver = true;
    int vendor = 3;
    SIZE screen{1024, 600};
    bool panelActive = true, crtActive = false, dualView = false;
    int downScalingAnswer = 1;  // result of the query
    int downScalingEnabled = 0;
    int setDownScalingResult = 1;
    int changeResult = 1;

    bool HasGraphicsDriver() override { return driver; }
    int GraphicsVendor() override { return vendor; }
    SIZE PrimaryScreenSize() override { return screen; }
    void RefreshOutputs(bool* panel, bool* crt) override {
        calls.push_back("RefreshOutputs");
        *panel = panelActive;
        *crt = crtActive;
    }
    bool IsDualView() override { return dualView; }
    int IsDownScalingEnabled(int* enabled) override {
        calls.push_back("IsDownScalingEnabled");
        if (downScalingAnswer) *enabled = downScalingEnabled;
        return downScalingAnswer;
    }
    int SetDownScaling(int enable, SIZE size) override {
        calls.push_back(SizeText(enable ? "DownScalingOn" : "DownScalingOff", size.cx, size.cy));
        return setDownScalingResult;
    }
    int ChangePrimaryDisplaySettings(int width, int height, int bitsPerPixel, int frequency) override {
        calls.push_back(SizeText("ChangePrimary", width, height) + " " + std::to_string(bitsPerPixel) + " " +
                        std::to_string(frequency));
        if (changeResult) screen = {width, height};
        return changeResult;
    }
};

class FakeToggleOsd : public osd::IResolutionToggleOsd {
public:
    Calls& calls;
    explicit FakeToggleOsd(Calls& log) : calls(log) {}

    bool shown = false;
    int initResult = 1;
    int stepResult = 1;
    int selected = 0;

    bool IsShown() override { return shown; }
    int InitASToggle(int choice) override {
        calls.push_back("InitASToggle " + std::to_string(choice));
        return initResult;
    }
    int SetNextAutoScalerMode() override {
        calls.push_back("SetNextAutoScalerMode");
        return stepResult;
    }
    int GetSelectedAutoScalerMode() override { return selected; }
    void ShowNoActivate() override {
        calls.push_back("ShowNoActivate");
        shown = true;
    }
};

// The case is the selector's main window and the OSD window's owner, whose
// new window is the one `newWindow_` names (the same fake unless a case changes it).
class ResolutionSelectorTest : public ::testing::Test,
                               protected osd::IResolutionSelectorOwner,
                               protected IOsdWindowSlot<osd::IResolutionToggleOsd> {
protected:
    void SetUp() override {
        savedFamily_ = proc::modelFamily;
        proc::modelFamily = 1;
        logStart_ = LogSize();
    }
    void TearDown() override { proc::modelFamily = savedFamily_; }

    osd::IResolutionToggleOsd* CurrentWindow() override { return current_; }
    osd::IResolutionToggleOsd* ShowableWindow() override {
        return current_ && current_->IsShown() ? current_ : NewWindow();
    }
    osd::IResolutionToggleOsd* NewWindow() override {
        calls_.push_back("NewWindow");
        current_ = newWindow_;
        return current_;
    }
    void PostRotationNotice() override { calls_.push_back("PostRotationNotice"); }
    std::string NewLog() const { return NewLogText(logStart_); }

    Calls calls_;
    FakeResolutionDisplay display_{calls_};
    FakeToggleOsd osd_{calls_};
    osd::IResolutionToggleOsd* newWindow_ = &osd_;
    osd::IResolutionToggleOsd* current_ = &osd_;
    osd::CResolutionSelector selector_{display_, *this, *this};
    int savedFamily_ = 0;
    size_t logStart_ = 0;
};

TEST_F(ResolutionSelectorTest, FirstPressOpensOnTheScreensChoiceAndFurtherPressesStep) {
    display_.screen = {1280, 800};
    EXPECT_EQ(selector_.SelectResolution(), 1);
    EXPECT_TRUE(selector_.OsdPending());
    EXPECT_EQ(selector_.SelectResolution(), 1);
    // The hidden window is made anew before the toggle opens on it.
    EXPECT_EQ(calls_, (Calls{"NewWindow", "InitASToggle 2", "ShowNoActivate", "SetNextAutoScalerMode"}));
}

TEST_F(ResolutionSelectorTest, AToggleThatIsGoneOrRefusesTheStepOpensAgain) {
    EXPECT_EQ(selector_.SelectResolution(), 1);
    osd_.stepResult = 0;
    calls_.clear();
    EXPECT_EQ(selector_.SelectResolution(), 1);
    EXPECT_EQ(calls_, (Calls{"SetNextAutoScalerMode", "InitASToggle 2", "ShowNoActivate"}));

    osd_.shown = false;
    calls_.clear();
    EXPECT_EQ(selector_.SelectResolution(), 1);
    EXPECT_EQ(calls_, (Calls{"NewWindow", "InitASToggle 2", "ShowNoActivate"}));
}

TEST_F(ResolutionSelectorTest, FailuresToOpenAreReportedAndLeaveNothingPending) {
    osd_.initResult = 0;
    EXPECT_EQ(selector_.SelectResolution(), 0);
    EXPECT_FALSE(selector_.OsdPending());
    EXPECT_NE(NewLog().find("m_pHKIconWindow->InitASToggle()"), std::string::npos) << NewLog();

    newWindow_ = nullptr;
    EXPECT_EQ(selector_.SelectResolution(), 0);
    EXPECT_NE(NewLog().find("fail: SelectResolution::HKIconWindow"), std::string::npos) << NewLog();

    display_.driver = false;
    calls_.clear();
    EXPECT_EQ(selector_.SelectResolution(), 0);
    EXPECT_TRUE(calls_.empty());
    EXPECT_NE(NewLog().find("Please install Graphic driver..."), std::string::npos) << NewLog();
}

// The size of the toggle's choice on model family 1 with the Intel driver.
struct ChangeCase {
    const char* name;
    int choice;
    SIZE screen;
    bool crtActive;
    int downScalingEnabled;
    int setDownScalingResult;
    int changeResult;
    int result;
    Calls calls;
};

TEST_F(ResolutionSelectorTest, TheChoiceIsSetOnTheSmallPanelThroughDownScaling) {
    const ChangeCase cases[] = {
        {"a plain size with down-scaling off", 0, {1024, 600}, false, 0, 1, 1, 1,
         {"RefreshOutputs", "IsDownScalingEnabled", "ChangePrimary 800 480 32 0", "PostRotationNotice"}},
        {"a plain size with down-scaling on switches it off", 4, {1024, 600}, false, 1, 1, 1, 1,
         {"RefreshOutputs", "IsDownScalingEnabled", "DownScalingOff 600 800", "PostRotationNotice"}},
        {"switching down-scaling off fails", 0, {1024, 600}, false, 1, 0, 1, 0,
         {"RefreshOutputs", "IsDownScalingEnabled", "DownScalingOff 800 480", "PostRotationNotice"}},
        {"a plain size the screen has", 3, {480, 800}, false, 0, 1, 1, 1, {"RefreshOutputs"}},
        {"a scaled size", 2, {800, 480}, false, 0, 1, 1, 1,
         {"RefreshOutputs", "DownScalingOn 1024 600", "ChangePrimary 1024 600 32 0", "PostRotationNotice"}},
        {"a scaled size the screen shows scaled already", 1, {800, 600}, false, 1, 1, 1, 0,
         {"RefreshOutputs", "IsDownScalingEnabled"}},
        {"a scaled size the screen has unscaled", 1, {800, 600}, false, 0, 1, 1, 1,
         {"RefreshOutputs", "IsDownScalingEnabled", "DownScalingOn 800 600", "ChangePrimary 800 600 32 0",
          "PostRotationNotice"}},
        {"down-scaling refused", 1, {1024, 600}, false, 0, 0, 1, 0,
         {"RefreshOutputs", "DownScalingOn 800 600", "PostRotationNotice"}},
        {"the display refuses the size", 2, {800, 480}, false, 0, 1, 0, 0,
         {"RefreshOutputs", "DownScalingOn 1024 600", "ChangePrimary 1024 600 32 0", "PostRotationNotice"}},
        {"with the CRT active too", 2, {800, 480}, true, 1, 1, 1, 1,
         {"RefreshOutputs", "ChangePrimary 1024 600 32 0", "PostRotationNotice"}},
        {"a choice outside the table", 9, {1024, 600}, false, 0, 1, 1, 1,
         {"RefreshOutputs", "IsDownScalingEnabled", "ChangePrimary 800 480 32 0", "PostRotationNotice"}},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        calls_.clear();
        osd_.selected = c.choice;
        display_.screen = c.screen;
        display_.crtActive = c.crtActive;
        display_.downScalingEnabled = c.downScalingEnabled;
        display_.setDownScalingResult = c.setDownScalingResult;
        display_.changeResult = c.changeResult;
        EXPECT_EQ(selector_.ChangeResolution(0, 0), c.result);
        EXPECT_EQ(calls_, c.calls);
    }
}

TEST_F(ResolutionSelectorTest, OtherModelsAndDriversSetTheSizeWithoutDownScaling) {
    const struct {
        const char* name;
        int family;
        int vendor;
    } cases[] = {{"another model family", 4, 3}, {"model family 1 on another driver", 1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        calls_.clear();
        proc::modelFamily = c.family;
        display_.vendor = c.vendor;
        display_.screen = {800, 480};
        display_.changeResult = 0;
        osd_.selected = 0;
        EXPECT_EQ(selector_.ChangeResolution(0, 0), 0);
        EXPECT_EQ(calls_, (Calls{"ChangePrimary 800 480 32 0", "PostRotationNotice"}));
    }
}

TEST_F(ResolutionSelectorTest, AGivenSizeIsSetAsGivenAndEndsTheSelection) {
    EXPECT_EQ(selector_.SelectResolution(), 1);
    calls_.clear();
    display_.screen = {800, 480};
    EXPECT_EQ(selector_.ChangeResolution(1024, 768), 1);
    EXPECT_FALSE(selector_.OsdPending());
    // 1024 wide counts as the scaled 1024 x 600 choice, set at the size given.
    EXPECT_EQ(calls_, (Calls{"RefreshOutputs", "DownScalingOn 1024 768", "ChangePrimary 1024 768 32 0",
                             "PostRotationNotice"}));

    display_.driver = false;
    calls_.clear();
    EXPECT_EQ(selector_.ChangeResolution(0, 0), 0);
    EXPECT_TRUE(calls_.empty());
}

TEST_F(ResolutionSelectorTest, RotationOnlyAtTheSmallestSizesOnThePanelAlone) {
    const struct {
        const char* name;
        int vendor;
        SIZE screen;
        int downScalingAnswer, downScalingEnabled;
        bool dualView, crtActive;
        int canRotate;
        bool asksDownScaling;
    } cases[] = {
        {"800 x 480", 3, {800, 480}, 1, 0, false, false, 1, true},
        {"480 x 800", 3, {480, 800}, 1, 0, false, false, 1, true},
        {"down-scaling on", 3, {800, 480}, 1, 1, false, false, 0, true},
        {"a failed down-scaling query counts as off", 3, {800, 480}, 0, 1, false, false, 1, true},
        {"another size", 3, {1024, 600}, 1, 0, false, false, 0, true},
        {"dual view", 3, {800, 480}, 1, 0, true, false, 0, true},
        {"panel and CRT both active", 3, {800, 480}, 1, 0, false, true, 0, true},
        {"only the Intel driver is asked about down-scaling", 1, {800, 480}, 1, 1, false, false, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        calls_.clear();
        display_.vendor = c.vendor;
        display_.screen = c.screen;
        display_.downScalingAnswer = c.downScalingAnswer;
        display_.downScalingEnabled = c.downScalingEnabled;
        display_.dualView = c.dualView;
        display_.crtActive = c.crtActive;
        int canRotate = -1;
        EXPECT_EQ(selector_.CanRotataion(&canRotate), 1);
        EXPECT_EQ(canRotate, c.canRotate);
        EXPECT_EQ(std::count(calls_.begin(), calls_.end(), "IsDownScalingEnabled"), c.asksDownScaling ? 1 : 0);
    }
    display_.driver = false;
    int canRotate = -1;
    EXPECT_EQ(selector_.CanRotataion(&canRotate), 0);
    EXPECT_EQ(canRotate, 0);
}

TEST_F(ResolutionSelectorTest, BeforeSleepASmallPanelSizeComesBack) {
    const struct {
        SIZE screen;
        int changeResult;
        int result;
        Calls calls;
    } cases[] = {
        {{1024, 600}, 1, 1, {"ChangePrimary 800 480 32 0"}},
        {{600, 1024}, 1, 1, {"ChangePrimary 480 800 32 0"}},
        {{800, 480}, 1, 1, {}},
        {{480, 800}, 1, 1, {}},
        {{800, 600}, 0, 0, {"ChangePrimary 800 480 32 0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.screen.cx) + " x " + std::to_string(c.screen.cy));
        calls_.clear();
        display_.screen = c.screen;
        display_.changeResult = c.changeResult;
        EXPECT_EQ(selector_.WaResetResolutionBeforeS3S4(), c.result);
        EXPECT_EQ(calls_, c.calls);
    }
}

}  // namespace
