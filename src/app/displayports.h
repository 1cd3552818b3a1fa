// Ports to the display engine: the display changer (output combinations,
// resolution and rotation), the driver's view of the active outputs, and
// display detection with the mini UI. Until the engine is built the main
// window answers them in unbuiltsubsystems.h; tests put recording fakes here.
#pragma once

#include <windows.h>

// Output combinations.
class IDisplaySwitching {
public:
    virtual ~IDisplaySwitching() = default;
    virtual bool HasGraphicsDriver() = 0;
    // The display switch key: open or step the switcher (backward with Shift).
    virtual int SelectDisplayCombination(int backward) = 0;
    // Alt with the display switch key: the default display, masked by `flags`.
    virtual int RestoreDefaultDisplay(int flags) = 0;
    virtual void ChangeDisplayCombination(int combination, int repaint) = 0;
    virtual void GetConnectedDisplays() = 0;
    // The menu program's status values: active and connected displays.
    virtual int RefreshActiveDisplay() = 0;
    virtual int RefreshConnectedDisplay() = 0;
    // The switcher's pending selection ends without a change.
    virtual void ClearDisplaySwitchPending() = 0;
    virtual void SetDriverSuspendFlag() = 0;
};

// Resolution and rotation, at a screen position (the cursor's).
class IResolutionRotation {
public:
    virtual ~IResolutionRotation() = default;
    virtual int SetResolutionUp(int x, int y, int useLadder) = 0;
    virtual int SetResolutionDown(int x, int y, int useLadder) = 0;
    virtual int RotateDisplayAt(int x, int y, int angle) = 0;
    // The menu program's rotation step: key 0 or 42.
    virtual void RotateDisplayStep(int key) = 0;
    // Intel driver (model family 1): its own down-scaling step.
    virtual int ApplyDownScalingToCurrentMode() = 0;
};

// The driver's view of the active outputs.
class IActiveOutputs {
public:
    virtual ~IActiveOutputs() = default;
    // The Windows 7 display-configuration component and its active-output code.
    virtual bool HasWin7Component() = 0;
    virtual int GetActiveCode(int* code) = 0;
    // Intel driver (model family 1): whether only the panel is active; the
    // active outputs read again, as display-device bits.
    virtual bool IsOnlyPanelActive() = 0;
    virtual int RefreshActiveOutputs() = 0;
};

// Display detection, the mini UI and the 3G module detector.
class IDetection {
public:
    virtual ~IDetection() = default;
    virtual void SetPostResumeDeviceEventCounter(int count) = 0;
    virtual void DeviceDetection(LPARAM data, WPARAM event) = 0;
    virtual bool MiniUiShown() = 0;
    virtual void RefreshMiniUiResolutionPanel() = 0;
    // Created, asked and destroyed in one call: `found` and `special` as the
    // detector leaves them; the result tells whether the search ran to a decision.
    virtual int Detect3GModule(int* found, int* special) = 0;
};
