// The OSD window on the real (virtual) display under Wine: its template,
// placement, what reaches the screen, its timers and self-destruction, the
// hide sequence's hand-over to its partners, and its failure reports.
#include <gtest/gtest.h>

#include <string>

#include "common/gdiobjects.h"
#include "common/processstate.h"
#include "osd/hotkeypicture.h"
#include "osd/osdplacement.h"
#include "osdfixture.h"
#include "vqdrive.h"

namespace {

using osd::SelectionOwner;

constexpr int kWirelessOn = 81;
constexpr int kWirelessOnFrame = 37;

POINT CentredOrigin(const CHKIconWindowDlg& osd, osd::OsdMode mode = osd::OsdMode::HotkeyPicture) {
    const SIZE box = osd.TemplateSize();
    return osd::CentredOrigin(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), box.cx, box.cy, mode);
}

// Where a picture of `frameWidth` lands when the window is centred.
POINT CentredPicture(const CHKIconWindowDlg& osd, int frameWidth) {
    const POINT box = CentredOrigin(osd);
    return {osd::CentredPictureLeft(box.x, osd.TemplateSize().cx, frameWidth), box.y};
}

// The window sits where a centred `picture` lands, at the picture's size.
void ExpectCentredAtItsSize(const CHKIconWindowDlg& osd, const RECT& window, const Picture& picture) {
    const POINT at = CentredPicture(osd, picture.width);
    EXPECT_EQ(window.left, at.x);
    EXPECT_EQ(window.top, at.y);
    EXPECT_EQ(window.right - window.left, picture.width);
    EXPECT_EQ(window.bottom - window.top, picture.height);
}

void MoveBy(HWND window, int dx, int dy) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, rect.left + dx, rect.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Sets the desktop work area for one case and puts the old one back.
class WorkAreaOverride {
public:
    explicit WorkAreaOverride(RECT area) {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &m_saved, 0);
        SystemParametersInfoW(SPI_SETWORKAREA, 0, &area, 0);
    }
    ~WorkAreaOverride() { SystemParametersInfoW(SPI_SETWORKAREA, 0, &m_saved, 0); }

private:
    RECT m_saved{};
};

void ClickAt(POINT at) {
    INPUT input[3] = {};
    for (INPUT& i : input) i.type = INPUT_MOUSE;
    input[0].mi.dx = at.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input[0].mi.dy = at.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(3, input, sizeof(INPUT));
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

// --- The window itself

using OsdWindow = OsdTest;

TEST_F(OsdWindow, TemplateGivesAHiddenDisabledTopmostLayeredPopup) {
    const HWND window = osd_->Handle();
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_FALSE(IsWindowEnabled(window));
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    EXPECT_TRUE(exStyle & WS_EX_LAYERED);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_GT(client.right, 300);  // 349 x 173 dialog units
    EXPECT_EQ(osd_->TemplateSize().cx, client.right);
    EXPECT_EQ(osd_->TemplateSize().cy, client.bottom);
    EXPECT_EQ(osd_->Mode(), osd::OsdMode::None);
}

TEST_F(OsdWindow, WithoutAWindowEveryOperationReportsAndFails) {
    osd_->DestroyWindow();
    EXPECT_TRUE(osd_->IsDestroyed());
    EXPECT_EQ(osd_->InitHotKeyIcon(kWirelessOn), 0);
    EXPECT_EQ(osd_->MoveHKWindowToCenter(), 0);
    EXPECT_EQ(osd_->MoveHKWindowToRightButtom(), 0);
    const std::string log = NewLog();
    EXPECT_NE(log.find(": InitHotKeyIcon\r\n"), std::string::npos) << log;
    EXPECT_NE(log.find("GetSafeHwnd(): CHKIconWindowDlg::MoveHKWindowToCenter"), std::string::npos);
    EXPECT_NE(log.find("GetSafeHwnd(): CHKIconWindowDlg::MoveHKWindowToRightButtom"), std::string::npos);
}

// --- Placement

TEST_F(OsdWindow, FirstPictureIsCentredBelowTheMiddleAtItsFrameSize) {
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    const Picture frame = FramePicture(IconStrip(), kWirelessOnFrame);
    ExpectCentredAtItsSize(*osd_, WindowRect(), frame);
    EXPECT_TRUE(IsWindowVisible(osd_->Handle()));
    EXPECT_TRUE(osd_->IsShown());
    EXPECT_EQ(osd_->Mode(), osd::OsdMode::HotkeyPicture);
}

TEST_F(OsdWindow, DisplaySwitcherIsPlacedSevenPixelsHigher) {
    osd_->SetMode(osd::OsdMode::DisplaySwitcher);
    ASSERT_EQ(osd_->MoveHKWindowToCenter(), 1);
    const RECT rect = WindowRect();
    EXPECT_EQ(rect.top, CentredOrigin(*osd_).y - 7);
    EXPECT_EQ(rect.left, CentredOrigin(*osd_).x);
    EXPECT_EQ(rect.right - rect.left, osd_->TemplateSize().cx);
}

TEST_F(OsdWindow, SecondVolumePictureWhileShownRedrawsInPlace) {
    ASSERT_EQ(ShowPicture(osd::kVolumeCode, 3), 1);
    MoveBy(osd_->Handle(), 40, 30);
    const RECT moved = WindowRect();
    ASSERT_EQ(ShowPicture(osd::kVolumeCode, 4), 1);
    const RECT after = WindowRect();
    EXPECT_EQ(after.left, moved.left);
    EXPECT_EQ(after.top, moved.top);
}

TEST_F(OsdWindow, ChangeOfStripInEitherDirectionRecentres) {
    const int levelWidth = FramePicture(LevelStrip(), 0).width;
    const int iconWidth = FramePicture(IconStrip(), kWirelessOnFrame).width;
    ASSERT_EQ(ShowPicture(osd::kBrightnessCode, 3), 1);
    MoveBy(osd_->Handle(), 40, 30);
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    EXPECT_EQ(WindowRect().left, CentredPicture(*osd_, iconWidth).x);
    EXPECT_EQ(WindowRect().top, CentredPicture(*osd_, iconWidth).y);

    MoveBy(osd_->Handle(), -25, 20);
    ASSERT_EQ(ShowPicture(osd::kBrightnessCode, 4), 1);
    EXPECT_EQ(WindowRect().left, CentredPicture(*osd_, levelWidth).x);
    EXPECT_EQ(WindowRect().top, CentredPicture(*osd_, levelWidth).y);
}

TEST_F(OsdWindow, PictureOfAnotherSizeOnTheSameStripIsCentredAgain) {
    ASSERT_EQ(ShowPicture(osd::kBatteryCode, 60), 1);
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    const int iconWidth = FramePicture(IconStrip(), kWirelessOnFrame).width;
    EXPECT_EQ(WindowRect().left, CentredPicture(*osd_, iconWidth).x);
    EXPECT_EQ(WindowRect().right - WindowRect().left, iconWidth);
}

struct LockKeyCase {
    int family;
    bool inCorner;
};

class LockKeyPicture : public OsdTest, public ::testing::WithParamInterface<LockKeyCase> {};

TEST_P(LockKeyPicture, SitsInTheWorkAreaCornerOnFamily15AndHidesAfter600ms) {
    // The taskbar on the left and at the top: the corner is the work area's right and bottom.
    WorkAreaOverride workArea(RECT{80, 40, 1366, 768});
    proc::modelFamily = GetParam().family;
    ASSERT_EQ(ShowPicture(129), 1);
    const Picture frame = FramePicture(IconStrip(), 23);
    const RECT rect = WindowRect();
    if (GetParam().inCorner) {
        EXPECT_EQ(rect.left, 1366 - frame.width);
        EXPECT_EQ(rect.top, 768 - frame.height);
        EXPECT_TRUE(osd_->AtRightBottom());
    } else {
        EXPECT_EQ(rect.left, CentredPicture(*osd_, frame.width).x);
        EXPECT_FALSE(osd_->AtRightBottom());
    }
    EXPECT_EQ(rect.right - rect.left, frame.width);
    Run(300);
    EXPECT_FALSE(Gone());
    Run(700);
    EXPECT_TRUE(Gone());
}

INSTANTIATE_TEST_SUITE_P(Families, LockKeyPicture, ::testing::Values(LockKeyCase{15, true}, LockKeyCase{0, false}));

TEST_F(OsdWindow, CornerPictureFollowedByAnotherIsCentredAgain) {
    WorkAreaOverride workArea(RECT{0, 0, 1366, 728});
    proc::modelFamily = 15;
    ASSERT_EQ(ShowPicture(131), 1);
    ASSERT_TRUE(osd_->AtRightBottom());
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    EXPECT_FALSE(osd_->AtRightBottom());
    EXPECT_EQ(WindowRect().left, CentredPicture(*osd_, FramePicture(IconStrip(), kWirelessOnFrame).width).x);
}

TEST_F(OsdWindow, ShownPictureComesAboveATopmostWindowMadeAfterItWithoutActivation) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VqOsdTestRival";
    RegisterClassW(&wc);
    const HWND rival = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, L"",
                                       WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(rival, nullptr);
    ShowWindow(rival, SW_SHOWNA);
    ASSERT_EQ(GetTopWindow(nullptr), rival);
    const HWND active = GetForegroundWindow();

    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    EXPECT_EQ(GetTopWindow(nullptr), osd_->Handle());
    EXPECT_EQ(GetWindow(osd_->Handle(), GW_HWNDNEXT), rival);
    EXPECT_EQ(GetForegroundWindow(), active);
    EXPECT_NE(GetActiveWindow(), osd_->Handle());
    DestroyWindow(rival);
}

// --- What reaches the screen

TEST_F(OsdWindow, OnOffPictureReachesTheScreenWithItsPremultipliedPixels) {
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    const Picture expected = FramePicture(IconStrip(), kWirelessOnFrame);
    EXPECT_EQ(CountMismatches(CaptureScreen(WindowRect()), expected), 0);
    // The wireless-off picture differs, so the comparison means something.
    EXPECT_GT(CountMismatches(CaptureScreen(WindowRect()), FramePicture(IconStrip(), 36)), 100);
}

TEST_F(OsdWindow, DriverScreenshotOfTheOsdRectangleShowsThePicture) {
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    RECT found{};
    ASSERT_TRUE(vqdrive::FindOsdRect(GetCurrentProcessId(), &found));
    const RECT window = WindowRect();
    EXPECT_TRUE(EqualRect(&found, &window));
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    const std::wstring file = std::wstring(temp) + L"vq_osd_shot.png";
    ASSERT_TRUE(vqdrive::CaptureScreen(file, &found));
    const Picture shot = LoadPicture(file);
    DeleteFileW(file.c_str());
    EXPECT_EQ(CountMismatches(shot, FramePicture(IconStrip(), kWirelessOnFrame)), 0);
}

struct BatteryScreenCase {
    int percent;
    int background;
    int tens;
    int units;
    bool leadingOne;
};

class BatteryOnScreen : public OsdTest, public ::testing::WithParamInterface<BatteryScreenCase> {};

TEST_P(BatteryOnScreen, ShowsTheChargeInDigitsOnItsBackground) {
    const BatteryScreenCase c = GetParam();
    ASSERT_EQ(ShowPicture(osd::kBatteryCode, c.percent), 1);
    EXPECT_EQ(osd_->FrameIndex(), c.background);
    Picture expected = FramePicture(IconStrip(), c.background);
    if (c.leadingOne) DrawOver(expected, FramePicture(IconStrip(), 7), 115, 38);
    DrawOver(expected, FramePicture(IconStrip(), 6 + c.tens), 137, 38);
    DrawOver(expected, FramePicture(IconStrip(), 6 + c.units), 159, 38);
    EXPECT_EQ(CountMismatches(CaptureScreen(WindowRect()), expected), 0);
}

INSTANTIATE_TEST_SUITE_P(Charges, BatteryOnScreen,
                         ::testing::Values(BatteryScreenCase{100, 3, 0, 0, true}, BatteryScreenCase{9, 2, 0, 9, false},
                                           BatteryScreenCase{57, 5, 5, 7, false},
                                           BatteryScreenCase{16, 4, 1, 6, false}));

struct BarCase {
    const char* name;
    int code;
    int level;
    int stepScale;
    int windowsVersion;
    int clipRight;
};

class LevelBarOnScreen : public OsdTest, public ::testing::WithParamInterface<BarCase> {};

TEST_P(LevelBarOnScreen, ShowsTheFullBarUpToTheClip) {
    const BarCase c = GetParam();
    proc::windowsVersion = c.windowsVersion;
    osd_->SetVolumeStepScale(c.stepScale);
    ASSERT_EQ(ShowPicture(c.code, c.level), 1);
    const bool brightness = c.code == osd::kBrightnessCode;
    const POINT at = brightness ? osd::kBrightnessBarAt : osd::kVolumeBarAt;
    Picture expected = FramePicture(LevelStrip(), brightness ? 0 : 2);
    Picture full = expected;
    DrawOver(expected, FramePicture(LevelStrip(), brightness ? 1 : 3), at.x, at.y, c.clipRight);
    DrawOver(full, FramePicture(LevelStrip(), brightness ? 1 : 3), at.x, at.y);
    const Picture screen = CaptureScreen(WindowRect());
    EXPECT_EQ(CountMismatches(screen, expected), 0) << c.name;
    if (c.clipRight < at.x + FramePicture(LevelStrip(), brightness ? 1 : 3).width) {
        EXPECT_GT(CountMismatches(screen, full), 20) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bars, LevelBarOnScreen,
    ::testing::Values(BarCase{"brightness 3 of 8", 111, 3, 1, 8, 174}, BarCase{"brightness 8 of 8", 111, 8, 1, 8, 249},
                      BarCase{"own volume step 7", 121, 7, 1, 8, 182},
                      BarCase{"mixer volume 20 of 50", 121, 20, 0, 8, 160},
                      BarCase{"mixer volume on XP 23 of 25", 121, 23, 0, 5, 238},
                      BarCase{"mixer volume on XP 25 of 25", 121, 25, 0, 5, 254}));

// --- Timers, clicks and the window's end

TEST_F(OsdWindow, HidesAfter1500msDestroysItselfAndANewWindowShowsTheNextPicture) {
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    Run(1150);
    EXPECT_FALSE(Gone());
    EXPECT_TRUE(IsWindowVisible(osd_->Handle()));
    Run(800);
    ASSERT_TRUE(osd_->IsDestroyed());
    EXPECT_EQ(osd_->Handle(), nullptr);
    EXPECT_FALSE(osd_->IsShown());
    EXPECT_EQ(osd_->Mode(), osd::OsdMode::Hidden);
    EXPECT_TRUE(partners_.Called("ClearDispatcherMuteNote"));

    MakeOsd();
    ASSERT_EQ(ShowPicture(80), 1);
    EXPECT_EQ(CountMismatches(CaptureScreen(WindowRect()), FramePicture(IconStrip(), 36)), 0);
}

TEST_F(OsdWindow, RestartedHideTimerKeepsThePictureAnother1500ms) {
    ASSERT_EQ(ShowPicture(osd::kBrightnessCode, 8), 1);
    Run(1000);
    osd_->RestartHideTimer();
    Run(1000);
    EXPECT_FALSE(Gone());
    Run(900);
    EXPECT_TRUE(Gone());
}

TEST_F(OsdWindow, ClicksInTheFirst300msDoNothingLaterAClickHides) {
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    const RECT rect = WindowRect();
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClickAt(middle);
    Run(120);
    EXPECT_FALSE(Gone());
    EXPECT_FALSE(IsWindowEnabled(osd_->Handle()));
    Run(300);
    ASSERT_TRUE(IsWindowEnabled(osd_->Handle()));
    ClickAt(middle);  // within the double-click time of the first
    Run(150);
    EXPECT_TRUE(Gone());
}

TEST_F(OsdWindow, NoGdiObjectOrWindowOutlivesItsUse) {
    ASSERT_EQ(gdi::LiveObjects(), 2);  // the window's screen and memory device contexts
    ASSERT_EQ(gdi::LiveWindows(), 1);
    const int pictures[][2] = {{osd::kBatteryCode, 100}, {osd::kBrightnessCode, 5}, {osd::kVolumeCode, 9}, {81, -1},
                               {21, -1}, {999, -1}};
    for (int cycle = 0; cycle < 3; ++cycle) {
        for (const auto& picture : pictures) {
            ASSERT_EQ(ShowPicture(picture[0], picture[1]), 1);
            // and the picture's bitmap, kept from one picture to the next
            EXPECT_EQ(gdi::LiveObjects(), 3) << "drawing picture " << picture[0];
        }
        SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
        ASSERT_TRUE(osd_->IsDestroyed());
        EXPECT_EQ(gdi::LiveObjects(), 0);
        EXPECT_EQ(gdi::LiveWindows(), 0);
        MakeOsd();
    }
}

// --- The hide sequence and the selections it closes

TEST_F(OsdWindow, HotkeyDuringTheDisplaySwitchOnlyClosesItAndTheNextPictureIsOnScreen) {
    partners_.exists[SelectionOwner::DisplayChanger] = true;
    // The changer opens the switcher (on the panel alone: one choice, closed without an animation).
    ASSERT_EQ(osd_->InitDisplaySwitching(osd::kPanelOnlyCode, osd::kPanelOnlyCode, false, partners_.changer), 1);
    osd_->ShowNoActivate();
    Run(30);
    partners_.pending[SelectionOwner::DisplayChanger] = true;

    ASSERT_EQ(ShowPicture(50), 1);  // the caller shows the window after this
    EXPECT_TRUE(partners_.Called("ApplyDisplayCombination 0x001"));
    EXPECT_FALSE(osd_->IsDestroyed());
    EXPECT_EQ(osd_->Mode(), osd::OsdMode::Hidden);
    EXPECT_EQ(osd_->FrameIndex(), -1);

    // The forced hide left the window far off-screen; the next picture must be placed again.
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    const Picture frame = FramePicture(IconStrip(), kWirelessOnFrame);
    EXPECT_EQ(WindowRect().left, CentredPicture(*osd_, frame.width).x);
    EXPECT_EQ(WindowRect().top, CentredPicture(*osd_, frame.width).y);
    EXPECT_EQ(CountMismatches(CaptureScreen(WindowRect()), frame), 0);
}

struct ResolutionCase {
    int family;
    bool appliedFirst;
};

class OpenResolutionToggle : public OsdTest, public ::testing::WithParamInterface<ResolutionCase> {};

TEST_P(OpenResolutionToggle, IsAppliedBeforeTheHotkeyPictureOnFamilies1And3) {
    proc::modelFamily = GetParam().family;
    partners_.exists[SelectionOwner::ResolutionSelector] = true;
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    osd_->SetMode(osd::OsdMode::ResolutionToggle);
    partners_.pending[SelectionOwner::ResolutionSelector] = true;

    ASSERT_EQ(ShowPicture(80), 1);
    EXPECT_EQ(partners_.Called("ApplySelection ResolutionSelector"), GetParam().appliedFirst);
    EXPECT_TRUE(partners_.Called("ClearPending ResolutionSelector"));
    EXPECT_FALSE(osd_->IsDestroyed());
    EXPECT_EQ(osd_->Mode(), osd::OsdMode::HotkeyPicture);
    EXPECT_EQ(CountMismatches(CaptureScreen(WindowRect()), FramePicture(IconStrip(), 36)), 0);
}

INSTANTIATE_TEST_SUITE_P(Families, OpenResolutionToggle,
                         ::testing::Values(ResolutionCase{1, true}, ResolutionCase{3, true},
                                           ResolutionCase{0, false}, ResolutionCase{15, false}));

struct HideCase {
    osd::OsdMode mode;
    const char* applied;  // the partner's call; nullptr: nothing is applied
};

class HideSequence : public OsdTest, public ::testing::WithParamInterface<HideCase> {};

TEST_P(HideSequence, HandsTheSelectionToItsOwnerAndClearsEveryPendingFlag) {
    for (SelectionOwner owner : {SelectionOwner::DisplayChanger, SelectionOwner::SrsSelector,
                                 SelectionOwner::ResolutionSelector, SelectionOwner::WirelessSelector,
                                 SelectionOwner::RfSelector}) {
        partners_.exists[owner] = true;
    }
    if (GetParam().mode == osd::OsdMode::DisplaySwitcher) {
        // Opened by the changer, on the panel alone: one choice, closed without an animation.
        ASSERT_EQ(osd_->InitDisplaySwitching(osd::kPanelOnlyCode, osd::kPanelOnlyCode, false, partners_.changer), 1);
        osd_->ShowNoActivate();
    } else {
        ASSERT_EQ(ShowPicture(kWirelessOn), 1);
        osd_->SetMode(GetParam().mode);
    }
    partners_.calls.clear();
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);

    int applied = 0;
    for (const std::string& call : partners_.calls) applied += call.rfind("Apply", 0) == 0;
    if (GetParam().applied) {
        EXPECT_TRUE(partners_.Called(GetParam().applied));
        EXPECT_EQ(applied, 1);
    } else {
        EXPECT_EQ(applied, 0);
    }
    for (const char* owner : {"DisplayChanger", "SrsSelector", "ResolutionSelector", "WirelessSelector", "RfSelector"}) {
        EXPECT_TRUE(partners_.Called(std::string("ClearPending ") + owner)) << owner;
    }
    EXPECT_TRUE(partners_.Called("ClearDispatcherMuteNote"));
    EXPECT_TRUE(osd_->IsDestroyed());
    EXPECT_EQ(osd_->Mode(), osd::OsdMode::Hidden);
}

INSTANTIATE_TEST_SUITE_P(Modes, HideSequence,
                         ::testing::Values(HideCase{osd::OsdMode::HotkeyPicture, nullptr},
                                           HideCase{osd::OsdMode::DisplaySwitcher, "ApplyDisplayCombination 0x001"},
                                           HideCase{osd::OsdMode::SrsToggle, nullptr},
                                           HideCase{osd::OsdMode::ResolutionToggle, "ApplySelection ResolutionSelector"},
                                           HideCase{osd::OsdMode::WirelessToggle, nullptr},
                                           HideCase{osd::OsdMode::RfSwitch, nullptr}, HideCase{osd::OsdMode::None, nullptr}));

// --- Failures

TEST_F(OsdWindow, FailedLayeredUpdateIsReportedWithItsSystemErrorCode) {
    ASSERT_EQ(ShowPicture(kWirelessOn), 1);
    const HWND window = osd_->Handle();
    SetWindowLongPtrW(window, GWL_EXSTYLE, GetWindowLongPtrW(window, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    ASSERT_EQ(ShowPicture(80), 1);
    EXPECT_NE(NewLog().find("fail: SetShapeWnd (errorCode=87)"), std::string::npos) << NewLog();

    // A picture that places the window again still gets its place and size when the update fails.
    ASSERT_EQ(ShowPicture(osd::kBrightnessCode, 5), 1);
    EXPECT_NE(NewLog().find("fail: SetShapeWnd (errorCode=87)"), std::string::npos);
    ExpectCentredAtItsSize(*osd_, WindowRect(), FramePicture(LevelStrip(), 0));
}

struct StripFileCase {
    const char* name;
    const char* content;  // nullptr: no file; "level": the level strip's bytes
    const char* report;   // nullptr: none
};

class StripFile : public OsdTest, public ::testing::WithParamInterface<StripFileCase> {
protected:
    void SetUp() override {
        OsdTest::SetUp();
        wchar_t current[MAX_PATH] = {};
        GetCurrentDirectoryW(MAX_PATH, current);
        m_saved = current;
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"vq_osd_strip_test";
        CreateDirectoryW(m_folder.c_str(), nullptr);
        DeleteFileW((m_folder + L"\\vqiHK.dll").c_str());
    }
    void TearDown() override {
        osd_.reset();
        SetCurrentDirectoryW(m_saved.c_str());
        DeleteFileW((m_folder + L"\\vqiHK.dll").c_str());
        RemoveDirectoryW(m_folder.c_str());
        OsdTest::TearDown();
    }
    std::wstring m_saved;
    std::wstring m_folder;
};

TEST_P(StripFile, NotHandedOverIsLoadedByTheWindowAndBadFilesAreReported) {
    const StripFileCase c = GetParam();
    std::string bytes;
    if (c.content && std::string(c.content) == "level") bytes = vqdrive::ReadFileBytes(L"vqiHKLevel.dll");
    else if (c.content) bytes = c.content;
    if (c.content && std::string(c.content) == "icon") {
        ASSERT_TRUE(CopyFileW(L"vqiHK.dll", (m_folder + L"\\vqiHK.dll").c_str(), FALSE));
    } else if (c.content) {
        WriteBytes(m_folder + L"\\vqiHK.dll", bytes);
    }
    ASSERT_TRUE(SetCurrentDirectoryW(m_folder.c_str()));
    MakeOsd(false);
    EXPECT_EQ(ShowPicture(kWirelessOn), 1);
    const std::string log = NewLog();
    if (c.report) {
        EXPECT_NE(log.find(c.report), std::string::npos) << c.name << ": " << log;
    } else {
        EXPECT_EQ(log, "") << c.name;
        EXPECT_EQ(CountMismatches(CaptureScreen(WindowRect()), FramePicture(IconStrip(), kWirelessOnFrame)), 0);
    }
    SendMessageW(osd_->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
    EXPECT_EQ(gdi::LiveObjects(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, StripFile,
    ::testing::Values(StripFileCase{"a good file", "icon", nullptr},
                      StripFileCase{"no file", nullptr, "fail: LoadImageStrip(vqiHK.dll)"},
                      StripFileCase{"not an image", "this is not an image", "fail: LoadImageStrip(vqiHK.dll)"},
                      StripFileCase{"too few pages", "level", "fail: SelectFrame(37) of 4 frames"}));

}  // namespace
