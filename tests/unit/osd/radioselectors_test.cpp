// The wireless and RF selectors driving a real OSD window, with the
// firmware's radio bytes in memory; the case is the OSD window's owner,
// which makes a new window on request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "osd/rfselector.h"
#include "osd/togglechoices.h"
#include "osd/wirelessselector.h"
#include "osdfixture.h"

namespace {

using osd::OsdMode;

class MemoryRadios : public osd::IRadioFirmware {
public:
    BYTE wireless[2] = {1, 3};
    BYTE radios[3] = {0, 0, 0};
    bool readable = true;
    std::vector<std::vector<int>> writes;

    int GetWirelessStatus2(BYTE state[2]) override {
        if (!readable) return 0;
        state[0] = wireless[0];
        state[1] = wireless[1];
        return 1;
    }
    int SetWirelessStatus2(const BYTE state[2]) override {
        writes.push_back({state[0], state[1]});
        return 1;
    }
    int GetRFOnOffStatus(BYTE status[3]) override {
        if (!readable) return 0;
        for (int i = 0; i < 3; ++i) status[i] = radios[i];
        return 1;
    }
};

class RadioSelectors : public OsdTest, public IOsdWindowSlot<CHKIconWindowDlg> {
protected:
    void SetUp() override {
        OsdTest::SetUp();
        osd_.reset();  // the selectors start without a window, as after the program's start
    }
    CHKIconWindowDlg* CurrentWindow() override { return osd_.get(); }
    CHKIconWindowDlg* ShowableWindow() override {
        return osd_ && osd_->IsShown() && !osd_->IsDestroyed() ? osd_.get() : NewWindow();
    }
    CHKIconWindowDlg* NewWindow() override {
        ++recreated;
        osd_.reset();
        if (canCreate) MakeOsd();
        return osd_.get();
    }
    std::vector<int> Written() const { return radios.writes.empty() ? std::vector<int>{} : radios.writes.back(); }

    MemoryRadios radios;
    osd::CWirelessSelector wireless{radios, *this, false};
    osd::CWirelessSelector twoChoiceWireless{radios, *this, true};
    osd::CRFSelector rf{radios, *this};
    int recreated = 0;
    bool canCreate = true;
};

TEST_F(RadioSelectors, WirelessOpensOnTheRadiosAndEachFurtherPressSteps) {
    const struct {
        BYTE first, second;
        int choice;
    } cases[] = {{1, 3, 0}, {1, 2, 1}, {0, 3, 2}, {0, 2, 3}, {2, 0, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.first) + " " + std::to_string(c.second));
        wireless.ClearOsdPending();
        osd_.reset();
        radios.wireless[0] = c.first;
        radios.wireless[1] = c.second;
        ASSERT_EQ(wireless.SelectWirelessDeviceStatus(), 1);
        EXPECT_TRUE(wireless.OsdPending());
        EXPECT_EQ(osd_->Mode(), OsdMode::WirelessToggle);
        EXPECT_FALSE(osd_->WirelessToggle().TwoChoice());
        EXPECT_EQ(osd_->GetSelectedWirelessStatus(), c.choice);
        Run(30);
        EXPECT_TRUE(osd_->IsShown());
    }
    ASSERT_EQ(wireless.SelectWirelessDeviceStatus(), 1);
    EXPECT_EQ(osd_->GetSelectedWirelessStatus(), 0);
    EXPECT_EQ(clickSound_.plays.size(), 1u);
}

TEST_F(RadioSelectors, WirelessWritesTheBytesOfTheChosenState) {
    const struct {
        bool twoChoice;
        int steps;  // from the state both on
        std::vector<int> bytes;
    } cases[] = {
        {true, 0, {1, 3}}, {true, 1, {0, 2}},
        {false, 0, {1, 3}}, {false, 1, {1, 2}}, {false, 2, {0, 3}}, {false, 3, {0, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.twoChoice) + " steps " + std::to_string(c.steps));
        osd::CWirelessSelector& selector = c.twoChoice ? twoChoiceWireless : wireless;
        selector.ClearOsdPending();
        radios.wireless[0] = 1;
        radios.wireless[1] = 3;
        osd_.reset();
        ASSERT_EQ(selector.SelectWirelessDeviceStatus(), 1);
        EXPECT_EQ(osd_->WirelessToggle().TwoChoice(), c.twoChoice);
        for (int i = 0; i < c.steps; ++i) ASSERT_EQ(selector.SelectWirelessDeviceStatus(), 1);
        ASSERT_EQ(selector.ApplySelection(), 1);
        EXPECT_EQ(Written(), c.bytes);
    }
}

TEST_F(RadioSelectors, WirelessOpensAfreshWhenAnotherPictureHasTheWindow) {
    ASSERT_EQ(wireless.SelectWirelessDeviceStatus(), 1);
    ASSERT_EQ(ShowPicture(81), 1);  // the selector's pending flag is left set
    radios.wireless[0] = 0;
    radios.wireless[1] = 2;
    EXPECT_EQ(wireless.SelectWirelessDeviceStatus(), 1);
    EXPECT_EQ(osd_->Mode(), OsdMode::WirelessToggle);
    EXPECT_EQ(osd_->GetSelectedWirelessStatus(), 3) << "the radios were read again";
    EXPECT_TRUE(clickSound_.plays.empty()) << "opened, not stepped";
}

TEST_F(RadioSelectors, WirelessRefusesPressesWhileTheChoiceIsConfirmed) {
    ASSERT_EQ(wireless.SelectWirelessDeviceStatus(), 1);
    Run(30);
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
    ASSERT_TRUE(osd_->AnimationRunning());
    EXPECT_EQ(wireless.SelectWirelessDeviceStatus(), 0);
    EXPECT_EQ(osd_->GetSelectedWirelessStatus(), 0);
    EXPECT_EQ(recreated, 1);
}

TEST_F(RadioSelectors, WirelessFailuresAreReportedAndOpenNothing) {
    radios.readable = false;
    EXPECT_EQ(wireless.SelectWirelessDeviceStatus(), 0);
    EXPECT_FALSE(wireless.OsdPending());
    EXPECT_NE(osd_->Mode(), OsdMode::WirelessToggle);
    EXPECT_NE(NewLog().find("fail: SelectWirelessDeviceStatus::GetWirelessStatus2()"), std::string::npos);

    radios.readable = true;
    osd_.reset();
    canCreate = false;
    EXPECT_EQ(wireless.SelectWirelessDeviceStatus(), 0);
    EXPECT_NE(NewLog().find("fail: SelectWirelessDeviceStatus::HKIconWindow"), std::string::npos);
}

TEST_F(RadioSelectors, RfShowsTheFirstRadioAloneAsTheWirelessPicture) {
    const struct {
        BYTE d0;
        int icon;
    } cases[] = {{0, osd::kWirelessOffIcon}, {1, osd::kWirelessOnIcon}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.d0));
        radios.radios[0] = c.d0;
        radios.radios[1] = radios.radios[2] = osd::kRadioAbsent;
        ASSERT_EQ(rf.SelectRFStatus(), 1);
        EXPECT_EQ(osd_->Mode(), OsdMode::HotkeyPicture);
        EXPECT_EQ(osd_->IconCode(), c.icon);
        EXPECT_TRUE(rf.OsdPending());
    }
}

TEST_F(RadioSelectors, RfRedrawsWithTheStateReadAtEveryPress) {
    radios.radios[0] = 1;
    radios.radios[1] = 0;
    radios.radios[2] = 1;
    ASSERT_EQ(rf.SelectRFStatus(), 1);
    Run(30);
    EXPECT_EQ(osd_->Mode(), OsdMode::RfSwitch);
    EXPECT_EQ(osd_->RfSwitch().Picture().fastFrame, 6);
    const Picture before = CaptureScreen(WindowRect());

    radios.radios[0] = radios.radios[2] = 0;
    ASSERT_EQ(rf.SelectRFStatus(), 1);
    Run(30);
    EXPECT_EQ(recreated, 1) << "the window showing the radios is used again";
    EXPECT_EQ(osd_->RfSwitch().Picture().fastFrame, 0);
    EXPECT_GT(CountMismatches(CaptureScreen(WindowRect()), before), 0);
}

TEST_F(RadioSelectors, RfFailuresAreReportedAndShowNothing) {
    const BYTE bad[3] = {1, 0x80, 0};
    std::copy(bad, bad + 3, radios.radios);
    EXPECT_EQ(rf.SelectRFStatus(), 0);
    EXPECT_FALSE(rf.OsdPending());
    EXPECT_NE(NewLog().find("fail: SelectRFStatus() radio status 1 128 0"), std::string::npos) << NewLog();
    EXPECT_EQ(recreated, 0) << "bytes that are not radio states end the press before any window";

    radios.readable = false;
    EXPECT_EQ(rf.SelectRFStatus(), 0);
    EXPECT_NE(NewLog().find("fail: SelectRFStatus::GetRFOnOffStatus()"), std::string::npos);
}

}  // namespace
