#include "audio/audioplatform.h"

namespace {

// {BCDE0395-E52F-467C-8E3D-C4579291692E}
constexpr CLSID kDeviceEnumeratorClass = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};

class CWin32MixerPlatform : public IMixerPlatform {
public:
    MMRESULT GetDevCaps(UINT_PTR mixer, MIXERCAPSW* caps, UINT size) override {
        return mixerGetDevCapsW(mixer, caps, size);
    }
    MMRESULT Open(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) override {
        return mixerOpen(mixer, id, callback, instance, flags);
    }
    MMRESULT Close(HMIXER mixer) override { return mixerClose(mixer); }
    MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEW* line, DWORD flags) override {
        return mixerGetLineInfoW(mixer, line, flags);
    }
    MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSW* controls, DWORD flags) override {
        return mixerGetLineControlsW(mixer, controls, flags);
    }
    MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerGetControlDetailsW(mixer, details, flags);
    }
    MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override {
        return mixerSetControlDetails(mixer, details, flags);
    }
};

class CWin32EndpointPlatform : public IEndpointPlatform {
public:
    HRESULT CreateDeviceEnumerator(IMMDeviceEnumerator** enumerator) override {
        return CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                                reinterpret_cast<void**>(enumerator));
    }

    bool WaitUnlessStopped(HANDLE stop, DWORD ms) override {
        if (!stop) {
            Sleep(ms);
            return false;
        }
        return WaitForSingleObject(stop, ms) == WAIT_OBJECT_0;
    }
};

}  // namespace

IMixerPlatform& SystemMixerPlatform() {
    static CWin32MixerPlatform platform;
    return platform;
}

IEndpointPlatform& SystemEndpointPlatform() {
    static CWin32EndpointPlatform platform;
    return platform;
}
