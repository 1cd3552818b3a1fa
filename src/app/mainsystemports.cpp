#include "app/mainsystemports.h"

#include "app/tracecall.h"
#include "audio/audiomixer.h"
#include "hardware/hwicondisplayer.h"
#include "hardware/systeminfo.h"

void CSystemInfoPorts::BiosHandshake(int data) {
    TraceCall(L"BiosHandshake", 9, data);
    if (m_pSystemInfo) m_pSystemInfo->SendHandshake(static_cast<BYTE>(data));
}
int CSystemInfoPorts::GetRFOnOffStatus(BYTE states[3]) {
    return m_pSystemInfo ? m_pSystemInfo->GetRFOnOffStatus(states) : 0;
}
int CSystemInfoPorts::SetRFOnOffStatus(const BYTE states[3]) {
    return m_pSystemInfo ? m_pSystemInfo->SetRFOnOffStatus(states) : 0;
}
int CSystemInfoPorts::IsSecondListModel() { return m_pSystemInfo ? m_pSystemInfo->IsSecondListModel() : 0; }
int CSystemInfoPorts::GetWirelessStatus(int* on) {
    BYTE state = 0;
    if (!m_pSystemInfo || !m_pSystemInfo->GetWirelessStatus(&state)) return 0;
    *on = state;
    return 1;
}

std::wstring CSystemInfoPorts::AudioDeviceName() {
    const auto* mixer = m_pSystemInfo ? dynamic_cast<const CAudioMixer*>(m_pSystemInfo->Audio()) : nullptr;
    return mixer ? mixer->ProductName() : std::wstring();
}
bool CSystemInfoPorts::AudioDeviceChanged() {
    int changed = 0;
    return m_pSystemInfo && m_pSystemInfo->IsAudioDeviceChanged(&changed) && changed;
}
void CSystemInfoPorts::RecreateAudio() {
    TraceCall(L"RecreateAudio");
    if (m_pSystemInfo) m_pSystemInfo->CreateAudio();
}
int CSystemInfoPorts::GetSoundOnOff(int* mute) { return m_pSystemInfo ? m_pSystemInfo->GetSoundOnOff(mute) : 0; }
int CSystemInfoPorts::SetSoundOnOff(int mute) {
    TraceCall(L"SetSoundOnOff", mute);
    return m_pSystemInfo ? m_pSystemInfo->SetSoundOnOff(mute) : 0;
}
int CSystemInfoPorts::GetVolumeLevel(int* level) { return m_pSystemInfo ? m_pSystemInfo->GetVolumeLevel(level) : 0; }

int CSystemInfoPorts::GetDisplayState(BYTE* state) { return m_pSystemInfo ? m_pSystemInfo->GetDisplayState(state) : 0; }
int CSystemInfoPorts::SetBacklight(BYTE on) { return m_pSystemInfo ? m_pSystemInfo->SetBacklight(on) : 0; }
int CSystemInfoPorts::GetBrightness(BYTE* level) { return m_pSystemInfo ? m_pSystemInfo->GetBrightness(level) : 0; }
int CSystemInfoPorts::SetBrightness(BYTE level) { return m_pSystemInfo ? m_pSystemInfo->SetBrightness(level) : 0; }

int CDispatcherPort::ProcessHotkey(int code) {
    TraceCall(L"ProcessHotkey", code);
    return m_pDispatcher ? m_pDispatcher->ProcessHotkey(code) : 1;
}
void CDispatcherPort::ShowVolumeIcon(int up, int level) {
    TraceCall(L"ShowVolumeIcon", up, level);
    if (m_pDispatcher) m_pDispatcher->ShowVolumeIcon(up != 0, level);
}
void CDispatcherPort::ReloadOwnVolumeSetting() {
    if (m_pDispatcher) m_pDispatcher->ReloadOwnVolumeSetting();
}
