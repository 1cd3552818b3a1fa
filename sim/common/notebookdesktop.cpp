#include "notebookdesktop.h"

namespace vqsim::notebook {

namespace {

using xscreen::Size;

constexpr std::uint32_t kDeviceBits[] = {0x01, 0x02, 0x08, 0x04};  // panel first: the clone's picture follows it
constexpr DWORD kSettleMs = 4000;

const wchar_t* DeviceName(std::uint32_t bit) {
    switch (bit) {
        case 0x01: return L"Panel";
        case 0x02: return L"Crt";
        case 0x04: return L"Tv";
        case 0x08: return L"Hdmi";
        default: return L"?";
    }
}

int Area(Size s) { return s.width * s.height; }

// The size a source takes: the one asked for; else what its first output
// shows now when every output offers it; else the largest size all offer.
Size SizeOf(const Source& source, const std::vector<xscreen::Output>& outputs) {
    if (source.size.width > 0) return source.size;
    std::vector<const xscreen::Output*> shown;
    for (std::uint32_t bit : kDeviceBits) {
        if (source.devices & bit) {
            if (const xscreen::Output* o = xscreen::Find(outputs, xscreen::OutputOfDevice(bit))) shown.push_back(o);
        }
    }
    if (shown.empty()) return {};
    auto offeredByAll = [&](Size s) {
        for (const xscreen::Output* o : shown) {
            if (!o->Offers(s)) return false;
        }
        return true;
    };
    if (shown[0]->on && offeredByAll({shown[0]->width, shown[0]->height})) return {shown[0]->width, shown[0]->height};
    Size best;
    for (const Size& s : shown[0]->modes) {
        if (offeredByAll(s) && Area(s) > Area(best)) best = s;
    }
    return best;
}

int AttachedHere() {
    int attached = 0;
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
        if (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) ++attached;
        device = {};
        device.cb = sizeof device;
    }
    return attached;
}

// Stores every display's mode as X now shows it (source n on \\.\DISPLAYn+1,
// the primary first, as Wine lists them; every further display detached) and
// applies them at once, which leaves X as it is and makes this process read
// the new modes.
LONG Refresh(const std::vector<Source>& sources) {
    const DWORD start = GetTickCount();
    while (AttachedHere() != static_cast<int>(sources.size()) && GetTickCount() - start < kSettleMs) Sleep(50);
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    LONG result = DISP_CHANGE_SUCCESSFUL;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
        if (i < sources.size()) {
            mode.dmPelsWidth = static_cast<DWORD>(sources[i].size.width);
            mode.dmPelsHeight = static_cast<DWORD>(sources[i].size.height);
            mode.dmPosition = {sources[i].x, sources[i].y};
        }
        const LONG stored =
            ChangeDisplaySettingsExW(device.DeviceName, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr);
        if (stored != DISP_CHANGE_SUCCESSFUL && i < sources.size()) result = stored;
        device = {};
        device.cb = sizeof device;
    }
    const LONG applied = ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
    return result != DISP_CHANGE_SUCCESSFUL ? result : applied;
}

}  // namespace

xscreen::Size ShownSize(std::uint32_t deviceBit) {
    const std::vector<xscreen::Output> outputs = xscreen::ReadOutputs();
    const xscreen::Output* o = xscreen::Find(outputs, xscreen::OutputOfDevice(deviceBit));
    return o && o->on ? Size{o->width, o->height} : Size{};
}

std::vector<Source> Current(std::uint32_t devices1, std::uint32_t devices2) {
    std::vector<Source> sources;
    const std::vector<xscreen::Output> outputs = xscreen::ReadOutputs();
    for (std::uint32_t devices : {devices1, devices2}) {
        if (!devices) continue;
        Source source;
        source.devices = devices;
        for (std::uint32_t bit : kDeviceBits) {
            const xscreen::Output* o = (devices & bit) ? xscreen::Find(outputs, xscreen::OutputOfDevice(bit)) : nullptr;
            if (o && o->on) {
                source.size = {o->width, o->height};
                source.x = o->x, source.y = o->y;
                break;
            }
        }
        sources.push_back(source);
    }
    return sources;
}

Outcome Show(std::vector<Source> sources) {
    Outcome outcome;
    if (sources.empty() || sources.size() > 2) return {DISP_CHANGE_BADPARAM, L"not shown: one or two sources"};
    const std::vector<xscreen::Output> outputs = xscreen::ReadOutputs();
    if (outputs.empty()) return {DISP_CHANGE_FAILED, L"not shown: the X server did not answer"};
    sources[0].x = sources[0].y = 0;
    std::wstring arguments;
    std::uint32_t shown = 0;
    for (size_t s = 0; s < sources.size(); ++s) {
        Source& source = sources[s];
        source.size = SizeOf(source, outputs);
        if (source.size.width == 0) return {DISP_CHANGE_BADMODE, L"not shown: no size for source " + std::to_wstring(s)};
        if (s == 1 && source.x == 0 && source.y == 0) source.x = sources[0].size.width;
        const wchar_t* first = nullptr;
        if (!outcome.description.empty()) outcome.description += L" + ";
        for (std::uint32_t bit : kDeviceBits) {
            if (!(source.devices & bit)) continue;
            const wchar_t* output = xscreen::OutputOfDevice(bit);
            // A scaler shows the picture on an output that lacks its size.
            xscreen::AddMode(output, source.size);
            arguments += std::wstring(L" --output ") + output + L" --mode " + xscreen::ModeName(source.size);
            if (first) {
                arguments += std::wstring(L" --same-as ") + first;
            } else {
                arguments += L" --pos " + std::to_wstring(source.x) + L"x" + std::to_wstring(source.y) +
                             (s == 0 ? L" --primary" : L"");
                first = output;
            }
            outcome.description += std::wstring(DeviceName(bit)) + L" ";
            shown |= bit;
        }
        outcome.description += xscreen::ModeName(source.size) + L"@" + std::to_wstring(source.x) + L"," +
                               std::to_wstring(source.y);
    }
    for (std::uint32_t bit : kDeviceBits) {
        if (!(shown & bit)) arguments += std::wstring(L" --output ") + xscreen::OutputOfDevice(bit) + L" --off";
    }
    if (!xscreen::Xrandr(arguments)) {
        outcome.result = DISP_CHANGE_FAILED;
        outcome.description += L", not shown: xrandr refused it";
        return outcome;
    }
    outcome.result = Refresh(sources);
    if (outcome.result != DISP_CHANGE_SUCCESSFUL) {
        outcome.description += L", not shown: the display change returned " + std::to_wstring(outcome.result);
    }
    return outcome;
}

}  // namespace vqsim::notebook
