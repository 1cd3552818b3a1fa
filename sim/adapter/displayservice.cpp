#include "displayservice.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "adapterstore.h"
#include "graphicsstore.h"
#include "notebookdesktop.h"

namespace vqsim::displayconfig {

namespace {

namespace gs = vqsim::graphics;

using GetBufferSizesFn = LONG(WINAPI*)(UINT32, UINT32*, UINT32*);
using QueryFn = LONG(WINAPI*)(UINT32, UINT32*, DISPLAYCONFIG_PATH_INFO*, UINT32*, DISPLAYCONFIG_MODE_INFO*,
                              DISPLAYCONFIG_TOPOLOGY_ID*);
using GetDeviceInfoFn = LONG(WINAPI*)(DISPLAYCONFIG_DEVICE_INFO_HEADER*);
using SetFn = LONG(WINAPI*)(UINT32, DISPLAYCONFIG_PATH_INFO*, UINT32, DISPLAYCONFIG_MODE_INFO*, UINT32);

// The platform's flags and codes, by value (the headers name some only for newer targets).
constexpr UINT32 kQueryAll = 0x1, kQueryActive = 0x2, kQueryDatabase = 0x4;
constexpr UINT32 kTopologyInternal = 0x1, kTopologyClone = 0x2, kTopologyExtend = 0x4, kTopologyExternal = 0x8;
constexpr UINT32 kTopologyMask = 0xF;
constexpr UINT32 kUseSupplied = 0x20, kValidate = 0x40, kApply = 0x80;
constexpr UINT32 kPreferredModeRequest = 3;
constexpr UINT32 kNoMode = DISPLAYCONFIG_PATH_MODE_IDX_INVALID;

// The Intel driver's target ids and technologies of the notebook's outputs.
struct Target {
    std::uint32_t deviceBit;
    std::uint32_t id;
    UINT32 technology;
    const wchar_t* name;  // the stem of the graphics state's value names
};
constexpr Target kTargets[] = {
    {0x01, 0x4070400, 0x80000000, L"Panel"},  // internal
    {0x02, 0x1010100, 0, L"Crt"},             // HD15
    {0x08, 0x3030300, 5, L"Hdmi"},            // HDMI
    {0x04, 0x2090200, 1, L"Tv"},              // S-video
};
constexpr int kRefreshHz = 60;
constexpr DWORD kExternalPreferredWidth = 1920, kExternalPreferredHeight = 1080;

const gs::GraphicsStore& Store() {
    static const gs::GraphicsStore store;
    return store;
}

const Target* TargetById(std::uint32_t id) {
    for (const Target& t : kTargets) {
        if (t.id == id) return &t;
    }
    return nullptr;
}

bool Connected(const Target& t) {
    return Store().ReadDword(std::wstring(t.name) + gs::value::kConnectedSuffix, t.deviceBit == 0x01 ? 1 : 0) != 0;
}

// The size a target asks for: the panel's optimal size, an external output's
// own (state "<Name>PreferredWidth"/"...Height", stock 1920 x 1080).
SIZE PreferredSize(const Target& t) {
    if (t.deviceBit == 0x01) {
        return {static_cast<LONG>(Store().ReadDword(gs::value::kOptimalWidth, gs::stock::kOptimalWidth)),
                static_cast<LONG>(Store().ReadDword(gs::value::kOptimalHeight, gs::stock::kOptimalHeight))};
    }
    return {static_cast<LONG>(Store().ReadDword(std::wstring(t.name) + L"PreferredWidth", kExternalPreferredWidth)),
            static_cast<LONG>(Store().ReadDword(std::wstring(t.name) + L"PreferredHeight", kExternalPreferredHeight))};
}

// A driver's timing for a size: short blanking, 60 Hz, progressive.
DISPLAYCONFIG_VIDEO_SIGNAL_INFO Timing(UINT32 width, UINT32 height) {
    DISPLAYCONFIG_VIDEO_SIGNAL_INFO signal{};
    const UINT32 totalWidth = width + 160, totalHeight = height + 30;
    signal.pixelRate = UINT64{totalWidth} * totalHeight * kRefreshHz;
    signal.hSyncFreq = {static_cast<UINT32>(signal.pixelRate), totalWidth};
    signal.vSyncFreq = {static_cast<UINT32>(signal.pixelRate), totalWidth * totalHeight};
    signal.activeSize = {width, height};
    signal.totalSize = {totalWidth, totalHeight};
    signal.videoStandard = 255;
    signal.scanLineOrdering = DISPLAYCONFIG_SCANLINE_ORDERING_PROGRESSIVE;
    return signal;
}

// --- the identity and Wine's own functions ---------------------------------

HMODULE User32() { return GetModuleHandleW(L"user32.dll"); }
template <typename Fn>
Fn Real(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(User32(), name)));
}

bool IntelNotebook() {
    wchar_t id[128] = {};
    DWORD bytes = sizeof id;
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::adapter::kKey, vqsim::adapter::kDeviceId, RRF_RT_REG_SZ, nullptr, id,
                     &bytes) != ERROR_SUCCESS) {
        return false;
    }
    id[127] = 0;
    return std::wcsstr(id, L"VEN_8086") != nullptr;
}

// The adapter as Wine names it, so that every path carries one LUID.
LUID AdapterLuid() {
    static LUID luid = [] {
        LUID found{0x3F0, 0};
        auto sizes = Real<GetBufferSizesFn>("GetDisplayConfigBufferSizes");
        auto query = Real<QueryFn>("QueryDisplayConfig");
        UINT32 paths = 0, modes = 0;
        if (sizes && query && sizes(kQueryActive, &paths, &modes) == ERROR_SUCCESS && paths) {
            std::vector<DISPLAYCONFIG_PATH_INFO> p(paths);
            std::vector<DISPLAYCONFIG_MODE_INFO> m(modes);
            if (query(kQueryActive, &paths, p.data(), &modes, m.data(), nullptr) == ERROR_SUCCESS && paths) {
                found = p[0].sourceInfo.adapterId;
            }
        }
        return found;
    }();
    return luid;
}
bool SameLuid(const LUID& a, const LUID& b) { return a.LowPart == b.LowPart && a.HighPart == b.HighPart; }

// --- what the notebook shows now -------------------------------------------

struct Source {
    UINT32 width, height;
    INT32 x, y;
    UINT32 refresh = 0;  // Hz, from the timing handed in; 0: the display's choice
};

bool CurrentMode(const wchar_t* device, DEVMODEW* mode) {
    *mode = {};
    mode->dmSize = sizeof *mode;
    return EnumDisplaySettingsW(device, ENUM_CURRENT_SETTINGS, mode) != FALSE;
}

Source SourceOf(const wchar_t* device, const Target& shown) {
    DEVMODEW mode;
    if (CurrentMode(device, &mode) && mode.dmPelsWidth) {
        return {mode.dmPelsWidth, mode.dmPelsHeight, mode.dmPosition.x, mode.dmPosition.y};
    }
    const SIZE size = PreferredSize(shown);
    return {static_cast<UINT32>(size.cx), static_cast<UINT32>(size.cy), 0, 0};
}

struct Answer {
    std::vector<DISPLAYCONFIG_PATH_INFO> paths;
    std::vector<DISPLAYCONFIG_MODE_INFO> modes;
};

DISPLAYCONFIG_PATH_INFO PathTo(const Target& t, UINT32 sourceId) {
    DISPLAYCONFIG_PATH_INFO path{};
    path.sourceInfo.adapterId = AdapterLuid();
    path.sourceInfo.id = sourceId;
    path.sourceInfo.modeInfoIdx = kNoMode;
    path.targetInfo.adapterId = AdapterLuid();
    path.targetInfo.id = t.id;
    path.targetInfo.modeInfoIdx = kNoMode;
    path.targetInfo.outputTechnology = static_cast<DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY>(t.technology);
    path.targetInfo.rotation = DISPLAYCONFIG_ROTATION_IDENTITY;
    path.targetInfo.scaling = DISPLAYCONFIG_SCALING_IDENTITY;
    path.targetInfo.scanLineOrdering = DISPLAYCONFIG_SCANLINE_ORDERING_PROGRESSIVE;
    path.targetInfo.targetAvailable = TRUE;
    return path;
}

Answer CurrentAnswer(UINT32 flags) {
    Answer answer;
    const DWORD shown1 = Store().ReadDword(gs::value::kDisplay1, gs::stock::kDisplay1);
    const DWORD shown2 = Store().ReadDword(gs::value::kDisplay2, 0);
    const wchar_t* devices[] = {L"\\\\.\\DISPLAY1", L"\\\\.\\DISPLAY2"};
    const DWORD shown[] = {shown1, shown2};
    DWORD active = 0;
    // Active paths first, by source: each source once, each output on it a path.
    for (UINT32 sourceId = 0; sourceId < 2; ++sourceId) {
        UINT32 sourceIndex = kNoMode;
        for (const Target& t : kTargets) {
            if (!(shown[sourceId] & t.deviceBit) || !Connected(t)) continue;
            if (sourceIndex == kNoMode) {
                const Source s = SourceOf(devices[sourceId], t);
                DISPLAYCONFIG_MODE_INFO mode{};
                mode.infoType = DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE;
                mode.id = sourceId;
                mode.adapterId = AdapterLuid();
                mode.sourceMode = {s.width, s.height, DISPLAYCONFIG_PIXELFORMAT_32BPP, {s.x, s.y}};
                sourceIndex = static_cast<UINT32>(answer.modes.size());
                answer.modes.push_back(mode);
            }
            const DISPLAYCONFIG_SOURCE_MODE& source = answer.modes[sourceIndex].sourceMode;
            DISPLAYCONFIG_MODE_INFO target{};
            target.infoType = DISPLAYCONFIG_MODE_INFO_TYPE_TARGET;
            target.id = t.id;
            target.adapterId = AdapterLuid();
            target.targetMode.targetVideoSignalInfo = Timing(source.width, source.height);
            DISPLAYCONFIG_PATH_INFO path = PathTo(t, sourceId);
            path.targetInfo.rotation = static_cast<DISPLAYCONFIG_ROTATION>(
                DISPLAYCONFIG_ROTATION_IDENTITY + (Store().ReadDword(std::wstring(t.name) + gs::value::kRotationSuffix, 0) & 3));
            path.sourceInfo.modeInfoIdx = sourceIndex;
            path.sourceInfo.statusFlags = DISPLAYCONFIG_SOURCE_IN_USE;
            path.targetInfo.modeInfoIdx = static_cast<UINT32>(answer.modes.size());
            path.targetInfo.refreshRate = {kRefreshHz, 1};
            path.targetInfo.statusFlags = DISPLAYCONFIG_TARGET_IN_USE;
            path.flags = DISPLAYCONFIG_PATH_ACTIVE;
            answer.modes.push_back(target);
            answer.paths.push_back(path);
            active |= t.deviceBit;
        }
    }
    if (flags & kQueryActive) return answer;
    // Every connected output that shows nothing, as an inactive path.
    for (const Target& t : kTargets) {
        if (Connected(t) && !(active & t.deviceBit)) answer.paths.push_back(PathTo(t, 0));
    }
    return answer;
}

// --- validation and apply ----------------------------------------------------

// A configuration the notebook can show: one source (single or clone with
// the panel), or two sources with one output each, the first at the origin.
struct Layout {
    DWORD shown[2] = {0, 0};  // device bits per source
    Source source[2] = {};
    int sources = 0;
    std::wstring text;  // for the journal
};

std::wstring Hex(std::uint32_t value) {
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%x", value);
    return text;
}

// Empty when the configuration can be shown, else why not.
std::wstring Check(UINT32 pathCount, const DISPLAYCONFIG_PATH_INFO* paths, UINT32 modeCount,
                   const DISPLAYCONFIG_MODE_INFO* modes, Layout* layout) {
    if (!paths || !modes || pathCount == 0 || pathCount > 2) return L"one or two paths";
    const LUID luid = AdapterLuid();
    bool haveSource[2] = {false, false};
    for (UINT32 i = 0; i < pathCount; ++i) {
        const DISPLAYCONFIG_PATH_INFO& path = paths[i];
        if (!(path.flags & DISPLAYCONFIG_PATH_ACTIVE)) return L"an inactive path";
        if (!SameLuid(path.sourceInfo.adapterId, luid) || !SameLuid(path.targetInfo.adapterId, luid)) {
            return L"another adapter";
        }
        const Target* t = TargetById(path.targetInfo.id);
        if (!t) return L"no output has target " + Hex(path.targetInfo.id);
        if (!Connected(*t)) return std::wstring(t->name) + L" is not connected";
        if (path.targetInfo.outputTechnology != static_cast<DISPLAYCONFIG_VIDEO_OUTPUT_TECHNOLOGY>(t->technology) &&
            !(t->technology == 5 && path.targetInfo.outputTechnology == DISPLAYCONFIG_OUTPUT_TECHNOLOGY_DVI)) {
            return std::wstring(t->name) + L" has another technology";
        }
        const UINT32 sourceId = path.sourceInfo.id;
        if (sourceId > 1) return L"source " + std::to_wstring(sourceId);
        const UINT32 si = path.sourceInfo.modeInfoIdx, ti = path.targetInfo.modeInfoIdx;
        if (si >= modeCount || ti >= modeCount) return L"a mode index out of range";
        const DISPLAYCONFIG_MODE_INFO& sm = modes[si];
        const DISPLAYCONFIG_MODE_INFO& tm = modes[ti];
        if (sm.infoType != DISPLAYCONFIG_MODE_INFO_TYPE_SOURCE || sm.id != sourceId) return L"no source mode";
        if (tm.infoType != DISPLAYCONFIG_MODE_INFO_TYPE_TARGET || tm.id != t->id) return L"no target mode";
        const DISPLAYCONFIG_VIDEO_SIGNAL_INFO& signal = tm.targetMode.targetVideoSignalInfo;
        if (signal.pixelRate == 0 || signal.activeSize.cx == 0 || signal.activeSize.cy == 0) return L"no timing";
        const SIZE preferred = PreferredSize(*t);
        const UINT32 refresh = signal.vSyncFreq.Denominator
                                   ? (signal.vSyncFreq.Numerator + signal.vSyncFreq.Denominator / 2) /
                                         signal.vSyncFreq.Denominator
                                   : 0;
        const Source s{sm.sourceMode.width, sm.sourceMode.height, sm.sourceMode.position.x, sm.sourceMode.position.y,
                       refresh};
        if (s.width == 0 || s.height == 0) return L"an empty source";
        // The notebook scales a picture down to an output, never up beyond it.
        if (s.width > static_cast<UINT32>(preferred.cx) || s.height > static_cast<UINT32>(preferred.cy) ||
            signal.activeSize.cx > static_cast<UINT32>(preferred.cx) ||
            signal.activeSize.cy > static_cast<UINT32>(preferred.cy)) {
            return std::wstring(t->name) + L" cannot show " + std::to_wstring(s.width) + L"x" + std::to_wstring(s.height);
        }
        if (layout->shown[sourceId] & t->deviceBit) return L"an output twice";
        layout->shown[sourceId] |= t->deviceBit;
        layout->source[sourceId] = s;
        haveSource[sourceId] = true;
    }
    if (!haveSource[0]) return L"no source 0";
    layout->sources = haveSource[1] ? 2 : 1;
    const DWORD panel = 0x01;
    if (layout->sources == 1 && pathCount == 2 && !(layout->shown[0] & panel)) return L"a clone without the panel";
    if (layout->sources == 2) {
        if (layout->source[0].x != 0 || layout->source[0].y != 0) return L"source 0 is not at the origin";
        const DWORD externals = (layout->shown[0] | layout->shown[1]) & ~panel;
        if (externals & (externals - 1)) return L"two external outputs";
        for (const DWORD bits : layout->shown) {
            if (bits & (bits - 1)) return L"a clone beside another display";
        }
    }
    for (int s = 0; s < layout->sources; ++s) {
        if (!layout->text.empty()) layout->text += L" + ";
        layout->text += L"source " + std::to_wstring(s) + L" ";
        for (const Target& t : kTargets) {
            if (layout->shown[s] & t.deviceBit) layout->text += std::wstring(t.name) + L" ";
        }
        layout->text += std::to_wstring(layout->source[s].width) + L"x" + std::to_wstring(layout->source[s].height) +
                        L"@" + std::to_wstring(layout->source[s].x) + L"," + std::to_wstring(layout->source[s].y);
    }
    return L"";
}

// Shows a checked layout on the simulated screen: source 0 at the origin,
// source 1 at its place; a clone is one picture on both outputs.
vqsim::notebook::Outcome ShowOnDesktop(const Layout& layout) {
    std::vector<vqsim::notebook::Source> sources(static_cast<size_t>(layout.sources));
    for (size_t s = 0; s < sources.size(); ++s) {
        sources[s].devices = layout.shown[s];
        sources[s].size = {static_cast<int>(layout.source[s].width), static_cast<int>(layout.source[s].height)};
        sources[s].x = layout.source[s].x;
        sources[s].y = layout.source[s].y;
    }
    return vqsim::notebook::Show(sources);
}

void Journal(const std::wstring& line) { Store().AppendJournal(L"SetDisplayConfig " + line); }

LONG ApplyLayout(UINT32 flags, const Layout& layout) {
    const vqsim::notebook::Outcome outcome = ShowOnDesktop(layout);
    const LONG shown = outcome.result;
    Store().WriteText(L"DisplayConfig", layout.text);
    Store().WriteDword(gs::value::kDesktopResult, static_cast<DWORD>(shown));
    if (shown != DISP_CHANGE_SUCCESSFUL) {
        Journal(Hex(flags) + L" not shown: " + std::to_wstring(shown) + L" (" + outcome.description + L")");
        return ERROR_GEN_FAILURE;
    }
    Store().WriteDword(gs::value::kDisplay1, layout.shown[0]);
    Store().WriteDword(gs::value::kDisplay2, layout.sources == 2 ? layout.shown[1] : 0);
    Journal(Hex(flags) + L" applied: " + layout.text);
    return ERROR_SUCCESS;
}

// A stock topology: the panel, the first connected external output, both
// showing one picture, or both side by side with the panel primary.
LONG ApplyTopology(UINT32 flags) {
    const Target* external = nullptr;
    for (const Target& t : kTargets) {
        if (t.deviceBit != 0x01 && Connected(t)) {
            external = &t;
            break;
        }
    }
    const Target& panel = kTargets[0];
    const UINT32 topology = flags & kTopologyMask;
    Layout layout;
    auto place = [&layout](int s, const Target& t, INT32 x) {
        const SIZE size = PreferredSize(t);
        layout.shown[s] |= t.deviceBit;
        layout.source[s] = {static_cast<UINT32>(size.cx), static_cast<UINT32>(size.cy), x, 0, kRefreshHz};
    };
    if (topology == kTopologyInternal) {
        place(0, panel, 0);
        layout.sources = 1;
    } else if (!external) {
        Journal(Hex(flags) + L" refused: no external output is connected");
        return ERROR_INVALID_PARAMETER;
    } else if (topology == kTopologyExternal) {
        place(0, *external, 0);
        layout.sources = 1;
    } else if (topology == kTopologyClone) {
        place(0, panel, 0);
        layout.shown[0] |= external->deviceBit;
        layout.sources = 1;
    } else if (topology == kTopologyExtend) {
        place(0, panel, 0);
        place(1, *external, PreferredSize(panel).cx);
        layout.sources = 2;
    } else {
        Journal(Hex(flags) + L" refused: not one topology");
        return ERROR_INVALID_PARAMETER;
    }
    layout.text = L"topology " + Hex(topology);
    if (!(flags & kApply)) {
        Journal(Hex(flags) + L" valid: " + layout.text);
        return ERROR_SUCCESS;
    }
    return ApplyLayout(flags, layout);
}

// --- the four functions --------------------------------------------------------

LONG WINAPI SimGetDisplayConfigBufferSizes(UINT32 flags, UINT32* pathCount, UINT32* modeCount) {
    if (!IntelNotebook()) {
        auto real = Real<GetBufferSizesFn>("GetDisplayConfigBufferSizes");
        return real ? real(flags, pathCount, modeCount) : ERROR_NOT_SUPPORTED;
    }
    if (!pathCount || !modeCount) return ERROR_INVALID_PARAMETER;
    if (!(flags & (kQueryAll | kQueryActive | kQueryDatabase))) return ERROR_INVALID_PARAMETER;
    const Answer answer = CurrentAnswer(flags);
    *pathCount = static_cast<UINT32>(answer.paths.size());
    *modeCount = static_cast<UINT32>(answer.modes.size());
    return ERROR_SUCCESS;
}

LONG WINAPI SimQueryDisplayConfig(UINT32 flags, UINT32* pathCount, DISPLAYCONFIG_PATH_INFO* paths, UINT32* modeCount,
                                  DISPLAYCONFIG_MODE_INFO* modes, DISPLAYCONFIG_TOPOLOGY_ID* topology) {
    if (!IntelNotebook()) {
        auto real = Real<QueryFn>("QueryDisplayConfig");
        return real ? real(flags, pathCount, paths, modeCount, modes, topology) : ERROR_NOT_SUPPORTED;
    }
    if (!pathCount || !modeCount || !paths || !modes) return ERROR_INVALID_PARAMETER;
    if (!(flags & (kQueryAll | kQueryActive | kQueryDatabase))) return ERROR_INVALID_PARAMETER;
    // As the system: the database query names its topology, the others must not ask.
    if ((flags & kQueryDatabase) ? topology == nullptr : topology != nullptr) return ERROR_INVALID_PARAMETER;
    const Answer answer = CurrentAnswer(flags);
    if (*pathCount < answer.paths.size() || *modeCount < answer.modes.size()) return ERROR_INSUFFICIENT_BUFFER;
    std::memcpy(paths, answer.paths.data(), answer.paths.size() * sizeof answer.paths[0]);
    std::memcpy(modes, answer.modes.data(), answer.modes.size() * sizeof answer.modes[0]);
    *pathCount = static_cast<UINT32>(answer.paths.size());
    *modeCount = static_cast<UINT32>(answer.modes.size());
    if (topology) {
        const DWORD shown2 = Store().ReadDword(gs::value::kDisplay2, 0);
        *topology = shown2 ? DISPLAYCONFIG_TOPOLOGY_EXTEND : DISPLAYCONFIG_TOPOLOGY_INTERNAL;
    }
    return ERROR_SUCCESS;
}

LONG WINAPI SimDisplayConfigGetDeviceInfo(DISPLAYCONFIG_DEVICE_INFO_HEADER* packet) {
    if (!IntelNotebook() || !packet || packet->type != kPreferredModeRequest) {
        auto real = Real<GetDeviceInfoFn>("DisplayConfigGetDeviceInfo");
        return real ? real(packet) : ERROR_NOT_SUPPORTED;
    }
    if (packet->size < sizeof(DISPLAYCONFIG_TARGET_PREFERRED_MODE)) return ERROR_INVALID_PARAMETER;
    if (!SameLuid(packet->adapterId, AdapterLuid())) return ERROR_INVALID_PARAMETER;
    const Target* t = TargetById(packet->id);
    if (!t || !Connected(*t)) return ERROR_GEN_FAILURE;  // nothing on that connector
    auto* mode = reinterpret_cast<DISPLAYCONFIG_TARGET_PREFERRED_MODE*>(packet);
    const SIZE size = PreferredSize(*t);
    mode->width = static_cast<UINT32>(size.cx);
    mode->height = static_cast<UINT32>(size.cy);
    mode->targetMode = {};
    mode->targetMode.targetVideoSignalInfo = Timing(mode->width, mode->height);
    return ERROR_SUCCESS;
}

LONG WINAPI SimSetDisplayConfig(UINT32 pathCount, DISPLAYCONFIG_PATH_INFO* paths, UINT32 modeCount,
                                DISPLAYCONFIG_MODE_INFO* modes, UINT32 flags) {
    if (!IntelNotebook()) {
        auto real = Real<SetFn>("SetDisplayConfig");
        return real ? real(pathCount, paths, modeCount, modes, flags) : ERROR_NOT_SUPPORTED;
    }
    const bool supplied = (flags & kUseSupplied) != 0;
    const bool validate = (flags & kValidate) != 0, apply = (flags & kApply) != 0;
    if (validate == apply) {
        Journal(Hex(flags) + L" refused: validate or apply");
        return ERROR_INVALID_PARAMETER;
    }
    if (!supplied) {
        if (pathCount || modeCount || paths || modes) {
            Journal(Hex(flags) + L" refused: a topology takes no arrays");
            return ERROR_INVALID_PARAMETER;
        }
        return ApplyTopology(flags);
    }
    if (flags & kTopologyMask) {
        Journal(Hex(flags) + L" refused: a topology and a configuration");
        return ERROR_INVALID_PARAMETER;
    }
    Layout layout;
    const std::wstring refusal = Check(pathCount, paths, modeCount, modes, &layout);
    if (!refusal.empty()) {
        Journal(Hex(flags) + L" refused: " + refusal);
        return ERROR_INVALID_PARAMETER;
    }
    if (validate) {
        Journal(Hex(flags) + L" valid: " + layout.text);
        return ERROR_SUCCESS;
    }
    return ApplyLayout(flags, layout);
}

}  // namespace


namespace {
// The output a display device shows (its first, for a clone), or null.
const gs::Output* OutputOn(const wchar_t* deviceName) {
    const wchar_t* value = nullptr;
    if (deviceName && _wcsicmp(deviceName, L"\\\\.\\DISPLAY1") == 0) value = gs::value::kDisplay1;
    if (deviceName && _wcsicmp(deviceName, L"\\\\.\\DISPLAY2") == 0) value = gs::value::kDisplay2;
    if (!value) return nullptr;
    const DWORD shown = Store().ReadDword(value, value == gs::value::kDisplay1 ? gs::stock::kDisplay1 : 0);
    for (const gs::Output& output : gs::kOutputs) {
        if (shown & output.deviceBit) return &output;
    }
    return nullptr;
}
}  // namespace

DWORD Orientation(const wchar_t* deviceName) {
    const gs::Output* output = IntelNotebook() ? OutputOn(deviceName) : nullptr;
    return output ? Store().ReadDword(std::wstring(output->name) + gs::value::kRotationSuffix, 0) & 3 : DMDO_DEFAULT;
}

namespace {
constexpr DWORD kListWaitMs = 3000;

// A size just added to an output reaches the display's list within a second.
void WaitUntilListed(const wchar_t* deviceName, DWORD width, DWORD height) {
    const DWORD start = GetTickCount();
    do {
        DEVMODEW listed{};
        listed.dmSize = sizeof listed;
        for (DWORD i = 0; EnumDisplaySettingsW(deviceName, i, &listed); ++i) {
            if (listed.dmPelsWidth == width && listed.dmPelsHeight == height) return;
            listed = {};
            listed.dmSize = sizeof listed;
        }
        Sleep(50);
    } while (GetTickCount() - start < kListWaitMs);
}

// A change applied now to the first display while the Intel outputs show a
// clone keeps the clone: both outputs take the new picture.
LONG ChangeKeepingClone(const wchar_t* deviceName, DEVMODEW* mode, HWND window, DWORD flags, void* parameter,
                        LONG(WINAPI* real)(LPCWSTR, DEVMODEW*, HWND, DWORD, LPVOID)) {
    const DWORD first = IntelNotebook() ? Store().ReadDword(gs::value::kDisplay1, gs::stock::kDisplay1) : 0;
    const bool clone = (first & (first - 1)) != 0 && Store().ReadDword(gs::value::kDisplay2, 0) == 0;
    const bool firstDisplay = !deviceName || _wcsicmp(deviceName, L"\\\\.\\DISPLAY1") == 0;
    if (!clone || !firstDisplay || (flags & (CDS_TEST | CDS_NORESET))) {
        return real(deviceName, mode, window, flags, parameter);
    }
    return vqsim::notebook::KeepClone(first, [&] { return real(deviceName, mode, window, flags, parameter); });
}
}  // namespace

LONG TurnDisplay(const wchar_t* deviceName, DEVMODEW* mode, HWND window, DWORD flags, void* parameter,
                 LONG(WINAPI* real)(LPCWSTR, DEVMODEW*, HWND, DWORD, LPVOID)) {
    const gs::Output* output = IntelNotebook() ? OutputOn(deviceName) : nullptr;
    if (!mode || !(mode->dmFields & DM_DISPLAYORIENTATION) || !output || mode->dmDisplayOrientation > 3) {
        return ChangeKeepingClone(deviceName, mode, window, flags, parameter, real);
    }
    // The picture becomes portrait at the size asked for: the output offers
    // it from now on, as a turned screen's driver lists its turned sizes.
    if ((mode->dmFields & (DM_PELSWIDTH | DM_PELSHEIGHT)) == (DM_PELSWIDTH | DM_PELSHEIGHT)) {
        vqsim::xscreen::AddMode(vqsim::xscreen::OutputOfDevice(output->deviceBit),
                                {static_cast<int>(mode->dmPelsWidth), static_cast<int>(mode->dmPelsHeight)});
        WaitUntilListed(deviceName, mode->dmPelsWidth, mode->dmPelsHeight);
    }
    DEVMODEW plain = *mode;
    plain.dmFields &= ~static_cast<DWORD>(DM_DISPLAYORIENTATION);
    plain.dmDisplayOrientation = DMDO_DEFAULT;
    const LONG result = ChangeKeepingClone(deviceName, &plain, window, flags, parameter, real);
    if (result == DISP_CHANGE_SUCCESSFUL && !(flags & CDS_TEST)) {
        Store().WriteDword(std::wstring(output->name) + gs::value::kRotationSuffix, mode->dmDisplayOrientation);
    }
    return result;
}

FARPROC Replacement(const char* name) {
    struct Entry {
        const char* name;
        void* function;
    };
    static const Entry kEntries[] = {
        {"GetDisplayConfigBufferSizes", reinterpret_cast<void*>(&SimGetDisplayConfigBufferSizes)},
        {"QueryDisplayConfig", reinterpret_cast<void*>(&SimQueryDisplayConfig)},
        {"DisplayConfigGetDeviceInfo", reinterpret_cast<void*>(&SimDisplayConfigGetDeviceInfo)},
        {"SetDisplayConfig", reinterpret_cast<void*>(&SimSetDisplayConfig)},
    };
    for (const Entry& entry : kEntries) {
        if (std::strcmp(entry.name, name) == 0) return reinterpret_cast<FARPROC>(entry.function);
    }
    return nullptr;
}

}  // namespace vqsim::displayconfig
