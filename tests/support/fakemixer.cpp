#include "fakemixer.h"

#include <cstring>

namespace {

const HMIXER kHandle = reinterpret_cast<HMIXER>(0x4D58);

void Describe(const FakeMixerLine& from, DWORD index, MIXERLINEW* line) {
    line->dwDestination = index;
    line->dwLineID = from.lineId;
    line->dwComponentType = from.componentType;
    line->cConnections = from.connections;
    line->cControls = static_cast<DWORD>(from.controls.size());
    wcsncpy(line->szName, from.name.c_str(), MIXER_LONG_NAME_CHARS - 1);
}

DWORD Entries(const MIXERCONTROLDETAILS* details) {
    return details->cChannels * (details->cMultipleItems ? details->cMultipleItems : 1);
}

}  // namespace

MMRESULT FakeMixer::GetDevCaps(UINT_PTR id, MIXERCAPSW* caps, UINT size) {
    const MMRESULT result = id == reinterpret_cast<UINT_PTR>(kHandle) ? handleCapsResult : capsResult;
    if (result != MMSYSERR_NOERROR) return result;
    std::memset(caps, 0, size);
    wcsncpy(caps->szPname, productName.c_str(), MAXPNAMELEN - 1);
    caps->cDestinations = static_cast<DWORD>(destinations.size());
    return MMSYSERR_NOERROR;
}

MMRESULT FakeMixer::Open(HMIXER* mixer, UINT, DWORD_PTR callback, DWORD_PTR, DWORD flags) {
    openCallback = callback;
    openFlags = flags;
    ++openCount;
    if (openResult != MMSYSERR_NOERROR) return openResult;
    *mixer = kHandle;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeMixer::Close(HMIXER) {
    ++closeCount;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeMixer::GetLineInfo(HMIXEROBJ, MIXERLINEW* line, DWORD flags) {
    const auto& lines = destinations;
    if ((flags & MIXER_GETLINEINFOF_QUERYMASK) == MIXER_GETLINEINFOF_DESTINATION) {
        if (line->dwDestination >= lines.size()) return MIXERR_INVALLINE;
        Describe(lines[line->dwDestination], line->dwDestination, line);
        return MMSYSERR_NOERROR;
    }
    if (lineByIdResult != MMSYSERR_NOERROR) return lineByIdResult;
    for (DWORD i = 0; i < lines.size(); ++i) {
        if (lines[i].lineId == line->dwLineID) {
            Describe(lines[i], i, line);
            return MMSYSERR_NOERROR;
        }
    }
    return MIXERR_INVALLINE;
}

MMRESULT FakeMixer::GetLineControls(HMIXEROBJ, MIXERLINECONTROLSW* request, DWORD) {
    if (controlsResult != MMSYSERR_NOERROR) return controlsResult;
    for (const auto& line : destinations) {
        if (line.lineId != request->dwLineID) continue;
        if (request->cControls < line.controls.size()) return MMSYSERR_INVALPARAM;
        std::memcpy(request->pamxctrl, line.controls.data(), line.controls.size() * sizeof(MIXERCONTROLW));
        return MMSYSERR_NOERROR;
    }
    return MIXERR_INVALLINE;
}

MMRESULT FakeMixer::GetControlDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
    detailsCalls.push_back({false, details->dwControlID, details->cMultipleItems, {}});
    if (getDetailsResult != MMSYSERR_NOERROR) return getDetailsResult;
    auto* out = static_cast<DWORD*>(details->paDetails);
    const auto& stored = values[details->dwControlID];
    for (DWORD i = 0; i < Entries(details); ++i) out[i] = i < stored.size() ? stored[i] : 0;
    return MMSYSERR_NOERROR;
}

MMRESULT FakeMixer::SetControlDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
    const auto* in = static_cast<const DWORD*>(details->paDetails);
    std::vector<DWORD> written(in, in + Entries(details));
    detailsCalls.push_back({true, details->dwControlID, details->cMultipleItems, written});
    if (setDetailsResult != MMSYSERR_NOERROR) return setDetailsResult;
    values[details->dwControlID] = written;
    return MMSYSERR_NOERROR;
}

MIXERCONTROLW FakeMixer::Control(DWORD id, DWORD type, DWORD steps, DWORD flags, DWORD items) {
    MIXERCONTROLW control{};
    control.cbStruct = sizeof control;
    control.dwControlID = id;
    control.dwControlType = type;
    control.fdwControl = flags;
    control.cMultipleItems = items;
    control.Metrics.cSteps = steps;
    return control;
}

FakeMixer FakeMixer::Speakers() {
    FakeMixer mixer;
    mixer.destinations.push_back({MIXERLINE_COMPONENTTYPE_DST_SPEAKERS, 0xFFFF0000, L"Speakers", 2,
                                  {Control(10, MIXERCONTROL_CONTROLTYPE_VOLUME, 65536),
                                   Control(11, MIXERCONTROL_CONTROLTYPE_MUTE, 2)}});
    return mixer;
}
