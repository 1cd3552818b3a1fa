#include "audio/audiovistacallbacks.h"

#include "audio/audio.h"
#include "audio/audiovista.h"

namespace audio {

HRESULT COwnerLink::ForwardDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) {
    std::lock_guard<std::mutex> hold(m_lock);
    if (!m_pOwner) return S_FALSE;
    return m_pOwner->OnDefaultDeviceChanged(flow, role, id);
}

void COwnerLink::Detach() {
    m_hNotifyWindow.store(nullptr);
    std::lock_guard<std::mutex> hold(m_lock);
    m_pOwner = nullptr;
}

}  // namespace audio

namespace {

template <typename Interface>
HRESULT AnswerInterface(Interface* self, REFIID ownIid, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, ownIid)) {
        *object = self;
        self->AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

}  // namespace

HRESULT CAudioEndpointVolumeCallback::QueryInterface(REFIID iid, void** object) {
    return AnswerInterface<IAudioEndpointVolumeCallback>(this, audio::kEndpointVolumeCallbackIid, iid, object);
}

HRESULT CAudioEndpointVolumeCallback::OnNotify(AUDIO_VOLUME_NOTIFICATION_DATA*) {
    const HWND window = m_pLink->NotifyWindow();
    if (!window) return S_OK;
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window, audio::kEndpointVolumeMessage, 0, 0, SMTO_NORMAL, audio::kVolumeNoticeWaitMs,
                        &ignored);
    return S_OK;
}

HRESULT CMMNotificationClientCallback::QueryInterface(REFIID iid, void** object) {
    return AnswerInterface<IMMNotificationClient>(this, audio::kNotificationClientIid, iid, object);
}

HRESULT CMMNotificationClientCallback::OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) {
    return m_pLink->ForwardDefaultDeviceChanged(flow, role, id);
}
