// The mini UI manager with its four panels as real windows: created hidden
// with their saved view modes, shown as one row without taking the focus,
// hidden together with the view modes stored, the countdown's title, the
// one-time hint, the language files with their fallback; and the view modes'
// sizes and animation, and the packed options.
#include "miniui/miniuimanager.h"

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "boxcloser.h"
#include "common/settingsstore.h"
#include "reportlog.h"

namespace {

using namespace miniui;

constexpr wchar_t kTestApplication[] = L"vqminiui_test";

std::wstring Title(HWND hwnd) {
    wchar_t text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

std::string Describe(HWND hwnd) {
    wchar_t name[64] = {};
    GetClassNameW(hwnd, name, 64);
    const std::wstring text = std::wstring(name) + L" \"" + Title(hwnd) + L"\"";
    return std::string(text.begin(), text.end());
}

SIZE WindowSize(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

TEST(ViewModes, PanelsCycleThroughTheirModesAndReturnToTheStart) {
    for (Panel panel : {kOutputPanel, kResolutionPanel, kPresentationPanel}) {
        EXPECT_EQ(NextViewMode(panel, kIconView), kStripView);
        EXPECT_EQ(NextViewMode(panel, kStripView), kFullView);
        EXPECT_EQ(NextViewMode(panel, kFullView), kIconView);
        EXPECT_EQ(PreviousViewMode(panel, kFullView), kStripView);
    }
    EXPECT_EQ(NextViewMode(kOptionsPanel, kIconView), kFullView);
    EXPECT_EQ(NextViewMode(kOptionsPanel, kFullView), kIconView);
}

TEST(ViewModes, TheAnimationGrowsAndShrinksAboutTheBottomCentre) {
    const struct {
        const char* name;
        RECT start;
        SIZE target;
        std::vector<LONG> heights;
        std::vector<LONG> widths;
    } cases[] = {
        {"strip to full", {100, 500, 260, 548}, {160, 155}, {75, 101, 123, 141, 151, 155}, {160, 160, 160, 160, 160, 160}},
        {"full to icon", {100, 393, 260, 548}, {44, 48}, {127, 101, 79, 61, 51, 48}, {129, 102, 77, 59, 47, 44}},
    };
    for (const auto& c : cases) {
        std::vector<LONG> heights, widths;
        const LONG centre2 = c.start.left + c.start.right;
        for (const RECT& step : AnimationSteps(c.start, c.target)) {
            heights.push_back(step.bottom - step.top);
            widths.push_back(step.right - step.left);
            EXPECT_EQ(step.bottom, c.start.bottom) << c.name << ": the bottom edge stays";
            EXPECT_LE(std::abs(step.left + step.right - centre2), 1) << c.name << ": centred";
        }
        EXPECT_EQ(heights, c.heights) << c.name;
        EXPECT_EQ(widths, c.widths) << c.name;
    }
}

TEST(ViewModes, SizesFollowTheModeAndTheHighDpiAdditions) {
    const SIZE optionsFull{231, 300};
    EXPECT_EQ(ViewModeSize(kOutputPanel, kIconView, {}, optionsFull).cx, 44);
    EXPECT_EQ(ViewModeSize(kResolutionPanel, kStripView, {}, optionsFull).cy, 48);
    EXPECT_EQ(ViewModeSize(kPresentationPanel, kFullView, {}, optionsFull).cy, 155);
    EXPECT_EQ(ViewModeSize(kOptionsPanel, kFullView, {}, optionsFull).cx, 231);
    const SizeAdditions more{.fullWidth = 30, .fullHeight = 20, .iconWidth = 5, .stripHeight = 10};
    const SIZE icon = ViewModeSize(kOutputPanel, kIconView, more, optionsFull);
    EXPECT_EQ(icon.cx, 49);
    EXPECT_EQ(icon.cy, 58);
    const SIZE full = ViewModeSize(kOutputPanel, kFullView, more, optionsFull);
    EXPECT_EQ(full.cx, 190);
    EXPECT_EQ(full.cy, 175);
    EXPECT_EQ(ViewModeSize(kOptionsPanel, kIconView, more, optionsFull).cx, 44) << "the options icon keeps its width";
}

TEST(PanelOptions, TheSevenFlagsArePackedOneFieldEachAndOnlyTheLowestBitCounts) {
    const PanelOptions defaults = UnpackPanelOptions(0x111111);
    EXPECT_TRUE(defaults.autoShow && defaults.optionsVisible && defaults.autoHide);
    EXPECT_FALSE(defaults.newMonitorsOnly);
    EXPECT_EQ(PackPanelOptions(defaults), 0x111111);
    const PanelOptions odd = UnpackPanelOptions(0x1E0F020);
    EXPECT_FALSE(odd.autoShow);
    EXPECT_FALSE(odd.enabled[kOutputPanel]) << "2 has its lowest bit clear";
    EXPECT_FALSE(odd.enabled[kResolutionPanel]);
    EXPECT_TRUE(odd.enabled[kPresentationPanel]);
    EXPECT_FALSE(odd.optionsVisible);
    EXPECT_FALSE(odd.autoHide);
    EXPECT_TRUE(odd.newMonitorsOnly);
    EXPECT_EQ(PackPanelOptions(odd), 0x1001000);
}

TEST(LanguageFiles, TheShippedFilesAreReadWholeWithTheHintLast) {
    LanguageTexts english;
    std::wstring problem;
    ASSERT_TRUE(ReadLanguageTexts(L"minilng/lngEng.ini", &english, &problem)) << std::string(problem.begin(), problem.end());
    for (int language : {1031, 1036}) {
        const LanguageFile file = LanguageFileOf(language);
        LanguageTexts texts;
        ASSERT_TRUE(ReadLanguageTexts(file.file, &texts, &problem)) << language;
        for (int t = 0; t < kTextTables; ++t) EXPECT_EQ(texts.tables[t].size(), english.tables[t].size()) << language;
        EXPECT_NE(texts.tables[kOptionTexts].back(), english.tables[kOptionTexts].back()) << "a hint of its own";
        EXPECT_NE(texts.tables[kOptionTexts].back().find(L"Win+F4"), std::wstring::npos);
    }
    EXPECT_EQ(LanguageFileOf(1031).layoutFlags, 1);
    EXPECT_EQ(LanguageFileOf(1036).layoutFlags, 17);
    EXPECT_EQ(english.tables[kOutputTexts].size(), 15u);
    EXPECT_EQ(english.tables[kResolutionTexts].size(), 4u);
    EXPECT_EQ(english.tables[kPresentationTexts].size(), 23u);
    EXPECT_EQ(english.tables[kOptionTexts].size(), 18u);
}

class ManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings::SetApplicationName(kTestApplication);
        RemoveSettings();
        ReportLog::Clear();
        Gdiplus::GdiplusStartupInput input;
        ASSERT_EQ(Gdiplus::GdiplusStartup(&gdiplus_, &input, nullptr), Gdiplus::Ok);
        // The user's own window, which has the focus.
        user_ = CreateWindowExW(0, L"STATIC", L"user", WS_POPUP | WS_VISIBLE, 10, 10, 100, 50, nullptr, nullptr,
                                nullptr, nullptr);
        SetForegroundWindow(user_);
        Pump();
    }
    void TearDown() override {
        manager_.reset();
        if (user_) DestroyWindow(user_);
        Gdiplus::GdiplusShutdown(gdiplus_);
        RemoveSettings();
        settings::SetApplicationName(L"vqhkcore");
    }
    static void RemoveSettings() {
        RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Korvane\\") + kTestApplication).c_str());
    }
    static void Pump() {
        MSG msg;
        for (int i = 0; i < 5; ++i) {
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            Sleep(10);
        }
    }
    void Make(int languageId = 1033) {
        manager_ = std::make_unique<CminiUIManager>(languageId, [this] { ++countdownStops_; });
        ASSERT_EQ(manager_->Create(nullptr, nullptr, GetModuleHandleW(L"user32.dll")), 1);
    }
    HWND PanelWindow(Panel p) const { return manager_->PanelAt(p)->Handle(); }

    ULONG_PTR gdiplus_ = 0;
    HWND user_ = nullptr;
    std::unique_ptr<CminiUIManager> manager_;
    int countdownStops_ = 0;
};

TEST_F(ManagerTest, PanelsAreCreatedHiddenWithTheirSavedViewModesAndTitle) {
    settings::WriteInt(settings::kMiniUiViewModes, 0x2012);  // output full, resolution strip, presentation icon, options full
    Make();
    const int expected[] = {2, 1, 0, 2};
    for (int p = 0; p < kPanels; ++p) {
        HWND hwnd = PanelWindow(static_cast<Panel>(p));
        ASSERT_TRUE(hwnd) << p;
        EXPECT_FALSE(IsWindowVisible(hwnd)) << p;
        EXPECT_EQ(Title(hwnd), L"VLM miniUI") << p;
        EXPECT_EQ(manager_->PanelAt(static_cast<Panel>(p))->ViewMode(), expected[p]) << p;
        const SIZE want = manager_->PanelAt(static_cast<Panel>(p))->SizeOf(expected[p]);
        const SIZE got = WindowSize(hwnd);
        EXPECT_EQ(got.cx, want.cx) << p;
        EXPECT_EQ(got.cy, want.cy) << p;
        EXPECT_TRUE(manager_->PanelAt(static_cast<Panel>(p))->ViewModeButton().ImageDrawn()) << p;
    }
    EXPECT_FALSE(manager_->Shown());
}

TEST_F(ManagerTest, ShownAsOneRowWithoutTakingTheFocusAndHiddenTogetherWithTheModesStored) {
    settings::WriteInt(settings::kMiniUiViewModes, 0x0210);  // output icon, resolution strip, presentation full, options icon
    Make();
    ASSERT_EQ(GetForegroundWindow(), user_) << "creating the panels took the focus: " << Describe(GetForegroundWindow());
    manager_->ShowMiniUI(1);
    Pump();
    EXPECT_TRUE(manager_->Shown());
    EXPECT_EQ(GetForegroundWindow(), user_) << "the user's window keeps the focus; it is " << Describe(GetForegroundWindow());
    RECT previous{};
    for (int p = 0; p < kPanels; ++p) {
        HWND hwnd = PanelWindow(static_cast<Panel>(p));
        ASSERT_TRUE(IsWindowVisible(hwnd)) << p;
        RECT r;
        GetWindowRect(hwnd, &r);
        if (p > 0) {
            EXPECT_GT(r.left, previous.left) << "left to right: " << p;
        }
        previous = r;
        // Each stands 12 pixels above the screen's bottom or its bottom taskbar.
        EXPECT_LE(r.bottom, GetSystemMetrics(SM_CYSCREEN) - 10) << p;
        EXPECT_GE(r.bottom, GetSystemMetrics(SM_CYSCREEN) / 2) << p;
    }
    // A second show changes nothing; escape-style hiding hides all and stores the modes.
    manager_->ShowMiniUI(1);
    manager_->PanelAt(kOutputPanel)->SetViewMode(kFullView, CMiniPanel::kApplyHidden);
    manager_->ShowMiniUI(0);
    for (int p = 0; p < kPanels; ++p) EXPECT_FALSE(IsWindowVisible(PanelWindow(static_cast<Panel>(p)))) << p;
    EXPECT_FALSE(manager_->Shown());
    EXPECT_EQ(settings::ReadInt(settings::kMiniUiViewModes), 0x0212);
    // A new manager (the next run) starts from them.
    manager_.reset();
    Make();
    EXPECT_EQ(manager_->PanelAt(kOutputPanel)->ViewMode(), kFullView);
    EXPECT_EQ(manager_->PanelAt(kResolutionPanel)->ViewMode(), kStripView);
}

TEST_F(ManagerTest, TheCountdownTitleIsInTheThreeRowPanels) {
    Make();
    manager_->SetCountdownTitle(17);
    EXPECT_EQ(Title(PanelWindow(kOutputPanel)), L"VLM miniUI 17");
    EXPECT_EQ(Title(PanelWindow(kPresentationPanel)), L"VLM miniUI 17");
    EXPECT_EQ(Title(PanelWindow(kOptionsPanel)), L"VLM miniUI");
    manager_->SetCountdownTitle(0);
    EXPECT_EQ(Title(PanelWindow(kResolutionPanel)), L"VLM miniUI");
}

TEST_F(ManagerTest, TheFirstHideHintIsShownOnceEver) {
    Make(1031);
    MessageBoxCloser closer;
    manager_->ShowFirstHideHint();
    EXPECT_NE(closer.Text().find(L"Win+F4"), std::wstring::npos);
    EXPECT_NE(closer.Text().find(L"Taste"), std::wstring::npos) << "the German hint";
    EXPECT_EQ(settings::ReadInt(settings::kFirstUserHide), 2);
    manager_->ShowFirstHideHint();  // no box: it would wait here for ever
    manager_.reset();
    Make(1031);
    manager_->ShowFirstHideHint();
    SUCCEED();
}

TEST_F(ManagerTest, LanguagesWithoutAFileFallBackToEnglishAndKoreanReadsNone) {
    Make(1028);  // no Chinese file ships
    EXPECT_EQ(ReportLog::Lines(), 1);
    EXPECT_EQ(manager_->Texts().tables[kOptionTexts].size(), 18u);
    EXPECT_NE(manager_->FirstHideHint().find(L"comes back"), std::wstring::npos);
    manager_.reset();
    ReportLog::Clear();
    Make(1042);
    EXPECT_EQ(ReportLog::Lines(), 0);
    EXPECT_TRUE(manager_->Texts().tables[kOptionTexts].empty());
    const LONG plainWidth = manager_->PanelAt(kOptionsPanel)->SizeOf(kFullView).cx;
    Make(1036);
    EXPECT_EQ(manager_->LanguageLayoutFlags(), 17);
    EXPECT_EQ(manager_->PanelAt(kOptionsPanel)->SizeOf(kFullView).cx, plainWidth + 40) << "French widens the options";
}

TEST_F(ManagerTest, ADraggedResolutionPanelStaysAndADraggedOutputPanelPutsTheRowBack) {
    Make();
    manager_->ShowMiniUI(1);
    RECT output, resolution;
    GetWindowRect(PanelWindow(kOutputPanel), &output);
    GetWindowRect(PanelWindow(kResolutionPanel), &resolution);
    SetWindowPos(PanelWindow(kResolutionPanel), nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    RECT dropped;
    GetWindowRect(PanelWindow(kResolutionPanel), &dropped);
    EXPECT_EQ(dropped.left, 5);
    SetWindowPos(PanelWindow(kOutputPanel), nullptr, 50, 50, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    RECT now;
    GetWindowRect(PanelWindow(kOutputPanel), &now);
    EXPECT_EQ(now.left, output.left);
    EXPECT_EQ(now.top, output.top);
    GetWindowRect(PanelWindow(kResolutionPanel), &now);
    EXPECT_EQ(now.left, resolution.left) << "the whole row is put back";
}

}  // namespace
