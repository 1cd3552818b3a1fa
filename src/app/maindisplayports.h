// The display changer as the shell's ports reach it: the display switch and
// the combination requests, and the driver's view of the active outputs.
// Before the changer exists (or without a graphics driver) every call finds
// no driver and does nothing.
#pragma once

#include "app/displayports.h"

class CDisplayChanger;

class CMainDisplayPorts : public IDisplaySwitching, public IActiveOutputs {
public:
    void SetChanger(CDisplayChanger* changer) { m_pChanger = changer; }

    bool HasGraphicsDriver() override;
    int SelectDisplayCombination(int backward) override;
    int RestoreDefaultDisplay(int flags) override;
    void ChangeDisplayCombination(int combination, int repaint) override;
    void GetConnectedDisplays() override;
    int RefreshActiveDisplay() override;
    int RefreshConnectedDisplay() override;
    void ClearDisplaySwitchPending() override;
    void SetDriverSuspendFlag() override;

    bool HasWin7Component() override;
    int GetActiveCode(int* code) override;
    bool IsOnlyPanelActive() override;
    int RefreshActiveOutputs() override;

private:
    CDisplayChanger* m_pChanger = nullptr;
};
