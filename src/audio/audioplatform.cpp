#include "audio/audioplatform.h"

namespace audio {
namespace {

// {BCDE0395-E52F-467C-8E3D-C4579291692E}
constexpr CLSID kDeviceEnumeratorClass = {
    0xBCDE0395, 0xE52F, 0x467C, {0x8E, 0x3D, 0xC4, 0x57, 0x92, 0x91, 0x69, 0x2E}};

HRESULT CreateRealDeviceEnumerator(IMMDeviceEnumerator** enumerator) {
    return CoCreateInstance(kDeviceEnumeratorClass, nullptr, CLSCTX_ALL, __uuidof(IMMDeviceEnumerator),
                            reinterpret_cast<void**>(enumerator));
}

bool WaitUnlessStopped(HANDLE stop, DWORD ms) {
    if (!stop) {
        Sleep(ms);
        return false;
    }
    return WaitForSingleObject(stop, ms) == WAIT_OBJECT_0;
}

}  // namespace

Platform RealPlatform() {
    return Platform{
        &::mixerGetDevCapsW,     &::mixerOpen,
        &::mixerClose,           &::mixerGetLineInfoW,
        &::mixerGetLineControlsW, &::mixerGetControlDetailsW,
        &::mixerSetControlDetails, &CreateRealDeviceEnumerator,
        &WaitUnlessStopped,
    };
}

Platform& CurrentPlatform() {
    static Platform platform = RealPlatform();
    return platform;
}

}  // namespace audio
