#include "display/drivers/intel.h"

#include <cwchar>
#include <iterator>
#include <memory>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "common/siblingmessages.h"

using Microsoft::WRL::ComPtr;
using namespace intelgfx;

namespace {

constexpr wchar_t kFirstDisplay[] = L"\\\\.\\DISPLAY1";
constexpr wchar_t kSecondDisplay[] = L"\\\\.\\DISPLAY2";
// The device records name the displays in this spelling.
constexpr wchar_t kFirstRecordName[] = L"\\\\.\\Display1";
constexpr wchar_t kSecondRecordName[] = L"\\\\.\\Display2";
constexpr int kDegreesPerStep = 90;
constexpr int kRotationSteps = 4;

// A display name as the component takes it.
class ComText {
public:
    explicit ComText(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~ComText() { SysFreeString(m_text); }
    ComText(const ComText&) = delete;
    ComText& operator=(const ComText&) = delete;
    BSTR Get() const { return m_text; }

private:
    BSTR m_text;
};

// Pairs CoInitialize with CoUninitialize only where it took effect (on the
// program's multithreaded thread it returns RPC_E_CHANGED_MODE).
class ComInitialization {
public:
    ComInitialization() : m_initialized(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComInitialization() {
        if (m_initialized) CoUninitialize();
    }
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

private:
    bool m_initialized;
};

// The one mapping from the enumeration's device state to the engine's status.
int ToDeviceStatus(std::uint32_t state) {
    if (state >= devicestate::kFirstActive) return devicestatus::kActive;
    if (state >= devicestate::kFirstConnected) return devicestatus::kConnected;
    return devicestatus::kNotConnected;
}

// Index of an output in the status tables (bit order), -1 for none.
int StatusIndex(int deviceBit) {
    for (int index = 0; index < displaydevice::kCount; ++index) {
        if (deviceBit == (1 << index)) return index;
    }
    return -1;
}

DeviceRecord SingleRecord(const wchar_t* displayName, std::uint32_t deviceId) {
    DeviceRecord record{};
    record.size = sizeof record;
    wcsncpy(record.displayName, displayName, kDisplayNameChars - 1);
    record.mode = kModeSingle;
    record.deviceCount = 1;
    record.primaryDeviceId = deviceId;
    record.firstDeviceId = deviceId;
    return record;
}

// The rotation index of an angle in the Windows direction, -1 for an angle
// that is not a quarter turn.
int RotationIndex(int angle) {
    if (angle < 0 || angle % kDegreesPerStep != 0 || angle / kDegreesPerStep >= kRotationSteps) return -1;
    return angle / kDegreesPerStep;
}

}  // namespace

CIntel::CIntel(HWND mainWindow, IDisplaySettings& display) : CVGA(display), m_hMainWindow(mainWindow) {
    OfferCapabilities(this, this);
}

CIntel::~CIntel() = default;

int CIntel::Initialize() {
    m_pCUIDownScale.Reset();
    m_pCUIExternal.Reset();
    m_bInitFailed = 0;
    if (FAILED(CLSIDFromProgID(kProgId, &m_clsid))) {
        m_bInitFailed = 1;
        ReportError(kInitFailedReport);
        return 0;
    }
    const HRESULT created = CoCreateInstance(m_clsid, nullptr, kCreationContext, kMainInterfaceId,
                                             reinterpret_cast<void**>(m_pCUIExternal.ReleaseAndGetAddressOf()));
    if (FAILED(created) || !m_pCUIExternal) {
        // Registered but not loadable: as unusable as a missing component.
        m_pCUIExternal.Reset();
        m_bInitFailed = 1;
        ReportError(FormatText(L"fail: Initialize() CoCreateInstance 0x%08lx", static_cast<unsigned long>(created)));
        ReportError(kInitFailedReport);
        return 0;
    }
    FetchDeviceIds();
    return 1;
}

int CIntel::GetVendor() { return graphicsvendor::kIntel; }

bool CIntel::InitFailed() {
    if (!m_bInitFailed && m_pCUIExternal) return false;
    ReportError(kInitFailedReport);
    return true;
}

bool CIntel::EnumerateDevice(const wchar_t* display, ULONG index, Device* device) {
    const ComText name(display);
    ULONG id = 0, type = 0, state = 0;
    if (!name.Get() || m_pCUIExternal->EnumAttachableDevices(name.Get(), index, &id, &type, &state) != S_OK) {
        return false;
    }
    *device = {static_cast<std::uint32_t>(id), static_cast<std::uint32_t>(type), static_cast<std::uint32_t>(state)};
    return true;
}

bool CIntel::FindDeviceOfType(const wchar_t* display, int type, std::uint32_t* id) {
    for (ULONG index = 0; index < kEnumeratedPerDisplay; ++index) {
        Device device;
        if (EnumerateDevice(display, index, &device) && device.id != 0 && device.type == static_cast<std::uint32_t>(type)) {
            *id = device.id;
            return true;
        }
    }
    return false;
}

// The ids are worked out afresh every time: a hot-plugged output may come
// back under another id, and an output that went away must not keep one.
void CIntel::FetchDeviceIds() {
    struct Wanted {
        int type;
        std::uint32_t* id;
    };
    const Wanted wanted[] = {{devicetype::kPanel, &m_nPanelId},
                             {devicetype::kCrt, &m_nCrtId},
                             {devicetype::kTv, &m_nTvId},
                             {devicetype::kHdmi, &m_nHdmiId}};
    int dualView = -1;  // asked once, when first needed
    for (const Wanted& device : wanted) {
        *device.id = 0;
        if (FindDeviceOfType(kFirstDisplay, device.type, device.id)) continue;
        if (dualView < 0) dualView = IsDualView();
        if (dualView) FindDeviceOfType(kSecondDisplay, device.type, device.id);
    }
}

std::uint32_t CIntel::DeviceIdOfBit(int deviceBit) const {
    switch (deviceBit) {
        case displaydevice::kPanel: return m_nPanelId;
        case displaydevice::kCrt: return m_nCrtId;
        case displaydevice::kTv: return m_nTvId;
        case displaydevice::kHdmi: return m_nHdmiId;
        default: return 0;
    }
}

int CIntel::IsDualView() {
    if (InitFailed()) return 0;
    for (ULONG index = 0; index < kEnumeratedPerDisplay; ++index) {
        Device device;
        if (EnumerateDevice(kSecondDisplay, index, &device) && device.id != 0 &&
            ToDeviceStatus(device.state) == devicestatus::kActive) {
            return 1;
        }
    }
    return 0;
}

bool CIntel::ChangeActiveDevices(DeviceRecord* records, ULONG count) {
    ULONG error = 0;
    return m_pCUIExternal->ChangeActiveDevices(kActiveDevicesRequest, count * static_cast<ULONG>(sizeof(DeviceRecord)),
                                               reinterpret_cast<BYTE*>(records), &error) == S_OK;
}

int CIntel::ChangeDisplayCombination(int combinationCode) {
    if (InitFailed()) return 0;
    try {
        return ChangeCombination(combinationCode);
    } catch (...) {
        ReportCaught(L"CBS exception...");
        return 0;
    }
}

int CIntel::ChangeCombination(int code) {
    FetchDeviceIds();
    switch (code) {
        case combination::kDualPanelPrimary | combination::kPanelCrt: return SetDualView(displaydevice::kPanel, displaydevice::kCrt);
        case combination::kDualPanelPrimary | combination::kPanelTv: return SetDualView(displaydevice::kPanel, displaydevice::kTv);
        case combination::kDualPanelPrimary | combination::kPanelHdmi: return SetDualView(displaydevice::kPanel, displaydevice::kHdmi);
        // The external output primary, the panel beside it.
        case combination::kDualExternalPrimary | combination::kPanelCrt: return SetDualView(displaydevice::kCrt, displaydevice::kPanel);
        case combination::kDualExternalPrimary | combination::kPanelTv: return SetDualView(displaydevice::kTv, displaydevice::kPanel);
        case combination::kDualExternalPrimary | combination::kPanelHdmi: return SetDualView(displaydevice::kHdmi, displaydevice::kPanel);
        default: break;
    }

    DeviceRecord record{};
    switch (code) {
        case displaydevice::kPanel:
        case displaydevice::kCrt:
        case displaydevice::kTv:
        case displaydevice::kHdmi:
            record = SingleRecord(kFirstRecordName, DeviceIdOfBit(code));
            if (code != displaydevice::kPanel && IsDualView()) {
                // Leaving an extended desktop: the panel stays the primary device
                // of the request, which is sent once more below.
                record.primaryDeviceId = m_nPanelId;
                const bool sent = ChangeActiveDevices(&record, 1);
                Sleep(kSingleRetryDelayMs);
                if (!sent) ReportError(L"ChangeDisplayCombination, CHANGE_SINGLE_MODE");
            }
            break;
        case combination::kPanelCrt:
        case combination::kPanelTv:
        case combination::kPanelHdmi:
            record = SingleRecord(kFirstRecordName, m_nPanelId);
            record.mode = kModeClone;
            record.deviceCount = 2;
            record.secondDeviceId = DeviceIdOfBit(code & ~displaydevice::kPanel);
            break;
        default:
            ReportError(FormatText(L"ChangeDisplayCombination: no request for 0x%03x", code));
            return 0;
    }

    if (!ChangeActiveDevices(&record, 1)) {
        ReportError(L"ChangeDisplayCombination: ChangeActiveDevices");
        return 0;
    }
    if ((proc::IsIntelNetbook() || proc::IsMenuNetbook()) && m_hMainWindow) {
        PostMessageW(m_hMainWindow, WM_VQ_SIBLING, kSwitchedNotice, 0);
    }
    return 1;
}

int CIntel::SetDualView(int primaryBit, int secondaryBit) {
    DeviceRecord records[2] = {SingleRecord(kFirstRecordName, DeviceIdOfBit(primaryBit)),
                               SingleRecord(kSecondRecordName, DeviceIdOfBit(secondaryBit))};
    if ((primaryBit == displaydevice::kTv || secondaryBit == displaydevice::kTv) && IsDualView()) {
        // The TV takes part only at a mode it can show.
        m_modeSetting.ChangePrimaryDisplaySettings(1024, 768, 0, 0);
    }
    if (!ChangeActiveDevices(records, 2)) {
        ReportError(L"SetDualView, ChangeActiveDevices, DualView");
        return 0;
    }
    return 1;
}

int CIntel::GetConnectedDisplays() {
    if (InitFailed()) return 0;
    try {
        for (int& status : m_nDeviceStatus) status = devicestatus::kNotConnected;
        FetchDeviceIds();
        const int bits[] = {displaydevice::kPanel, displaydevice::kCrt, displaydevice::kTv, displaydevice::kHdmi};
        auto statusIndexOfId = [&](std::uint32_t id) {
            for (int bit : bits) {
                if (id != 0 && DeviceIdOfBit(bit) == id) return StatusIndex(bit);
            }
            return -1;
        };
        std::uint32_t onSecond = 0;
        for (ULONG index = 0; index < kEnumeratedPerDisplay; ++index) {
            Device device;
            if (!EnumerateDevice(kSecondDisplay, index, &device) || ToDeviceStatus(device.state) != devicestatus::kActive) {
                continue;
            }
            const int entry = statusIndexOfId(device.id);
            if (entry < 0) continue;
            m_nDeviceStatus[entry] = devicestatus::kActive;
            onSecond = device.id;
            break;
        }
        for (ULONG index = 0; index < kEnumeratedPerDisplay; ++index) {
            Device device;
            if (!EnumerateDevice(kFirstDisplay, index, &device) || device.id == onSecond) continue;
            const int entry = statusIndexOfId(device.id);
            if (entry >= 0) m_nDeviceStatus[entry] = ToDeviceStatus(device.state);
        }
        return 1;
    } catch (...) {
        ReportCaught(L"fail: GetConnectedDisplays()");
        return 0;
    }
}

int CIntel::RestoreDefaultDisplay(int flags) {
    if (InitFailed()) return 0;
    int startAngle = 0;
    GetDisplayRotation(displaydevice::kPanel, &startAngle);
    if (flags & restoredefault::kPanelAlone) ChangeDisplayCombination(displaydevice::kPanel);
    int angle = startAngle;
    GetDisplayRotation(displaydevice::kPanel, &angle);
    if (flags & restoredefault::kNoRotation) {
        if (angle != 0) SetDisplayRotation(displaydevice::kPanel, 0, 0, 0);
    } else if (angle != startAngle) {
        // Switching to the panel keeps its rotation.
        SetDisplayRotation(displaydevice::kPanel, startAngle, 0, 0);
    }
    if (flags & restoredefault::kNativeResolution) {
        FetchDeviceIds();
        int width = 0, height = 0, refresh = 0;
        if (!GetConfiguration(static_cast<int>(m_nPanelId), &width, &height, &refresh)) return 0;
        if (!m_modeSetting.ChangePrimaryDisplaySettings(width, height, 32, 60)) return 0;
    }
    return 1;
}

bool CIntel::GetDeviceConfiguration(std::uint32_t deviceId, ConfigurationRecord* record) {
    record->deviceId = deviceId;
    ULONG error = 0;
    return m_pCUIExternal->GetConfiguration(kConfigurationRequest, sizeof *record, reinterpret_cast<BYTE*>(record),
                                            &error) == S_OK;
}

int CIntel::GetConfiguration(int deviceId, int* width, int* height, int* refresh) {
    if (InitFailed()) return 0;
    ConfigurationRecord record{};
    record.size = sizeof record;
    if (!GetDeviceConfiguration(static_cast<std::uint32_t>(deviceId), &record)) {
        ReportError(L"\"GetConfiguration()\" error!");
        return 0;
    }
    if ((record.flags & kOptimalSizeValid) == kOptimalSizeValid) {
        *width = static_cast<int>(record.optimalWidth);
        *height = static_cast<int>(record.optimalHeight);
    } else {
        ReportError(L"GetConfiguration() error: Cannot get the optimal resolution");
        *width = 800;
        *height = 600;
    }
    *refresh = 60;
    return 1;
}

int CIntel::GetDeviceId(int deviceType, int* id) {
    if (InitFailed()) return 0;
    FetchDeviceIds();
    std::uint32_t found = 0;
    switch (deviceType) {
        case devicetype::kPanel: found = m_nPanelId; break;
        case devicetype::kCrt: found = m_nCrtId; break;
        case devicetype::kTv: found = m_nTvId; break;
        case devicetype::kHdmi: found = m_nHdmiId; break;
        default: break;
    }
    if (found == 0) return 0;
    *id = static_cast<int>(found);
    return 1;
}

int CIntel::GetDisplayRotation(int display, int* angle) {
    if (InitFailed()) return 0;
    if (proc::IsWindows7OrLater()) {
        m_modeSetting.ResolveDisplayDeviceNames();
        DEVMODEW mode{};
        if (!m_modeSetting.GetCurrentDisplayMode(m_nRotationTarget == 1, &mode)) {
            ReportError(L"fail: GetDisplayRotation()");
            return 0;
        }
        *angle = static_cast<int>(mode.dmDisplayOrientation) * kDegreesPerStep;
        return 1;
    }
    FetchDeviceIds();
    ConfigurationRecord record{};
    if (!GetDeviceConfiguration(DeviceIdOfBit(display), &record)) {
        // The driver's historical text for a failed read of the rotation.
        ReportError(L"Fail SetConfiguration()");
        return 0;
    }
    if (record.rotation >= kRotationSteps) {
        ReportError(FormatText(L"Fail GetConfiguration() rotation index %lu", static_cast<unsigned long>(record.rotation)));
        return 0;
    }
    *angle = static_cast<int>(record.rotation) * kDegreesPerStep;
    return 1;
}

int CIntel::SetDisplayRotation(int display, int angle, int secondDevice, int windowsDirection) {
    if (InitFailed()) return 0;
    if (proc::IsWindows7OrLater()) {
        m_modeSetting.ResolveDisplayDeviceNames();
        // The component's rotation counts in the Windows direction whatever the caller says.
        const LONG result = m_modeSetting.SetRotationByModeChange(angle, secondDevice, 1);
        if (result != DISP_CHANGE_SUCCESSFUL) {
            ReportError(FormatText(L"fail: SetDisplayRotation() %ld", static_cast<long>(result)));
            return 0;
        }
        return 1;
    }
    const int index = RotationIndex(angle);
    if (index < 0) {
        ReportError(L"Fail SetConfiguration()");
        return 0;
    }
    FetchDeviceIds();
    ConfigurationRecord record{};
    record.deviceId = DeviceIdOfBit(display);
    record.flags = kSetRotation;
    record.rotation = static_cast<std::uint32_t>(index);
    ULONG error = 0;
    if (m_pCUIExternal->SetConfiguration(kConfigurationRequest, sizeof record, reinterpret_cast<BYTE*>(&record),
                                         &error) != S_OK) {
        ReportError(L"Fail SetConfiguration()");
        return 0;
    }
    return 1;
}

ICUIDownScale* CIntel::DownScale() {
    if (!m_pCUIDownScale &&
        FAILED(CoCreateInstance(m_clsid, nullptr, kCreationContext, kDownScaleInterfaceId,
                                reinterpret_cast<void**>(m_pCUIDownScale.ReleaseAndGetAddressOf())))) {
        m_pCUIDownScale.Reset();
    }
    return m_pCUIDownScale.Get();
}

int CIntel::IsDownScalingSupported(int* supported) {
    if (InitFailed()) return 0;
    try {
        ICUIDownScale* downScale = DownScale();
        if (!downScale) {
            ReportError(L"fail: creating m_pCUIDownScale");
            return 0;
        }
        DownScaleRecord record{};
        ULONG error = 0;
        if (downScale->IsDownScalingSupported(sizeof record, reinterpret_cast<BYTE*>(&record), &error) != S_OK) {
            ReportError(L"fail: IsDownScalingSupported()");
            return 0;
        }
        m_bDownScalingSupported = static_cast<int>(record.answer);
        *supported = m_bDownScalingSupported;
        return 1;
    } catch (...) {
        ReportCaught(L"Fail: IsDownScalingSupported");
        return 0;
    }
}

int CIntel::IsDownScalingEnabled(int* enabled) {
    if (InitFailed()) return 0;
    try {
        ICUIDownScale* downScale = DownScale();
        if (!downScale) {
            ReportError(L"fail: creating m_pCUIDownScale");
            return 0;
        }
        int supported = 0;
        if (!IsDownScalingSupported(&supported)) {
            ReportError(L"fail: IsDownScalingSupported");
            return 0;
        }
        ULONG answer = 0, error = 0;
        if (downScale->IsDownScalingEnabled(&answer, &error) != S_OK) {
            ReportError(L"fail: IsDownScalingEnabled()");
            return 0;
        }
        m_bDownScalingEnabled = static_cast<int>(answer);
        *enabled = m_bDownScalingEnabled;
        return 1;
    } catch (...) {
        ReportCaught(L"Fail: IsDownScalingEnabled");
        return 0;
    }
}

int CIntel::SetDownScaling(int enable, const Resolution* size) {
    if (InitFailed()) return 0;
    int supported = 0;
    if (!IsDownScalingSupported(&supported)) {
        ReportError(L"IsDownScalingSupported");
        return 0;
    }
    if (!supported) return 0;
    DownScaleRecord record{};
    if (size) {
        record.width = static_cast<std::uint32_t>(size->width);
        record.height = static_cast<std::uint32_t>(size->height);
        record.refresh = 60;
        record.depth = 32;
    }
    ULONG error = 0;
    ICUIDownScale* downScale = m_pCUIDownScale.Get();
    const HRESULT result = enable ? downScale->EnableDownScaling(sizeof record, reinterpret_cast<BYTE*>(&record), &error)
                                  : downScale->DisableDownScaling(sizeof record, reinterpret_cast<BYTE*>(&record), &error);
    if (result != S_OK) {
        ReportError(FormatText(L"fail: SetDownScaling() %d", enable));
        return 0;
    }
    m_bDownScalingEnabled = enable ? 1 : 0;
    return 1;
}

int CIntel::ApplyDownScalingToCurrentMode() {
    if (InitFailed()) return 0;
    const ComInitialization com;
    CLSID clsid{};
    ComPtr<ICUIDownScale> downScale;  // its own, released before COM is left
    if (FAILED(CLSIDFromProgID(kProgId, &clsid)) ||
        FAILED(CoCreateInstance(clsid, nullptr, kCreationContext, kDownScaleInterfaceId,
                                reinterpret_cast<void**>(downScale.GetAddressOf()))) ||
        !downScale) {
        ReportError(L"fail: ApplyDownScalingToCurrentMode() creating the down-scaling interface");
        return 0;
    }
    DEVMODEW mode{};
    if (!m_modeSetting.GetCurrentDisplayMode(0, &mode)) {
        ReportError(L"fail: ApplyDownScalingToCurrentMode() current mode");
        return 0;
    }
    if (mode.dmPelsWidth == 800 && mode.dmPelsHeight == 480) return 1;  // left as it is
    DownScaleRecord record{};
    record.width = mode.dmPelsWidth;
    record.height = mode.dmPelsHeight;
    record.refresh = 60;
    record.depth = 32;
    ULONG error = 0;
    if (downScale->EnableDownScaling(sizeof record, reinterpret_cast<BYTE*>(&record), &error) != S_OK) {
        ReportError(L"fail: ApplyDownScalingToCurrentMode()");
        return 0;
    }
    return 1;
}

int CIntel::GetOptimalSize(int outputIndex, int* width, int* height) {
    // Intel device types by output index, in bit order (panel, CRT, TV, HDMI).
    constexpr int kTypes[] = {intelgfx::devicetype::kPanel, intelgfx::devicetype::kCrt, intelgfx::devicetype::kTv,
                              intelgfx::devicetype::kHdmi};
    if (outputIndex < 0 || outputIndex >= static_cast<int>(std::size(kTypes))) return 0;
    int id = 0;
    if (!GetDeviceId(kTypes[outputIndex], &id) || !id) return 0;
    int refresh = 0;
    return GetConfiguration(id, width, height, &refresh);
}
