// The mini UI on the simulated notebook: a monitor plugged in shows the row
// of four panels at the bottom of the primary display (their icons drawn, the
// user's window keeping the focus); Escape in a panel hides them all and the
// first hide shows the hint once, also across a restart; a click on a
// panel's view-mode button with the real mouse changes its mode with the
// animation; the auto-disappear countdown counts down in the titles and
// hides the row after 20 s; and new monitors are written into the display
// history, with "new monitors only" leaving a known monitor alone.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "programtest.h"
#include "simadapter.h"
#include "simdesktop.h"
#include "simintel.h"
#include "vqdrive.h"

namespace {

namespace desktop = vqdrive::desktop;

constexpr int kViewModeButton = 1069;
constexpr BYTE kEscapeScan = 0x01;
constexpr DWORD kDefaultOptions = 0x111111;
constexpr DWORD kNewMonitorsOnly = 0x1111111;
constexpr DWORD kNoAutoHide = 0x011111;
const wchar_t* const kIcons[] = {L"DispSwitching.ini", L"DispResolution.ini", L"Presentation.ini", L"Option.ini"};

void WriteSetting(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Settings", name, REG_DWORD, &value,
                    sizeof value);
}
void DeleteSetting(const wchar_t* name) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Settings", name);
}

std::wstring Title(HWND hwnd) {
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

class MiniUiE2eTest : public ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(desktop::Reset()) << desktop::Describe(desktop::Displays());
        for (const wchar_t* name : {L"SimpleUI", L"FirstUserHide"}) DeleteSetting(name);
        WriteSetting(L"miniWinDisplay", kDefaultOptions);
        vqdrive::DeleteFileIfPresent(History());
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr), Gdiplus::Ok);
        // No pointer over the row: it would count as the user touching it.
        vqdrive::MoveMouseTo(5, 5);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        desktop::Reset();
        vqdrive::intel::Reset();
        vqdrive::intel::Unregister();
        vqdrive::adapter::Reset();
        for (const wchar_t* name : {L"SimpleUI", L"FirstUserHide", L"miniWinDisplay"}) DeleteSetting(name);
        vqdrive::DeleteFileIfPresent(History());
        Gdiplus::GdiplusShutdown(gdiplus_);
    }

    static std::wstring History() { return vqdrive::ProgramFolder() + L"dispHistory.dat"; }

    // The notebook with its Intel graphics, the panel alone.
    void StartNotebook() {
        vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
        vqdrive::intel::Reset();
        ASSERT_TRUE(vqdrive::intel::Register());
        Start(L"win7", L"", vqdrive::adapter::LibraryPath());
    }

    // The program's panels, left to right: output, resolution, presentation, options.
    std::vector<HWND> Panels() const { return vqdrive::FindMiniUiPanels(program_.ProcessId()); }
    int VisiblePanels() const {
        const std::vector<HWND> panels = Panels();
        return static_cast<int>(std::count_if(panels.begin(), panels.end(), IsWindowVisible));
    }
    bool WaitForVisiblePanels(int count, DWORD timeoutMs) const {
        const DWORD start = GetTickCount();
        while (VisiblePanels() != count) {
            if (GetTickCount() - start >= timeoutMs) return false;
            vqdrive::Pause(50);
        }
        vqdrive::Pause(200);
        return true;
    }
    size_t Shows() const {
        const std::vector<std::string> calls = TraceCalls();
        return static_cast<size_t>(std::count(calls.begin(), calls.end(), std::string("ShowMiniUI 1")));
    }
    void Plug(const wchar_t* output, int width, int height) {
        ASSERT_TRUE(desktop::Connect(output, width, height, desktop::kPanelWidth, 0)) << desktop::Describe(desktop::Displays());
    }

    // How many pixels of a panel's view-mode button differ from its icon
    // drawn over the panel's background; -1 when the icon cannot be read.
    static int IconMismatches(HWND panel, const wchar_t* icon, int* drawn) {
        const Picture image = LoadPicture(vqdrive::ProgramFolder() + L"images\\comm\\" + icon);
        if (image.width != 32) return -1;
        const RECT button = WindowRect(GetDlgItem(panel, kViewModeButton));
        // The control may be a little smaller than the icon: it shows what fits.
        const int width = std::min<int>(32, button.right - button.left - 2);
        const int height = std::min<int>(32, button.bottom - button.top);
        const Picture screen = CaptureScreen(RECT{button.left, button.top, button.left + width, button.top + height});
        // The background shows through the icon's clear corner.
        if (image.At(0, 0) >> 24 != 0) return -1;
        const DWORD background = screen.At(0, 0);
        int mismatches = 0;
        *drawn = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const DWORD p = image.At(x, y);  // premultiplied
                const int alpha = static_cast<int>(p >> 24);
                const DWORD s = screen.At(x, y);
                int worst = 0, fromBackground = 0;
                for (int shift : {0, 8, 16}) {
                    const int bg = static_cast<int>((background >> shift) & 0xFF);
                    const int want = static_cast<int>((p >> shift) & 0xFF) + bg * (255 - alpha) / 255;
                    const int got = static_cast<int>((s >> shift) & 0xFF);
                    worst = std::max(worst, std::abs(want - got));
                    fromBackground = std::max(fromBackground, std::abs(got - bg));
                }
                mismatches += worst > 24;
                *drawn += fromBackground > 24;
            }
        }
        return mismatches;
    }

    ULONG_PTR gdiplus_ = 0;
};

TEST_F(MiniUiE2eTest, APluggedMonitorShowsTheRowAtTheBottomOfThePrimaryDisplayWithItsIconsAndNoFocusTaken) {
    StartNotebook();
    const HWND user = vqdrive::EnsureForegroundWindow();
    SetForegroundWindow(user);
    vqdrive::Pause(100);
    ASSERT_EQ(VisiblePanels(), 0) << "created hidden";
    Plug(desktop::kExternal, 1280, 1024);
    ASSERT_TRUE(WaitForVisiblePanels(4, 8000)) << TraceText();
    EXPECT_EQ(GetForegroundWindow(), user) << "the user's window keeps the focus";
    const std::vector<HWND> panels = Panels();
    ASSERT_EQ(panels.size(), 4u);
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    RECT bar{};
    const bool bottomTaskbar = taskbar && IsWindowVisible(taskbar) && GetWindowRect(taskbar, &bar) &&
                               bar.top >= desktop::kPanelHeight / 2 && bar.bottom <= desktop::kPanelHeight + 2;
    for (size_t i = 0; i < panels.size(); ++i) {
        const RECT r = WindowRect(panels[i]);
        SCOPED_TRACE(i);
        // On the primary display, 12 pixels (and the frame) above its bottom or its taskbar.
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.right, desktop::kPanelWidth);
        const LONG base = bottomTaskbar ? bar.top : desktop::kPanelHeight;
        EXPECT_GE(r.bottom, base - 12 - 2);
        EXPECT_LE(r.bottom, base - 12 + 2);
        if (i > 0) {
            EXPECT_GE(r.left, WindowRect(panels[i - 1]).right) << "one row, left to right, apart";
        }
        int drawn = 0;
        const int mismatches = IconMismatches(panels[i], kIcons[i], &drawn);
        EXPECT_GE(mismatches, 0);
        EXPECT_LT(mismatches, 32 * 32 / 20) << "the icon as its file has it";
        EXPECT_GT(drawn, 32 * 32 / 3) << "not blank";
    }
    // The row is centred on the primary display.
    const LONG middle = (WindowRect(panels.front()).left + WindowRect(panels.back()).right) / 2;
    EXPECT_LE(std::abs(middle - desktop::kPanelWidth / 2), 40);
    // Taking the monitor away hides the row.
    ASSERT_TRUE(desktop::Disconnect(desktop::kExternal));
    EXPECT_TRUE(WaitForVisiblePanels(0, 5000)) << TraceText();
}

TEST_F(MiniUiE2eTest, EscapeHidesEveryPanelAndTheFirstHideShowsTheHintOnceEver) {
    WriteSetting(L"miniWinDisplay", kNoAutoHide);
    StartNotebook();
    Plug(desktop::kExternal, 1280, 1024);
    ASSERT_TRUE(WaitForVisiblePanels(4, 8000)) << TraceText();
    // The user clicks a panel beside its icon, then presses Escape.
    const RECT resolution = WindowRect(Panels()[1]);
    ASSERT_TRUE(vqdrive::ClickAt((resolution.left + resolution.right) / 2, resolution.bottom - 5));
    vqdrive::Pause(200);
    ASSERT_TRUE(vqdrive::TapKey(VK_ESCAPE, kEscapeScan));
    const vqdrive::MessageBoxInfo hint = vqdrive::WaitForMessageBox(program_.ProcessId(), 5000);
    ASSERT_NE(hint.window, nullptr) << TraceText();
    EXPECT_EQ(hint.caption, L"Valmora");
    EXPECT_NE(hint.text.find(L"Win+F4"), std::wstring::npos);
    EXPECT_EQ(VisiblePanels(), 0);
    vqdrive::CloseMessageBox(hint.window);
    EXPECT_EQ(SettingValue(L"FirstUserHide"), 2u);

    // The next run: plugged again, Escape again, and no hint.
    StartNotebook();
    ASSERT_TRUE(desktop::Disconnect(desktop::kExternal));
    vqdrive::Pause(1000);
    Plug(desktop::kExternal, 1280, 1024);
    ASSERT_TRUE(WaitForVisiblePanels(4, 8000)) << TraceText();
    const RECT again = WindowRect(Panels()[1]);
    ASSERT_TRUE(vqdrive::ClickAt((again.left + again.right) / 2, again.bottom - 5));
    vqdrive::Pause(200);
    ASSERT_TRUE(vqdrive::TapKey(VK_ESCAPE, kEscapeScan));
    EXPECT_TRUE(WaitForVisiblePanels(0, 3000));
    EXPECT_EQ(vqdrive::WaitForMessageBox(program_.ProcessId(), 1500).window, nullptr) << "the hint comes once";
}

TEST_F(MiniUiE2eTest, ClickingAViewModeButtonChangesThePanelsModeWithTheAnimationAndTheModeIsKept) {
    WriteSetting(L"miniWinDisplay", kNoAutoHide);
    StartNotebook();
    Plug(desktop::kExternal, 1280, 1024);
    ASSERT_TRUE(WaitForVisiblePanels(4, 8000)) << TraceText();
    HWND output = Panels()[0];
    const RECT icon = WindowRect(output);
    EXPECT_EQ(icon.right - icon.left, 44);
    EXPECT_EQ(icon.bottom - icon.top, 48);
    ASSERT_TRUE(vqdrive::ClickViewModeButton(output));
    vqdrive::Pause(500);
    const RECT strip = WindowRect(output);
    EXPECT_EQ(strip.right - strip.left, 160) << "icon -> strip";
    EXPECT_EQ(strip.bottom - strip.top, 48);
    // The animation leaves the pointer just right of and below the button's centre.
    const RECT moved = WindowRect(GetDlgItem(output, kViewModeButton));
    POINT pointer{};
    GetCursorPos(&pointer);
    EXPECT_NEAR(pointer.x, (moved.left + moved.right) / 2 + 10, 1);
    EXPECT_NEAR(pointer.y, (moved.top + moved.bottom) / 2 + 10, 1);
    // The row was laid out again: the output panel still leads it, on the same bottom line.
    EXPECT_LT(strip.right, WindowRect(Panels()[1]).left);
    EXPECT_EQ(strip.bottom, icon.bottom);
    // Full next; hidden, the modes are kept for the next run.
    ASSERT_TRUE(vqdrive::ClickAt(pointer.x - 10, pointer.y - 10));
    vqdrive::Pause(500);
    EXPECT_EQ(WindowRect(output).bottom - WindowRect(output).top, 155) << "strip -> full";
    ASSERT_TRUE(desktop::Disconnect(desktop::kExternal));
    ASSERT_TRUE(WaitForVisiblePanels(0, 5000));
    EXPECT_EQ(SettingValue(L"SimpleUI") & 0xF, 2u);
}

TEST_F(MiniUiE2eTest, TheCountdownShowsItsSecondsInTheTitlesAndHidesTheRowAfterTwentySeconds) {
    StartNotebook();
    Plug(desktop::kExternal, 1280, 1024);
    ASSERT_TRUE(WaitForVisiblePanels(4, 8000)) << TraceText();
    const DWORD shown = GetTickCount();
    vqdrive::Pause(2500);
    const std::vector<HWND> panels = Panels();
    const std::wstring title = Title(panels[0]);
    ASSERT_EQ(title.rfind(L"VLM miniUI ", 0), 0u) << std::string(title.begin(), title.end());
    const int seconds = _wtoi(title.c_str() + 11);
    EXPECT_GE(seconds, 16);
    EXPECT_LE(seconds, 19);
    EXPECT_EQ(Title(panels[1]), title);
    EXPECT_EQ(Title(panels[3]), L"VLM miniUI") << "the options panel keeps its title";
    ASSERT_TRUE(WaitForVisiblePanels(0, 25000)) << TraceText();
    const DWORD elapsed = GetTickCount() - shown;
    EXPECT_GE(elapsed, 18000u);
    EXPECT_LE(elapsed, 23500u);
    EXPECT_EQ(Title(panels[0]), L"VLM miniUI");
}

TEST_F(MiniUiE2eTest, NewMonitorsAreWrittenIntoTheHistoryAndOnlyTheyShowTheRow) {
    WriteSetting(L"miniWinDisplay", kNewMonitorsOnly & ~0x100000u);
    // A history that has seen nothing yet (its byte-order mark alone).
    {
        HANDLE file = CreateFileW(History().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, "\xFF\xFE", 2, &written, nullptr);
        CloseHandle(file);
    }
    StartNotebook();
    const auto historyHas = [&](const std::wstring& name) {
        const std::string bytes = vqdrive::ReadFileBytes(History());
        const std::wstring text(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / 2);
        return text.find(name) != std::wstring::npos;
    };
    const std::wstring crt = desktop::MonitorName(desktop::kExternal, 1280, 1024);
    const std::wstring digital = desktop::MonitorName(desktop::kSecondExternal, 1920, 1080);

    Plug(desktop::kExternal, 1280, 1024);
    ASSERT_TRUE(WaitForVisiblePanels(4, 8000)) << TraceText();
    EXPECT_TRUE(historyHas(crt)) << std::string(crt.begin(), crt.end());
    EXPECT_EQ(Shows(), 1u) << "once for the burst";
    ASSERT_TRUE(desktop::Disconnect(desktop::kExternal));
    ASSERT_TRUE(WaitForVisiblePanels(0, 5000)) << "removing it hides the row";
    vqdrive::Pause(3500);  // the connection's handled period ends

    Plug(desktop::kSecondExternal, 1920, 1080);
    ASSERT_TRUE(WaitForVisiblePanels(4, 8000)) << TraceText();
    EXPECT_TRUE(historyHas(digital));
    EXPECT_TRUE(historyHas(crt));
    EXPECT_EQ(Shows(), 2u);
    ASSERT_TRUE(desktop::Disconnect(desktop::kSecondExternal));
    ASSERT_TRUE(WaitForVisiblePanels(0, 5000));
    vqdrive::Pause(3500);

    const std::string before = vqdrive::ReadFileBytes(History());
    Plug(desktop::kExternal, 1280, 1024);
    vqdrive::Pause(2000);
    EXPECT_EQ(VisiblePanels(), 0) << "a known monitor with \"new monitors only\"";
    EXPECT_EQ(Shows(), 2u);
    EXPECT_EQ(vqdrive::ReadFileBytes(History()), before);
}

}  // namespace
