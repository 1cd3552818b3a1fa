// The one object through which the program reads and changes hardware state:
// the firmware commands (brightness, radios, backlight, silent mode, through
// CKEST), the audio object (volume and mute), the battery capacity and the
// SRS sound effects of the audio driver. Created by the main window at start
// and handed to the hotkey dispatcher, the display changer and the selectors.
// Main thread only.
#pragma once

#include <windows.h>

#include <memory>

#include "audio/audio.h"
#include "audio/audioplatform.h"
#include "hardware/hotkeyports.h"
#include "hardware/kest.h"
#include "hardware/sysinfoplatform.h"

class CSystemInfo : public CKEST, public IHotkeyHardware {
public:
    // `platform` serves the SRS devices and the battery; `firmware` goes to
    // the firmware interface, `mixer` and `endpoints` to each audio object
    // this one creates. The real system by default.
    explicit CSystemInfo(IKestPlatform& firmware = SystemKestPlatform(),
                         ISysInfoPlatform& platform = SystemSysInfoPlatform(),
                         IMixerPlatform& mixer = SystemMixerPlatform(),
                         IEndpointPlatform& endpoints = SystemEndpointPlatform());
    ~CSystemInfo() override;

    // Firmware initialisation, the announce pair, then the audio object with
    // `ownerWindow` as the receiver of its change notices. 0 when the
    // firmware refused the announcement (no audio object then).
    int Init(HWND ownerWindow);

    // Destroys the audio object and creates the one for the Windows version
    // (mixer before Vista, endpoints from Vista on); the result of its Initialize.
    int CreateAudio();
    CAudio* Audio() const { return m_pAudio.get(); }

    // Mute and volume through the audio object. A failing query re-creates
    // the audio object, so that a removed or changed device is picked up at
    // the next call. Without an audio object the getters return 1 and leave
    // their output alone.
    int GetSoundOnOff(int* mute) override;
    int SetSoundOnOff(int mute) override;
    int GetVolumeLevel(int* level) override;
    int SetVolumeLevel(int level) override;

    // Battery life in percent (0 to 100, 255 = unknown); 0 and a report when
    // the power status is unavailable.
    int GetBatteryCapacityStatus(int* percent) override;

    // The SRS effect state (srs::State). Returns 1 unless there is no SRS device (255).
    int GetSRSEffect(BYTE* state);
    // 16: effect A on, B off; 32 (and other values): effect B on, A off; 255: both off.
    // 0 when the current state is unknown (153) or there is no device (255).
    int SetSRSEffect(BYTE value);
    // The choice of the OSD's SRS toggle: DirectSound acceleration, then the effect.
    int ApplySRSSelection(BYTE value);

    // The firmware and audio operations as the hotkey dispatcher names them.
    int GetBrLevel(BYTE* level) override { return GetBrightness(level); }
    int SetBrLevel(BYTE level) override { return SetBrightness(level); }
    int GetWirelessStatus(BYTE* state) override { return CKEST::GetWirelessStatus(state); }
    int SetWirelessStatus(BYTE state) override { return CKEST::SetWirelessStatus(state); }
    int GetLCDBacklitOnOffStatus(BYTE* state) override { return GetBacklight(state); }
    int SetLCDBacklitOnOffStatus(BYTE state) override { return SetBacklight(state); }
    int GetEtiquetteModeStatus(BYTE* state) override { return GetEtiquetteMode(state); }
    int SetEtiquetteModeStatus(BYTE state) override { return SetEtiquetteMode(state); }
    // Before Vista: whether mixer device 0 is another device now. 0 without a mixer object.
    int IsAudioDeviceChanged(int* changed) override;
    int RecreateAudio() override { return CreateAudio(); }

private:
    // One audio query: traced on success; on failure the audio object is
    // re-created and `report` made. 1 without an audio object.
    int QueryAudio(int (CAudio::*query)(int*), int* value, const wchar_t* trace, const wchar_t* report);

    ISysInfoPlatform& m_sysInfoPlatform;
    IMixerPlatform& m_mixerPlatform;
    IEndpointPlatform& m_endpointPlatform;
    std::unique_ptr<CAudio> m_pAudio;
    HWND m_hOwnerWindow = nullptr;
};
