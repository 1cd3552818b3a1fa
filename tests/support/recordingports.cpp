#include "recordingports.h"

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

int FakeKeyHandling::ProcessKey(BYTE vk, BYTE sc, KeySource source) {
    log.Record("ProcessKey", vk, sc, source);
    return processKeyResult;
}
int FakeKeyHandling::HandleModifiedKey(int sc, bool* handled) {
    log.Record("HandleModifiedKey", sc);
    *handled = handleModifiedHandled;
    return handleModifiedResult;
}
int FakeKeyHandling::OnVolumeKey(int sc) { log.Record("OnVolumeKey", sc); return 1; }
void FakeKeyHandling::OnVolumeNotify() { log.Record("OnVolumeNotify"); }
void FakeKeyHandling::OnDisplaySwitchKey() { log.Record("OnDisplaySwitchKey"); }
int FakeKeyHandling::NoticeMessage(int mode) { log.Record("NoticeMessage", mode); return 1; }
void FakeKeyHandling::SetVolumeKeyPending() { log.Record("SetVolumeKeyPending"); }
void FakeKeyHandling::SetWirelessKeyBlock() { log.Record("SetWirelessKeyBlock"); }

int FakeCommands::ExecuteCommand(MainCommand c) {
    log.Record("ExecuteCommand", c, 0, 0);
    return 1;
}
int FakeCommands::ExecuteCommand(const NumLockIndicatorRequest& request) {
    log.Record("ExecuteCommand", MainCommand::ShowNumLockIndicator, 0, request.bringLightInStep ? 5 : 0);
    return 1;
}
int FakeCommands::ExecuteCommand(const AdapterEventRequest& request) {
    log.Record("ExecuteCommand", MainCommand::ReloadUsbOnAdapterEvent, reinterpret_cast<INT_PTR>(request.record), 0);
    return 1;
}

void FakeFirmware::BiosHandshake(int data) { log.Record("BiosHandshake", 9, data); }
int FakeFirmware::GetRFOnOffStatus(BYTE states[3]) {
    log.Record("GetRFOnOffStatus");
    if (rfResult) std::copy(radios, radios + 3, states);
    return rfResult;
}
int FakeFirmware::SetRFOnOffStatus(const BYTE states[3]) {
    log.Record("SetRFOnOffStatus", states[0], states[1], states[2]);
    std::copy(states, states + 3, radios);
    return 1;
}
int FakeFirmware::GetWirelessStatus(int* on) {
    log.Record("GetWirelessStatus");
    if (wirelessResult) *on = wirelessOn;
    return wirelessResult;
}

void FakeAudio::RecreateAudio() { log.Record("RecreateAudio"); }
int FakeAudio::GetSoundOnOff(int* value) { *value = mute; return 1; }
int FakeAudio::SetSoundOnOff(int value) { log.Record("SetSoundOnOff", value); mute = value; return 1; }
int FakeAudio::GetVolumeLevel(int* level) { *level = volumeLevel; return 1; }

int FakeDispatch::ProcessHotkey(int code) { log.Record("ProcessHotkey", code); return hotkeyResult; }
void FakeDispatch::ShowVolumeIcon(int up, int level) { log.Record("ShowVolumeIcon", up, level); }
void FakeDispatch::ReloadOwnVolumeSetting() { log.Record("ReloadOwnVolumeSetting"); }

int FakeMenu::DispatchMenuRequest(int code, LPARAM arg) {
    log.Record("DispatchMenuRequest", code, arg);
    return menuRequestResult;
}

void FakeOsd::HideOsd() { log.Record("HideOsd"); }
void FakeOsd::SetOsdMode(osd::OsdMode mode) { log.Record("SetOsdMode", mode); osdMode = mode; }
void FakeOsd::ClearOsdSelection() { log.Record("ClearOsdSelection"); }
void FakeOsd::SendOsdSelectionTimer() { log.Record("SendOsdSelectionTimer"); }

int FakeDisplay::SelectDisplayCombination(int backward) { log.Record("SelectDisplayCombination", backward); return 1; }
int FakeDisplay::RestoreDefaultDisplay(int flags) { log.Record("RestoreDefaultDisplay", flags); return restoreResult; }
void FakeDisplay::ChangeDisplayCombination(int c, int r) { log.Record("ChangeDisplayCombination", c, r); }
void FakeDisplay::GetConnectedDisplays() { log.Record("GetConnectedDisplays"); }
int FakeDisplay::RefreshActiveDisplay() { log.Record("RefreshActiveDisplay"); return activeDisplay; }
int FakeDisplay::RefreshConnectedDisplay() { log.Record("RefreshConnectedDisplay"); return connectedDisplay; }
void FakeDisplay::ClearDisplaySwitchPending() { log.Record("ClearDisplaySwitchPending"); }
void FakeDisplay::SetDriverSuspendFlag() { log.Record("SetDriverSuspendFlag"); }

int FakeResolution::SetResolutionUp(int x, int y, int useLadder) { log.Record("SetResolutionUp", x, y, useLadder); return 1; }
int FakeResolution::SetResolutionDown(int x, int y, int useLadder) { log.Record("SetResolutionDown", x, y, useLadder); return 1; }
int FakeResolution::RotateDisplayAt(int x, int y, int angle) { log.Record("RotateDisplayAt", x, y, angle); return 1; }
void FakeResolution::RotateDisplayStep(int key) { log.Record("RotateDisplayStep", key); }
int FakeResolution::ApplyDownScalingToCurrentMode() { log.Record("ApplyDownScalingToCurrentMode"); return 1; }

int FakeOutputs::GetActiveCode(int* code) { log.Record("GetActiveCode"); *code = activeCode; return 1; }
bool FakeOutputs::IsOnlyPanelActive() { log.Record("IsOnlyPanelActive"); return onlyPanelActive; }
int FakeOutputs::RefreshActiveOutputs() { log.Record("RefreshActiveOutputs"); return activeOutputs; }

int FakeSelectors::SelectSRSEffect() { log.Record("SelectSRSEffect"); return 1; }
int FakeSelectors::SelectResolution() { log.Record("SelectResolution"); return 1; }
int FakeSelectors::SelectWirelessDeviceStatus(int twoChoice) { log.Record("SelectWirelessDeviceStatus", twoChoice); return 1; }
int FakeSelectors::SelectRFStatus() { log.Record("SelectRFStatus"); return 1; }
void FakeSelectors::RenewResolutionSelector() { log.Record("RenewResolutionSelector"); }
int FakeSelectors::WaResetResolutionBeforeS3S4() { log.Record("WaResetResolutionBeforeS3S4"); return 1; }
int FakeSelectors::CanRotate() { log.Record("CanRotate"); return canRotate; }
void FakeSelectors::ClearResolutionSelectorPending() { log.Record("ClearResolutionSelectorPending"); }
void FakeSelectors::ClearWirelessSelectorPending() { log.Record("ClearWirelessSelectorPending"); }

void FakeNotices::SetMessagePictureName(const std::wstring& name) { log.RecordText("SetMessagePictureName", name); }
int FakeNotices::LoadMsgImage() { log.Record("LoadMsgImage"); return 1; }
void FakeNotices::ShowMessageWindow() { log.Record("ShowMessageWindow"); }
void FakeNotices::HideMessageWindow() { log.Record("HideMessageWindow"); }
bool FakeNotices::CreateNumLockWindow() {
    log.Record("CreateNumLockWindow");
    numLockWindow = numLockWindowCreated;
    return numLockWindowCreated;
}
void FakeNotices::ShowNumLockWindow() { log.Record("ShowNumLockWindow"); }
void FakeNotices::DestroyNumLockWindow() { log.Record("DestroyNumLockWindow"); numLockWindow = false; }

void FakeMagnifier::HideMagnifier() { log.Record("HideMagnifier"); }

void FakeDetection::SetPostResumeDeviceEventCounter(int n) { log.Record("SetPostResumeDeviceEventCounter", n); }
void FakeDetection::DeviceDetection(LPARAM data, WPARAM event) { log.Record("DeviceDetection", data, event); }
void FakeMiniUi::ShowMiniUI(int show) { log.Record("ShowMiniUI", show); }
void FakeMiniUi::RefreshMiniUiResolutionPanel() { log.Record("RefreshMiniUiResolutionPanel"); }
void FakeMiniUi::RefreshLayout() { log.Record("RefreshLayout"); }
void FakeMiniUi::SetCountdownTitle(int seconds) { log.Record("SetCountdownTitle", seconds); }
void FakeMiniUi::ClearUserTouched() {
    log.Record("ClearUserTouched");
    userTouched = false;
}
void FakeMiniUi::ApplyPresentationOutputMode() { log.Record("ApplyPresentationOutputMode"); }
void FakeMiniUi::SwitchPresentationModeOff() {
    log.Record("SwitchPresentationModeOff");
    presentationMode = false;
}
int FakeDetection::Detect3GModule(int* found, int* special) {
    log.Record("Detect3GModule");
    *found = detectFound;
    *special = detectSpecial;
    return 1;
}

void FakeTimers::RestartTimer(UINT_PTR id, UINT ms) { log.Record("RestartTimer", id, ms); }
void FakeTimers::StopTimer(UINT_PTR id) { log.Record("StopTimer", id); }

void FakeMainWindow::PumpMessagesFor(int passes, int ms) { log.Record("PumpMessagesFor", passes, ms); }
void FakeMainWindow::KeepTestCycleArgument(LPARAM a) { log.Record("KeepTestCycleArgument", a); }

void FakeKeyRoads::ReloadUsbKeyboardLibrary() { log.Record("ReloadUsbKeyboardLibrary"); }

CEventRouter::Ports RecordingPorts::Router() { return Router(keys); }

CEventRouter::Ports RecordingPorts::Router(IKeyHandling& keyHandling) {
    return {.keys = keyHandling, .commands = commands, .firmware = firmware, .dispatch = dispatch, .menu = menu,
            .osd = osd, .display = display, .resolution = resolution, .selectors = selectors,
            .magnifier = magnifier, .detection = detection, .miniUi = miniUi, .timers = timers, .window = window};
}

CKeyPreprocessor::Ports RecordingPorts::Keys(IMainCommands& mainCommands) {
    return {.commands = mainCommands, .dispatch = dispatch, .firmware = firmware, .audio = audio, .osd = osd,
            .display = display, .resolution = resolution, .outputs = outputs, .selectors = selectors,
            .notices = notices, .modules = detection, .timers = timers, .roads = roads};
}

CMainCommands::Ports RecordingPorts::Commands() {
    return {.dispatch = dispatch, .display = display, .resolution = resolution, .outputs = outputs,
            .firmware = firmware, .selectors = selectors, .notices = notices, .timers = timers, .window = window,
            .roads = roads};
}
