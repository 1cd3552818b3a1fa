// The mini UI manager: creates and owns the four panels (output, resolution,
// presentation, options), loads the texts of the user's language, places the
// panels in a row at the bottom of the primary display beside the taskbar,
// shows and hides them together, keeps their view modes across runs and
// shows a one-time hint the first time the user hides them. It has no window
// of its own; the main window creates it at set-up, drives its
// auto-disappear countdown and deletes it at tear-down.
#pragma once

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>

#include "miniui/languagetexts.h"
#include "miniui/minipanel.h"
#include "miniui/panelrow.h"
#include "miniui/viewmodes.h"

class CDisplayChanger;
class CAudio;

namespace miniui {

// The panels' title while no countdown runs.
inline constexpr wchar_t kPanelTitle[] = L"VLM miniUI";

class CminiUIManager : private IPanelOwner {
public:
    // `stopCountdown` stops the main window's auto-disappear timer (Escape ends it).
    CminiUIManager(int languageId, std::function<void()> stopCountdown);
    ~CminiUIManager();
    CminiUIManager(const CminiUIManager&) = delete;
    CminiUIManager& operator=(const CminiUIManager&) = delete;

    // Loads the texts, creates the four panels hidden and applies their saved view modes; 1.
    int Create(CDisplayChanger* changer, CAudio* audio, HMODULE user32);

    // Nonzero: show the row (laid out again unless it is shown already); 0: HideAll.
    void ShowMiniUI(int show);
    void HideAll() override;
    void PlacePanels(bool recompute);
    void RefreshLayout() override;
    void ToggleOptionPanel() override;
    // "VLM miniUI %d" in the titles of the output, resolution and presentation
    // panels; the plain title for 0.
    void SetCountdownTitle(int seconds);
    void ShowFirstHideHint();
    void SaveViewModes();
    void ClearTaskbarPanels();
    void MarkTaskbarPanel();

    bool Shown() const { return m_bShown; }
    bool IsUserTouched() const { return m_bIsUserTouched; }
    void ClearUserTouched() { m_bIsUserTouched = false; }
    const PanelOptions& Options() const { return m_options; }
    CMiniPanel* PanelAt(Panel panel) const { return m_panels[panel].get(); }
    const LanguageTexts& Texts() const { return m_texts; }
    const std::wstring& FirstHideHint() const { return m_strFirstHideHint; }
    int LanguageLayoutFlags() const { return m_nLanguageLayoutFlags; }
    const SizeAdditions& Additions() const { return m_additions; }

private:
    // IPanelOwner (HideAll, RefreshLayout and ToggleOptionPanel above).
    void OnPanelEscape() override;
    void MarkUserTouched() override { m_bIsUserTouched = true; }
    void SetAnimating(bool animating) override { m_bAnimating = animating; }
    void PanelMoved(Panel panel) override;

    void LoadLanguageTexts();
    void MeasureSizeAdditions();
    bool AnyRowPanelEnabled() const;
    Panel FirstEnabledPanel() const;
    void ShowAt(Panel panel);
    void StoreOptions();

    int m_nLanguageId;
    std::function<void()> m_stopCountdown;
    CDisplayChanger* m_pDisplayChanger = nullptr;
    CAudio* m_pAudio = nullptr;
    HMODULE m_hUser32 = nullptr;
    std::array<std::unique_ptr<CMiniPanel>, kPanels> m_panels;
    std::array<POINT, kPanels> m_positions{};
    PanelOptions m_options;
    LanguageTexts m_texts;
    std::wstring m_strFirstHideHint;
    int m_nLanguageLayoutFlags = 0;
    int m_nFirstUserHide = -1;  // read from the settings on first use
    SizeAdditions m_additions;
    bool m_bShown = false;
    bool m_bCreated = false;
    bool m_bAnimating = false;
    bool m_bPlacing = false;
    bool m_bIsUserTouched = false;
};

}  // namespace miniui
