// Display detection: one reaction per burst of device events, connections and
// removals, the post-resume skip, the timers that end its blocking periods
// and the mini UI's countdown.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/displaydetection.h"
#include "app/displayhistoryformat.h"
#include "app/displayswitchtestcycle.h"
#include "app/maintimers.h"
#include "common/processstate.h"
#include "programtest.h"
#include "recordingports.h"
#include "reportlog.h"
#include "vqdrive.h"

namespace {

using Ids = std::vector<std::wstring>;
constexpr WPARAM kDevNodesChanged = 7;
constexpr WPARAM kDeviceArrival = 0x8000;

const std::wstring kPanel = L"DISPLAY\\VQP1366";
const std::wstring kMonitorA = L"DISPLAY\\VQE2201";
const std::wstring kMonitorB = L"DISPLAY\\VQE1905";
const std::wstring kDefault = L"DISPLAY\\DEFAULT_MONITOR";

class FakeMonitors : public IMonitorIdentities, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    Ids attached;
    bool readable = true;
    int ReadMonitorIdentifiers(Ids* identifiers) override {
        log.Record("ReadMonitorIdentifiers");
        if (!readable) return 0;
        *identifiers = attached;
        return 1;
    }
};

class DetectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        savedVersion_ = proc::windowsVersion;
        savedVendor_ = proc::graphicsVendor;
        proc::windowsVersion = 8;
        proc::graphicsVendor = 3;
        vqdrive::DeleteFileIfPresent(historyPath_);
        ports_.miniUi.reactsOnlyToNew = true;
        // Start-up: the panel is known.
        monitors_.attached = {kPanel};
        detection_.TakeCurrentMonitorsAsKnown();
        ports_.Clear();
    }
    void TearDown() override {
        proc::windowsVersion = savedVersion_;
        proc::graphicsVendor = savedVendor_;
        vqdrive::DeleteFileIfPresent(historyPath_);
    }
    int Event(WPARAM event = kDevNodesChanged) { return detection_.DetectingDisplayModule(0, event); }
    void Expire(UINT_PTR id) { EXPECT_TRUE(detection_.OnTimer(id)) << id; }
    std::vector<std::string> Calls(const std::string& prefix) const { return ports_.Matching(prefix); }
    void WriteHistory(const Ids& ids) {
        const std::string bytes = displayhistoryformat::Serialize(ids);
        HANDLE file = CreateFileW(historyPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }

    int savedVersion_ = 0;
    int savedVendor_ = 0;
    std::wstring historyPath_ = TempPath(L"dispHistory_detect.dat");
    RecordingPorts ports_;
    FakeMonitors monitors_{ports_};
    CDisplayDetection detection_{{.display = ports_.display,
                                  .monitors = monitors_,
                                  .miniUi = ports_.miniUi,
                                  .magnifier = ports_.magnifier,
                                  .timers = ports_.timers},
                                 historyPath_};
};

TEST_F(DetectionTest, BurstForUnchangedMonitorsDetectsOnceThenBlocksUntilTimer7) {
    EXPECT_EQ(Event(), 1);
    EXPECT_EQ(Calls("ReadMonitorIdentifiers").size(), 1u);
    EXPECT_TRUE(ports_.Has("RestartTimer 7 50"));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(Event(), 1);
    EXPECT_EQ(Calls("ReadMonitorIdentifiers").size(), 1u) << "the rest of the burst is blocked";
    Expire(kTimerDetectBlock);
    EXPECT_TRUE(ports_.Has("StopTimer 7"));
    Event();
    EXPECT_EQ(Calls("ReadMonitorIdentifiers").size(), 2u) << "a later event detects again";
    EXPECT_TRUE(Calls("ShowMiniUI").empty());
}

TEST_F(DetectionTest, BlockEndsByItselfWhenItsTimerIsLost) {
    Event();
    for (int i = 0; i < 7; ++i) Event();
    Event();
    EXPECT_EQ(Calls("ReadMonitorIdentifiers").size(), 2u);
}

TEST_F(DetectionTest, OnlyDeviceNodeChangesDetectAndOnlyWithDriverAndMiniUi) {
    EXPECT_EQ(Event(kDeviceArrival), 1);
    ports_.display.graphicsDriver = false;
    EXPECT_EQ(Event(), 0);
    ports_.display.graphicsDriver = true;
    ports_.miniUi.miniUiManager = false;
    EXPECT_EQ(Event(), 0);
    ports_.miniUi.miniUiManager = true;
    ports_.miniUi.reactsToConnected = false;
    EXPECT_EQ(Event(), 1);
    EXPECT_TRUE(Calls("ReadMonitorIdentifiers").empty());
}

TEST_F(DetectionTest, ConnectingANewMonitorWritesTheHistoryOnceAndStartsTheCountdown) {
    WriteHistory({kPanel});
    ports_.miniUi.autoHide = true;
    monitors_.attached = {kPanel, kMonitorA};
    EXPECT_EQ(Event(), 1);
    EXPECT_EQ(vqdrive::ReadFileBytes(historyPath_), displayhistoryformat::Serialize({kMonitorA, kPanel}));
    EXPECT_TRUE(ports_.Has("RestartTimer 149 1000"));
    EXPECT_TRUE(ports_.Has("RestartTimer 145 3000"));
    EXPECT_EQ(detection_.KnownMonitorCount(), 2);
    // The burst goes on with the same monitors: detected as unchanged, no second reaction.
    EXPECT_EQ(Event(), 1);
    EXPECT_EQ(Calls("RestartTimer 149").size(), 1u);
    EXPECT_EQ(Calls("ShowMiniUI"), std::vector<std::string>{"ShowMiniUI 1"}) << "shown once for the burst";
}

TEST_F(DetectionTest, ExchangedMonitorWithinThreeSecondsIsNotHandledTwice) {
    ports_.miniUi.autoHide = true;
    monitors_.attached = {kPanel, kMonitorA};
    Event();
    Expire(kTimerDetectBlock);
    monitors_.attached = {kPanel, kMonitorB};
    Event();
    EXPECT_EQ(Calls("RestartTimer 149").size(), 1u);
    EXPECT_EQ(Calls("RestartTimer 145").size(), 2u) << "the handled period starts again";
    Expire(kTimerConnectionHandled);
    monitors_.attached = {kPanel, kMonitorA};
    Event();
    EXPECT_EQ(Calls("RestartTimer 149").size(), 2u);
}

TEST_F(DetectionTest, PresentationModeAppliesItsOutputModeInsteadOfTheHistory) {
    ports_.miniUi.presentationMode = true;
    monitors_.attached = {kPanel, kMonitorA};
    Event();
    EXPECT_TRUE(ports_.Has("ApplyPresentationOutputMode"));
    EXPECT_FALSE(detection_.History().Loaded());
}

TEST_F(DetectionTest, RemovalHidesTheMiniUiMagnifierAndPresentationAndBlocksBriefly) {
    monitors_.attached = {kPanel, kMonitorA};
    Event();
    Expire(kTimerDetectBlock);
    ports_.Clear();
    ports_.magnifier.magnifierShown = true;
    ports_.miniUi.presentationMode = true;
    ports_.miniUi.autoHide = true;
    monitors_.attached = {kPanel};
    EXPECT_EQ(Event(), 1);
    EXPECT_TRUE(ports_.Has("ShowMiniUI 0"));
    EXPECT_TRUE(ports_.Has("HideMagnifier"));
    EXPECT_TRUE(ports_.Has("SwitchPresentationModeOff"));
    EXPECT_TRUE(ports_.Has("RestartTimer 150 500"));
    EXPECT_TRUE(ports_.Has("StopTimer 149"));
    EXPECT_EQ(detection_.ReducedMonitorCount(), 2);
    EXPECT_EQ(detection_.KnownMonitorCount(), 1);
    Event();
    EXPECT_EQ(Calls("ReadMonitorIdentifiers").size(), 1u) << "blocked just after the hide";
    Expire(kTimerAfterMiniUiHide);
    Event();
    EXPECT_EQ(Calls("ReadMonitorIdentifiers").size(), 2u);
}

TEST_F(DetectionTest, OneKnownMonitorAndNoneFoundKeepsTheKnownList) {
    monitors_.attached = {};
    Event();
    EXPECT_EQ(detection_.KnownMonitorCount(), 1);
    EXPECT_EQ(detection_.KnownMonitors()[0], kPanel);
}

TEST_F(DetectionTest, XpWithIntelTreatsAnExtraDefaultMonitorAsARemoval) {
    proc::windowsVersion = 5;
    monitors_.attached = {kPanel, kMonitorA};
    detection_.TakeCurrentMonitorsAsKnown();
    monitors_.attached = {kPanel, kDefault};
    Event();
    EXPECT_TRUE(ports_.Has("ShowMiniUI 0"));
}

TEST_F(DetectionTest, XpWithNvidiaSetsNoBlockForTheSameMonitors) {
    proc::windowsVersion = 5;
    proc::graphicsVendor = 2;
    Event();
    Event();
    EXPECT_EQ(Calls("ReadMonitorIdentifiers").size(), 2u);
    EXPECT_TRUE(Calls("RestartTimer 7").empty());
}

TEST_F(DetectionTest, AfterResumeEventsAreSkippedAndTimer147TakesTheNewMonitorsAsKnown) {
    detection_.SetPostResumeDeviceEventCounter(CDisplayDetection::kPostResumeEvents);
    monitors_.attached = {kPanel, kMonitorA};  // plugged during sleep
    EXPECT_EQ(Event(), 1);
    EXPECT_TRUE(Calls("ReadMonitorIdentifiers").empty());
    Expire(kTimerAfterResume);
    EXPECT_TRUE(ports_.Has("StopTimer 147"));
    EXPECT_EQ(detection_.KnownMonitorCount(), 2);
    ports_.Clear();
    Event();
    EXPECT_TRUE(Calls("RestartTimer 145").empty()) << "not treated as newly connected";
}

TEST_F(DetectionTest, UnreadableMonitorsAtTimer147KeepTheKnownList) {
    monitors_.readable = false;
    Expire(kTimerAfterResume);
    EXPECT_EQ(detection_.KnownMonitorCount(), 1);
}

TEST_F(DetectionTest, CountdownHidesTheMiniUiAfterTwentyTicksUnlessTouched) {
    ports_.miniUi.autoHide = true;
    monitors_.attached = {kPanel, kMonitorA};
    Event();
    EXPECT_EQ(Calls("ShowMiniUI"), std::vector<std::string>{"ShowMiniUI 1"}) << "the connection shows the mini UI";
    ports_.Clear();
    for (int i = 0; i < 5; ++i) Expire(kTimerMiniUiCountdown);
    ports_.miniUi.userTouched = true;
    Expire(kTimerMiniUiCountdown);
    EXPECT_TRUE(ports_.Has("StopTimer 149"));
    EXPECT_TRUE(ports_.Has("ClearUserTouched"));
    EXPECT_EQ(detection_.SecondsLeft(), 20);
    EXPECT_TRUE(Calls("ShowMiniUI").empty());
    ports_.Clear();
    for (int i = 0; i < 20; ++i) Expire(kTimerMiniUiCountdown);
    EXPECT_EQ(Calls("SetCountdownTitle").front(), "SetCountdownTitle 20");
    EXPECT_EQ(Calls("ShowMiniUI"), std::vector<std::string>{"ShowMiniUI 0"});
    EXPECT_EQ(Calls("StopTimer 149").size(), 1u);
    EXPECT_EQ(Calls("SetCountdownTitle").back(), "SetCountdownTitle 0");
}

// Which connections show the mini UI and start its countdown: every one, or
// with "new monitors only" a monitor the history has never seen (or any
// when the history cannot be read); never in presentation mode.
struct ShowCase {
    const char* name;
    bool newOnly;
    std::vector<std::wstring> history;  // empty: no history file
    bool presentation;
    bool shown;
};

class ConnectionShowTest : public DetectionTest, public ::testing::WithParamInterface<ShowCase> {};

TEST_P(ConnectionShowTest, ShowsTheMiniUiOnceAndCountsDownOnlyWhatItShowed) {
    const ShowCase& c = GetParam();
    if (!c.history.empty()) WriteHistory(c.history);
    ports_.miniUi.reactsOnlyToNew = c.newOnly;
    ports_.miniUi.presentationMode = c.presentation;
    ports_.miniUi.autoHide = true;
    monitors_.attached = {kPanel, kMonitorA};
    Event();
    Expire(kTimerDetectBlock);
    Event();  // the rest of the burst
    EXPECT_EQ(Calls("ShowMiniUI").size(), c.shown ? 1u : 0u) << c.name;
    EXPECT_EQ(Calls("RestartTimer 149").size(), c.shown ? 1u : 0u) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Connections, ConnectionShowTest,
    ::testing::Values(ShowCase{"any monitor", false, {kPanel, kMonitorA}, false, true},
                      ShowCase{"new monitor", true, {kPanel}, false, true},
                      ShowCase{"known monitor", true, {kMonitorA, kPanel}, false, false},
                      ShowCase{"no history", true, {}, false, true},
                      ShowCase{"presenting", false, {}, true, false}),
    [](const ::testing::TestParamInfo<ShowCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name) if (ch == ' ') ch = '_';
        return name;
    });

TEST_F(DetectionTest, OtherTimersAreNotDetections) {
    for (UINT_PTR id : {kTimerVolumeKey, kTimerTestCycle, UINT_PTR{999}}) EXPECT_FALSE(detection_.OnTimer(id));
}

TEST(DisplaySwitchTestCycle, ModesPressInTheirCycles) {
    RecordingPorts ports;
    CDisplaySwitchTestCycle cycle(ports.display);
    std::vector<int> modeOne;
    for (int i = 0; i < 5; ++i) modeOne.push_back(cycle.RunPass(1));
    EXPECT_EQ(modeOne, (std::vector<int>{1, 2, 3, 4, 1}));
    EXPECT_EQ(ports.Matching("SelectDisplayCombination 0").size(), 11u);
    EXPECT_EQ(cycle.RunPass(2), 3);
    EXPECT_EQ(cycle.RunPass(2), 4);
    EXPECT_EQ(cycle.RunPass(2), 3);
    EXPECT_EQ(cycle.RunPass(1), 2) << "positions persist between modes";
    EXPECT_EQ(cycle.RunPass(7), 1);
}

}  // namespace
