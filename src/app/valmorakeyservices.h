// The main window's side of IKeyServices: its timers, its window handle, the
// router's last consumer volume key and the USB keyboard library are real;
// so are the firmware radio calls and the audio (CSystemInfo). The operations of objects that are
// not part of the program yet leave a
// trace line "call <operation> <arguments>" and answer a neutral value.
#pragma once

#include <functional>

#include "app/eventrouter.h"
#include "app/framework/dialogbase.h"
#include "app/keyservices.h"

class CKEST;
class CHWIconDisplayer;
class CSystemInfo;

class CValmoraKeyServices : public IKeyServices {
public:
    CValmoraKeyServices(fw::CDialogBase& window, CEventRouter& router, UINT& usbMessage)
        : m_window(window), m_router(router), m_usbMessage(usbMessage) {}

    // The system information (firmware and audio) once it is loaded; radio
    // and audio reads fail without it.
    void SetSystemInfo(CSystemInfo* systemInfo);
    // The hotkey dispatcher, and the main window's OSD window.
    void SetDispatcher(CHWIconDisplayer* dispatcher) { m_pDispatcher = dispatcher; }
    void SetOsdAccess(std::function<bool()> alive, std::function<void()> hide) {
        m_osdAlive = std::move(alive);
        m_hideOsd = std::move(hide);
    }

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

private:
    fw::CDialogBase& m_window;
    CEventRouter& m_router;
    UINT& m_usbMessage;
    CKEST* m_pKest = nullptr;
    CHWIconDisplayer* m_pDispatcher = nullptr;
    std::function<bool()> m_osdAlive;
    std::function<void()> m_hideOsd;
    CSystemInfo* m_pSystemInfo = nullptr;
};
