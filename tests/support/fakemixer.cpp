#include "fakemixer.h"

#include <cstring>

namespace {

FakeMixer* g_mixer = nullptr;
const HMIXER kHandle = reinterpret_cast<HMIXER>(0x4D58);

MMRESULT WINAPI GetDevCaps(UINT_PTR id, MIXERCAPSW* caps, UINT size) {
    const MMRESULT result = id == reinterpret_cast<UINT_PTR>(kHandle) ? g_mixer->handleCapsResult : g_mixer->capsResult;
    if (result != MMSYSERR_NOERROR) return result;
    std::memset(caps, 0, size);
    wcsncpy(caps->szPname, g_mixer->productName.c_str(), MAXPNAMELEN - 1);
    caps->cDestinations = static_cast<DWORD>(g_mixer->destinations.size());
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Open(HMIXER* mixer, UINT, DWORD_PTR callback, DWORD_PTR, DWORD flags) {
    g_mixer->openCallback = callback;
    g_mixer->openFlags = flags;
    ++g_mixer->openCount;
    if (g_mixer->openResult != MMSYSERR_NOERROR) return g_mixer->openResult;
    *mixer = kHandle;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI Close(HMIXER) {
    ++g_mixer->closeCount;
    return MMSYSERR_NOERROR;
}

void Describe(const FakeMixerLine& from, DWORD index, MIXERLINEW* line) {
    line->dwDestination = index;
    line->dwLineID = from.lineId;
    line->dwComponentType = from.componentType;
    line->cConnections = from.connections;
    line->cControls = static_cast<DWORD>(from.controls.size());
    wcsncpy(line->szName, from.name.c_str(), MIXER_LONG_NAME_CHARS - 1);
}

MMRESULT WINAPI GetLineInfo(HMIXEROBJ, MIXERLINEW* line, DWORD flags) {
    const auto& lines = g_mixer->destinations;
    if ((flags & MIXER_GETLINEINFOF_QUERYMASK) == MIXER_GETLINEINFOF_DESTINATION) {
        if (line->dwDestination >= lines.size()) return MIXERR_INVALLINE;
        Describe(lines[line->dwDestination], line->dwDestination, line);
        return MMSYSERR_NOERROR;
    }
    if (g_mixer->lineByIdResult != MMSYSERR_NOERROR) return g_mixer->lineByIdResult;
    for (DWORD i = 0; i < lines.size(); ++i) {
        if (lines[i].lineId == line->dwLineID) {
            Describe(lines[i], i, line);
            return MMSYSERR_NOERROR;
        }
    }
    return MIXERR_INVALLINE;
}

MMRESULT WINAPI GetLineControls(HMIXEROBJ, MIXERLINECONTROLSW* request, DWORD) {
    if (g_mixer->controlsResult != MMSYSERR_NOERROR) return g_mixer->controlsResult;
    for (const auto& line : g_mixer->destinations) {
        if (line.lineId != request->dwLineID) continue;
        if (request->cControls < line.controls.size()) return MMSYSERR_INVALPARAM;
        std::memcpy(request->pamxctrl, line.controls.data(), line.controls.size() * sizeof(MIXERCONTROLW));
        return MMSYSERR_NOERROR;
    }
    return MIXERR_INVALLINE;
}

DWORD Entries(const MIXERCONTROLDETAILS* details) {
    return details->cChannels * (details->cMultipleItems ? details->cMultipleItems : 1);
}

MMRESULT WINAPI GetDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
    g_mixer->detailsCalls.push_back({false, details->dwControlID, details->cMultipleItems, {}});
    if (g_mixer->getDetailsResult != MMSYSERR_NOERROR) return g_mixer->getDetailsResult;
    auto* out = static_cast<DWORD*>(details->paDetails);
    const auto& stored = g_mixer->values[details->dwControlID];
    for (DWORD i = 0; i < Entries(details); ++i) out[i] = i < stored.size() ? stored[i] : 0;
    return MMSYSERR_NOERROR;
}

MMRESULT WINAPI SetDetails(HMIXEROBJ, MIXERCONTROLDETAILS* details, DWORD) {
    const auto* in = static_cast<const DWORD*>(details->paDetails);
    std::vector<DWORD> written(in, in + Entries(details));
    g_mixer->detailsCalls.push_back({true, details->dwControlID, details->cMultipleItems, written});
    if (g_mixer->setDetailsResult != MMSYSERR_NOERROR) return g_mixer->setDetailsResult;
    g_mixer->values[details->dwControlID] = written;
    return MMSYSERR_NOERROR;
}

}  // namespace

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

FakeMixerScope::FakeMixerScope(FakeMixer& mixer) : m_saved(audio::CurrentPlatform()) {
    g_mixer = &mixer;
    audio::Platform& platform = audio::CurrentPlatform();
    platform.mixerGetDevCapsW = &GetDevCaps;
    platform.mixerOpen = &Open;
    platform.mixerClose = &Close;
    platform.mixerGetLineInfoW = &GetLineInfo;
    platform.mixerGetLineControlsW = &GetLineControls;
    platform.mixerGetControlDetailsW = &GetDetails;
    platform.mixerSetControlDetails = &SetDetails;
}

FakeMixerScope::~FakeMixerScope() {
    audio::CurrentPlatform() = m_saved;
    g_mixer = nullptr;
}
