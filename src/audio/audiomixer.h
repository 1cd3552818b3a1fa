// Master volume and mute through the legacy multimedia mixer (before Vista):
// mixer device 0, its last speakers or headphones destination, and that
// line's volume and mute controls. The mixer driver sends its own change
// notices (MM_MIXM_LINE_CHANGE, MM_MIXM_CONTROL_CHANGE) to the notify window.
// Main thread only.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <string>

#include "audio/audio.h"
#include "audio/audioplatform.h"

class CAudioMixer : public CAudio {
public:
    // The record of the controlled output line.
    struct OutputLineRecord {
        WORD destination;
        WORD connections;
        DWORD lineId;
        DWORD largestVolumeStep;  // step count - 1, at most 32767
        char name[64];
        MIXERCONTROLW volume;
        MIXERCONTROLW mute;
    };
    static constexpr DWORD kLargestStepLimit = 32767;
    static constexpr size_t kValueSlots = 10;

    explicit CAudioMixer(IMixerPlatform& platform = SystemMixerPlatform());
    ~CAudioMixer() override;

    int Initialize(HWND notifyWindow) override;
    int GetMasterVolumeMute(int* mute) override;
    int SetMasterVolumeMute(int mute) override;
    int GetMasterVolumeLevel(int* level) override;
    int SetMasterVolumeLevel(int level) override;

    // Whether mixer device 0 now has another product name than at Initialize.
    // Returns 0, leaving *changed alone, when device 0 cannot be read.
    int IsDeviceChanged(int* changed);

    const wchar_t* ProductName() const { return DeviceName; }
    const OutputLineRecord& OutputLine() const { return m_OutputLine; }

private:
    void SearchOutputLine();
    void ReadLineControls();
    // One value request on a control; `count` values of the value buffer.
    MMRESULT RequestValues(const MIXERCONTROLW& control, DWORD count, bool set);
    // A value query of `count` values; the last one read goes to *last.
    // Reports `failureText` when the driver refuses.
    bool ReadValues(const MIXERCONTROLW& control, DWORD count, const wchar_t* failureText, DWORD* last);
    // Sets every value of the control to `value`.
    int WriteValues(const MIXERCONTROLW& control, DWORD value);
    // How many values a control reports: its item count with the multiple flag, else 1.
    static DWORD ValueCount(const MIXERCONTROLW& control);
    bool HasMixer() const;

    IMixerPlatform& m_platform;
    wchar_t DeviceName[MAXPNAMELEN];
    std::wstring m_strTraceName;
    HWND NotifyWindow = nullptr;
    HMIXER m_hMixer = nullptr;
    OutputLineRecord m_OutputLine;
    DWORD m_Values[kValueSlots];
};
