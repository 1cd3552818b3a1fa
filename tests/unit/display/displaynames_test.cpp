// Naming the first and second display device, reading the current mode,
// and the base driver's defaults.
#include <gtest/gtest.h>

#include <string>

#include "displayfixture.h"

namespace {

using DisplayNamesTest = DisplayTest;

TEST_F(DisplayNamesTest, FirstReadableOfDisplay135NamesThePair) {
    struct Case {
        const wchar_t* readable;
        const wchar_t* first;
        const wchar_t* second;
    };
    const Case cases[] = {
        {L"\\\\.\\DISPLAY1", L"\\\\.\\DISPLAY1", L"\\\\.\\DISPLAY2"},
        {L"\\\\.\\DISPLAY3", L"\\\\.\\DISPLAY3", L"\\\\.\\DISPLAY4"},
        {L"\\\\.\\DISPLAY5", L"\\\\.\\DISPLAY5", L"\\\\.\\DISPLAY6"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "readable " << std::string(c.readable, c.readable + wcslen(c.readable)));
        display_.devices.clear();
        if (wcscmp(c.readable, L"\\\\.\\DISPLAY1") != 0) display_.Add(L"\\\\.\\DISPLAY1").hasCurrent = false;
        display_.Add(c.readable);
        displaynames::Reset();
        Modes().ResolveDisplayDeviceNames();
        EXPECT_STREQ(displaynames::First(), c.first);
        EXPECT_STREQ(displaynames::Second(), c.second);
    }
}

TEST_F(DisplayNamesTest, WithoutTheUsualNamesTheThirdAndFourthEnumeratedDevicesAreTaken) {
    display_.devices.clear();
    for (const wchar_t* name : {L"\\\\.\\DISPLAYV1", L"\\\\.\\DISPLAYV2", L"\\\\.\\DISPLAYV3", L"\\\\.\\DISPLAYV4"}) {
        display_.Add(name);
    }
    Modes().ResolveDisplayDeviceNames();
    EXPECT_STREQ(displaynames::First(), L"\\\\.\\DISPLAYV3");
    EXPECT_STREQ(displaynames::Second(), L"\\\\.\\DISPLAYV4");
    EXPECT_EQ(ReportLog::Lines(), 0);
}

TEST_F(DisplayNamesTest, EnumeratedNameThatDoesNotFitIsReportedNotCopied) {
    display_.devices.clear();
    display_.Add(L"\\\\.\\A");
    display_.Add(L"\\\\.\\B");
    display_.Add(L"\\\\.\\DISPLAY_LONGER_THAN_15");  // 16 characters and more
    // no fourth device at all
    Modes().ResolveDisplayDeviceNames();
    EXPECT_STREQ(displaynames::First(), L"");
    EXPECT_STREQ(displaynames::Second(), L"");
    EXPECT_TRUE(ReportLog::Has(L"fail: ResolveDisplayDeviceNames()"));
}

TEST_F(DisplayNamesTest, NamesAreKeptUnlessTheRefreshFlagIsSet) {
    Modes().ResolveDisplayDeviceNames();
    ASSERT_STREQ(displaynames::First(), L"\\\\.\\DISPLAY1");
    Panel().hasCurrent = false;
    display_.Add(L"\\\\.\\DISPLAY3");
    Modes().ResolveDisplayDeviceNames();
    EXPECT_STREQ(displaynames::First(), L"\\\\.\\DISPLAY1");
    displaynames::SetRefreshFlag(1);
    Modes().ResolveDisplayDeviceNames();
    EXPECT_STREQ(displaynames::First(), L"\\\\.\\DISPLAY3");

    // A new driver forgets both names and the flag.
    CVGA another(display_);
    EXPECT_STREQ(displaynames::First(), L"");
    EXPECT_STREQ(displaynames::Second(), L"");
    EXPECT_EQ(displaynames::RefreshFlag(), 0);
}

TEST_F(DisplayNamesTest, CurrentModeOfEitherDisplayOrZeroWhenUnreadable) {
    DEVMODEW mode;
    ASSERT_EQ(Modes().GetCurrentDisplayMode(1, &mode), 1);
    EXPECT_EQ(mode.dmPelsWidth, 1920u);
    ASSERT_EQ(Modes().GetCurrentDisplayMode(0, &mode), 1);
    EXPECT_EQ(mode.dmPelsWidth, 1366u);
    External().hasCurrent = false;
    EXPECT_EQ(Modes().GetCurrentDisplayMode(1, &mode), 0);
    EXPECT_EQ(mode.dmPelsWidth, 0u);
    EXPECT_EQ(mode.dmSize, sizeof(DEVMODEW));
    EXPECT_EQ(Modes().GetCurrentDisplayMode(0, nullptr), 0);
}

TEST_F(DisplayNamesTest, BaseDriverAnswersSuccessAndChangesNothing) {
    CVGA& vga = *vga_;
    int angle = 77;
    EXPECT_EQ(vga.Initialize(), 1);
    EXPECT_EQ(vga.GetVendor(), 1);
    EXPECT_EQ(vga.ChangeDisplayCombination(combination::kPanelCrt), 1);
    EXPECT_EQ(vga.RestoreDefaultDisplay(restoredefault::kPanelAlone), 1);
    EXPECT_EQ(vga.IsDualView(), 1);
    EXPECT_EQ(vga.Reserved5(1, 2, 3, 4), 1);
    EXPECT_EQ(vga.EnableExtendedDesktop(1), 1);
    EXPECT_EQ(vga.GetDisplayRotation(displaydevice::kPanel, &angle), 1);
    EXPECT_EQ(angle, 77);
    EXPECT_EQ(vga.SetDisplayRotation(displaydevice::kPanel, 90, 0, 1), 1);
    EXPECT_EQ(vga.GetConnectedDisplays(), 1);
    for (int i = 0; i < displaydevice::kCount; ++i) {
        EXPECT_EQ(vga.m_nDeviceStatus[i], devicestatus::kNotConnected);
        EXPECT_EQ(vga.m_nDeviceEnabled[i], 0);
    }
    EXPECT_EQ(vga.m_bSuspended, 0);
    EXPECT_EQ(vga.m_bKeepDisplaySettings, 0);
    EXPECT_TRUE(display_.changes.empty());
}

TEST(CombinationCodes, DualViewIsTheRange0x103To0x219) {
    for (int code : {0x103, 0x111, 0x119, 0x203, 0x211, 0x219}) EXPECT_TRUE(combination::IsDualView(code)) << code;
    for (int code : {0x01, 0x03, 0x11, 0x12, 0x19, 0x2B, 0x102, 0x21A}) EXPECT_FALSE(combination::IsDualView(code)) << code;
}

}  // namespace
