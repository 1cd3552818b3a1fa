// Ports to the display engine: the display changer (output combinations,
// resolution and rotation), the driver's view of the active outputs, and
// display detection with the mini UI. Until the engine is built the main
// window answers them in unbuiltsubsystems.h; tests put recording fakes here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

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

// Display detection, as device and power notifications reach it (CDisplayDetection).
class IDetection {
public:
    virtual ~IDetection() = default;
    // Device events are skipped while the count is set (after suspend and resume).
    virtual void SetPostResumeDeviceEventCounter(int count) = 0;
    virtual void DeviceDetection(LPARAM data, WPARAM event) = 0;
};

// The monitors attached now, as the display profile store names them.
class IMonitorIdentities {
public:
    virtual ~IMonitorIdentities() = default;
    // Reads the device identifiers of the attached monitors (at most 12)
    // into `identifiers`; 1 on success, 0 when they could not be read.
    virtual int ReadMonitorIdentifiers(std::vector<std::wstring>* identifiers) = 0;
};

// The mini UI manager with its options and presentation panels, as the
// routing and display detection reach it.
class IMiniUi {
public:
    virtual ~IMiniUi() = default;
    virtual bool HasMiniUiManager() = 0;
    virtual bool MiniUiShown() = 0;
    virtual void ShowMiniUI(int show) = 0;
    virtual void RefreshMiniUiResolutionPanel() = 0;
    // Lays the panels out again after a display change.
    virtual void RefreshLayout() = 0;
    // The countdown's seconds in the panels' titles; 0 for the plain title.
    virtual void SetCountdownTitle(int seconds) = 0;
    // A panel was touched since the countdown started (`m_bIsUserTouched`).
    virtual bool IsUserTouched() = 0;
    virtual void ClearUserTouched() = 0;
    // The options panel: react to connected monitors, only to new ones, and
    // hide the mini UI by itself after a countdown (`m_bIsAutoHide`).
    virtual bool ReactsToConnectedMonitors() = 0;
    virtual bool ReactsOnlyToNewMonitors() = 0;
    virtual bool IsAutoHide() = 0;
    // The presentation panel.
    virtual bool PresentationModeOn() = 0;
    virtual void ApplyPresentationOutputMode() = 0;
    virtual void SwitchPresentationModeOff() = 0;
};

// The 3G module detector: created, asked and destroyed in one call; `found`
// and `special` as the detector leaves them; the result tells whether the
// search ran to a decision.
class IModuleDetection {
public:
    virtual ~IModuleDetection() = default;
    virtual int Detect3GModule(int* found, int* special) = 0;
};
