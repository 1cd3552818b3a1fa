// Master volume and mute through the endpoint audio interfaces (Vista and
// later). Controls the default console playback endpoint, follows the
// default when it changes (switching to a known endpoint, adding a new one to
// the spare slots), and has the main window told whenever the volume or mute
// of any active playback endpoint changes.
//
// Threads: Initialize, the get and set operations and destruction run on the
// main thread; the notifications arrive on the platform's threads. The slot
// table has a fixed capacity and never moves; a slot is filled completely
// before CurrentEndpoint or EndpointCount is set to cover it, so the main
// thread never sees a half-filled slot.
#pragma once

#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>

#include "audio/audio.h"
#include "audio/audioplatform.h"
#include "audio/audiovistacallbacks.h"
#include "common/cotaskstring.h"

class CAudioVista : public CAudio {
public:
    // Spare slots for endpoints that become the default after Initialize.
    static constexpr int kSpareSlots = 32;

    explicit CAudioVista(IEndpointPlatform& platform = SystemEndpointPlatform());
    ~CAudioVista() override;

    int Initialize(HWND notifyWindow) override;
    int GetMasterVolumeMute(int* mute) override;
    int SetMasterVolumeMute(int mute) override;
    int GetMasterVolumeLevel(int* level) override;
    int SetMasterVolumeLevel(int level) override;

    // Called on a notification thread through the device notification object.
    HRESULT OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id);

    int EndpointCountNow() const { return EndpointCount.load(); }
    int CurrentEndpointNow() const { return CurrentEndpoint.load(); }
    int MaxEndpointSpaceNow() const { return MaxEndpointSpace; }
    bool InitFailedNow() const { return InitFailed.load() != 0; }

    // Scalar 0.0..1.0 and level 0..65535, each clamped to its range.
    static int LevelFromScalar(float scalar);
    static float ScalarFromLevel(int level);

private:
    struct EndpointSlot {
        Microsoft::WRL::ComPtr<IAudioEndpointVolume> volume;
        CoTaskString id;
    };

    bool SetUp();
    // Activates the endpoint's volume into the slot and registers the volume
    // callback with it; the slot gets the identifier last.
    bool FillSlot(IMMDevice* device, CoTaskString id, EndpointSlot& slot);
    bool IsInSlots(LPCWSTR id, int count) const;
    HRESULT AddNewEndpoints(LPCWSTR newDefault);
    // The volume of the current endpoint, or null (inert object, no table).
    IAudioEndpointVolume* CurrentVolume() const;
    // One call on the current endpoint's volume: 0 without a report while
    // inert; a failed call is reported as "Exit: <operation>", an exception
    // as the operation's name.
    template <typename Call>
    int CallCurrentVolume(const wchar_t* operation, Call call);
    void ReportAudit(const wchar_t* text) const;

    IEndpointPlatform& m_platform;
    HWND NotifyWindow = nullptr;
    std::unique_ptr<EndpointSlot[]> m_Slots;
    std::atomic<int> EndpointCount{1};
    std::atomic<int> CurrentEndpoint{0};
    int MaxEndpointSpace = 1 + kSpareSlots;
    std::shared_ptr<audio::COwnerLink> m_pLink;
    CAudioEndpointVolumeCallback* m_pVolumeCallback = nullptr;
    CMMNotificationClientCallback* m_pNotificationClient = nullptr;
    bool m_bClientRegistered = false;
    Microsoft::WRL::ComPtr<IMMDeviceEnumerator> m_pEnumerator;
    Microsoft::WRL::ComPtr<IMMDeviceCollection> m_pCollection;
    Microsoft::WRL::ComPtr<IMMDevice> m_pDevice;
    std::atomic<int> InitFailed{1};
    // Set at destruction: ends the wait of a default-device change at once.
    struct HandleCloser {
        void operator()(HANDLE handle) const { if (handle) CloseHandle(handle); }
    };
    std::unique_ptr<void, HandleCloser> m_hStopping;
};
