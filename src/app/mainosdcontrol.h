// The current OSD window as the routing and the key handling drive it; the
// main window hands over each new window (InitHkWindow). Without a window it
// is not alive and its mode is none.
#pragma once

#include "app/windowports.h"

class CHKIconWindowDlg;

class CMainOsdControl : public IOsdControl {
public:
    void SetWindow(CHKIconWindowDlg* window) { m_pWindow = window; }

    bool OsdAlive() override;
    void HideOsd() override;
    osd::OsdMode OsdMode() override;
    void SetOsdMode(osd::OsdMode mode) override;
    void ClearOsdSelection() override;
    void SendOsdSelectionTimer() override;

private:
    CHKIconWindowDlg* m_pWindow = nullptr;
};
