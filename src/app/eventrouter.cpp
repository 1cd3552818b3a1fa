#include "app/eventrouter.h"

#include <wtsapi32.h>

#include <new>

#include "app/keyplatform.h"
#include "app/maintimers.h"
#include "audio/audio.h"
#include "common/commondefine.h"
#include "common/processstate.h"
#include "common/readablememory.h"
#include "common/settingsstore.h"
#include "hardware/hotkeytable.h"

namespace {
// Registered once, at process start.
const UINT g_trapkeyPs2Message = RegisterWindowMessageW(L"TrapkeyPS2");

using osd::OsdMode;

constexpr WPARAM kDeviceArrival = 0x8000;  // DBT_DEVICEARRIVAL
constexpr LPARAM kVendorUsagePage = 0xFF7F, kConsumerUsagePage = 0x0C;

// Consumer-control usages of the USB library and the volume key each stands for.
struct ConsumerVolumeKey {
    WPARAM usage;
    HotkeyCode code;
};
constexpr ConsumerVolumeKey kConsumerVolumeKeys[] = {
    {0xE2, HotkeyCode::Mute}, {0xE9, HotkeyCode::VolumeUp}, {0xEA, HotkeyCode::VolumeDown}};

// Lock keys on the hook road: the command that shows their change.
bool ShowsCapsLockOnThisModel() { return proc::ShowsCapsLockChange(); }
struct LockKey {
    BYTE virtualKey;
    BYTE scanCode;
    MainCommand command;
    bool (*shownOnThisModel)();  // nullptr: on every model
};
constexpr LockKey kLockKeys[] = {
    {VK_SCROLL, 0x46, MainCommand::ShowScrollLockChange, nullptr},
    {VK_NUMLOCK, 0x45, MainCommand::ShowNumLockChange, nullptr},
    {VK_CAPITAL, 0x3A, MainCommand::ShowCapsLockChange, &ShowsCapsLockOnThisModel},
};

class BusyGuard {
public:
    explicit BusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyGuard() { flag_ = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
private:
    bool& flag_;
};
}  // namespace

UINT TrapkeyPs2Message() { return g_trapkeyPs2Message; }

void CEventRouter::Announce(int first, int second) {
    m_ports.firmware.BiosHandshake(first);
    m_ports.firmware.BiosHandshake(second);
}

void CEventRouter::AnnounceIfPending() {
    if (!m_bBiosReannouncePending) return;
    m_bBiosReannouncePending = false;
    Announce(3, 2);
}

bool CEventRouter::DecodeRawInput(HRAWINPUT handle, DecodedKey* key, LRESULT* earlyResult) {
    *earlyResult = 0;
    UINT announced = 0;
    if (GetRawInputData(handle, RID_INPUT, nullptr, &announced, sizeof(RAWINPUTHEADER)) != 0 ||
        announced == 0) {
        return false;  // not a raw input handle we can read
    }
    BYTE* buffer = new (std::nothrow) BYTE[announced];
    if (!buffer) {
        ReportError(L"lpb = new BYTE[dwSize]");
        return false;
    }
    UINT size = announced;
    const UINT read = GetRawInputData(handle, RID_INPUT, buffer, &size, sizeof(RAWINPUTHEADER));
    bool ok = false;
    if (read == static_cast<UINT>(-1)) {
        ok = false;
    } else {
        if (read != announced) {
            ReportError(FormatText(L"GetRawInputData doesn't return correct size! %d != %d\n",
                                   static_cast<int>(announced), static_cast<int>(read)));
        }
        const auto* input = reinterpret_cast<const RAWINPUT*>(buffer);
        if (read >= sizeof(RAWINPUTHEADER) + sizeof(RAWKEYBOARD) &&
            input->header.dwType == RIM_TYPEKEYBOARD) {
            const RAWKEYBOARD& kb = input->data.keyboard;
            if (kb.MakeCode == 0x77 && kb.Flags == 0) {
                *earlyResult = 1;  // discarded at once
            } else {
                key->scanCode = static_cast<BYTE>(kb.MakeCode & 0xFF);
                key->virtualKey = static_cast<BYTE>(kb.VKey & 0xFF);
                key->released = !(kb.Message == WM_KEYDOWN || kb.Message == WM_SYSKEYDOWN);
                key->extended = (kb.Flags & RI_KEY_E0) != 0;
                ok = true;
            }
        }
    }
    delete[] buffer;
    return ok;
}

bool CEventRouter::DecodeHookRecord(LPARAM lParam, DecodedKey* key) {
    // The record is trusted only when the hook inside this process sends it
    // synchronously: a message from another thread or process is dropped, as
    // is a pointer that does not lead to readable memory. (Posted copies never
    // reach the window: the message loop drops them.)
    if (InSendMessage()) return false;
    const auto* record = reinterpret_cast<const HookKeyRecord*>(lParam);
    if (ReadableBytes(record, sizeof(HookKeyRecord)) < sizeof(HookKeyRecord)) return false;
    key->virtualKey = static_cast<BYTE>(record->virtualKey & 0xFF);
    key->scanCode = static_cast<BYTE>(record->scanCode & 0xFF);
    key->extended = (record->flags & 0x01) != 0;
    key->released = (record->flags & 0x80) != 0;
    return true;
}

bool CEventRouter::DecodeKey(WPARAM /*wParam*/, LPARAM lParam, DecodedKey* key, LRESULT* result) {
    if (proc::IsWindows7OrLater()) return DecodeRawInput(reinterpret_cast<HRAWINPUT>(lParam), key, result);
    *result = 1;
    return DecodeHookRecord(lParam, key);
}

LRESULT CEventRouter::OnHookKey(WPARAM wParam, LPARAM lParam) {
    if (m_bHookBusy) return 1;
    BusyGuard busy(m_bHookBusy);
    DecodedKey key;
    LRESULT early = 0;
    if (!DecodeKey(wParam, lParam, &key, &early)) return early;
    return HandleDecodedKey(key);
}

LRESULT CEventRouter::HandleHeldBackKey(const DecodedKey& key) {
    if (m_bHookBusy) return 1;
    BusyGuard busy(m_bHookBusy);
    return HandleDecodedKey(key);
}

LRESULT CEventRouter::HandleDecodedKey(const DecodedKey& key) {
    if (key.released) return 1;
    AnnounceIfPending();
    LRESULT result = m_ports.keys.ProcessKey(key.virtualKey, key.scanCode, KeySource::HookOrRawInput);
    if (result == 255) result = 0;

    const BYTE vk = key.virtualKey;
    for (const LockKey& lock : kLockKeys) {
        if (vk != lock.virtualKey || key.scanCode != lock.scanCode) continue;
        if (lock.shownOnThisModel && !lock.shownOnThisModel()) break;
        m_ports.commands.ExecuteCommand(lock.command);
        return 1;
    }
    if (vk == VK_ESCAPE) {
        if (m_ports.osd.OsdAlive()) {
            m_ports.osd.HideOsd();
            EndPendingSelectionOnEscape();
        }
        if (m_ports.magnifier.MagnifierShown()) m_ports.magnifier.HideMagnifier();
    } else if (vk == VK_RETURN) {
        if (m_ports.osd.OsdAlive()) {
            m_ports.osd.HideOsd();
            m_ports.osd.SendOsdSelectionTimer();  // applies the pending selection at once
        }
    }
    return result;
}

void CEventRouter::EndPendingSelectionOnEscape() {
    const OsdMode mode = m_ports.osd.OsdMode();
    switch (mode) {
    case OsdMode::DisplaySwitcher:
        m_ports.keys.NoticeMessage(1);
        m_ports.display.ClearDisplaySwitchPending();
        m_ports.osd.ClearOsdSelection();
        break;
    case OsdMode::ResolutionToggle:
        m_ports.selectors.ClearResolutionSelectorPending();
        break;
    case OsdMode::WirelessToggle:
        m_ports.selectors.ClearWirelessSelectorPending();
        break;
    default:
        return;
    }
    m_ports.osd.SetOsdMode(OsdMode::None);
    m_ports.osd.SendOsdSelectionTimer();  // finds nothing left to apply
}

LRESULT CEventRouter::OnUsbHidKey(WPARAM usage, LPARAM usagePage) {
    if (m_bUsbBusy) return 1;
    BusyGuard busy(m_bUsbBusy);
    if (usagePage == kVendorUsagePage) {
        if (const KeyMeaning* key = NotebookKeyboard().FindUsage(usage)) {
            if (proc::usbKeyboardModel && proc::IsWheelNetbook()) {
                if (HWND wheel = FindWindowW(nullptr, L"-WheelMenu-")) SendMessageW(wheel, WM_COMMAND, 6934, 0);
            }
            // The built-in keyboard's models take the key as if it came on the hook road.
            const KeySource source = proc::usbKeyboardModel ? KeySource::UsbOrSibling : KeySource::HookOrRawInput;
            m_ports.keys.ProcessKey(0xFF, static_cast<BYTE>(CodeOf(key->code)), source);
        }
    } else if (usagePage == kConsumerUsagePage) {
        for (const ConsumerVolumeKey& key : kConsumerVolumeKeys) {
            if (key.usage == usage) m_nLastConsumerVolumeKey = CodeOf(key.code);
        }
    }
    return 1;
}

bool CEventRouter::Route(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    switch (message) {
    case WM_INPUT:
        OnHookKey(wParam, lParam);
        return false;
    case WM_VQ_SIBLING:
        if (proc::usbKeyboardModel || m_bExternalKeyMode) {
            AnnounceIfPending();
            bool returns = false;
            *result = RouteSiblingCode(wParam, lParam, &returns);
            return returns;
        }
        if (wParam == sibling::kWirelessKeyBlock) {
            m_ports.timers.RestartTimer(kTimerWirelessBlock, kWirelessBlockMs);
            m_ports.keys.SetWirelessKeyBlock();
        }
        return false;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND) {
            Announce(131, 130);  // withdraw
            m_bBiosReannouncePending = true;
            m_ports.commands.ExecuteCommand(MainCommand::ResetResolutionBeforeSleep);
            if (m_ports.display.HasGraphicsDriver()) m_ports.display.SetDriverSuspendFlag();
            m_ports.detection.SetPostResumeDeviceEventCounter(15);
        } else if (wParam == PBT_APMRESUMEAUTOMATIC) {
            Announce(3, 2);
            m_ports.commands.ExecuteCommand(NumLockIndicatorRequest{.bringLightInStep = true});
            m_ports.commands.ExecuteCommand(MainCommand::ApplyWirelessRadio);
            m_ports.detection.SetPostResumeDeviceEventCounter(15);
            m_ports.timers.RestartTimer(kTimerAfterResume, kAfterResumeMs);
        }
        return false;
    case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_LOGON || wParam == WTS_SESSION_UNLOCK) {
            Announce(2, 3);
            m_ports.commands.ExecuteCommand(MainCommand::ShowNumLockIndicator);
        } else if (wParam == WTS_SESSION_LOGOFF || wParam == WTS_SESSION_LOCK) {
            Announce(130, 131);
            m_bBiosReannouncePending = true;
        }
        return false;
    case WM_QUERYENDSESSION:
        Announce(131, 130);
        return false;
    case WM_ENDSESSION:
        m_ports.commands.ExecuteCommand(MainCommand::ResetResolutionBeforeSleep);
        return false;
    case WM_DISPLAYCHANGE:
        m_ports.commands.ExecuteCommand(MainCommand::FollowDisplayChange);
        if (m_ports.miniUi.MiniUiShown()) {
            m_ports.miniUi.RefreshMiniUiResolutionPanel();
            m_ports.timers.RestartTimer(kTimerMiniUiLayout, 1000);
        }
        return false;
    case WM_DEVICECHANGE:
        if (proc::IsWheelNetbook() && wParam != kDeviceArrival && lParam != 0) {
            m_ports.commands.ExecuteCommand(AdapterEventRequest{reinterpret_cast<const void*>(lParam)});
        }
        m_ports.detection.DeviceDetection(lParam, wParam);
        return false;
    case WM_VQ_EXTKEY_ON:
        m_bExternalKeyMode = true;
        return false;
    case WM_VQ_EXTKEY_OFF:
        m_bExternalKeyMode = false;
        return false;
    case audio::kMixerControlChangeMessage:
    case audio::kEndpointVolumeMessage:
        m_ports.keys.OnVolumeNotify();
        return false;
    default:
        return false;
    }
}

LRESULT CEventRouter::RouteSiblingCode(WPARAM code, LPARAM argument, bool* returns) {
    *returns = false;
    switch (code) {
    case sibling::kDisplaySwitchKey:
        m_ports.keys.OnDisplaySwitchKey();
        return 0;
    case sibling::kSrsEffect:
        m_ports.selectors.SelectSRSEffect();
        return 0;
    case sibling::kVolumeDownKey:
    case sibling::kVolumeUpKey: {
        bool handled = false;
        if (m_ports.keys.HandleModifiedKey(static_cast<int>(code), &handled) == 0) {
            *returns = true;
            return 0;
        }
        if (handled) {
            *returns = true;
            return 1;
        }
        m_ports.dispatch.ReloadOwnVolumeSetting();
        m_ports.keys.OnVolumeKey(static_cast<int>(code));
        return 0;
    }
    case sibling::kRotateStep: case sibling::kResolutionSelector: case sibling::kRotationAnswer:
    case sibling::kRotateStep42:
    case sibling::kSetWirelessLan: case sibling::kSetWiredLan: case sibling::kSetBacklight:
    case sibling::kSetEtiquette: case sibling::kSetMute:
    case sibling::kRotateUnderCursor:
    case sibling::kMenuStatus: case sibling::kActiveDisplay: case sibling::kConnectedDisplay:
    case sibling::kMenuStatus71: {
        bool producesValue = false;
        const int value = OnMenuRequest(static_cast<int>(code), argument, &producesValue);
        *returns = producesValue;
        return value;
    }
    case sibling::kResolutionUp:
    case sibling::kResolutionDown: {
        const POINT p = CursorPosition();
        if (code == sibling::kResolutionUp) {
            m_ports.resolution.SetResolutionUp(p.x, p.y, 0);
        } else {
            m_ports.resolution.SetResolutionDown(p.x, p.y, 0);
        }
        return 0;
    }
    case sibling::kChangeCombination:
        if (!m_ports.display.HasGraphicsDriver()) {
            *returns = true;
            return 0;
        }
        m_ports.display.ChangeDisplayCombination(static_cast<int>(argument), 1);
        return 0;
    case sibling::kStartTestCycle:
        m_ports.window.KeepTestCycleArgument(argument);
        m_ports.timers.RestartTimer(kTimerTestCycle, kTestCycleFirstMs);
        return 0;
    case sibling::kStopTestCycle:
        m_ports.timers.StopTimer(kTimerTestCycle);
        return 0;
    case sibling::kRereadAndChangeCombination:
        m_ports.display.GetConnectedDisplays();
        m_ports.display.ChangeDisplayCombination(static_cast<int>(argument), 1);
        return 0;
    case sibling::kMuteKey:
        m_ports.keys.SetVolumeKeyPending();
        m_ports.timers.RestartTimer(kTimerVolumeKey, kVolumeKeyMs);
        m_ports.dispatch.ProcessHotkey(static_cast<int>(sibling::kMuteKey));
        [[fallthrough]];
    default:
        if (m_ports.keys.ProcessKey(0xFF, static_cast<BYTE>(code & 0xFF), KeySource::UsbOrSibling) == 0) {
            *returns = true;
            return 0;
        }
        return 0;
    }
}

int CEventRouter::OnMenuRequest(int code, LPARAM argument, bool* producesValue) {
    *producesValue = false;
    switch (code) {
    case sibling::kRotateStep:
    case sibling::kRotateStep42:
        m_ports.osd.HideOsd();
        m_ports.dispatch.ProcessHotkey(code);
        m_ports.window.PumpMessagesFor(70, 5);
        m_ports.osd.HideOsd();
        m_ports.resolution.RotateDisplayStep(code == sibling::kRotateStep ? 0 : 42);
        return 0;
    case sibling::kResolutionSelector:
        m_ports.selectors.SelectResolution();
        return 0;
    case sibling::kMenuStatus:
    case sibling::kMenuStatus71:
        *producesValue = true;
        return m_ports.menu.DispatchMenuRequest(code, argument);
    case sibling::kRotationAnswer: {
        const int canRotate = proc::IsIntelNetbook() ? m_ports.selectors.CanRotate() : 1;
        settings::WriteInt(settings::kMenuRotation, canRotate);
        if (HWND menu = FindWindowW(L"MORROW_MENU", nullptr)) {
            PostMessageW(menu, WM_VQ_SIBLING, sibling::kRotationAnswer, canRotate);
        }
        return 0;
    }
    case sibling::kSetWirelessLan: case sibling::kSetWiredLan: case sibling::kSetBacklight:
    case sibling::kSetEtiquette: case sibling::kSetMute:
        m_ports.menu.DispatchMenuRequest(code, argument);
        return 0;
    case sibling::kActiveDisplay:
        *producesValue = true;
        {
            const int value = m_ports.display.RefreshActiveDisplay();
            settings::WriteInt(settings::kMenuDisplay, value);
            return value;
        }
    case sibling::kConnectedDisplay:
        *producesValue = true;
        {
            const int value = m_ports.display.RefreshConnectedDisplay();
            settings::WriteInt(settings::kMenuConnectedDisplay, value);
            return value;
        }
    case sibling::kRotateUnderCursor: {
        m_ports.osd.HideOsd();
        const POINT p = CursorPosition();
        m_ports.resolution.RotateDisplayAt(p.x, p.y, static_cast<int>(argument));
        m_ports.dispatch.ProcessHotkey(sibling::kRotateUnderCursor);
        return 0;
    }
    default:
        return 0;
    }
}
