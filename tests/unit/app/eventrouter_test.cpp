// Routing of the main window: key roads, sibling codes, power and session events.
#include <windows.h>
#include <wtsapi32.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/eventrouter.h"
#include "app/settingsstore.h"
#include "common/processstate.h"
#include "recordingtargets.h"

namespace {

using Calls = std::vector<std::string>;

class RouterTest : public ::testing::Test {
protected:
    void SetUp() override {
        proc::windowsVersion = 7;
        proc::modelFamily = 0;
        proc::usbKeyboardModel = false;
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

    RecordingTargets targets;
    CEventRouter router{targets};
};

TEST_F(RouterTest, HookRecordIsDecodedFromItsLowBytesAndFlags) {
    EXPECT_EQ(Hook(0x1FF, 0x308, 0x01), 1);
    EXPECT_EQ(targets.calls, (Calls{"ProcessKey 255 8 0"}));
}

TEST_F(RouterTest, ReleasedKeyEndsWithOneAndReachesNothing) {
    EXPECT_EQ(Hook(0xFF, 8, 0x80), 1);
    EXPECT_TRUE(targets.calls.empty());
}

TEST_F(RouterTest, ActedOnResult255BecomesZeroOtherResultsStay) {
    targets.processKeyResult = 255;
    EXPECT_EQ(Hook(0xFF, 8), 0);
    targets.processKeyResult = 0;
    EXPECT_EQ(Hook(0xFF, 8), 0);
    targets.processKeyResult = 7;
    EXPECT_EQ(Hook(0xFF, 8), 7);
}

// A target that feeds a second key in while the first is still being handled.
class ReentrantTargets : public RecordingTargets {
public:
    CEventRouter* router = nullptr;
    LRESULT innerResult = -1;
    int ProcessKey(BYTE vk, BYTE sc, int source) override {
        RecordingTargets::ProcessKey(vk, sc, source);
        if (innerResult == -1) {
            HookKeyRecord inner{0xFF, 9, 0, 0, 0};
            innerResult = router->OnHookKey(0, reinterpret_cast<LPARAM>(&inner));
        }
        return 255;
    }
};

TEST_F(RouterTest, KeyArrivingWhileOneIsHandledIsAnsweredOneAndIgnored) {
    ReentrantTargets reentrant;
    CEventRouter r(reentrant);
    reentrant.router = &r;
    HookKeyRecord outer{0xFF, 8, 0, 0, 0};
    EXPECT_EQ(r.OnHookKey(0, reinterpret_cast<LPARAM>(&outer)), 0);
    EXPECT_EQ(reentrant.innerResult, 1);
    EXPECT_EQ(reentrant.calls, (Calls{"ProcessKey 255 8 0"}));
    // The guard is released afterwards.
    EXPECT_EQ(r.OnHookKey(0, reinterpret_cast<LPARAM>(&outer)), 0);
}

TEST_F(RouterTest, GarbageRecordPointerIsDroppedWithoutReadingIt) {
    EXPECT_EQ(router.OnHookKey(0, 0x00000010), 1);
    EXPECT_EQ(router.OnHookKey(0, static_cast<LPARAM>(0x7FFE0FF8)), 1);
    EXPECT_EQ(router.OnHookKey(0, 0), 1);
    EXPECT_TRUE(targets.calls.empty());
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
    targets.processKeyResult = 255;
    EXPECT_EQ(Hook(c.vk, c.scan), c.result);
    ASSERT_GE(targets.calls.size(), 1u);
    EXPECT_EQ(targets.calls[0].rfind("ProcessKey", 0), 0u);
    if (*c.command) {
        EXPECT_EQ(targets.calls, (Calls{targets.calls[0], c.command}));
    } else {
        EXPECT_EQ(targets.calls.size(), 1u) << targets.Joined();
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
    int mode;
    Calls expected;
};

class EscapeTest : public RouterTest, public ::testing::WithParamInterface<EscapeCase> {};

TEST_P(EscapeTest, EscapeHidesTheOsdAndEndsItsPendingSelection) {
    targets.osdAlive = true;
    targets.osdMode = GetParam().mode;
    Hook(VK_ESCAPE, 1);
    Calls expected{"ProcessKey 27 1 0", "HideOsd"};
    for (const auto& c : GetParam().expected) expected.push_back(c);
    EXPECT_EQ(targets.calls, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, EscapeTest,
    ::testing::Values(
        EscapeCase{2, {"NoticeMessage 1", "ClearDisplaySwitchPending", "ClearOsdSelection", "SetOsdMode -1",
                       "SendOsdSelectionTimer"}},
        EscapeCase{4, {"ClearResolutionSelectorPending", "SetOsdMode -1", "SendOsdSelectionTimer"}},
        EscapeCase{5, {"ClearWirelessSelectorPending", "SetOsdMode -1", "SendOsdSelectionTimer"}},
        EscapeCase{1, {}}, EscapeCase{3, {}}));

TEST_F(RouterTest, EscapeWithoutOsdOnlyHidesTheMagnifier) {
    targets.magnifierShown = true;
    Hook(VK_ESCAPE, 1);
    EXPECT_EQ(targets.calls, (Calls{"ProcessKey 27 1 0", "HideMagnifier"}));
}

TEST_F(RouterTest, EnterAppliesThePendingSelectionAtOnce) {
    targets.osdAlive = true;
    targets.osdMode = 2;
    Hook(VK_RETURN, 0x1C);
    EXPECT_EQ(targets.calls, (Calls{"ProcessKey 13 28 0", "HideOsd", "SendOsdSelectionTimer"}));
    targets.calls.clear();
    targets.osdAlive = false;
    Hook(VK_RETURN, 0x1C);
    EXPECT_EQ(targets.calls, (Calls{"ProcessKey 13 28 0"}));
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
        EXPECT_EQ(targets.calls, (Calls{GetParam().expected}));
    } else {
        EXPECT_TRUE(targets.calls.empty()) << targets.Joined();
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
    EXPECT_TRUE(targets.calls.empty());
}

TEST_F(RouterTest, SiblingCodesAreIgnoredWithoutUsbModelOrExternalKeyMode) {
    bool returned = true;
    Sibling(8, 0, &returned);
    EXPECT_FALSE(returned);
    Sibling(53, 1);
    EXPECT_TRUE(targets.calls.empty());
    Sibling(73);
    EXPECT_EQ(targets.calls, (Calls{"RestartTimer 5 5000", "SetWirelessKeyBlock"}));
}

TEST_F(RouterTest, ExternalKeyModeOpensAndClosesTheSiblingRoad) {
    Send(WM_VQ_EXTKEY_ON, 0);
    Sibling(8);
    EXPECT_EQ(targets.calls, (Calls{"ProcessKey 255 8 1"}));
    Send(WM_VQ_EXTKEY_OFF, 0);
    targets.calls.clear();
    Sibling(8);
    EXPECT_TRUE(targets.calls.empty());
}

struct SiblingCase {
    WPARAM code;
    LPARAM argument;
    Calls expected;
    LRESULT result;  // -1: default processing follows
};

class SiblingCodeTest : public RouterTest, public ::testing::WithParamInterface<SiblingCase> {};

TEST_P(SiblingCodeTest, CodeRoutesAsTheTableSays) {
    proc::usbKeyboardModel = true;
    targets.graphicsDriver = true;
    targets.menuRequestResult = 0x1234;
    targets.activeDisplay = 3;
    targets.connectedDisplay = 5;
    const SiblingCase& c = GetParam();
    EXPECT_EQ(Sibling(c.code, c.argument), c.result);
    EXPECT_EQ(targets.calls, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, SiblingCodeTest,
    ::testing::Values(
        SiblingCase{1, 0, {"OnDisplaySwitchKey"}, -1},
        SiblingCase{9, 0, {"SelectSrsEffect"}, -1},
        SiblingCase{14, 0, {"SetVolumeKeyPending", "RestartTimer 1 1000", "DispatchHotkey 14", "ProcessKey 255 14 1"}, -1},
        SiblingCase{16, 0, {"HandleModifiedKey 16", "ReloadVolumeSetting", "OnVolumeKey 16"}, -1},
        SiblingCase{17, 0, {"HideOsd", "DispatchHotkey 17", "PumpMessagesFor 70 5", "HideOsd", "RotateDisplayStep 0"}, -1},
        SiblingCase{42, 0, {"HideOsd", "DispatchHotkey 42", "PumpMessagesFor 70 5", "HideOsd", "RotateDisplayStep 42"}, -1},
        SiblingCase{18, 0, {"SelectResolution"}, -1},
        SiblingCase{19, 0, {"DispatchMenuRequest 19 0"}, 0x1234},
        SiblingCase{71, 0, {"DispatchMenuRequest 71 0"}, 0x1234},
        SiblingCase{43, 1, {"DispatchMenuRequest 43 1"}, -1},
        SiblingCase{47, 0, {"DispatchMenuRequest 47 0"}, -1},
        SiblingCase{48, 0, {"RefreshActiveDisplay"}, 3},
        SiblingCase{49, 0, {"RefreshConnectedDisplay"}, 5},
        SiblingCase{51, 0, {"ResolutionStep 1 0"}, -1},
        SiblingCase{52, 0, {"ResolutionStep 0 0"}, -1},
        SiblingCase{53, 0x103, {"ChangeDisplayCombination 259 1"}, -1},
        SiblingCase{60, 77, {"KeepTimer153Argument 77", "RestartTimer 153 100"}, -1},
        SiblingCase{61, 0, {"StopTimer 153"}, -1},
        SiblingCase{62, 2, {"GetConnectedDisplays", "ChangeDisplayCombination 2 1"}, -1},
        SiblingCase{70, 90, {"HideOsd", "RotateDisplayUnderCursor 90", "DispatchHotkey 70"}, -1},
        SiblingCase{8, 0, {"ProcessKey 255 8 1"}, -1}));

TEST_F(RouterTest, VolumeCodeResultFollowsHandleModifiedKey) {
    proc::usbKeyboardModel = true;
    targets.handleModifiedResult = 0;
    EXPECT_EQ(Sibling(15), 0);
    EXPECT_EQ(targets.calls, (Calls{"HandleModifiedKey 15"}));
    targets.calls.clear();
    targets.handleModifiedResult = 255;
    targets.handleModifiedHandled = true;
    EXPECT_EQ(Sibling(15), 1);
    EXPECT_EQ(targets.calls, (Calls{"HandleModifiedKey 15"}));
}

TEST_F(RouterTest, CombinationWithoutGraphicsDriverReturnsZeroAndChangesNothing) {
    proc::usbKeyboardModel = true;
    targets.graphicsDriver = false;
    EXPECT_EQ(Sibling(53, 0x101), 0);
    EXPECT_TRUE(targets.calls.empty());
}

TEST_F(RouterTest, ProcessKeySwallowingASiblingCodeReturnsZero) {
    proc::usbKeyboardModel = true;
    targets.processKeyResult = 0;
    EXPECT_EQ(Sibling(8), 0);
}

TEST_F(RouterTest, MenuStatusValuesAreStoredForTheMenuProgram) {
    proc::usbKeyboardModel = true;
    targets.activeDisplay = 0x101;
    targets.connectedDisplay = 3;
    Sibling(48);
    Sibling(49);
    EXPECT_EQ(settings::ReadInt(settings::kMenuDisplay), 0x101);
    EXPECT_EQ(settings::ReadInt(settings::kMenuConnectedDisplay), 3);
}

TEST_F(RouterTest, RotationAnswerAsksTheSelectorOnlyOnFamilyOne) {
    proc::usbKeyboardModel = true;
    targets.canRotate = 0;
    proc::modelFamily = 3;
    Sibling(24);
    EXPECT_EQ(settings::ReadInt(settings::kMenuRotation), 1);
    EXPECT_TRUE(targets.Matching("CanRotate").empty());
    proc::modelFamily = 1;
    Sibling(24);
    EXPECT_EQ(settings::ReadInt(settings::kMenuRotation), 0);
    EXPECT_EQ(targets.Matching("CanRotate").size(), 1u);
}

TEST_F(RouterTest, SuspendWithdrawsAndArmsTheReannounce) {
    targets.graphicsDriver = true;
    Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
    EXPECT_EQ(targets.calls, (Calls{"Bios 9 131", "Bios 9 130", "ExecuteCommand 0 0 0", "SetDriverSuspendFlag",
                                    "SetPostResumeDeviceEventCounter 15"}));
    EXPECT_TRUE(router.BiosReannouncePending());
}

TEST_F(RouterTest, ResumeAnnouncesAndRunsItsCommands) {
    Send(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    EXPECT_EQ(targets.calls, (Calls{"Bios 9 3", "Bios 9 2", "ExecuteCommand 4 0 5", "ExecuteCommand 8 0 0",
                                    "SetPostResumeDeviceEventCounter 15", "RestartTimer 147 10000"}));
}

TEST_F(RouterTest, SessionEventsAnnounceAndWithdrawInTheirOrder) {
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGOFF);
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOGON);
    Send(WM_QUERYENDSESSION, 0);
    Send(WM_ENDSESSION, 1);
    EXPECT_EQ(targets.calls,
              (Calls{"Bios 9 130", "Bios 9 131", "Bios 9 2", "Bios 9 3", "ExecuteCommand 4 0 0", "Bios 9 130",
                     "Bios 9 131", "Bios 9 2", "Bios 9 3", "ExecuteCommand 4 0 0", "Bios 9 131", "Bios 9 130",
                     "ExecuteCommand 0 0 0"}));
}

TEST_F(RouterTest, FirstKeyAfterALockAnnouncesBeforeItIsProcessed) {
    Send(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK);
    targets.calls.clear();
    Hook(0xFF, 8, 0x80);  // a release does not count as the next key
    EXPECT_TRUE(targets.calls.empty());
    Hook(0xFF, 8);
    Hook(0xFF, 9);
    EXPECT_EQ(targets.calls, (Calls{"Bios 9 3", "Bios 9 2", "ProcessKey 255 8 0", "ProcessKey 255 9 0"}));
}

TEST_F(RouterTest, SiblingKeyAfterSuspendAnnouncesFirst) {
    proc::usbKeyboardModel = true;
    router.SetBiosReannouncePending(true);
    Sibling(8);
    EXPECT_EQ(targets.calls, (Calls{"Bios 9 3", "Bios 9 2", "ProcessKey 255 8 1"}));
}

TEST_F(RouterTest, DeviceEventsReachDetectionAndFamilyTenCommand) {
    Send(WM_DEVICECHANGE, 0x8004, 1234);
    EXPECT_EQ(targets.calls, (Calls{"DeviceDetection 1234 32772"}));
    targets.calls.clear();
    proc::modelFamily = 10;
    Send(WM_DEVICECHANGE, 0x8004, 1234);
    Send(WM_DEVICECHANGE, 0x8000, 1234);  // arrival: detection only
    Send(WM_DEVICECHANGE, 0x0007, 0);     // no data: detection only
    EXPECT_EQ(targets.calls, (Calls{"ExecuteCommand 12 1234 0", "DeviceDetection 1234 32772",
                                    "DeviceDetection 1234 32768", "DeviceDetection 0 7"}));
}

TEST_F(RouterTest, DisplayChangeRefreshesTheMiniUiOnlyWhenShown) {
    Send(WM_DISPLAYCHANGE, 32);
    EXPECT_EQ(targets.calls, (Calls{"ExecuteCommand 1 0 0"}));
    targets.calls.clear();
    targets.miniUiShown = true;
    Send(WM_DISPLAYCHANGE, 32);
    EXPECT_EQ(targets.calls, (Calls{"ExecuteCommand 1 0 0", "RefreshMiniUiResolutionPanel", "RestartTimer 4 1000"}));
}

TEST_F(RouterTest, AudioNotificationsReachOnVolumeNotify) {
    Send(WM_VQ_MIXER_CHANGE, 0, 0);
    Send(WM_VQ_ENDPOINT_VOLUME, 0, 0);
    EXPECT_EQ(targets.calls, (Calls{"OnVolumeNotify", "OnVolumeNotify"}));
}

}  // namespace
