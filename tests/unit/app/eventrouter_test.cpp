// Routing of the main window: key roads, sibling codes, power and session events.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/eventrouter.h"
#include "app/keyplatform.h"
#include "common/settingsstore.h"
#include "common/processstate.h"
#include "audio/audio.h"
#include "recordingports.h"

namespace {

using Calls = std::vector<std::string>;

class RouterTest : public ::testing::Test {
protected:
    void SetUp() override {
        proc::windowsVersion = 7;
        proc::modelFamily = 0;
        proc::usbKeyboardModel = false;
        ports.display.graphicsDriver = false;
    }
    void TearDown() override {
        proc::windowsVersion = 7;
        proc::modelFamily = 0;
        proc::usbKeyboardModel = false;
    }

    LRESULT Hook(DWORD vk, DWORD scan, DWORD flags = 0) {
        HookKeyRecord record{vk, scan, flags, 0, 0};
        return router.OnHookKey(0, reinterpret_cast<LPARAM>(&record));
    }
    LRESULT Sibling(WPARAM code, LPARAM argument = 0, bool* returned = nullptr) {
        LRESULT result = -1;
        const bool r = router.Route(WM_VQ_SIBLING, code, argument, &result);
        if (returned) *returned = r;
        return r ? result : -1;
    }
    void Send(UINT message, WPARAM wParam, LPARAM lParam = 0) {
        LRESULT ignored;
        router.Route(message, wParam, lParam, &ignored);
    }

    RecordingPorts ports;
    CEventRouter router{ports.Router()};
};

TEST_F(RouterTest, HookRecordIsDecodedFromItsLowBytesAndFlags) {
    EXPECT_EQ(Hook(0x1FF, 0x308, 0x01), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessKey 255 8 0"}));
}

TEST_F(RouterTest, ReleasedKeyEndsWithOneAndReachesNothing) {
    EXPECT_EQ(Hook(0xFF, 8, 0x80), 1);
    EXPECT_TRUE(ports.Calls().empty());
}

TEST_F(RouterTest, ActedOnResult255BecomesZeroOtherResultsStay) {
    ports.keys.processKeyResult = 255;
    EXPECT_EQ(Hook(0xFF, 8), 0);
    ports.keys.processKeyResult = 0;
    EXPECT_EQ(Hook(0xFF, 8), 0);
    ports.keys.processKeyResult = 7;
    EXPECT_EQ(Hook(0xFF, 8), 7);
}

// A target that feeds a second key in while the first is still being handled.
class ReentrantKeys : public FakeKeyHandling {
public:
    using FakeKeyHandling::FakeKeyHandling;
    CEventRouter* router = nullptr;
    LRESULT innerResult = -1;
    int ProcessKey(BYTE vk, BYTE sc, KeySource source) override {
        FakeKeyHandling::ProcessKey(vk, sc, source);
        if (innerResult == -1) {
            HookKeyRecord inner{0xFF, 9, 0, 0, 0};
            innerResult = router->OnHookKey(0, reinterpret_cast<LPARAM>(&inner));
        }
        return 255;
    }
};

TEST_F(RouterTest, KeyArrivingWhileOneIsHandledIsAnsweredOneAndIgnored) {
    ReentrantKeys reentrant(ports);
    CEventRouter r(ports.Router(reentrant));
    reentrant.router = &r;
    HookKeyRecord outer{0xFF, 8, 0, 0, 0};
    EXPECT_EQ(r.OnHookKey(0, reinterpret_cast<LPARAM>(&outer)), 0);
    EXPECT_EQ(reentrant.innerResult, 1);
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessKey 255 8 0"}));
    // The guard is released afterwards.
    EXPECT_EQ(r.OnHookKey(0, reinterpret_cast<LPARAM>(&outer)), 0);
}

TEST_F(RouterTest, GarbageRecordPointerIsDroppedWithoutReadingIt) {
    EXPECT_EQ(router.OnHookKey(0, 0x00000010), 1);
    EXPECT_EQ(router.OnHookKey(0, static_cast<LPARAM>(0x7FFE0FF8)), 1);
    EXPECT_EQ(router.OnHookKey(0, 0), 1);
    EXPECT_TRUE(ports.Calls().empty());
}

struct LockKeyCase {
    DWORD vk, scan;
    int family;
    const char* command;  // expected command, or "" for none
    LRESULT result;
};

class LockKeyTest : public RouterTest, public ::testing::WithParamInterface<LockKeyCase> {};

TEST_P(LockKeyTest, LockKeysRunTheirCommandAfterProcessKey) {
    const LockKeyCase& c = GetParam();
    proc::modelFamily = c.family;
    ports.keys.processKeyResult = 255;
    EXPECT_EQ(Hook(c.vk, c.scan), c.result);
    ASSERT_GE(ports.Calls().size(), 1u);
    EXPECT_EQ(ports.Calls()[0].rfind("ProcessKey", 0), 0u);
    if (*c.command) {
        EXPECT_EQ(ports.Calls(), (Calls{ports.Calls()[0], c.command}));
    } else {
        EXPECT_EQ(ports.Calls().size(), 1u) << ports.Joined();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, LockKeyTest,
    ::testing::Values(LockKeyCase{0x91, 0x46, 0, "ExecuteCommand 14 0 0", 1},   // Scroll Lock
                      LockKeyCase{0x90, 0x45, 0, "ExecuteCommand 13 0 0", 1},   // Num Lock
                      LockKeyCase{0x14, 0x3A, 15, "ExecuteCommand 16 0 0", 1},  // Caps Lock, family 15
                      LockKeyCase{0x14, 0x3A, 17, "ExecuteCommand 16 0 0", 1},
                      LockKeyCase{0x14, 0x3A, 0, "", 0},                        // other families: plain key
                      LockKeyCase{0x91, 0x47, 0, "", 0}));                      // wrong scan code

struct EscapeCase {
    osd::OsdMode mode;
    Calls expected;
};

class EscapeTest : public RouterTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(EscapeTest, EscapeHidesTheOsdAndEndsItsPendingSelection) {
    ports.osd.osdAlive = true;
    ports.osd.osdMode = GetParam().mode;
    Hook(VK_ESCAPE, 1);
    Calls expected{"ProcessKey 27 1 0", "HideOsd"};
    for (const auto& c : GetParam().expected) expected.push_back(c);
    EXPECT_EQ(ports.Calls(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EscapeTest,
    ::testing::Values(
        EscapeCase{osd::OsdMode::DisplaySwitcher, {"NoticeMessage 1", "ClearDisplaySwitchPending", "ClearOsdSelection", "SetOsdMode -1",
                       "SendOsdSelectionTimer"}},
        EscapeCase{osd::OsdMode::ResolutionToggle, {"ClearResolutionSelectorPending", "SetOsdMode -1", "SendOsdSelectionTimer"}},
        EscapeCase{osd::OsdMode::WirelessToggle, {"ClearWirelessSelectorPending", "SetOsdMode -1", "SendOsdSelectionTimer"}},
        EscapeCase{osd::OsdMode::HotkeyPicture, {}}, EscapeCase{osd::OsdMode::SrsToggle, {}}));

TEST_F(RouterTest, EscapeWithoutOsdOnlyHidesTheMagnifier) {
    ports.magnifier.magnifierShown = true;
    Hook(VK_ESCAPE, 1);
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessKey 27 1 0", "HideMagnifier"}));
}

TEST_F(RouterTest, EnterAppliesThePendingSelectionAtOnce) {
    ports.osd.osdAlive = true;
    ports.osd.osdMode = osd::OsdMode::DisplaySwitcher;
    Hook(VK_RETURN, 0x1C);
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessKey 13 28 0", "HideOsd", "SendOsdSelectionTimer"}));
    ports.Clear();
    ports.osd.osdAlive = false;
    Hook(VK_RETURN, 0x1C);
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessKey 13 28 0"}));
}

struct UsbCase {
    WPARAM usage;
    bool usbModel;
    const char* expected;  // "" for none
};

class UsbRoadTest : public RouterTest, public ::testing::WithParamInterface<UsbCase> {};

TEST_P(UsbRoadTest, VendorPageUsageBecomesAHotkeyCode) {
    proc::usbKeyboardModel = GetParam().usbModel;
    EXPECT_EQ(router.OnUsbHidKey(GetParam().usage, 0xFF7F), 1);
    if (*GetParam().expected) {
        EXPECT_EQ(ports.Calls(), (Calls{GetParam().expected}));
    } else {
        EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Usages, UsbRoadTest,
    ::testing::Values(UsbCase{0xB1, true, "ProcessKey 255 8 1"}, UsbCase{0xB2, true, "ProcessKey 255 7 1"},
                      UsbCase{0xB3, true, "ProcessKey 255 2 1"}, UsbCase{0xB5, true, "ProcessKey 255 1 1"},
                      UsbCase{0xB6, true, "ProcessKey 255 3 1"}, UsbCase{0xB7, true, "ProcessKey 255 9 1"},
                      UsbCase{0xB8, true, "ProcessKey 255 5 1"}, UsbCase{0xB4, true, ""},
                      UsbCase{0xB1, false, "ProcessKey 255 9 0"}, UsbCase{0xB2, false, "ProcessKey 255 8 0"},
                      UsbCase{0xB3, false, "ProcessKey 255 3 0"}, UsbCase{0xB5, false, "ProcessKey 255 2 0"},
                      UsbCase{0xB6, false, "ProcessKey 255 4 0"}, UsbCase{0xB7, false, "ProcessKey 255 111 0"},
                      UsbCase{0xB8, false, "ProcessKey 255 6 0"}, UsbCase{0xB4, false, ""}));

TEST_F(RouterTest, ConsumerPageOnlyNotesTheVolumeKey) {
    const std::pair<WPARAM, int> cases[] = {{0xE2, 0x20}, {0xE9, 0x30}, {0xEA, 0x2E}};
    for (const auto& [usage, key] : cases) {
        EXPECT_EQ(router.OnUsbHidKey(usage, 0x0C), 1);
        EXPECT_EQ(router.LastConsumerVolumeKey(), key);
    }
    router.OnUsbHidKey(0xCD, 0x0C);  // play/pause: not a volume key
    EXPECT_EQ(router.LastConsumerVolumeKey(), 0x2E);
    EXPECT_TRUE(ports.Calls().empty());
}

TEST_F(RouterTest, SiblingCodesAreIgnoredWithoutUsbModelOrExternalKeyMode) {
    bool returned = true;
    Sibling(8, 0, &returned);
    EXPECT_FALSE(returned);
    Sibling(53, 1);
    EXPECT_TRUE(ports.Calls().empty());
    Sibling(73);
    EXPECT_EQ(ports.Calls(), (Calls{"RestartTimer 5 5000", "SetWirelessKeyBlock"}));
}

TEST_F(RouterTest, ExternalKeyModeOpensAndClosesTheSiblingRoad) {
    Send(WM_VQ_EXTKEY_ON, 0);
    Sibling(8);
    EXPECT_EQ(ports.Calls(), (Calls{"ProcessKey 255 8 1"}));
    Send(WM_VQ_EXTKEY_OFF, 0);
    ports.Clear();
    Sibling(8);
    EXPECT_TRUE(ports.Calls().empty());
}

struct SiblingCase {
    WPARAM code;
    LPARAM argument;
    Calls expected;
    LRESULT result;  // -1: default processing follows
};

class SiblingCodeTest : public RouterTest, public ::testing::WithParamInterface<SiblingCase> {
protected:
    // "@" in an expected call stands for the cursor's position.
    static Calls AtCursor(Calls calls) {
        const POINT p = CursorPosition();
        for (std::string& call : calls) {
            if (const size_t at = call.find('@'); at != std::string::npos) {
                call.replace(at, 1, std::to_string(p.x) + " " + std::to_string(p.y));
            }
        }
        return calls;
    }
};

TEST_P(SiblingCodeTest, CodeRoutesAsTheTableSays) {
    proc::usbKeyboardModel = true;
    ports.display.graphicsDriver = true;
    ports.menu.menuRequestResult = 0x1234;
    ports.display.activeDisplay = 3;
    ports.display.connectedDisplay = 5;
    const SiblingCase& c = GetParam();
    EXPECT_EQ(Sibling(c.code, c.argument), c.result);
    EXPECT_EQ(ports.Calls(), AtCursor(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SiblingCodeTest,
    ::testing::Values(
        SiblingCase{1, 0, {"OnDisplaySwitchKey"}, -1},
        SiblingCase{9, 0, {"SelectSRSEffect"}, -1},
        SiblingCase{14, 0, {"SetVolumeKeyPending", "RestartTimer 1 1000", "ProcessHotkey 14", "ProcessKey 255 14 1"}, -1},
        SiblingCase{16, 0, {"HandleModifiedKey 16", "ReloadOwnVolumeSetting", "OnVolumeKey 16"}, -1},
        SiblingCase{17, 0, {"HideOsd", "ProcessHotkey 17", "PumpMessagesFor 70 5", "HideOsd", "RotateDisplayStep 0"}, -1},
        SiblingCase{42, 0, {"HideOsd", "ProcessHotkey 42", "PumpMessagesFor 70 5", "HideOsd", "RotateDisplayStep 42"}, -1},
        SiblingCase{18, 0, {"SelectResolution"}, -1},
        SiblingCase{19, 0, {"DispatchMenuRequest 19 0"}, 0x1234},
        SiblingCase{71, 0, {"DispatchMenuRequest 71 0"}, 0x1234},
        SiblingCase{43, 1, {"DispatchMenuRequest 43 1"}, -1},
        SiblingCase{47, 0, {"DispatchMenuRequest 47 0"}, -1},
        SiblingCase{48, 0, {"RefreshActiveDisplay"}, 3},
        SiblingCase{49, 0, {"RefreshConnectedDisplay"}, 5},
        SiblingCase{51, 0, {"SetResolutionUp @ 0"}, -1},
        SiblingCase{52, 0, {"SetResolutionDown @ 0"}, -1},
        SiblingCase{53, 0x103, {"ChangeDisplayCombination 259 1"}, -1},
        SiblingCase{60, 77, {"KeepTestCycleArgument 77", "RestartTimer 153 100"}, -1},
        SiblingCase{61, 0, {"StopTimer 153"}, -1},
        SiblingCase{62, 2, {"GetConnectedDisplays", "ChangeDisplayCombination 2 1"}, -1},
        SiblingCase{70, 90, {"HideOsd", "RotateDisplayAt @ 90", "ProcessHotkey 70"}, -1},
        SiblingCase{8, 0, {"ProcessKey 255 8 1"}, -1}));

TEST_F(RouterTest, VolumeCodeResultFollowsHandleModifiedKey) {
    proc::usbKeyboardModel = true;
    ports.keys.handleModifiedResult = 0;
    EXPECT_EQ(Sibling(15), 0);
    EXPECT_EQ(ports.Calls(), (Calls{"HandleModifiedKey 15"}));
    ports.Clear();
    ports.keys.handleModifiedResult = 255;
    ports.keys.handleModifiedHandled = true;
    EXPECT_EQ(Sibling(15), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"HandleModifiedKey 15"}));
}

TEST_F(RouterTest, CombinationWithoutGraphicsDriverReturnsZeroAndChangesNothing) {
    proc::usbKeyboardModel = true;
    ports.display.graphicsDriver = false;
    EXPECT_EQ(Sibling(53, 0x101), 0);
    EXPECT_TRUE(ports.Calls().empty());
}

TEST_F(RouterTest, ProcessKeySwallowingASiblingCodeReturnsZero) {
    proc::usbKeyboardModel = true;
    ports.keys.processKeyResult = 0;
    EXPECT_EQ(Sibling(8), 0);
}

TEST_F(RouterTest, MenuStatusValuesAreStoredForTheMenuProgram) {
    proc::usbKeyboardModel = true;
    ports.display.activeDisplay = 0x101;
    ports.display.connectedDisplay = 3;
    Sibling(48);
    Sibling(49);
    EXPECT_EQ(settings::ReadInt(settings::kMenuDisplay), 0x101);
    EXPECT_EQ(settings::ReadInt(settings::kMenuConnectedDisplay), 3);
}

TEST_F(RouterTest, RotationAnswerAsksTheSelectorOnlyOnFamilyOne) {
    proc::usbKeyboardModel = true;
    ports.selectors.canRotate = 0;
    proc::modelFamily = 3;
    Sibling(24);
    EXPECT_EQ(settings::ReadInt(settings::kMenuRotation), 1);
    EXPECT_TRUE(ports.Matching("CanRotate").empty());
    proc::modelFamily = 1;
    Sibling(24);
    EXPECT_EQ(settings::ReadInt(settings::kMenuRotation), 0);
    EXPECT_EQ(ports.Matching("CanRotate").size(), 1u);
}

TEST_F(RouterTest, SuspendWithdrawsAndArmsTheReannounce) {
    ports.display.graphicsDriver = true;
    Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
    EXPECT_EQ(ports.Calls(), (Calls{"BiosHandshake 9 131", "BiosHandshake 9 130", "ExecuteCommand 0 0 0", "SetDriverSuspendFlag",
                                    "SetPostResumeDeviceEventCounter 15"}));
    EXPECT_TRUE(router.BiosReannouncePending());
}

TEST_F(RouterTest, ResumeAnnouncesAndRunsItsCommands) {
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(ports.Calls(), (Calls{"BiosHandshake 9 3", "BiosHandshake 9 2", "ExecuteCommand 4 0 5", "ExecuteCommand 8 0 0",
                                    "SetPostResumeDeviceEventCounter 15", "RestartTimer 147 10000"}));
}

TEST_F(RouterTest, SessionEventsAnnounceAndWithdrawInTheirOrder) {
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGOFF);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGON);
    Send(WM_QUERYENDSESSION, 0);
    Send(WM_ENDSESSION, 1);
    EXPECT_EQ(ports.Calls(),
              (Calls{"BiosHandshake 9 130", "BiosHandshake 9 131", "BiosHandshake 9 2", "BiosHandshake 9 3", "ExecuteCommand 4 0 0", "BiosHandshake 9 130",
                     "BiosHandshake 9 131", "BiosHandshake 9 2", "BiosHandshake 9 3", "ExecuteCommand 4 0 0", "BiosHandshake 9 131", "BiosHandshake 9 130",
                     "ExecuteCommand 0 0 0"}));
}

TEST_F(RouterTest, FirstKeyAfterALockAnnouncesBeforeItIsProcessed) {
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    ports.Clear();
    Hook(0xFF, 8, 0x80);  // a release does not count as the next key
    EXPECT_TRUE(ports.Calls().empty());
    Hook(0xFF, 8);
    Hook(0xFF, 9);
    EXPECT_EQ(ports.Calls(), (Calls{"BiosHandshake 9 3", "BiosHandshake 9 2", "ProcessKey 255 8 0", "ProcessKey 255 9 0"}));
}

TEST_F(RouterTest, SiblingKeyAfterSuspendAnnouncesFirst) {
    proc::usbKeyboardModel = true;
    router.SetBiosReannouncePending(true);
    Sibling(8);
    EXPECT_EQ(ports.Calls(), (Calls{"BiosHandshake 9 3", "BiosHandshake 9 2", "ProcessKey 255 8 1"}));
}

TEST_F(RouterTest, DeviceEventsReachDetectionAndFamilyTenCommand) {
    Send(WM_DEVICECHANGE, 0x8004, 1234);
    EXPECT_EQ(ports.Calls(), (Calls{"DeviceDetection 1234 32772"}));
    ports.Clear();
    proc::modelFamily = 10;
    Send(WM_DEVICECHANGE, 0x8004, 1234);
    Send(WM_DEVICECHANGE, 0x8000, 1234);  // arrival: detection only
    Send(WM_DEVICECHANGE, 0x0007, 0);     // no data: detection only
    EXPECT_EQ(ports.Calls(), (Calls{"ExecuteCommand 12 1234 0", "DeviceDetection 1234 32772",
                                    "DeviceDetection 1234 32768", "DeviceDetection 0 7"}));
}

TEST_F(RouterTest, DisplayChangeRefreshesTheMiniUiOnlyWhenShown) {
    Send(WM_DISPLAYCHANGE, 32);
    EXPECT_EQ(ports.Calls(), (Calls{"ExecuteCommand 1 0 0"}));
    ports.Clear();
    ports.miniUi.miniUiShown = true;
    Send(WM_DISPLAYCHANGE, 32);
    EXPECT_EQ(ports.Calls(), (Calls{"ExecuteCommand 1 0 0", "RefreshMiniUiResolutionPanel", "RestartTimer 4 1000"}));
}

TEST_F(RouterTest, AudioNotificationsReachOnVolumeNotify) {
    Send(audio::kMixerControlChangeMessage, 0, 0);
    Send(audio::kEndpointVolumeMessage, 0, 0);
    EXPECT_EQ(ports.Calls(), (Calls{"OnVolumeNotify", "OnVolumeNotify"}));
}

}  // namespace
