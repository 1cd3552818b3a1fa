// The hidden main window: owns the program's long-lived objects, receives
// every outside event and routes it.
#pragma once

#include <windows.h>

#include <memory>

#include "app/eventrouter.h"
#include "app/eventtargets.h"
#include "app/framework/dialogbase.h"
#include "app/keypreprocessor.h"
#include "app/maincommands.h"
#include "app/valmorakeyservices.h"
#include "app/mainhotkeyowner.h"
#include "app/mainosdpartners.h"

class CSystemInfo;
class CHWIconDisplayer;
class CHKIconWindowDlg;
namespace Gdiplus {
class Bitmap;
}  // namespace Gdiplus

class CValmoraDlg : public fw::CDialogBase, private IEventTargets {
public:
    CValmoraDlg();
    ~CValmoraDlg() override;

    CEventRouter& Router() { return m_router; }

    // (Re-)creates the OSD window and hands it to everyone who shows pictures.
    void InitHkWindow();
    CHKIconWindowDlg* HKIconWindow() const { return m_pHKIconWindow.get(); }

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

    CEventRouter m_router;
    // Key pre-processing and the numbered commands, and what they reach.
    CValmoraKeyServices m_keyServices{*this, m_router, m_nUsbMessage};
    CMainCommands m_commands{m_keyServices};
    CKeyPreprocessor m_keys{m_keyServices, m_commands};
    std::unique_ptr<CSystemInfo> m_pSystemInfo;  // firmware and audio
    // The OSD's two image strips, decoded once, and the OSD window (made on first need).
    std::unique_ptr<Gdiplus::Bitmap> m_pIconStrip;
    std::unique_ptr<Gdiplus::Bitmap> m_pLevelStrip;
    CMainOsdPartners m_osdPartners;
    CMainHotkeyOwner m_hotkeyOwner{[this] { InitHkWindow(); }, m_keys};
    std::unique_ptr<CHWIconDisplayer> m_pDispatcher;  // the hotkey action dispatcher
    std::unique_ptr<CHKIconWindowDlg> m_pHKIconWindow;
    UINT m_nUsbMessage = 0;
    HMODULE m_hUser32 = nullptr;
    HICON m_hIcon = nullptr;
    int m_nHandledKeyResult = 255;  // vqScanCode
    int m_nSkipFirmwareDisplays = 0;  // vqsd
    int m_nPostResumeDeviceEvents = 0;
    LPARAM m_lTimer153Argument = 0;
};
