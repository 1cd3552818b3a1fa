// The main window's numbered commands: model and version gates, the lock-key
// rules, the Num Lock indicator, the eject thread, the device-interface
// registration and the adapter notification that reloads the USB library.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/keypreprocessor.h"
#include "app/maincommands.h"
#include "common/processstate.h"
#include "keyfakes.h"
#include "keyfixture.h"

namespace {

using keytest::SetKeys;
using Calls = std::vector<std::string>;

class MainCommandsTest : public keytest::KeyTest {
protected:
    void TearDown() override {
        SetEvent(gate);
        commands.WaitForEjectThread(5000);
        CloseHandle(gate);
        KeyTest::TearDown();
    }
    int Run(MainCommand command) { return commands.ExecuteCommand(command); }

    RecordingPorts ports;
    RecordingKeyPlatform platform;
    CMainCommands commands{ports.Commands(), platform};
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
};

TEST_F(MainCommandsTest, LockKeysTellWhichWayTheyTurn) {
    struct Case { MainCommand command; int virtualKey; int onCode; int offCode; };
    const Case keys[] = {{MainCommand::ShowNumLockChange, VK_NUMLOCK, 129, 128},
                         {MainCommand::ShowScrollLockChange, VK_SCROLL, 131, 130},
                         {MainCommand::ShowCapsLockChange, VK_CAPITAL, 133, 132}};
    // State byte while the key is held -> GetKeyState 0x0001, 0xFF80 (on), 0x0000, 0xFF81 (off).
    struct State { BYTE byte; bool turningOn; };
    const State states[] = {{0x01, true}, {0x80, true}, {0x00, false}, {0x81, false}};
    for (const Case& k : keys) {
        for (const State& s : states) {
            ports.Clear();
            SetKeys({{k.virtualKey, s.byte}});
            EXPECT_EQ(Run(k.command), 1);
            const int expected = s.turningOn ? k.onCode : k.offCode;
            EXPECT_EQ(ports.Calls(), (Calls{"ProcessHotkey " + std::to_string(expected)}))
                << static_cast<int>(k.command) << " state " << int(s.byte);
        }
    }
}

TEST_F(MainCommandsTest, NumLockIndicatorFollowsTheNumLockState) {
    proc::modelFamily = 4;
    SetKeys({{VK_NUMLOCK, 0x01}});
    EXPECT_EQ(Run(MainCommand::ShowNumLockIndicator), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"CreateNumLockWindow", "ShowNumLockWindow"}));
    EXPECT_TRUE(platform.Calls().empty());

    ports.Clear();
    EXPECT_EQ(commands.ExecuteCommand(NumLockIndicatorRequest{.bringLightInStep = true}), 1);  // after resume: two presses bring the light back in step
    EXPECT_EQ(ports.Calls(), (Calls{"ShowNumLockWindow"}));
    ASSERT_EQ(platform.sentInput.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(platform.sentInput[i].ki.wVk, VK_NUMLOCK);
        EXPECT_EQ((platform.sentInput[i].ki.dwFlags & KEYEVENTF_KEYUP) != 0, i % 2 == 1) << i;
    }

    ports.Clear();
    SetKeys();
    EXPECT_EQ(Run(MainCommand::ShowNumLockIndicator), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"DestroyNumLockWindow"}));
}

TEST_F(MainCommandsTest, ModelAndVersionGates) {
    struct Case { const char* name; MainCommand command; int family; int version; int result; Calls calls; Calls platform; };
    const Case cases[] = {
        {"Num Lock window elsewhere", MainCommand::ShowNumLockIndicator, 3, 7, 1, {}, {}},
        {"Media Center tray", MainCommand::EndMediaCenterVolumeBar, 0, 6, 1, {}, {"TerminateProcessesNamed ehtray.exe"}},
        {"no Media Center", MainCommand::EndMediaCenterVolumeBar, 0, 5, 0, {}, {}},
        {"notice timer", MainCommand::RestartNoticeTimer, 0, 7, 1, {"RestartTimer 3 3000"}, {}},
        {"wireless radio elsewhere", MainCommand::ApplyWirelessRadio, 4, 7, 1, {}, {}},
        {"wireless radio", MainCommand::ApplyWirelessRadio, 10, 7, 1, {"GetWirelessStatus"}, {"StartProgram wlan radio off 0"}},
        {"Intel step", MainCommand::ApplyDownScaling, 1, 7, 1, {"ApplyDownScalingToCurrentMode"}, {}},
        {"Intel step elsewhere", MainCommand::ApplyDownScaling, 2, 7, 1, {}, {}},
        {"before sleep without resolution selector", MainCommand::ResetResolutionBeforeSleep, 1, 7, 1, {}, {}},
        {"display change elsewhere", MainCommand::FollowDisplayChange, 4, 7, 1, {}, {}},
        {"nothing 2", MainCommand::Unused2, 1, 8, 1, {}, {}},
        {"nothing 5", MainCommand::Unused5, 1, 8, 1, {}, {}},
        {"nothing 15", MainCommand::Unused15, 1, 8, 1, {}, {}},
        {"unknown", static_cast<MainCommand>(17), 1, 8, 0, {}, {}},
        {"negative", static_cast<MainCommand>(-1), 1, 8, 0, {}, {}},
    };
    for (const Case& c : cases) {
        ports.Clear();
        platform.Clear();
        proc::modelFamily = c.family;
        proc::windowsVersion = c.version;
        EXPECT_EQ(Run(c.command), c.result) << c.name;
        EXPECT_EQ(ports.Calls(), c.calls) << c.name;
        EXPECT_EQ(platform.Calls(), c.platform) << c.name;
    }
}

TEST_F(MainCommandsTest, WirelessRadioCommandFollowsTheFirmware) {
    proc::modelFamily = 10;
    ports.firmware.wirelessOn = 1;
    Run(MainCommand::ApplyWirelessRadio);
    EXPECT_EQ(platform.Calls(), (Calls{"StartProgram wlan radio on 0"}));
    platform.Clear();
    ports.firmware.wirelessResult = 0;  // not controllable: nothing to tell the adapter
    Run(MainCommand::ApplyWirelessRadio);
    EXPECT_TRUE(platform.Calls().empty());
}

TEST_F(MainCommandsTest, ResolutionSelectorIsRenewedBeforeSleep) {
    proc::modelFamily = 1;
    ports.selectors.resolutionSelector = true;
    EXPECT_EQ(Run(MainCommand::ResetResolutionBeforeSleep), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"RenewResolutionSelector", "WaResetResolutionBeforeS3S4"}));
}

TEST_F(MainCommandsTest, DisplayChangeOnSmallPanelModelsSetsTheScreenSaver) {
    proc::modelFamily = 1;
    struct Case { const char* name; SIZE screen; bool onlyPanel; int outputs; Calls platform; };
    const Case cases[] = {
        {"800 x 480", {800, 480}, false, 0x03, {"SetScreenSaverActive 1"}},
        {"480 x 800", {480, 800}, false, 0x03, {"SetScreenSaverActive 1"}},
        {"only the panel", {1024, 600}, true, 0x03, {"SetScreenSaverActive 1"}},
        {"clone", {1024, 600}, false, 0x03, {"SetScreenSaverActive 0"}},
        {"external only", {1024, 600}, false, 0x02, {"SetScreenSaverActive 0"}},
        {"panel after refresh", {1024, 600}, false, 0x01, {}},
    };
    for (const Case& c : cases) {
        platform.Clear();
        platform.screen = c.screen;
        ports.outputs.onlyPanelActive = c.onlyPanel;
        ports.outputs.activeOutputs = c.outputs;
        EXPECT_EQ(Run(MainCommand::FollowDisplayChange), 1) << c.name;
        EXPECT_EQ(platform.Calls(), c.platform) << c.name;
    }
    ports.display.graphicsDriver = false;
    EXPECT_EQ(Run(MainCommand::FollowDisplayChange), 0);
}

TEST_F(MainCommandsTest, ScreenSaverFailureIsReported) {
    proc::modelFamily = 1;
    platform.screenSaverResult = false;
    platform.screen = {800, 480};
    keytest::LogWatch log;
    Run(MainCommand::FollowDisplayChange);
    platform.screen = {1024, 768};
    ports.outputs.activeOutputs = 0x03;
    Run(MainCommand::FollowDisplayChange);
    EXPECT_TRUE(log.Contains("fail: SPI_SETSCREENSAVEACTIVE(TRUE)"));
    EXPECT_TRUE(log.Contains("fail: SPI_SETSCREENSAVEACTIVE(FALSE)"));
}

TEST_F(MainCommandsTest, WheelKeysOfFamilyTenBecomeHotkeys) {
    proc::modelFamily = 10;
    struct Case { int vk, scan, expectedVk, expectedScan, expectedExtended; };
    const Case cases[] = {{129, 105, 0xFF, 8, 1}, {130, 106, 0xFF, 9, 1}, {131, 107, 0xFF, 12, 1},
                          {132, 108, 0xFF, 13, 1}, {129, 106, 129, 106, 0}, {0x41, 0x1E, 0x41, 0x1E, 0}};
    for (const Case& c : cases) {
        int vk = c.vk, scan = c.scan, extended = 0;
        EXPECT_EQ(commands.ExecuteCommand(WheelKeyRewrite{&vk, &scan, &extended}), 1);
        EXPECT_EQ(vk, c.expectedVk) << c.vk;
        EXPECT_EQ(scan, c.expectedScan) << c.vk;
        EXPECT_EQ(extended, c.expectedExtended) << c.vk;
    }
    int vk = 129, scan = 105;
    proc::modelFamily = 4;
    commands.ExecuteCommand(WheelKeyRewrite{&vk, &scan});
    EXPECT_EQ(vk, 129);
    EXPECT_EQ(Run(MainCommand::RewriteWheelKey), 1);  // no key given
}

TEST_F(MainCommandsTest, NetworkAdapterNotificationIsRegisteredAndWithdrawn) {
    EXPECT_EQ(Run(MainCommand::RegisterNetworkAdapterNotification), 1);
    EXPECT_EQ(platform.Calls(), (Calls{"RegisterInterfaceNotification 4660"}));
    const GUID adapter = {0xad498944, 0x762f, 0x11d0, {0x8d, 0xcb, 0x00, 0xc0, 0x4f, 0xc3, 0x35, 0x8c}};
    EXPECT_TRUE(IsEqualGUID(platform.registeredClass, adapter));
    EXPECT_TRUE(commands.HasDeviceNotification());
    platform.Clear();
    commands.ReleaseDeviceNotification();
    EXPECT_EQ(platform.Calls(), (Calls{"UnregisterNotification 22136"}));
    EXPECT_FALSE(commands.HasDeviceNotification());
}

TEST_F(MainCommandsTest, FailedRegistrationIsReported) {
    platform.notification = nullptr;
    keytest::LogWatch log;
    EXPECT_EQ(Run(MainCommand::RegisterNetworkAdapterNotification), 0);
    EXPECT_TRUE(log.Contains("Can't register device notification"));
    EXPECT_FALSE(commands.HasDeviceNotification());
}

TEST_F(MainCommandsTest, NotificationIsWithdrawnWhenTheCommandsEnd) {
    RecordingKeyPlatform own;
    {
        CMainCommands scoped{ports.Commands(), own};
        scoped.ExecuteCommand(MainCommand::RegisterNetworkAdapterNotification);
    }
    EXPECT_EQ(own.Matching("UnregisterNotification"), (Calls{"UnregisterNotification 22136"}));
}

// Device-change records of various shapes, as another process might send them.
class AdapterEventTest : public MainCommandsTest {
protected:
    void SetUp() override {
        MainCommandsTest::SetUp();
        proc::modelFamily = 10;
    }
    std::vector<BYTE> InterfaceRecord(const std::wstring& name) {
        const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
        std::vector<BYTE> bytes(nameOffset + (name.size() + 1) * sizeof(wchar_t), 0);
        auto* record = reinterpret_cast<DEV_BROADCAST_DEVICEINTERFACE_W*>(bytes.data());
        record->dbcc_size = static_cast<DWORD>(bytes.size());
        record->dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        std::memcpy(bytes.data() + nameOffset, name.c_str(), (name.size() + 1) * sizeof(wchar_t));
        return bytes;
    }
    int Notify(const void* record) { return commands.ExecuteCommand(AdapterEventRequest{record}); }
};

TEST_F(AdapterEventTest, NetworkAdapterInterfaceReloadsTheUsbLibrary) {
    auto record = InterfaceRecord(L"\\\\?\\PCI#VEN_8086#3&1#{ad498944-762f-11d0-8dcb-00c04fc3358c}\\x");
    EXPECT_EQ(Notify(record.data()), 1);
    EXPECT_EQ(ports.Calls(), (Calls{"ReloadUsbKeyboardLibrary"}));

    ports.Clear();
    proc::modelFamily = 4;
    Notify(record.data());
    EXPECT_TRUE(ports.Calls().empty());
}

TEST_F(AdapterEventTest, OtherOrBrokenRecordsChangeNothing) {
    auto other = InterfaceRecord(L"\\\\?\\USB#VID_1234#{a5dcbf10-6530-11d2-901f-00c04fb951ed}");
    auto volume = InterfaceRecord(L"{ad498944-762f-11d0-8dcb-00c04fc3358c}");
    reinterpret_cast<DEV_BROADCAST_HDR*>(volume.data())->dbch_devicetype = DBT_DEVTYP_VOLUME;
    auto oversized = InterfaceRecord(L"{ad498944-762f-11d0-8dcb-00c04fc3358c}");
    reinterpret_cast<DEV_BROADCAST_HDR*>(oversized.data())->dbch_size = 0x7FFFFFFF;
    auto unterminated = InterfaceRecord(L"{ad498944-762f-11d0-8dcb-00c04fc3358c}");
    reinterpret_cast<DEV_BROADCAST_HDR*>(unterminated.data())->dbch_size -= 20 * sizeof(wchar_t);

    for (const void* record : {static_cast<const void*>(other.data()), static_cast<const void*>(volume.data()),
                               static_cast<const void*>(oversized.data()),
                               static_cast<const void*>(unterminated.data()), static_cast<const void*>(nullptr),
                               reinterpret_cast<const void*>(0x10)}) {
        EXPECT_EQ(Notify(record), 1);
    }
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
}

// Optical drive eject (command 11 and its thread).
TEST_F(MainCommandsTest, EjectOpensTheDoorOnItsOwnThread) {
    EXPECT_EQ(Run(MainCommand::EjectOpticalDrive), 1);
    EXPECT_TRUE(commands.EjectRequested());
    ASSERT_TRUE(commands.WaitForEjectThread(5000));
    EXPECT_EQ(platform.Calls(), (Calls{"SendMciCommand Set CDAudio Door Open"}));
    EXPECT_EQ(ports.Calls(), (Calls{"StopTimer 6", "RestartTimer 6 15000", "ProcessHotkey 134", "StopTimer 6"}));
    EXPECT_FALSE(commands.EjectBusy());
}

TEST_F(MainCommandsTest, EjectKeyGoesToTheCommand) {
    CKeyPreprocessor keys{ports.Keys(commands), platform};
    EXPECT_EQ(keys.ProcessKey(0xFF, 58, KeySource::HookOrRawInput), 255);
    ASSERT_TRUE(commands.WaitForEjectThread(5000));
    EXPECT_TRUE(platform.Has("SendMciCommand Set CDAudio Door Open"));
}

TEST_F(MainCommandsTest, SecondEjectWhileTheDoorMovesIsRefused) {
    platform.mciGate = gate;
    Run(MainCommand::EjectOpticalDrive);
    for (int i = 0; i < 200 && !commands.EjectBusy(); ++i) Sleep(5);
    ASSERT_TRUE(commands.EjectBusy());
    ports.Clear();
    EXPECT_EQ(Run(MainCommand::EjectOpticalDrive), 1);
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
    EXPECT_TRUE(commands.EjectRequested());
    SetEvent(gate);
    ASSERT_TRUE(commands.WaitForEjectThread(5000));
    EXPECT_EQ(platform.Matching("SendMciCommand").size(), 1u);
}

TEST_F(MainCommandsTest, EjectErrorIsReportedAsItsNumber) {
    platform.mciError = 263;
    keytest::LogWatch log;
    Run(MainCommand::EjectOpticalDrive);
    ASSERT_TRUE(commands.WaitForEjectThread(5000));
    EXPECT_TRUE(log.Contains(": 0x107\n")) << log.Added();
    EXPECT_FALSE(commands.EjectBusy());
}

TEST_F(MainCommandsTest, EjectTimerEndsAStuckEject) {
    platform.mciGate = gate;
    Run(MainCommand::EjectOpticalDrive);
    for (int i = 0; i < 200 && !commands.EjectBusy(); ++i) Sleep(5);
    commands.OnEjectTimerExpired();
    EXPECT_FALSE(commands.EjectBusy());
    // The thread still hangs in the MCI call: a new press does not start a second one.
    ports.Clear();
    Run(MainCommand::EjectOpticalDrive);
    EXPECT_TRUE(ports.Calls().empty()) << ports.Joined();
    SetEvent(gate);
    EXPECT_TRUE(commands.WaitForEjectThread(5000));
}

}  // namespace
