// The hidden main window: owns the program's long-lived objects, receives
// every outside event and routes it.
#pragma once

#include <windows.h>

#include <memory>

#include "app/displaydetection.h"
#include "app/displayswitchtestcycle.h"
#include "app/eventrouter.h"
#include "app/keypreprocessor.h"
#include "app/maindisplayports.h"
#include "app/maincommands.h"
#include "app/mainminiui.h"
#include "app/mainhotkeyowner.h"
#include "app/mainresolutiondisplay.h"
#include "app/mainselectors.h"
#include "app/mainsystemports.h"
#include "app/profilemoduledetection.h"
#include "app/profilemonitoridentities.h"
#include "app/shellports.h"
#include "app/unbuiltsubsystems.h"
#include "display/displaychangerports.h"
#include "display/systemdisplaycomponents.h"
#include "framework/dialogbase.h"
#include "framework/reentryguard.h"
#include "osd/osdwindowslot.h"

// Posted to the main window when the OSD window has gone: make the next one.
inline constexpr UINT WM_VQ_PREPARE_OSD = WM_APP + 0x63;
// Posted to the main window when a handler held work back: it only wakes the
// message loop, which then runs that work.
inline constexpr UINT WM_VQ_RUN_HELD_BACK = WM_APP + 0x64;

class CSystemInfo;
class CHWIconDisplayer;
class CDisplayChanger;
namespace miniui {
class CminiUIManager;
}  // namespace miniui

// The main window serves six small ports itself (its timers, its handle
// and message pump, its key roads, the display changer's shell, the OSD
// window's partners and make-ahead); every other port is wired below to the
// object that serves it.
class CValmoraDlg : public fw::CDialogBase,
                    private ITimers,
                    private IMainWindow,
                    private IKeyRoads,
                    private IChangerShell,
                    private osd::IOsdPartners,
                    private osd::IMakeAheadScheduler {
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
    // The window procedure's own routing, for messages handled now or held back earlier.
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Holds a message back while a handler keeps the queue running (a close,
    // a key or request of any road, the main window's timers); true with the
    // message's answer in `*result` when it was held back or dropped.
    bool HoldBack(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);
    void DetectWindowsVersion();
    // The application's user-interface language (the mini UI's texts).
    static int LanguageId();
    void RegisterKeyRoads();

    // ITimers, IMainWindow, IKeyRoads.
    void RestartTimer(UINT_PTR id, UINT elapseMs) override;
    void StopTimer(UINT_PTR id) override;
    HWND MainWindowHandle() override { return m_hWnd; }
    void PumpMessagesFor(int passes, int sleepMs) override;
    void KeepTestCycleArgument(LPARAM argument) override { m_lTestCycleArgument = argument; }
    int LastConsumerVolumeKey() override { return m_router.LastConsumerVolumeKey(); }
    void ReloadUsbKeyboardLibrary() override;
    // IChangerShell.
    void NoticeMessage(int code) override { m_keys.NoticeMessage(code); }
    void RunDisplayChangedCommand() override { m_commands.ExecuteCommand(MainCommand::RestartNoticeTimer); }
    int SkipFirmwareDisplays() override { return m_nSkipFirmwareDisplays; }
    void Wait(DWORD ms) override { Sleep(ms); }
    void RepaintScreen() override;
    // The OSD window's partners: the selections it shows belong to the
    // display changer and the toggle selectors; the dispatcher's mute note.
    bool Exists(osd::SelectionOwner owner) override;
    bool Pending(osd::SelectionOwner owner) override;
    void ClearPending(osd::SelectionOwner owner) override;
    void ApplySelection(osd::SelectionOwner owner) override { m_selectors.ApplySelection(owner); }
    void HideMessageWindow() override {}  // no notice window yet
    void ClearDispatcherMuteNote() override { m_hotkeyOwner.ClearUnmuteNote(); }
    // The OSD window's owner asks for the next window to be made once the
    // messages of the one gone are through.
    void ScheduleMakeAhead() override;

    // Every handler that keeps the message queue running pumps through this
    // guard; it holds back what must wait until that handler has ended.
    fw::CReentryGuard m_reentry{{.wakeLoop = [this] {
        if (m_hWnd) PostMessageW(m_hWnd, WM_VQ_RUN_HELD_BACK, 0, 0);
    }}};

    // The owned objects, created in OnInitDialog and deleted in PostNcDestroy.
    std::unique_ptr<CSystemInfo> m_pSystemInfo;  // firmware and audio
    std::unique_ptr<CHWIconDisplayer> m_pDispatcher;  // the hotkey action dispatcher
    // The OSD window's owner with the two image strips (windows made on first need).
    osd::COsdWindowSlot m_osdSlot{*this, *this};
    // The display changer with the graphics driver and the display profile store.
    CSystemDisplayComponents m_displayComponents;
    std::unique_ptr<CDisplayChanger> m_pDisplayChanger;

    // What the ports reach: the owned objects once they exist, and the
    // subsystems that are not built yet.
    CSystemInfoPorts m_systemInfoPorts;
    CDispatcherPort m_dispatcherPort;
    CMainDisplayPorts m_displayPorts;
    CMainResolutionDisplay m_resolutionDisplay;
    CUnbuiltSubsystems m_unbuilt;
    // The toggle selectors, created on first use.
    CMainSelectors m_selectors{m_osdSlot};

    // The mini UI manager, created at set-up, as routing and detection reach it.
    std::unique_ptr<miniui::CminiUIManager> m_pMiniUIManager;
    CMainMiniUi m_miniUi;

    // Display detection with the display history, and the display-switch test cycle.
    // The display changer hands its profile store here once it exists.
    CProfileMonitorIdentities m_monitorIdentities;
    CDisplayDetection m_detection{{.display = m_displayPorts,
                                   .monitors = m_monitorIdentities,
                                   .miniUi = m_miniUi,
                                   .magnifier = m_unbuilt,
                                   .timers = *this}};
    CDisplaySwitchTestCycle m_testCycle{m_displayPorts};
    // The wireless key's 3G module question, asked through the same store.
    CProfileModuleDetection m_moduleDetection;

    // Commands, key handling and routing, each with the ports it uses.
    CMainCommands m_commands{{.dispatch = m_dispatcherPort,
                              .display = m_displayPorts,
                              .resolution = m_displayPorts,
                              .outputs = m_displayPorts,
                              .firmware = m_systemInfoPorts,
                              .selectors = m_selectors,
                              .notices = m_unbuilt,
                              .timers = *this,
                              .window = *this,
                              .roads = *this}};
    CKeyPreprocessor m_keys{{.commands = m_commands,
                             .dispatch = m_dispatcherPort,
                             .firmware = m_systemInfoPorts,
                             .audio = m_systemInfoPorts,
                             .osd = m_osdSlot,
                             .display = m_displayPorts,
                             .resolution = m_displayPorts,
                             .outputs = m_displayPorts,
                             .selectors = m_selectors,
                             .notices = m_unbuilt,
                             .modules = m_moduleDetection,
                             .timers = *this,
                             .roads = *this}};
    CEventRouter m_router{{.keys = m_keys,
                           .commands = m_commands,
                           .firmware = m_systemInfoPorts,
                           .dispatch = m_dispatcherPort,
                           .menu = m_unbuilt,
                           .osd = m_osdSlot,
                           .display = m_displayPorts,
                           .resolution = m_displayPorts,
                           .selectors = m_selectors,
                           .magnifier = m_unbuilt,
                           .detection = m_detection,
                           .miniUi = m_miniUi,
                           .timers = *this,
                           .window = *this}};

    // The dispatcher's partner on the main window's side.
    CMainHotkeyOwner m_hotkeyOwner{m_keys, m_unbuilt};

    UINT m_nUsbMessage = 0;
    HMODULE m_hUser32 = nullptr;
    HICON m_hIcon = nullptr;
    int m_nHandledKeyResult = 255;  // vqScanCode
    int m_nSkipFirmwareDisplays = 0;  // vqsd
    LPARAM m_lTestCycleArgument = 0;
};
