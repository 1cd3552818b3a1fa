// The resolution and rotation keys in the running program on the simulated
// Intel notebook (Vista) with a monitor right of the panel: the key acts on
// the display under the pointer only, says so where there is no smaller
// size, and a rotation the desktop refuses leaves the mode as it was.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
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
// N10A has a USB keyboard, whose codes 7 and 8 are the brightness keys; on
// Vista its keys come through the hook library, where the brightness keys
// still carry the PS/2 codes 8 and 9 and are turned into 7 and 8. So the
// key tapped here is 9: with Shift it steps the resolution down, with Alt it
// turns the display to 180 degrees.
constexpr BYTE kResolutionDownScan = 9;
constexpr BYTE kRotate180Scan = 9;
constexpr BYTE kShiftScan = 0x2A;
constexpr BYTE kAltScan = 0x38;

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

    void StartIntelNotebook(int externalWidth, int externalHeight) {
        vqdrive::firmware::SetModelRecord(L"N10A");
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        vqdrive::intel::Reset();
        ASSERT_TRUE(vqdrive::intel::Register());
        ASSERT_TRUE(desktop::Connect(desktop::kExternal, externalWidth, externalHeight, desktop::kPanelWidth, 0));
        ASSERT_TRUE(desktop::WaitForAttached(2, 5000)) << Desktop();
        vqdrive::intel::SetConnected(L"Crt", true);
        vqdrive::intel::SetShown(0x01, 0x02);
        vqdrive::intel::ClearJournal();
        Start(L"vista", L"", vqdrive::adapter::LibraryPath());
    }
    // Taps `scan` with a modifier held, the pointer over the external monitor.
    void TapOverExternal(BYTE modifierKey, BYTE modifierScan, BYTE scan) {
        SetCursorPos(desktop::kPanelWidth + 200, 200);
        vqdrive::PressKey(modifierKey, modifierScan);
        vqdrive::TapKey(0xFF, scan);
        vqdrive::ReleaseKey(modifierKey, modifierScan);
    }
    static std::string Desktop() { return desktop::Describe(desktop::AttachedDisplays()); }
    static std::string Log() { return vqdrive::ReadFileBytes(vqdrive::LogFilePath()); }
    bool WaitForLog(const std::string& text, DWORD timeoutMs) {
        return vqdrive::WaitForLine(vqdrive::LogFilePath(), text, timeoutMs);
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

TEST_F(ResolutionE2eTest, ResolutionKeyOverTheExternalMonitorChangesThatMonitorOnly) {
    StartIntelNotebook(1280, 1024);
    TapOverExternal(VK_SHIFT, kShiftScan, kResolutionDownScan);
    EXPECT_TRUE(WaitForExternal(1024, 768, 8000)) << Desktop() << "\n" << TraceText() << "\n" << Log();
    const desktop::Display panel = desktop::AttachedAt(0, 0);
    EXPECT_EQ(panel.width, desktop::kPanelWidth) << Desktop();
    EXPECT_EQ(panel.height, desktop::kPanelHeight) << Desktop();
    EXPECT_TRUE(program_.Running());
}

TEST_F(ResolutionE2eTest, ResolutionDownAtTheSmallestSizeDoesNothingAndSaysSo) {
    StartIntelNotebook(800, 600);
    TapOverExternal(VK_SHIFT, kShiftScan, kResolutionDownScan);
    EXPECT_TRUE(WaitForLog("Resolution down: the display is at its smallest size already", 8000))
        << TraceText() << "\n" << Log();
    const desktop::Display external = desktop::AttachedAt(desktop::kPanelWidth, 0);
    EXPECT_EQ(external.width, 800) << Desktop();
    EXPECT_EQ(external.height, 600) << Desktop();
    EXPECT_TRUE(program_.Running());
}

TEST_F(ResolutionE2eTest, RotationKeyOverTheExternalMonitorAsksTheDriverForThatOutput) {
    StartIntelNotebook(1280, 1024);
    TapOverExternal(VK_MENU, kAltScan, kRotate180Scan);
    const std::vector<std::string> calls = WaitForCall("RotateDisplayAt 180", 4000);
    ASSERT_NE(std::find(calls.begin(), calls.end(), "RotateDisplayAt 180"), calls.end()) << TraceText();
    vqdrive::Pause(1500);
    EXPECT_TRUE(program_.Running());
    // Whatever the driver answered, the monitor keeps a mode of its own size.
    const desktop::Display external = desktop::AttachedAt(desktop::kPanelWidth, 0);
    EXPECT_TRUE((external.width == 1280 && external.height == 1024) ||
                (external.width == 1024 && external.height == 1280))
        << Desktop();
    std::string journal;
    for (const std::string& line : vqdrive::intel::Journal()) journal += line + "\n";
    RecordProperty("IntelJournal", journal);
    std::printf("[rotation] desktop after: %s\n[rotation] component journal:\n%s", Desktop().c_str(), journal.c_str());
}

}  // namespace
