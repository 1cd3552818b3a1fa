// What the key pre-processing and the main-window commands need from the rest
// of the program: the hotkey dispatcher, the display changer and its drivers,
// the OSD window, the selectors, the message and Num Lock windows, the system
// information (firmware and audio), the 3G module detector and the main
// window itself. The main window implements it with the objects it owns;
// tests implement it with recording fakes.
#pragma once

#include <windows.h>

#include <string>

class IKeyServices {
public:
    virtual ~IKeyServices() = default;

    // Hotkey dispatcher: 255 = acted on the code, 1 = not one of its codes,
    // 0 = no OSD window could be obtained.
    virtual int ProcessHotkey(int code) = 0;
    // Volume OSD of the Windows 7 path; level -1 shows the current level.
    virtual void ShowVolumeIcon(int up, int level) = 0;

    // Display changer.
    virtual bool HasGraphicsDriver() = 0;
    virtual int SelectDisplayCombination(int backward) = 0;
    virtual int RestoreDefaultDisplay(int flags) = 0;
    virtual int SetResolutionUp(int x, int y, int useLadder) = 0;
    virtual int SetResolutionDown(int x, int y, int useLadder) = 0;
    virtual int RotateDisplayAt(int x, int y, int angle) = 0;
    // The Windows 7 display-configuration component and its active-output code.
    virtual bool HasWin7Component() = 0;
    virtual int GetActiveCode(int* code) = 0;
    // Intel driver (model family 1): whether only the panel is active; the
    // driver's display state read again, as display-device bits of the
    // active outputs; its own down-scaling step.
    virtual bool IsOnlyPanelActive() = 0;
    virtual int RefreshActiveOutputs() = 0;
    virtual int ApplyDownScalingToCurrentMode() = 0;

    // OSD window: exists and has not been destroyed; hide it.
    virtual bool OsdAlive() = 0;
    virtual void HideOsd() = 0;

    // Selectors, each created on first use by the main window.
    virtual int SelectSRSEffect() = 0;
    virtual int SelectResolution() = 0;
    // `twoChoice` binds the wireless selector when this call creates it.
    virtual int SelectWirelessDeviceStatus(int twoChoice) = 0;
    // RF selector: show the state of the radios.
    virtual int SelectRFStatus() = 0;
    virtual bool HasResolutionSelector() = 0;
    virtual void RenewResolutionSelector() = 0;
    virtual int WaResetResolutionBeforeS3S4() = 0;

    // Message window (notice picture) and Num Lock window.
    virtual bool HasMessageWindow() = 0;
    virtual void SetMessagePictureName(const std::wstring& name) = 0;
    virtual int LoadMsgImage() = 0;
    virtual void ShowMessageWindow() = 0;  // without activation
    virtual void HideMessageWindow() = 0;
    virtual bool HasNumLockWindow() = 0;
    virtual bool CreateNumLockWindow() = 0;  // from template 265
    virtual void ShowNumLockWindow() = 0;    // without activation
    virtual void DestroyNumLockWindow() = 0;  // hide and destroy

    // System information: firmware radios and audio.
    virtual int GetRFOnOffStatus(BYTE states[3]) = 0;
    virtual int SetRFOnOffStatus(const BYTE states[3]) = 0;
    virtual int IsSecondListModel() = 0;
    virtual int GetWirelessStatus(int* on) = 0;
    virtual std::wstring AudioDeviceName() = 0;
    virtual bool AudioDeviceChanged() = 0;
    virtual void RecreateAudio() = 0;
    virtual int GetSoundOnOff(int* mute) = 0;
    virtual int SetSoundOnOff(int mute) = 0;
    virtual int GetVolumeLevel(int* level) = 0;

    // 3G module detector, created, asked and destroyed in one call: `found`
    // and `special` as the detector leaves them; the result tells whether the
    // search ran to a decision.
    virtual int Detect3GModule(int* found, int* special) = 0;

    // The main window.
    virtual HWND MainWindowHandle() = 0;
    virtual void RestartTimer(UINT_PTR id, UINT elapseMs) = 0;
    virtual void StopTimer(UINT_PTR id) = 0;
    virtual int LastConsumerVolumeKey() = 0;
    // Release the USB keyboard library, register "TrapkeyUSB" again and load its device.
    virtual void ReloadUsbKeyboardLibrary() = 0;
};
