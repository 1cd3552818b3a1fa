// Master volume and mute of the default playback device, behind one
// interface with two implementations: the legacy mixer (CAudioMixer, before
// Vista) and the endpoint audio interfaces (CAudioVista, Vista and later).
// The system information object owns exactly one of them and re-creates it
// when the device goes away or changes.
//
// Volume level: 0 (silent) to 65535 (full), linear. Mute: 0 sound on, 1 muted.
// Every operation returns 1 for success and 0 for failure; outputs stay
// unchanged on failure.
#pragma once

#include <windows.h>

class CAudio {
public:
    CAudio() = default;
    virtual ~CAudio() = default;
    CAudio(const CAudio&) = delete;
    CAudio& operator=(const CAudio&) = delete;

    // Opens the device; change notices go to `notifyWindow`.
    virtual int Initialize(HWND notifyWindow) = 0;
    virtual int GetMasterVolumeMute(int* mute) = 0;
    virtual int SetMasterVolumeMute(int mute) = 0;
    virtual int GetMasterVolumeLevel(int* level) = 0;
    virtual int SetMasterVolumeLevel(int level) = 0;
};

namespace audio {

constexpr int kMaxLevel = 0xFFFF;
// Notices to the main window: the mixer driver's control change, and the
// endpoint implementation's own volume notice.
constexpr UINT kMixerControlChangeMessage = 0x3D1;  // MM_MIXM_CONTROL_CHANGE
constexpr UINT kEndpointVolumeMessage = 0x32;

}  // namespace audio
