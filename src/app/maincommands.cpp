#include "app/maincommands.h"

#include <dbt.h>

#include <cstddef>
#include <string>

#include "app/maintimers.h"
#include "common/commondefine.h"
#include "common/readablememory.h"
#include "common/processstate.h"
#include "hardware/hotkeytable.h"

namespace {
// Network adapter device-interface class.
constexpr GUID kNetworkAdapterInterface = {
    0xad498944, 0x762f, 0x11d0, {0x8d, 0xcb, 0x00, 0xc0, 0x4f, 0xc3, 0x35, 0x8c}};
constexpr wchar_t kNetworkAdapterInterfaceText[] = L"{ad498944-762f-11d0-8dcb-00c04fc3358c}";

constexpr DWORD kEjectWaitAtTearDownMs = 15000;

// The lock key's state while it is held tells which way it turns.
enum class LockChange { TurningOn, TurningOff, Unknown };
LockChange LockChangeFromState(SHORT state) {
    switch (static_cast<USHORT>(state)) {
    case 0x0001:  // toggled, released
    case 0xFF80:  // pressed, not toggled
        return LockChange::TurningOn;
    case 0x0000:
    case 0xFF81:  // pressed, toggled
        return LockChange::TurningOff;
    default:
        return LockChange::Unknown;
    }
}

// The interface name of a device-interface notification record, or "" when
// the record is of another kind or does not hold together.
std::wstring InterfaceNameOf(const void* record) {
    const auto* header = static_cast<const DEV_BROADCAST_HDR*>(record);
    if (ReadableBytes(header, sizeof *header) < sizeof *header) return {};
    if (header->dbch_devicetype != DBT_DEVTYP_DEVICEINTERFACE) return {};
    const size_t nameOffset = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    const size_t size = header->dbch_size;
    if (size <= nameOffset || ReadableBytes(header, size) < size) return {};
    const auto* name = reinterpret_cast<const wchar_t*>(reinterpret_cast<const BYTE*>(header) + nameOffset);
    const size_t maxChars = (size - nameOffset) / sizeof(wchar_t);
    size_t length = 0;
    while (length < maxChars && name[length] != L'\0') ++length;
    return std::wstring(name, length);
}

DWORD WINAPI EjectThreadMain(void* parameter) {
    static_cast<CMainCommands*>(parameter)->EjectOpticalDrive();
    return 0;
}
}  // namespace

CMainCommands::CMainCommands(const Ports& ports, IKeyPlatform& platform)
    : m_ports(ports), m_platform(platform) {}

CMainCommands::~CMainCommands() {
    // The thread works on this object: it must not outlive it.
    WaitForEjectThread(kEjectWaitAtTearDownMs);
}

int CMainCommands::ExecuteCommand(const NumLockIndicatorRequest& request) {
    return ShowNumLockIndicator(request.bringLightInStep);
}

int CMainCommands::ExecuteCommand(const AdapterEventRequest& request) {
    return ReloadUsbOnAdapterEvent(request.record);
}

int CMainCommands::ExecuteCommand(const WheelKeyRewrite& key) { return RewriteWheelKey(key); }

int CMainCommands::ExecuteCommand(MainCommand command) {
    switch (command) {
    case MainCommand::ResetResolutionBeforeSleep: return ResetResolutionBeforeSleep();
    case MainCommand::FollowDisplayChange: return FollowDisplayChangeOnSmallPanel();
    case MainCommand::ApplyDownScaling:
        if (proc::IsIntelNetbook()) m_ports.resolution.ApplyDownScalingToCurrentMode();
        return 1;
    case MainCommand::ShowNumLockIndicator: return ExecuteCommand(NumLockIndicatorRequest{});
    case MainCommand::EndMediaCenterVolumeBar: return EndMediaCenterVolumeBar();
    case MainCommand::RestartNoticeTimer:
        m_ports.timers.RestartTimer(kTimerNotice, 3000);
        return 1;
    case MainCommand::ApplyWirelessRadio: return ApplyWirelessRadioCommand();
    case MainCommand::RewriteWheelKey: return ExecuteCommand(WheelKeyRewrite{});
    case MainCommand::RegisterNetworkAdapterNotification: return RegisterNetworkAdapterNotification();
    case MainCommand::EjectOpticalDrive: return EjectOnce();
    case MainCommand::ReloadUsbOnAdapterEvent: return ExecuteCommand(AdapterEventRequest{});
    case MainCommand::ShowNumLockChange:
        return ShowLockKeyChange(VK_NUMLOCK, HotkeyCode::NumLockOn, HotkeyCode::NumLockOff);
    case MainCommand::ShowScrollLockChange:
        return ShowLockKeyChange(VK_SCROLL, HotkeyCode::ScrollLockOn, HotkeyCode::ScrollLockOff);
    case MainCommand::ShowCapsLockChange:
        return ShowLockKeyChange(VK_CAPITAL, HotkeyCode::CapsLockOn, HotkeyCode::CapsLockOff);
    case MainCommand::Unused2:
    case MainCommand::Unused5:
    case MainCommand::Unused15:
        return 1;
    default:
        return 0;  // not one of the numbers
    }
}

int CMainCommands::ResetResolutionBeforeSleep() {
    if (!proc::IsIntelNetbook() || !m_ports.selectors.HasResolutionSelector()) return 1;
    m_ports.selectors.RenewResolutionSelector();
    m_ports.selectors.WaResetResolutionBeforeS3S4();
    return 1;
}

int CMainCommands::FollowDisplayChangeOnSmallPanel() {
    if (!proc::IsIntelNetbook()) return 1;
    if (!m_ports.display.HasGraphicsDriver()) return 0;
    const SIZE screen = m_platform.PrimaryScreenSize();
    const bool smallPanelMode = (screen.cx == 800 && screen.cy == 480) || (screen.cx == 480 && screen.cy == 800);
    if (smallPanelMode || m_ports.outputs.IsOnlyPanelActive()) {
        SetScreenSaver(true);
        return 1;
    }
    constexpr int kPanel = 0x01;
    if (m_ports.outputs.RefreshActiveOutputs() != kPanel) SetScreenSaver(false);
    return 1;
}

void CMainCommands::SetScreenSaver(bool active) {
    if (m_platform.SetScreenSaverActive(active)) return;
    ReportError(active ? L"fail: SPI_SETSCREENSAVEACTIVE(TRUE)" : L"fail: SPI_SETSCREENSAVEACTIVE(FALSE)");
}

int CMainCommands::ShowNumLockIndicator(bool bringLightInStep) {
    if (!proc::IsMenuNetbook()) return 1;
    const SHORT numLock = GetKeyState(VK_NUMLOCK);
    if (!m_ports.notices.HasNumLockWindow() && !m_ports.notices.CreateNumLockWindow()) return 1;
    if (numLock == 0) {
        m_ports.notices.DestroyNumLockWindow();
        return 1;
    }
    m_ports.notices.ShowNumLockWindow();
    if (bringLightInStep) {
        // Two presses leave Num Lock as it was and bring the keyboard's light back in step.
        INPUT presses[4] = {};
        for (int i = 0; i < 4; ++i) {
            presses[i].type = INPUT_KEYBOARD;
            presses[i].ki.wVk = VK_NUMLOCK;
            presses[i].ki.wScan = 0x45;
            presses[i].ki.dwFlags = KEYEVENTF_EXTENDEDKEY | (i % 2 ? KEYEVENTF_KEYUP : 0);
        }
        m_platform.SendKeyInput(presses, 4);
    }
    return 1;
}

int CMainCommands::EndMediaCenterVolumeBar() {
    if (!proc::IsXpMediaCenter()) return 0;
    m_platform.TerminateProcessesNamed(L"ehtray.exe");
    return 1;
}

int CMainCommands::ApplyWirelessRadioCommand() {
    if (!proc::IsWheelNetbook()) return 1;
    int on = 0;
    if (!m_ports.firmware.GetWirelessStatus(&on)) return 1;  // the firmware read has reported its failure
    m_platform.StartProgram(on ? L"wlan radio on" : L"wlan radio off", SW_HIDE);
    Sleep(200);
    return 1;
}

int CMainCommands::RewriteWheelKey(const WheelKeyRewrite& key) {
    if (!proc::IsWheelNetbook() || !key.virtualKey || !key.scanCode) return 1;
    // The wheel's keys, as the USB keyboard numbers them.
    struct Rewrite { int virtualKey, scanCode; HotkeyCode hotkey; };
    static const Rewrite kRewrites[] = {{129, 105, HotkeyCode::UsbBrightnessDown},
                                        {130, 106, HotkeyCode::UsbSrsEffect},
                                        {131, 107, HotkeyCode::UsbPicture91Key},
                                        {132, 108, HotkeyCode::UsbPicture90Key}};
    for (const Rewrite& r : kRewrites) {
        if (*key.virtualKey != r.virtualKey || *key.scanCode != r.scanCode) continue;
        *key.virtualKey = 0xFF;
        *key.scanCode = CodeOf(r.hotkey);
        if (key.extended) *key.extended = 1;
        break;
    }
    return 1;
}

int CMainCommands::RegisterNetworkAdapterNotification() {
    m_deviceNotify.reset(m_platform.RegisterInterfaceNotification(m_ports.window.MainWindowHandle(),
                                                                  kNetworkAdapterInterface));
    if (m_deviceNotify.valid()) return 1;
    ReportError(L"Can't register device notification", GetLastError());
    return 0;
}

void CMainCommands::ReleaseDeviceNotification() { m_deviceNotify.reset(); }

int CMainCommands::ReloadUsbOnAdapterEvent(const void* record) {
    if (!proc::IsWheelNetbook()) return 1;
    const std::wstring name = InterfaceNameOf(record);
    if (name.find(kNetworkAdapterInterfaceText) == std::wstring::npos) return 1;
    m_ports.roads.ReloadUsbKeyboardLibrary();
    return 1;
}

int CMainCommands::ShowLockKeyChange(int virtualKey, HotkeyCode onCode, HotkeyCode offCode) {
    switch (LockChangeFromState(GetKeyState(virtualKey))) {
    case LockChange::TurningOn: m_ports.dispatch.ProcessHotkey(CodeOf(onCode)); break;
    case LockChange::TurningOff: m_ports.dispatch.ProcessHotkey(CodeOf(offCode)); break;
    case LockChange::Unknown: break;
    }
    return 1;
}

int CMainCommands::EjectOnce() {
    // A thread still inside the MCI call after timer 6 counts as running too.
    if (!m_bEjectBusy.load() && !EjectThreadRunning()) {
        m_hEjectThread.reset();
        m_ports.timers.StopTimer(kTimerEject);
        m_hEjectThread.reset(CreateThread(nullptr, 0, EjectThreadMain, this, 0, &m_dwEjectThreadId));
        if (!m_hEjectThread.valid()) ReportError(L"fail: EjectOpticalDrive()");
        m_ports.timers.RestartTimer(kTimerEject, 15000);
        m_ports.dispatch.ProcessHotkey(CodeOf(HotkeyCode::OpticalDriveEject));
    }
    m_bEjectRequested = true;
    return 1;
}

void CMainCommands::EjectOpticalDrive() {
    try {
        if (m_bEjectBusy.exchange(true)) return;  // another press got here first
        const DWORD error = m_platform.SendMciCommand(L"Set CDAudio Door Open");
        if (error != 0) ReportError(FormatText(L"0x%x", static_cast<unsigned>(error)));
        m_ports.timers.StopTimer(kTimerEject);
        m_bEjectBusy = false;
    } catch (...) {
        ReportCaught(L"ODD_Eject");
    }
}

void CMainCommands::OnEjectTimerExpired() {
    // A thread that has not ended keeps its handle, so that tear-down can wait for it.
    if (!EjectThreadRunning()) m_hEjectThread.reset();
    m_bEjectBusy = false;
}

bool CMainCommands::EjectThreadRunning() const {
    return m_hEjectThread.valid() && WaitForSingleObject(m_hEjectThread.get(), 0) == WAIT_TIMEOUT;
}

bool CMainCommands::WaitForEjectThread(DWORD timeoutMs) {
    if (!m_hEjectThread.valid()) return true;
    return WaitForSingleObject(m_hEjectThread.get(), timeoutMs) == WAIT_OBJECT_0;
}
