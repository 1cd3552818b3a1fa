// The main window's life: tear-down by "QUIT" and WM_CLOSE with the hook
// library unhooked on every version, no timer left running after a resume
// and the settle periods, the test cycle's timer, and device notifications
// reaching display detection.
#include <windows.h>
#include <dbt.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "programtest.h"
#include "simmonitors.h"
#include "vqdrive.h"

namespace {

constexpr WPARAM kQuitButton = 1001;
constexpr UINT kExternalKeyModeOn = 0x46E;
constexpr WPARAM kStartTestCycle = 60;
constexpr WPARAM kStopTestCycle = 61;

// The monitor device interface class, as Windows names it in its notifications.
constexpr GUID kMonitorInterface = {0xE6F07B5F, 0xEE97, 0x4A90, {0xB0, 0x76, 0x33, 0xF5, 0x7B, 0xF4, 0xEA, 0xA7}};

class MainWindowTest : public ProgramTest {
protected:
    size_t Count(const std::string& needle) const {
        const std::vector<std::string> lines = TraceLines();
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(needle) != std::string::npos;
        }));
    }
    // Trace lines that are exactly `line`.
    size_t CountLines(const std::string& line) const {
        const std::vector<std::string> lines = TraceLines();
        return static_cast<size_t>(std::count(lines.begin(), lines.end(), line));
    }
    // The timer expiries heard so far: the main window traces "timer <id>" for each.
    std::vector<std::string> TimerExpiries() const {
        std::vector<std::string> timers;
        for (const std::string& line : TraceLines()) {
            if (line.rfind("timer ", 0) == 0) timers.push_back(line);
        }
        return timers;
    }
    bool WaitForLine(const std::string& line, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        while (CountLines(line) == 0) {
            if (GetTickCount() - start >= timeoutMs) return false;
            vqdrive::Pause(20);
        }
        return true;
    }
    static std::string Joined(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) text += line + "\n";
        return text;
    }
    // What Windows sends when a monitor's device interface arrives or goes.
    void SendMonitorInterface(WPARAM event) {
        DEV_BROADCAST_DEVICEINTERFACE_W record{};
        record.dbcc_size = sizeof record;
        record.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
        record.dbcc_classguid = kMonitorInterface;
        SendMessageW(window_, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&record));
    }
};

struct EndCase {
    const wchar_t* version;
    bool byQuitButton;
    bool hookOwnerSet;  // the hook road; Windows 7 takes raw input instead
};

class TearDownTest : public MainWindowTest, public ::testing::WithParamInterface<EndCase> {};

TEST_P(TearDownTest, ProgramEndsCleanlyAndUnhooksTheKeyboardLibrary) {
    const EndCase& c = GetParam();
    Start(c.version);
    EXPECT_EQ(Count("TrapkeyPS2: KbdHkSetHookOwner"), c.hookOwnerSet ? 1u : 0u) << TraceText();
    if (c.byQuitButton) {
        PostMessageW(window_, WM_COMMAND, MAKEWPARAM(kQuitButton, BN_CLICKED), 0);
    } else {
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    EXPECT_EQ(program_.WaitForExit(10000), 0u);
    EXPECT_TRUE(WaitForTrace("TrapkeyPS2: KbdHkSetUnhook", 2000)) << TraceText();
    EXPECT_EQ(Count("TrapkeyPS2: KbdHkSetUnhook"), 1u);
}

INSTANTIATE_TEST_SUITE_P(Versions, TearDownTest,
                         ::testing::Values(EndCase{L"win7", true, false}, EndCase{L"win7", false, false},
                                           EndCase{L"vista", true, true}, EndCase{L"winxp", false, true},
                                           EndCase{L"win2k", true, true}));

TEST_F(MainWindowTest, TheOtherTestButtonsDoNothing) {
    Start(L"win7");
    for (WPARAM button : {1000, 1008, 1009, 1013, 1014}) {
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    }
    vqdrive::Pause(300);
    EXPECT_TRUE(program_.Running());
    EXPECT_TRUE(IsWindow(window_));
}

TEST_F(MainWindowTest, NoTimerRunsAfterASuspendResumeCycleAndTheSettlePeriods) {
    Start(L"win7");
    vqdrive::SendPower(window_, PBT_APMSUSPEND);
    vqdrive::SendPower(window_, PBT_APMRESUMEAUTOMATIC);
    // Timer 147 ends the post-resume period after 10 s, once.
    ASSERT_TRUE(WaitForLine("timer 147", 13000)) << TraceText();
    const std::vector<std::string> settled = TimerExpiries();
    vqdrive::Pause(11000);
    EXPECT_EQ(TimerExpiries(), settled) << "a timer still runs:\n" << Joined(TimerExpiries());
    EXPECT_EQ(CountLines("timer 147"), 1u);
}

TEST_F(MainWindowTest, TestCycleRunsOnePassAndThenWaitsUntilStopped) {
    Start(L"win7");
    SendMessageW(window_, kExternalKeyModeOn, 0, 0);
    vqdrive::SendSibling(window_, kStartTestCycle, 1);
    ASSERT_TRUE(WaitForLine("timer 153", 3000)) << TraceText();
    vqdrive::Pause(2000);
    EXPECT_EQ(CountLines("timer 153"), 1u) << "the next pass comes after 8 s";
    EXPECT_EQ(Count("call SelectDisplayCombination 0"), 1u);
    vqdrive::SendSibling(window_, kStopTestCycle, 0);
    vqdrive::Pause(8500);
    EXPECT_EQ(CountLines("timer 153"), 1u) << Joined(TimerExpiries());
}

TEST_F(MainWindowTest, MonitorHotPlugNotificationsReachDetection) {
    const std::wstring history = vqdrive::ProgramFolder() + L"dispHistory.dat";
    vqdrive::DeleteFileIfPresent(history);
    Start(L"win7");
    vqdrive::SimulatedMonitors monitors;
    ASSERT_TRUE(monitors.Attach(vqdrive::kExternalMonitorA));
    // Windows' burst for a monitor: the interface arrival and device-node changes.
    SendMonitorInterface(DBT_DEVICEARRIVAL);
    for (int i = 0; i < 5; ++i) SendMessageW(window_, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    ASSERT_TRUE(monitors.Detach(vqdrive::kExternalMonitorA));
    SendMonitorInterface(DBT_DEVICEREMOVECOMPLETE);
    SendMessageW(window_, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0);
    vqdrive::Pause(300);
    EXPECT_TRUE(program_.Running());
    // Only the device-node changes go on to detection, which asks for a
    // graphics driver first; without one the events are ignored.
    EXPECT_EQ(Count("call HasGraphicsDriver"), 6u) << TraceText();
    EXPECT_EQ(GetFileAttributesW(history.c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
