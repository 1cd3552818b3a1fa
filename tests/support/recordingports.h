// Recording stand-ins for the ports of the routing, the key handling and the
// main-window commands: one fake per port, all writing to one call log, so
// that a test sees the order of calls across subsystems ("ProcessHotkey 8").
// The answers the callers depend on can be set on each fake. Calls may come
// from the eject thread, so recording is locked.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "app/eventrouter.h"
#include "app/keypreprocessor.h"
#include "app/maincommands.h"

class CallLog {
public:
    template <typename... Args>
    void Record(const std::string& name, Args... args) {
        std::string line = name;
        ((line += " " + std::to_string(static_cast<long long>(args))), ...);
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(line);
    }
    void RecordText(const std::string& name, const std::wstring& text);
    std::vector<std::string> Calls() const;
    // Calls whose line begins with `prefix`, in order.
    std::vector<std::string> Matching(const std::string& prefix) const;
    bool Has(const std::string& line) const;
    std::string Joined() const;
    void Clear();

private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_calls;
};

class RecordingPort {
public:
    explicit RecordingPort(CallLog& log) : log(log) {}
protected:
    CallLog& log;
};

class FakeKeyHandling : public IKeyHandling, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    int processKeyResult = 1;
    int handleModifiedResult = 1;
    bool handleModifiedHandled = false;
    int ProcessKey(BYTE virtualKey, BYTE scanCode, KeySource source) override;
    int HandleModifiedKey(int scanCode, bool* handled) override;
    int OnVolumeKey(int scanCode) override;
    void OnVolumeNotify() override;
    void OnDisplaySwitchKey() override;
    int NoticeMessage(int mode) override;
    void SetVolumeKeyPending() override;
    void SetWirelessKeyBlock() override;
};

class FakeCommands : public IMainCommands, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    // Recorded with the command's number and its arguments as numbers.
    int ExecuteCommand(MainCommand command) override;
    int ExecuteCommand(const NumLockIndicatorRequest& request) override;
    int ExecuteCommand(const AdapterEventRequest& request) override;
};

class FakeFirmware : public IFirmware, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    int rfResult = 1;
    BYTE radios[3] = {0, 0, 0};
    int secondListModel = 0;
    int wirelessResult = 1;
    int wirelessOn = 0;
    void BiosHandshake(int data) override;
    int GetRFOnOffStatus(BYTE states[3]) override;
    int SetRFOnOffStatus(const BYTE states[3]) override;
    int IsSecondListModel() override { return secondListModel; }
    int GetWirelessStatus(int* on) override;
};

class FakeAudio : public IAudioState, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    std::wstring audioDeviceName = L"Speakers";
    bool audioDeviceChanged = false;
    int mute = 0;
    int volumeLevel = 0x8000;
    std::wstring AudioDeviceName() override { return audioDeviceName; }
    bool AudioDeviceChanged() override { return audioDeviceChanged; }
    void RecreateAudio() override;
    int GetSoundOnOff(int* value) override;
    int SetSoundOnOff(int value) override;
    int GetVolumeLevel(int* level) override;
};

class FakeDispatch : public IHotkeyDispatch, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    int hotkeyResult = 255;
    int ProcessHotkey(int code) override;
    void ShowVolumeIcon(int up, int level) override;
    void ReloadOwnVolumeSetting() override;
};

class FakeMenu : public IMenuRequests, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    int menuRequestResult = 0;
    int DispatchMenuRequest(int code, LPARAM argument) override;
};

class FakeOsd : public IOsdControl, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    bool osdAlive = false;
    osd::OsdMode osdMode = osd::OsdMode::None;
    bool OsdAlive() override { return osdAlive; }
    void HideOsd() override;
    osd::OsdMode OsdMode() override { return osdMode; }
    void SetOsdMode(osd::OsdMode mode) override;
    void ClearOsdSelection() override;
    void SendOsdSelectionTimer() override;
};

class FakeDisplay : public IDisplaySwitching, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    bool graphicsDriver = true;
    int restoreResult = 1;
    int activeDisplay = 0;
    int connectedDisplay = 0;
    bool HasGraphicsDriver() override { return graphicsDriver; }
    int SelectDisplayCombination(int backward) override;
    int RestoreDefaultDisplay(int flags) override;
    void ChangeDisplayCombination(int combination, int repaint) override;
    void GetConnectedDisplays() override;
    int RefreshActiveDisplay() override;
    int RefreshConnectedDisplay() override;
    void ClearDisplaySwitchPending() override;
    void SetDriverSuspendFlag() override;
};

class FakeResolution : public IResolutionRotation, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    int SetResolutionUp(int x, int y, int useLadder) override;
    int SetResolutionDown(int x, int y, int useLadder) override;
    int RotateDisplayAt(int x, int y, int angle) override;
    void RotateDisplayStep(int key) override;
    int ApplyDownScalingToCurrentMode() override;
};

class FakeOutputs : public IActiveOutputs, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    bool win7Component = true;
    int activeCode = 1;
    bool onlyPanelActive = false;
    int activeOutputs = 0x01;
    bool HasWin7Component() override { return win7Component; }
    int GetActiveCode(int* code) override;
    bool IsOnlyPanelActive() override;
    int RefreshActiveOutputs() override;
};

class FakeSelectors : public ISelectors, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    bool resolutionSelector = false;
    int canRotate = 1;
    int SelectSRSEffect() override;
    int SelectResolution() override;
    int SelectWirelessDeviceStatus(int twoChoice) override;
    int SelectRFStatus() override;
    bool HasResolutionSelector() override { return resolutionSelector; }
    void RenewResolutionSelector() override;
    int WaResetResolutionBeforeS3S4() override;
    int CanRotate() override;
    void ClearResolutionSelectorPending() override;
    void ClearWirelessSelectorPending() override;
};

class FakeNotices : public INoticeWindows, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    bool messageWindow = true;
    bool numLockWindow = false;
    bool numLockWindowCreated = true;
    bool HasMessageWindow() override { return messageWindow; }
    void SetMessagePictureName(const std::wstring& name) override;
    int LoadMsgImage() override;
    void ShowMessageWindow() override;
    void HideMessageWindow() override;
    bool HasNumLockWindow() override { return numLockWindow; }
    bool CreateNumLockWindow() override;
    void ShowNumLockWindow() override;
    void DestroyNumLockWindow() override;
};

class FakeMagnifier : public IMagnifier, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    bool magnifierShown = false;
    bool MagnifierShown() override { return magnifierShown; }
    void HideMagnifier() override;
};

// Display detection and the 3G module detector.
class FakeDetection : public IDetection, public IModuleDetection, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    int detectFound = 0;
    int detectSpecial = 0;
    void SetPostResumeDeviceEventCounter(int count) override;
    void DeviceDetection(LPARAM data, WPARAM event) override;
    int Detect3GModule(int* found, int* special) override;
};

// The mini UI with its options and presentation panels.
class FakeMiniUi : public IMiniUi, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    bool miniUiManager = true;
    bool miniUiShown = false;
    bool userTouched = false;
    bool reactsToConnected = true;
    bool reactsOnlyToNew = false;
    bool autoHide = false;
    bool presentationMode = false;
    bool HasMiniUiManager() override { return miniUiManager; }
    bool MiniUiShown() override { return miniUiShown; }
    void ShowMiniUI(int show) override;
    void RefreshMiniUiResolutionPanel() override;
    void RefreshLayout() override;
    void SetCountdownTitle(int seconds) override;
    bool IsUserTouched() override { return userTouched; }
    void ClearUserTouched() override;
    bool ReactsToConnectedMonitors() override { return reactsToConnected; }
    bool ReactsOnlyToNewMonitors() override { return reactsOnlyToNew; }
    bool IsAutoHide() override { return autoHide; }
    bool PresentationModeOn() override { return presentationMode; }
    void ApplyPresentationOutputMode() override;
    void SwitchPresentationModeOff() override;
};

class FakeTimers : public ITimers, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    void RestartTimer(UINT_PTR id, UINT elapseMs) override;
    void StopTimer(UINT_PTR id) override;
};

class FakeMainWindow : public IMainWindow, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    HWND mainWindow = reinterpret_cast<HWND>(0x1234);
    HWND MainWindowHandle() override { return mainWindow; }
    void PumpMessagesFor(int passes, int sleepMs) override;
    void KeepTestCycleArgument(LPARAM argument) override;
};

class FakeKeyRoads : public IKeyRoads, public RecordingPort {
public:
    using RecordingPort::RecordingPort;
    int lastConsumerVolumeKey = 0;
    int LastConsumerVolumeKey() override { return lastConsumerVolumeKey; }
    void ReloadUsbKeyboardLibrary() override;
};

// Every port once, recording into this log; the consumers' port sets from them.
class RecordingPorts : public CallLog {
public:
    FakeKeyHandling keys{*this};
    FakeCommands commands{*this};
    FakeFirmware firmware{*this};
    FakeAudio audio{*this};
    FakeDispatch dispatch{*this};
    FakeMenu menu{*this};
    FakeOsd osd{*this};
    FakeDisplay display{*this};
    FakeResolution resolution{*this};
    FakeOutputs outputs{*this};
    FakeSelectors selectors{*this};
    FakeNotices notices{*this};
    FakeMagnifier magnifier{*this};
    FakeDetection detection{*this};
    FakeMiniUi miniUi{*this};
    FakeTimers timers{*this};
    FakeMainWindow window{*this};
    FakeKeyRoads roads{*this};

    // The routing with the key handling it hands keys to (this set's, or `keyHandling`).
    CEventRouter::Ports Router();
    CEventRouter::Ports Router(IKeyHandling& keyHandling);
    // The key handling with the commands it runs (the real ones, or `commands`).
    CKeyPreprocessor::Ports Keys(IMainCommands& mainCommands);
    CMainCommands::Ports Commands();
};
