// The simulated notebook's internal USB bus as the management
// instrumentation lists it. Wine's Win32_PnPEntity has no ClassGuid, so the
// query for the USB device class fails there; this library, injected into a
// program before its entry point, answers that one query with the devices
// the registry names (usbbusstore.h) and passes everything else to Wine.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>

#include <cwchar>
#include <string>
#include <vector>

#include "importpatch.h"
#include "usbbusstore.h"

namespace {

using CoCreateInstanceFn = HRESULT(WINAPI*)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
CoCreateInstanceFn g_realCoCreateInstance = nullptr;

constexpr CLSID kWbemLocator = {0x4590F811, 0x1D3A, 0x11D0, {0x89, 0x1F, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr CLSID kAdministrativeLocator = {0xCB8555CC, 0x9128, 0x11D1, {0xAD, 0x9B, 0x00, 0xC0, 0x4F, 0xD8, 0xFD, 0xFF}};
constexpr IID kLocatorInterface = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr IID kServicesInterface = {0x9556DC99, 0x828C, 0x11CF, {0xA3, 0x7E, 0x00, 0xAA, 0x00, 0x32, 0x40, 0xC7}};
constexpr IID kEnumInterface = {0x027947E1, 0xD731, 0x11CE, {0xA3, 0x57, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01}};
constexpr IID kClassObjectInterface = {0xDC12A681, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};
constexpr IID kUnknownInterface = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

constexpr HRESULT kNotSupported = static_cast<HRESULT>(0x8004100C);  // WBEM_E_NOT_SUPPORTED
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80041002);      // WBEM_E_NOT_FOUND
constexpr HRESULT kFewerLeft = 1;                                    // WBEM_S_FALSE

// The query Windows answers with every present USB device.
constexpr wchar_t kUsbClassQuery[] =
    L"SELECT * FROM Win32_PNPEntity WHERE ClassGuid = '{36fc9e60-c465-11cf-8056-444553540000}'";

std::vector<std::wstring> ListedDevices() {
    std::vector<std::wstring> devices;
    DWORD bytes = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::usbbus::kKey, vqsim::usbbus::kDevices, RRF_RT_REG_MULTI_SZ, nullptr,
                     nullptr, &bytes) != ERROR_SUCCESS) {
        return devices;
    }
    std::vector<wchar_t> text(bytes / sizeof(wchar_t) + 2, 0);
    bytes = static_cast<DWORD>((text.size() - 2) * sizeof(wchar_t));
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::usbbus::kKey, vqsim::usbbus::kDevices, RRF_RT_REG_MULTI_SZ, nullptr,
                     text.data(), &bytes) != ERROR_SUCCESS) {
        return devices;
    }
    for (const wchar_t* id = text.data(); *id; id += wcslen(id) + 1) devices.emplace_back(id);
    return devices;
}

bool AnswersNothing() {
    DWORD noAnswer = 0, size = sizeof noAnswer;
    return RegGetValueW(HKEY_CURRENT_USER, vqsim::usbbus::kKey, vqsim::usbbus::kNoAnswer, RRF_RT_REG_DWORD, nullptr,
                        &noAnswer, &size) == ERROR_SUCCESS &&
           noAnswer != 0;
}

void CountAnswer() {
    DWORD answered = 0, size = sizeof answered;
    RegGetValueW(HKEY_CURRENT_USER, vqsim::usbbus::kKey, vqsim::usbbus::kAnswered, RRF_RT_REG_DWORD, nullptr,
                 &answered, &size);
    ++answered;
    RegSetKeyValueW(HKEY_CURRENT_USER, vqsim::usbbus::kKey, vqsim::usbbus::kAnswered, REG_DWORD, &answered,
                    sizeof answered);
}

// Reference counting and QueryInterface for one interface of our own.
template <class Interface>
class ComObject : public Interface {
public:
    virtual ~ComObject() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, kUnknownInterface) || IsEqualIID(iid, OwnInterface())) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        return OtherInterface(iid, out);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = InterlockedDecrement(&m_references);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

protected:
    virtual const IID& OwnInterface() const = 0;
    virtual HRESULT OtherInterface(REFIID, void** out) {
        *out = nullptr;
        return E_NOINTERFACE;
    }

private:
    LONG m_references = 1;
};

// One listed device: its DeviceID and nothing else.
class DeviceObject : public ComObject<IWbemClassObject> {
public:
    explicit DeviceObject(std::wstring id) : m_id(std::move(id)) {}

    HRESULT STDMETHODCALLTYPE Get(LPCWSTR name, LONG, VARIANT* value, CIMTYPE* type, LONG* flavor) override {
        if (!name || _wcsicmp(name, L"DeviceID") != 0) return kNotFound;
        if (value) {
            VariantInit(value);
            value->vt = VT_BSTR;
            value->bstrVal = SysAllocString(m_id.c_str());
            if (!value->bstrVal) return E_OUTOFMEMORY;
        }
        if (type) *type = CIM_STRING;
        if (flavor) *flavor = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetQualifierSet(IWbemQualifierSet**) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE Put(LPCWSTR, LONG, VARIANT*, CIMTYPE) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE Delete(LPCWSTR) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE GetNames(LPCWSTR, LONG, VARIANT*, SAFEARRAY**) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE BeginEnumeration(LONG) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE Next(LONG, BSTR*, VARIANT*, CIMTYPE*, LONG*) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE EndEnumeration() override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE GetPropertyQualifierSet(LPCWSTR, IWbemQualifierSet**) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE Clone(IWbemClassObject**) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE GetObjectText(LONG, BSTR*) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE SpawnDerivedClass(LONG, IWbemClassObject**) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE SpawnInstance(LONG, IWbemClassObject**) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE CompareTo(LONG, IWbemClassObject*) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE GetPropertyOrigin(LPCWSTR, BSTR*) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE InheritsFrom(LPCWSTR) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE GetMethod(LPCWSTR, LONG, IWbemClassObject**, IWbemClassObject**) override {
        return kNotSupported;
    }
    HRESULT STDMETHODCALLTYPE PutMethod(LPCWSTR, LONG, IWbemClassObject*, IWbemClassObject*) override {
        return kNotSupported;
    }
    HRESULT STDMETHODCALLTYPE DeleteMethod(LPCWSTR) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE BeginMethodEnumeration(LONG) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE NextMethod(LONG, BSTR*, IWbemClassObject**, IWbemClassObject**) override {
        return kNotSupported;
    }
    HRESULT STDMETHODCALLTYPE EndMethodEnumeration() override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE GetMethodQualifierSet(LPCWSTR, IWbemQualifierSet**) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE GetMethodOrigin(LPCWSTR, BSTR*) override { return kNotSupported; }

protected:
    const IID& OwnInterface() const override { return kClassObjectInterface; }

private:
    std::wstring m_id;
};

// The listed devices, handed out in order.
class DeviceEnumerator : public ComObject<IEnumWbemClassObject> {
public:
    DeviceEnumerator(std::vector<std::wstring> ids, bool answersNothing)
        : m_ids(std::move(ids)), m_bAnswersNothing(answersNothing) {}

    HRESULT STDMETHODCALLTYPE Reset() override {
        m_next = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Next(LONG timeout, ULONG count, IWbemClassObject** objects, ULONG* returned) override {
        if (!objects || !returned) return E_INVALIDARG;
        *returned = 0;
        if (m_bAnswersNothing) {
            Sleep(timeout == static_cast<LONG>(WBEM_INFINITE) ? INFINITE : static_cast<DWORD>(timeout));
            return WBEM_S_TIMEDOUT;
        }
        while (*returned < count && m_next < m_ids.size()) objects[(*returned)++] = new DeviceObject(m_ids[m_next++]);
        return *returned == count ? S_OK : kFewerLeft;
    }
    HRESULT STDMETHODCALLTYPE NextAsync(ULONG, IWbemObjectSink*) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE Clone(IEnumWbemClassObject**) override { return kNotSupported; }
    HRESULT STDMETHODCALLTYPE Skip(LONG, ULONG count) override {
        const size_t left = m_ids.size() - m_next;
        m_next += count < left ? count : left;
        return count <= left ? S_OK : kFewerLeft;
    }

protected:
    const IID& OwnInterface() const override { return kEnumInterface; }

private:
    std::vector<std::wstring> m_ids;
    bool m_bAnswersNothing;
    size_t m_next = 0;
};

// Wine's services object with the USB-class query answered here.
class ServicesProxy : public ComObject<IWbemServices> {
public:
    explicit ServicesProxy(IWbemServices* real) : m_real(real) {}
    ~ServicesProxy() override { m_real->Release(); }

    HRESULT STDMETHODCALLTYPE ExecQuery(const BSTR language, const BSTR query, LONG flags, IWbemContext* context,
                                        IEnumWbemClassObject** objects) override {
        if (language && query && objects && _wcsicmp(language, L"WQL") == 0 && _wcsicmp(query, kUsbClassQuery) == 0) {
            CountAnswer();
            *objects = new DeviceEnumerator(ListedDevices(), AnswersNothing());
            return S_OK;
        }
        return m_real->ExecQuery(language, query, flags, context, objects);
    }

    HRESULT STDMETHODCALLTYPE OpenNamespace(const BSTR name, LONG flags, IWbemContext* context,
                                            IWbemServices** services, IWbemCallResult** result) override {
        return m_real->OpenNamespace(name, flags, context, services, result);
    }
    HRESULT STDMETHODCALLTYPE CancelAsyncCall(IWbemObjectSink* sink) override { return m_real->CancelAsyncCall(sink); }
    HRESULT STDMETHODCALLTYPE QueryObjectSink(LONG flags, IWbemObjectSink** sink) override {
        return m_real->QueryObjectSink(flags, sink);
    }
    HRESULT STDMETHODCALLTYPE GetObject(const BSTR path, LONG flags, IWbemContext* context, IWbemClassObject** object,
                                        IWbemCallResult** result) override {
        return m_real->GetObject(path, flags, context, object, result);
    }
    HRESULT STDMETHODCALLTYPE GetObjectAsync(const BSTR path, LONG flags, IWbemContext* context,
                                             IWbemObjectSink* sink) override {
        return m_real->GetObjectAsync(path, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE PutClass(IWbemClassObject* object, LONG flags, IWbemContext* context,
                                       IWbemCallResult** result) override {
        return m_real->PutClass(object, flags, context, result);
    }
    HRESULT STDMETHODCALLTYPE PutClassAsync(IWbemClassObject* object, LONG flags, IWbemContext* context,
                                            IWbemObjectSink* sink) override {
        return m_real->PutClassAsync(object, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE DeleteClass(const BSTR name, LONG flags, IWbemContext* context,
                                          IWbemCallResult** result) override {
        return m_real->DeleteClass(name, flags, context, result);
    }
    HRESULT STDMETHODCALLTYPE DeleteClassAsync(const BSTR name, LONG flags, IWbemContext* context,
                                               IWbemObjectSink* sink) override {
        return m_real->DeleteClassAsync(name, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE CreateClassEnum(const BSTR superclass, LONG flags, IWbemContext* context,
                                              IEnumWbemClassObject** objects) override {
        return m_real->CreateClassEnum(superclass, flags, context, objects);
    }
    HRESULT STDMETHODCALLTYPE CreateClassEnumAsync(const BSTR superclass, LONG flags, IWbemContext* context,
                                                   IWbemObjectSink* sink) override {
        return m_real->CreateClassEnumAsync(superclass, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE PutInstance(IWbemClassObject* object, LONG flags, IWbemContext* context,
                                          IWbemCallResult** result) override {
        return m_real->PutInstance(object, flags, context, result);
    }
    HRESULT STDMETHODCALLTYPE PutInstanceAsync(IWbemClassObject* object, LONG flags, IWbemContext* context,
                                               IWbemObjectSink* sink) override {
        return m_real->PutInstanceAsync(object, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE DeleteInstance(const BSTR path, LONG flags, IWbemContext* context,
                                             IWbemCallResult** result) override {
        return m_real->DeleteInstance(path, flags, context, result);
    }
    HRESULT STDMETHODCALLTYPE DeleteInstanceAsync(const BSTR path, LONG flags, IWbemContext* context,
                                                  IWbemObjectSink* sink) override {
        return m_real->DeleteInstanceAsync(path, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE CreateInstanceEnum(const BSTR filter, LONG flags, IWbemContext* context,
                                                 IEnumWbemClassObject** objects) override {
        return m_real->CreateInstanceEnum(filter, flags, context, objects);
    }
    HRESULT STDMETHODCALLTYPE CreateInstanceEnumAsync(const BSTR filter, LONG flags, IWbemContext* context,
                                                      IWbemObjectSink* sink) override {
        return m_real->CreateInstanceEnumAsync(filter, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE ExecQueryAsync(const BSTR language, const BSTR query, LONG flags, IWbemContext* context,
                                             IWbemObjectSink* sink) override {
        return m_real->ExecQueryAsync(language, query, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE ExecNotificationQuery(const BSTR language, const BSTR query, LONG flags,
                                                    IWbemContext* context, IEnumWbemClassObject** objects) override {
        return m_real->ExecNotificationQuery(language, query, flags, context, objects);
    }
    HRESULT STDMETHODCALLTYPE ExecNotificationQueryAsync(const BSTR language, const BSTR query, LONG flags,
                                                         IWbemContext* context, IWbemObjectSink* sink) override {
        return m_real->ExecNotificationQueryAsync(language, query, flags, context, sink);
    }
    HRESULT STDMETHODCALLTYPE ExecMethod(const BSTR path, const BSTR method, LONG flags, IWbemContext* context,
                                         IWbemClassObject* in, IWbemClassObject** out,
                                         IWbemCallResult** result) override {
        return m_real->ExecMethod(path, method, flags, context, in, out, result);
    }
    HRESULT STDMETHODCALLTYPE ExecMethodAsync(const BSTR path, const BSTR method, LONG flags, IWbemContext* context,
                                              IWbemClassObject* in, IWbemObjectSink* sink) override {
        return m_real->ExecMethodAsync(path, method, flags, context, in, sink);
    }

protected:
    const IID& OwnInterface() const override { return kServicesInterface; }
    // Security blankets and the like are Wine's.
    HRESULT OtherInterface(REFIID iid, void** out) override { return m_real->QueryInterface(iid, out); }

private:
    IWbemServices* m_real;
};

// Wine's locator, whose connections come back as the proxy above.
class LocatorProxy : public ComObject<IWbemLocator> {
public:
    explicit LocatorProxy(IWbemLocator* real) : m_real(real) {}
    ~LocatorProxy() override { m_real->Release(); }

    HRESULT STDMETHODCALLTYPE ConnectServer(const BSTR resource, const BSTR user, const BSTR password,
                                            const BSTR locale, LONG flags, const BSTR authority,
                                            IWbemContext* context, IWbemServices** services) override {
        const HRESULT hr = m_real->ConnectServer(resource, user, password, locale, flags, authority, context, services);
        if (FAILED(hr) || !services || !*services) return hr;
        *services = new ServicesProxy(*services);
        return hr;
    }

protected:
    const IID& OwnInterface() const override { return kLocatorInterface; }
    HRESULT OtherInterface(REFIID iid, void** out) override { return m_real->QueryInterface(iid, out); }

private:
    IWbemLocator* m_real;
};

HRESULT WINAPI SimCoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* out) {
    const HRESULT hr = g_realCoCreateInstance(clsid, outer, context, iid, out);
    const bool locator = IsEqualCLSID(clsid, kWbemLocator) || IsEqualCLSID(clsid, kAdministrativeLocator);
    if (FAILED(hr) || !out || !*out || !locator || !IsEqualIID(iid, kLocatorInterface)) return hr;
    *out = static_cast<IWbemLocator*>(new LocatorProxy(static_cast<IWbemLocator*>(*out)));
    return hr;
}

void Install() {
    HMODULE ole32 = GetModuleHandleW(L"ole32.dll");
    if (!ole32) return;
    g_realCoCreateInstance =
        reinterpret_cast<CoCreateInstanceFn>(reinterpret_cast<void*>(GetProcAddress(ole32, "CoCreateInstance")));
    if (!g_realCoCreateInstance) return;
    const vqsim::Replacement replacements[] = {
        {reinterpret_cast<void*>(g_realCoCreateInstance), reinterpret_cast<void*>(&SimCoCreateInstance)},
    };
    vqsim::PatchProgramImports(replacements);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) { return vqsim::InstallOnLoad(instance, reason, Install); }
