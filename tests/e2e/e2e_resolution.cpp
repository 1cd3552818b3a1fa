// The resolution and rotation keys and the sibling menu's requests in the
// running program on the simulated Intel notebook (Vista; Windows 7 too for
// the rotation) with a monitor right of the panel: they act on the display
// under the pointer only, say so where there is no smaller size, and a
// refused rotation is reported and leaves the mode as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "programtest.h"
#include "simadapter.h"
#include "simdesktop.h"
#include "simfirmware.h"
#include "simintel.h"
#include "vqdrive.h"

namespace {

namespace desktop = vqdrive::desktop;

constexpr wchar_t kSettingsKey[] = L"Software\\Korvane\\vqhkcore\\Settings";
// N10A has a USB keyboard, whose codes 7 and 8 are the brightness keys. Its
// keys that come through the hook library (or as raw input on Windows 7)
// still carry the PS/2 codes 8 and 9, which the program turns into 7 and 8.
// So the key tapped here is 9: with Shift it steps the resolution down, with
// Alt it turns the display to 180 degrees.
constexpr BYTE kResolutionDownScan = 9;
constexpr BYTE kRotate180Scan = 9;
constexpr BYTE kVolumeUpScan = 0x30;  // with Alt: 270 degrees
constexpr BYTE kShiftScan = 0x2A;
constexpr BYTE kAltScan = 0x38;
// The sibling menu's requests (message 0x8B1): resolution down at the pointer,
// and rotation of the display under the pointer to the angle it carries.
constexpr WPARAM kResolutionDownRequest = 52;
constexpr WPARAM kRotateRequest = 70;
// Byte offsets in the component's configuration record.
constexpr size_t kConfigurationDevice = 4;
constexpr size_t kConfigurationRotation = 64;

void SetSettingValue(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, kSettingsKey, name, REG_DWORD, &value, sizeof value);
}

class ResolutionE2eTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(desktop::Reset()) << desktop::Describe(desktop::Displays());
        SetSettingValue(L"vqsm", 1);
        SetSettingValue(L"vqsr", 1);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        SetSettingValue(L"vqsr", 0);
        desktop::Reset();
        vqdrive::intel::Reset();
        vqdrive::intel::Unregister();
        vqdrive::adapter::Reset();
    }

    void StartIntelNotebook(int externalWidth, int externalHeight, const wchar_t* version = L"vista") {
        vqdrive::firmware::SetModelRecord(L"N10A");
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        vqdrive::intel::Reset();
        ASSERT_TRUE(vqdrive::intel::Register());
        ASSERT_TRUE(desktop::Connect(desktop::kExternal, externalWidth, externalHeight, desktop::kPanelWidth, 0));
        ASSERT_TRUE(desktop::WaitForAttached(2, 5000)) << Desktop();
        vqdrive::intel::SetConnected(L"Crt", true);
        vqdrive::intel::SetShown(0x01, 0x02);
        vqdrive::intel::ClearJournal();
        Start(version, L"", vqdrive::adapter::LibraryPath());
    }
    // Taps a key with a modifier held, the pointer over the external monitor,
    // and lets the modifier go once the program made the call the key stands
    // for: raw input arrives after the keys were sent, and the program reads
    // whether the modifier is held while it handles the key. The call lines then.
    std::vector<std::string> TapOverExternal(BYTE modifierKey, BYTE modifierScan, BYTE virtualKey, BYTE scan,
                                             const std::string& call) {
        PointAtExternal();
        vqdrive::PressKey(modifierKey, modifierScan);
        vqdrive::TapKey(virtualKey, scan);
        std::vector<std::string> calls = WaitForCall(call, 4000);
        vqdrive::ReleaseKey(modifierKey, modifierScan);
        return calls;
    }
    static void PointAtExternal() { SetCursorPos(desktop::kPanelWidth + 200, 200); }
    static bool WaitForCursor(int x, int y, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            POINT p{};
            if (GetCursorPos(&p) && p.x == x && p.y == y) return true;
            if (GetTickCount() - start > timeoutMs) return false;
            vqdrive::Pause(50);
        }
    }
    static std::string Desktop() { return desktop::Describe(desktop::AttachedDisplays()); }
    static std::string Log() { return vqdrive::ReadFileBytes(vqdrive::LogFilePath()); }
    bool WaitForLog(const std::string& text, DWORD timeoutMs) {
        return vqdrive::WaitForLine(vqdrive::LogFilePath(), text, timeoutMs);
    }
    // Waits until the component has received `request`; its journal lines then.
    static std::vector<std::string> WaitForRequest(const std::string& request, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            std::vector<std::string> lines = vqdrive::intel::JournalOf(request);
            if (!lines.empty() || GetTickCount() - start > timeoutMs) return lines;
            vqdrive::Pause(100);
        }
    }
    // A 32-bit field of the configuration record in a journal line
    // ("{GUID} 68 <record bytes in hex>").
    static DWORD ConfigurationField(const std::string& line, size_t offset) {
        const std::string hex = line.substr(line.rfind(' ') + 1);
        if (hex.size() < (offset + 4) * 2) return DWORD(-1);
        DWORD value = 0;
        for (size_t i = 0; i < 4; ++i) {
            value |= static_cast<DWORD>(std::stoul(hex.substr((offset + i) * 2, 2), nullptr, 16)) << (8 * i);
        }
        return value;
    }
    // Waits until the external monitor shows this size.
    static bool WaitForExternal(int width, int height, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            const desktop::Display d = desktop::AttachedAt(desktop::kPanelWidth, 0);
            if (d.width == width && d.height == height) return true;
            if (GetTickCount() - start > timeoutMs) return false;
            vqdrive::Pause(100);
        }
    }
};

// The key and the sibling menu's request step the monitor under the pointer
// and put the pointer in its middle; the panel keeps its mode.
TEST_F(ResolutionE2eTest, ResolutionDownOverTheExternalMonitorChangesThatMonitorOnly) {
    const struct Case {
        const char* name;
        bool byRequest;
    } cases[] = {{"Shift with the brightness-down key", false}, {"the menu's resolution-down request", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StartIntelNotebook(1280, 1024);
        if (c.byRequest) {
            PointAtExternal();
            vqdrive::SendSibling(window_, kResolutionDownRequest, 0);
        } else {
            TapOverExternal(VK_SHIFT, kShiftScan, 0xFF, kResolutionDownScan, "SetResolutionDown 0");
        }
        EXPECT_TRUE(WaitForExternal(1024, 768, 8000)) << Desktop() << "\n" << TraceText() << "\n" << Log();
        const desktop::Display panel = desktop::AttachedAt(0, 0);
        EXPECT_EQ(panel.width, desktop::kPanelWidth) << Desktop();
        EXPECT_EQ(panel.height, desktop::kPanelHeight) << Desktop();
        EXPECT_TRUE(WaitForCursor(desktop::kPanelWidth + 1024 / 2, 768 / 2, 2000));
        EXPECT_TRUE(program_.Running());
        program_.Stop();
        ASSERT_TRUE(desktop::Reset()) << Desktop();
    }
}

TEST_F(ResolutionE2eTest, ResolutionDownAtTheSmallestSizeDoesNothingAndSaysSo) {
    StartIntelNotebook(800, 600);
    TapOverExternal(VK_SHIFT, kShiftScan, 0xFF, kResolutionDownScan, "SetResolutionDown 0");
    EXPECT_TRUE(WaitForLog("Resolution down: the display is at its smallest size already", 8000))
        << TraceText() << "\n" << Log();
    const desktop::Display external = desktop::AttachedAt(desktop::kPanelWidth, 0);
    EXPECT_EQ(external.width, 800) << Desktop();
    EXPECT_EQ(external.height, 600) << Desktop();
    EXPECT_TRUE(program_.Running());
}

// A rotation key (or the menu's request) with the pointer over the external
// monitor turns that monitor. Below Windows 7 the component is asked to turn
// the CRT, the output that monitor shows; on Windows 7 the monitor's mode is
// changed with the orientation. Either way the simulated notebook's picture
// on the CRT becomes portrait for a quarter turn (the X server turns no
// picture: the turned size is the picture) and the program reads the
// orientation back; a refusal of the component is reported and leaves the
// monitor's mode and rotation as they were; the program keeps running.
TEST_F(ResolutionE2eTest, RotationKeyOverTheExternalMonitorTurnsThatMonitor) {
    struct Case {
        const char* name;
        const wchar_t* version;
        BYTE virtualKey, scan;  // 0, 0: the menu's rotation request instead of a key
        int angle;
        bool componentRefuses;
        const char* refusal;  // the report of a refused rotation
    };
    constexpr char kComponentRefusal[] = "Fail SetConfiguration()";
    const Case cases[] = {
        {"Vista, Alt brightness down", L"vista", 0xFF, kRotate180Scan, 180, false, kComponentRefusal},
        {"Vista, Alt volume up", L"vista", VK_VOLUME_UP, kVolumeUpScan, 270, false, kComponentRefusal},
        {"Vista, the menu's rotation request", L"vista", 0, 0, 90, false, kComponentRefusal},
        {"Vista, the component refuses", L"vista", 0xFF, kRotate180Scan, 180, true, kComponentRefusal},
        {"Windows 7, Alt brightness down", L"win7", 0xFF, kRotate180Scan, 180, false, "fail: SetDisplayRotation() "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        vqdrive::DeleteFileIfPresent(vqdrive::LogFilePath());
        StartIntelNotebook(1280, 1024, c.version);
        if (c.componentRefuses) vqdrive::intel::SetFault(L"SetDeviceData", 1);
        const bool throughComponent = std::wstring(c.version) != L"win7";
        const std::string call = "RotateDisplayAt " + std::to_string(c.angle);
        std::vector<std::string> calls;
        if (c.virtualKey) {
            calls = TapOverExternal(VK_MENU, kAltScan, c.virtualKey, c.scan, call);
        } else {
            PointAtExternal();
            vqdrive::SendSibling(window_, kRotateRequest, c.angle);
            calls = WaitForCall(call, 4000);
        }
        ASSERT_NE(std::find(calls.begin(), calls.end(), call), calls.end()) << TraceText();

        const DWORD index = static_cast<DWORD>(c.angle / 90);
        const std::vector<std::string> sets = WaitForRequest("SetDeviceData", throughComponent ? 4000 : 1000);
        if (throughComponent) {
            ASSERT_EQ(sets.size(), 1u) << TraceText();
            EXPECT_EQ(ConfigurationField(sets[0], kConfigurationDevice), vqdrive::intel::DeviceId(L"Crt")) << sets[0];
            EXPECT_EQ(ConfigurationField(sets[0], kConfigurationRotation), index) << sets[0];
        } else {
            EXPECT_TRUE(sets.empty()) << "Windows 7 turns the monitor through its mode";
        }

        const bool refused = c.componentRefuses;
        if (refused) {
            EXPECT_TRUE(WaitForLog(c.refusal, 4000)) << Log();
        } else {
            vqdrive::Pause(500);
            EXPECT_EQ(Log().find(c.refusal), std::string::npos) << Log();
        }
        EXPECT_EQ(vqdrive::intel::Rotation(L"Crt"), refused ? 0 : index);
        const std::wstring component = vqdrive::intel::Text(vqsim::graphics::value::kDesktop);
        const bool quarterTurn = !refused && c.angle % 180 != 0;
        EXPECT_TRUE(WaitForExternal(quarterTurn ? 1024 : 1280, quarterTurn ? 1280 : 1024, 4000)) << Desktop();
        EXPECT_EQ(component.find(L"not shown"), std::wstring::npos) << "the picture was shown";
        const std::string log = Log();
        const size_t reported = log.find(c.refusal);
        const std::string report =
            reported == std::string::npos ? "" : log.substr(reported, log.find_first_of("\r\n", reported) - reported);
        std::printf("[rotation] %s: component: \"%ls\"; reported: \"%s\"; after: %s\n", c.name,
                    throughComponent ? component.c_str() : L"", report.c_str(), Desktop().c_str());
        EXPECT_EQ(vqdrive::intel::Rotation(L"Panel"), 0u);
        const desktop::Display panel = desktop::AttachedAt(0, 0);
        EXPECT_EQ(panel.width, desktop::kPanelWidth) << Desktop();
        EXPECT_EQ(panel.height, desktop::kPanelHeight) << Desktop();
        EXPECT_TRUE(program_.Running());
        program_.Stop();
        ASSERT_TRUE(desktop::Reset()) << Desktop();
    }
}

// The small-panel model (Intel driver, the panel alone): the resolution key
// opens the resolution toggle, the next press steps it, and 1.8 s later the
// chosen size is the desktop's; at that size the screen may rotate, which
// the program works out again and stores for the menu program.
class ResolutionToggleE2eTest : public ProgramTest {
protected:
    static constexpr BYTE kResolutionToggleScan = 118;
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(desktop::Reset()) << desktop::Describe(desktop::Displays());
        ASSERT_TRUE(desktop::AddMode(desktop::kPanel, 800, 480));
        ASSERT_TRUE(desktop::AddMode(desktop::kPanel, 1024, 600));
        SetSettingValue(L"Rotation", 0);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        desktop::Reset();
        desktop::RemoveMode(desktop::kPanel, 800, 480);
        desktop::RemoveMode(desktop::kPanel, 1024, 600);
        vqdrive::intel::Reset();
        vqdrive::intel::Unregister();
        vqdrive::adapter::Reset();
    }
    Picture OsdPicture() {
        RECT osd{};
        if (!vqdrive::FindOsdRect(program_.ProcessId(), &osd)) return Picture{};
        return CaptureScreen(osd);
    }
    static std::string Desktop() { return desktop::Describe(desktop::AttachedDisplays()); }
    static std::string Log() { return vqdrive::ReadFileBytes(vqdrive::LogFilePath()); }
    void StartSmallPanelModel() {
        vqdrive::firmware::SetModelRecord(L"N10A");
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        vqdrive::intel::Reset();
        ASSERT_TRUE(vqdrive::intel::Register());
        Start(L"vista", L"", vqdrive::adapter::LibraryPath());
        SetCursorPos(5, 5);  // away from the OSD, where a click would select
    }
    // Waits until the panel shows this size.
    static bool WaitForPanel(int width, int height, DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        for (;;) {
            const desktop::Display panel = desktop::AttachedAt(0, 0);
            if (panel.width == width && panel.height == height) return true;
            if (GetTickCount() - start > timeoutMs) return false;
            vqdrive::Pause(100);
        }
    }
};

TEST_F(ResolutionToggleE2eTest, TheKeyStepsTheToggleAndTheChoiceBecomesTheDesktopsSize) {
    StartSmallPanelModel();

    // The 1366 x 768 panel opens on 1024 x 600; the next press selects 800 x 480.
    vqdrive::TapKey(0xFF, kResolutionToggleScan);
    ASSERT_TRUE(WaitForOsdShown(true, 3000)) << "the resolution toggle did not open\n" << TraceText() << "\n" << Log();
    vqdrive::Pause(250);
    const Picture opened = OsdPicture();
    vqdrive::TapKey(0xFF, kResolutionToggleScan);
    vqdrive::Pause(250);
    const Picture stepped = OsdPicture();
    EXPECT_GT(CountMismatches(opened, stepped), 0) << "the step changed nothing on screen";

    ASSERT_TRUE(WaitForOsdShown(false, 6000)) << "the toggle did not close";
    EXPECT_TRUE(WaitForPanel(800, 480, 8000)) << Desktop() << "\n" << TraceText() << "\n" << Log();
    const DWORD asked = GetTickCount();
    while (SettingValue(L"Rotation") != 1 && GetTickCount() - asked < 3000) vqdrive::Pause(50);
    EXPECT_EQ(SettingValue(L"Rotation"), 1u) << "the rotation question was not answered again";
    EXPECT_TRUE(program_.Running());
}

// 1024 x 600 is one of the sizes the panel shows scaled down; before sleep
// the panel goes back to 800 x 480.
TEST_F(ResolutionToggleE2eTest, AScaledChoiceTurnsDownScalingOnAndSleepPutsTheSmallSizeBack) {
    StartSmallPanelModel();
    vqdrive::TapKey(0xFF, kResolutionToggleScan);
    ASSERT_TRUE(WaitForOsdShown(true, 3000)) << TraceText() << "\n" << Log();
    ASSERT_TRUE(WaitForOsdShown(false, 6000)) << "the toggle did not close";
    EXPECT_TRUE(WaitForPanel(1024, 600, 8000)) << Desktop() << "\n" << Log();
    EXPECT_EQ(vqdrive::intel::Value(L"DownScalingEnabled"), 1u);
    EXPECT_EQ(vqdrive::intel::Value(L"DownScalingWidth"), 1024u);
    EXPECT_EQ(vqdrive::intel::Value(L"DownScalingHeight"), 600u);

    vqdrive::SendPower(window_, PBT_APMSUSPEND);
    EXPECT_TRUE(WaitForPanel(800, 480, 8000)) << Desktop() << "\n" << TraceText() << "\n" << Log();
    EXPECT_TRUE(program_.Running());
}

}  // namespace
