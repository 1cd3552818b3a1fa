// The real management instrumentation: COM security for the process, the
// administrative WMI locator, a connection to one namespace and WQL queries
// stepped through one object at a time.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <wbemcli.h>
#include <wrl/client.h>

#include "common/commondefine.h"
#include "profiles/profileports.h"

namespace profiles {

namespace {

using Microsoft::WRL::ComPtr;

// The administrative locator and its interface.
constexpr CLSID kAdministrativeLocator = {0xCB8555CC, 0x9128, 0x11D1, {0xAD, 0x9B, 0x00, 0xC0, 0x4F, 0xD8, 0xFD, 0xFF}};
constexpr IID kLocatorInterface = {0xDC12A687, 0x737F, 0x11CF, {0x88, 0x4D, 0x00, 0xAA, 0x00, 0x4B, 0x2E, 0x24}};

constexpr long kConnectUseMaxWait = 128;           // wait at most for the connection
constexpr long kForwardOnlyReturnImmediately = 48;  // forward-only enumerator, returned at once
constexpr DWORD kImpersonate = 3;
// The whole enumeration of one query runs on the main thread: a management
// service that stops answering must not freeze the keys for good.
constexpr DWORD kQueryWaitMs = 3000;

// A BSTR for the length of one call.
class Bstr {
public:
    explicit Bstr(const wchar_t* text) : m_text(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(m_text); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    BSTR get() const { return m_text; }
    explicit operator bool() const { return m_text != nullptr; }

private:
    BSTR m_text;
};

class ScopedVariant {
public:
    ScopedVariant() { VariantInit(&m_value); }
    ~ScopedVariant() { VariantClear(&m_value); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT* out() { return &m_value; }
    const VARIANT& get() const { return m_value; }

private:
    VARIANT m_value;
};

class CWmiManagementService : public IManagementService {
public:
    HRESULT InitializeSecurity() override {
        return CoInitializeSecurity(nullptr, -1, nullptr, nullptr, RPC_C_AUTHN_LEVEL_DEFAULT, kImpersonate,
                                    nullptr, EOAC_NONE, nullptr);
    }

    HRESULT CreateLocator() override {
        m_pLocator.Reset();
        return CoCreateInstance(kAdministrativeLocator, nullptr, CLSCTX_INPROC_SERVER, kLocatorInterface,
                                reinterpret_cast<void**>(m_pLocator.GetAddressOf()));
    }

    HRESULT Connect(const wchar_t* nameSpace) override {
        if (!m_pLocator) return E_POINTER;
        Bstr name(nameSpace);
        if (!name) return E_OUTOFMEMORY;
        m_pServices.Reset();
        return m_pLocator->ConnectServer(name.get(), nullptr, nullptr, nullptr, kConnectUseMaxWait, nullptr,
                                         nullptr, m_pServices.GetAddressOf());
    }

    bool Connected() const override { return m_pServices != nullptr; }

    HRESULT QueryDeviceIds(const wchar_t* query, std::vector<std::wstring>* deviceIds) override {
        if (!m_pServices) return E_POINTER;
        Bstr language(L"WQL");
        Bstr text(query);
        if (!language || !text) return E_OUTOFMEMORY;
        ComPtr<IEnumWbemClassObject> objects;
        HRESULT hr = m_pServices->ExecQuery(language.get(), text.get(), kForwardOnlyReturnImmediately, nullptr,
                                            objects.GetAddressOf());
        if (FAILED(hr)) return hr;
        if (!objects) return E_POINTER;
        std::vector<std::wstring> found;
        const DWORD start = GetTickCount();
        for (;;) {
            ComPtr<IWbemClassObject> object;
            ULONG returned = 0;
            const DWORD waited = GetTickCount() - start;
            const DWORD left = waited < kQueryWaitMs ? kQueryWaitMs - waited : 0;
            hr = objects->Next(static_cast<long>(left), 1, object.GetAddressOf(), &returned);
            if (FAILED(hr)) return hr;
            if (hr == WBEM_S_TIMEDOUT) {
                ReportError(FormatText(L"fail: QueryDeviceIds() - no answer within %lu ms to \"%ls\"",
                                       static_cast<unsigned long>(kQueryWaitMs), query));
                return HRESULT_FROM_WIN32(ERROR_TIMEOUT);
            }
            if (returned == 0 || !object) break;
            ScopedVariant value;
            std::wstring id;
            if (SUCCEEDED(object->Get(L"DeviceID", 0, value.out(), nullptr, nullptr)) &&
                value.get().vt == VT_BSTR && value.get().bstrVal) {
                id.assign(value.get().bstrVal, SysStringLen(value.get().bstrVal));
            }
            found.push_back(std::move(id));
        }
        *deviceIds = std::move(found);
        return S_OK;
    }

private:
    ComPtr<IWbemLocator> m_pLocator;
    ComPtr<IWbemServices> m_pServices;
};

}  // namespace

std::unique_ptr<IManagementService> MakeSystemManagementService() {
    return std::make_unique<CWmiManagementService>();
}

}  // namespace profiles
