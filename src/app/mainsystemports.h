// The hardware side as the shell's ports reach it: the system information
// (firmware and audio, once it is loaded) and the hotkey dispatcher. Before
// they exist, reads fail and keys pass on.
#pragma once

#include "app/systemports.h"
#include "display/displaychangerports.h"

class CHWIconDisplayer;
class CSystemInfo;

class CSystemInfoPorts : public IFirmware, public IAudioState, public IDisplayFirmware {
public:
    void SetSystemInfo(CSystemInfo* systemInfo) { m_pSystemInfo = systemInfo; }

    void BiosHandshake(int data) override;
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

    int GetDisplayState(BYTE* state) override;
    int SetBacklight(BYTE on) override;
    int GetBrightness(BYTE* level) override;
    int SetBrightness(BYTE level) override;

private:
    CSystemInfo* m_pSystemInfo = nullptr;
};

class CDispatcherPort : public IHotkeyDispatch {
public:
    void SetDispatcher(CHWIconDisplayer* dispatcher) { m_pDispatcher = dispatcher; }

    int ProcessHotkey(int code) override;
    void ShowVolumeIcon(int up, int level) override;
    void ReloadOwnVolumeSetting() override;

private:
    CHWIconDisplayer* m_pDispatcher = nullptr;
};
