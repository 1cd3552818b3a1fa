// The platform calls of the audio objects that tests must control: the legacy
// mixer functions, the creation of the endpoint device enumerator, and the
// wait before a newly plugged endpoint is looked up. The real Win32 calls are
// the default; a test assigns fakes to CurrentPlatform() and restores it.
#pragma once

#include <windows.h>
#include <mmdeviceapi.h>
#include <mmsystem.h>

namespace audio {

struct Platform {
    // Legacy mixer (winmm), same meaning as the Win32 functions of these names.
    MMRESULT(WINAPI* mixerGetDevCapsW)(UINT_PTR mixer, MIXERCAPSW* caps, UINT size);
    MMRESULT(WINAPI* mixerOpen)(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags);
    MMRESULT(WINAPI* mixerClose)(HMIXER mixer);
    MMRESULT(WINAPI* mixerGetLineInfoW)(HMIXEROBJ mixer, MIXERLINEW* line, DWORD flags);
    MMRESULT(WINAPI* mixerGetLineControlsW)(HMIXEROBJ mixer, MIXERLINECONTROLSW* controls, DWORD flags);
    MMRESULT(WINAPI* mixerGetControlDetailsW)(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags);
    MMRESULT(WINAPI* mixerSetControlDetails)(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags);

    // Creates an endpoint device enumerator (the MMDeviceEnumerator class).
    HRESULT (*createDeviceEnumerator)(IMMDeviceEnumerator** enumerator);
    // Waits `ms` milliseconds; returns true at once when `stop` is signalled.
    bool (*waitUnlessStopped)(HANDLE stop, DWORD ms);
};

Platform RealPlatform();
// The calls in use; a test may assign to it and must restore it.
Platform& CurrentPlatform();

}  // namespace audio
