#include "fakecoreaudio.h"

#include <chrono>
#include <cstring>

using Microsoft::WRL::ComPtr;

namespace {

LPWSTR CopyToTaskMemory(const std::wstring& text) {
    auto* copy = static_cast<LPWSTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(wchar_t)));
    std::memcpy(copy, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    return copy;
}

class FakeDevice : public FakeCom<IMMDevice> {
public:
    explicit FakeDevice(const FakeEndpoint& endpoint) : m_endpoint(endpoint) {}
    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** object) override {
        if (FAILED(m_endpoint.activateResult)) return m_endpoint.activateResult;
        return m_endpoint.volume->QueryInterface(iid, object);
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR* id) override {
        *id = CopyToTaskMemory(m_endpoint.id);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetState(DWORD* state) override {
        *state = DEVICE_STATE_ACTIVE;
        return S_OK;
    }

private:
    FakeEndpoint m_endpoint;
};

class FakeCollection : public FakeCom<IMMDeviceCollection> {
public:
    FakeCollection(FakeAudioSystem& system, std::vector<FakeEndpoint> endpoints)
        : m_system(system), m_endpoints(std::move(endpoints)) {}
    HRESULT STDMETHODCALLTYPE GetCount(UINT* count) override {
        if (FAILED(m_system.countResult)) return m_system.countResult;
        *count = static_cast<UINT>(m_endpoints.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Item(UINT index, IMMDevice** device) override {
        if (index >= m_endpoints.size()) return E_INVALIDARG;
        *device = new FakeDevice(m_endpoints[index]);
        return S_OK;
    }

private:
    FakeAudioSystem& m_system;
    std::vector<FakeEndpoint> m_endpoints;
};

class FakeEnumerator : public FakeCom<IMMDeviceEnumerator> {
public:
    explicit FakeEnumerator(FakeAudioSystem& system) : m_system(system) {}
    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow flow, DWORD mask, IMMDeviceCollection** out) override {
        if (FAILED(m_system.enumResult)) return m_system.enumResult;
        if (flow != eRender || mask != DEVICE_STATE_ACTIVE) return E_INVALIDARG;
        *out = new FakeCollection(m_system, m_system.endpoints);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role, IMMDevice** out) override {
        if (FAILED(m_system.defaultResult)) return m_system.defaultResult;
        const FakeEndpoint* endpoint = m_system.Find(m_system.defaultId);
        if (flow != eRender || role != eConsole || !endpoint) return HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
        *out = new FakeDevice(*endpoint);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient* client) override {
        if (FAILED(m_system.registerClientResult)) return m_system.registerClientResult;
        std::lock_guard<std::mutex> hold(m_system.lock);
        client->AddRef();
        m_system.clients.push_back(client);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient* client) override {
        std::lock_guard<std::mutex> hold(m_system.lock);
        for (auto it = m_system.clients.begin(); it != m_system.clients.end(); ++it) {
            if (*it == client) {
                m_system.clients.erase(it);
                client->Release();
                return S_OK;
            }
        }
        return E_INVALIDARG;
    }

private:
    FakeAudioSystem& m_system;
};

}  // namespace

FakeEndpointVolume::~FakeEndpointVolume() {
    for (auto* callback : m_callbacks) callback->Release();
}

HRESULT FakeEndpointVolume::RegisterControlChangeNotify(IAudioEndpointVolumeCallback* callback) {
    if (FAILED(registerResult)) return registerResult;
    std::lock_guard<std::mutex> hold(m_lock);
    callback->AddRef();
    m_callbacks.push_back(callback);
    return S_OK;
}

HRESULT FakeEndpointVolume::UnregisterControlChangeNotify(IAudioEndpointVolumeCallback* callback) {
    std::unique_lock<std::mutex> hold(m_lock);
    if (unregisterWaitsForCallbacks &&
        !m_idle.wait_for(hold, std::chrono::seconds(10), [&] { return notifiesInFlight.load() == 0; })) {
        unregisterTimedOut = true;
    }
    for (auto it = m_callbacks.begin(); it != m_callbacks.end(); ++it) {
        if (*it == callback) {
            m_callbacks.erase(it);
            callback->Release();
            return S_OK;
        }
    }
    return E_INVALIDARG;
}

void FakeEndpointVolume::NotifyAll() {
    std::vector<IAudioEndpointVolumeCallback*> callbacks;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        callbacks = m_callbacks;
        for (auto* callback : callbacks) callback->AddRef();
        notifiesInFlight += static_cast<int>(callbacks.size());
    }
    AUDIO_VOLUME_NOTIFICATION_DATA data{};
    for (auto* callback : callbacks) {
        callback->OnNotify(&data);
        callback->Release();
        std::lock_guard<std::mutex> hold(m_lock);
        --notifiesInFlight;
        m_idle.notify_all();
    }
}

int FakeEndpointVolume::RegisteredCount() {
    std::lock_guard<std::mutex> hold(m_lock);
    return static_cast<int>(m_callbacks.size());
}

HRESULT FakeEndpointVolume::SetMasterVolumeLevelScalar(FLOAT level, LPCGUID) {
    scalarsWritten.push_back(level);
    if (FAILED(setLevelResult)) return setLevelResult;
    scalar = level;
    return S_OK;
}

HRESULT FakeEndpointVolume::GetMasterVolumeLevelScalar(FLOAT* level) {
    if (FAILED(getLevelResult)) return getLevelResult;
    *level = scalar;
    return S_OK;
}

HRESULT FakeEndpointVolume::SetMute(WINBOOL value, LPCGUID) {
    if (FAILED(setMuteResult)) return setMuteResult;
    mute = value;
    return S_OK;
}

HRESULT FakeEndpointVolume::GetMute(WINBOOL* value) {
    if (FAILED(getMuteResult)) return getMuteResult;
    *value = mute;
    return S_OK;
}

FakeAudioSystem::~FakeAudioSystem() {
    for (auto* client : clients) client->Release();
}

HRESULT FakeAudioSystem::CreateDeviceEnumerator(IMMDeviceEnumerator** out) {
    ++enumeratorsCreated;
    if (FAILED(createResult)) return createResult;
    *out = new FakeEnumerator(*this);
    return S_OK;
}

bool FakeAudioSystem::WaitUnlessStopped(HANDLE stop, DWORD ms) {
    waits.push_back(ms);
    return onWait ? onWait(stop, ms) : false;
}

FakeEndpointVolume* FakeAudioSystem::Add(const std::wstring& id) {
    FakeEndpoint endpoint;
    endpoint.id = id;
    endpoint.volume.Attach(new FakeEndpointVolume());
    endpoints.push_back(endpoint);
    if (defaultId.empty()) defaultId = id;
    return endpoints.back().volume.Get();
}

FakeEndpoint* FakeAudioSystem::Find(const std::wstring& id) {
    for (auto& endpoint : endpoints) {
        if (endpoint.id == id) return &endpoint;
    }
    return nullptr;
}

FakeEndpointVolume* FakeAudioSystem::Volume(const std::wstring& id) {
    FakeEndpoint* endpoint = Find(id);
    return endpoint ? endpoint->volume.Get() : nullptr;
}

std::vector<IMMNotificationClient*> FakeAudioSystem::Clients() {
    std::lock_guard<std::mutex> hold(lock);
    return clients;
}

int FakeAudioSystem::RegisteredClientCount() { return static_cast<int>(Clients().size()); }

HRESULT FakeAudioSystem::ChangeDefault(const wchar_t* id, EDataFlow flow, ERole role) {
    std::vector<IMMNotificationClient*> current;
    {
        std::lock_guard<std::mutex> hold(lock);
        current = clients;
        for (auto* client : current) client->AddRef();
    }
    HRESULT result = E_FAIL;
    for (auto* client : current) {
        result = client->OnDefaultDeviceChanged(flow, role, id);
        client->Release();
    }
    return result;
}
