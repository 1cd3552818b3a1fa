#include "miniui/miniuimanager.h"

#include "common/commondefine.h"
#include "common/modalloop.h"
#include "common/settingsstore.h"
#include "resource.h"

namespace miniui {

namespace {

constexpr int kKorean = 1042;
constexpr int kStandardDpi = 96;
constexpr int kWiderOptionsFlag = 0x01;
constexpr int kOptionsWidening = 40;
// The base sizes the high-DPI additions are measured against.
constexpr int kBaseFullWidth = 150;
constexpr int kBaseFullHeight = 145;
constexpr int kBaseStripHeight = 35;
constexpr wchar_t kHintCaption[] = L"Valmora";
constexpr wchar_t kKoreanHint[] =
    L"VLM miniUI (Valmora)는 Win+F4로 표시할 수 있습니다. 또는 옵션에서 키를 변경할 수 있습니다";
// The hint when neither the language's file nor the English one could be read.
constexpr wchar_t kBuiltInHint[] = L"VLM miniUI (Valmora) comes back with Win+F4. You can choose another key in its options.";
constexpr wchar_t kEnglishFile[] = L"minilng/lngEng.ini";

}  // namespace

CminiUIManager::CminiUIManager(int languageId, std::function<void()> stopCountdown)
    : m_nLanguageId(languageId), m_stopCountdown(std::move(stopCountdown)) {}

CminiUIManager::~CminiUIManager() {
    // The windows go first, then the objects.
    for (auto& panel : m_panels) {
        if (panel) panel->DestroyWindow();
    }
}

void CminiUIManager::LoadLanguageTexts() {
    const LanguageFile language = LanguageFileOf(m_nLanguageId);
    m_nLanguageLayoutFlags = language.layoutFlags;
    if (!language.file) return;  // Korean: the texts are built in
    std::wstring problem;
    LanguageTexts texts;
    if (!ReadLanguageTexts(language.file, &texts, &problem)) {
        // A damaged or missing file gives the English texts, and without
        // those the panels keep their templates' captions.
        ReportError(FormatText(L"fail: LoadLanguageTexts() %s: %s", language.file, problem.c_str()));
        texts = LanguageTexts{};
        if (std::wstring(language.file) == kEnglishFile || !ReadLanguageTexts(kEnglishFile, &texts, &problem)) {
            if (std::wstring(language.file) != kEnglishFile) {
                ReportError(FormatText(L"fail: LoadLanguageTexts() %s: %s", kEnglishFile, problem.c_str()));
            }
            texts = LanguageTexts{};
        }
    }
    m_texts = std::move(texts);
    const auto& options = m_texts.tables[kOptionTexts];
    m_strFirstHideHint = options.empty() ? kBuiltInHint : options.back();
}

int CminiUIManager::Create(CDisplayChanger* changer, CAudio* audio, HMODULE user32) {
    m_pDisplayChanger = changer;
    m_pAudio = audio;
    m_hUser32 = user32;
    LoadLanguageTexts();
    bool damaged = false;
    const ViewModes modes = UnpackViewModes(settings::ReadInt(settings::kMiniUiViewModes), &damaged);
    m_options = UnpackPanelOptions(settings::ReadInt(settings::kMiniUiOptions));

    IPanelOwner& owner = *this;
    for (int p = 0; p < kPanels; ++p) {
        m_panels[p] = std::make_unique<CMiniPanel>(static_cast<Panel>(p), owner, m_additions);
    }
    // The options panel and the resolution panel first: the resolution panel
    // gives the sizes at high DPI, the options panel its language widening.
    m_panels[kOptionsPanel]->CreatePanel();
    m_panels[kResolutionPanel]->CreatePanel();
    MeasureSizeAdditions();
    if (m_nLanguageLayoutFlags & kWiderOptionsFlag) m_panels[kOptionsPanel]->SetLanguageWidening(kOptionsWidening);
    m_panels[kOutputPanel]->CreatePanel();
    m_panels[kPresentationPanel]->CreatePanel();

    for (int p = 0; p < kPanels; ++p) {
        m_panels[p]->SetViewMode(modes[p], CMiniPanel::kApplyHidden);
        if (m_panels[p]->Handle()) SetWindowTextW(m_panels[p]->Handle(), kPanelTitle);
    }
    MarkTaskbarPanel();
    m_bCreated = true;
    return 1;
}

void CminiUIManager::MeasureSizeAdditions() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : kStandardDpi;
    if (screen) ReleaseDC(nullptr, screen);
    HWND panel = m_panels[kResolutionPanel]->Handle();
    if (dpi <= kStandardDpi || !panel) return;
    const auto clientRect = [panel](int id, RECT* r) {
        HWND control = GetDlgItem(panel, id);
        if (!control) return false;
        GetWindowRect(control, r);
        MapWindowPoints(nullptr, panel, reinterpret_cast<POINT*>(r), 2);
        return true;
    };
    RECT corner{}, button{};
    if (clientRect(IDC_MINI_OPTIONS, &corner)) {
        m_additions.fullWidth = corner.right - kBaseFullWidth;
        m_additions.fullHeight = corner.bottom - kBaseFullHeight;
    }
    if (clientRect(IDC_MINI_BEST_RESOLUTION, &button)) {
        const int strip = button.bottom - kBaseStripHeight;
        m_additions.stripHeight = strip > 0 ? strip : 0;
        m_additions.iconWidth = strip > 0 ? strip / 2 : 0;
    }
}

bool CminiUIManager::AnyRowPanelEnabled() const {
    return m_options.enabled[kOutputPanel] || m_options.enabled[kResolutionPanel] ||
           m_options.enabled[kPresentationPanel];
}

Panel CminiUIManager::FirstEnabledPanel() const {
    for (int p = kOutputPanel; p < kOptionsPanel; ++p) {
        if (m_options.enabled[p]) return static_cast<Panel>(p);
    }
    return kOptionsPanel;
}

void CminiUIManager::ShowMiniUI(int show) {
    if (!show) {
        HideAll();
        return;
    }
    // The output and resolution panels refresh their content here once they have it.
    if (m_bShown) return;
    m_bShown = true;
    RefreshLayout();
}

void CminiUIManager::HideAll() {
    m_bShown = false;
    for (auto& panel : m_panels) {
        if (panel && panel->Handle()) ShowWindow(panel->Handle(), SW_HIDE);
    }
    SaveViewModes();
}

void CminiUIManager::RefreshLayout() {
    // The resolution panel's wish to put the pointer on a slider comes with its controls.
    PlacePanels(true);
}

void CminiUIManager::ShowAt(Panel panel) {
    HWND hwnd = m_panels[panel] ? m_panels[panel]->Handle() : nullptr;
    if (!hwnd) return;
    const POINT at = m_positions[panel];
    // To the front without staying on top, and without taking the focus.
    SetWindowPos(hwnd, HWND_TOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    SetWindowPos(hwnd, HWND_NOTOPMOST, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void CminiUIManager::PlacePanels(bool recompute) {
    if (m_bPlacing) return;  // the moves below report back here
    m_bPlacing = true;
    if (recompute) {
        RowInput row{};
        row.screen = SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
        row.hasTaskbar = taskbar && GetWindowRect(taskbar, &row.taskbar);
        for (int p = 0; p < kPanels; ++p) {
            RECT client{};
            if (m_panels[p] && m_panels[p]->Handle()) GetClientRect(m_panels[p]->Handle(), &client);
            row.panels[p] = SIZE{client.right, client.bottom};
        }
        row.enabled = m_options.enabled;
        row.optionsVisible = m_options.optionsVisible;
        m_positions = PlacePanelRow(row);
    }
    m_bShown = true;
    for (int p = kOutputPanel; p < kOptionsPanel; ++p) {
        if (m_options.enabled[p]) ShowAt(static_cast<Panel>(p));
    }
    if (m_options.optionsVisible || !AnyRowPanelEnabled()) {
        m_options.optionsVisible = true;
        ShowAt(kOptionsPanel);
    }
    m_bPlacing = false;
}

void CminiUIManager::PanelMoved(Panel panel) {
    // A row dragged by its first panel jumps back; moves the row makes itself are left alone.
    if (!m_bShown || !m_bCreated || m_bAnimating || m_bPlacing) return;
    if (panel == FirstEnabledPanel()) PlacePanels(false);
}

void CminiUIManager::ToggleOptionPanel() {
    CMiniPanel* options = m_panels[kOptionsPanel].get();
    if (m_options.optionsVisible) {
        if (options && options->Handle()) ShowWindow(options->Handle(), SW_HIDE);
        m_options.optionsVisible = false;
    } else {
        m_options.optionsVisible = true;
    }
    PlacePanels(true);
    StoreOptions();
}

void CminiUIManager::StoreOptions() { settings::WriteInt(settings::kMiniUiOptions, PackPanelOptions(m_options)); }

void CminiUIManager::SetCountdownTitle(int seconds) {
    const std::wstring title = seconds ? FormatText(L"%s %d", kPanelTitle, seconds) : std::wstring(kPanelTitle);
    for (int p = kOutputPanel; p < kOptionsPanel; ++p) {
        if (m_panels[p] && m_panels[p]->Handle()) SetWindowTextW(m_panels[p]->Handle(), title.c_str());
    }
}

void CminiUIManager::OnPanelEscape() {
    HideAll();
    if (m_stopCountdown) m_stopCountdown();
    ShowFirstHideHint();
}

void CminiUIManager::ShowFirstHideHint() {
    if (m_nFirstUserHide == -1) m_nFirstUserHide = settings::ReadInt(settings::kFirstUserHide);
    if (m_nFirstUserHide != 1) return;
    m_nFirstUserHide = 2;
    settings::WriteInt(settings::kFirstUserHide, 2);
    modal::ShowInformationBox(m_nLanguageId == kKorean ? kKoreanHint : m_strFirstHideHint, kHintCaption);
}

void CminiUIManager::SaveViewModes() {
    ViewModes modes{};
    for (int p = 0; p < kPanels; ++p) modes[p] = m_panels[p] ? m_panels[p]->ViewMode() : 0;
    settings::WriteInt(settings::kMiniUiViewModes, PackViewModes(modes));
}

void CminiUIManager::ClearTaskbarPanels() {
    for (auto& panel : m_panels) {
        HWND hwnd = panel ? panel->Handle() : nullptr;
        if (!hwnd) continue;
        ShowWindow(hwnd, SW_HIDE);
        const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
        SetWindowLongPtrW(hwnd, GWL_EXSTYLE, (style & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW)) | WS_EX_TOOLWINDOW);
    }
}

void CminiUIManager::MarkTaskbarPanel() {
    CMiniPanel* panel = m_panels[FirstEnabledPanel()].get();
    HWND hwnd = panel ? panel->Handle() : nullptr;
    if (!hwnd) return;
    const LONG_PTR style = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
    SetWindowLongPtrW(hwnd, GWL_EXSTYLE, (style & ~static_cast<LONG_PTR>(WS_EX_TOOLWINDOW)) | WS_EX_APPWINDOW);
}

}  // namespace miniui
