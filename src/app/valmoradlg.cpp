#include "app/valmoradlg.h"

#include <objbase.h>
#include <wtsapi32.h>

#include <cstdint>
#include <string>

#include "framework/winapp.h"
#include "common/settingsstore.h"
#include "app/maintimers.h"
#include "app/tracecall.h"
#include "app/trapkeylibs.h"
#include "app/valmora.h"
#include "audio/audio.h"
#include "common/commondefine.h"
#include "common/modalloop.h"
#include "common/processstate.h"
#include "common/siblingmessages.h"
#include "display/displaychanger.h"
#include "display/displaysettings.h"
#include "hardware/hwicondisplayer.h"
#include "hardware/systeminfo.h"
#include "miniui/miniuimanager.h"
#include "resource.h"


CValmoraDlg::CValmoraDlg() = default;
CValmoraDlg::~CValmoraDlg() = default;

int CValmoraDlg::WindowsVersionCode(DWORD platformId, DWORD major, DWORD minor, bool mediaCenterTray) {
    using namespace proc::winver;
    if (platformId == VER_PLATFORM_WIN32_NT) {
        if (major == 5) return minor == 0 ? kWindows2000 : (mediaCenterTray ? kWindowsXpMediaCenter : kWindowsXp);
        if (major == 6) return minor == 0 ? kWindowsVista : kWindows7;
        if (major > 6) return kWindows7;
        if (major == 4 && minor == 0) return kWindowsNt4;
        return proc::windowsVersion;
    }
    if (platformId == VER_PLATFORM_WIN32_WINDOWS) return minor == 0 ? kWindows95 : kWindows98;
    return proc::windowsVersion;
}

bool CValmoraDlg::IsStarterProduct(DWORD productType) {
    return productType == 0x0B || productType == 0x2F || productType == 0x42;
}

void CValmoraDlg::DetectWindowsVersion() {
    OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof info;
    if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return;
    bool mediaCenterTray = false;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion == 5 && info.dwMinorVersion != 0) {
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        const std::wstring tray = FormatText(L"%s\\ehome\\ehtray.exe", windows);
        mediaCenterTray = GetFileAttributesW(tray.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    proc::windowsVersion =
        WindowsVersionCode(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion, mediaCenterTray);
    if (proc::IsWindows7OrLater() && info.dwMajorVersion == 6) {
        DWORD product = 0;
        using GetProductInfoFn = BOOL(WINAPI*)(DWORD, DWORD, DWORD, DWORD, DWORD*);
        auto getProductInfo = reinterpret_cast<GetProductInfoFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetProductInfo")));
        if (getProductInfo && getProductInfo(info.dwMajorVersion, info.dwMinorVersion, 0, 0, &product)) {
            proc::starterEdition = IsStarterProduct(product);
        }
    }
}

void CValmoraDlg::RegisterKeyRoads() {
    if (proc::IsWindows7OrLater()) {
        RAWINPUTDEVICE device{};
        device.usUsagePage = 1;
        device.usUsage = 6;
        device.dwFlags = RIDEV_INPUTSINK;
        device.hwndTarget = m_hWnd;
        if (!RegisterRawInputDevices(&device, 1, sizeof device)) ReportError(L"RegisterRawInputDevices", GetLastError());
    } else {
        trapkey::SetHookOwner(m_hWnd, TrapkeyPs2Message());
    }
    if (proc::usbKeyboardModel) trapkey::LoadUsbDevice(m_hWnd, &m_nUsbMessage);
}

bool CValmoraDlg::OnInitDialog() {
    m_hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    settings::WriteInt(settings::kDebug, 0);
    m_nSkipFirmwareDisplays = settings::ReadInt(settings::kSkipFirmwareDisplays);
    m_nHandledKeyResult = settings::ReadInt(settings::kHandledKeyResult);
    m_keys.SetHandledKeyResult(m_nHandledKeyResult);

    DetectWindowsVersion();
    m_hUser32 = GetModuleHandleW(L"USER32.DLL");
    // The firmware interface sets the model family (a missing library ends the
    // program here); the audio object reports its changes to this window.
    m_pSystemInfo = std::make_unique<CSystemInfo>();
    m_pSystemInfo->Init(m_hWnd);
    m_systemInfoPorts.SetSystemInfo(m_pSystemInfo.get());
    proc::usbKeyboardModel = proc::IsUsbKeyboardFamily(proc::modelFamily);
    m_pDispatcher = std::make_unique<CHWIconDisplayer>(m_hotkeyOwner, m_osdSlot);
    m_pDispatcher->Init(m_pSystemInfo.get());
    m_dispatcherPort.SetDispatcher(m_pDispatcher.get());
    // The display changer; once it has a driver (or reads the outputs in its
    // Windows 7 mode) detection takes the attached monitors as known.
    m_displayComponents.SetMainWindow(m_hWnd);
    m_pDisplayChanger = std::make_unique<CDisplayChanger>(CDisplayChanger::Ports{
        *this, m_osdSlot, m_systemInfoPorts, m_displayComponents, RealDisplaySettings()});
    const int changerReady = m_pDisplayChanger->InitDisplayChanger();
    m_displayPorts.SetChanger(m_pDisplayChanger.get());
    m_monitorIdentities.SetStore(m_pDisplayChanger->ProfileStore());
    m_moduleDetection.SetStore(m_pDisplayChanger->ProfileStore());
    if (changerReady || m_pDisplayChanger->Win7Mode()) m_detection.TakeCurrentMonitorsAsKnown();
    m_selectors.SetSystemInfo(m_pSystemInfo.get());
    m_resolutionDisplay.SetChanger(m_pDisplayChanger.get());
    m_selectors.SetResolutionDisplay(&m_resolutionDisplay, m_hWnd);
    // The mini UI: its panels, hidden, with their texts and view modes.
    m_pMiniUIManager = std::make_unique<miniui::CminiUIManager>(LanguageId(), [this] { StopTimer(kTimerMiniUiCountdown); });
    m_pMiniUIManager->Create(m_pDisplayChanger.get(), m_pSystemInfo->Audio(), m_hUser32);
    m_miniUi.SetManager(m_pMiniUIManager.get());

    WTSRegisterSessionNotification(m_hWnd, NOTIFY_FOR_ALL_SESSIONS);
    m_keys.ReadAudioState();
    RegisterKeyRoads();
    SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
    m_keys.LoadKeyOptions();
    m_pDispatcher->ReloadOwnVolumeSetting();
    m_osdSlot.LoadStrips();
    // Media Center volume bar, Num Lock window, wireless radio, network adapter notifications.
    for (MainCommand command : {MainCommand::EndMediaCenterVolumeBar, MainCommand::ShowNumLockIndicator,
                                MainCommand::ApplyWirelessRadio, MainCommand::RegisterNetworkAdapterNotification}) {
        m_commands.ExecuteCommand(command);
    }
    // The first OSD window is made once the start-up's messages are through.
    ScheduleMakeAhead();
    // What a pumping handler held back runs from the message loop; a close last.
    m_reentry.SetCloseAction([this] { DestroyWindow(); });
    if (fw::CWinApp* app = fw::CWinApp::Current(); app && app->MainWindow() == this) app->SetReentryGuard(&m_reentry);
    modal::SetWatcher(&m_reentry);
    Trace(FormatText(L"started version=%d family=%d usb=%d", proc::windowsVersion, proc::modelFamily,
                     proc::usbKeyboardModel ? 1 : 0));
    return true;
}

LRESULT CValmoraDlg::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_VQ_RUN_HELD_BACK) return 0;  // the message loop runs the work after this
    LRESULT result = 0;
    if (m_reentry.MustDefer() && HoldBack(message, wParam, lParam, &result)) return result;
    return HandleMessage(message, wParam, lParam);
}

bool CValmoraDlg::HoldBack(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    *result = 0;
    if (message == WM_CLOSE || (message == WM_COMMAND && LOWORD(wParam) == IDC_QUIT)) {
        // Ended once the running handler has finished with every object.
        Trace(L"close held back");
        m_reentry.DeferClose();
        return true;
    }
    if (message == TrapkeyPs2Message() || message == WM_INPUT) {
        // The key's record is readable only now: decoded now, acted on later.
        DecodedKey key;
        if (m_router.DecodeKey(wParam, lParam, &key, result)) {
            *result = 1;  // answered as a key that arrives while another is handled
            if (!key.released) m_reentry.Defer([this, key] { m_router.HandleHeldBackKey(key); });
        }
        if (message == WM_INPUT) *result = fw::CDialogBase::WindowProc(message, wParam, lParam);
        return true;
    }
    const auto later = [this, message, wParam, lParam] { HandleMessage(message, wParam, lParam); };
    if (m_nUsbMessage != 0 && message == m_nUsbMessage) {
        *result = 1;
        m_reentry.Defer(later);
        return true;
    }
    switch (message) {
    case WM_VQ_SIBLING:
        // The menu program's questions are answered at once: they change nothing.
        for (const int question : {sibling::kMenuStatus, sibling::kMenuStatus71, sibling::kActiveDisplay,
                                   sibling::kConnectedDisplay}) {
            if (wParam == static_cast<WPARAM>(question)) return false;
        }
        m_reentry.Defer(later);
        return true;
    case WM_VQ_EXTKEY_ON:
    case WM_VQ_EXTKEY_OFF:  // in their order with the requests
        m_reentry.Defer(later);
        return true;
    case WM_TIMER:
        // A timer that fires again while held back runs once.
        m_reentry.Defer(later, (std::uint64_t{1} << 32) | static_cast<std::uint32_t>(wParam));
        return true;
    case audio::kMixerControlChangeMessage:
    case audio::kEndpointVolumeMessage:
        // A volume change may show the OSD (a new window); it is read once, afterwards.
        m_reentry.Defer(later, (std::uint64_t{2} << 32) | message);
        return true;
    default:
        return false;
    }
}

LRESULT CValmoraDlg::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == TrapkeyPs2Message()) return m_router.OnHookKey(wParam, lParam);
    if (m_nUsbMessage != 0 && message == m_nUsbMessage) return m_router.OnUsbHidKey(wParam, lParam);
    if (message == WM_VQ_PREPARE_OSD) {
        m_osdSlot.PrepareNext();
        return 0;
    }
    LRESULT result = 0;
    if (m_router.Route(message, wParam, lParam, &result)) return result;
    return fw::CDialogBase::WindowProc(message, wParam, lParam);
}

void CValmoraDlg::OnTimer(UINT_PTR id) {
    // Every expiry is traced, so that a timer left running shows from outside.
    Trace(FormatText(L"timer %d", static_cast<int>(id)));
    if (m_detection.OnTimer(id)) return;
    // The blocking periods after an action end here; each timer is a one-shot.
    switch (id) {
    case kTimerVolumeKey:
        KillTimer(id);
        m_keys.ClearVolumeKeyPending();
        m_router.SetLastConsumerVolumeKey(0);
        break;
    case kTimerNotice:
        m_keys.NoticeMessage(1);  // stops the timer
        break;
    case kTimerMiniUiLayout:
        KillTimer(id);
        if (m_miniUi.MiniUiShown()) m_miniUi.RefreshLayout();
        break;
    case kTimerWirelessBlock:
        KillTimer(id);
        m_keys.ClearWirelessKeyBlock();
        break;
    case kTimerEject:
        KillTimer(id);
        m_commands.OnEjectTimerExpired();
        break;
    case kTimerMce:
        KillTimer(id);
        m_keys.ClearMceFlag();
        break;
    case kTimerBrightnessBlock:
        KillTimer(id);
        m_keys.ClearBrightnessBlockCounter();
        Trace(L"\n[Br: Stop] End Timer\n");
        break;
    case kTimerTestCycle:
        KillTimer(id);
        m_testCycle.RunPass(m_lTestCycleArgument);
        SetTimer(id, kTestCycleNextMs);  // until the sibling's stop code
        break;
    default:
        // A timer nobody handles must not wake the program again.
        KillTimer(id);
        break;
    }
}

bool CValmoraDlg::OnCommand(UINT id, UINT notifyCode) {
    if (id == IDC_QUIT) {
        DestroyWindow();
        return true;
    }
    return id == IDC_TEST || id == IDC_BRDOWN || id == IDC_BRUP || id == IDC_WIRELESS || id == IDC_F4;
}

bool CValmoraDlg::OnSysCommand(UINT command) {
    if (command == SC_CLOSE) {
        ShowWindow(m_hWnd, SW_HIDE);
        return true;
    }
    return false;
}

void CValmoraDlg::PostNcDestroy() {
    // In this order: the RF (and wireless) selector, the display history,
    // the mini UI and the magnifier; the keyboard libraries; the message
    // and Num Lock windows; the image strips, the dispatcher, the OSD
    // window, the system information, the SRS and resolution selectors
    // and the display changer; COM; notifications.
    m_selectors.ReleaseRadioSelectors();
    m_detection.ReleaseHistory();
    m_miniUi.SetManager(nullptr);
    m_pMiniUIManager.reset();
    trapkey::Unhook();
    if (proc::usbKeyboardModel) trapkey::ReleaseUsbLibrary();
    if (proc::IsMenuNetbook()) m_unbuilt.DestroyNumLockWindow();
    m_osdSlot.ReleaseStrips();
    m_dispatcherPort.SetDispatcher(nullptr);
    m_pDispatcher.reset();
    m_osdSlot.Release();
    m_selectors.SetSystemInfo(nullptr);
    m_systemInfoPorts.SetSystemInfo(nullptr);
    m_pSystemInfo.reset();  // the audio object, then the firmware's withdrawal and library
    m_selectors.ReleaseDisplaySelectors();
    m_selectors.SetResolutionDisplay(nullptr, nullptr);
    m_resolutionDisplay.SetChanger(nullptr);
    m_displayPorts.SetChanger(nullptr);
    m_monitorIdentities.SetStore(nullptr);
    m_moduleDetection.SetStore(nullptr);
    m_pDisplayChanger.reset();
    CoUninitialize();
    m_commands.ReleaseDeviceNotification();
    if (fw::CWinApp* app = fw::CWinApp::Current(); app && app->MainWindow() == this) {
        app->SetMainWindow(nullptr);
        app->SetReentryGuard(nullptr);
        PostQuitMessage(0);
    }
    if (modal::Watcher() == &m_reentry) modal::SetWatcher(nullptr);
    delete this;
}

int CValmoraDlg::LanguageId() {
    if (auto* app = dynamic_cast<CValmoraApp*>(fw::CWinApp::Current())) return app->LanguageId();
    return CValmoraApp::MapLanguage(GetSystemDefaultLangID());
}

// --- The main window's own ports.

void CValmoraDlg::RestartTimer(UINT_PTR id, UINT elapseMs) {
    KillTimer(id);
    SetTimer(id, elapseMs);
}
void CValmoraDlg::StopTimer(UINT_PTR id) { KillTimer(id); }
void CValmoraDlg::PumpMessagesFor(int passes, int sleepMs) { m_reentry.Pump(passes, sleepMs); }
bool CValmoraDlg::Exists(osd::SelectionOwner owner) {
    if (owner == osd::SelectionOwner::DisplayChanger) return m_pDisplayChanger != nullptr;
    return m_selectors.Exists(owner);
}
bool CValmoraDlg::Pending(osd::SelectionOwner owner) {
    // For the display changer: a display switch is open.
    if (owner == osd::SelectionOwner::DisplayChanger) return m_pDisplayChanger && m_pDisplayChanger->Switching();
    return m_selectors.Pending(owner);
}
void CValmoraDlg::ClearPending(osd::SelectionOwner owner) {
    if (owner != osd::SelectionOwner::DisplayChanger) m_selectors.ClearPending(owner);
    else if (m_pDisplayChanger) m_pDisplayChanger->ClearSwitching();
}
void CValmoraDlg::ScheduleMakeAhead() {
    if (m_hWnd) PostMessageW(m_hWnd, WM_VQ_PREPARE_OSD, 0, 0);
}
void CValmoraDlg::RepaintScreen() {
    InvalidateRect(nullptr, nullptr, TRUE);
    PumpMessagesFor(5, 10);
}
void CValmoraDlg::ReloadUsbKeyboardLibrary() {
    trapkey::ReleaseUsbLibrary();
    trapkey::LoadUsbDevice(m_hWnd, &m_nUsbMessage);
}
