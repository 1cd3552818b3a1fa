#include "display/displaychanger.h"

#include <cwctype>
#include <iterator>
#include <string>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "common/siblingmessages.h"
#include "display/combinationcodes.h"
#include "display/resolutionladder.h"
#include "osd/osdmode.h"
#include "profiles/displayprofile.h"

namespace {

constexpr WORD kArchitectureX64 = 9;
constexpr DWORD kAfterChangeMs = 400;
constexpr DWORD kLadderStepMs = 200;
constexpr DWORD kBeforeRecheckMs = 500;
constexpr DWORD kRecheckRetryMs = 2000;
constexpr DWORD kMoveLeftDisplayMs = 2000;
constexpr DWORD kBrightnessStepMs = 30;
constexpr BYTE kTopBrightness = 8;
constexpr int kBrightnessRetries = 30;
// Connected-display state of the firmware on model family 8: CRT and second HDMI.
constexpr BYTE kFirmwareCrtAndHdmi = 11;
constexpr int kConnectedCrtSecondHdmi = 18;

// RestoreDefaultDisplay flags the changer serves itself.
constexpr int kRestoreBacklight = 0x8;
constexpr int kRestoreBrightness = 0x10;

bool Contains(const std::wstring& text, const wchar_t* part) { return text.find(part) != std::wstring::npos; }

std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(std::towupper(c));
    return text;
}

int OrientationDegrees(const DEVMODEW& mode) {
    return (mode.dmFields & DM_DISPLAYORIENTATION) ? static_cast<int>(mode.dmDisplayOrientation) * 90 : 0;
}

bool IsDefaultMode(int width, int height, int rotation, int depth) {
    return ((width == 1024 && height == 768) || (width == 768 && height == 1024)) && rotation == 0 && depth == 32;
}

}  // namespace

CDisplayChanger::CDisplayChanger(Ports ports) : m_ports(ports), m_modeSetting(ports.display) {}

CDisplayChanger::~CDisplayChanger() {
    // The Windows 7 component and the store reach the driver through this object.
    m_pWin7.reset();
    m_pProfile.reset();
    m_pDriver.reset();
}

bool CDisplayChanger::ChooseDriver(const DISPLAY_DEVICEW& adapter) {
    const std::wstring id = adapter.DeviceID;
    int vendor = graphicsvendor::kNone;
    if (Contains(id, L"VEN_8086")) {
        m_driverKind = DriverKind::Intel;
        vendor = graphicsvendor::kIntel;
    } else if (Contains(id, L"VEN_10DE")) {
        m_driverKind = proc::IsVistaOrLater() ? DriverKind::NvidiaVista : DriverKind::Nvidia;
        vendor = graphicsvendor::kNvidia;
    } else if (Contains(id, L"VEN_1002")) {
        m_driverKind = proc::IsVistaOrLater() ? DriverKind::AtiVista : DriverKind::Ati;
        vendor = graphicsvendor::kAti;
    } else {
        const std::wstring description = Upper(adapter.DeviceString);
        if (!Contains(description, L"VIA") && !Contains(description, L"S3G")) return false;
        m_driverKind = DriverKind::Via;
        vendor = graphicsvendor::kVia;
    }
    m_pDriver = m_ports.components.CreateDriver(m_driverKind);
    if (!m_pDriver) return false;  // a driver this build does not have: no driver
    m_nVendor = vendor;
    proc::graphicsVendor = vendor;
    return true;
}

int CDisplayChanger::InitDisplayChanger() {
    try {
        DISPLAY_DEVICEW adapter{};
        adapter.cb = sizeof adapter;
        if (!m_ports.display.EnumDisplayDevices(nullptr, 0, &adapter, 0) || !ChooseDriver(adapter)) {
            Trace(L"no driver");
            return 0;
        }
        if (proc::IsWindows7OrLater()) {
            m_pWin7 = m_ports.components.CreateWin7Component();
            if (m_pWin7) m_pWin7->InitDisplayConfig(this);
        }
        if (!proc::IsMenuNetbook()) {
            m_pProfile = m_ports.components.CreateProfileStore();
            if (m_pProfile) m_pProfile->Init(this, m_pWin7 ? m_pWin7->VideoSignals() : nullptr);
        }
        if (m_pDriver->Initialize()) {
            if (proc::IsWindows7OrLater() && m_nVendor == graphicsvendor::kIntel &&
                m_ports.components.NativeProcessorArchitecture() == kArchitectureX64) {
                m_bWin7Mode = 1;
            }
            return 1;
        }
        if (proc::IsWindows7OrLater()) {
            m_bWin7Mode = 1;
        } else {
            m_pDriver.reset();
            m_nVendor = graphicsvendor::kNone;
            proc::graphicsVendor = graphicsvendor::kNone;
        }
        return 0;
    } catch (...) {
        ReportCaught(L"CDisplayChanger::InitDisplayChanger()");
        return 0;
    }
}

void CDisplayChanger::SetRotationTarget(int target) {
    m_nRotationTarget = target;
    if (m_pDriver) m_pDriver->SetRotationTarget(target);
}

int CDisplayChanger::HasRegisteredProfile() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kPreferenceKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return 0;
    BYTE data[256] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, kRegisteredProfileValue, nullptr, &type, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || size == 0) return 0;
    if (type == REG_SZ || type == REG_EXPAND_SZ) return reinterpret_cast<const wchar_t*>(data)[0] != L'\0' ? 1 : 0;
    return 1;
}

int CDisplayChanger::GetConnectedDisplays() {
    if (!m_pDriver) return 0;
    m_nConnectedDisplay = 0;
    m_nActiveDisplay = 0;
    if (m_bWin7Mode && proc::IsWindows7OrLater() && m_pWin7) {
        for (int& status : m_pDriver->m_nDeviceStatus) status = devicestatus::kNotConnected;
        m_pWin7->GetConnectedCode(&m_nConnectedDisplay);
        m_pWin7->GetActiveCode(&m_nActiveDisplay);
        return m_nConnectedDisplay != 0 ? 1 : 0;
    }
    m_pDriver->GetConnectedDisplays();
    int* status = m_pDriver->m_nDeviceStatus;

    // The wireless display shows only in the Windows 7 configuration.
    constexpr int kHdmiIndex = 3, kWirelessIndex = 5;
    if (m_nVendor == graphicsvendor::kIntel && proc::IsWindows7OrLater() && m_pWin7 &&
        (status[kHdmiIndex] == devicestatus::kConnected || status[kHdmiIndex] == devicestatus::kActive)) {
        int copy[displaydevice::kCount];
        for (int i = 0; i < displaydevice::kCount; ++i) copy[i] = status[i];
        int connected = 0;
        m_pWin7->GetConnectedCode(&connected);
        if (status[kWirelessIndex] == devicestatus::kConnected) {
            m_nConnectedDisplay = connected;
            m_pWin7->GetActiveCode(&m_nActiveDisplay);
            return 1;
        }
        for (int i = 0; i < displaydevice::kCount; ++i) status[i] = copy[i];
    }

    const int* activeTable = m_nVendor == graphicsvendor::kVia ? m_pDriver->m_nDeviceEnabled : status;
    int connectedMask = 0;
    int activeMask = 0;
    for (int i = 0; i < displaydevice::kCount; ++i) {
        if (status[i] == devicestatus::kConnected || status[i] == devicestatus::kActive) connectedMask |= 1 << i;
        if (activeTable[i] == devicestatus::kActive) activeMask |= 1 << i;
    }
    m_nConnectedDisplay = combinationcodes::ConnectedCodeOfMask(connectedMask);
    m_nActiveDisplay = combinationcodes::ActiveCodeOfMask(activeMask);
    if (m_nActiveDisplay != combinationcodes::kNone && m_pDriver->IsDualView()) {
        m_nActiveDisplay += DualViewOffset();
    }
    Trace(FormatText(L"ConnectedDisplay=%d, ActiveDisplay=%d\n", m_nConnectedDisplay, m_nActiveDisplay));
    return m_nConnectedDisplay != 0 ? 1 : 0;
}

// Which display of an extended desktop is the primary one. The driver's
// tables name only the active outputs. On Windows 7 outside Windows 7 mode
// (an Intel notebook on a 32-bit Windows, another vendor's driver) the
// display configuration still knows whether the external output's source is
// the primary one; taking the panel as primary there would file the desktop
// under the other dual-view code and spoil that code's profile. The driver's
// status entries are left as the driver set them.
int CDisplayChanger::DualViewOffset() {
    if (!proc::IsWindows7OrLater() || !m_pWin7) return combination::kDualPanelPrimary;
    int copy[displaydevice::kCount];
    for (int i = 0; i < displaydevice::kCount; ++i) copy[i] = m_pDriver->m_nDeviceStatus[i];
    int code = 0;
    const bool read = m_pWin7->GetActiveCode(&code) != 0;
    for (int i = 0; i < displaydevice::kCount; ++i) m_pDriver->m_nDeviceStatus[i] = copy[i];
    const bool externalPrimary = read && combination::IsDualView(code) && code >= combination::kDualExternalPrimary;
    return externalPrimary ? combination::kDualExternalPrimary : combination::kDualPanelPrimary;
}

int CDisplayChanger::GetActiveDisplayWin7() {
    if (!m_pWin7 || !m_pWin7->GetActiveCode(&m_nActiveDisplay)) {
        ReportError(L"GetActiveDisplayWin7()");
        return 0;
    }
    return 1;
}

int CDisplayChanger::SelectDisplayCombination(int backward) {
    try {
        if (!m_pDriver) {
            ReportError(kNoDriverReport);
            return 0;
        }
        return PressSelection(
            m_ports.osd, m_bSwitching, kNoOsdReport,
            [this, backward](IDisplaySwitchOsd& osd) { return StepOpenSwitch(osd, backward); },
            [this](IDisplaySwitchOsd& osd) { return OpenSwitch(osd); });
    } catch (...) {
        ReportCaught(L"fail: SelectDisplayCombination()");
        return 0;
    }
}

SelectionStep CDisplayChanger::StepOpenSwitch(IDisplaySwitchOsd& osd, int backward) {
    if (!osd.IsShown() || osd.IsDestroyed()) {
        Trace(FormatText(L"display switch OSD gone: shown=%d destroyed=%d", osd.IsShown() ? 1 : 0,
                         osd.IsDestroyed() ? 1 : 0));
        m_bSwitching = false;
        return SelectionStep::Reopen;
    }
    if (osd.Mode() == osd::OsdMode::DisplaySwitcher && osd.AnimationRunning()) {
        return SelectionStep::Refused;  // the choice is being confirmed
    }
    if (osd.SetNextDisplayDevice(backward)) {
        osd.ShowNoActivate();
        return SelectionStep::Stepped;
    }
    Trace(L"display switch OSD refused a step");
    m_bSwitching = false;
    return SelectionStep::Reopen;
}

bool CDisplayChanger::OpenSwitch(IDisplaySwitchOsd& osd) {
    if (proc::IsMenuNetbook() && proc::IsVistaOrLater() && m_ports.shell.SkipFirmwareDisplays() == 0) {
        BYTE state = 0;
        m_ports.firmware.GetDisplayState(&state);
        m_ports.firmware.GetDisplayState(&state);
        m_nConnectedDisplay = state;
    } else {
        if (!osd.IsDestroyed()) osd.Hide();
        if (!GetConnectedDisplays()) {
            ReportError(L"GetConnectedDisplays");
            m_ports.shell.NoticeMessage(1);
            return false;
        }
        CountSecondHdmiBesideCrt();
    }
    m_bHasRegisteredProfile = HasRegisteredProfile();
    m_ports.shell.NoticeMessage(1);
    return osd.InitDisplaySwitching(m_nConnectedDisplay, m_nActiveDisplay, m_bHasRegisteredProfile != 0, *this) != 0;
}

void CDisplayChanger::ApplyDisplayCombination(int outputCode) { ChangeDisplayCombination(&outputCode, 1); }

int CDisplayChanger::ApplyWithFallback(int code, bool* changedOnLadder) {
    *changedOnLadder = false;
    if (m_pDriver->ChangeDisplayCombination(code)) {
        m_ports.shell.Wait(kAfterChangeMs);
        return 1;
    }
    ReportError(kFirstFailReport);
    for (size_t i = resolutionladder::kCount; i-- > 0;) {
        const Resolution& size = resolutionladder::kSizes[i];
        if (!m_modeSetting.ChangePrimaryDisplaySettings(size.width, size.height, 0, 0)) continue;
        m_ports.shell.Wait(kLadderStepMs);
        if (m_pDriver->ChangeDisplayCombination(code)) {
            *changedOnLadder = true;
            return 1;
        }
    }
    std::unique_ptr<IVistaTopology> topology = m_ports.components.CreateVistaTopology();
    int changed = 0;
    if (topology) {
        topology->InitTMM();
        m_ports.shell.Wait(kLadderStepMs);
        changed = topology->ChangeDisplayCombination(code);
    }
    topology.reset();
    if (!changed) {
        ReportError(kSecondFailReport);
        m_ports.shell.NoticeMessage(1);
        return 0;
    }
    m_ports.shell.Wait(kAfterChangeMs);
    return 1;
}

void CDisplayChanger::ChangeDisplayCombination(const int* codePointer, int repaint) {
    try {
        if (!m_pDriver) return;
        m_bSwitching = false;
        int code = 0;
        if (codePointer) {
            code = *codePointer;
        } else if (IDisplaySwitchOsd* osd = m_ports.osd.CurrentWindow(); osd && !osd->IsDestroyed()) {
            code = osd->GetSelectedDisplayMode();
        } else {
            ReportError(L"CDisplayChanger::ChangeDisplayCombination: no choice");
            return;
        }
        TellMenuBeforeChange();
        // "Display" tells the menu program the combination of this request.
        m_nLastRequested = code;
        if (code == combination::kSavedProfile) {
            if (HWND window = FindWindowW(nullptr, kDisplaySettingsTitle)) {
                PostMessageW(window, WM_VQ_SIBLING, kApplyRegisteredProfile, 0);
            }
        } else {
            if (!proc::IsMenuNetbook() && !m_pDriver->m_bKeepDisplaySettings) SaveCurrentDisplaySettings();
            BringSecondDisplayRight();
            bool changedOnLadder = false;
            if (!proc::IsWindows7OrLater()) {
                const bool profileChanges =
                    (m_nVendor == graphicsvendor::kNvidia && proc::IsVista()) ||
                    (m_nVendor == graphicsvendor::kVia && !proc::IsVistaOrLater() &&
                     (code == (combination::kDualPanelPrimary | combination::kPanelCrt) ||
                      code == (combination::kDualExternalPrimary | combination::kPanelCrt)));
                if (!profileChanges && !ApplyWithFallback(code, &changedOnLadder)) return;
                if (repaint) m_ports.shell.RepaintScreen();
            }
            // A combination the driver took only at a ladder size keeps that size.
            if (!proc::IsMenuNetbook() && !changedOnLadder) ApplyDisplayProfile(code);
        }
        TellMenuWhatShows();
        if (repaint) m_ports.shell.NoticeMessage(1);
        m_ports.shell.RunDisplayChangedCommand();
    } catch (...) {
        m_ports.shell.NoticeMessage(1);
        ReportCaught(L"CDisplayChanger::ChangeDisplayCombination");
    }
}

bool CDisplayChanger::ReadDisplay(int second, DisplayValues* values) {
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    if (!m_modeSetting.GetCurrentDisplayMode(second, &mode)) return false;
    values->width = static_cast<int>(mode.dmPelsWidth);
    values->height = static_cast<int>(mode.dmPelsHeight);
    values->depth = static_cast<int>(mode.dmBitsPerPel);
    values->frequency = static_cast<int>(mode.dmDisplayFrequency);
    values->rotation = OrientationDegrees(mode);
    values->position = mode.dmPosition;
    return true;
}

int CDisplayChanger::SaveCurrentDisplaySettings() {
    try {
        m_bDefaultMode = 0;
        // The active outputs now, not as the last key press saw them.
        GetConnectedDisplays();
        if (m_nActiveDisplay == combinationcodes::kNone) {
            ReportError(L"CDisplayChanger::SaveCurrentDisplaySettings(), NO_DEVICE==m_nActiveDisplay");
            return 0;
        }
        if (!m_pProfile) return 0;
        DisplayValues first, second;
        ReadDisplay(0, &first);
        m_bDefaultMode = IsDefaultMode(first.width, first.height, first.rotation, first.depth) ? 1 : 0;
        if (combination::IsDualView(m_nActiveDisplay)) {
            ReadDisplay(1, &second);
            m_bDefaultMode = IsDefaultMode(second.width, second.height, second.rotation, second.depth) ? 1 : 0;
        }
        int freqDenum = 0, freq2Denum = 0;
        if (proc::IsWindows7OrLater() && m_pWin7) {
            m_pWin7->GetActiveRefreshRates(m_nActiveDisplay, &first.frequency, &freqDenum, &second.frequency,
                                           &freq2Denum);
        }
        m_pProfile->SetDisplayProfile(m_nActiveDisplay, first.width, first.height, second.width, second.height,
                                      first.depth, second.depth, first.frequency, second.frequency, first.rotation,
                                      second.rotation, second.position.x, second.position.y, m_bDefaultMode, nullptr,
                                      freqDenum, freq2Denum);
        ReportError(FormatText(L"SaveCurrentDisplay=0x%03x, w=%d, h=%d, color=%d, freq=%d, rot=%d, w2=%d, h2=%d, "
                               L"color2=%d, freq2=%d, rot2=%d, %d, %d",
                               m_nActiveDisplay, first.width, first.height, first.depth, first.frequency,
                               first.rotation, second.width, second.height, second.depth, second.frequency,
                               second.rotation, second.position.x, second.position.y));
        return 1;
    } catch (...) {
        ReportCaught(L"fail: SaveCurrentDisplaySettings()");
        return 0;
    }
}

void CDisplayChanger::RestoreRotation(int second, int angle, bool twoDisplayProfile) {
    if (m_nVendor == graphicsvendor::kNvidia && !proc::IsVistaOrLater()) return;
    const int display = second ? 2 : 1;
    if (m_nVendor == graphicsvendor::kVia) {
        int current = 0;
        m_pDriver->GetDisplayRotation(1, &current);
        if (current != angle) m_pDriver->SetDisplayRotation(display, angle, second, 1);
        return;
    }
    if (proc::IsVistaOrLater() && twoDisplayProfile) {
        DisplayValues now;
        if (ReadDisplay(second, &now) && now.rotation == angle) return;
    }
    m_pDriver->SetDisplayRotation(display, angle, second, 1);
}

POINTL CDisplayChanger::SecondDisplayBesideFirst() {
    DisplayValues first, second;
    ReadDisplay(0, &first);
    if (ReadDisplay(1, &second) && (second.position.x != 0 || second.position.y != 0)) return second.position;
    // A second display at the origin would cover the first: right of it.
    return POINTL{first.width, 0};
}

bool CDisplayChanger::ReadProfile(int code, ProfileValues* profile) {
    int exists = 0;
    std::wstring key;
    if (!m_pProfile->FindDisplayHistory(code, &exists, &key)) return false;
    ReportError(FormatText(L"TargetDisplay=0x%03x, ExistProfile=%d", code, exists));
    if (!exists) return true;
    ProfileValues& p = *profile;
    int storedCode = 0;
    m_pProfile->GetDisplayHistory(key.c_str(), &storedCode, &p.size, &p.size2, &p.depth, &p.depth2, &p.freq, &p.freq2,
                                  &p.rot, &p.rot2, &p.position, &p.freqDenum, &p.freq2Denum);
    ReportError(FormatText(L"TargetDisplay=0x%03x, w=%d, h=%d, color=%d, freq=%d, rot=%d, w2=%d, h2=%d, "
                           L"color2=%d, freq2=%d, rot2=%d, %d, %d, Key=%s",
                           code, static_cast<int>(p.size.cx), static_cast<int>(p.size.cy), p.depth, p.freq, p.rot,
                           static_cast<int>(p.size2.cx), static_cast<int>(p.size2.cy), p.depth2, p.freq2, p.rot2,
                           static_cast<int>(p.position.x), static_cast<int>(p.position.y), key.c_str()));
    if (!key.empty() && (p.size.cx || p.size.cy || p.depth || p.freq)) {
        p.usable = true;
    } else {
        // An empty profile counts as none: its values are not rechecked either.
        p.size = p.size2 = SIZE{0, 0};
        p.depth = p.depth2 = p.freq = p.freq2 = 0;
    }
    return true;
}

void CDisplayChanger::ApplyStoredProfile(int code, const ProfileValues& p) {
    const int w = p.size.cx, h = p.size.cy, w2 = p.size2.cx, h2 = p.size2.cy;
    if (proc::IsWindows7OrLater()) {
        if (!m_pWin7 || !m_pWin7->ChangeDisplayEx(code, w, h, w2, h2, p.depth, p.depth2, p.freq, p.freq2, p.rot,
                                                  p.rot2, p.position.x, p.position.y, p.freqDenum, p.freq2Denum)) {
            ReportError(FormatText(L"fail: ChangeDisplayEx: w=%d, h=%d, color=%d, freq=%d // w2=%d, "
                                   L"h2=%d, color2=%d, freq2=%d",
                                   w, h, p.depth, p.freq, w2, h2, p.depth2, p.freq2));
        }
    } else if (p.depth2 != 0) {
        if (!m_modeSetting.ChangePrimaryDisplaySettings(w, h, p.depth, p.freq)) {
            ReportError(
                FormatText(L"fail: Dualview SetResolution: w=%d, h=%d, color=%d, freq=%d", w, h, p.depth, p.freq));
        }
        SetRotationTarget(0);
        RestoreRotation(0, p.rot, true);
        POINTL at{p.position.x, p.position.y};
        if (!m_modeSetting.ChangeSecondDisplaySettings(w2, h2, p.depth2, p.freq2, &at)) {
            ReportError(FormatText(L"fail: Dualview SetResolution2: w2=%d, h2=%d, color2=%d, freq2=%d", w2, h2,
                                   p.depth2, p.freq2));
        }
        SetRotationTarget(1);
        RestoreRotation(1, p.rot2, true);
    } else {
        if (!m_modeSetting.ChangePrimaryDisplaySettings(w, h, p.depth, p.freq)) {
            ReportError(FormatText(L"fail: SetResolution: w=%d, h=%d, color=%d, freq=%d", w, h, p.depth, p.freq));
        }
        SetRotationTarget(0);
        RestoreRotation(0, p.rot, false);
    }
}

// Without a profile: the configuration's own choice on Windows 7, else the
// default sizes of the combination; what was set is left in `p` for the recheck.
void CDisplayChanger::ApplyDefaultForCombination(int code, bool isDual, ProfileValues* p) {
    if (proc::IsWindows7OrLater()) {
        if (!m_pWin7 || !m_pWin7->ChangeDisplayEx(code, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)) {
            ReportError(L"fail: !bExistProfile");
        }
    } else if (isDual) {
        ApplyDefaultExtendedDesktop(p);
    } else if (!combination::IsDualView(code)) {
        p->size = SIZE{1024, 768};
        p->depth = 32;
        p->freq = 60;
        if (proc::IsWheelNetbook() && code == combination::kPanelCrt) {
            m_modeSetting.ChangePrimaryDisplaySettings(1024, 600, 32, 60);
            p->size.cy = 600;
        } else {
            m_modeSetting.ChangePrimaryDisplaySettings(1024, 768, 32, 60);
        }
        ReportError(L"no Profile: 1024x768");
    } else {
        ReportError(L"fail: !bExistProfile, setting DualView");
    }
}

// The extended desktop without a profile: the first display at the default
// profile's size, the second at 1024 x 768 beside it.
void CDisplayChanger::ApplyDefaultExtendedDesktop(ProfileValues* p) {
    SIZE screen{m_ports.display.GetSystemMetrics(SM_CXSCREEN), m_ports.display.GetSystemMetrics(SM_CYSCREEN)};
    p->size = screen;
    m_pProfile->GetDisplayHistory(kDefaultProfileKey, nullptr, &p->size, nullptr, &p->depth, nullptr, &p->freq,
                                  nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (p->size.cx != screen.cx || p->size.cy != screen.cy) {
        m_modeSetting.ChangePrimaryDisplaySettings(p->size.cx, p->size.cy, 32, 60);
    }
    DisplayValues second;
    if (!ReadDisplay(1, &second) || second.width != 1024 || second.height != 768) {
        m_modeSetting.ChangeSecondDisplaySettings(1024, 768, 32, 60, nullptr);
    }
    p->size2 = SIZE{1024, 768};
    p->depth2 = 32;
    p->freq2 = 60;
    POINTL beside = SecondDisplayBesideFirst();
    if (ReadDisplay(1, &second) && (second.position.x != beside.x || second.position.y != beside.y)) {
        m_modeSetting.ChangeSecondDisplaySettings(1024, 768, 32, 60, &beside);
    }
    p->position = POINT{beside.x, beside.y};
}

// A display that did not take its size is asked again, once more after a pause.
void CDisplayChanger::RecheckDisplay(int second, const wchar_t* label, const ProfileValues& p) {
    const int w = second ? p.size2.cx : p.size.cx, h = second ? p.size2.cy : p.size.cy;
    const int d = second ? p.depth2 : p.depth, f = second ? p.freq2 : p.freq;
    DisplayValues now;
    ReadDisplay(second, &now);
    if (now.width == w && now.height == h) return;
    ReportError(FormatText(L"%sRecheck Res%d: cx=%d, cy=%d, tx=%d, ty=%d", label, second + 1, now.width, now.height, w,
                           h));
    POINTL at{p.position.x, p.position.y};
    const bool changed = second ? m_modeSetting.ChangeSecondDisplaySettings(w, h, d, f, &at)
                                : m_modeSetting.ChangePrimaryDisplaySettings(w, h, d, f);
    if (changed) return;
    ReportError(FormatText(L"%sRecheck Res%d+", label, second + 1));
    m_ports.shell.Wait(kRecheckRetryMs);
    if (second) {
        m_modeSetting.ChangeSecondDisplaySettings(w, h, 0, 0, nullptr);
    } else {
        m_modeSetting.ChangePrimaryDisplaySettings(w, h, 0, 0);
    }
}

void CDisplayChanger::RecheckResolutions(const ProfileValues& p) {
    if (p.size2.cx != 0) {
        RecheckDisplay(0, L"Dualview ", p);
        RecheckDisplay(1, L"Dualview ", p);
    } else if (p.size.cx != 0) {
        RecheckDisplay(0, L"", p);
    }
}

int CDisplayChanger::ApplyDisplayProfile(int code) {
    try {
        if (!m_pDriver || !m_pProfile) return 0;
        const bool isDual = m_pDriver->IsDualView() != 0;
        DisplayValues current;
        ReadDisplay(isDual ? 1 : 0, &current);

        ProfileValues profile;
        if (!ReadProfile(code, &profile)) return 0;
        if (profile.usable) {
            ApplyStoredProfile(code, profile);
        } else {
            ApplyDefaultForCombination(code, isDual, &profile);
        }
        if (m_nPendingSide > kNoSide && isDual && combination::IsDualView(code)) {
            m_modeSetting.MoveDisplay(m_nPendingSide);
            m_nPendingSide = kNoSide;
        }
        if (!proc::IsWindows7OrLater()) {
            m_ports.shell.Wait(kBeforeRecheckMs);
            if (!m_pDriver->m_bKeepDisplaySettings) RecheckResolutions(profile);
        }
        InvalidateRect(nullptr, nullptr, TRUE);
        return 1;
    } catch (...) {
        ReportCaught(L"CDisplayChanger::ApplyDisplayProfile");
        return 0;
    }
}

void CDisplayChanger::PostToMenu(WPARAM code, LPARAM argument) {
    HWND menu = proc::IsWheelNetbook() ? FindWindowW(nullptr, kWheelMenuTitle) : FindWindowW(kMenuWindowClass, nullptr);
    if (!menu) {
        ReportError(kNoMenuReport);
        return;
    }
    PostMessageW(menu, WM_VQ_SIBLING, code, argument);
}

// The model families' workarounds around a change, by step: 1 before it, 2
// after it, 3 before the driver acts, 4 when the switch OSD opens.
int CDisplayChanger::WorkaroundFunction(int step) {
    switch (step) {
    case 1: TellMenuBeforeChange(); break;
    case 2: TellMenuWhatShows(); break;
    case 3: BringSecondDisplayRight(); break;
    case 4: CountSecondHdmiBesideCrt(); break;
    default: break;
    }
    return 1;
}

// The menu netbooks' menu program hears that a change begins.
void CDisplayChanger::TellMenuBeforeChange() {
    if (!proc::IsMenuNetbook()) return;
    if (HWND menu = FindWindowW(kMenuWindowClass, nullptr)) {
        PostMessageW(menu, WM_VQ_SIBLING, kMenuBeforeChange, 0);
    } else {
        ReportError(kNoMenuReport);
    }
}

// The families with the menu program keep the requested combination and tell
// the menu program what shows now.
void CDisplayChanger::TellMenuWhatShows() {
    if (!proc::IsUsbKeyboardFamily(proc::modelFamily)) return;
    settings::WriteInt(settings::kMenuDisplay, m_nLastRequested);
    GetConnectedDisplays();
    PostToMenu(kMenuActiveDisplay, m_nActiveDisplay);
}

// Families whose driver cannot switch with the second display left of the
// first move it right first.
void CDisplayChanger::BringSecondDisplayRight() {
    if (!proc::KeepsSecondDisplayRight()) return;
    DisplayValues second;
    if (ReadDisplay(1, &second) && second.position.x < 0) {
        m_modeSetting.MoveDisplay(2);
        m_ports.shell.Wait(kMoveLeftDisplayMs);
    }
}

// On the HDMI notebooks the driver sees the CRT alone where the firmware
// reports the CRT and the second HDMI connected: the switch offers both.
void CDisplayChanger::CountSecondHdmiBesideCrt() {
    if (!proc::IsHdmiNotebook() || m_nActiveDisplay != displaydevice::kCrt) return;
    BYTE state = 0;
    if (m_ports.firmware.GetDisplayState(&state) && state == kFirmwareCrtAndHdmi &&
        m_nConnectedDisplay != kFirmwareCrtAndHdmi) {
        m_nConnectedDisplay = kConnectedCrtSecondHdmi;
    }
}

void CDisplayChanger::RaiseBrightnessToTop() {
    if (!proc::IsVistaOrLater()) {
        m_ports.firmware.SetBrightness(kTopBrightness);
        return;
    }
    BYTE level = 0;
    m_ports.firmware.GetBrightness(&level);
    auto raise = [&] {
        while (level < kTopBrightness) {
            ++level;
            m_ports.firmware.SetBrightness(level);
            m_ports.shell.Wait(kBrightnessStepMs);
        }
    };
    raise();
    for (int attempt = 0; attempt < kBrightnessRetries; ++attempt) {
        if (!m_ports.firmware.GetBrightness(&level) || level == kTopBrightness) break;
        if (level > kTopBrightness) level = kTopBrightness - 1;
        raise();
    }
}

int CDisplayChanger::RestoreDefaultDisplay(int flags) {
    try {
        if (!m_pDriver) return 0;
        if (!proc::IsWindows7OrLater()) {
            m_pDriver->RestoreDefaultDisplay(flags);
        } else if (m_pWin7) {
            SIZE size{0, 0};
            int rot = 0;
            if (m_pProfile) {
                m_pProfile->GetDisplayHistory(kDefaultProfileKey, nullptr, &size, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, &rot, nullptr, nullptr, nullptr, nullptr);
            }
            if (flags & restoredefault::kNoRotation) rot = 0;
            if (flags & restoredefault::kNativeResolution) size = SIZE{0, 0};
            if (size.cx != 0) {
                m_pWin7->ChangeDisplayEx(displaydevice::kPanel, size.cx, size.cy, 0, 0, 0, 0, 0, 0, rot, 0, 0, 0, 0, 0);
            } else {
                m_pWin7->SetDisplayTopology(displaydevice::kPanel, size.cx, size.cy, 0, 0, 0, 0, 0, 0, rot, 0, 0, 0, 0,
                                            0, 0);
            }
        }
        if (flags & kRestoreBacklight) m_ports.firmware.SetBacklight(1);
        if (flags & kRestoreBrightness) RaiseBrightnessToTop();
        return 1;
    } catch (...) {
        ReportCaught(L"CDisplayChanger::RestoreDefaultDisplay");
        return 0;
    }
}

void CDisplayChanger::PresentationChange(const int (&activeOrder)[4], const int (&connectedOrder)[4],
                                         int repaintCode) {
    if (!m_pDriver) return;
    // CRT, HDMI, second HDMI, TV.
    constexpr int kOutputs[4] = {1, 3, 4, 2};
    const int* status = m_pDriver->m_nDeviceStatus;
    for (int pass = 0; pass < 2; ++pass) {
        for (int i = 0; i < 4; ++i) {
            const int s = status[kOutputs[i]];
            const bool hit = pass == 0 ? s == devicestatus::kActive
                                       : (s == devicestatus::kConnected || s == devicestatus::kActive);
            if (!hit) continue;
            const int code = pass == 0 ? activeOrder[i] : connectedOrder[i];
            ChangeDisplayCombination(&code, code == repaintCode ? 1 : 0);
            return;
        }
    }
}

void CDisplayChanger::SetPresentationDualView() {
    constexpr int kCodes[4] = {0x103, 0x109, 0x111, 0x105};
    PresentationChange(kCodes, kCodes, -1);
}

void CDisplayChanger::SetPresentationClone() {
    constexpr int kCodes[4] = {0x03, 0x09, 0x11, 0x05};
    PresentationChange(kCodes, kCodes, combination::kPanelTv);
}

// --- The Windows 7 component's and the profile store's side.

displayconfig::VideoSignalInfo CDisplayChanger::HeldVideoSignal() {
    if (!m_pProfile) return {};
    return displayconfig::FromSystemRecord(m_pProfile->VideoSignal());
}

void CDisplayChanger::ClearHeldVideoSignal() {
    if (m_pProfile) m_pProfile->ClearVideoSignal();
}

bool CDisplayChanger::CurrentMode(profiles::DisplayMode* mode) {
    DEVMODEW current{};
    current.dmSize = sizeof current;
    if (!m_modeSetting.GetCurrentDisplayMode(0, &current)) return false;
    mode->width = static_cast<int>(current.dmPelsWidth);
    mode->height = static_cast<int>(current.dmPelsHeight);
    mode->depth = static_cast<int>(current.dmBitsPerPel);
    mode->frequency = static_cast<int>(current.dmDisplayFrequency);
    mode->orientation =
        (current.dmFields & DM_DISPLAYORIENTATION) ? static_cast<int>(current.dmDisplayOrientation) : 0;
    return true;
}

bool CDisplayChanger::LargestResolution(SIZE* size) {
    int width = 0, height = 0;
    if (!m_modeSetting.GetMaxResolution(0, &width, &height)) return false;
    *size = SIZE{width, height};
    return true;
}

int CDisplayChanger::DriverMaxResolution(int outputIndex, int* width, int* height) {
    // A driver that reports an optimal size for its outputs (Intel) gives it;
    // every other driver's largest size is the largest listed mode.
    IOptimalOutputSizes* sizes = m_pDriver ? m_pDriver->OptimalOutputSizes() : nullptr;
    if (!sizes || !width || !height) return 0;
    return sizes->GetOptimalSize(outputIndex, width, height);
}
