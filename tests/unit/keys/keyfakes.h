// Recording stand-ins for what the key pre-processing and the main-window
// commands call: every call is kept as one line ("ProcessHotkey 8"), and the
// answers they depend on can be set. Calls may come from the eject thread,
// so recording is locked.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "app/keyplatform.h"
#include "app/keyservices.h"

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

class RecordingKeyServices : public IKeyServices, public CallLog {
public:
    int hotkeyResult = 255;
    bool graphicsDriver = true;
    int restoreResult = 1;
    bool win7Component = true;
    int activeCode = 1;
    bool onlyPanelActive = false;
    int activeOutputs = 0x01;
    bool osdAlive = false;
    bool resolutionSelector = false;
    bool messageWindow = true;
    bool numLockWindow = false;
    bool numLockWindowCreated = true;
    int rfResult = 1;
    BYTE radios[3] = {0, 0, 0};
    int secondListModel = 0;
    int wirelessResult = 1;
    int wirelessOn = 0;
    std::wstring audioDeviceName = L"Speakers";
    bool audioDeviceChanged = false;
    int mute = 0;
    int volumeLevel = 0x8000;
    int detectFound = 0;
    int detectSpecial = 0;
    int lastConsumerVolumeKey = 0;
    HWND mainWindow = reinterpret_cast<HWND>(0x1234);

    int ProcessHotkey(int code) override;
    void ShowVolumeIcon(int up, int level) override;
    bool HasGraphicsDriver() override;
    int SelectDisplayCombination(int backward) override;
    int RestoreDefaultDisplay(int flags) override;
    int SetResolutionUp(int x, int y, int useLadder) override;
    int SetResolutionDown(int x, int y, int useLadder) override;
    int RotateDisplayAt(int x, int y, int angle) override;
    bool HasWin7Component() override;
    int GetActiveCode(int* code) override;
    bool IsOnlyPanelActive() override;
    int RefreshActiveOutputs() override;
    int ApplyDownScalingToCurrentMode() override;
    bool OsdAlive() override;
    void HideOsd() override;
    int SelectSRSEffect() override;
    int SelectResolution() override;
    int SelectWirelessDeviceStatus(int twoChoice) override;
    int SelectRFStatus() override;
    bool HasResolutionSelector() override;
    void RenewResolutionSelector() override;
    int WaResetResolutionBeforeS3S4() override;
    bool HasMessageWindow() override;
    void SetMessagePictureName(const std::wstring& name) override;
    int LoadMsgImage() override;
    void ShowMessageWindow() override;
    void HideMessageWindow() override;
    bool HasNumLockWindow() override;
    bool CreateNumLockWindow() override;
    void ShowNumLockWindow() override;
    void DestroyNumLockWindow() override;
    int GetRFOnOffStatus(BYTE states[3]) override;
    int SetRFOnOffStatus(const BYTE states[3]) override;
    int IsSecondListModel() override;
    int GetWirelessStatus(int* on) override;
    std::wstring AudioDeviceName() override;
    bool AudioDeviceChanged() override;
    void RecreateAudio() override;
    int GetSoundOnOff(int* mute) override;
    int SetSoundOnOff(int mute) override;
    int GetVolumeLevel(int* level) override;
    int Detect3GModule(int* found, int* special) override;
    HWND MainWindowHandle() override;
    void RestartTimer(UINT_PTR id, UINT elapseMs) override;
    void StopTimer(UINT_PTR id) override;
    int LastConsumerVolumeKey() override;
    void ReloadUsbKeyboardLibrary() override;
};

class RecordingKeyPlatform : public IKeyPlatform, public CallLog {
public:
    DWORD mciError = 0;
    HANDLE mciGate = nullptr;  // when set, the MCI command waits for this event
    bool screenSaverResult = true;
    SIZE screen = {1366, 768};
    HDEVNOTIFY notification = reinterpret_cast<HDEVNOTIFY>(0x5678);
    std::vector<INPUT> sentInput;
    GUID registeredClass{};

    bool StartProgram(const std::wstring& commandLine, int show) override;
    bool TerminateProcessesNamed(const std::wstring& exeName) override;
    DWORD SendMciCommand(const std::wstring& command) override;
    UINT SendKeyInput(INPUT* inputs, UINT count) override;
    bool SetScreenSaverActive(bool active) override;
    SIZE PrimaryScreenSize() override;
    HDEVNOTIFY RegisterInterfaceNotification(HWND window, const GUID& interfaceClass) override;
    void UnregisterNotification(HDEVNOTIFY notification) override;
};
