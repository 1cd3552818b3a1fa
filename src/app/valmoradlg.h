// The hidden main window: owns the program's long-lived objects, receives
// every outside event and routes it.
#pragma once

#include <windows.h>

#include <memory>

#include "app/eventrouter.h"
#include "app/eventtargets.h"
#include "app/framework/dialogbase.h"

class CKEST;

class CValmoraDlg : public fw::CDialogBase, private IEventTargets {
public:
    CValmoraDlg();
    ~CValmoraDlg() override;

    CEventRouter& Router() { return m_router; }

    // Windows version code from what the system reports (see processstate.h).
    static int WindowsVersionCode(DWORD platformId, DWORD major, DWORD minor, bool mediaCenterTray);
    static bool IsStarterProduct(DWORD productType);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    void OnTimer(UINT_PTR id) override;
    bool OnCommand(UINT id, UINT notifyCode) override;
    bool OnSysCommand(UINT command) override;
    void PostNcDestroy() override;

private:
    void DetectWindowsVersion();
    void RegisterKeyRoads();

    // IEventTargets: what the routing hands events to.
    int ProcessKey(BYTE virtualKey, BYTE scanCode, int source) override;
    int ExecuteCommand(int command, int argument1, int argument2) override;
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

    CEventRouter m_router;
    std::unique_ptr<CKEST> m_pKest;  // the firmware interface
    UINT m_nUsbMessage = 0;
    HMODULE m_hUser32 = nullptr;
    HICON m_hIcon = nullptr;
    HDEVNOTIFY m_hDeviceNotify = nullptr;
    int m_nHandledKeyResult = 255;  // vqScanCode
    int m_nSkipFirmwareDisplays = 0;  // vqsd
    int m_nPostResumeDeviceEvents = 0;
    LPARAM m_lTimer153Argument = 0;
};
