// displayconfigprobe.exe FILE paths | switch CODE
// paths: writes what the display-configuration functions of user32 answer
// this process: every path of QDC_ALL_PATHS ("path TARGET tech T active A
// source S"), the preferred mode of each target ("preferred TARGET WxH" or
// "preferred TARGET none"), then what the Windows 7 component reads of them
// ("connected N", "active 0xNNN").
// switch: lets the component change to the combination CODE (hexadecimal)
// and writes "result R".
// validate: hands the active configuration back for validation as read
// ("current R") and with its first source made 8192 x 8192 ("oversized R").
// Ends with 0 when every step answered.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "display/win7displayswitch.h"

namespace {

namespace dc = displayconfig;

// The component on its own: no driver behind it, no profile store.
class NoChanger : public IWin7DisplayOwner {
public:
    CVGA* Driver() override { return nullptr; }
    dc::VideoSignalInfo HeldVideoSignal() override { return {}; }
    void ClearHeldVideoSignal() override {}
};

void Line(FILE* out, const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vfprintf(out, format, args);
    va_end(args);
    std::fputc('\n', out);
}

bool WritePaths(FILE* out) {
    dc::IDisplayConfigFunctions& functions = dc::RealDisplayConfigFunctions();
    if (!functions.Load().empty()) return false;
    std::uint32_t pathCount = 0, modeCount = 0;
    if (functions.GetDisplayConfigBufferSizes(dc::query::kAllPaths, &pathCount, &modeCount) != ERROR_SUCCESS) return false;
    std::vector<dc::PathInfo> paths(pathCount);
    std::vector<dc::ModeInfo> modes(modeCount);
    if (functions.QueryDisplayConfig(dc::query::kAllPaths, &pathCount, paths.data(), &modeCount, modes.data()) !=
        ERROR_SUCCESS) {
        return false;
    }
    paths.resize(pathCount);
    for (const dc::PathInfo& p : paths) {
        Line(out, "path 0x%x tech 0x%x active %u source %u", p.targetInfo.id, p.targetInfo.outputTechnology,
             p.flags & dc::kPathActive, p.sourceInfo.id);
    }
    for (const dc::PathInfo& p : paths) {
        dc::TargetPreferredMode mode;
        mode.header = {dc::kDeviceInfoTargetPreferredMode, sizeof mode, p.targetInfo.adapterId, p.targetInfo.id};
        if (functions.DisplayConfigGetDeviceInfo(&mode.header) == ERROR_SUCCESS) {
            Line(out, "preferred 0x%x %ux%u", p.targetInfo.id, mode.width, mode.height);
        } else {
            Line(out, "preferred 0x%x none", p.targetInfo.id);
        }
    }
    return true;
}

bool WriteValidations(FILE* out) {
    dc::IDisplayConfigFunctions& functions = dc::RealDisplayConfigFunctions();
    if (!functions.Load().empty()) return false;
    std::uint32_t pathCount = 0, modeCount = 0;
    if (functions.GetDisplayConfigBufferSizes(dc::query::kOnlyActivePaths, &pathCount, &modeCount) != ERROR_SUCCESS) {
        return false;
    }
    std::vector<dc::PathInfo> paths(pathCount);
    std::vector<dc::ModeInfo> modes(modeCount);
    if (functions.QueryDisplayConfig(dc::query::kOnlyActivePaths, &pathCount, paths.data(), &modeCount,
                                     modes.data()) != ERROR_SUCCESS ||
        pathCount == 0) {
        return false;
    }
    constexpr std::uint32_t kValidate = dc::apply::kValidate | dc::apply::kUseSuppliedConfig;
    Line(out, "current %ld", functions.SetDisplayConfig(pathCount, paths.data(), modeCount, modes.data(), kValidate));
    const std::uint32_t source = paths[0].sourceInfo.modeInfoIdx;
    if (source >= modeCount) return false;
    modes[source].sourceMode.width = modes[source].sourceMode.height = 8192;
    Line(out, "oversized %ld", functions.SetDisplayConfig(pathCount, paths.data(), modeCount, modes.data(), kValidate));
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) return 2;
    FILE* out = _wfopen(argv[1], L"wb");
    if (!out) return 3;
    NoChanger changer;
    CWin7DisplaySwitch component;
    component.InitDisplayConfig(&changer);
    bool answered = true;
    const std::wstring step = argv[2];
    if (step == L"paths") {
        answered = WritePaths(out);
        int connected = 0, active = 0;
        answered = component.GetConnectedCode(&connected) && answered;
        answered = component.GetActiveCode(&active) && answered;
        Line(out, "connected %d", connected);
        Line(out, "active 0x%03x", active);
    } else if (step == L"validate") {
        answered = WriteValidations(out);
    } else if (step == L"switch" && argc >= 4) {
        const int code = static_cast<int>(std::wcstol(argv[3], nullptr, 16));
        Line(out, "result %d", component.ChangeDisplayEx(code, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0));
    } else {
        answered = false;
    }
    std::fclose(out);
    return answered ? 0 : 1;
}
