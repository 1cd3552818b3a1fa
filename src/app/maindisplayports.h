// The display changer as the shell's ports reach it: the display switch and
// the combination requests, the driver's view of the active outputs, and
// the resolution and rotation steps.
// Before the changer exists (or without a graphics driver) every call finds
// no driver and does nothing.
#pragma once

#include "app/displayports.h"

class CDisplayChanger;

class CMainDisplayPorts : public IDisplaySwitching, public IActiveOutputs, public IResolutionRotation {
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

    int SetResolutionUp(int x, int y, int useLadder) override;
    int SetResolutionDown(int x, int y, int useLadder) override;
    int RotateDisplayAt(int x, int y, int angle) override;
    void RotateDisplayStep(int key) override;
    int ApplyDownScalingToCurrentMode() override;

private:
    CDisplayChanger* m_pChanger = nullptr;
};
