// The simulated Intel graphics component "IgfxExt.CUIExternal": an
// in-process COM server whose one object answers the main interface (device
// enumeration, configuration get and set, change of active devices) and the
// panel down-scaling interface. Its outputs come from the simulated
// notebook's state in the registry (graphicsstore.h); every call is written
// to the state's journal with the records it received; a change of active
// devices and a rotation change the desktop through the real display functions.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string>

#include "graphicsstore.h"
#include "intelgfxdesktop.h"

namespace {

using namespace vqsim::graphics;

HMODULE g_module = nullptr;
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};

// {70F8C65F-06AA-443B-9E6B-7C73808F07E5}
constexpr IID kMainInterface = {0x70F8C65F, 0x06AA, 0x443B, {0x9E, 0x6B, 0x7C, 0x73, 0x80, 0x8F, 0x07, 0xE5}};
// {86709F66-89C5-4B19-A83F-E4995E21599A}
constexpr IID kDownScaleInterface = {0x86709F66, 0x89C5, 0x4B19, {0xA8, 0x3F, 0xE4, 0x99, 0x5E, 0x21, 0x59, 0x9A}};
// {4EA14ECF-9769-44CC-BBA2-DC5DA9FD50B6}: a device's configuration record
constexpr GUID kConfigurationRequest = {0x4EA14ECF, 0x9769, 0x44CC, {0xBB, 0xA2, 0xDC, 0x5D, 0xA9, 0xFD, 0x50, 0xB6}};
// {381ECED3-EFF1-4DF2-B560-6648E352B18E}: the active devices
constexpr GUID kActiveDevicesRequest = {0x381ECED3, 0xEFF1, 0x4DF2, {0xB5, 0x60, 0x66, 0x48, 0xE3, 0x52, 0xB1, 0x8E}};

// The main interface as the component lays it out: slots 3 and 5 to 9 are
// the component's other requests, which this stand-in does not serve.
struct IMainInterface : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Unused3() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDeviceData(GUID request, ULONG size, BYTE* record, ULONG* error) = 0;  // 4
    virtual HRESULT STDMETHODCALLTYPE Unused5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused8() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused9() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetDeviceData(GUID request, ULONG size, BYTE* record, ULONG* error) = 0;  // 10
    virtual HRESULT STDMETHODCALLTYPE ChangeActiveDevices(GUID request, ULONG size, BYTE* records, ULONG* error) = 0;  // 11
    virtual HRESULT STDMETHODCALLTYPE EnumAttachableDevices(BSTR display, ULONG index, ULONG* id, ULONG* type,
                                                            ULONG* state) = 0;  // 12
};

// The down-scaling interface: its requests sit at slots 39 to 42.
#define VQ_UNUSED_SLOT(n) virtual HRESULT STDMETHODCALLTYPE Unused##n() = 0;
struct IDownScaleInterface : IUnknown {
    VQ_UNUSED_SLOT(3) VQ_UNUSED_SLOT(4) VQ_UNUSED_SLOT(5) VQ_UNUSED_SLOT(6) VQ_UNUSED_SLOT(7) VQ_UNUSED_SLOT(8)
    VQ_UNUSED_SLOT(9) VQ_UNUSED_SLOT(10) VQ_UNUSED_SLOT(11) VQ_UNUSED_SLOT(12) VQ_UNUSED_SLOT(13) VQ_UNUSED_SLOT(14)
    VQ_UNUSED_SLOT(15) VQ_UNUSED_SLOT(16) VQ_UNUSED_SLOT(17) VQ_UNUSED_SLOT(18) VQ_UNUSED_SLOT(19) VQ_UNUSED_SLOT(20)
    VQ_UNUSED_SLOT(21) VQ_UNUSED_SLOT(22) VQ_UNUSED_SLOT(23) VQ_UNUSED_SLOT(24) VQ_UNUSED_SLOT(25) VQ_UNUSED_SLOT(26)
    VQ_UNUSED_SLOT(27) VQ_UNUSED_SLOT(28) VQ_UNUSED_SLOT(29) VQ_UNUSED_SLOT(30) VQ_UNUSED_SLOT(31) VQ_UNUSED_SLOT(32)
    VQ_UNUSED_SLOT(33) VQ_UNUSED_SLOT(34) VQ_UNUSED_SLOT(35) VQ_UNUSED_SLOT(36) VQ_UNUSED_SLOT(37) VQ_UNUSED_SLOT(38)
    virtual HRESULT STDMETHODCALLTYPE IsDownScalingSupported(ULONG size, BYTE* record, ULONG* error) = 0;  // 39
    virtual HRESULT STDMETHODCALLTYPE GetDownScalingEnabled(ULONG* enabled, ULONG* error) = 0;             // 40
    virtual HRESULT STDMETHODCALLTYPE EnableDownScaling(ULONG size, BYTE* record, ULONG* error) = 0;       // 41
    virtual HRESULT STDMETHODCALLTYPE DisableDownScaling(ULONG size, BYTE* record, ULONG* error) = 0;      // 42
};
#undef VQ_UNUSED_SLOT

// Record layouts (32-bit fields), as byte offsets.
constexpr ULONG kConfigurationSize = 68;
constexpr size_t kConfigId = 4, kConfigFlags = 8, kConfigOptimalWidth = 36, kConfigOptimalHeight = 40,
                 kConfigRotation = 64;
constexpr std::uint32_t kOptimalSizeValid = 0x10 | 0x20;
constexpr std::uint32_t kRotationFlag = 0x100;
constexpr ULONG kDeviceRecordSize = 120;
constexpr size_t kDeviceName = 4, kDeviceNameChars = 40, kDeviceMode = 84, kDevicePrimary = 88, kDeviceCount = 92,
                 kDeviceFirst = 96, kDeviceSecond = 100;
constexpr std::uint32_t kModeSingle = 1, kModeClone = 3;
constexpr ULONG kDownScaleSize = 52;
constexpr size_t kDownScaleWidth = 20, kDownScaleHeight = 24;
constexpr ULONG kErrorNone = 0, kErrorFailed = 1;

std::uint32_t Field(const BYTE* record, size_t offset) {
    std::uint32_t value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}
void SetField(BYTE* record, size_t offset, std::uint32_t value) { std::memcpy(record + offset, &value, sizeof value); }

std::wstring Hex(const BYTE* bytes, ULONG size) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    for (ULONG i = 0; i < size; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 0xF];
    }
    return text;
}

std::wstring GuidText(const GUID& id) {
    wchar_t text[40] = {};
    StringFromGUID2(id, text, 40);
    return text;
}

const GraphicsStore& Store() {
    static const GraphicsStore store;
    return store;
}

// A scripted fault: the value named after the request below the Faults key
// holds how many more calls fail (kAlways: every one).
bool FaultDue(const wchar_t* request) {
    const GraphicsStore faults(kFaultsKey);
    const DWORD remaining = faults.ReadDword(request, 0);
    if (remaining == 0) return false;
    if (remaining != kAlways) faults.WriteDword(request, remaining - 1);
    return true;
}

void Journal(const wchar_t* request, const std::wstring& details) {
    Store().AppendJournal(std::wstring(request) + L" " + details);
}

const Output* OutputById(std::uint32_t id) {
    for (const Output& output : kOutputs) {
        if (Store().ReadDword(OutputValue(output, value::kIdSuffix), output.stockId) == id) return &output;
    }
    return nullptr;
}

bool IsConnected(const Output& output) {
    return Store().ReadDword(OutputValue(output, value::kConnectedSuffix), output.type == 2 ? 1 : 0) != 0;
}

const Output* ConnectedOutput(std::uint32_t id) {
    const Output* output = OutputById(id);
    return output && IsConnected(*output) ? output : nullptr;
}

// The display whose picture the device shows; null while it is dark.
// What a device record asks the first display to show.
enum class DesktopLayout { Single, Clone, Extended };

const wchar_t* DisplayShowing(const Output& output) {
    if (Store().ReadDword(value::kDisplay2, 0) & output.deviceBit) return L"\\\\.\\DISPLAY2";
    if (Store().ReadDword(value::kDisplay1, stock::kDisplay1) & output.deviceBit) return L"\\\\.\\DISPLAY1";
    return nullptr;
}

HRESULT Refuse(ULONG* error) {
    if (error) *error = kErrorFailed;
    return E_INVALIDARG;
}

class Component final : public IMainInterface, public IDownScaleInterface {
public:
    Component() { ++g_objects; }
    ~Component() { --g_objects; }

    // IUnknown (both interfaces share the object's count)
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, kMainInterface)) {
            *out = static_cast<IMainInterface*>(this);
        } else if (IsEqualIID(iid, kDownScaleInterface)) {
            *out = static_cast<IDownScaleInterface*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --m_references;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    // Main interface
    HRESULT STDMETHODCALLTYPE Unused3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused7() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused8() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused9() override { return E_NOTIMPL; }

    HRESULT STDMETHODCALLTYPE GetDeviceData(GUID request, ULONG size, BYTE* record, ULONG* error) override {
        constexpr wchar_t kName[] = L"GetDeviceData";
        if (!ValidConfigurationCall(kName, request, size, record, error)) return Refuse(error);
        const Output* output = ConnectedOutput(Field(record, kConfigId));
        if (!output || FaultDue(kName)) return Refuse(error);
        SetField(record, 0, kConfigurationSize);
        std::uint32_t flags = Field(record, kConfigFlags);
        if (Store().ReadDword(value::kOptimalValid, 1)) flags |= kOptimalSizeValid;
        SetField(record, kConfigFlags, flags);
        SetField(record, kConfigOptimalWidth, Store().ReadDword(value::kOptimalWidth, stock::kOptimalWidth));
        SetField(record, kConfigOptimalHeight, Store().ReadDword(value::kOptimalHeight, stock::kOptimalHeight));
        SetField(record, kConfigRotation, Store().ReadDword(OutputValue(*output, value::kRotationSuffix), 0));
        *error = kErrorNone;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetDeviceData(GUID request, ULONG size, BYTE* record, ULONG* error) override {
        constexpr wchar_t kName[] = L"SetDeviceData";
        if (!ValidConfigurationCall(kName, request, size, record, error)) return Refuse(error);
        const Output* output = ConnectedOutput(Field(record, kConfigId));
        const std::uint32_t rotation = Field(record, kConfigRotation);
        if (!output || (Field(record, kConfigFlags) & kRotationFlag) == 0 || rotation > 3 || FaultDue(kName)) {
            return Refuse(error);
        }
        // The display that shows the device turns. Where the desktop cannot
        // show the rotation, the request still succeeds, as the hardware would
        // have turned; the state says what could not be shown.
        const std::wstring rotationName = OutputValue(*output, value::kRotationSuffix);
        if (DisplayShowing(*output)) {
            const DesktopOutcome outcome =
                TurnDevice(Store().ReadDword(value::kDisplay1, stock::kDisplay1), Store().ReadDword(value::kDisplay2, 0),
                           output->deviceBit, Store().ReadDword(rotationName, 0), rotation);
            Store().WriteText(value::kDesktop, outcome.description);
            Store().WriteDword(value::kDesktopResult, static_cast<DWORD>(outcome.result));
        }
        Store().WriteDword(rotationName, rotation);
        *error = kErrorNone;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE ChangeActiveDevices(GUID request, ULONG size, BYTE* records, ULONG* error) override {
        constexpr wchar_t kName[] = L"ChangeActiveDevices";
        if (!error || (size && !records)) return E_POINTER;
        const bool knownSize = size == kDeviceRecordSize || size == 2 * kDeviceRecordSize;
        Journal(kName, GuidText(request) + L" " + std::to_wstring(size) + L" " + Hex(records, knownSize ? size : 0));
        if (!IsEqualGUID(request, kActiveDevicesRequest) || !knownSize) return Refuse(error);
        DWORD display1 = 0, display2 = 0;
        DesktopLayout layout = DesktopLayout::Single;
        if (!ReadDevices(records, L"\\\\.\\Display1", &display1, &layout)) return Refuse(error);
        if (size == 2 * kDeviceRecordSize) {
            DesktopLayout second;
            if (layout != DesktopLayout::Single ||
                !ReadDevices(records + kDeviceRecordSize, L"\\\\.\\Display2", &display2, &second) ||
                second != DesktopLayout::Single || display1 == display2) {
                return Refuse(error);
            }
            layout = DesktopLayout::Extended;
        }
        if (FaultDue(kName)) return Refuse(error);
        // A device that was dark starts unrotated, as after a real switch.
        const DWORD shownBefore = Store().ReadDword(value::kDisplay1, stock::kDisplay1) | Store().ReadDword(value::kDisplay2, 0);
        for (const Output& output : kOutputs) {
            if (((display1 | display2) & output.deviceBit) && !(shownBefore & output.deviceBit)) {
                Store().WriteDword(OutputValue(output, value::kRotationSuffix), 0);
            }
        }
        Store().WriteDword(value::kDisplay1, display1);
        Store().WriteDword(value::kDisplay2, display2);
        const DesktopOutcome outcome = ShowDevices(display1, display2);
        Store().WriteText(value::kDesktop, outcome.description);
        Store().WriteDword(value::kDesktopResult, static_cast<DWORD>(outcome.result));
        *error = kErrorNone;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE EnumAttachableDevices(BSTR display, ULONG index, ULONG* id, ULONG* type,
                                                    ULONG* state) override {
        constexpr wchar_t kName[] = L"EnumAttachableDevices";
        if (!id || !type || !state) return E_POINTER;
        const std::wstring name = display ? std::wstring(display, SysStringLen(display)) : L"";
        Journal(kName, name + L" " + std::to_wstring(index));
        if (FaultDue(kName)) return E_FAIL;
        const DWORD shown1 = Store().ReadDword(value::kDisplay1, stock::kDisplay1);
        const DWORD shown2 = Store().ReadDword(value::kDisplay2, 0);
        ULONG found = 0;
        for (const Output& output : kOutputs) {
            const bool connected = IsConnected(output);
            std::uint32_t outputState;
            if (_wcsicmp(name.c_str(), L"\\\\.\\DISPLAY1") == 0) {
                // Behind the first display every output is listed.
                outputState = !connected ? state::kNotConnected
                              : (shown1 & output.deviceBit) ? state::kActive : state::kConnected;
            } else if (_wcsicmp(name.c_str(), L"\\\\.\\DISPLAY2") == 0) {
                // Behind the second only what it shows.
                if (!connected || (shown2 & output.deviceBit) == 0) continue;
                outputState = state::kActive;
            } else {
                return E_INVALIDARG;
            }
            if (found++ == index) {
                *id = Store().ReadDword(OutputValue(output, value::kIdSuffix), output.stockId);
                *type = output.type;
                *state = outputState;
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }

    // Down-scaling interface (slots 3 and 5 to 9 are shared with the main one above)
    HRESULT STDMETHODCALLTYPE Unused4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused10() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused11() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused12() override { return E_NOTIMPL; }
#define VQ_UNUSED_SLOT(n) HRESULT STDMETHODCALLTYPE Unused##n() override { return E_NOTIMPL; }
    VQ_UNUSED_SLOT(13) VQ_UNUSED_SLOT(14) VQ_UNUSED_SLOT(15) VQ_UNUSED_SLOT(16) VQ_UNUSED_SLOT(17) VQ_UNUSED_SLOT(18)
    VQ_UNUSED_SLOT(19) VQ_UNUSED_SLOT(20) VQ_UNUSED_SLOT(21) VQ_UNUSED_SLOT(22) VQ_UNUSED_SLOT(23) VQ_UNUSED_SLOT(24)
    VQ_UNUSED_SLOT(25) VQ_UNUSED_SLOT(26) VQ_UNUSED_SLOT(27) VQ_UNUSED_SLOT(28) VQ_UNUSED_SLOT(29) VQ_UNUSED_SLOT(30)
    VQ_UNUSED_SLOT(31) VQ_UNUSED_SLOT(32) VQ_UNUSED_SLOT(33) VQ_UNUSED_SLOT(34) VQ_UNUSED_SLOT(35) VQ_UNUSED_SLOT(36)
    VQ_UNUSED_SLOT(37) VQ_UNUSED_SLOT(38)
#undef VQ_UNUSED_SLOT

    HRESULT STDMETHODCALLTYPE IsDownScalingSupported(ULONG size, BYTE* record, ULONG* error) override {
        constexpr wchar_t kName[] = L"IsDownScalingSupported";
        if (!ValidDownScaleCall(kName, size, record, error)) return Refuse(error);
        if (FaultDue(kName)) return Refuse(error);
        SetField(record, 0, Store().ReadDword(value::kDownScalingSupported, 1) != 0);
        *error = kErrorNone;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDownScalingEnabled(ULONG* enabled, ULONG* error) override {
        constexpr wchar_t kName[] = L"GetDownScalingEnabled";
        Journal(kName, L"");
        if (!enabled || !error) return E_POINTER;
        if (FaultDue(kName)) return Refuse(error);
        *enabled = Store().ReadDword(value::kDownScalingEnabled, 0) != 0;
        *error = kErrorNone;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EnableDownScaling(ULONG size, BYTE* record, ULONG* error) override {
        return SetDownScaling(L"EnableDownScaling", 1, size, record, error);
    }
    HRESULT STDMETHODCALLTYPE DisableDownScaling(ULONG size, BYTE* record, ULONG* error) override {
        return SetDownScaling(L"DisableDownScaling", 0, size, record, error);
    }

private:
    bool ValidConfigurationCall(const wchar_t* name, const GUID& request, ULONG size, const BYTE* record,
                                ULONG* error) {
        if (!record || !error) return false;
        Journal(name, GuidText(request) + L" " + std::to_wstring(size) + L" " + Hex(record, size == kConfigurationSize ? size : 0));
        const std::uint32_t recordSize = Field(record, 0);
        return IsEqualGUID(request, kConfigurationRequest) && size == kConfigurationSize &&
               (recordSize == 0 || recordSize == kConfigurationSize);
    }

    bool ValidDownScaleCall(const wchar_t* name, ULONG size, const BYTE* record, ULONG* error) {
        if (!record || !error) return false;
        Journal(name, std::to_wstring(size) + L" " + Hex(record, size == kDownScaleSize ? size : 0));
        return size == kDownScaleSize;
    }

    HRESULT SetDownScaling(const wchar_t* name, DWORD enable, ULONG size, BYTE* record, ULONG* error) {
        if (!ValidDownScaleCall(name, size, record, error)) return Refuse(error);
        if (!Store().ReadDword(value::kDownScalingSupported, 1) || FaultDue(name)) return Refuse(error);
        Store().WriteDword(value::kDownScalingEnabled, enable);
        Store().WriteDword(value::kDownScalingWidth, Field(record, kDownScaleWidth));
        Store().WriteDword(value::kDownScalingHeight, Field(record, kDownScaleHeight));
        *error = kErrorNone;
        return S_OK;
    }

    // One device record: its size, the display it names, a single output or
    // the panel with one external output in clone, all of them connected.
    bool ReadDevices(const BYTE* record, const wchar_t* expectedName, DWORD* shown, DesktopLayout* layout) {
        wchar_t name[kDeviceNameChars + 1] = {};
        std::memcpy(name, record + kDeviceName, kDeviceNameChars * sizeof(wchar_t));
        if (Field(record, 0) != kDeviceRecordSize || _wcsicmp(name, expectedName) != 0) return false;
        const std::uint32_t mode = Field(record, kDeviceMode), count = Field(record, kDeviceCount);
        const Output* first = ConnectedOutput(Field(record, kDeviceFirst));
        const Output* primary = ConnectedOutput(Field(record, kDevicePrimary));
        if (!first || !primary) return false;
        if (mode == kModeSingle && count == 1) {
            *shown = first->deviceBit;
            *layout = DesktopLayout::Single;
            return Field(record, kDeviceSecond) == 0;
        }
        if (mode == kModeClone && count == 2) {
            const Output* second = ConnectedOutput(Field(record, kDeviceSecond));
            if (!second || second == first) return false;
            *shown = first->deviceBit | second->deviceBit;
            *layout = DesktopLayout::Clone;
            return true;
        }
        return false;
    }

    std::atomic<long> m_references{1};
};

class Factory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // a static object
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* component = new (std::nothrow) Component;
        if (!component) return E_OUTOFMEMORY;
        const HRESULT result = component->QueryInterface(iid, out);
        component->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++g_locks : --g_locks;
        return S_OK;
    }
};

Factory g_factory;

std::wstring ModulePath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    return path;
}

LONG SetDefault(const std::wstring& key, const wchar_t* name, const std::wstring& text) {
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, text.c_str(),
                           static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

const std::wstring kClassKey = std::wstring(L"CLSID\\") + kClsidText;

}  // namespace

extern "C" __declspec(dllexport) HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, kClsid)) return CLASS_E_CLASSNOTAVAILABLE;
    Store().WriteText(value::kLibrary, ModulePath());
    return g_factory.QueryInterface(iid, out);
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllCanUnloadNow() {
    return g_objects == 0 && g_locks == 0 ? S_OK : S_FALSE;
}

// The registration a real installation makes: the class in process with
// "Both" threading (the program's thread is in the multithreaded apartment)
// and the program id that names it.
extern "C" __declspec(dllexport) HRESULT WINAPI DllRegisterServer() {
    const std::wstring server = kClassKey + L"\\InprocServer32";
    const std::wstring progId = kProgId;
    if (SetDefault(kClassKey, nullptr, L"Intel graphics component (simulated)") != ERROR_SUCCESS ||
        SetDefault(server, nullptr, ModulePath()) != ERROR_SUCCESS ||
        SetDefault(server, L"ThreadingModel", L"Both") != ERROR_SUCCESS ||
        SetDefault(kClassKey + L"\\ProgID", nullptr, progId) != ERROR_SUCCESS ||
        SetDefault(progId + L"\\CLSID", nullptr, kClsidText) != ERROR_SUCCESS) {
        return E_FAIL;
    }
    return S_OK;
}

extern "C" __declspec(dllexport) HRESULT WINAPI DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey.c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
