// The main window's wireless and RF selectors: created by the first press of
// their key, the wireless one bound to that press's layout, visible to the
// OSD window's partners, handed every new OSD window and deleted at tear-down.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/mainosdpartners.h"
#include "app/mainselectors.h"
#include "hardware/systeminfo.h"
#include "recordingports.h"

namespace {

using osd::SelectionOwner;

class NoOsdWindowUsers : public IOsdWindowUsers {
public:
    void SetOsdWindow(CHKIconWindowDlg*) override {}
};

TEST(MainSelectors, WirelessAndRfSelectorsLiveFromTheirFirstKeyToTearDown) {
    NoOsdWindowUsers users;
    int recreated = 0;
    CMainSelectors selectors(users, [&recreated] { ++recreated; });
    CSystemInfo systemInfo;  // without its firmware library, and no OSD window is made: every press fails
    selectors.SetSystemInfo(&systemInfo);
    CMainOsdPartners partners;
    partners.SetSelectors(&selectors);

    EXPECT_FALSE(partners.Exists(SelectionOwner::WirelessSelector));
    EXPECT_FALSE(partners.Exists(SelectionOwner::RfSelector));
    EXPECT_EQ(selectors.SelectWirelessDeviceStatus(1), 0);
    EXPECT_EQ(selectors.SelectRFStatus(), 0);
    ASSERT_TRUE(partners.Exists(SelectionOwner::WirelessSelector));
    ASSERT_TRUE(partners.Exists(SelectionOwner::RfSelector));
    EXPECT_TRUE(selectors.WirelessSelector()->TwoChoice());
    // A later press does not bind the layout again.
    selectors.SelectWirelessDeviceStatus(0);
    EXPECT_TRUE(selectors.WirelessSelector()->TwoChoice());
    EXPECT_FALSE(partners.Pending(SelectionOwner::WirelessSelector));

    selectors.ReleaseRadioSelectors();
    EXPECT_EQ(selectors.WirelessSelector(), nullptr);
    EXPECT_EQ(selectors.RfSelector(), nullptr);
    EXPECT_FALSE(partners.Exists(SelectionOwner::WirelessSelector));
    EXPECT_FALSE(partners.Exists(SelectionOwner::RfSelector));
}

}  // namespace
