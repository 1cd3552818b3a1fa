// A function key all the way through the program under Wine: key road, key
// handling, hotkey dispatcher, simulated firmware, and the OSD on screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "osd/hotkeypicture.h"
#include "programtest.h"
#include "screenpixels.h"
#include "simfirmware.h"
#include "vqdrive.h"

namespace {

constexpr wchar_t kLevelStrip[] = L"vqiHKLevel.dll";

// The brightness picture at a level, as the screen must show it.
Picture BrightnessPicture(int level) {
    Picture expected = StripFramePicture(kLevelStrip, 0);
    const Picture bar = StripFramePicture(kLevelStrip, 1);
    DrawOver(expected, bar, osd::kBrightnessBarAt.x, osd::kBrightnessBarAt.y,
             osd::BrightnessClipRight(level, expected.width));
    return expected;
}

class HotkeyEndToEnd : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        vqdrive::firmware::SetValue(L"Brightness", 3);
    }
    // Waits until the firmware's brightness is `level`.
    bool WaitForBrightness(DWORD level) {
        const DWORD start = GetTickCount();
        while (vqdrive::firmware::Value(L"Brightness") != level && GetTickCount() - start < 3000) vqdrive::Pause(20);
        return vqdrive::firmware::Value(L"Brightness") == level;
    }
    // The OSD as it is on screen, against the brightness picture at `level`.
    void ExpectBrightnessOnScreen(int level) {
        RECT osd{};
        const DWORD start = GetTickCount();
        while (!vqdrive::FindOsdRect(program_.ProcessId(), &osd) && GetTickCount() - start < 2000) vqdrive::Pause(20);
        ASSERT_TRUE(vqdrive::FindOsdRect(program_.ProcessId(), &osd)) << "no OSD window shown";
        vqdrive::Pause(50);
        const Picture expected = BrightnessPicture(level);
        ASSERT_GT(expected.width, 0) << "the level strip is missing";
        EXPECT_EQ(CountMismatches(CaptureScreen(osd), expected), 0);
        EXPECT_GT(CountMismatches(CaptureScreen(osd), BrightnessPicture(level + 1)), 20);
    }
};

TEST_F(HotkeyEndToEnd, BrightnessKeyOnRawInputRaisesTheFirmwareLevelAndShowsTheBar) {
    Start(L"win7");
    vqdrive::TapKey(0xFF, 8);
    ASSERT_TRUE(WaitForBrightness(4));
    ExpectBrightnessOnScreen(4);
    // The OSD hides itself after 1.5 s.
    vqdrive::Pause(1900);
    RECT gone{};
    EXPECT_FALSE(vqdrive::FindOsdRect(program_.ProcessId(), &gone));
}

TEST_F(HotkeyEndToEnd, BrightnessKeyThroughTheKeyboardHookOnVistaIsSwallowed) {
    Start(L"vista");
    vqdrive::TapKey(0xFF, 8);
    ASSERT_TRUE(WaitForBrightness(4));
    ExpectBrightnessOnScreen(4);
}

TEST_F(HotkeyEndToEnd, BrightnessKeyOfTheUsbKeyboardLibrary) {
    vqdrive::firmware::SetModelRecord(L"S30K1");  // a model family with a USB keyboard
    Start(L"win7");
    ASSERT_TRUE(vqdrive::SendUsbUsage(0xB2, 0xFF7F));  // brightness up on these models
    ASSERT_TRUE(WaitForBrightness(4));
    ExpectBrightnessOnScreen(4);
}

TEST_F(HotkeyEndToEnd, ActedOnKeyAnswersZeroAndAnUnknownOnePassesOn) {
    vqdrive::firmware::SetModelRecord(L"S30K1");
    Start(L"win7");
    // Message 0x8B1 gives the key's result back to its sender.
    EXPECT_EQ(vqdrive::SendSibling(program_.MainWindow(), 7, 0), 0) << "the default vqScanCode 255 becomes 0";
    EXPECT_TRUE(WaitForBrightness(4));
    vqdrive::SendSibling(program_.MainWindow(), 99, 0);
    EXPECT_TRUE(program_.Running());
}

TEST_F(HotkeyEndToEnd, FirmwareWriteFaultsAreRetriedAndTheLastOneGivesUp) {
    vqdrive::firmware::SetFault(0x11, 3, 5);  // five failed writes, then success
    Start(L"win7");
    vqdrive::TapKey(0xFF, 8);
    ASSERT_TRUE(WaitForBrightness(4));
    ExpectBrightnessOnScreen(4);

    vqdrive::firmware::SetFault(0x11, 3, 6);
    vqdrive::Pause(1900);  // the first picture is gone
    vqdrive::TapKey(0xFF, 8);
    EXPECT_TRUE(vqdrive::WaitForLine(vqdrive::LogFilePath(), "smi_trial>SMI_MAX_TRIAL", 3000));
    EXPECT_EQ(vqdrive::firmware::Value(L"Brightness"), 4u);
    RECT osd{};
    EXPECT_FALSE(vqdrive::FindOsdRect(program_.ProcessId(), &osd)) << "no picture after six failed writes";
}

struct LayeredWindowSearch {
    DWORD processId;
    bool visible;
    std::vector<HWND> found;
};

// A CALLBACK function, not a lambda: the enumeration callback is stdcall on 32-bit Windows.
BOOL CALLBACK CollectLayeredWindow(HWND window, LPARAM param) {
    auto* s = reinterpret_cast<LayeredWindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == s->processId && (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) &&
        (IsWindowVisible(window) != FALSE) == s->visible) {
        s->found.push_back(window);
    }
    return TRUE;
}

// The program's layered windows that are shown, or hidden.
std::vector<HWND> LayeredWindows(DWORD processId, bool visible) {
    LayeredWindowSearch search{processId, visible, {}};
    EnumWindows(CollectLayeredWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Waits until the program has exactly one layered window of that kind.
HWND WaitForOneLayeredWindow(DWORD processId, bool visible) {
    const DWORD start = GetTickCount();
    std::vector<HWND> windows;
    while ((windows = LayeredWindows(processId, visible)).size() != 1 && GetTickCount() - start < 3000) {
        vqdrive::Pause(10);
    }
    return windows.size() == 1 ? windows.front() : nullptr;
}

TEST_F(HotkeyEndToEnd, EveryKeyAfterAHideShowsANewWindowMadeBeforeTheKey) {
    Start(L"win7");
    // After the start the first OSD window waits, hidden, for the first key.
    const HWND first = WaitForOneLayeredWindow(program_.ProcessId(), false);
    ASSERT_NE(first, nullptr) << "no OSD window made ahead";
    vqdrive::TapKey(0xFF, 8);
    ASSERT_TRUE(WaitForBrightness(4));
    EXPECT_EQ(WaitForOneLayeredWindow(program_.ProcessId(), true), first);
    EXPECT_TRUE(LayeredWindows(program_.ProcessId(), false).empty()) << "one OSD window at a time";

    // Its hide destroys it; then the next one is made, and the next key shows that one.
    const DWORD start = GetTickCount();
    while (IsWindow(first) && GetTickCount() - start < 3000) vqdrive::Pause(20);
    EXPECT_FALSE(IsWindow(first)) << "the window outlived its hide";
    const HWND second = WaitForOneLayeredWindow(program_.ProcessId(), false);
    ASSERT_NE(second, nullptr) << "no OSD window made ahead after the hide";
    EXPECT_NE(second, first);
    vqdrive::TapKey(0xFF, 9);
    ASSERT_TRUE(WaitForBrightness(3));
    EXPECT_EQ(WaitForOneLayeredWindow(program_.ProcessId(), true), second);
    ExpectBrightnessOnScreen(3);
}

TEST_F(HotkeyEndToEnd, WirelessKeyIsBlockedForFiveSecondsAfterItActed) {
    vqdrive::firmware::SetValue(L"Radio1", 2);  // no radio switch: the key toggles the wireless device
    Start(L"win7");
    auto waitForWireless = [](DWORD state) {
        const DWORD start = GetTickCount();
        while (vqdrive::firmware::Value(L"Wireless", 1) != state && GetTickCount() - start < 3000) vqdrive::Pause(20);
        return vqdrive::firmware::Value(L"Wireless", 1) == state;
    };
    vqdrive::TapKey(0xFF, 6);
    ASSERT_TRUE(waitForWireless(0));
    vqdrive::Pause(1000);
    vqdrive::TapKey(0xFF, 6);  // inside the block: ignored
    vqdrive::Pause(500);
    EXPECT_EQ(vqdrive::firmware::Value(L"Wireless", 1), 0u);
    vqdrive::Pause(4000);       // the block ended with its timer
    vqdrive::TapKey(0xFF, 6);
    EXPECT_TRUE(waitForWireless(1));
}

}  // namespace
