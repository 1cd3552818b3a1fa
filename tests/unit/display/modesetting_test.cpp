// Resolution changes with their retry ladder, moving, attaching and
// detaching the second display, and rotation by a mode change, against the
// display functions in memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "displayfixture.h"

namespace {

constexpr DWORD kOrientation = 0x1;
constexpr DWORD kSize = DM_PELSWIDTH | DM_PELSHEIGHT;
constexpr DWORD kFull = 0x5C0021;
constexpr LONG kFailed = DISP_CHANGE_FAILED;

struct Attempt {
    DWORD fields;
    DWORD width;
    DWORD height;
    DWORD bitsPerPixel;
};

std::vector<Attempt> Attempts(const FakeDisplaySettings& display) {
    std::vector<Attempt> attempts;
    for (const auto& c : display.changes) {
        attempts.push_back({c.record.dmFields, c.record.dmPelsWidth, c.record.dmPelsHeight, c.record.dmBitsPerPel});
    }
    return attempts;
}

void ExpectAttempts(const FakeDisplaySettings& display, const std::vector<Attempt>& expected) {
    const auto attempts = Attempts(display);
    ASSERT_EQ(attempts.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("attempt " + std::to_string(i + 1));
        EXPECT_EQ(attempts[i].fields, expected[i].fields) << std::hex << attempts[i].fields;
        EXPECT_EQ(attempts[i].width, expected[i].width);
        EXPECT_EQ(attempts[i].height, expected[i].height);
        EXPECT_EQ(attempts[i].bitsPerPixel, expected[i].bitsPerPixel);
    }
}

using ModeSettingTest = DisplayTest;

TEST_F(ModeSettingTest, FirstDisplayLadderWidensSwapsDropsTo16BitsAndReports) {
    display_.defaultResult = kFailed;
    const POINTL origin{0, 0};
    EXPECT_EQ(Modes().ChangeFirstDisplaySettings(1280, 1024, 32, 75, &origin), 0);

    const DWORD asked = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY | DM_POSITION | kOrientation;
    ExpectAttempts(display_, {{asked, 1280, 1024, 32}, {kFull, 1280, 1024, 32}, {kFull, 1024, 1280, 32},
                              {kFull, 1024, 1280, 16}});
    for (const auto& c : display_.changes) {
        EXPECT_TRUE(c.ex);
        EXPECT_EQ(c.device, L"\\\\.\\DISPLAY1");
        EXPECT_EQ(c.flags, static_cast<DWORD>(CDS_UPDATEREGISTRY));
        EXPECT_EQ(c.record.dmDisplayFrequency, 75u);
        EXPECT_EQ(c.record.dmDisplayOrientation, 0u);
    }
    EXPECT_TRUE(ReportLog::Has(L"ChangeDisplaySettingEx... 1st= 1280, 1024"));
    EXPECT_TRUE(ReportLog::Has(L"ChangeDisplaySettingEx... 2nd= 1280, 1024"));
    EXPECT_TRUE(ReportLog::Has(L"Final ChangeDisplaySetting... 2nd= 1024, 1280"));
    EXPECT_EQ(ReportLog::Lines(), 3);
}

TEST_F(ModeSettingTest, WidenedAttemptNamesOnlyTheFieldsThatCarryAValue) {
    // Same height, no depth, frequency or position: the widened set adds the
    // height and nothing that would send a zero.
    display_.defaultResult = kFailed;
    EXPECT_EQ(Modes().ChangeFirstDisplaySettings(1024, 768, 0, 0, nullptr), 0);
    ExpectAttempts(display_, {{DM_PELSWIDTH | kOrientation, 1024, 768, 0},
                              {kSize | kOrientation, 1024, 768, 0},
                              {kSize | kOrientation, 768, 1024, 0},
                              {kSize | kOrientation, 768, 1024, 16}});
}

TEST_F(ModeSettingTest, PrimaryLadderDropsDepthThenTakesItBackAt16Bits) {
    display_.defaultResult = kFailed;
    EXPECT_EQ(Modes().ChangePrimaryDisplaySettings(1280, 1024, 32, 75), 0);
    const DWORD depth = DM_BITSPERPEL;
    ExpectAttempts(display_, {{kSize | depth, 1280, 1024, 32}, {kSize, 1280, 1024, 32}, {kSize, 1024, 1280, 32},
                              {kSize | depth, 1024, 1280, 16}});
    for (const auto& c : display_.changes) {
        EXPECT_FALSE(c.ex);
        EXPECT_EQ(c.record.dmDisplayFrequency, 0u) << "the frequency is only compared";
    }
    EXPECT_TRUE(ReportLog::Has(L"ChangeDisplaySetting... 1nd= 1280, 1024"));
    EXPECT_TRUE(ReportLog::Has(L"ChangeDisplaySetting... 2nd= 1024, 1280"));
    EXPECT_TRUE(ReportLog::Has(L"Final ChangeDisplaySetting... 2nd= 1024, 1280"));
}

TEST_F(ModeSettingTest, LadderStopsAtTheFirstAcceptedAttempt) {
    struct Case {
        std::vector<LONG> results;
        bool primary;
        size_t calls;
        int logLines;
    };
    const Case cases[] = {
        {{DISP_CHANGE_SUCCESSFUL}, false, 1, 0},
        {{DISP_CHANGE_BADMODE}, false, 1, 0},  // the Ex forms take a refused mode as done
        {{DISP_CHANGE_BADMODE, DISP_CHANGE_SUCCESSFUL}, true, 2, 1},
        {{kFailed, DISP_CHANGE_SUCCESSFUL}, false, 2, 1},
        {{kFailed, DISP_CHANGE_BADMODE, DISP_CHANGE_SUCCESSFUL}, false, 3, 2},
        {{kFailed, kFailed, kFailed, DISP_CHANGE_SUCCESSFUL}, true, 4, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "primary " << c.primary << ", " << c.calls << " calls");
        ReportLog::Clear();
        display_.changes.clear();
        display_.results.assign(c.results.begin(), c.results.end());
        display_.defaultResult = kFailed;
        const int result = c.primary ? Modes().ChangePrimaryDisplaySettings(1024, 768, 32, 0)
                                     : Modes().ChangeFirstDisplaySettings(1024, 768, 32, 0, nullptr);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(display_.changes.size(), c.calls);
        EXPECT_EQ(ReportLog::Lines(), c.logLines);
    }
}

TEST_F(ModeSettingTest, NothingToChangeMakesNoSystemCall) {
    const POINTL panelOrigin{0, 0};
    const POINTL externalOrigin{1366, 0};
    EXPECT_EQ(Modes().ChangePrimaryDisplaySettings(1366, 768, 0, 0), 1);
    EXPECT_EQ(Modes().ChangePrimaryDisplaySettings(1366, 768, 32, 60), 1);
    EXPECT_EQ(Modes().ChangeFirstDisplaySettings(1366, 768, 32, 60, &panelOrigin), 1);
    EXPECT_EQ(Modes().ChangeSecondDisplaySettings(1920, 1080, 0, 0, &externalOrigin), 1);
    EXPECT_EQ(Modes().ChangeSecondDisplaySettings(0, 0, 32, 60, nullptr), 1);
    EXPECT_TRUE(display_.changes.empty());

    // Any one value that differs is a change.
    const POINTL moved{1366, 100};
    EXPECT_EQ(Modes().ChangeFirstDisplaySettings(1366, 768, 16, 0, nullptr), 1);
    EXPECT_EQ(Modes().ChangeFirstDisplaySettings(1366, 768, 0, 75, nullptr), 1);
    EXPECT_EQ(Modes().ChangeSecondDisplaySettings(0, 0, 0, 0, &moved), 1);
    EXPECT_EQ(display_.changes.size(), 3u);
}

TEST_F(ModeSettingTest, RequestFollowsTheDisplaysShape) {
    struct Case {
        int currentWidth, currentHeight, askedWidth, askedHeight;
        DWORD sentWidth, sentHeight;
    };
    const Case cases[] = {
        {768, 1024, 1024, 768, 768, 1024},     // portrait stays portrait
        {768, 1024, 1280, 960, 960, 1280},
        {1366, 768, 768, 1024, 1024, 768},     // landscape stays landscape
        {1366, 768, 1280, 1024, 1280, 1024},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.currentWidth << "x" << c.currentHeight << " asked " << c.askedWidth
                                          << "x" << c.askedHeight);
        Panel().current = Mode(c.currentWidth, c.currentHeight);
        display_.changes.clear();
        EXPECT_EQ(Modes().ChangeFirstDisplaySettings(c.askedWidth, c.askedHeight, 0, 0, nullptr), 1);
        ASSERT_EQ(display_.changes.size(), 1u);
        EXPECT_EQ(display_.changes[0].record.dmPelsWidth, c.sentWidth);
        EXPECT_EQ(display_.changes[0].record.dmPelsHeight, c.sentHeight);
        // The flags compare the request as passed with the current mode.
        EXPECT_EQ(display_.changes[0].record.dmFields & kSize, kSize);
    }
}

TEST_F(ModeSettingTest, SecondDisplayKeepsASizeOfZeroAndUsesTheSecondName) {
    const POINTL position{1366, 0};
    EXPECT_EQ(Modes().ChangeSecondDisplaySettings(0, 1200, 0, 0, &position), 1);
    ASSERT_EQ(display_.changes.size(), 1u);
    const auto& change = display_.changes[0];
    EXPECT_EQ(change.device, L"\\\\.\\DISPLAY2");
    EXPECT_EQ(change.record.dmPelsWidth, 1920u);
    EXPECT_EQ(change.record.dmPelsHeight, 1200u);
    EXPECT_EQ(change.record.dmFields, DM_PELSHEIGHT | DM_POSITION | kOrientation);
}

TEST_F(ModeSettingTest, UnreadableDisplaySendsTheRequestAsItCame) {
    Panel().hasCurrent = false;
    External().hasCurrent = false;  // no names resolve through the usual ones either
    display_.Add(L"\\\\.\\DISPLAY7").hasCurrent = false;
    display_.Add(L"\\\\.\\DISPLAY8").hasCurrent = false;
    EXPECT_EQ(Modes().ChangeFirstDisplaySettings(1024, 768, 0, 0, nullptr), 1);
    ASSERT_EQ(display_.changes.size(), 1u);
    EXPECT_EQ(display_.changes[0].device, L"\\\\.\\DISPLAY7");
    EXPECT_EQ(display_.changes[0].record.dmPelsWidth, 1024u);
    EXPECT_EQ(display_.changes[0].record.dmPelsHeight, 768u);
}

TEST_F(ModeSettingTest, MoveDisplayPlacesTheSecondDisplayBesideTheFirstCentred) {
    ASSERT_EQ(Modes().MoveDisplay(1), 1);
    ASSERT_EQ(Modes().MoveDisplay(2), 1);
    ASSERT_EQ(display_.changes.size(), 2u);
    const auto& left = display_.changes[0];
    EXPECT_EQ(left.device, L"\\\\.\\DISPLAY2");
    EXPECT_EQ(left.flags, 0u);
    EXPECT_EQ(left.record.dmPosition.x, -1920);
    EXPECT_EQ(left.record.dmPosition.y, 384 - 540);
    EXPECT_EQ(left.record.dmFields, External().current.dmFields);  // as the system reported it
    const auto& right = display_.changes[1];
    EXPECT_EQ(right.record.dmPosition.x, 1367);
    EXPECT_EQ(right.record.dmPosition.y, 384 - 540);
    EXPECT_EQ(right.record.dmFields, static_cast<DWORD>(DM_POSITION));

    display_.defaultResult = kFailed;
    EXPECT_EQ(Modes().MoveDisplay(1), 0);
    EXPECT_TRUE(ReportLog::Has(L"MoveDisplay... 1nd"));
}

TEST_F(ModeSettingTest, AttachAndDetachStoreThenApply) {
    ASSERT_EQ(Modes().AttachSecondDisplay(1280, 1024, 32, 60), 1);
    ASSERT_EQ(Modes().DetachSecondDisplay(), 1);
    ASSERT_EQ(display_.changes.size(), 4u);
    const auto& attach = display_.changes[0];
    EXPECT_EQ(attach.device, L"\\\\.\\DISPLAY2");
    EXPECT_EQ(attach.flags, 0x10000001u);
    EXPECT_EQ(attach.record.dmFields, 0x5C0020u);
    EXPECT_EQ(attach.record.dmPelsWidth, 1280u);
    EXPECT_EQ(attach.record.dmPelsHeight, 1024u);
    EXPECT_EQ(attach.record.dmBitsPerPel, 32u);
    EXPECT_EQ(attach.record.dmDisplayFrequency, 60u);
    EXPECT_EQ(attach.record.dmPosition.x, 1280);
    EXPECT_EQ(attach.record.dmPosition.y, 0);
    for (size_t apply : {1u, 3u}) {
        EXPECT_FALSE(display_.changes[apply].ex);
        EXPECT_FALSE(display_.changes[apply].hasRecord);
        EXPECT_EQ(display_.changes[apply].flags, 0u);
    }
    const auto& detach = display_.changes[2];
    EXPECT_EQ(detach.record.dmFields, 0x5C0020u);
    EXPECT_EQ(detach.record.dmPelsWidth, 0u);
    EXPECT_EQ(detach.record.dmPelsHeight, 0u);
    EXPECT_EQ(detach.record.dmPosition.x, 0);
}

TEST_F(ModeSettingTest, AttachFailsWhenEitherCallFails) {
    const std::vector<LONG> cases[] = {{kFailed, DISP_CHANGE_SUCCESSFUL}, {DISP_CHANGE_SUCCESSFUL, kFailed}};
    for (const auto& results : cases) {
        ReportLog::Clear();
        display_.results.assign(results.begin(), results.end());
        EXPECT_EQ(Modes().AttachSecondDisplay(1280, 1024, 32, 60), 0);
        display_.results.assign(results.begin(), results.end());
        EXPECT_EQ(Modes().DetachSecondDisplay(), 0);
        EXPECT_EQ(ReportLog::Lines(), 2);
    }
    display_.devices.pop_back();  // no device at enumeration index 1
    display_.changes.clear();
    EXPECT_EQ(Modes().DetachSecondDisplay(), 0);
    EXPECT_TRUE(display_.changes.empty());
    EXPECT_TRUE(ReportLog::Has(L"fail: DetachSecondDisplay() no second display device"));
}

TEST_F(ModeSettingTest, SecondaryIsTheLastAttachedNonPrimaryNonMirroringDevice) {
    struct Case {
        std::vector<DWORD> states;
        int which;
    };
    constexpr DWORD attached = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;
    constexpr DWORD primary = DISPLAY_DEVICE_PRIMARY_DEVICE;
    constexpr DWORD mirror = DISPLAY_DEVICE_MIRRORING_DRIVER;
    const Case cases[] = {
        {{attached | primary, 0}, 0},
        {{attached | primary, attached}, 1},
        {{attached, attached | primary}, 2},
        {{attached | primary, attached | mirror}, 0},
        {{attached, attached | primary, 0, attached}, 1},  // the last one counts
        {{}, 0},
    };
    for (const Case& c : cases) {
        display_.devices.clear();
        for (DWORD state : c.states) display_.Add(L"\\\\.\\DISPLAYX").stateFlags = state;
        int which = -1;
        int attachedFlag = -1;
        EXPECT_EQ(Modes().GetAttachedSecondaryIndex(&which), 1);
        EXPECT_EQ(Modes().IsSecondDisplayAttached(&attachedFlag), 1);
        EXPECT_EQ(which, c.which);
        EXPECT_EQ(attachedFlag, c.which != 0 ? 1 : 0);
    }
}

TEST_F(ModeSettingTest, RotationByModeChange) {
    struct Case {
        int angle, second, windowsDirection;
        DWORD orientation, width, height;
    };
    const Case cases[] = {
        {90, 0, 1, DMDO_90, 768, 1366},  {90, 0, 0, DMDO_270, 768, 1366},
        {270, 0, 1, DMDO_270, 768, 1366}, {270, 0, 0, DMDO_90, 768, 1366},
        {180, 0, 1, DMDO_180, 1366, 768}, {90, 1, 1, DMDO_90, 1080, 1920},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.angle << " second " << c.second << " dir " << c.windowsDirection);
        display_.changes.clear();
        EXPECT_EQ(Modes().SetRotationByModeChange(c.angle, c.second, c.windowsDirection), DISP_CHANGE_SUCCESSFUL);
        ASSERT_EQ(display_.changes.size(), 1u);
        const auto& change = display_.changes[0];
        EXPECT_EQ(change.device, c.second ? L"\\\\.\\DISPLAY2" : L"\\\\.\\DISPLAY1");
        EXPECT_EQ(change.flags, static_cast<DWORD>(CDS_UPDATEREGISTRY));
        EXPECT_EQ(change.record.dmDisplayOrientation, c.orientation);
        EXPECT_EQ(change.record.dmPelsWidth, c.width);
        EXPECT_EQ(change.record.dmPelsHeight, c.height);
        const DWORD fields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_DISPLAYORIENTATION | (c.second ? DM_POSITION : 0);
        EXPECT_EQ(change.record.dmFields, fields);
        if (c.second) {
            EXPECT_EQ(change.record.dmPosition.x, 1366);
        }
    }
    // A rotated panel going back to 0: portrait size swapped back.
    Panel().current.dmDisplayOrientation = DMDO_90;
    display_.screenWidth = 768;
    display_.screenHeight = 1366;
    display_.changes.clear();
    EXPECT_EQ(Modes().SetRotationByModeChange(0, 0, 1), DISP_CHANGE_SUCCESSFUL);
    ASSERT_EQ(display_.changes.size(), 1u);
    EXPECT_EQ(display_.changes[0].record.dmPelsWidth, 1366u);
    // Already there: nothing sent; not a quarter turn: refused and reported.
    display_.changes.clear();
    EXPECT_EQ(Modes().SetRotationByModeChange(90, 0, 1), DISP_CHANGE_SUCCESSFUL);
    EXPECT_EQ(Modes().SetRotationByModeChange(45, 0, 1), DISP_CHANGE_BADPARAM);
    EXPECT_TRUE(display_.changes.empty());
    EXPECT_TRUE(ReportLog::Has(L"fail: SetRotationByModeChange() angle 45"));
}

}  // namespace
