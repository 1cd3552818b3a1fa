// The display switch key in the running program: on a notebook without a
// graphics vendor the program serves, nothing switches and the menu
// program's questions get the codes of no driver; on the simulated Intel
// notebook with a CRT plugged in, the key opens the display-switch OSD, each
// press steps it, and the confirmed choice changes the desktop through the
// Intel graphics component (Vista) or the display configuration (Windows 7),
// with the settings saved before and the menu program told afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "programtest.h"
#include "screenpixels.h"
#include "simadapter.h"
#include "simdesktop.h"
#include "simfirmware.h"
#include "simintel.h"
#include "simmenu.h"
#include "vqdrive.h"

namespace {

namespace desktop = vqdrive::desktop;

// The display switch key: scan 2 on the notebook keyboard, 1 on the models
// with a USB keyboard (the ones with the menu program).
constexpr BYTE kDisplaySwitchScan = 2;
constexpr BYTE kUsbModelDisplaySwitchScan = 1;
constexpr WPARAM kActiveDisplayRequest = 48;
constexpr WPARAM kConnectedDisplayRequest = 49;

class DisplaySwitchE2eTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Profile");
        ASSERT_TRUE(desktop::Reset()) << desktop::Describe(desktop::Displays());
    }
    void TearDown() override {
        ProgramTest::TearDown();
        desktop::Reset();
        vqdrive::intel::Reset();
        vqdrive::intel::Unregister();
        vqdrive::adapter::Reset();
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Profile");
    }

    // The simulated Intel notebook with a CRT right of the panel, the desktop
    // extended over both; a model with the sibling menu program.
    void StartIntelNotebook(const wchar_t* version, bool menuModel = true) {
        if (menuModel) vqdrive::firmware::SetModelRecord(L"N10A");
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        vqdrive::intel::Reset();
        ASSERT_TRUE(vqdrive::intel::Register());
        ASSERT_TRUE(desktop::Connect(desktop::kExternal, 1280, 1024, desktop::kPanelWidth, 0));
        ASSERT_TRUE(desktop::WaitForAttached(2, 5000)) << Desktop();
        vqdrive::intel::SetConnected(L"Crt", true);
        vqdrive::intel::SetShown(0x01, 0x02);
        vqdrive::intel::ClearJournal();
        Start(version, L"", vqdrive::adapter::LibraryPath());
    }

    // Presses the display switch key `presses` times, 300 ms apart (the
    // later ones with Shift: backward), and waits for the OSD to confirm and hide.
    void Choose(int presses, bool backward = false, BYTE scan = kUsbModelDisplaySwitchScan) {
        SetCursorPos(5, 5);  // the pointer away from the OSD, which a click would select on
        for (int i = 0; i < presses; ++i) {
            if (i > 0 && backward) vqdrive::PressKey(VK_SHIFT, 0x2A);
            vqdrive::TapKey(0xFF, scan);
            if (i > 0 && backward) vqdrive::ReleaseKey(VK_SHIFT, 0x2A);
            if (i == 0) {
                EXPECT_TRUE(WaitForOsdShown(true, 3000)) << "the display-switch OSD did not open\n" << Log();
            }
            vqdrive::Pause(300);
        }
        EXPECT_TRUE(WaitForOsdShown(false, 6000)) << "the OSD did not confirm";
    }
    static std::string Desktop() { return desktop::Describe(desktop::AttachedDisplays()); }
    static std::string Log() { return vqdrive::ReadFileBytes(vqdrive::LogFilePath()); }
    bool LogHas(const std::string& text) const { return Log().find(text) != std::string::npos; }
    bool WaitForLog(const std::string& text, DWORD timeoutMs) {
        return vqdrive::WaitForLine(vqdrive::LogFilePath(), text, timeoutMs);
    }
};

TEST_F(DisplaySwitchE2eTest, WithoutASupportedAdapterTheKeyChangesNothing) {
    Start(L"win7");
    vqdrive::SiblingWindow menu(vqdrive::SiblingWindow::kMenuClass, nullptr);
    SendMessageW(window_, 0x46E, 0, 0);  // the sibling road opens on a notebook without a USB keyboard
    for (int i = 0; i < 2; ++i) {
        vqdrive::TapKey(0xFF, kDisplaySwitchScan);
        vqdrive::Pause(400);
        EXPECT_FALSE(OsdShown());
    }
    EXPECT_EQ(vqdrive::SiblingWindow::Ask(window_, kActiveDisplayRequest), 0);
    EXPECT_EQ(vqdrive::SiblingWindow::Ask(window_, kConnectedDisplayRequest), 0);
    EXPECT_EQ(SettingValue(L"Display"), 0u);
    EXPECT_EQ(SettingValue(L"ConnectedDisplay"), 0u);
    // The display-switch test cycle asks the changer itself, which reports the missing driver.
    vqdrive::SendSibling(window_, 60, 1);
    EXPECT_TRUE(WaitForLog("Please check the graphics driver", 4000)) << Log();
    vqdrive::SendSibling(window_, 61, 0);
    EXPECT_TRUE(program_.Running());
    EXPECT_EQ(desktop::AttachedDisplays().size(), 1u);
}

TEST_F(DisplaySwitchE2eTest, IntelDriverSwitchesToThePanelAloneAndToTheClone) {
    StartIntelNotebook(L"vista");
    vqdrive::SiblingWindow menu(vqdrive::SiblingWindow::kMenuClass, nullptr);
    // The menu program's questions: panel and CRT connected (3), the extended desktop active (0x103).
    EXPECT_EQ(vqdrive::SiblingWindow::Ask(window_, kConnectedDisplayRequest), 3);
    EXPECT_EQ(vqdrive::SiblingWindow::Ask(window_, kActiveDisplayRequest), 0x103);
    EXPECT_EQ(SettingValue(L"ConnectedDisplay"), 3u);
    EXPECT_EQ(SettingValue(L"Display"), 0x103u);

    // One press: the first choice, the panel alone.
    Choose(1);
    EXPECT_TRUE(desktop::WaitForAttached(1, 8000)) << Desktop() << "\n" << Log();
    EXPECT_FALSE(vqdrive::intel::JournalOf("ChangeActiveDevices").empty());
    LPARAM active = 0;
    ASSERT_TRUE(menu.WaitFor(kActiveDisplayRequest, 8000, &active)) << Log();
    EXPECT_EQ(active, 0x01);
    EXPECT_EQ(SettingValue(L"Display"), 0x01u);
    EXPECT_TRUE(LogHas("SaveCurrentDisplay=0x103")) << Log();

    // Two presses: the clone (this model offers the panel and the clone only),
    // first without a profile of its own.
    menu.Clear();
    Choose(2);
    ASSERT_TRUE(menu.WaitFor(kActiveDisplayRequest, 8000, &active)) << Log();
    EXPECT_EQ(active, 0x03);
    EXPECT_EQ(desktop::AttachedDisplays().size(), 2u) << Desktop();
    EXPECT_TRUE(LogHas("TargetDisplay=0x003, ExistProfile=0")) << Log();
    // The clone's settings were saved before the next change (at the default
    // mode, which opens no slot of its own).
    EXPECT_TRUE(LogHas("SaveCurrentDisplay=0x001")) << Log();
    EXPECT_TRUE(program_.Running());
}

// Windows XP: the stock model offers every choice of the CRT; the second is the CRT alone.
TEST_F(DisplaySwitchE2eTest, IntelDriverOnXpSwitchesToTheExternalOutputAlone) {
    StartIntelNotebook(L"winxp", false);
    Choose(2, false, kDisplaySwitchScan);
    const DWORD start = GetTickCount();
    while (vqdrive::intel::Value(L"Display1") != 0x02 && GetTickCount() - start < 8000) vqdrive::Pause(50);
    EXPECT_EQ(vqdrive::intel::Value(L"Display1"), 0x02u) << Log();
    EXPECT_EQ(vqdrive::intel::Value(L"Display2"), 0u);
    EXPECT_FALSE(vqdrive::intel::JournalOf("ChangeActiveDevices").empty());
    EXPECT_TRUE(LogHas("SaveCurrentDisplay=0x103")) << Log();
    EXPECT_TRUE(program_.Running());
}

// Each press shows another selection; the third choice of the CRT, the clone,
// is applied 1.8 s after the last press; Shift steps backward to the last choice.
TEST_F(DisplaySwitchE2eTest, PressesStepTheOsdAndShiftStepsBackward) {
    StartIntelNotebook(L"winxp", false);
    SetCursorPos(5, 5);
    std::vector<Picture> pictures;
    for (int i = 0; i < 3; ++i) {
        vqdrive::TapKey(0xFF, kDisplaySwitchScan);
        ASSERT_TRUE(WaitForOsdShown(true, 3000)) << Log();
        vqdrive::Pause(250);
        RECT osd{};
        ASSERT_TRUE(vqdrive::FindOsdRect(program_.ProcessId(), &osd));
        pictures.push_back(CaptureScreen(osd));
    }
    EXPECT_GT(CountMismatches(pictures[0], pictures[1]), 0) << "the first step changed nothing on screen";
    EXPECT_GT(CountMismatches(pictures[1], pictures[2]), 0) << "the second step changed nothing on screen";
    ASSERT_TRUE(WaitForOsdShown(false, 6000));
    DWORD start = GetTickCount();
    while (vqdrive::intel::Value(L"Display1") != 0x03 && GetTickCount() - start < 8000) vqdrive::Pause(50);
    EXPECT_EQ(vqdrive::intel::Value(L"Display1"), 0x03u) << "the clone shows on the first display\n" << Log();
    // The change ends with the profile restore and its re-check.
    EXPECT_TRUE(WaitForLog("no Profile: 1024x768", 8000)) << Log();
    vqdrive::Pause(1500);

    // Open, then Shift: the last choice, the extended desktop with the panel primary.
    Choose(2, true, kDisplaySwitchScan);
    start = GetTickCount();
    while (vqdrive::intel::Value(L"Display2") != 0x02 && GetTickCount() - start < 8000) vqdrive::Pause(50);
    EXPECT_EQ(vqdrive::intel::Value(L"Display1"), 0x01u) << Log();
    EXPECT_EQ(vqdrive::intel::Value(L"Display2"), 0x02u) << Log();
    EXPECT_TRUE(program_.Running());
}

// Without the Intel component the driver reports it and, before Windows 7, is dropped.
TEST_F(DisplaySwitchE2eTest, MissingIntelComponentIsReportedAndLeavesNoDriver) {
    vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
    vqdrive::intel::Unregister();
    Start(L"vista", L"", vqdrive::adapter::LibraryPath());
    EXPECT_TRUE(WaitForLog("It fails to initialize Intel graphics component. Please check the graphics driver", 5000))
        << Log();
    vqdrive::TapKey(0xFF, kDisplaySwitchScan);
    vqdrive::Pause(500);
    EXPECT_FALSE(OsdShown());
    EXPECT_TRUE(program_.Running());
}

TEST_F(DisplaySwitchE2eTest, Windows7SwitchesThroughTheDisplayConfiguration) {
    StartIntelNotebook(L"win7");
    EXPECT_EQ(vqdrive::SiblingWindow::Ask(window_, kConnectedDisplayRequest), 3);
    EXPECT_EQ(vqdrive::SiblingWindow::Ask(window_, kActiveDisplayRequest), 0x103);
    vqdrive::intel::ClearJournal();
    Choose(1);
    EXPECT_TRUE(desktop::WaitForAttached(1, 8000)) << Desktop() << "\n" << Log();
    bool applied = false;
    for (const std::string& line : vqdrive::intel::Journal()) {
        if (line.rfind("SetDisplayConfig ", 0) == 0) applied = true;
    }
    EXPECT_TRUE(applied) << "the display configuration was not asked";
    // The menu program's question may reach the program while the change is
    // still under way: it gets the panel alone once the change is done.
    const DWORD start = GetTickCount();
    LRESULT active = 0;
    while ((active = vqdrive::SiblingWindow::Ask(window_, kActiveDisplayRequest)) != 0x01 &&
           GetTickCount() - start < 8000) {
        vqdrive::Pause(200);
    }
    EXPECT_EQ(active, 0x01);
    EXPECT_TRUE(program_.Running());
}

}  // namespace
