// The main window's wireless and RF selectors: created by the first press of
// their key, the wireless one bound to that press's layout, visible to the
// OSD window's partners, and deleted at tear-down.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/mainselectors.h"
#include "hardware/systeminfo.h"
#include "recordingports.h"

namespace {

using osd::SelectionOwner;

class NoMakeAhead : public osd::IMakeAheadScheduler {
public:
    void ScheduleMakeAhead() override {}
};

class NoPartners : public osd::IOsdPartners {
public:
    bool Exists(SelectionOwner) override { return false; }
    bool Pending(SelectionOwner) override { return false; }
    void ClearPending(SelectionOwner) override {}
    void ApplySelection(SelectionOwner) override {}
    void HideMessageWindow() override {}
    void ClearDispatcherMuteNote() override {}
};

TEST(MainSelectors, WirelessAndRfSelectorsLiveFromTheirFirstKeyToTearDown) {
    NoPartners windowPartners;
    NoMakeAhead makeAhead;
    osd::COsdWindowSlot osdWindows(windowPartners, makeAhead);
    CMainSelectors selectors(osdWindows);
    CSystemInfo systemInfo;  // without its firmware library: every press fails
    selectors.SetSystemInfo(&systemInfo);

    EXPECT_FALSE(selectors.Exists(SelectionOwner::WirelessSelector));
    EXPECT_FALSE(selectors.Exists(SelectionOwner::RfSelector));
    EXPECT_EQ(selectors.SelectWirelessDeviceStatus(1), 0);
    EXPECT_EQ(selectors.SelectRFStatus(), 0);
    ASSERT_TRUE(selectors.Exists(SelectionOwner::WirelessSelector));
    ASSERT_TRUE(selectors.Exists(SelectionOwner::RfSelector));
    EXPECT_TRUE(selectors.WirelessSelector()->TwoChoice());
    // A later press does not bind the layout again.
    selectors.SelectWirelessDeviceStatus(0);
    EXPECT_TRUE(selectors.WirelessSelector()->TwoChoice());
    EXPECT_FALSE(selectors.Pending(SelectionOwner::WirelessSelector));

    selectors.ReleaseRadioSelectors();
    EXPECT_EQ(selectors.WirelessSelector(), nullptr);
    EXPECT_EQ(selectors.RfSelector(), nullptr);
    EXPECT_FALSE(selectors.Exists(SelectionOwner::WirelessSelector));
    EXPECT_FALSE(selectors.Exists(SelectionOwner::RfSelector));
}

}  // namespace
