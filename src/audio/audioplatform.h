// The platform calls of the two audio implementations that tests must
// control: the legacy mixer functions (the mixer implementation), and the
// creation of the endpoint device enumerator with the wait before a newly
// plugged endpoint is looked up (the endpoint implementation). The real
// system is the default; tests hand in their own.
#pragma once

#include <windows.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>

// The legacy mixer (winmm), in the order and with the meaning of
// mixerGetDevCapsW, mixerOpen, mixerClose, mixerGetLineInfoW,
// mixerGetLineControlsW, mixerGetControlDetailsW and mixerSetControlDetails.
class IMixerPlatform {
public:
    virtual ~IMixerPlatform() = default;

    virtual MMRESULT GetDevCaps(UINT_PTR mixer, MIXERCAPSW* caps, UINT size) = 0;
    virtual MMRESULT Open(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) = 0;
    virtual MMRESULT Close(HMIXER mixer) = 0;
    virtual MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEW* line, DWORD flags) = 0;
    virtual MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSW* controls, DWORD flags) = 0;
    virtual MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
    virtual MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) = 0;
};

// The endpoint audio system. Called on the main thread and on the
// platform's notification threads.
class IEndpointPlatform {
public:
    virtual ~IEndpointPlatform() = default;

    // Creates an endpoint device enumerator (the MMDeviceEnumerator class).
    virtual HRESULT CreateDeviceEnumerator(IMMDeviceEnumerator** enumerator) = 0;
    // Waits `ms` milliseconds; returns true at once when `stop` is signalled.
    virtual bool WaitUnlessStopped(HANDLE stop, DWORD ms) = 0;
};

// The real system; one instance of each for the process.
IMixerPlatform& SystemMixerPlatform();
IEndpointPlatform& SystemEndpointPlatform();
