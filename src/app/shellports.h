// The shell's own ports: what the event routing hands to the key handling and
// the numbered commands, and what the key handling and the commands ask of the
// main window (its timers, its handle, its key roads). Each is implemented by
// the object named beside it; tests put recording fakes here.
#pragma once

#include <windows.h>

// Where a key came from: the hook library or raw input, or the USB keyboard
// library and the sibling programs' message 0x8B1.
enum class KeySource : int { HookOrRawInput = 0, UsbOrSibling = 1 };

// The main window's numbered commands (CMainCommands).
enum class MainCommand : int {
    ResetResolutionBeforeSleep = 0,
    FollowDisplayChange = 1,
    Unused2 = 2,
    ApplyDownScaling = 3,
    ShowNumLockIndicator = 4,
    Unused5 = 5,
    EndMediaCenterVolumeBar = 6,
    RestartNoticeTimer = 7,
    ApplyWirelessRadio = 8,
    RewriteWheelKey = 9,
    RegisterNetworkAdapterNotification = 10,
    EjectOpticalDrive = 11,
    ReloadUsbOnAdapterEvent = 12,
    ShowNumLockChange = 13,
    ShowScrollLockChange = 14,
    Unused15 = 15,
    ShowCapsLockChange = 16,
};

// The arguments of the commands that take any, one type per command.
struct NumLockIndicatorRequest {  // MainCommand::ShowNumLockIndicator
    bool bringLightInStep = false;  // after resume: two Num Lock presses
};
struct AdapterEventRequest {  // MainCommand::ReloadUsbOnAdapterEvent
    const void* record = nullptr;  // the WM_DEVICECHANGE record, as it came
};
struct WheelKeyRewrite {  // MainCommand::RewriteWheelKey: the key, rewritten in place
    int* virtualKey = nullptr;
    int* scanCode = nullptr;
    int* extended = nullptr;  // may be nullptr
};

class IMainCommands {
public:
    virtual ~IMainCommands() = default;
    // 1, or 0 where a command says so (and for a number that is no command).
    // A command that takes arguments runs here with its defaults.
    virtual int ExecuteCommand(MainCommand command) = 0;
    virtual int ExecuteCommand(const NumLockIndicatorRequest& request) = 0;
    virtual int ExecuteCommand(const AdapterEventRequest& request) = 0;
};

// Key pre-processing (CKeyPreprocessor) as the routing reaches it.
class IKeyHandling {
public:
    virtual ~IKeyHandling() = default;
    // 1 pass the key on, the handled-key result (acted on it), or 0 (swallowed).
    virtual int ProcessKey(BYTE virtualKey, BYTE scanCode, KeySource source) = 0;
    virtual int HandleModifiedKey(int scanCode, bool* handled) = 0;
    virtual int OnVolumeKey(int scanCode) = 0;
    virtual void OnVolumeNotify() = 0;
    virtual void OnDisplaySwitchKey() = 0;
    virtual int NoticeMessage(int mode) = 0;
    virtual void SetVolumeKeyPending() = 0;
    virtual void SetWirelessKeyBlock() = 0;
};

// The main window's timers (ids in maintimers.h). Restart = kill and start again.
class ITimers {
public:
    virtual ~ITimers() = default;
    virtual void RestartTimer(UINT_PTR id, UINT elapseMs) = 0;
    virtual void StopTimer(UINT_PTR id) = 0;
};

// The main window itself.
class IMainWindow {
public:
    virtual ~IMainWindow() = default;
    virtual HWND MainWindowHandle() = 0;
    // Keeps the message queue running while a request waits.
    virtual void PumpMessagesFor(int passes, int sleepMs) = 0;
    // The argument of the display-switch test cycle (timer 153).
    virtual void KeepTestCycleArgument(LPARAM argument) = 0;
};

// The key roads the main window opened.
class IKeyRoads {
public:
    virtual ~IKeyRoads() = default;
    // The volume key the USB library's consumer page named last (0 none).
    virtual int LastConsumerVolumeKey() = 0;
    // Release the USB keyboard library, register "TrapkeyUSB" again and load its device.
    virtual void ReloadUsbKeyboardLibrary() = 0;
};
