// The two notification objects of CAudioVista. The platform calls them on
// its own notification threads and may hold references to them after the
// owner is gone, so they reach the owner only through a link that the owner
// cuts when it is destroyed.
#pragma once

#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <atomic>
#include <memory>
#include <mutex>

class CAudioVista;

namespace audio {

// {657804FA-D6AD-4496-8A60-352752AF4F89}
constexpr IID kEndpointVolumeCallbackIid = {
    0x657804FA, 0xD6AD, 0x4496, {0x8A, 0x60, 0x35, 0x27, 0x52, 0xAF, 0x4F, 0x89}};
// {7991EEC9-7E89-4D85-8390-6C703CEC60C0}
constexpr IID kNotificationClientIid = {
    0x7991EEC9, 0x7E89, 0x4D85, {0x83, 0x90, 0x6C, 0x70, 0x3C, 0xEC, 0x60, 0xC0}};

// How long a volume notice may hold the notification thread. The notice is
// handled by the main window even when this runs out; the limit only keeps
// the notification thread from waiting on a main thread that is itself
// waiting for the platform (destruction unregistering the callbacks).
constexpr UINT kVolumeNoticeWaitMs = 1000;

class COwnerLink {
public:
    COwnerLink(CAudioVista* owner, HWND notifyWindow) : m_pOwner(owner), m_hNotifyWindow(notifyWindow) {}

    // Null once the owner has detached.
    HWND NotifyWindow() const { return m_hNotifyWindow.load(); }
    // Hands a default-device change to the owner; S_FALSE once detached.
    HRESULT ForwardDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id);
    // After this returns no callback reaches the owner. Waits for a
    // default-device change that is being handled on another thread.
    void Detach();

private:
    std::mutex m_lock;
    CAudioVista* m_pOwner;
    std::atomic<HWND> m_hNotifyWindow;
};

}  // namespace audio

// Reference counting shared by both callbacks: the count starts at 1 and the
// object deletes itself when it reaches 0.
template <typename Derived>
class CAudioCallbackBase {
protected:
    explicit CAudioCallbackBase(std::shared_ptr<audio::COwnerLink> link) : m_pLink(std::move(link)) {}
    ULONG AddRefImpl() { return static_cast<ULONG>(InterlockedIncrement(&m_cRef)); }
    ULONG ReleaseImpl() {
        const LONG count = InterlockedDecrement(&m_cRef);
        if (count == 0) delete static_cast<Derived*>(this);
        return static_cast<ULONG>(count);
    }

    LONG m_cRef = 1;
    std::shared_ptr<audio::COwnerLink> m_pLink;
};

class CAudioEndpointVolumeCallback final : public IAudioEndpointVolumeCallback,
                                     public CAudioCallbackBase<CAudioEndpointVolumeCallback> {
public:
    explicit CAudioEndpointVolumeCallback(std::shared_ptr<audio::COwnerLink> link)
        : CAudioCallbackBase(std::move(link)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    // Sends the volume notice to the owner's window, whatever changed.
    HRESULT STDMETHODCALLTYPE OnNotify(AUDIO_VOLUME_NOTIFICATION_DATA* data) override;
};

class CMMNotificationClientCallback final : public IMMNotificationClient,
                                      public CAudioCallbackBase<CMMNotificationClientCallback> {
public:
    explicit CMMNotificationClientCallback(std::shared_ptr<audio::COwnerLink> link)
        : CAudioCallbackBase(std::move(link)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefImpl(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseImpl(); }
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR, DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY) override { return S_OK; }
};
