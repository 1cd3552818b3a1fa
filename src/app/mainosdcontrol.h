// The current OSD window as the routing, the key handling and the display
// changer drive it; the main window hands over each new window
// (InitHkWindow). Without a window it is not alive and its mode is none.
#pragma once

#include "app/windowports.h"
#include "display/displaychangerports.h"

class CHKIconWindowDlg;

class CMainOsdControl : public IOsdControl, public IDisplaySwitchOsd {
public:
    void SetWindow(CHKIconWindowDlg* window) { m_pWindow = window; }

    bool OsdAlive() override;
    void HideOsd() override;
    osd::OsdMode OsdMode() override;
    void SetOsdMode(osd::OsdMode mode) override;
    void ClearOsdSelection() override;
    void SendOsdSelectionTimer() override;

    // The display switcher.
    bool HasWindow() override { return m_pWindow != nullptr; }
    bool IsShown() override;
    bool IsDestroyed() override;
    osd::OsdMode Mode() override { return OsdMode(); }
    bool AnimationRunning() override;
    int InitDisplaySwitching(int connectedCode, int activeCode, int registeredProfile) override;
    int SetNextDisplayDevice(int backward) override;
    int GetSelectedDisplayMode() override;
    void ShowNoActivate() override;
    void Hide() override { HideOsd(); }

private:
    CHKIconWindowDlg* m_pWindow = nullptr;
};
