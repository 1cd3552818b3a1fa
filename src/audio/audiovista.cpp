#include "audio/audiovista.h"

#include <cwchar>
#include <string>

#include "common/commondefine.h"
#include "common/processstate.h"

using Microsoft::WRL::ComPtr;

namespace {

// {5CDF2C82-841E-4546-9722-0CF74078229A}
constexpr IID kEndpointVolumeIid = {0x5CDF2C82, 0x841E, 0x4546, {0x97, 0x22, 0x0C, 0xF7, 0x40, 0x78, 0x22, 0x9A}};

constexpr DWORD kNewEndpointWaitMs = 1000;
// Intel graphics drivers bring their display audio endpoint up more slowly.
constexpr DWORD kNewEndpointWaitIntelMs = 4000;
constexpr int kIntelVendor = 3;

bool SameId(LPCWSTR a, LPCWSTR b) { return a && b && std::wcscmp(a, b) == 0; }

}  // namespace

CAudioVista::CAudioVista(IEndpointPlatform& platform)
    : m_platform(platform), m_hStopping(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CAudioVista::~CAudioVista() {
    // Cut the callbacks off first: a default-device change in progress ends
    // its wait and finishes, and no notice reaches this object afterwards.
    if (m_hStopping) SetEvent(m_hStopping.get());
    if (m_pLink) m_pLink->Detach();
    try {
        if (m_bClientRegistered) m_pEnumerator->UnregisterEndpointNotificationCallback(m_pNotificationClient);
        if (m_Slots) {
            for (int i = 0; i < MaxEndpointSpace; ++i) {
                if (m_Slots[i].volume) m_Slots[i].volume->UnregisterControlChangeNotify(m_pVolumeCallback);
            }
        }
    } catch (...) {
        ReportCaught(L"fail: CAudioVista: unregistering the notifications");
    }
    if (m_pVolumeCallback) m_pVolumeCallback->Release();
    if (m_pNotificationClient) m_pNotificationClient->Release();
}

int CAudioVista::LevelFromScalar(float scalar) {
    if (!(scalar > 0.0f)) return 0;  // also NaN
    if (scalar >= 1.0f) return audio::kMaxLevel;
    return static_cast<int>(scalar * 65535.0 + 0.5);
}

float CAudioVista::ScalarFromLevel(int level) {
    if (level < 0) level = 0;
    if (level > audio::kMaxLevel) level = audio::kMaxLevel;
    return static_cast<float>(static_cast<unsigned>(level) / 65535.0);
}

void CAudioVista::ReportAudit(const wchar_t* text) const {
    if (proc::auditMode) ReportError(text);
}

int CAudioVista::Initialize(HWND notifyWindow) {
    NotifyWindow = notifyWindow;
    // An earlier initialisation of this thread in another model is accepted.
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    bool ready = false;
    try {
        ready = SetUp();
    } catch (...) {
        ReportCaught(L"fail: CAudioVista::Initialize()");
        ready = false;
    }
    if (ready) {
        InitFailed = 0;
        return 1;
    }
    InitFailed = 1;
    ReportError(L"Fail: Please check the Audio Driver");
    return 0;
}

bool CAudioVista::SetUp() {
    if (FAILED(m_platform.CreateDeviceEnumerator(m_pEnumerator.ReleaseAndGetAddressOf()))) return false;
    if (FAILED(m_pEnumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, m_pCollection.ReleaseAndGetAddressOf())))
        return false;

    m_pLink = std::make_shared<audio::COwnerLink>(this, NotifyWindow);
    m_pVolumeCallback = new CAudioEndpointVolumeCallback(m_pLink);
    m_pNotificationClient = new CMMNotificationClientCallback(m_pLink);
    if (FAILED(m_pEnumerator->RegisterEndpointNotificationCallback(m_pNotificationClient))) return false;
    m_bClientRegistered = true;

    UINT count = 0;
    if (FAILED(m_pCollection->GetCount(&count))) return false;
    MaxEndpointSpace = static_cast<int>(count) + kSpareSlots;
    m_Slots = std::make_unique<EndpointSlot[]>(MaxEndpointSpace);

    // Slot 0: the default console playback endpoint.
    if (FAILED(m_pEnumerator->GetDefaultAudioEndpoint(eRender, eConsole, m_pDevice.ReleaseAndGetAddressOf())))
        return false;
    CoTaskString defaultId;
    if (FAILED(m_pDevice->GetId(defaultId.Receive()))) return false;
    if (!FillSlot(m_pDevice.Get(), std::move(defaultId), m_Slots[0])) return false;
    m_pDevice.Reset();

    // Then every other active playback endpoint.
    int nextFree = 1;
    for (UINT i = 0; i < count && nextFree < MaxEndpointSpace; ++i) {
        if (FAILED(m_pCollection->Item(i, m_pDevice.ReleaseAndGetAddressOf()))) return false;
        CoTaskString id;
        if (FAILED(m_pDevice->GetId(id.Receive()))) return false;
        if (!SameId(id.Get(), m_Slots[0].id.Get())) {
            if (!FillSlot(m_pDevice.Get(), std::move(id), m_Slots[nextFree])) return false;
            ++nextFree;
        }
        m_pDevice.Reset();
    }
    // The filled slots: the collection's count when the default is one of them.
    EndpointCount = nextFree;
    return true;
}

bool CAudioVista::FillSlot(IMMDevice* device, CoTaskString id, EndpointSlot& slot) {
    if (FAILED(device->Activate(kEndpointVolumeIid, CLSCTX_INPROC_SERVER, nullptr,
                                reinterpret_cast<void**>(slot.volume.ReleaseAndGetAddressOf()))))
        return false;
    if (!slot.volume) return false;
    slot.id = std::move(id);
    return SUCCEEDED(slot.volume->RegisterControlChangeNotify(m_pVolumeCallback));
}

bool CAudioVista::IsInSlots(LPCWSTR id, int count) const {
    for (int i = 0; i < count && i < MaxEndpointSpace; ++i) {
        if (SameId(m_Slots[i].id.Get(), id)) return true;
    }
    return false;
}

IAudioEndpointVolume* CAudioVista::CurrentVolume() const {
    if (InitFailed != 0 || !m_Slots) return nullptr;
    const int current = CurrentEndpoint;
    if (current < 0 || current >= MaxEndpointSpace) return nullptr;
    return m_Slots[current].volume.Get();
}

template <typename Call>
int CAudioVista::CallCurrentVolume(const wchar_t* operation, Call call) {
    if (InitFailed != 0 || !m_Slots) return 0;
    try {
        IAudioEndpointVolume* volume = CurrentVolume();
        if (!volume || FAILED(call(volume))) {
            ReportError(std::wstring(L"Exit: ") + operation);
            return 0;
        }
        return 1;
    } catch (...) {
        ReportCaught(operation);
        return 0;
    }
}

int CAudioVista::GetMasterVolumeMute(int* mute) {
    BOOL muted = FALSE;
    if (!CallCurrentVolume(L"GetMasterVolumeMute", [&](IAudioEndpointVolume* v) { return v->GetMute(&muted); }))
        return 0;
    *mute = muted;
    return 1;
}

int CAudioVista::SetMasterVolumeMute(int mute) {
    return CallCurrentVolume(L"SetMasterVolumeMute",
                             [&](IAudioEndpointVolume* v) { return v->SetMute(mute, nullptr); });
}

int CAudioVista::GetMasterVolumeLevel(int* level) {
    float scalar = 0.0f;
    if (!CallCurrentVolume(L"GetMasterVolumeLevel",
                           [&](IAudioEndpointVolume* v) { return v->GetMasterVolumeLevelScalar(&scalar); }))
        return 0;
    *level = LevelFromScalar(scalar);
    return 1;
}

int CAudioVista::SetMasterVolumeLevel(int level) {
    return CallCurrentVolume(L"SetMasterVolumeLevel", [&](IAudioEndpointVolume* v) {
        return v->SetMasterVolumeLevelScalar(ScalarFromLevel(level), nullptr);
    });
}

HRESULT CAudioVista::OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) {
    try {
        if (InitFailed != 0 || !m_Slots || !id || !*id || flow != eRender || role != eConsole ||
            CurrentEndpoint >= MaxEndpointSpace) {
            return S_FALSE;
        }
        if (SameId(id, m_Slots[CurrentEndpoint].id.Get())) return S_OK;
        const int known = EndpointCount;
        for (int i = 0; i < known; ++i) {
            if (i >= MaxEndpointSpace) {
                ReportAudit(L"2a. MaxEndpointSpace<=i ");
                return S_FALSE;
            }
            if (SameId(m_Slots[i].id.Get(), id)) {
                CurrentEndpoint = i;
                return S_OK;
            }
        }
        ReportAudit(L"Default Audio Device is not found...");
        if (known >= MaxEndpointSpace) {
            ReportAudit(L"MaxEndpointSpace <= EndpointCount...");
            return S_FALSE;
        }
        return AddNewEndpoints(id);
    } catch (...) {
        ReportCaught(L"OnDefaultDeviceChanged()");
        return S_FALSE;
    }
}

HRESULT CAudioVista::AddNewEndpoints(LPCWSTR newDefault) {
    // A new endpoint (a display with audio, say) needs a moment before it can be used.
    const DWORD waitMs = proc::graphicsVendor == kIntelVendor ? kNewEndpointWaitIntelMs : kNewEndpointWaitMs;
    if (m_platform.WaitUnlessStopped(m_hStopping.get(), waitMs)) return S_FALSE;

    ComPtr<IMMDeviceEnumerator> enumerator;
    ComPtr<IMMDeviceCollection> collection;
    UINT count = 0;
    if (FAILED(m_platform.CreateDeviceEnumerator(enumerator.GetAddressOf())) ||
        FAILED(enumerator->EnumAudioEndpoints(eRender, DEVICE_STATE_ACTIVE, collection.GetAddressOf())) ||
        FAILED(collection->GetCount(&count))) {
        return S_FALSE;
    }
    ReportAudit(L"4. Adding new Audio devices...");

    int filled = EndpointCount;
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i) {
        if (static_cast<int>(i) >= MaxEndpointSpace || filled >= MaxEndpointSpace) {
            ReportAudit(L"MaxEndpointSpace <= i");
            break;
        }
        ComPtr<IMMDevice> device;
        CoTaskString id;
        if (FAILED(collection->Item(i, device.GetAddressOf())) || FAILED(device->GetId(id.Receive()))) {
            result = S_FALSE;
            break;
        }
        if (IsInSlots(id.Get(), filled)) {
            ReportAudit(L"4d. wcscmp");
            device.Reset();
            ReportAudit(L"4e. Release");
            continue;
        }
        const bool isNewDefault = SameId(id.Get(), newDefault);
        const bool ok = FillSlot(device.Get(), std::move(id), m_Slots[filled]);
        ReportAudit(L"4c. Activate");
        if (!ok) {
            result = S_FALSE;
            break;
        }
        if (isNewDefault) {
            CurrentEndpoint = filled;
            ReportAudit(L"Default Audio device is found");
        }
        ++filled;
        device.Reset();
        ReportAudit(L"4i. Release()");
    }
    // Every completely filled slot is counted, also after a failure, so that
    // no later change writes over a slot the main thread may be using.
    EndpointCount = filled;
    if (result == S_OK) ReportAudit(L"5b. Release()");
    return result;
}
