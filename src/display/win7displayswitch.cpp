#include "display/win7displayswitch.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <utility>

#include "common/commondefine.h"
#include "common/processstate.h"

namespace dc = displayconfig;

namespace {

// Entries of the driver's status tables, in bit order.
namespace statusindex {
constexpr int kPanel = 0;
constexpr int kCrt = 1;
constexpr int kTv = 2;
constexpr int kHdmi = 3;
constexpr int kWirelessDisplay = 5;
}  // namespace statusindex

constexpr int kQueryAttempts = 3;  // the paths may change between sizing and reading
constexpr std::uint32_t kSmallPanelWidth = 1024;
constexpr std::uint32_t kSmallPanelHeight = 600;
constexpr int kFallbackDepth = 32;
constexpr int kFallbackFrequency = 60;

enum class Kind { Single, Clone, DualPanelPrimary, DualExternalPrimary, None };

Kind KindOf(int code) {
    switch (code) {
    case 0x01: case 0x02: case 0x04: case 0x08: case 0x10: case combination::kWirelessAlone:
        return Kind::Single;
    case 0x03: case 0x05: case 0x09: case 0x11: case combination::kWirelessClone:
        return Kind::Clone;
    case 0x103: case 0x105: case 0x109: case 0x111: case combination::kWirelessDualPanelPrimary:
        return Kind::DualPanelPrimary;
    case 0x203: case 0x205: case 0x209: case 0x211: case combination::kWirelessDualWirelessPrimary:
        return Kind::DualExternalPrimary;
    default:
        return Kind::None;
    }
}

// The device bit of the output a code shows besides the panel (the panel's
// own bit for the panel alone); 0 for a code that names no output.
int OutputOfCode(int code) {
    switch (KindOf(code)) {
    case Kind::Single:
        return code == combination::kWirelessAlone ? displaydevice::kWirelessDisplay : code;
    case Kind::None:
        return 0;
    default: {
        const int clone = code & 0xFF;
        return clone == combination::kWirelessClone ? displaydevice::kWirelessDisplay : clone & ~displaydevice::kPanel;
    }
    }
}

// The external output alone, for a clone code; 0 for any other code.
int CloneExternalAlone(int code) {
    if (KindOf(code) != Kind::Clone) return 0;
    return code == combination::kWirelessClone ? combination::kWirelessAlone : code & ~displaydevice::kPanel;
}

bool ExternalIsPrimary(int code) {
    switch (code) {
    case 0x02: case 0x04: case 0x08: case 0x10: case combination::kWirelessAlone:
    case 0x203: case 0x205: case 0x209: case 0x211: case combination::kWirelessDualWirelessPrimary:
        return true;
    default:
        return false;
    }
}

std::uint32_t PixelFormat(int depth) {
    switch (depth) {
    case 8: return dc::pixelformat::k8;
    case 16: return dc::pixelformat::k16;
    case 24: return dc::pixelformat::k24;
    default: return dc::pixelformat::k32;
    }
}

std::uint32_t Rotation(int degrees) {
    switch (degrees) {
    case 90: return dc::rotation::kRotate90;
    case 180: return dc::rotation::kRotate180;
    case 270: return dc::rotation::kRotate270;
    default: return dc::rotation::kIdentity;
    }
}

// A refresh rate of a path, when both parts are known.
void SetRefresh(dc::PathInfo* p, int numerator, int denominator) {
    if (numerator && denominator) {
        p->targetInfo.refreshRate = {static_cast<std::uint32_t>(numerator), static_cast<std::uint32_t>(denominator)};
    }
}

// Sizes are always handed over landscape: the larger value is the width.
void Landscape(int* w, int* h) {
    if (*h > *w) std::swap(*w, *h);
}

bool Contains(const std::wstring& text, const wchar_t* part) {
    std::wstring upper = text;
    std::transform(upper.begin(), upper.end(), upper.begin(), [](wchar_t c) { return std::towupper(c); });
    return upper.find(part) != std::wstring::npos;
}

// The target ids each vendor's driver is known to use.
struct VendorTargets {
    const wchar_t* vendorId;
    int vendor;
    CWin7DisplaySwitch::TargetIds ids;
};
constexpr std::uint32_t kNo = CWin7DisplaySwitch::kNoTarget;
const VendorTargets kAtiTargets{L"VEN_1002", win7vendor::kAti, {0x100, 0x101, 0x10000000, 0x102, 0x102, kNo}};
const VendorTargets kNvidiaTargets{L"VEN_10DE", win7vendor::kNvidia,
                                   {0x1000110, 0x1000100, 0x10000200, 0x1000111, 0x1000111, kNo}};
const CWin7DisplaySwitch::TargetIds kNvidiaIonLeTargets{0x2000110, 0x2000100, 0x20000200, 0x2000111, 0x2000111, kNo};
const VendorTargets kIntelTargets{L"VEN_8086", win7vendor::kIntel,
                                  {0x4070400, 0x1010100, 0x2090200, 0x3030300, 0x3030300, 0x3100B00}};
const VendorTargets kViaTargets{L"VEN_1106", win7vendor::kVia, {2, 1, 4, 16, 16, kNo}};
const VendorTargets* const kVendorTable[] = {&kAtiTargets, &kNvidiaTargets, &kIntelTargets, &kViaTargets};

dc::ModeInfo TargetModeRecord(std::uint32_t targetId, const dc::AdapterLuid& adapter, const dc::VideoSignalInfo& signal) {
    dc::ModeInfo mode;
    mode.infoType = dc::modekind::kTarget;
    mode.id = targetId;
    mode.adapterId = adapter;
    mode.targetMode = signal;
    return mode;
}

dc::ModeInfo SourceModeRecord(std::uint32_t sourceId, const dc::AdapterLuid& adapter, std::uint32_t width,
                              std::uint32_t height, std::uint32_t pixelFormat, std::int32_t x, std::int32_t y) {
    dc::ModeInfo mode;
    mode.infoType = dc::modekind::kSource;
    mode.id = sourceId;
    mode.adapterId = adapter;
    mode.sourceMode = {width, height, pixelFormat, x, y};
    return mode;
}

}  // namespace

CWin7DisplaySwitch::CWin7DisplaySwitch(dc::IDisplayConfigFunctions& functions, IDisplaySettings& display)
    : m_functions(functions), m_modeSetting(display), m_display(display) {}

bool CWin7DisplaySwitch::FunctionsUsable(const wchar_t* operation) {
    if (m_bFunctionsComplete) return true;
    ReportError(std::wstring(L"fail: ") + operation + L"() - the display configuration functions are missing");
    return false;
}

bool CWin7DisplaySwitch::Query(std::uint32_t flags, QueryResult* result) {
    for (int attempt = 0; attempt < kQueryAttempts; ++attempt) {
        std::uint32_t pathCount = 0, modeCount = 0;
        LONG status = m_functions.GetDisplayConfigBufferSizes(flags, &pathCount, &modeCount);
        if (status != ERROR_SUCCESS) {
            ReportError(FormatText(L"fail: GetDisplayConfigBufferSizes(0x%x) = %ld", flags, status));
            return false;
        }
        result->paths.assign(pathCount, dc::PathInfo{});
        result->modes.assign(modeCount, dc::ModeInfo{});
        status = m_functions.QueryDisplayConfig(flags, &pathCount, result->paths.data(), &modeCount,
                                                result->modes.data());
        if (status == ERROR_INSUFFICIENT_BUFFER) continue;
        if (status != ERROR_SUCCESS) {
            ReportError(FormatText(L"fail: QueryDisplayConfig(0x%x) = %ld", flags, status));
            return false;
        }
        // The counts come back as filled; never more than the buffers hold.
        result->paths.resize(std::min<size_t>(pathCount, result->paths.size()));
        result->modes.resize(std::min<size_t>(modeCount, result->modes.size()));
        return true;
    }
    ReportError(FormatText(L"fail: QueryDisplayConfig(0x%x) - the paths kept changing", flags));
    return false;
}

bool CWin7DisplaySwitch::TakeAdapterLuid(std::uint32_t flags) {
    QueryResult result;
    if (!Query(flags, &result)) return false;
    if (result.paths.empty()) {
        ReportError(L"fail: QueryDisplayConfig() - no path names the adapter");
        return false;
    }
    m_adapterLuid = result.paths.front().sourceInfo.adapterId;
    return true;
}

void CWin7DisplaySwitch::ChooseVendor() {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    for (DWORD index = 0; m_display.EnumDisplayDevices(nullptr, index, &device, 0); ++index) {
        const bool attached = (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
        const std::wstring deviceId = device.DeviceID;
        const std::wstring description = device.DeviceString;
        device = DISPLAY_DEVICEW{};
        device.cb = sizeof device;
        if (!attached) continue;
        for (const VendorTargets* vendor : kVendorTable) {
            if (!Contains(deviceId, vendor->vendorId)) continue;
            m_nVendor = vendor->vendor;
            m_targets = vendor->ids;
            if (vendor == &kNvidiaTargets && Contains(description, L"ION LE")) m_targets = kNvidiaIonLeTargets;
            return;
        }
        m_nVendor = win7vendor::kUnknown;
    }
}

void CWin7DisplaySwitch::RefineTargetIdsFromPaths(const QueryResult& result) {
    if (m_nVendor == win7vendor::kIntel) {
        // The driver numbers a second HDMI connector differently; the HDMI
        // paths before the one with the known id are that connector.
        for (const dc::PathInfo& path : result.paths) {
            if (path.targetInfo.outputTechnology != dc::technology::kHdmi) continue;
            if (path.targetInfo.id == m_targets.hdmi) break;
            m_targets.hdmi = m_targets.secondHdmi = kIntelAlternateHdmiId;
        }
        return;
    }
    for (const dc::PathInfo& path : result.paths) {
        const std::uint32_t id = path.targetInfo.id;
        switch (path.targetInfo.outputTechnology) {
        case dc::technology::kInternal: m_targets.panel = id; break;
        case dc::technology::kHd15: m_targets.crt = id; break;
        case dc::technology::kSVideo: m_targets.tv = id; break;
        case dc::technology::kHdmi: m_targets.hdmi = m_targets.secondHdmi = id; break;
        case dc::technology::kDvi:
            m_targets.hdmi = m_targets.secondHdmi = id;
            m_bDvi = true;
            break;
        default: break;
        }
    }
}

int CWin7DisplaySwitch::InitDisplayConfig(IWin7DisplayOwner* changer) {
    m_pOwner = changer;
    const std::vector<std::wstring> missing = m_functions.Load();
    for (const std::wstring& name : missing) ReportError(L"fail: InitDisplayConfig() - USER32.DLL has no " + name);
    m_bFunctionsComplete = missing.empty();
    QueryResult all;
    const bool havePaths = m_bFunctionsComplete && Query(dc::query::kAllPaths, &all);
    if (havePaths && !all.paths.empty()) {
        m_adapterLuid = all.paths.front().sourceInfo.adapterId;
    } else if (havePaths) {
        ReportError(L"fail: InitDisplayConfig() - no path names the adapter");
    }
    ChooseVendor();
    if (havePaths) RefineTargetIdsFromPaths(all);
    return 1;
}

int CWin7DisplaySwitch::RefreshTargetIds() {
    if (m_nVendor != win7vendor::kAti || !FunctionsUsable(L"RefreshTargetIds")) return 0;
    QueryResult all;
    if (!Query(dc::query::kAllPaths, &all)) return 0;
    if (!all.paths.empty()) m_adapterLuid = all.paths.front().sourceInfo.adapterId;
    RefineTargetIdsFromPaths(all);
    return 1;
}

bool CWin7DisplaySwitch::ReadPreferredMode(std::uint32_t targetId, dc::TargetPreferredMode* mode) {
    if (targetId == kNoTarget) return false;
    *mode = dc::TargetPreferredMode{};
    mode->header.type = dc::kDeviceInfoTargetPreferredMode;
    mode->header.size = sizeof *mode;
    mode->header.adapterId = m_adapterLuid;
    mode->header.id = targetId;
    return m_functions.DisplayConfigGetDeviceInfo(&mode->header) == ERROR_SUCCESS;
}

void CWin7DisplaySwitch::SetDriverStatus(int deviceIndex, int status) {
    CVGA* driver = m_pOwner ? m_pOwner->Driver() : nullptr;
    if (driver) driver->m_nDeviceStatus[deviceIndex] = status;
}

int CWin7DisplaySwitch::GetConnectedCode(int* code) {
    if (!code || !FunctionsUsable(L"GetConnectedCode")) return 0;
    SetDriverStatus(statusindex::kPanel, devicestatus::kConnected);
    auto probe = [this](std::uint32_t targetId, int deviceIndex) {
        dc::TargetPreferredMode mode;
        const bool connected = ReadPreferredMode(targetId, &mode);
        SetDriverStatus(deviceIndex, connected ? devicestatus::kConnected : devicestatus::kNotConnected);
        return connected;
    };
    const bool crt = probe(m_targets.crt, statusindex::kCrt);
    const bool hdmi = probe(m_targets.hdmi, statusindex::kHdmi);
    const bool tv = probe(m_targets.tv, statusindex::kTv);
    const bool widi = probe(m_targets.wirelessDisplay, statusindex::kWirelessDisplay);
    // The first line whose outputs are all connected names the set.
    struct Line {
        bool crt, hdmi, tv, widi;
        int code;
    };
    static constexpr Line kLines[] = {
        {true, true, true, false, 15}, {true, true, false, true, 30}, {true, true, false, false, 11},
        {true, false, true, false, 7},  {true, false, false, true, 26}, {true, false, false, false, 3},
        {false, true, true, false, 13}, {false, true, false, true, 27}, {false, true, false, false, 9},
        {false, false, true, true, 28}, {false, false, true, false, 5}, {false, false, false, true, 25},
    };
    int result = 1;
    for (const Line& line : kLines) {
        if ((!line.crt || crt) && (!line.hdmi || hdmi) && (!line.tv || tv) && (!line.widi || widi)) {
            result = line.code;
            break;
        }
    }
    *code = result;
    return 1;
}

int CWin7DisplaySwitch::GetActiveCode(int* code) {
    if (!code || !FunctionsUsable(L"GetActiveCode")) return 0;
    QueryResult active;
    if (!Query(dc::query::kOnlyActivePaths, &active)) return 0;
    bool panel = false;
    const dc::PathInfo* panelPath = nullptr;
    for (const dc::PathInfo& path : active.paths) {
        if (path.targetInfo.id != m_targets.panel) continue;
        panel = true;
        panelPath = &path;
        SetDriverStatus(statusindex::kPanel, devicestatus::kActive);
    }
    struct External {
        std::uint32_t id;
        int device;
        int statusIndex;  // -1: counts nothing
    };
    const External externals[] = {
        {m_targets.crt, displaydevice::kCrt, statusindex::kCrt},
        {m_targets.tv, displaydevice::kTv, statusindex::kTv},
        {m_targets.hdmi, displaydevice::kHdmi, statusindex::kHdmi},
        {m_targets.secondHdmi, displaydevice::kSecondHdmi, -1},
        {m_targets.wirelessDisplay, displaydevice::kWirelessDisplay, statusindex::kWirelessDisplay},
    };
    int external = 0;
    for (const dc::PathInfo& path : active.paths) {
        for (const External& candidate : externals) {
            if (candidate.id == kNoTarget || path.targetInfo.id != candidate.id) continue;
            if (candidate.statusIndex >= 0) {
                external = candidate.device;
                SetDriverStatus(candidate.statusIndex, devicestatus::kActive);
            }
            break;
        }
    }
    int result = 0;
    switch (external) {
    case displaydevice::kCrt: result = panel ? 0x03 : 0x02; break;
    case displaydevice::kTv: result = panel ? 0x05 : 0x04; break;
    case displaydevice::kHdmi: result = panel ? 0x09 : 0x08; break;
    case displaydevice::kWirelessDisplay:
        result = panel ? combination::kWirelessClone : combination::kWirelessAlone;
        break;
    default: result = panel ? 0x01 : 0x00; break;
    }
    int attached = 0;
    m_modeSetting.IsSecondDisplayAttached(&attached);
    if (attached) {
        // The primary display is the source at the origin: when the
        // panel's source is elsewhere, the external output is primary.
        bool panelAway = false;
        if (panelPath && external && panelPath->sourceInfo.modeInfoIdx < active.modes.size()) {
            const dc::ModeInfo& source = active.modes[panelPath->sourceInfo.modeInfoIdx];
            panelAway = source.infoType == dc::modekind::kSource &&
                        (source.sourceMode.x != 0 || source.sourceMode.y != 0);
        }
        result += panelAway ? combination::kDualExternalPrimary : combination::kDualPanelPrimary;
    }
    *code = result;
    return 1;
}

int CWin7DisplaySwitch::GetActiveRefreshRates(int code, int* freq, int* freqDenum, int* freq2, int* freq2Denum) {
    int* outputs[] = {freq, freqDenum, freq2, freq2Denum};
    for (int* output : outputs) {
        if (output) *output = 0;
    }
    if (!FunctionsUsable(L"GetActiveRefreshRates")) return 0;
    QueryResult active;
    if (!Query(dc::query::kOnlyActivePaths, &active)) return 0;
    dc::Rational panel, other;
    for (const dc::PathInfo& path : active.paths) {
        (path.targetInfo.id == m_targets.panel ? panel : other) = path.targetInfo.refreshRate;
    }
    const dc::Rational& first = ExternalIsPrimary(code) ? other : panel;
    const dc::Rational& second = ExternalIsPrimary(code) ? panel : other;
    if (freq) *freq = static_cast<int>(first.numerator);
    if (freqDenum) *freqDenum = static_cast<int>(first.denominator);
    if (freq2) *freq2 = static_cast<int>(second.numerator);
    if (freq2Denum) *freq2Denum = static_cast<int>(second.denominator);
    return 1;
}

std::uint32_t CWin7DisplaySwitch::TargetOfOutput(int device) const {
    switch (device) {
    case displaydevice::kPanel: return m_targets.panel;
    case displaydevice::kCrt: return m_targets.crt;
    case displaydevice::kTv: return m_targets.tv;
    case displaydevice::kHdmi: return m_targets.hdmi;
    case displaydevice::kSecondHdmi: return m_targets.secondHdmi;
    case displaydevice::kWirelessDisplay: return m_targets.wirelessDisplay;
    default: return kNoTarget;
    }
}

std::uint32_t CWin7DisplaySwitch::TargetOfCode(int code) const {
    const int device = OutputOfCode(code);
    return TargetOfOutput(device == 0 ? displaydevice::kPanel : device);
}

std::uint32_t CWin7DisplaySwitch::TechnologyOfTarget(std::uint32_t targetId) const {
    if (targetId == m_targets.panel) return dc::technology::kInternal;
    if (targetId == m_targets.crt) return dc::technology::kHd15;
    if (targetId == m_targets.tv) return dc::technology::kSVideo;
    if (targetId == m_targets.hdmi || targetId == m_targets.secondHdmi) {
        return m_bDvi ? dc::technology::kDvi : dc::technology::kHdmi;
    }
    return dc::technology::kHdmi;  // the wireless display
}

int CWin7DisplaySwitch::GetTargetSignalInfo(int code, dc::VideoSignalInfo* signal) {
    if (!signal || !FunctionsUsable(L"GetTargetSignalInfo")) return 0;
    const std::uint32_t target = TargetOfCode(code);
    QueryResult active;
    if (target == kNoTarget || !Query(dc::query::kOnlyActivePaths, &active)) return 0;
    // Source and target ids may be equal: only a target record is a timing.
    for (const dc::ModeInfo& mode : active.modes) {
        if (mode.infoType == dc::modekind::kTarget && mode.id == target) {
            *signal = mode.targetMode;
            return 1;
        }
    }
    return 0;
}

bool CWin7DisplaySwitch::GetVideoSignalInfo(int combinationCode, DISPLAYCONFIG_VIDEO_SIGNAL_INFO* signal) {
    dc::VideoSignalInfo read;
    if (!signal || !GetTargetSignalInfo(combinationCode, &read)) return false;
    *signal = dc::ToSystemRecord(read);
    return true;
}

void CWin7DisplaySwitch::ClearSavedSignal() {
    m_savedSignal = dc::VideoSignalInfo{};
    m_savedSignalTarget = kNoTarget;
}

void CWin7DisplaySwitch::DetermineSmallPanel() {
    dc::TargetPreferredMode mode;
    // Unread, the panel stays undetermined and is asked again next time.
    if (!ReadPreferredMode(m_targets.panel, &mode)) return;
    m_nSmallPanel = (mode.width > kSmallPanelWidth || mode.height > kSmallPanelHeight) ? 0 : 1;
}

int CWin7DisplaySwitch::DriverFallback(int code) {
    CVGA* driver = m_pOwner ? m_pOwner->Driver() : nullptr;
    if (driver && driver->ChangeDisplayCombination(code)) {
        ReportError(kDriverSuccessReport);
        return 1;
    }
    ReportError(kDriverFailReport);
    return 0;
}

int CWin7DisplaySwitch::ChangeDisplayEx(int code, int w, int h, int w2, int h2, int depth, int depth2, int freq,
                                        int freq2, int rot, int rot2, int x, int y, int freqDenum, int freq2Denum) {
    if (!m_pOwner) return 0;
    ClearSavedSignal();
    if (!m_bFunctionsComplete) {
        ReportError(L"fail: ChangeDisplayEx() - the display configuration functions are missing");
        return DriverFallback(code);
    }
    if (code == displaydevice::kPanel && proc::auditMode) {
        m_pOwner->ClearHeldVideoSignal();
        if (SetDisplayTopology(code, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)) return 1;
        ReportError(kAuditPanelReport);
    }
    bool profileFailed = false;
    const dc::VideoSignalInfo held = m_pOwner->HeldVideoSignal();
    if (held.pixelRate != 0) {
        // The profile's signal is the timing of the output its code names.
        m_savedSignal = held;
        m_savedSignalTarget = TargetOfCode(code);
        m_pOwner->ClearHeldVideoSignal();
        if (SetDisplayTopology(code, w, h, w2, h2, depth, depth2, freq, freq2, rot, rot2, x, y, freqDenum,
                               freq2Denum, 0)) {
            return 1;
        }
        profileFailed = true;
        ClearSavedSignal();
        w = h = 0;
    }
    int alone = CloneExternalAlone(code);
    if (!alone) {
        if (SetDisplayTopology(code, w, h, w2, h2, depth, depth2, freq, freq2, rot, rot2, x, y, freqDenum,
                               freq2Denum, 0)) {
            return 1;
        }
        ReportError(kNoCloneReport);
        if (m_nVendor != win7vendor::kAti) return DriverFallback(code);
        alone = displaydevice::kPanel;
    }
    // The output alone first, so that its live timing can be read and
    // the clone built from it.
    ClearSavedSignal();
    SetDisplayTopology(alone, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1);
    if (m_nSmallPanel == kSmallPanelUnknown) DetermineSmallPanel();
    if (w == 0 || profileFailed) {
        const bool small = m_nSmallPanel == 1;
        w = small ? 800 : 1024;
        h = small ? 600 : 768;
    }
    m_modeSetting.ChangePrimaryDisplaySettings(w, h, kFallbackDepth, kFallbackFrequency);
    const std::uint32_t aloneTarget = TargetOfCode(alone);
    QueryResult active;
    if (aloneTarget != kNoTarget && Query(dc::query::kOnlyActivePaths, &active)) {
        for (const dc::ModeInfo& mode : active.modes) {
            if (mode.infoType == dc::modekind::kTarget && mode.id == aloneTarget) {
                m_savedSignal = mode.targetMode;
                m_savedSignalTarget = aloneTarget;
                break;
            }
        }
    }
    if (SetDisplayTopology(code, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0)) return 1;
    ReportError(kCloneFailReport);
    if (m_nVendor == win7vendor::kAti) return 0;
    return DriverFallback(code);
}

bool CWin7DisplaySwitch::OutputTiming(std::uint32_t targetId, Timing* timing) {
    if (m_savedSignal.pixelRate != 0 && m_savedSignalTarget == targetId) {
        timing->signal = m_savedSignal;
        timing->width = m_savedSignal.activeSize.cx;
        timing->height = m_savedSignal.activeSize.cy;
        timing->fromSavedSignal = true;
        return true;
    }
    dc::TargetPreferredMode preferred;
    if (!ReadPreferredMode(targetId, &preferred)) return false;
    timing->signal = preferred.targetMode;
    timing->width = preferred.width;
    timing->height = preferred.height;
    timing->fromSavedSignal = false;
    return true;
}

// One active path of a configuration from a source to a target, as the
// component builds every path: stretched, progressive, available.
dc::PathInfo CWin7DisplaySwitch::PathBetween(std::uint32_t sourceId, std::uint32_t sourceMode,
                                             std::uint32_t sourceStatus, std::uint32_t targetId,
                                             std::uint32_t targetMode, std::uint32_t targetStatus,
                                             int degrees) const {
    dc::PathInfo p;
    p.sourceInfo.adapterId = m_adapterLuid;
    p.sourceInfo.id = sourceId;
    p.sourceInfo.modeInfoIdx = sourceMode;
    p.sourceInfo.statusFlags = sourceStatus;
    p.targetInfo.adapterId = m_adapterLuid;
    p.targetInfo.id = targetId;
    p.targetInfo.modeInfoIdx = targetMode;
    p.targetInfo.outputTechnology = TechnologyOfTarget(targetId);
    p.targetInfo.rotation = Rotation(degrees);
    p.targetInfo.scaling = dc::kScalingStretched;
    p.targetInfo.scanLineOrdering = dc::kScanLineProgressive;
    p.targetInfo.targetAvailable = 1;
    p.targetInfo.statusFlags = targetStatus;
    p.flags = dc::kPathActive;
    return p;
}

bool CWin7DisplaySwitch::Build(const Request& r, Configuration* configuration) {
    const Kind kind = KindOf(r.code);
    if (kind == Kind::None) return false;
    int w = r.w, h = r.h, w2 = r.w2, h2 = r.h2;
    Landscape(&w, &h);
    Landscape(&w2, &h2);
    const std::uint32_t panel = m_targets.panel;
    const std::uint32_t output = TargetOfOutput(OutputOfCode(r.code));
    if (panel == kNoTarget || output == kNoTarget) return false;

    constexpr std::uint32_t kSingleStatus = 3, kPlainStatus = 1;
    configuration->paths.clear();
    configuration->modes.clear();

    Timing timing;
    if (!OutputTiming(output, &timing)) return false;
    const bool given = timing.fromSavedSignal && w && h;
    if (kind == Kind::Single) {
        const std::uint32_t width = given ? w : timing.width, height = given ? h : timing.height;
        configuration->modes = {TargetModeRecord(output, m_adapterLuid, timing.signal),
                                SourceModeRecord(0, m_adapterLuid, width, height, PixelFormat(r.depth), 0, 0)};
        dc::PathInfo only = PathBetween(0, 1, kSingleStatus, output, 0, kSingleStatus, r.rot);
        SetRefresh(&only, r.freq, r.freqDenum);
        configuration->paths = {only};
        return true;
    }

    dc::TargetPreferredMode panelPreferred;
    if (!ReadPreferredMode(panel, &panelPreferred)) return false;
    if (kind == Kind::Clone) {
        const bool small = m_nSmallPanel == 1;
        const std::uint32_t width = given ? w : (small ? 800 : 1024), height = given ? h : (small ? 600 : 768);
        configuration->modes = {TargetModeRecord(panel, m_adapterLuid, panelPreferred.targetMode),
                                SourceModeRecord(0, m_adapterLuid, width, height, PixelFormat(r.depth), 0, 0),
                                TargetModeRecord(output, m_adapterLuid, timing.signal)};
        configuration->paths = {PathBetween(0, 1, kPlainStatus, panel, 0, kPlainStatus, r.rot),
                                PathBetween(0, 1, kPlainStatus, output, 2, kPlainStatus, r.rot)};
        return true;
    }

    // Dual view: the primary display is source 0 at the origin, the other
    // source 1 beside it. With the external output primary it comes first.
    const bool externalFirst = kind == Kind::DualExternalPrimary;
    struct Side {
        std::uint32_t target;
        dc::VideoSignalInfo signal;
        std::uint32_t width, height;  // when no size is given
    };
    const Side panelSide{panel, panelPreferred.targetMode, panelPreferred.width, panelPreferred.height};
    const Side outputSide{output, timing.signal, timing.width, timing.height};
    const Side& first = externalFirst ? outputSide : panelSide;
    const Side& second = externalFirst ? panelSide : outputSide;
    const bool secondGiven = timing.fromSavedSignal && w2 && h2;
    const std::uint32_t width = given ? w : first.width, height = given ? h : first.height;
    const std::uint32_t width2 = secondGiven ? w2 : second.width, height2 = secondGiven ? h2 : second.height;
    const bool placed = given && secondGiven;
    const std::int32_t x = placed ? r.x : static_cast<std::int32_t>(width), y = placed ? r.y : 0;
    configuration->modes = {TargetModeRecord(first.target, m_adapterLuid, first.signal),
                            SourceModeRecord(0, m_adapterLuid, width, height, PixelFormat(r.depth), 0, 0),
                            TargetModeRecord(second.target, m_adapterLuid, second.signal),
                            SourceModeRecord(1, m_adapterLuid, width2, height2, PixelFormat(r.depth2), x, y)};
    dc::PathInfo firstPath = PathBetween(0, 1, kPlainStatus, first.target, 0,
                                         first.target == output ? kSingleStatus : kPlainStatus, r.rot);
    dc::PathInfo secondPath = PathBetween(1, 3, kPlainStatus, second.target, 2,
                                          second.target == output ? kSingleStatus : kPlainStatus, r.rot2);
    SetRefresh(&firstPath, r.freq, r.freqDenum);
    SetRefresh(&secondPath, r.freq2, r.freq2Denum);
    configuration->paths = {firstPath, secondPath};
    return true;
}

int CWin7DisplaySwitch::SetDisplayTopology(int code, int w, int h, int w2, int h2, int depth, int depth2, int freq,
                                           int freq2, int rot, int rot2, int x, int y, int freqDenum, int freq2Denum,
                                           int applyDirectly) {
    if (!FunctionsUsable(L"SetDisplayTopology")) return 0;
    const Request request{code, w, h, w2, h2, depth, depth2, freq, freq2, rot, rot2, x, y, freqDenum, freq2Denum};
    constexpr std::uint32_t kSupplied = dc::apply::kUseSuppliedConfig;
    for (int pass = 1; pass <= 2; ++pass) {
        if (m_adapterLuid.highPart == -1) TakeAdapterLuid(dc::query::kDatabaseCurrent);
        Configuration configuration;
        // Without the adapter no path can name it.
        const bool built = m_adapterLuid.highPart != -1 && Build(request, &configuration);
        LONG result = ERROR_GEN_FAILURE;
        bool applied = false;
        if (built) {
            const auto pathCount = static_cast<std::uint32_t>(configuration.paths.size());
            const auto modeCount = static_cast<std::uint32_t>(configuration.modes.size());
            if (applyDirectly) {
                result = m_functions.SetDisplayConfig(pathCount, configuration.paths.data(), modeCount,
                                                      configuration.modes.data(), dc::apply::kApply | kSupplied);
                applied = result == ERROR_SUCCESS;
            } else {
                result = m_functions.SetDisplayConfig(pathCount, configuration.paths.data(), modeCount,
                                                      configuration.modes.data(), dc::apply::kValidate | kSupplied);
                if (result == ERROR_SUCCESS) {
                    // A valid configuration can still fail to apply: only a
                    // successful apply counts.
                    result = m_functions.SetDisplayConfig(
                        pathCount, configuration.paths.data(), modeCount, configuration.modes.data(),
                        dc::apply::kApply | kSupplied | dc::apply::kSaveToDatabase);
                    applied = result == ERROR_SUCCESS;
                }
            }
        }
        if (applied) {
            Trace(FormatText(L"SetDisplayConfig() = %ld\n", result));
            ClearSavedSignal();
            return 1;
        }
        if (pass == 1 && m_nVendor == win7vendor::kAti && RefreshTargetIds()) continue;
        break;
    }
    return ApplyStockTopology(code);
}

int CWin7DisplaySwitch::ApplyStockTopology(int code) {
    ReportError(kTryTopologyReport);
    std::uint32_t topology = 0;
    switch (KindOf(code)) {
    case Kind::Single:
        topology = code == displaydevice::kPanel ? dc::apply::kTopologyInternal : dc::apply::kTopologyExternal;
        break;
    case Kind::Clone: topology = dc::apply::kTopologyClone; break;
    case Kind::DualPanelPrimary:
    case Kind::DualExternalPrimary: topology = dc::apply::kTopologyExtend; break;
    case Kind::None: break;
    }
    // A code without a stock topology is not applied.
    const LONG result =
        topology ? m_functions.SetDisplayConfig(0, nullptr, 0, nullptr, dc::apply::kApply | topology) : ERROR_INVALID_PARAMETER;
    if (result != ERROR_SUCCESS) {
        ReportError(kTopologyFailReport);
        return 0;
    }
    ClearSavedSignal();
    return 1;
}
