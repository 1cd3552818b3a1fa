#include "app/eventrouter.h"

#include <wtsapi32.h>

#include <new>

#include "app/settingsstore.h"
#include "common/commondefine.h"
#include "common/processstate.h"
#include "common/readablememory.h"

namespace {
// Registered once, at process start.
const UINT g_trapkeyPs2Message = RegisterWindowMessageW(L"TrapkeyPS2");

constexpr int kSourceHook = 0;
constexpr int kSourceUsb = 1;
constexpr int kOsdModeDisplaySwitch = 2;
constexpr int kOsdModeResolution = 4;
constexpr int kOsdModeWireless = 5;
constexpr WPARAM kDeviceArrival = 0x8000;  // DBT_DEVICEARRIVAL

class BusyGuard {
public:
    explicit BusyGuard(bool& flag) : flag_(flag) { flag_ = true; }
    ~BusyGuard() { flag_ = false; }
    BusyGuard(const BusyGuard&) = delete;
    BusyGuard& operator=(const BusyGuard&) = delete;
private:
    bool& flag_;
};

POINT CursorPosition() {
    POINT p{};
    GetCursorPos(&p);
    return p;
}
}  // namespace

UINT TrapkeyPs2Message() { return g_trapkeyPs2Message; }

void CEventRouter::Announce(int first, int second) {
    m_targets.BiosHandshake(first);
    m_targets.BiosHandshake(second);
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

LRESULT CEventRouter::OnHookKey(WPARAM wParam, LPARAM lParam) {
    if (m_bHookBusy) return 1;
    BusyGuard busy(m_bHookBusy);
    try {
        DecodedKey key;
        if (proc::windowsVersion == 8) {
            LRESULT early = 0;
            if (!DecodeRawInput(reinterpret_cast<HRAWINPUT>(lParam), &key, &early)) return early;
        } else if (!DecodeHookRecord(lParam, &key)) {
            return 1;
        }
        return HandleDecodedKey(key);
    } catch (...) {
        ReportError(L"fail: OnHookKey()");
        return 0;
    }
}

LRESULT CEventRouter::HandleDecodedKey(const DecodedKey& key) {
    if (key.released) return 1;
    AnnounceIfPending();
    LRESULT result = m_targets.ProcessKey(key.virtualKey, key.scanCode, kSourceHook);
    if (result == 255) result = 0;

    const BYTE vk = key.virtualKey, sc = key.scanCode;
    if (vk == 0x91 && sc == 0x46) {  // Scroll Lock
        m_targets.ExecuteCommand(14, 0, 0);
        return 1;
    }
    if (vk == 0x90 && sc == 0x45) {  // Num Lock
        m_targets.ExecuteCommand(13, 0, 0);
        return 1;
    }
    const int family = proc::modelFamily;
    if ((family == 15 || family == 16 || family == 17) && vk == 0x14 && sc == 0x3A) {  // Caps Lock
        m_targets.ExecuteCommand(16, 0, 0);
        return 1;
    }
    if (vk == VK_ESCAPE) {
        if (m_targets.OsdAlive()) {
            m_targets.HideOsd();
            EndPendingSelectionOnEscape();
        }
        if (m_targets.MagnifierShown()) m_targets.HideMagnifier();
    } else if (vk == VK_RETURN) {
        if (m_targets.OsdAlive()) {
            m_targets.HideOsd();
            m_targets.SendOsdSelectionTimer();  // applies the pending selection at once
        }
    }
    return result;
}

void CEventRouter::EndPendingSelectionOnEscape() {
    const int mode = m_targets.OsdMode();
    switch (mode) {
    case kOsdModeDisplaySwitch:
        m_targets.NoticeMessage(1);
        m_targets.ClearDisplaySwitchPending();
        m_targets.ClearOsdSelection();
        break;
    case kOsdModeResolution:
        m_targets.ClearResolutionSelectorPending();
        break;
    case kOsdModeWireless:
        m_targets.ClearWirelessSelectorPending();
        break;
    default:
        return;
    }
    m_targets.SetOsdMode(-1);
    m_targets.SendOsdSelectionTimer();  // finds nothing left to apply
}

LRESULT CEventRouter::OnUsbHidKey(WPARAM usage, LPARAM usagePage) {
    if (m_bUsbBusy) return 1;
    BusyGuard busy(m_bUsbBusy);
    try {
        if (usagePage == 0xFF7F) {
            struct UsageMap { WPARAM usage; BYTE usbModel; BYTE otherModel; };
            static const UsageMap kMap[] = {
                {0xB1, 8, 9}, {0xB2, 7, 8}, {0xB3, 2, 3}, {0xB5, 1, 2},
                {0xB6, 3, 4}, {0xB7, 9, 111}, {0xB8, 5, 6},
            };
            for (const UsageMap& m : kMap) {
                if (m.usage != usage) continue;
                if (proc::usbKeyboardModel) {
                    if (proc::modelFamily == 10) {
                        if (HWND wheel = FindWindowW(nullptr, L"-WheelMenu-")) {
                            SendMessageW(wheel, WM_COMMAND, 6934, 0);
                        }
                    }
                    m_targets.ProcessKey(0xFF, m.usbModel, kSourceUsb);
                } else {
                    m_targets.ProcessKey(0xFF, m.otherModel, kSourceHook);
                }
                break;
            }
        } else if (usagePage == 0x0C) {
            if (usage == 0xE2) m_nLastConsumerVolumeKey = 0x20;
            else if (usage == 0xE9) m_nLastConsumerVolumeKey = 0x30;
            else if (usage == 0xEA) m_nLastConsumerVolumeKey = 0x2E;
        }
    } catch (...) {
        ReportError(L"fail: OnUsbHidKey()");
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
        if (wParam == 73) {
            m_targets.RestartTimer(5, 5000);
            m_targets.SetWirelessKeyBlock();
        }
        return false;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMSUSPEND) {
            Announce(131, 130);  // withdraw
            m_bBiosReannouncePending = true;
            m_targets.ExecuteCommand(0, 0, 0);
            if (m_targets.HasGraphicsDriver()) m_targets.SetDriverSuspendFlag();
            m_targets.SetPostResumeDeviceEventCounter(15);
        } else if (wParam == PBT_APMRESUMEAUTOMATIC) {
            Announce(3, 2);
            m_targets.ExecuteCommand(4, 0, 5);
            m_targets.ExecuteCommand(8, 0, 0);
            m_targets.SetPostResumeDeviceEventCounter(15);
            m_targets.RestartTimer(147, 10000);
        }
        return false;
    case WM_WTSSESSION_CHANGE:
        if (wParam == WTS_SESSION_LOGON || wParam == WTS_SESSION_UNLOCK) {
            Announce(2, 3);
            m_targets.ExecuteCommand(4, 0, 0);
        } else if (wParam == WTS_SESSION_LOGOFF || wParam == WTS_SESSION_LOCK) {
            Announce(130, 131);
            m_bBiosReannouncePending = true;
        }
        return false;
    case WM_QUERYENDSESSION:
        Announce(131, 130);
        return false;
    case WM_ENDSESSION:
        m_targets.ExecuteCommand(0, 0, 0);
        return false;
    case WM_DISPLAYCHANGE:
        m_targets.ExecuteCommand(1, 0, 0);
        if (m_targets.MiniUiShown()) {
            m_targets.RefreshMiniUiResolutionPanel();
            m_targets.RestartTimer(4, 1000);
        }
        return false;
    case WM_DEVICECHANGE:
        if (proc::modelFamily == 10 && wParam != kDeviceArrival && lParam != 0) {
            m_targets.ExecuteCommand(12, lParam, 0);  // the notification record, by address
        }
        m_targets.DeviceDetection(lParam, wParam);
        return false;
    case WM_VQ_EXTKEY_ON:
        m_bExternalKeyMode = true;
        return false;
    case WM_VQ_EXTKEY_OFF:
        m_bExternalKeyMode = false;
        return false;
    case WM_VQ_MIXER_CHANGE:
    case WM_VQ_ENDPOINT_VOLUME:
        m_targets.OnVolumeNotify();
        return false;
    default:
        return false;
    }
}

LRESULT CEventRouter::RouteSiblingCode(WPARAM code, LPARAM argument, bool* returns) {
    *returns = false;
    switch (code) {
    case 1:
        m_targets.OnDisplaySwitchKey();
        return 0;
    case 9:
        m_targets.SelectSrsEffect();
        return 0;
    case 15:
    case 16: {
        bool handled = false;
        if (m_targets.HandleModifiedKey(static_cast<int>(code), &handled) == 0) {
            *returns = true;
            return 0;
        }
        if (handled) {
            *returns = true;
            return 1;
        }
        m_targets.ReloadVolumeSetting();
        m_targets.OnVolumeKey(static_cast<int>(code));
        return 0;
    }
    case 17: case 18: case 24: case 42: case 43: case 44: case 45: case 46: case 47: case 70:
    case 19: case 48: case 49: case 71: {
        bool producesValue = false;
        const int value = OnMenuRequest(static_cast<int>(code), argument, &producesValue);
        *returns = producesValue;
        return value;
    }
    case 51:
    case 52: {
        const POINT p = CursorPosition();
        m_targets.ResolutionStep(code == 51, p.x, p.y, 0);
        return 0;
    }
    case 53:
        if (!m_targets.HasGraphicsDriver()) {
            *returns = true;
            return 0;
        }
        m_targets.ChangeDisplayCombination(static_cast<int>(argument), 1);
        return 0;
    case 60:
        m_targets.KeepTimer153Argument(argument);
        m_targets.RestartTimer(153, 100);
        return 0;
    case 61:
        m_targets.StopTimer(153);
        return 0;
    case 62:
        m_targets.GetConnectedDisplays();
        m_targets.ChangeDisplayCombination(static_cast<int>(argument), 1);
        return 0;
    case 14:
        m_targets.SetVolumeKeyPending();
        m_targets.RestartTimer(1, 1000);
        m_targets.DispatchHotkey(14);
        [[fallthrough]];
    default:
        if (m_targets.ProcessKey(0xFF, static_cast<BYTE>(code & 0xFF), kSourceUsb) == 0) {
            *returns = true;
            return 0;
        }
        return 0;
    }
}

int CEventRouter::OnMenuRequest(int code, LPARAM argument, bool* producesValue) {
    *producesValue = false;
    try {
        switch (code) {
        case 17:
        case 42:
            m_targets.HideOsd();
            m_targets.DispatchHotkey(code);
            m_targets.PumpMessagesFor(70, 5);
            m_targets.HideOsd();
            m_targets.RotateDisplayStep(code == 17 ? 0 : 42);
            return 0;
        case 18:
            m_targets.SelectResolution();
            return 0;
        case 19:
        case 71:
            *producesValue = true;
            return m_targets.DispatchMenuRequest(code, argument);
        case 24: {
            const int canRotate = proc::modelFamily == 1 ? m_targets.CanRotate() : 1;
            settings::WriteInt(settings::kMenuRotation, canRotate);
            if (HWND menu = FindWindowW(L"MORROW_MENU", nullptr)) {
                PostMessageW(menu, WM_VQ_SIBLING, 24, canRotate);
            }
            return 0;
        }
        case 43: case 44: case 45: case 46: case 47:
            m_targets.DispatchMenuRequest(code, argument);
            return 0;
        case 48:
            *producesValue = true;
            {
                const int value = m_targets.RefreshActiveDisplay();
                settings::WriteInt(settings::kMenuDisplay, value);
                return value;
            }
        case 49:
            *producesValue = true;
            {
                const int value = m_targets.RefreshConnectedDisplay();
                settings::WriteInt(settings::kMenuConnectedDisplay, value);
                return value;
            }
        case 70: {
            m_targets.HideOsd();
            const POINT p = CursorPosition();
            m_targets.RotateDisplayUnderCursor(static_cast<int>(argument), p.x, p.y);
            m_targets.DispatchHotkey(70);
            return 0;
        }
        default:
            return 0;
        }
    } catch (...) {
        ReportError(L"fail: OnMenuRequest()");
        return 0;
    }
}
