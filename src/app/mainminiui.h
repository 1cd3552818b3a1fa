// The mini UI as the routing and display detection reach it: the manager
// once the main window has created it, and the options it keeps. The
// presentation panel's mode joins when that panel is built; until then
// presentation mode is never on.
#pragma once

#include "app/displayports.h"

namespace miniui {
class CminiUIManager;
}  // namespace miniui

class CMainMiniUi : public IMiniUi {
public:
    void SetManager(miniui::CminiUIManager* manager) { m_pManager = manager; }

    bool HasMiniUiManager() override { return m_pManager != nullptr; }
    bool MiniUiShown() override;
    void ShowMiniUI(int show) override;
    void RefreshMiniUiResolutionPanel() override {}
    void RefreshLayout() override;
    void SetCountdownTitle(int seconds) override;
    bool IsUserTouched() override;
    void ClearUserTouched() override;
    bool ReactsToConnectedMonitors() override;
    bool ReactsOnlyToNewMonitors() override;
    bool IsAutoHide() override;
    bool PresentationModeOn() override { return false; }
    void ApplyPresentationOutputMode() override;
    void SwitchPresentationModeOff() override;

private:
    miniui::CminiUIManager* m_pManager = nullptr;
};
