// The main window's numbered commands 0 to 16, called by the key handling,
// the event routing, power events and the display changer, and the optical
// drive eject thread that command 11 starts.
#pragma once

#include <windows.h>

#include <atomic>

#include "app/displayports.h"
#include "app/keyplatform.h"
#include "app/shellports.h"
#include "app/systemports.h"
#include "app/windowports.h"
#include "common/scopedhandle.h"
#include "hardware/hotkeytable.h"

class CMainCommands : public IMainCommands {
public:
    // What the commands reach, one port per serving subsystem.
    struct Ports {
        IHotkeyDispatch& dispatch;
        IDisplaySwitching& display;
        IResolutionRotation& resolution;
        IActiveOutputs& outputs;
        IFirmware& firmware;
        ISelectors& selectors;
        INoticeWindows& notices;
        ITimers& timers;
        IMainWindow& window;
        IKeyRoads& roads;
    };
    explicit CMainCommands(const Ports& ports, IKeyPlatform& platform = SystemKeyPlatform());
    // Waits a while for a running eject thread, which uses this object.
    ~CMainCommands();
    CMainCommands(const CMainCommands&) = delete;
    CMainCommands& operator=(const CMainCommands&) = delete;

    // Returns 1, or 0 where a command says so.
    int ExecuteCommand(MainCommand command) override;
    int ExecuteCommand(const NumLockIndicatorRequest& request) override;
    int ExecuteCommand(const AdapterEventRequest& request) override;
    int ExecuteCommand(const WheelKeyRewrite& key);

    // Body of the eject thread: the MCI door command, then timer 6 stopped
    // and the busy flag cleared.
    void EjectOpticalDrive();
    // Timer 6 expired: the eject is over, whatever the thread did.
    void OnEjectTimerExpired();
    bool EjectBusy() const { return m_bEjectBusy.load(); }
    bool EjectRequested() const { return m_bEjectRequested; }
    // Waits for the last eject thread to end; true when it has.
    bool WaitForEjectThread(DWORD timeoutMs);

    // At tear-down: the network-adapter notification is withdrawn.
    void ReleaseDeviceNotification();
    bool HasDeviceNotification() const { return m_deviceNotify.valid(); }

private:
    int ResetResolutionBeforeSleep();
    int FollowDisplayChangeOnSmallPanel();
    void SetScreenSaver(bool active);
    int ShowNumLockIndicator(bool bringLightInStep);
    int EndMediaCenterVolumeBar();
    int ApplyWirelessRadioCommand();
    int RewriteWheelKey(const WheelKeyRewrite& key);
    int RegisterNetworkAdapterNotification();
    int EjectOnce();
    bool EjectThreadRunning() const;
    int ReloadUsbOnAdapterEvent(const void* record);
    int ShowLockKeyChange(int virtualKey, HotkeyCode onCode, HotkeyCode offCode);

    Ports m_ports;
    IKeyPlatform& m_platform;
    std::atomic<bool> m_bEjectBusy{false};
    bool m_bEjectRequested = false;
    ScopedHandle m_hEjectThread;
    DWORD m_dwEjectThreadId = 0;
    // The network-adapter notification, withdrawn when replaced or destroyed.
    class DeviceNotification {
    public:
        explicit DeviceNotification(IKeyPlatform& platform) : m_platform(platform) {}
        ~DeviceNotification() { reset(); }
        DeviceNotification(const DeviceNotification&) = delete;
        DeviceNotification& operator=(const DeviceNotification&) = delete;
        void reset(HDEVNOTIFY handle = nullptr) {
            if (m_handle) m_platform.UnregisterNotification(m_handle);
            m_handle = handle;
        }
        bool valid() const { return m_handle != nullptr; }
    private:
        IKeyPlatform& m_platform;
        HDEVNOTIFY m_handle = nullptr;
    };
    DeviceNotification m_deviceNotify{m_platform};
};
