// The SRS key's selector against a recording OSD and its owner, with the
// audio driver's SRS properties in memory.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "fakeosdwindowslot.h"
#include "fakesysteminfoplatform.h"
#include "hardware/srseffectselector.h"
#include "hardware/systeminfo.h"
#include "reportlog.h"

namespace {

using Calls = std::vector<std::string>;

class RecordingSrsOsd : public ISRSToggleOsd {
public:
    explicit RecordingSrsOsd(Calls& calls) : m_calls(calls) {}
    bool shown = false;
    bool destroyed = false;
    int initResult = 1;
    int choice = 0;  // 0, 1, 2 as the toggle steps

    bool IsShown() override { return shown; }
    bool IsDestroyed() override { return destroyed; }
    int InitSRSToggle(BYTE state) override {
        m_calls.push_back("InitSRSToggle " + std::to_string(state));
        return initResult;
    }
    void SetNextSRSmode() override {
        choice = (choice + 1) % 3;
        m_calls.push_back("SetNextSRSmode");
    }
    int GetSelectedSRSMode() override {
        static const int kValues[] = {16, 32, 255};
        return kValues[choice];
    }
    void ShowNoActivate() override {
        shown = true;
        m_calls.push_back("ShowNoActivate");
    }

private:
    Calls& m_calls;
};

class SrsSelectorTest : public ::testing::Test {
protected:
    void SetUp() override { ReportLog::Clear(); }
    FakeSystemInfoPlatform platform_;
    CSystemInfo info_{SystemKestPlatform(), platform_};
    Calls calls_;
    // The OSD window's owner: each new window is one of the calls.
    FakeOsdWindowSlot<ISRSToggleOsd, RecordingSrsOsd> owner_{calls_,
                                                             [this] { return std::make_unique<RecordingSrsOsd>(calls_); }};
    CSRSEffectSelector selector_{info_, owner_};
};

TEST_F(SrsSelectorTest, FirstPressOpensTheToggleOnTheDriversStateAndLaterPressesStepAndApply) {
    platform_.AddSrsDevice().selection = 1;  // effect B selected, off: 33
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    EXPECT_EQ(calls_, (Calls{"NewWindow", "InitSRSToggle 33", "ShowNoActivate"}));
    EXPECT_TRUE(selector_.OsdPending());
    EXPECT_TRUE(platform_.TakeSetRequests().empty());  // opening applies nothing

    calls_.clear();
    RecordingSrsOsd& osd = *owner_.windows.back();
    osd.choice = 2;  // the toggle opened on "off"
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    EXPECT_EQ(calls_, Calls{"SetNextSRSmode"});
    EXPECT_EQ(platform_.TakeSetRequests(), (Calls{"set selection 0", "set A 1", "set B 0"}));
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    EXPECT_EQ(platform_.TakeSetRequests(), (Calls{"set selection 1", "set B 1", "set A 0"}));
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    EXPECT_EQ(platform_.TakeSetRequests(), (Calls{"set B 0", "set A 0"}));
}

TEST_F(SrsSelectorTest, ShownOsdIsUsedAsItIsAndAHiddenOneIsRecreated) {
    platform_.AddSrsDevice();
    RecordingSrsOsd shown(calls_);
    shown.shown = true;
    owner_.current = &shown;
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    EXPECT_EQ(calls_, (Calls{"InitSRSToggle 16", "ShowNoActivate"}));

    // The OSD hid (ending the selection) and is gone: the next press starts over.
    selector_.ClearOsdPending();
    shown.shown = false;
    calls_.clear();
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    EXPECT_EQ(calls_, (Calls{"NewWindow", "InitSRSToggle 16", "ShowNoActivate"}));
}

TEST_F(SrsSelectorTest, DestroyedOsdDuringASelectionIsRecreatedAndOpenedAgain) {
    platform_.AddSrsDevice();
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    owner_.windows.back()->destroyed = true;
    owner_.windows.back()->shown = false;
    calls_.clear();
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    EXPECT_EQ(calls_, (Calls{"NewWindow", "InitSRSToggle 16", "ShowNoActivate"}));
}

TEST_F(SrsSelectorTest, FailuresReportAndOpenNothing) {
    // No OSD window can be made.
    platform_.AddSrsDevice();
    owner_.canCreate = false;
    EXPECT_EQ(selector_.SelectSRSEffect(), 0);
    EXPECT_EQ(ReportLog::Count(L"fail: SelectSRSEffect::HKIconWindow"), 1);
    EXPECT_FALSE(selector_.OsdPending());

    // No SRS device.
    owner_.canCreate = true;
    platform_.devices.clear();
    calls_.clear();
    EXPECT_EQ(selector_.SelectSRSEffect(), 0);
    EXPECT_EQ(ReportLog::Count(L"Cannot use SRS effects.\r\nPlease check the SRS filter program."), 1);
    EXPECT_EQ(calls_, Calls{"NewWindow"});
    EXPECT_FALSE(selector_.OsdPending());

    // The toggle does not open.
    platform_.AddSrsDevice();
    owner_.windows.back()->initResult = 0;
    owner_.windows.back()->shown = true;
    calls_.clear();
    EXPECT_EQ(selector_.SelectSRSEffect(), 0);
    EXPECT_EQ(calls_, Calls{"InitSRSToggle 16"});
    EXPECT_FALSE(selector_.OsdPending());
}

TEST_F(SrsSelectorTest, SelectionUnderWayWithoutAnOsdWindowIsReported) {
    platform_.AddSrsDevice();
    ASSERT_EQ(selector_.SelectSRSEffect(), 1);
    owner_.current = nullptr;
    calls_.clear();
    EXPECT_EQ(selector_.SelectSRSEffect(), 0);
    EXPECT_TRUE(calls_.empty());
    EXPECT_EQ(ReportLog::Count(L"fail: SelectSRSEffect::HKIconWindow"), 1);
}

}  // namespace
