// What the main window's event routing hands events to. The main window
// implements it with its owned objects; tests implement it with recording
// fakes. Operations that a routing table names, and nothing more.
#pragma once

#include <windows.h>

class IEventTargets {
public:
    virtual ~IEventTargets() = default;

    // Key pre-processing and the numbered main-window commands.
    virtual int ProcessKey(BYTE virtualKey, BYTE scanCode, int source) = 0;
    virtual int ExecuteCommand(int command, INT_PTR argument1, INT_PTR argument2) = 0;
    virtual int HandleModifiedKey(int scanCode, bool* handled) = 0;
    virtual int OnVolumeKey(int scanCode) = 0;
    virtual void OnVolumeNotify() = 0;
    virtual void OnDisplaySwitchKey() = 0;
    virtual int NoticeMessage(int mode) = 0;
    virtual void SetVolumeKeyPending() = 0;
    virtual void SetWirelessKeyBlock() = 0;

    // Firmware handshake: BIOS function 9 with one data value.
    virtual void BiosHandshake(int data) = 0;

    // Hotkey dispatcher.
    virtual void DispatchHotkey(int code) = 0;
    virtual void ReloadVolumeSetting() = 0;
    // Menu program requests the dispatcher serves (codes 19, 43 to 47, 70, 71); returns what it produces.
    virtual int DispatchMenuRequest(int code, LPARAM argument) = 0;

    // The OSD window and what its pending selection involves.
    virtual bool OsdAlive() = 0;
    virtual void HideOsd() = 0;
    virtual int OsdMode() = 0;
    virtual void SetOsdMode(int mode) = 0;
    virtual void ClearOsdSelection() = 0;
    virtual void SendOsdSelectionTimer() = 0;
    virtual void ClearDisplaySwitchPending() = 0;
    virtual void ClearResolutionSelectorPending() = 0;
    virtual void ClearWirelessSelectorPending() = 0;
    virtual bool MagnifierShown() = 0;
    virtual void HideMagnifier() = 0;

    // Selectors created on first use.
    virtual void SelectSrsEffect() = 0;
    virtual void SelectResolution() = 0;
    virtual int CanRotate() = 0;

    // Display changer.
    virtual bool HasGraphicsDriver() = 0;
    virtual void ResolutionStep(bool up, int x, int y, int flag) = 0;
    virtual void ChangeDisplayCombination(int combination, int repaint) = 0;
    virtual void GetConnectedDisplays() = 0;
    virtual void SetDriverSuspendFlag() = 0;
    virtual void RotateDisplayStep(int key) = 0;
    virtual void RotateDisplayUnderCursor(int degrees, int x, int y) = 0;
    virtual int RefreshActiveDisplay() = 0;
    virtual int RefreshConnectedDisplay() = 0;

    // Display detection and the mini UI.
    virtual void SetPostResumeDeviceEventCounter(int count) = 0;
    virtual void DeviceDetection(LPARAM data, WPARAM event) = 0;
    virtual bool MiniUiShown() = 0;
    virtual void RefreshMiniUiResolutionPanel() = 0;

    // Main-window timers (restart = kill and start again).
    virtual void RestartTimer(UINT_PTR id, UINT elapseMs) = 0;
    virtual void StopTimer(UINT_PTR id) = 0;
    virtual void KeepTimer153Argument(LPARAM argument) = 0;

    // Keeps the message queue running while a request waits (70 passes of 5 ms).
    virtual void PumpMessagesFor(int passes, int sleepMs) = 0;
};
