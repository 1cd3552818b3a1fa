#include "app/keypreprocessor.h"

#include <algorithm>
#include <climits>
#include <cwctype>
#include <string>

#include "app/maintimers.h"
#include "common/siblingmessages.h"
#include "app/tracecall.h"
#include "common/commondefine.h"
#include "common/processstate.h"
#include "common/settingsstore.h"
#include "hardware/hotkeytable.h"

namespace {
constexpr int kDispatcherPassed = 1;


constexpr BYTE kVolumeMute = CodeOf(HotkeyCode::Mute), kVolumeDown = CodeOf(HotkeyCode::VolumeDown),
               kVolumeUp = CodeOf(HotkeyCode::VolumeUp);
constexpr int kVolumeMax = 0xFFFF;

bool Held(int virtualKey) { return (GetKeyState(virtualKey) & 0x8000) != 0; }

// The leading decimal number of a text, as the C library reads it (blanks,
// sign, digits), held inside the range of int; 0 when there is none.
int LeadingNumber(const std::wstring& text, size_t from) {
    size_t i = from;
    while (i < text.size() && std::iswspace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = std::min<long long>(value * 10 + (text[i] - L'0'), 1LL << 31);
    }
    if (negative) value = -value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

// Radio state as one decimal digit of WirelessStatus: 0 off, 1 on, 2 any other.
int RadioDigit(BYTE state) { return state == 0 ? 0 : (state == 1 ? 1 : 2); }

bool IsSingleExternalOutput(int topology) {
    return topology == 2 || topology == 4 || topology == 8 || topology == 16;
}

}  // namespace

CKeyPreprocessor::CKeyPreprocessor(const Ports& ports, IKeyPlatform& platform)
    : m_ports(ports), m_platform(platform) {}

void CKeyPreprocessor::ReloadAltRestoreSetting() {
    const std::wstring text = settings::ReadText(settings::kAltRestoreDefault);
    m_bAltRestoreDefault = LeadingNumber(text, 0) != 0;
    m_nAltRestoreMask = text.size() > 1 ? LeadingNumber(text, 1) : 0;
}

void CKeyPreprocessor::ReloadOwnVolumeSteps() {
    m_bOwnVolumeSteps = settings::ReadInt(settings::kOwnVolumeSteps) != 0;
}

void CKeyPreprocessor::LoadKeyOptions() {
    ReloadAltRestoreSetting();
    ReloadOwnVolumeSteps();
    m_bShiftChangesResolution = settings::ReadInt(settings::kShiftChangesResolution) != 0;
    m_bAltRotates = settings::ReadInt(settings::kAltRotates) != 0;
}

void CKeyPreprocessor::ReadAudioState() {
    m_ports.audio.GetSoundOnOff(&m_nMuteState);
    m_ports.audio.GetVolumeLevel(&m_nVolumeLevel);
}

int CKeyPreprocessor::ProcessKey(BYTE virtualKey, BYTE scanCode, KeySource source) {
    TraceCall(L"ProcessKey", virtualKey, scanCode, source);  // the road a key took
    if (virtualKey != 0xFF) return ProcessOtherKey(virtualKey, scanCode);
    return ProcessSpecialKey(scanCode, source);
}

int CKeyPreprocessor::ProcessSpecialKey(BYTE scanCode, KeySource source) {
    const KeyboardTable& keyboard = NotebookKeyboard();
    const int code = source == KeySource::HookOrRawInput ? keyboard.FromHookRoad(scanCode) : scanCode;
    switch (keyboard.Find(code).preprocessing) {
    case KeyPreprocessing::DisplaySwitch:
        OnDisplaySwitchKey();
        return m_nHandledKeyResult;
    case KeyPreprocessing::WirelessKey:
        return ProcessWirelessKey(static_cast<BYTE>(code));
    case KeyPreprocessing::WirelessMaster:
        return ProcessWirelessMasterKey();
    case KeyPreprocessing::WirelessNotice:
        NoticeMessage(2);
        return m_nHandledKeyResult;
    case KeyPreprocessing::EjectOpticalDrive:
        m_ports.commands.ExecuteCommand(MainCommand::EjectOpticalDrive);
        return m_nHandledKeyResult;
    case KeyPreprocessing::SrsEffect:
        m_ports.selectors.SelectSRSEffect();
        return m_nHandledKeyResult;
    case KeyPreprocessing::ResolutionSelector:
        m_ports.selectors.SelectResolution();
        return m_nHandledKeyResult;
    case KeyPreprocessing::PassOn:
        return 1;
    case KeyPreprocessing::Handled:
        return m_nHandledKeyResult;
    case KeyPreprocessing::DispatchBrightness:
        return ModifiedOrDispatched(static_cast<BYTE>(code), true);
    case KeyPreprocessing::Dispatch:
        break;
    }
    return ModifiedOrDispatched(static_cast<BYTE>(code), false);
}

int CKeyPreprocessor::ProcessWirelessKey(BYTE scanCode) {
    BYTE radios[3] = {0, 0, 0};
    if (m_ports.firmware.GetRFOnOffStatus(radios) == 1) {
        // Notebooks with the radio switch have their own configuration program.
        m_platform.StartProgram(L"VLMWirelessConfig.exe", SW_SHOWNORMAL);
        return m_nHandledKeyResult;
    }
    int special = 0;
    bool detectedNow = false;
    if (m_n3GModulePresence == -1) {
        int found = 0;
        m_ports.modules.Detect3GModule(&found, &special);
        detectedNow = true;
        m_n3GModulePresence = found;
        if (special == 0 && m_ports.firmware.IsSecondListModel()) m_n3GModulePresence = 0;
    }
    if (m_bWirelessKeyBlock) return m_nHandledKeyResult;
    if (m_n3GModulePresence != 0) {
        m_ports.selectors.SelectWirelessDeviceStatus(detectedNow ? special : 0);
        return m_nHandledKeyResult;
    }
    m_ports.timers.RestartTimer(kTimerWirelessBlock, kWirelessBlockMs);
    m_bWirelessKeyBlock = true;
    return ModifiedOrDispatched(scanCode, false);
}

int CKeyPreprocessor::ProcessWirelessMasterKey() {
    if (m_bWirelessKeyBlock) return m_nHandledKeyResult;
    m_ports.timers.RestartTimer(kTimerWirelessBlock, kWirelessBlockMs);
    m_bWirelessKeyBlock = true;
    if (!ToggleAllRadios()) return m_nHandledKeyResult;
    m_ports.selectors.SelectRFStatus();
    if (HWND wirelessWindow = FindWindowW(nullptr, L"Valmora - Wireless On/Off")) {
        PostMessageW(wirelessWindow, WM_VQ_SIBLING, sibling::kWirelessKeyBlock, 0);
    }
    return 1;
}

int CKeyPreprocessor::ModifiedOrDispatched(BYTE scanCode, bool brightnessKey) {
    bool handled = false;
    const int modified = HandleModifiedKey(scanCode, &handled);
    if (modified == 0) return 0;
    if (handled) return modified;
    if (brightnessKey && proc::IsWindows7OrLater() && DropBrightnessKeyOnExternalOutput()) {
        return 1;
    }
    const int dispatched = m_ports.dispatch.ProcessHotkey(scanCode);
    if (dispatched == kDispatcherPassed) return 1;
    return m_nHandledKeyResult;
}

// While a single external output shows the desktop, the panel brightness keys
// have nothing to act on. The topology is read once per burst of keys.
bool CKeyPreprocessor::DropBrightnessKeyOnExternalOutput() {
    if (m_nBrightnessBlockCounter == 0) {
        m_nBrightnessTopology = 1;
        if (m_ports.outputs.HasWin7Component()) m_ports.outputs.GetActiveCode(&m_nBrightnessTopology);
        m_nBrightnessBlockCounter = 1;
        m_ports.timers.RestartTimer(kTimerBrightnessBlock, 1500);
    } else if (++m_nBrightnessBlockCounter > 50) {
        m_nBrightnessBlockCounter = 0;
    }
    return IsSingleExternalOutput(m_nBrightnessTopology);
}

int CKeyPreprocessor::ProcessOtherKey(BYTE virtualKey, BYTE scanCode) {
    if ((virtualKey == VK_VOLUME_UP && scanCode == kVolumeUp) ||
        (virtualKey == VK_VOLUME_DOWN && scanCode == kVolumeDown)) {
        return VolumeKeyWithModifiers(scanCode);
    }
    if (virtualKey == VK_VOLUME_MUTE && scanCode == kVolumeMute) {
        m_bVolumeKeyPending = true;
        ToggleBluetoothMute();
        RestartVolumeTimer();
        return 1;
    }
    if (scanCode == 0) {
        // After a consumer usage of the USB library: the code it stored says which key this is.
        const int consumerKey = m_ports.roads.LastConsumerVolumeKey();
        if (virtualKey == VK_VOLUME_UP && consumerKey == kVolumeUp) return VolumeKeyWithModifiers(kVolumeUp);
        if (virtualKey == VK_VOLUME_DOWN && consumerKey == kVolumeDown) return VolumeKeyWithModifiers(kVolumeDown);
        if (virtualKey == VK_VOLUME_MUTE && consumerKey == kVolumeMute) {
            m_bVolumeKeyPending = true;
            RestartVolumeTimer();
        }
    }
    return 1;
}

int CKeyPreprocessor::VolumeKeyWithModifiers(int scanCode) {
    bool handled = false;
    const int modified = HandleModifiedKey(scanCode, &handled);
    if (modified == 0) return 0;
    if (handled) return 1;
    return OnVolumeKey(scanCode);
}

// A Bluetooth audio device does not mute on the system's own key: do it here.
void CKeyPreprocessor::ToggleBluetoothMute() {
    std::wstring name = m_ports.audio.AudioDeviceName();
    std::transform(name.begin(), name.end(), name.begin(), [](wchar_t c) { return std::towlower(c); });
    if (name.find(L"blue") == std::wstring::npos || name.find(L"tooth") == std::wstring::npos) return;
    if (!proc::IsVistaOrLater() && m_ports.audio.AudioDeviceChanged()) m_ports.audio.RecreateAudio();
    int mute = 0;
    if (m_ports.audio.GetSoundOnOff(&mute)) m_ports.audio.SetSoundOnOff(mute ? 0 : 1);
}

void CKeyPreprocessor::RestartVolumeTimer() { m_ports.timers.RestartTimer(kTimerVolumeKey, kVolumeKeyMs); }

void CKeyPreprocessor::ShowVolumeThroughDispatcher() {
    m_ports.commands.ExecuteCommand(MainCommand::EndMediaCenterVolumeBar);  // the Media Center tray would show its own bar too
    m_ports.dispatch.ProcessHotkey(kVolumeUp);
}

int CKeyPreprocessor::HandleModifiedKey(int scanCode, bool* handled) {
    bool ignored = false;
    if (!handled) handled = &ignored;
    *handled = false;
    const bool shift = Held(VK_SHIFT);
    if (!shift && !Held(VK_MENU)) return 1;
    if (shift ? !m_bShiftChangesResolution : !m_bAltRotates) return 1;

    const ModifiedRole role = NotebookKeyboard().Find(scanCode).modified;
    const ModifiedMeaning* key = MeaningOfRole(role);
    if (!key) {
        // Shift with the other volume and brightness codes is used up without an action.
        if (shift && role == ModifiedRole::Quiet) {
            *handled = true;
            return m_nHandledKeyResult;
        }
        return 1;
    }
    *handled = true;
    if (!m_ports.display.HasGraphicsDriver()) return 0;
    if (m_ports.osd.OsdAlive()) m_ports.osd.HideOsd();
    const POINT cursor = CursorPosition();
    if (!shift) {
        m_ports.resolution.RotateDisplayAt(cursor.x, cursor.y, key->rotationDegrees);
    } else if (key->resolutionStep > 0) {
        m_ports.resolution.SetResolutionUp(cursor.x, cursor.y, key->ladderFlag);
    } else {
        m_ports.resolution.SetResolutionDown(cursor.x, cursor.y, key->ladderFlag);
    }
    return m_nHandledKeyResult;
}

int CKeyPreprocessor::OnVolumeKey(int scanCode) {
    const bool up = scanCode == kVolumeUp || scanCode == CodeOf(HotkeyCode::SiblingVolumeUp);
    ReloadOwnVolumeSteps();
    if (m_bOwnVolumeSteps) {
        if (!proc::IsWindows7OrLater()) {
            m_ports.dispatch.ProcessHotkey(up ? kVolumeUp : kVolumeDown);
        } else {
            m_bVolumeKeyPending = true;
            m_nVolumeUp = up ? 1 : 0;
            m_ports.dispatch.ShowVolumeIcon(m_nVolumeUp, -1);
            RestartVolumeTimer();
        }
        return 0;
    }
    m_bVolumeKeyPending = true;
    RestartVolumeTimer();
    int level = m_nVolumeLevel;
    m_ports.audio.GetVolumeLevel(&level);
    if (level == kVolumeMax || level == 0) m_bVolumeAtEnd = true;
    if (m_bVolumeAtEnd && ((m_nVolumeLevel == kVolumeMax && !up) || (m_nVolumeLevel == 0 && up))) {
        m_bVolumeAtEnd = false;
    }
    // At an end of the range the system sends no change notification: show the OSD now.
    if (m_bVolumeAtEnd) ShowVolumeThroughDispatcher();
    return 1;
}

void CKeyPreprocessor::OnVolumeNotify() {
    if (!m_bVolumeKeyPending) {
        // The change came from elsewhere: only remember it.
        m_ports.audio.GetVolumeLevel(&m_nVolumeLevel);
        m_ports.audio.GetSoundOnOff(&m_nMuteState);
        return;
    }
    int level = m_nVolumeLevel;
    m_ports.audio.GetVolumeLevel(&level);
    if (!proc::IsVistaOrLater() && level == m_nVolumeLevel && !m_bMceWorkaround) {
        if (m_ports.audio.AudioDeviceChanged()) {
            m_ports.audio.RecreateAudio();
            m_ports.audio.GetVolumeLevel(&level);
        }
        m_bMceWorkaround = true;
        m_ports.timers.RestartTimer(kTimerMce, 5000);
    }
    int mute = m_nMuteState;
    m_ports.audio.GetSoundOnOff(&mute);
    if (mute == m_nMuteState) {
        if (level == m_nVolumeLevel) return;
        if (proc::IsWindows7OrLater()) ReloadOwnVolumeSteps();
        if (m_bOwnVolumeSteps) {
            if (proc::IsWindows7OrLater()) {
                m_ports.dispatch.ShowVolumeIcon(m_nVolumeUp, level);
                m_nVolumeLevel = level;
                m_bVolumeKeyPending = false;
            }
            return;  // below Windows 7 the key itself showed the OSD
        }
        m_nVolumeLevel = level;
        ShowVolumeThroughDispatcher();
        return;
    }
    m_ports.commands.ExecuteCommand(MainCommand::EndMediaCenterVolumeBar);
    m_ports.dispatch.ProcessHotkey(kVolumeMute);
    m_nMuteState = mute;
}

void CKeyPreprocessor::OnDisplaySwitchKey() {
    if (!m_ports.display.HasGraphicsDriver()) return;
    ReloadAltRestoreSetting();
    m_ports.timers.RestartTimer(kTimerNotice, 30000);
    if (!Held(VK_MENU) || !m_bAltRestoreDefault) {
        m_ports.display.SelectDisplayCombination(Held(VK_SHIFT) ? 1 : 0);
        return;
    }
    if (m_ports.display.RestoreDefaultDisplay(m_nAltRestoreMask)) m_ports.dispatch.ProcessHotkey(CodeOf(HotkeyCode::DisplayReset));
}

int CKeyPreprocessor::ToggleAllRadios() {
    BYTE radios[3] = {0, 0, 0};
    if (!m_ports.firmware.GetRFOnOffStatus(radios)) {
        ReportError(L"Cannot Get RFOnOffStatus.");
        return 0;
    }
    BYTE next[3] = {0, 0, 0};
    if (std::find(radios, radios + 3, BYTE{1}) != radios + 3) {
        const int remembered = RadioDigit(radios[0]) * 100 + RadioDigit(radios[1]) * 10 + RadioDigit(radios[2]);
        if (!settings::WriteInt(settings::kWirelessStatus, remembered)) return 0;
    } else {
        const int remembered = settings::ReadInt(settings::kWirelessStatus);
        if (remembered < 0 || remembered > 222) {
            ReportError(FormatText(L"fail: ToggleAllRadios() WirelessStatus %d", remembered));
            return 0;
        }
        next[0] = static_cast<BYTE>(remembered / 100);
        next[1] = static_cast<BYTE>(remembered / 10 % 10);
        next[2] = static_cast<BYTE>(remembered % 10);
        if (next[1] > 2 || next[2] > 2) {
            ReportError(FormatText(L"fail: ToggleAllRadios() WirelessStatus %d", remembered));
            return 0;
        }
    }
    m_ports.firmware.SetRFOnOffStatus(next);
    return 1;
}

int CKeyPreprocessor::NoticeMessage(int mode) {
    if (mode == 1) {
        m_ports.timers.StopTimer(kTimerNotice);
        m_ports.notices.HideMessageWindow();
        return 1;
    }
    if (mode == 2) {
        if (m_ports.notices.HasMessageWindow()) {
            m_ports.notices.SetMessagePictureName(L"wlan.jpg");
            m_ports.notices.LoadMsgImage();
            m_ports.timers.RestartTimer(kTimerNotice, 2500);
            m_ports.notices.ShowMessageWindow();
        }
        return 1;
    }
    return 0;
}
