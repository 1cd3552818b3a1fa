// What the hotkey dispatcher needs from its surroundings: the hardware state
// (system information: firmware commands, battery, audio), the OSD window,
// and the main window. The main window connects the real objects; tests put
// recording fakes here.
#pragma once

#include <windows.h>

#include <string>

// Hardware reads and writes, each 1 on success and 0 on failure (the failure
// has already been reported by the firmware interface).
class IHotkeyHardware {
public:
    virtual ~IHotkeyHardware() = default;
    virtual int GetBrLevel(BYTE* level) = 0;                    // firmware 0x10
    virtual int SetBrLevel(BYTE level) = 0;                     // firmware 0x11
    virtual int GetWirelessStatus(BYTE* state) = 0;             // firmware 0x12 (2 fails)
    virtual int SetWirelessStatus(BYTE state) = 0;              // firmware 0x13
    virtual int GetLCDBacklitOnOffStatus(BYTE* state) = 0;      // firmware 0x2D
    virtual int SetLCDBacklitOnOffStatus(BYTE state) = 0;       // firmware 0x2E
    virtual int GetEtiquetteModeStatus(BYTE* state) = 0;        // firmware 0x31
    virtual int SetEtiquetteModeStatus(BYTE state) = 0;         // firmware 0x32
    virtual int GetBatteryCapacityStatus(int* percent) = 0;     // 255 = unknown
    virtual int GetSoundOnOff(int* mute) = 0;
    virtual int SetSoundOnOff(int mute) = 0;
    virtual int GetVolumeLevel(int* level) = 0;
    virtual int SetVolumeLevel(int level) = 0;
    // Before Vista: whether mixer device 0 is another device now (1/0 result).
    virtual int IsAudioDeviceChanged(int* changed) = 0;
    virtual int RecreateAudio() = 0;
};

// The OSD window as the dispatcher drives it.
class IHotkeyOsd {
public:
    virtual ~IHotkeyOsd() = default;
    virtual bool IsShown() = 0;
    virtual bool IsDestroyed() = 0;
    virtual int IconCode() = 0;  // the picture it shows or last prepared
    virtual void SetLevel(int level) = 0;
    virtual void SetVolumeStepScale(int scale) = 0;
    virtual int InitHotKeyIcon(int iconCode) = 0;
    virtual void ShowNoActivate() = 0;
    virtual void RestartHideTimer() = 0;
};

// The main window and the program's neighbours.
class IHotkeyOwner {
public:
    virtual ~IHotkeyOwner() = default;
    // A volume key unmuted: the main window notes it and forgets its stored mute state.
    virtual void NoteUnmutedByVolumeKey() = 0;
    virtual void StoreVolumeLastSeen(int level) = 0;
    // Starts a sibling program (shown); 1 when it started.
    virtual int StartProgram(const std::wstring& commandLine) = 0;
    // Network switches of the models that switch adapters outside the firmware.
    virtual void ShowWiredLANOnOffIcon() = 0;
    virtual void ToggleFamily10Wireless() = 0;
};
