// The hotkey action dispatcher: turns a hotkey code into its action on the
// hardware and into the OSD picture that confirms it.
#pragma once

#include "common/osdwindowslot.h"
#include "hardware/hotkeyports.h"

// Level value meaning "the level did not move at an end of its range": the
// picture is not redrawn, only the OSD's hide timer restarts.
inline constexpr int DRAW_SKIP_IN_MIN_MAX_LEVEL = 777;

class CHWIconDisplayer {
public:
    // `osd`: the OSD window's owner, asked for the window at every picture.
    CHWIconDisplayer(IHotkeyOwner& owner, IOsdWindowSlot<IHotkeyOsd>& osd) : m_owner(owner), m_osd(osd) {}
    virtual ~CHWIconDisplayer() = default;

    // Stores the hardware access and reads the volume level.
    void Init(IHotkeyHardware* systemInfo);
    // Reads the setting vqav: 1 = the program sets the volume in its own steps.
    void ReloadOwnVolumeSetting();
    bool OwnVolumeControl() const { return m_bOwnVolumeControl; }

    // 255 when it acted on the code, 1 when the code is not its own, 0 when no OSD window.
    int ProcessHotkey(int code);
    void ShowHWIcon(int iconCode, int level);
    // The Windows 7 volume path with vqav on: -1 right after a key, else the new level.
    void ShowVolumeIcon(bool up, int level);

    int Volume() const { return m_nVolume; }
    int VolumeStep() const { return m_nVolumeStep; }

private:
    bool EnsureOsdWindow(bool forceNew);
    // The OSD window is shown with this picture.
    bool ShowingPicture(int iconCode);
    void ShowBatteryCapacityIcon();
    void ShowBrightnessIcon();
    void ChangeBrightness(bool up);
    void ChangeVolume(bool up);
    void ShowMuteIcon();
    // Reads a state, writes its opposite (6 attempts) and shows the on or off picture.
    void ToggleState(int (IHotkeyHardware::*get)(BYTE*), int (IHotkeyHardware::*set)(BYTE),
                     const wchar_t* readFailure, int offIcon, int onIcon, int unavailable = -1);
    void StartBatteryWarning(bool replace);
    bool UnmuteIfMuted(bool noteOnOwner);

    IHotkeyOwner& m_owner;
    IOsdWindowSlot<IHotkeyOsd>& m_osd;
    bool m_bBrightnessLimitShown = false;
    IHotkeyHardware* m_pSystemInfo = nullptr;
    int m_nVolume = 0;
    int m_nVolumeStep = 0;
    bool m_bOwnVolumeControl = true;
    bool m_bVolumeLimitShown = false;
};

namespace volumescale {
// Index of the step whose start is the highest one not above `level`
// (the last index for a level at or above the last start).
int StepContaining(const int* starts, int count, int level);
int RoundedStep(int level, int steps);  // round(level x steps / 65535)
extern const int kOwnSteps[14];
extern const int kWindows7Steps[14];
extern const int kMediaCenterSteps[26];
}  // namespace volumescale
