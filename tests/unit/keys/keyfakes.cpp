#include "keyfakes.h"

#include <algorithm>

namespace {
std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out.push_back(c < 128 ? static_cast<char>(c) : '?');
    return out;
}
}  // namespace

void CallLog::RecordText(const std::string& name, const std::wstring& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.push_back(name + " " + Narrow(text));
}

std::vector<std::string> CallLog::Calls() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_calls;
}

std::vector<std::string> CallLog::Matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : Calls()) {
        if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    }
    return out;
}

bool CallLog::Has(const std::string& line) const {
    const auto calls = Calls();
    return std::find(calls.begin(), calls.end(), line) != calls.end();
}

std::string CallLog::Joined() const {
    std::string out;
    for (const auto& c : Calls()) out += (out.empty() ? "" : "; ") + c;
    return out;
}

void CallLog::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_calls.clear();
}

int RecordingKeyServices::ProcessHotkey(int code) { Record("ProcessHotkey", code); return hotkeyResult; }
void RecordingKeyServices::ShowVolumeIcon(int up, int level) { Record("ShowVolumeIcon", up, level); }
bool RecordingKeyServices::HasGraphicsDriver() { return graphicsDriver; }
int RecordingKeyServices::SelectDisplayCombination(int backward) { Record("SelectDisplayCombination", backward); return 1; }
int RecordingKeyServices::RestoreDefaultDisplay(int flags) { Record("RestoreDefaultDisplay", flags); return restoreResult; }
int RecordingKeyServices::SetResolutionUp(int x, int y, int useLadder) { Record("SetResolutionUp", x, y, useLadder); return 1; }
int RecordingKeyServices::SetResolutionDown(int x, int y, int useLadder) { Record("SetResolutionDown", x, y, useLadder); return 1; }
int RecordingKeyServices::RotateDisplayAt(int x, int y, int angle) { Record("RotateDisplayAt", x, y, angle); return 1; }
bool RecordingKeyServices::HasWin7Component() { return win7Component; }
int RecordingKeyServices::GetActiveCode(int* code) { Record("GetActiveCode"); *code = activeCode; return 1; }
bool RecordingKeyServices::IsOnlyPanelActive() { Record("IsOnlyPanelActive"); return onlyPanelActive; }
int RecordingKeyServices::RefreshActiveOutputs() { Record("RefreshActiveOutputs"); return activeOutputs; }
int RecordingKeyServices::ApplyDownScalingToCurrentMode() { Record("ApplyDownScalingToCurrentMode"); return 1; }
bool RecordingKeyServices::OsdAlive() { return osdAlive; }
void RecordingKeyServices::HideOsd() { Record("HideOsd"); }
int RecordingKeyServices::SelectSRSEffect() { Record("SelectSRSEffect"); return 1; }
int RecordingKeyServices::SelectResolution() { Record("SelectResolution"); return 1; }
int RecordingKeyServices::SelectWirelessDeviceStatus(int twoChoice) { Record("SelectWirelessDeviceStatus", twoChoice); return 1; }
int RecordingKeyServices::SelectRFStatus() { Record("SelectRFStatus"); return 1; }
bool RecordingKeyServices::HasResolutionSelector() { return resolutionSelector; }
void RecordingKeyServices::RenewResolutionSelector() { Record("RenewResolutionSelector"); }
int RecordingKeyServices::WaResetResolutionBeforeS3S4() { Record("WaResetResolutionBeforeS3S4"); return 1; }
bool RecordingKeyServices::HasMessageWindow() { return messageWindow; }
void RecordingKeyServices::SetMessagePictureName(const std::wstring& name) { RecordText("SetMessagePictureName", name); }
int RecordingKeyServices::LoadMsgImage() { Record("LoadMsgImage"); return 1; }
void RecordingKeyServices::ShowMessageWindow() { Record("ShowMessageWindow"); }
void RecordingKeyServices::HideMessageWindow() { Record("HideMessageWindow"); }
bool RecordingKeyServices::HasNumLockWindow() { return numLockWindow; }
bool RecordingKeyServices::CreateNumLockWindow() {
    Record("CreateNumLockWindow");
    numLockWindow = numLockWindowCreated;
    return numLockWindowCreated;
}
void RecordingKeyServices::ShowNumLockWindow() { Record("ShowNumLockWindow"); }
void RecordingKeyServices::DestroyNumLockWindow() { Record("DestroyNumLockWindow"); numLockWindow = false; }
int RecordingKeyServices::GetRFOnOffStatus(BYTE states[3]) {
    Record("GetRFOnOffStatus");
    if (rfResult) std::copy(radios, radios + 3, states);
    return rfResult;
}
int RecordingKeyServices::SetRFOnOffStatus(const BYTE states[3]) {
    Record("SetRFOnOffStatus", states[0], states[1], states[2]);
    std::copy(states, states + 3, radios);
    return 1;
}
int RecordingKeyServices::IsSecondListModel() { return secondListModel; }
int RecordingKeyServices::GetWirelessStatus(int* on) {
    Record("GetWirelessStatus");
    if (wirelessResult) *on = wirelessOn;
    return wirelessResult;
}
std::wstring RecordingKeyServices::AudioDeviceName() { return audioDeviceName; }
bool RecordingKeyServices::AudioDeviceChanged() { return audioDeviceChanged; }
void RecordingKeyServices::RecreateAudio() { Record("RecreateAudio"); }
int RecordingKeyServices::GetSoundOnOff(int* value) { *value = mute; return 1; }
int RecordingKeyServices::SetSoundOnOff(int value) { Record("SetSoundOnOff", value); mute = value; return 1; }
int RecordingKeyServices::GetVolumeLevel(int* level) { *level = volumeLevel; return 1; }
int RecordingKeyServices::Detect3GModule(int* found, int* special) {
    Record("Detect3GModule");
    *found = detectFound;
    *special = detectSpecial;
    return 1;
}
HWND RecordingKeyServices::MainWindowHandle() { return mainWindow; }
void RecordingKeyServices::RestartTimer(UINT_PTR id, UINT elapseMs) { Record("RestartTimer", id, elapseMs); }
void RecordingKeyServices::StopTimer(UINT_PTR id) { Record("StopTimer", id); }
int RecordingKeyServices::LastConsumerVolumeKey() { return lastConsumerVolumeKey; }
void RecordingKeyServices::ReloadUsbKeyboardLibrary() { Record("ReloadUsbKeyboardLibrary"); }

bool RecordingKeyPlatform::StartProgram(const std::wstring& commandLine, int show) {
    RecordText("StartProgram", commandLine + L" " + std::to_wstring(show));
    return true;
}
bool RecordingKeyPlatform::TerminateProcessesNamed(const std::wstring& exeName) {
    RecordText("TerminateProcessesNamed", exeName);
    return true;
}
DWORD RecordingKeyPlatform::SendMciCommand(const std::wstring& command) {
    if (mciGate) WaitForSingleObject(mciGate, 10000);
    RecordText("SendMciCommand", command);
    return mciError;
}
UINT RecordingKeyPlatform::SendKeyInput(INPUT* inputs, UINT count) {
    Record("SendKeyInput", count);
    sentInput.assign(inputs, inputs + count);
    return count;
}
bool RecordingKeyPlatform::SetScreenSaverActive(bool active) {
    Record("SetScreenSaverActive", active ? 1 : 0);
    return screenSaverResult;
}
SIZE RecordingKeyPlatform::PrimaryScreenSize() { return screen; }
HDEVNOTIFY RecordingKeyPlatform::RegisterInterfaceNotification(HWND window, const GUID& interfaceClass) {
    Record("RegisterInterfaceNotification", reinterpret_cast<INT_PTR>(window));
    registeredClass = interfaceClass;
    return notification;
}
void RecordingKeyPlatform::UnregisterNotification(HDEVNOTIFY handle) {
    Record("UnregisterNotification", reinterpret_cast<INT_PTR>(handle));
}
