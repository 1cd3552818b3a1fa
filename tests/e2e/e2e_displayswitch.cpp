// The display switch key in the running program: on a notebook without a
// graphics vendor the program serves, nothing switches and the menu
// program's questions get the codes of no driver; on the simulated Intel
// notebook with a CRT plugged in, the key opens the display-switch OSD, each
// press steps it, and the confirmed choice changes the desktop through the
// Intel graphics component (Vista) or the display configuration (Windows 7),
// with the settings saved before and the menu program told afterwards.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <utility>
#include <vector>

#include "programtest.h"
#include "screenpixels.h"
#include "simadapter.h"
#include "simdesktop.h"
#include "simfirmware.h"
#include "simintel.h"
#include "simmenu.h"
#include "vqdrive.h"
#include "xscreen.h"

namespace {

namespace desktop = vqdrive::desktop;

// The display switch key: scan 2 on the notebook keyboard, 1 on the models
// with a USB keyboard (the ones with the menu program).
constexpr BYTE kDisplaySwitchScan = 2;
constexpr BYTE kUsbModelDisplaySwitchScan = 1;
constexpr WPARAM kActiveDisplayRequest = 48;
constexpr WPARAM kConnectedDisplayRequest = 49;
constexpr WPARAM kChangeCombinationRequest = 53;

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
    // The CRT is a monitor of native size `crtWidth` x `crtHeight`, at first
    // showing `shownWidth` x `shownHeight` (0: its native size).
    void StartIntelNotebook(const wchar_t* version, bool menuModel = true, int crtWidth = 1280, int crtHeight = 1024,
                            int shownWidth = 0, int shownHeight = 0) {
        if (menuModel) vqdrive::firmware::SetModelRecord(L"N10A");
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        vqdrive::intel::Reset();
        ASSERT_TRUE(vqdrive::intel::Register());
        ASSERT_TRUE(desktop::Connect(desktop::kExternal, crtWidth, crtHeight, desktop::kPanelWidth, 0, shownWidth,
                                     shownHeight));
        vqdrive::intel::SetValue(L"CrtPreferredWidth", static_cast<DWORD>(crtWidth));
        vqdrive::intel::SetValue(L"CrtPreferredHeight", static_cast<DWORD>(crtHeight));
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
    // What the X server shows on the panel and the CRT connector: "WxH+X+Y" or "off".
    static std::string Outputs() {
        const std::vector<vqsim::xscreen::Output> outputs = vqsim::xscreen::ReadOutputs();
        std::string text;
        for (const wchar_t* name : {desktop::kPanel, desktop::kExternal}) {
            const vqsim::xscreen::Output* o = vqsim::xscreen::Find(outputs, name);
            char line[64] = "off";
            if (o && o->on) std::snprintf(line, sizeof line, "%dx%d%+d%+d", o->width, o->height, o->x, o->y);
            text += std::string(text.empty() ? "panel " : ", CRT ") + line;
        }
        return text;
    }
    // Whether the panel and the CRT show one picture (the same place and
    // size), waiting up to 8 s for the change under way.
    static bool ShowOnePicture() {
        const DWORD start = GetTickCount();
        while (!ShowingOnePicture() && GetTickCount() - start < 8000) vqdrive::Pause(200);
        return ShowingOnePicture();
    }
    static bool ShowingOnePicture() {
        const std::vector<vqsim::xscreen::Output> outputs = vqsim::xscreen::ReadOutputs();
        const vqsim::xscreen::Output* panel = vqsim::xscreen::Find(outputs, desktop::kPanel);
        const vqsim::xscreen::Output* crt = vqsim::xscreen::Find(outputs, desktop::kExternal);
        return panel && crt && panel->on && crt->on && panel->x == crt->x && panel->y == crt->y &&
               panel->width == crt->width && panel->height == crt->height;
    }
    // Draws the desktop beside the run's test results (test-results/desktop-pictures).
    static void DrawDesktop(const std::string& name) {
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::wstring folder = vqdrive::ProgramFolder() + L"..\\test-results\\desktop-pictures\\";
        CreateDirectoryW((vqdrive::ProgramFolder() + L"..\\test-results").c_str(), nullptr);
        CreateDirectoryW(folder.c_str(), nullptr);
        const std::wstring file = folder +
                                  std::wstring(test->name(), test->name() + std::strlen(test->name())) + L"-" +
                                  std::wstring(name.begin(), name.end()) + L".png";
        EXPECT_TRUE(desktop::DrawPicture(file));
    }
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
    EXPECT_EQ(Outputs(), "panel 1366x768+0+0, CRT off");
    DrawDesktop("panel-alone");
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
    // A true clone: one picture on both outputs, one display on the desktop.
    EXPECT_TRUE(desktop::WaitForAttached(1, 8000)) << Desktop();
    EXPECT_TRUE(ShowOnePicture()) << Outputs() << "\n" << Log();
    DrawDesktop("clone");
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
    EXPECT_TRUE(desktop::WaitForAttached(1, 8000)) << Desktop();
    EXPECT_EQ(Outputs(), "panel off, CRT 1280x1024+0+0") << Desktop();
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
    EXPECT_TRUE(ShowOnePicture()) << Outputs();
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

// --- Windows 7: every combination of the panel and the CRT ------------------------

// What a change to a combination must leave, besides the menu program being
// told that combination: the desktop as a fresh process reads it and the
// display configuration's journal (validated, then applied).
struct Win7Outcome {
    const char* what;
    int code;
    std::string desktop;
    std::string outputs;  // what the X server shows on the panel and the CRT connector
    std::vector<std::string> journal;
};

// The notebook at start: the panel, a 1920 x 1080 CRT showing 1600 x 1000
// right of it (a size of 60 Hz timings of our own: the server's own sizes
// may run at other rates).
constexpr int kCrtWidth = 1920, kCrtHeight = 1080;
constexpr int kCrtStartWidth = 1600, kCrtStartHeight = 1000;

std::vector<std::string> ValidThenApplied(const std::string& layout) {
    return {"0x60 valid: " + layout, "0x2a0 applied: " + layout};
}

const Win7Outcome& OutcomeOf(int code) {
    static const Win7Outcome kOutcomes[] = {
        {"panel only", 0x01, "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary", "panel 1366x768+0+0, CRT off",
         ValidThenApplied("source 0 Panel 1366x768@0,0")},
        // The CRT at its preferred 1920 x 1080, the panel dark.
        {"external only", 0x02, "\\\\.\\DISPLAY1 1920x1080x32@60 +0+0 primary", "panel off, CRT 1920x1080+0+0",
         ValidThenApplied("source 0 Crt 1920x1080@0,0")},
        // The CRT alone first, the picture at 1024 x 768, then both show it:
        // one picture on two outputs, one display on the desktop.
        {"clone", 0x03, "\\\\.\\DISPLAY1 1024x768x32@60 +0+0 primary", "panel 1024x768+0+0, CRT 1024x768+0+0",
         {"0xa0 applied: source 0 Crt 1920x1080@0,0", "0x60 valid: source 0 Panel Crt 1024x768@0,0",
          "0x2a0 applied: source 0 Panel Crt 1024x768@0,0"}},
        // Its profile, saved at the first change, brings back the CRT's 1600 x 1000.
        {"extended, panel primary", 0x103,
         "\\\\.\\DISPLAY1 1366x768x32@60 +0+0 primary; \\\\.\\DISPLAY2 1600x1000x32@60 +1366+0",
         "panel 1366x768+0+0, CRT 1600x1000+1366+0",
         ValidThenApplied("source 0 Panel 1366x768@0,0 + source 1 Crt 1600x1000@1366,0")},
        {"extended, external primary", 0x203,
         "\\\\.\\DISPLAY1 1920x1080x32@60 +0+0 primary; \\\\.\\DISPLAY2 1366x768x32@60 +1920+0",
         "panel 1366x768+1920+0, CRT 1920x1080+0+0",
         ValidThenApplied("source 0 Crt 1920x1080@0,0 + source 1 Panel 1366x768@1920,0")},
    };
    for (const Win7Outcome& outcome : kOutcomes) {
        if (outcome.code == code) return outcome;
    }
    ADD_FAILURE() << "no outcome for " << code;
    return kOutcomes[0];
}

// The profile section that holds `code` ("" when none does): slot 000 and
// then the used slots, which have no gaps.
std::wstring ProfileKeyOf(int code) {
    for (int slot = 0;; ++slot) {
        wchar_t key[96];
        swprintf(key, 96, L"Software\\Korvane\\vqhkcore\\Profile\\disp_pro_%03d", slot);
        DWORD mode = 0, size = sizeof mode;
        const LONG read = RegGetValueW(HKEY_CURRENT_USER, key, L"mode", RRF_RT_REG_DWORD, nullptr, &mode, &size);
        if (read == ERROR_SUCCESS && static_cast<int>(mode) == code) return key;
        if (read != ERROR_SUCCESS && slot > 0) return L"";
    }
}

// The values of that section as "name=value ...", in the order asked.
std::string ProfileValues(int code, const std::vector<const wchar_t*>& names) {
    const std::wstring key = ProfileKeyOf(code);
    if (key.empty()) return "";
    std::string text;
    for (const wchar_t* name : names) {
        BYTE data[256] = {};
        DWORD size = sizeof data - 2, type = 0;
        std::string value = "?";
        if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_REG_DWORD | RRF_RT_REG_SZ, &type, data, &size) ==
            ERROR_SUCCESS) {
            if (type == REG_DWORD) {
                value = std::to_string(*reinterpret_cast<DWORD*>(data));
            } else {
                const std::wstring wide(reinterpret_cast<wchar_t*>(data));
                value.assign(wide.begin(), wide.end());
            }
        }
        if (!text.empty()) text += " ";
        text += std::string(name, name + wcslen(name)) + "=" + value;
    }
    return text;
}

class Win7DisplaySwitchE2eTest : public DisplaySwitchE2eTest {
protected:
    // The Intel notebook on Windows 7 (the stock model: every choice of
    // the CRT), with the sizes each display takes below.
    void StartWindows7() {
        // Nothing written before: the panel's default profile comes from the
        // first start, at the panel's own size.
        StartIntelNotebook(L"win7", false, kCrtWidth, kCrtHeight, kCrtStartWidth, kCrtStartHeight);
        EXPECT_EQ(ProfileValues(0x01, {L"w", L"h"}), "w=1366 h=768");
        ASSERT_EQ(Desktop(), OutcomeOf(0x103).desktop);
        SendMessageW(window_, 0x46E, 0, 0);  // the menu program's road, on a notebook without a USB keyboard
        EXPECT_EQ(vqdrive::SiblingWindow::Ask(window_, kConnectedDisplayRequest), 3);
        EXPECT_EQ(vqdrive::SiblingWindow::Ask(window_, kActiveDisplayRequest), 0x103);
    }

    // Changes to `code` by `presses` of the display switch key, or with none
    // as the menu program asks (request 53), and checks what the change left.
    void Run(int code, int presses = 0) {
        const Win7Outcome& expected = OutcomeOf(code);
        SCOPED_TRACE(expected.what);
        vqdrive::intel::ClearJournal();
        if (presses > 0) {
            Choose(presses, false, kDisplaySwitchScan);
            char applied[48];
            std::snprintf(applied, sizeof applied, "TargetDisplay=0x%03x, ExistProfile", code);
            EXPECT_TRUE(WaitForLog(applied, 8000)) << Log();
        } else {
            vqdrive::SiblingWindow::Ask(window_, kChangeCombinationRequest, code);
        }
        // The change is done when its last configuration is in the journal;
        // the menu program's question may reach the main window while it
        // is still inside the change.
        DWORD start = GetTickCount();
        while (ServiceJournal().size() < expected.journal.size() && GetTickCount() - start < 8000) vqdrive::Pause(100);
        start = GetTickCount();
        LRESULT active = 0;
        while ((active = vqdrive::SiblingWindow::Ask(window_, kActiveDisplayRequest)) != code &&
               GetTickCount() - start < 8000) {
            vqdrive::Pause(200);
        }
        EXPECT_EQ(active, code);
        EXPECT_EQ(Desktop(), expected.desktop) << Log();
        EXPECT_EQ(Outputs(), expected.outputs);
        EXPECT_EQ(ServiceJournal(), expected.journal) << Log();
        DrawDesktop(std::to_string(++step_) + "-" + expected.what);
    }

    int step_ = 0;

    static std::vector<std::string> ServiceJournal() {
        std::vector<std::string> lines;
        for (const std::string& line : vqdrive::intel::Journal()) {
            if (line.rfind("SetDisplayConfig ", 0) == 0) lines.push_back(line.substr(17));
        }
        return lines;
    }
};

// The display switch key offers the panel, the CRT, the clone and the
// extended desktop with the panel primary; each choice changes the desktop
// as it means, through a configuration validated before it was applied.
TEST_F(Win7DisplaySwitchE2eTest, KeyStepsToEachChoiceOfTheCrt) {
    StartWindows7();
    Run(0x02, 2);
    Run(0x03, 3);
    Run(0x103, 4);
    // Four choices: the fifth press is the first choice again.
    Run(0x01, 5);
    EXPECT_TRUE(program_.Running());
}

// The menu program asks for every combination in a row, and for each again:
// a combination that comes back gets its saved settings, timing included.
TEST_F(Win7DisplaySwitchE2eTest, RequestedCombinationsChangeTheDesktopAndComeBackWithTheirProfiles) {
    StartWindows7();
    for (const int code : {0x02, 0x03, 0x103, 0x203, 0x02, 0x103, 0x203}) Run(code);

    // The CRT's timing at 1600 x 1000 as the display configuration reported it
    // (1760 x 1030 in all, 60 Hz), with the sizes and place of both displays.
    const std::vector<const wchar_t*> names = {L"w", L"h", L"freq", L"freqDenum", L"w_ext", L"h_ext", L"freq_ext",
                                               L"pos_x", L"pos_y", L"PixelRateUp", L"PixelRateDown",
                                               L"vSyncFreq_num", L"vSyncFreq_den", L"activeSize", L"totalSize"};
    EXPECT_EQ(ProfileValues(0x103, names),
              "w=1366 h=768 freq=60 freqDenum=1 w_ext=1600 h_ext=1000 freq_ext=60 pos_x=1366 pos_y=0 "
              "PixelRateUp=0 PixelRateDown=108768000 vSyncFreq_num=108768000 vSyncFreq_den=1812800 "
              "activeSize=65537600 totalSize=67503840");
    EXPECT_EQ(ProfileValues(0x203, {L"w", L"h", L"w_ext", L"h_ext", L"pos_x", L"pos_y", L"activeSize"}),
              "w=1920 h=1080 w_ext=1366 h_ext=768 pos_x=1920 pos_y=0 activeSize=70780800");
    EXPECT_EQ(ProfileValues(0x02, {L"w", L"h", L"activeSize"}), "w=1920 h=1080 activeSize=70780800");
    EXPECT_EQ(ProfileKeyOf(0x03), L"") << "the clone ran at the default mode, which opens no slot";
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
