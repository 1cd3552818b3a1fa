// A mixer driver in memory behind the mixer platform calls: device 0 with a
// product name and destinations, each with its controls, and control values
// that a set stores (and a get returns). Handed to the mixer object (or to the
// system information object that creates it) at construction.
#pragma once

#include <windows.h>
#include <mmsystem.h>

#include <map>
#include <string>
#include <vector>

#include "audio/audioplatform.h"

struct FakeMixerLine {
    DWORD componentType;
    DWORD lineId;
    std::wstring name;
    DWORD connections = 0;
    std::vector<MIXERCONTROLW> controls;
};

struct FakeMixer : IMixerPlatform {
    std::wstring productName = L"Fake Mixer";
    MMRESULT capsResult = MMSYSERR_NOERROR;        // mixerGetDevCapsW of device 0
    MMRESULT handleCapsResult = MMSYSERR_NOERROR;  // mixerGetDevCapsW of the open handle
    MMRESULT openResult = MMSYSERR_NOERROR;
    MMRESULT lineByIdResult = MMSYSERR_NOERROR;
    MMRESULT controlsResult = MMSYSERR_NOERROR;
    MMRESULT getDetailsResult = MMSYSERR_NOERROR;
    MMRESULT setDetailsResult = MMSYSERR_NOERROR;
    std::vector<FakeMixerLine> destinations;
    std::map<DWORD, std::vector<DWORD>> values;  // by control id

    // What the program asked for.
    DWORD_PTR openCallback = 0;
    DWORD openFlags = 0;
    int openCount = 0;
    int closeCount = 0;
    struct DetailsCall {
        bool set;
        DWORD controlId;
        DWORD multipleItems;
        std::vector<DWORD> written;  // values of a set
    };
    std::vector<DetailsCall> detailsCalls;

    static MIXERCONTROLW Control(DWORD id, DWORD type, DWORD steps = 0, DWORD flags = 0, DWORD items = 0);
    // Speakers destination 0 with volume control 10 and mute control 11.
    static FakeMixer Speakers();

    MMRESULT GetDevCaps(UINT_PTR mixer, MIXERCAPSW* caps, UINT size) override;
    MMRESULT Open(HMIXER* mixer, UINT id, DWORD_PTR callback, DWORD_PTR instance, DWORD flags) override;
    MMRESULT Close(HMIXER mixer) override;
    MMRESULT GetLineInfo(HMIXEROBJ mixer, MIXERLINEW* line, DWORD flags) override;
    MMRESULT GetLineControls(HMIXEROBJ mixer, MIXERLINECONTROLSW* controls, DWORD flags) override;
    MMRESULT GetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override;
    MMRESULT SetControlDetails(HMIXEROBJ mixer, MIXERCONTROLDETAILS* details, DWORD flags) override;
};
