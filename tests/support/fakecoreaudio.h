// Endpoint audio in memory behind the endpoint platform calls: active
// playback endpoints with their volumes, a default endpoint, switches that
// make single calls fail, and the registered callbacks, which a test (or a
// thread of its own) calls as the platform's notification threads would.
// Handed to the endpoint object (or to the system information object that
// creates it) at construction.
#pragma once

#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "audio/audioplatform.h"

// Reference counting of the fakes.
template <typename Interface>
class FakeCom : public Interface {
public:
    virtual ~FakeCom() = default;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, __uuidof(Interface))) {
            *object = this;
            this->AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++m_refs); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG left = --m_refs;
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

private:
    std::atomic<LONG> m_refs{1};
};

class FakeEndpointVolume : public FakeCom<IAudioEndpointVolume> {
public:
    float scalar = 1.0f;
    BOOL mute = FALSE;
    HRESULT getMuteResult = S_OK, setMuteResult = S_OK, getLevelResult = S_OK, setLevelResult = S_OK;
    HRESULT registerResult = S_OK;
    std::vector<float> scalarsWritten;

    // Calls OnNotify of every registered callback on the calling thread.
    void NotifyAll();
    int RegisteredCount();
    // While true, Unregister waits (up to 10 s) until no OnNotify is running, as
    // the platform does; `unregisterTimedOut` tells whether it had to give up.
    bool unregisterWaitsForCallbacks = false;
    std::atomic<bool> unregisterTimedOut{false};
    std::atomic<int> notifiesInFlight{0};

    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback* callback) override;
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback* callback) override;
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(FLOAT level, LPCGUID) override;
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(FLOAT* level) override;
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMute(WINBOOL value, LPCGUID) override;
    HRESULT STDMETHODCALLTYPE GetMute(WINBOOL* value) override;
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(FLOAT*, FLOAT*, FLOAT*) override { return E_NOTIMPL; }

    ~FakeEndpointVolume() override;

private:
    std::mutex m_lock;
    std::condition_variable m_idle;
    std::vector<IAudioEndpointVolumeCallback*> m_callbacks;  // each holds a reference
};

struct FakeEndpoint {
    std::wstring id;
    Microsoft::WRL::ComPtr<FakeEndpointVolume> volume;
    HRESULT activateResult = S_OK;
};

class FakeAudioSystem : public IEndpointPlatform {
public:
    FakeAudioSystem() = default;
    ~FakeAudioSystem() override;
    FakeAudioSystem(const FakeAudioSystem&) = delete;
    FakeAudioSystem& operator=(const FakeAudioSystem&) = delete;

    // Counts the enumerators asked for; each one reads this system's state.
    HRESULT CreateDeviceEnumerator(IMMDeviceEnumerator** enumerator) override;
    // Records the wait, then runs onWait.
    bool WaitUnlessStopped(HANDLE stop, DWORD ms) override;

    // Adds an active playback endpoint; the first one is also the default.
    FakeEndpointVolume* Add(const std::wstring& id);
    FakeEndpointVolume* Volume(const std::wstring& id);
    FakeEndpoint* Find(const std::wstring& id);

    std::vector<FakeEndpoint> endpoints;
    std::wstring defaultId;
    HRESULT createResult = S_OK, enumResult = S_OK, countResult = S_OK, defaultResult = S_OK;
    HRESULT registerClientResult = S_OK;
    std::atomic<int> enumeratorsCreated{0};

    // The wait before new endpoints are looked up: recorded, then this runs
    // (default: no wait, not stopped).
    std::vector<DWORD> waits;
    std::function<bool(HANDLE stop, DWORD ms)> onWait;

    // The registered device notification objects (each holds a reference).
    std::vector<IMMNotificationClient*> Clients();
    // Calls OnDefaultDeviceChanged of every registered client on the calling thread.
    HRESULT ChangeDefault(const wchar_t* id, EDataFlow flow = eRender, ERole role = eConsole);
    int RegisteredClientCount();

    // Internal, for the fake enumerator.
    std::mutex lock;
    std::vector<IMMNotificationClient*> clients;
};
