// Handlers that keep the message queue running (the menu program's rotation
// requests, a display change that lets the desktop repaint) under Wine's
// heap checking for the program: a close, a second request or a key that
// arrives inside them waits until they have ended, so that the program
// never goes on with objects its tear-down has freed, and ends cleanly.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "freechecking.h"
#include "programtest.h"
#include "simadapter.h"
#include "simdesktop.h"
#include "simfirmware.h"
#include "simintel.h"
#include "vqdrive.h"

namespace {

namespace desktop = vqdrive::desktop;

constexpr UINT kSiblingRoadOn = 0x46E;
constexpr WPARAM kRotateStep = 17;
constexpr WPARAM kRotateStep42 = 42;
constexpr WPARAM kChangeCombination = 53;
constexpr LPARAM kPanelOnly = 0x01;
constexpr WPARAM kDisplaySwitchKey = 1;
constexpr WPARAM kBrightnessDownCode = 8;  // N10A's, from the menu program
constexpr char kTearDown[] = "KbdHkSetUnhook";

class ReentryE2eTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(freeChecking_.Active());
    }
    void TearDown() override {
        ProgramTest::TearDown();
        if (intelNotebook_) {
            desktop::Reset();
            vqdrive::intel::Reset();
            vqdrive::intel::Unregister();
            vqdrive::adapter::Reset();
            RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Profile");
        }
    }

    // The simulated Intel notebook with the menu program (N10A) on Vista, a
    // CRT right of the panel and the desktop extended over both.
    void StartIntelNotebook() {
        intelNotebook_ = true;
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Profile");
        ASSERT_TRUE(desktop::Reset()) << Desktop();
        vqdrive::firmware::SetModelRecord(L"N10A");
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        vqdrive::intel::Reset();
        ASSERT_TRUE(vqdrive::intel::Register());
        ASSERT_TRUE(desktop::Connect(desktop::kExternal, 1280, 1024, desktop::kPanelWidth, 0));
        ASSERT_TRUE(desktop::WaitForAttached(2, 5000)) << Desktop();
        vqdrive::intel::SetConnected(L"Crt", true);
        vqdrive::intel::SetShown(0x01, 0x02);
        Start(L"vista", L"", vqdrive::adapter::LibraryPath());
    }

    // Waits for the program to end; true when it ended by itself with exit
    // code 0. This thread's windows answer meanwhile: a display change
    // sends them its notification and waits for them.
    bool EndsCleanly(DWORD timeoutMs) {
        const DWORD start = GetTickCount();
        DWORD code = STILL_ACTIVE;
        while ((code = program_.WaitForExit(0)) == STILL_ACTIVE && GetTickCount() - start < timeoutMs) {
            vqdrive::Pause(50);
        }
        EXPECT_NE(code, static_cast<DWORD>(STILL_ACTIVE)) << "the program did not end\n" << TraceText();
        EXPECT_NE(code, static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION)) << "access violation\n" << TraceText();
        return code == 0;
    }
    // The trace lines after the tear-down began; empty when it was not seen.
    std::vector<std::string> LinesAfterTearDown() const {
        const std::vector<std::string> lines = TraceLines();
        const auto at = std::find_if(lines.begin(), lines.end(),
                                     [](const std::string& l) { return l.find(kTearDown) != std::string::npos; });
        if (at == lines.end()) return {};
        return {at + 1, lines.end()};
    }
    bool TearDownSeen() const {
        for (const std::string& line : TraceLines()) {
            if (line.find(kTearDown) != std::string::npos) return true;
        }
        return false;
    }
    static std::string Desktop() { return desktop::Describe(desktop::AttachedDisplays()); }

    FreeCheckingForProgram freeChecking_;
    bool intelNotebook_ = false;
};

// The menu program asks for two rotation steps and the program is closed
// behind them: the first step ends, then the program ends, and nothing of
// the second request runs against what the tear-down freed.
TEST_F(ReentryE2eTest, ACloseBehindRotationRequestsEndsTheProgramAfterTheRunningOne) {
    Start(L"win7");
    SendMessageW(window_, kSiblingRoadOn, 0, 0);
    ASSERT_TRUE(vqdrive::PostSibling(window_, kRotateStep, 0));
    ASSERT_TRUE(vqdrive::PostSibling(window_, kRotateStep42, 0));
    ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
    EXPECT_TRUE(EndsCleanly(10000));
    const std::vector<std::string> calls = TraceCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "RotateDisplayStep 0"), calls.end()) << TraceText();
    EXPECT_TRUE(TearDownSeen()) << TraceText();
    for (const std::string& line : LinesAfterTearDown()) {
        EXPECT_EQ(line.find("call "), std::string::npos) << "after the tear-down: " << line;
    }
}

// A burst of rotation requests no longer nests one pump in another: the
// close behind it ends the program after the running request, not after
// forty nested ones.
TEST_F(ReentryE2eTest, ABurstOfRotationRequestsDoesNotHoldACloseBack) {
    Start(L"win7");
    SendMessageW(window_, kSiblingRoadOn, 0, 0);
    for (int i = 0; i < 40; ++i) {
        ASSERT_TRUE(vqdrive::PostSibling(window_, i % 2 ? kRotateStep42 : kRotateStep, 0));
    }
    ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
    EXPECT_TRUE(EndsCleanly(5000));
    const std::vector<std::string> calls = TraceCalls();
    EXPECT_LE(std::count_if(calls.begin(), calls.end(),
                            [](const std::string& c) { return c.rfind("RotateDisplayStep", 0) == 0; }),
              2)
        << TraceText();
}

// A close 200 ms into a display change the menu program asked for: the
// change is applied whole, then the program ends.
TEST_F(ReentryE2eTest, ACloseDuringADisplayChangeEndsTheProgramAfterIt) {
    StartIntelNotebook();
    ASSERT_TRUE(vqdrive::PostSibling(window_, kChangeCombination, kPanelOnly));
    vqdrive::Pause(200);
    ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
    EXPECT_TRUE(EndsCleanly(20000));
    EXPECT_TRUE(desktop::WaitForAttached(1, 5000)) << "the panel alone: " << Desktop();
    EXPECT_TRUE(TearDownSeen()) << TraceText();
    for (const std::string& line : LinesAfterTearDown()) {
        EXPECT_EQ(line.find("call "), std::string::npos) << "after the tear-down: " << line;
    }
}

// The display switcher applies its choice from its own selection timer and
// lets the desktop repaint with the queue running. A key that arrived
// meanwhile (here the brightness down key from the menu program) found the
// switcher hidden, had a new OSD window made and the switcher's window freed
// while its handler was still applying the choice: an access violation in
// the OSD window right after the change. The key now waits for the change.
TEST_F(ReentryE2eTest, AKeyArrivingWhileTheSwitcherAppliesItsChoiceIsHandledAfterIt) {
    StartIntelNotebook();
    vqdrive::firmware::SetValue(L"Brightness", 5);
    vqdrive::intel::ClearJournal();
    SetCursorPos(5, 5);  // away from the OSD
    ASSERT_TRUE(vqdrive::PostSibling(window_, kDisplaySwitchKey, 0));
    ASSERT_TRUE(WaitForOsdShown(true, 5000)) << "the display switcher did not open\n" << TraceText();
    // The selection timer confirms the first choice and the component is asked to change.
    DWORD start = GetTickCount();
    while (vqdrive::intel::JournalOf("ChangeActiveDevices").empty() && GetTickCount() - start < 10000) vqdrive::Pause(10);
    ASSERT_FALSE(vqdrive::intel::JournalOf("ChangeActiveDevices").empty()) << "the choice was not applied\n" << TraceText();
    ASSERT_TRUE(vqdrive::PostSibling(window_, kBrightnessDownCode, 0));
    start = GetTickCount();
    while (vqdrive::firmware::Value(L"Brightness") != 4 && GetTickCount() - start < 8000) vqdrive::Pause(50);
    EXPECT_TRUE(program_.Running()) << TraceText();
    EXPECT_EQ(vqdrive::firmware::Value(L"Brightness"), 4u) << TraceText();
    EXPECT_TRUE(WaitForOsdShown(true, 3000)) << "the brightness picture";
    ASSERT_TRUE(PostMessageW(window_, WM_CLOSE, 0, 0));
    EXPECT_TRUE(EndsCleanly(20000));
}

}  // namespace
