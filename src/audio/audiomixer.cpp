#include "audio/audiomixer.h"

#include <cstring>
#include <vector>

#include "common/commondefine.h"

namespace {

const wchar_t kNoDeviceText[] =
    L"Impossible to set the volume: We cannot get the audio device. \r\nPlease terminate Valmora & run the program again";
const wchar_t kTooManyItemsText[] = L"fail: mixer control has more values than the value buffer";

HMIXEROBJ AsObject(HMIXER mixer) { return reinterpret_cast<HMIXEROBJ>(mixer); }

}  // namespace

CAudioMixer::CAudioMixer(IMixerPlatform& platform) : m_platform(platform) {
    std::memset(DeviceName, 0, sizeof DeviceName);
    std::memset(&m_OutputLine, 0, sizeof m_OutputLine);
    std::memset(m_Values, 0, sizeof m_Values);
}

CAudioMixer::~CAudioMixer() {
    if (m_hMixer) m_platform.Close(m_hMixer);
}

bool CAudioMixer::HasMixer() const {
    if (m_hMixer) return true;
    ReportError(kNoDeviceText);
    return false;
}

int CAudioMixer::Initialize(HWND notifyWindow) {
    NotifyWindow = notifyWindow;
    MIXERCAPSW caps{};
    if (m_platform.GetDevCaps(0, &caps, sizeof caps) == MMSYSERR_NOERROR) {
        HMIXER mixer = nullptr;
        if (m_platform.Open(&mixer, 0, reinterpret_cast<DWORD_PTR>(notifyWindow), 0, CALLBACK_WINDOW) ==
            MMSYSERR_NOERROR) {
            m_hMixer = mixer;
        }
        std::memcpy(DeviceName, caps.szPname, sizeof DeviceName);
        DeviceName[MAXPNAMELEN - 1] = 0;
        m_strTraceName = DeviceName;
    }
    if (!m_hMixer) {
        ReportError(kNoDeviceText);
        return 0;
    }
    Trace(L"mixer opened: " + m_strTraceName);
    SearchOutputLine();
    return 1;
}

void CAudioMixer::SearchOutputLine() {
    MIXERCAPSW caps{};
    if (m_platform.GetDevCaps(reinterpret_cast<UINT_PTR>(m_hMixer), &caps, sizeof caps) != MMSYSERR_NOERROR) {
        ReportError(L"殿废等 厘摹狼 沥焊甫 佬阑 荐 绝嚼聪促.");
        return;
    }
    // The last speakers or headphones destination in index order is kept.
    for (DWORD index = 0; index < caps.cDestinations; ++index) {
        MIXERLINEW line{};
        line.cbStruct = sizeof line;
        line.dwDestination = index;
        if (m_platform.GetLineInfo(AsObject(m_hMixer), &line,
                                   MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_DESTINATION) != MMSYSERR_NOERROR) {
            continue;
        }
        if (line.dwComponentType != MIXERLINE_COMPONENTTYPE_DST_SPEAKERS &&
            line.dwComponentType != MIXERLINE_COMPONENTTYPE_DST_HEADPHONES) {
            continue;
        }
        m_OutputLine.destination = static_cast<WORD>(line.dwDestination);
        m_OutputLine.connections = static_cast<WORD>(line.cConnections);
        m_OutputLine.lineId = line.dwLineID;
        std::memset(m_OutputLine.name, 0, sizeof m_OutputLine.name);
        WideCharToMultiByte(CP_ACP, 0, line.szName, -1, m_OutputLine.name, sizeof m_OutputLine.name - 1, nullptr,
                            nullptr);
        ReadLineControls();
    }
}

void CAudioMixer::ReadLineControls() {
    MIXERLINEW line{};
    line.cbStruct = sizeof line;
    line.dwLineID = m_OutputLine.lineId;
    if (m_platform.GetLineInfo(AsObject(m_hMixer), &line, MIXER_OBJECTF_HMIXER | MIXER_GETLINEINFOF_LINEID) !=
        MMSYSERR_NOERROR) {
        ReportError(L"fail: MixerGetLineInfo");
        return;
    }
    if (line.cControls == 0) {
        ReportError(L"fail: No Function available");
        return;
    }
    std::vector<MIXERCONTROLW> controls(line.cControls);
    std::memset(controls.data(), 0, controls.size() * sizeof(MIXERCONTROLW));
    MIXERLINECONTROLSW request{};
    request.cbStruct = sizeof request;
    request.dwLineID = m_OutputLine.lineId;
    request.cControls = line.cControls;
    request.cbmxctrl = sizeof(MIXERCONTROLW);
    request.pamxctrl = controls.data();
    if (m_platform.GetLineControls(AsObject(m_hMixer), &request,
                                   MIXER_OBJECTF_HMIXER | MIXER_GETLINECONTROLSF_ALL) != MMSYSERR_NOERROR) {
        ReportError(L"fail: mixerGetLineControls");
        return;
    }
    for (const MIXERCONTROLW& control : controls) {
        if (control.dwControlType == MIXERCONTROL_CONTROLTYPE_VOLUME) {
            m_OutputLine.volume = control;
            // Unsigned on purpose: a step count of 0 wraps and ends at the limit too.
            const DWORD largest = control.Metrics.cSteps - 1;
            m_OutputLine.largestVolumeStep = largest > kLargestStepLimit ? kLargestStepLimit : largest;
        } else if (control.dwControlType == MIXERCONTROL_CONTROLTYPE_MUTE) {
            m_OutputLine.mute = control;
        }
    }
}

DWORD CAudioMixer::ValueCount(const MIXERCONTROLW& control) {
    return (control.fdwControl & MIXERCONTROL_CONTROLF_MULTIPLE) ? control.cMultipleItems : 1;
}

MMRESULT CAudioMixer::RequestValues(const MIXERCONTROLW& control, DWORD count, bool set) {
    MIXERCONTROLDETAILS details{};
    details.cbStruct = sizeof details;
    details.dwControlID = control.dwControlID;
    details.cChannels = 1;
    details.cMultipleItems = control.cMultipleItems;
    details.cbDetails = sizeof(DWORD);
    details.paDetails = m_Values;
    // The driver fills or reads as many values as the control's item count;
    // a control with more items than the buffer holds is refused.
    if (count > kValueSlots || details.cMultipleItems > kValueSlots) {
        ReportError(kTooManyItemsText);
        return MMSYSERR_INVALPARAM;
    }
    const DWORD flags = MIXER_OBJECTF_HMIXER | (set ? MIXER_SETCONTROLDETAILSF_VALUE : MIXER_GETCONTROLDETAILSF_VALUE);
    return set ? m_platform.SetControlDetails(AsObject(m_hMixer), &details, flags)
               : m_platform.GetControlDetails(AsObject(m_hMixer), &details, flags);
}

bool CAudioMixer::ReadValues(const MIXERCONTROLW& control, DWORD count, const wchar_t* failureText, DWORD* last) {
    if (!HasMixer()) return false;
    if (RequestValues(control, count, false) != MMSYSERR_NOERROR) {
        ReportError(failureText);
        return false;
    }
    *last = m_Values[count == 0 ? 0 : count - 1];
    return true;
}

int CAudioMixer::WriteValues(const MIXERCONTROLW& control, DWORD value) {
    if (!HasMixer()) return 0;
    const DWORD count = ValueCount(control);
    for (DWORD i = 0; i < count && i < kValueSlots; ++i) m_Values[i] = value;
    if (RequestValues(control, count, true) != MMSYSERR_NOERROR) {
        ReportError(L"(mixerSetControlDetails)");
        return 0;
    }
    return 1;
}

int CAudioMixer::GetMasterVolumeLevel(int* level) {
    DWORD value = 0;
    if (!ReadValues(m_OutputLine.volume, ValueCount(m_OutputLine.volume), L"郴何窃荐 坷幅(mixerGetControlDetails)",
                    &value))
        return 0;
    *level = static_cast<int>(value);
    return 1;
}

int CAudioMixer::SetMasterVolumeLevel(int level) { return WriteValues(m_OutputLine.volume, static_cast<DWORD>(level)); }

int CAudioMixer::GetMasterVolumeMute(int* mute) {
    DWORD value = 0;
    if (!ReadValues(m_OutputLine.mute, 1, L"(mixerGetControlDetails)", &value)) return 0;
    *mute = static_cast<int>(value);
    return 1;
}

// A failed set is a failure: the caller must not believe the sound is (un)muted.
int CAudioMixer::SetMasterVolumeMute(int mute) { return WriteValues(m_OutputLine.mute, static_cast<DWORD>(mute)); }

int CAudioMixer::IsDeviceChanged(int* changed) {
    MIXERCAPSW caps{};
    if (m_platform.GetDevCaps(0, &caps, sizeof caps) != MMSYSERR_NOERROR) return 0;
    caps.szPname[MAXPNAMELEN - 1] = 0;
    *changed = std::wcscmp(caps.szPname, DeviceName) != 0 ? 1 : 0;
    return 1;
}
