#include "recordingtargets.h"

std::vector<std::string> RecordingTargets::Matching(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls) {
        if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    }
    return out;
}

std::string RecordingTargets::Joined() const {
    std::string out;
    for (const auto& c : calls) out += (out.empty() ? "" : "; ") + c;
    return out;
}

int RecordingTargets::ProcessKey(BYTE vk, BYTE sc, int source) { Record("ProcessKey", vk, sc, source); return processKeyResult; }
int RecordingTargets::ExecuteCommand(int c, INT_PTR a1, INT_PTR a2) { Record("ExecuteCommand", c, a1, a2); return 1; }
int RecordingTargets::HandleModifiedKey(int sc, bool* handled) {
    Record("HandleModifiedKey", sc);
    *handled = handleModifiedHandled;
    return handleModifiedResult;
}
int RecordingTargets::OnVolumeKey(int sc) { Record("OnVolumeKey", sc); return 1; }
void RecordingTargets::OnVolumeNotify() { Record("OnVolumeNotify"); }
void RecordingTargets::OnDisplaySwitchKey() { Record("OnDisplaySwitchKey"); }
int RecordingTargets::NoticeMessage(int mode) { Record("NoticeMessage", mode); return 1; }
void RecordingTargets::SetVolumeKeyPending() { Record("SetVolumeKeyPending"); }
void RecordingTargets::SetWirelessKeyBlock() { Record("SetWirelessKeyBlock"); }
void RecordingTargets::BiosHandshake(int data) { Record("Bios", 9, data); }
void RecordingTargets::DispatchHotkey(int code) { Record("DispatchHotkey", code); }
void RecordingTargets::ReloadVolumeSetting() { Record("ReloadVolumeSetting"); }
int RecordingTargets::DispatchMenuRequest(int code, LPARAM arg) { Record("DispatchMenuRequest", code, arg); return menuRequestResult; }
bool RecordingTargets::OsdAlive() { return osdAlive; }
void RecordingTargets::HideOsd() { Record("HideOsd"); }
int RecordingTargets::OsdMode() { return osdMode; }
void RecordingTargets::SetOsdMode(int mode) { Record("SetOsdMode", mode); osdMode = mode; }
void RecordingTargets::ClearOsdSelection() { Record("ClearOsdSelection"); }
void RecordingTargets::SendOsdSelectionTimer() { Record("SendOsdSelectionTimer"); }
void RecordingTargets::ClearDisplaySwitchPending() { Record("ClearDisplaySwitchPending"); }
void RecordingTargets::ClearResolutionSelectorPending() { Record("ClearResolutionSelectorPending"); }
void RecordingTargets::ClearWirelessSelectorPending() { Record("ClearWirelessSelectorPending"); }
bool RecordingTargets::MagnifierShown() { return magnifierShown; }
void RecordingTargets::HideMagnifier() { Record("HideMagnifier"); }
void RecordingTargets::SelectSrsEffect() { Record("SelectSrsEffect"); }
void RecordingTargets::SelectResolution() { Record("SelectResolution"); }
int RecordingTargets::CanRotate() { Record("CanRotate"); return canRotate; }
bool RecordingTargets::HasGraphicsDriver() { return graphicsDriver; }
void RecordingTargets::ResolutionStep(bool up, int, int, int flag) { Record("ResolutionStep", up ? 1 : 0, flag); }
void RecordingTargets::ChangeDisplayCombination(int c, int r) { Record("ChangeDisplayCombination", c, r); }
void RecordingTargets::GetConnectedDisplays() { Record("GetConnectedDisplays"); }
void RecordingTargets::SetDriverSuspendFlag() { Record("SetDriverSuspendFlag"); }
void RecordingTargets::RotateDisplayStep(int key) { Record("RotateDisplayStep", key); }
void RecordingTargets::RotateDisplayUnderCursor(int deg, int, int) { Record("RotateDisplayUnderCursor", deg); }
int RecordingTargets::RefreshActiveDisplay() { Record("RefreshActiveDisplay"); return activeDisplay; }
int RecordingTargets::RefreshConnectedDisplay() { Record("RefreshConnectedDisplay"); return connectedDisplay; }
void RecordingTargets::SetPostResumeDeviceEventCounter(int n) { Record("SetPostResumeDeviceEventCounter", n); }
void RecordingTargets::DeviceDetection(LPARAM data, WPARAM event) { Record("DeviceDetection", data, event); }
bool RecordingTargets::MiniUiShown() { return miniUiShown; }
void RecordingTargets::RefreshMiniUiResolutionPanel() { Record("RefreshMiniUiResolutionPanel"); }
void RecordingTargets::RestartTimer(UINT_PTR id, UINT ms) { Record("RestartTimer", id, ms); }
void RecordingTargets::StopTimer(UINT_PTR id) { Record("StopTimer", id); }
void RecordingTargets::KeepTimer153Argument(LPARAM a) { Record("KeepTimer153Argument", a); }
void RecordingTargets::PumpMessagesFor(int passes, int ms) { Record("PumpMessagesFor", passes, ms); }
