// Ports to the hardware side: the firmware (handshake and radios) and the
// audio state through the system information, and the hotkey dispatcher.
// The main window connects them to CSystemInfo and CHWIconDisplayer
// (mainsystemports.h); tests put recording fakes here.
#pragma once

#include <windows.h>

#include <string>

// Firmware calls of the key handling, the routing and the commands; results 1/0.
class IFirmware {
public:
    virtual ~IFirmware() = default;
    // BIOS function 9 with one data value: the program announces or withdraws itself.
    virtual void BiosHandshake(int data) = 0;
    virtual int GetRFOnOffStatus(BYTE states[3]) = 0;
    virtual int SetRFOnOffStatus(const BYTE states[3]) = 0;
    virtual int IsSecondListModel() = 0;
    virtual int GetWirelessStatus(int* on) = 0;
};

// The audio state of the default playback device.
class IAudioState {
public:
    virtual ~IAudioState() = default;
    virtual std::wstring AudioDeviceName() = 0;
    virtual bool AudioDeviceChanged() = 0;
    virtual void RecreateAudio() = 0;
    virtual int GetSoundOnOff(int* mute) = 0;
    virtual int SetSoundOnOff(int mute) = 0;
    virtual int GetVolumeLevel(int* level) = 0;
};

// The hotkey dispatcher.
class IHotkeyDispatch {
public:
    virtual ~IHotkeyDispatch() = default;
    // 255 = acted on the code, 1 = not one of its codes, 0 = no OSD window could be obtained.
    virtual int ProcessHotkey(int code) = 0;
    // Volume OSD of the Windows 7 path; level -1 shows the current level.
    virtual void ShowVolumeIcon(int up, int level) = 0;
    // Reads the setting vqav again.
    virtual void ReloadOwnVolumeSetting() = 0;
};

// The menu status the sibling menu program asks for (codes 19, 43 to 47, 71);
// returns what the request produces.
class IMenuRequests {
public:
    virtual ~IMenuRequests() = default;
    virtual int DispatchMenuRequest(int code, LPARAM argument) = 0;
};

// Network switches of the models that switch adapters outside the firmware
// (the dispatcher reaches them through the main window's hotkey owner).
class INetworkSwitches {
public:
    virtual ~INetworkSwitches() = default;
    virtual void ShowWiredLANOnOffIcon() = 0;
    virtual void ToggleFamily10Wireless() = 0;
};
