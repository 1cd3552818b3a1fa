// A recording stand-in for everything the event routing hands events to:
// each call is kept as one line ("ProcessKey 255 8 0"), and the results the
// routing depends on can be set.
#pragma once

#include <string>
#include <vector>

#include "app/eventtargets.h"

class RecordingTargets : public IEventTargets {
public:
    std::vector<std::string> calls;

    int processKeyResult = 1;
    int handleModifiedResult = 1;
    bool handleModifiedHandled = false;
    int menuRequestResult = 0;
    bool osdAlive = false;
    int osdMode = -1;
    bool magnifierShown = false;
    bool graphicsDriver = false;
    int canRotate = 1;
    int activeDisplay = 0;
    int connectedDisplay = 0;
    bool miniUiShown = false;

    // Calls whose line begins with `prefix`, in order.
    std::vector<std::string> Matching(const std::string& prefix) const;
    std::string Joined() const;

    int ProcessKey(BYTE virtualKey, BYTE scanCode, int source) override;
    int ExecuteCommand(int command, INT_PTR argument1, INT_PTR argument2) override;
    int HandleModifiedKey(int scanCode, bool* handled) override;
    int OnVolumeKey(int scanCode) override;
    void OnVolumeNotify() override;
    void OnDisplaySwitchKey() override;
    int NoticeMessage(int mode) override;
    void SetVolumeKeyPending() override;
    void SetWirelessKeyBlock() override;
    void BiosHandshake(int data) override;
    void DispatchHotkey(int code) override;
    void ReloadVolumeSetting() override;
    int DispatchMenuRequest(int code, LPARAM argument) override;
    bool OsdAlive() override;
    void HideOsd() override;
    int OsdMode() override;
    void SetOsdMode(int mode) override;
    void ClearOsdSelection() override;
    void SendOsdSelectionTimer() override;
    void ClearDisplaySwitchPending() override;
    void ClearResolutionSelectorPending() override;
    void ClearWirelessSelectorPending() override;
    bool MagnifierShown() override;
    void HideMagnifier() override;
    void SelectSrsEffect() override;
    void SelectResolution() override;
    int CanRotate() override;
    bool HasGraphicsDriver() override;
    void ResolutionStep(bool up, int x, int y, int flag) override;
    void ChangeDisplayCombination(int combination, int repaint) override;
    void GetConnectedDisplays() override;
    void SetDriverSuspendFlag() override;
    void RotateDisplayStep(int key) override;
    void RotateDisplayUnderCursor(int degrees, int x, int y) override;
    int RefreshActiveDisplay() override;
    int RefreshConnectedDisplay() override;
    void SetPostResumeDeviceEventCounter(int count) override;
    void DeviceDetection(LPARAM data, WPARAM event) override;
    bool MiniUiShown() override;
    void RefreshMiniUiResolutionPanel() override;
    void RestartTimer(UINT_PTR id, UINT elapseMs) override;
    void StopTimer(UINT_PTR id) override;
    void KeepTimer153Argument(LPARAM argument) override;
    void PumpMessagesFor(int passes, int sleepMs) override;

private:
    template <typename... Args>
    void Record(const char* name, Args... args) {
        std::string line = name;
        ((line += " " + std::to_string(static_cast<long long>(args))), ...);
        calls.push_back(line);
    }
};
