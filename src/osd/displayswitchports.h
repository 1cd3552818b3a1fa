// What the display-switch OSD asks of its surroundings: the display changer
// that opened it and takes the chosen output combination back, and the
// platform's click sound and audio device, which a test must control.
#pragma once

#include <string>

namespace osd {

// The display changer's side of the display-switch OSD.
class IDisplaySwitchOwner {
public:
    virtual ~IDisplaySwitchOwner() = default;

    // Graphics vendor code of the changer's driver (1 ATI, 2 NVIDIA, 3 Intel, 4 VIA, 0 none).
    virtual int GraphicsVendor() = 0;
    // The user confirmed a choice: the changer applies this output combination.
    virtual void ApplyDisplayCombination(int outputCode) = 0;
    // Ctrl (1) or Alt (2) was held at the confirmation.
    virtual void SetPendingSide(int side) = 0;
};

inline constexpr int kCtrlSide = 1;
inline constexpr int kAltSide = 2;

inline constexpr wchar_t kClickSoundFile[] = L"clickerx.wav";

// The click of a selection step and the audio device it would reach.
class IClickSound {
public:
    virtual ~IClickSound() = default;

    // Plays "clickerx.wav", waiting for its end unless `async`.
    virtual void PlayClick(bool async) = 0;
    // Product name of the first mixer device; false when it cannot be read.
    virtual bool FirstMixerProductName(std::wstring* name) = 0;
};

// The real system; one instance for the process.
IClickSound& SystemClickSound();

}  // namespace osd
