// Display detection over the profile store on the platform itself: Wine's
// real WMI names the simulated notebook's monitors as they are attached and
// removed; the display history is a real file. The graphics driver and the
// mini UI with its options are fakes (their owners answer there).
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/displaydetection.h"
#include "app/displayhistoryformat.h"
#include "app/profilemonitoridentities.h"
#include "common/processstate.h"
#include "profilefixture.h"
#include "programtest.h"
#include "recordingports.h"
#include "simmonitors.h"
#include "systemdisplaymodes.h"
#include "vqdrive.h"

namespace {

using vqdrive::SimulatedMonitors;
constexpr WPARAM kDevNodesChanged = 7;

class DetectionPlatformTest : public profiletest::ProfileSettingsTest {
protected:
    void SetUp() override {
        ProfileSettingsTest::SetUp();
        savedVersion_ = proc::windowsVersion;
        proc::windowsVersion = 8;
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        vqdrive::DeleteFileIfPresent(historyPath_);
        ASSERT_TRUE(monitors_.Attach(vqdrive::kPanelMonitor));
        store_ = std::make_unique<CDisplayProfile>();
        ASSERT_EQ(store_->Init(&modes_, nullptr), 1);
        identities_.SetStore(store_.get());
        ports_.miniUi.reactsOnlyToNew = true;
        ports_.miniUi.autoHide = true;
        detection_.TakeCurrentMonitorsAsKnown();
        // The history knows what is attached at first.
        int isNew = 0;
        WriteHistory(L"\xFEFF");
        std::vector<std::wstring> attached;
        ASSERT_EQ(identities_.ReadMonitorIdentifiers(&attached), 1);
        firstMonitors_ = attached;
        CDisplayHistory(historyPath_).IsNewDisplay(attached, &isNew);
        ports_.Clear();
    }
    void TearDown() override {
        identities_.SetStore(nullptr);
        store_.reset();
        monitors_.DetachAll();
        CoUninitialize();
        proc::windowsVersion = savedVersion_;
        vqdrive::DeleteFileIfPresent(historyPath_);
        ProfileSettingsTest::TearDown();
    }
    void WriteHistory(const std::wstring& text) {
        HANDLE file = CreateFileW(historyPath_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)), &written, nullptr);
        CloseHandle(file);
    }
    // Windows' burst for one change of the monitors.
    void Burst() {
        for (int i = 0; i < 5; ++i) detection_.DetectingDisplayModule(0, kDevNodesChanged);
    }

    int savedVersion_ = 0;
    std::wstring historyPath_ = TempPath(L"dispHistory_platform.dat");
    SimulatedMonitors monitors_;
    profiletest::SystemDisplayModes modes_;
    std::unique_ptr<CDisplayProfile> store_;
    CProfileMonitorIdentities identities_;
    std::vector<std::wstring> firstMonitors_;
    RecordingPorts ports_;
    CDisplayDetection detection_{{.display = ports_.display,
                                  .monitors = identities_,
                                  .miniUi = ports_.miniUi,
                                  .magnifier = ports_.magnifier,
                                  .timers = ports_.timers},
                                 historyPath_};
};

TEST_F(DetectionPlatformTest, ConnectingAMonitorReactsOnceAndWritesItIntoTheHistory) {
    ASSERT_TRUE(monitors_.Attach(vqdrive::kExternalMonitorA));
    Burst();
    EXPECT_EQ(ports_.Matching("RestartTimer 149").size(), 1u) << ports_.Joined();
    EXPECT_EQ(ports_.Matching("ShowMiniUI 1").size(), 1u) << "a new monitor shows the mini UI";
    // The history holds each identifier once: Wine lists a DEFAULT_MONITOR
    // for every X output it has seen, however many there are by now.
    std::vector<std::wstring> expected{SimulatedMonitors::Identifier(vqdrive::kExternalMonitorA)};
    for (const std::wstring& id : firstMonitors_) {
        if (std::find(expected.begin(), expected.end(), id) == expected.end()) expected.push_back(id);
    }
    EXPECT_EQ(detection_.History().Entries(), expected);
    EXPECT_EQ(vqdrive::ReadFileBytes(historyPath_), displayhistoryformat::Serialize(expected));

    // Removing it hides the mini UI; plugging it again later finds it in the history.
    ASSERT_TRUE(monitors_.Detach(vqdrive::kExternalMonitorA));
    detection_.OnTimer(7);
    Burst();
    EXPECT_EQ(ports_.Matching("ShowMiniUI 0").size(), 1u) << ports_.Joined();
    detection_.OnTimer(150);
    detection_.OnTimer(145);
    const std::string historyBefore = vqdrive::ReadFileBytes(historyPath_);
    ASSERT_TRUE(monitors_.Attach(vqdrive::kExternalMonitorA));
    Burst();
    // Known, with "new monitors only": nothing shown, so nothing to count down.
    EXPECT_EQ(ports_.Matching("ShowMiniUI 1").size(), 1u) << ports_.Joined();
    EXPECT_EQ(ports_.Matching("RestartTimer 149").size(), 1u);
    EXPECT_EQ(vqdrive::ReadFileBytes(historyPath_), historyBefore);
}

}  // namespace
