#include "app/valmorakeyservices.h"

#include "app/tracecall.h"
#include "app/trapkeylibs.h"
#include "audio/audiomixer.h"
#include "hardware/hwicondisplayer.h"
#include "hardware/kest.h"
#include "hardware/systeminfo.h"

void CValmoraKeyServices::SetSystemInfo(CSystemInfo* systemInfo) {
    m_pSystemInfo = systemInfo;
    m_pKest = systemInfo;
}

// Hotkey dispatcher.
int CValmoraKeyServices::ProcessHotkey(int code) {
    TraceCall(L"ProcessHotkey", code);
    return m_pDispatcher ? m_pDispatcher->ProcessHotkey(code) : 1;
}
void CValmoraKeyServices::ShowVolumeIcon(int up, int level) {
    TraceCall(L"ShowVolumeIcon", up, level);
    if (m_pDispatcher) m_pDispatcher->ShowVolumeIcon(up != 0, level);
}

// Display changer and its drivers.
bool CValmoraKeyServices::HasGraphicsDriver() {
    TraceCall(L"HasGraphicsDriver");
    return false;
}
int CValmoraKeyServices::SelectDisplayCombination(int backward) {
    TraceCall(L"SelectDisplayCombination", backward);
    return 0;
}
int CValmoraKeyServices::RestoreDefaultDisplay(int flags) {
    TraceCall(L"RestoreDefaultDisplay", flags);
    return 0;
}
int CValmoraKeyServices::SetResolutionUp(int x, int y, int useLadder) {
    TraceCall(L"SetResolutionUp", useLadder);
    return 0;
}
int CValmoraKeyServices::SetResolutionDown(int x, int y, int useLadder) {
    TraceCall(L"SetResolutionDown", useLadder);
    return 0;
}
int CValmoraKeyServices::RotateDisplayAt(int x, int y, int angle) {
    TraceCall(L"RotateDisplayAt", angle);
    return 1;
}
bool CValmoraKeyServices::HasWin7Component() {
    TraceCall(L"HasWin7Component");
    return false;
}
int CValmoraKeyServices::GetActiveCode(int* code) {
    TraceCall(L"GetActiveCode");
    return 0;
}
bool CValmoraKeyServices::IsOnlyPanelActive() {
    TraceCall(L"IsOnlyPanelActive");
    return false;
}
int CValmoraKeyServices::RefreshActiveOutputs() {
    TraceCall(L"RefreshActiveOutputs");
    return 0;
}
int CValmoraKeyServices::ApplyDownScalingToCurrentMode() {
    TraceCall(L"ApplyDownScalingToCurrentMode");
    return 0;
}

// OSD window and selectors.
bool CValmoraKeyServices::OsdAlive() { return m_osdAlive && m_osdAlive(); }
void CValmoraKeyServices::HideOsd() {
    if (m_hideOsd) m_hideOsd();
}
int CValmoraKeyServices::SelectSRSEffect() {
    TraceCall(L"SelectSRSEffect");
    return 0;
}
int CValmoraKeyServices::SelectResolution() {
    TraceCall(L"SelectResolution");
    return 0;
}
int CValmoraKeyServices::SelectWirelessDeviceStatus(int twoChoice) {
    TraceCall(L"SelectWirelessDeviceStatus", twoChoice);
    return 0;
}
int CValmoraKeyServices::SelectRFStatus() {
    TraceCall(L"SelectRFStatus");
    return 0;
}
bool CValmoraKeyServices::HasResolutionSelector() { return false; }
void CValmoraKeyServices::RenewResolutionSelector() { TraceCall(L"RenewResolutionSelector"); }
int CValmoraKeyServices::WaResetResolutionBeforeS3S4() {
    TraceCall(L"WaResetResolutionBeforeS3S4");
    return 0;
}

// Message window and Num Lock window.
bool CValmoraKeyServices::HasMessageWindow() { return false; }
void CValmoraKeyServices::SetMessagePictureName(const std::wstring& name) {}
int CValmoraKeyServices::LoadMsgImage() { return 0; }
void CValmoraKeyServices::ShowMessageWindow() {}
void CValmoraKeyServices::HideMessageWindow() { TraceCall(L"HideMessageWindow"); }
bool CValmoraKeyServices::HasNumLockWindow() { return false; }
bool CValmoraKeyServices::CreateNumLockWindow() {
    TraceCall(L"CreateNumLockWindow");
    return false;
}
void CValmoraKeyServices::ShowNumLockWindow() {}
void CValmoraKeyServices::DestroyNumLockWindow() {}

// Firmware radios.
int CValmoraKeyServices::GetRFOnOffStatus(BYTE states[3]) { return m_pKest ? m_pKest->GetRFOnOffStatus(states) : 0; }
int CValmoraKeyServices::SetRFOnOffStatus(const BYTE states[3]) {
    return m_pKest ? m_pKest->SetRFOnOffStatus(states) : 0;
}
int CValmoraKeyServices::IsSecondListModel() { return m_pKest ? m_pKest->IsSecondListModel() : 0; }
int CValmoraKeyServices::GetWirelessStatus(int* on) {
    BYTE state = 0;
    if (!m_pKest || !m_pKest->GetWirelessStatus(&state)) return 0;
    *on = state;
    return 1;
}

// System information: audio.
std::wstring CValmoraKeyServices::AudioDeviceName() {
    const auto* mixer = m_pSystemInfo ? dynamic_cast<const CAudioMixer*>(m_pSystemInfo->Audio()) : nullptr;
    return mixer ? mixer->ProductName() : std::wstring();
}
bool CValmoraKeyServices::AudioDeviceChanged() {
    int changed = 0;
    return m_pSystemInfo && m_pSystemInfo->IsAudioDeviceChanged(&changed) && changed;
}
void CValmoraKeyServices::RecreateAudio() {
    TraceCall(L"RecreateAudio");
    if (m_pSystemInfo) m_pSystemInfo->CreateAudio();
}
int CValmoraKeyServices::GetSoundOnOff(int* mute) { return m_pSystemInfo ? m_pSystemInfo->GetSoundOnOff(mute) : 0; }
int CValmoraKeyServices::SetSoundOnOff(int mute) {
    TraceCall(L"SetSoundOnOff", mute);
    return m_pSystemInfo ? m_pSystemInfo->SetSoundOnOff(mute) : 0;
}
int CValmoraKeyServices::GetVolumeLevel(int* level) { return m_pSystemInfo ? m_pSystemInfo->GetVolumeLevel(level) : 0; }
int CValmoraKeyServices::Detect3GModule(int* found, int* special) {
    TraceCall(L"Detect3GModule");
    return 0;
}

// The main window itself.
HWND CValmoraKeyServices::MainWindowHandle() { return m_window.Handle(); }
void CValmoraKeyServices::RestartTimer(UINT_PTR id, UINT elapseMs) {
    m_window.KillTimer(id);
    m_window.SetTimer(id, elapseMs);
}
void CValmoraKeyServices::StopTimer(UINT_PTR id) { m_window.KillTimer(id); }
int CValmoraKeyServices::LastConsumerVolumeKey() { return m_router.LastConsumerVolumeKey(); }
void CValmoraKeyServices::ReloadUsbKeyboardLibrary() {
    trapkey::ReleaseUsbLibrary();
    trapkey::LoadUsbDevice(m_window.Handle(), &m_usbMessage);
}
