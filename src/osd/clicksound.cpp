#include <windows.h>
#include <mmsystem.h>

#include "osd/displayswitchports.h"

namespace osd {

namespace {
class CWin32ClickSound : public IClickSound {
public:
    void PlayClick(bool async) override {
        // By name, as the system resolves it (no alias or file flag).
        PlaySoundW(kClickSoundFile, nullptr, async ? SND_ASYNC : SND_SYNC);
    }
    bool FirstMixerProductName(std::wstring* name) override {
        MIXERCAPSW caps{};
        if (mixerGetDevCapsW(0, &caps, sizeof caps) != MMSYSERR_NOERROR) return false;
        *name = caps.szPname;
        return true;
    }
};
}  // namespace

IClickSound& SystemClickSound() {
    static CWin32ClickSound sound;
    return sound;
}

}  // namespace osd
