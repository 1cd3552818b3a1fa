#include "notebookdesktop.h"

#include <algorithm>
#include <functional>
#include <utility>

namespace vqsim::notebook {

namespace {

using xscreen::Size;

constexpr std::uint32_t kDeviceBits[] = {0x01, 0x02, 0x08, 0x04};  // panel first: the clone's picture follows it
constexpr DWORD kSettleMs = 4000;
constexpr wchar_t kNoPictureOutput[] = L"DUMMY15";
constexpr Size kPoolSize{640, 480};   // the server's own mode, on every output
constexpr Size kSafeSize{1024, 768};  // what a driver shows on a monitor it knows nothing of
constexpr int kScreenWidth = 5760;  // the X screen's largest width (tools/xorg/dummy.conf)

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
        if (offeredByAll(s) && Area(s) > Area(best) && !(s == kPoolSize)) best = s;
    }
    // Outputs that say nothing of their sizes get the size every screen shows.
    return best.width ? best : kSafeSize;
}

// A display of this process's list and the X output it stands for.
struct Shown {
    std::wstring device;  // "\\.\DISPLAYn"
    std::wstring output;  // "DUMMYn"; empty: not known
};

BOOL CALLBACK CollectMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM seen) {
    MONITORINFOEXW info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        reinterpret_cast<std::vector<std::pair<std::wstring, RECT>>*>(seen)->push_back({info.szDevice, info.rcMonitor});
    }
    return TRUE;
}

std::vector<std::wstring> DeviceNames() {
    std::vector<std::wstring> names;
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
        names.push_back(device.DeviceName);
        device = {};
        device.cb = sizeof device;
    }
    return names;
}

// The sizes this process's list offers for a display (32 bits).
std::vector<Size> SizesOf(const std::wstring& device) {
    std::vector<Size> sizes;
    DEVMODEW mode{};
    mode.dmSize = sizeof mode;
    for (DWORD i = 0; EnumDisplaySettingsW(device.c_str(), i, &mode); ++i) {
        const Size size{static_cast<int>(mode.dmPelsWidth), static_cast<int>(mode.dmPelsHeight)};
        if (mode.dmBitsPerPel == 32 && std::find(sizes.begin(), sizes.end(), size) == sizes.end()) sizes.push_back(size);
        mode = {};
        mode.dmSize = sizeof mode;
    }
    return sizes;
}

bool SameSizes(std::vector<Size> a, std::vector<Size> b) {
    auto order = [](const Size& x, const Size& y) { return x.width != y.width ? x.width < y.width : x.height < y.height; };
    std::sort(a.begin(), a.end(), order);
    std::sort(b.begin(), b.end(), order);
    return a == b;
}

// Which X output each display of this process's list stands for: a display
// on the desktop by its place (Wine's places count from the primary's
// corner, which is the picture at X's origin), one that is not by its list of
// sizes. Waits until the list has one display for every X output that is
// connected and every picture has its display; empty when it did not.
std::vector<Shown> MapDisplays(const std::vector<xscreen::Output>& outputs) {
    size_t connected = 0;
    std::vector<const xscreen::Output*> pictures;
    for (const xscreen::Output& o : outputs) {
        if (!o.connected) continue;
        ++connected;
        bool shared = false;
        for (const xscreen::Output* p : pictures) shared = shared || (p->x == o.x && p->y == o.y && o.on);
        if (o.on && !shared) pictures.push_back(&o);
    }
    const size_t displays = connected - std::count_if(outputs.begin(), outputs.end(), [&](const xscreen::Output& o) {
        if (!o.on) return false;
        for (const xscreen::Output* p : pictures) {
            if (p != &o && p->x == o.x && p->y == o.y) return true;
        }
        return false;
    });
    const DWORD start = GetTickCount();
    do {
        std::vector<std::pair<std::wstring, RECT>> seen;
        EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&seen));
        const std::vector<std::wstring> names = DeviceNames();
        std::vector<Shown> shown;
        std::vector<const xscreen::Output*> dark;
        for (const xscreen::Output& o : outputs) {
            if (o.connected && !o.on) dark.push_back(&o);
        }
        size_t placed = 0;
        for (const std::wstring& name : names) {
            Shown display{name, L""};
            for (const auto& [device, rect] : seen) {
                if (_wcsicmp(device.c_str(), name.c_str()) != 0) continue;
                for (const xscreen::Output* p : pictures) {
                    const RECT place{p->x, p->y, p->x + p->width, p->y + p->height};
                    if (EqualRect(&rect, &place)) display.output = p->name, ++placed;
                }
            }
            if (display.output.empty()) {
                const std::vector<Size> sizes = SizesOf(name);
                for (const xscreen::Output* o : dark) {
                    if (SameSizes(o->modes, sizes)) display.output = o->name;
                }
                if (display.output.empty() && dark.size() == 1) display.output = dark[0]->name;
            }
            shown.push_back(display);
        }
        if (shown.size() == displays && placed == pictures.size()) return shown;
        Sleep(50);
    } while (GetTickCount() - start < kSettleMs);
    return {};
}

// Waits until this process's list offers `size` for the display of `output`
// (a size just added to an output reaches it within a second).
void WaitForSize(const std::vector<Shown>& displays, const std::wstring& output, Size size) {
    for (const Shown& d : displays) {
        if (d.output != output) continue;
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < kSettleMs) {
            const std::vector<Size> sizes = SizesOf(d.device);
            if (std::find(sizes.begin(), sizes.end(), size) != sizes.end()) return;
            Sleep(50);
        }
    }
}

// Turns off every output that shows the same picture as another one (the
// second output of a clone), so that each output is a display of its own.
void SplitClones(const std::vector<xscreen::Output>& outputs) {
    std::wstring arguments;
    for (size_t i = 0; i < outputs.size(); ++i) {
        for (size_t j = 0; j < i; ++j) {
            const xscreen::Output &a = outputs[j], &b = outputs[i];
            if (a.on && b.on && a.x == b.x && a.y == b.y) {
                arguments += L" --output " + b.name + L" --off";
                break;
            }
        }
    }
    if (!arguments.empty()) xscreen::Xrandr(arguments);
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

// Wine sets every mode and place itself, in this process, so that the
// process keeps mapping its displays to the right outputs (it reads that
// mapping again only after it set a mode); it cannot put two outputs on one
// picture, so a clone's second output joins its first by xrandr afterwards.
Outcome Show(std::vector<Source> sources) {
    Outcome outcome;
    if (sources.empty() || sources.size() > 2) return {DISP_CHANGE_BADPARAM, L"not shown: one or two sources"};
    std::vector<xscreen::Output> outputs = xscreen::ReadOutputs();
    if (outputs.empty()) return {DISP_CHANGE_FAILED, L"not shown: the X server did not answer"};
    sources[0].x = sources[0].y = 0;
    struct Target {
        std::wstring output;
        Size size;
        int x, y;
        bool primary;
    };
    std::vector<Target> targets;                          // the first output of each source
    std::vector<std::pair<std::wstring, std::wstring>> joins;  // second output of a clone, the first
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
            const xscreen::Output* known = xscreen::Find(outputs, output);
            if (!known || !known->Offers(source.size)) xscreen::AddMode(output, source.size);
            if (first) {
                joins.push_back({output, first});
            } else {
                targets.push_back({output, source.size, source.x, source.y, s == 0});
                first = output;
            }
            outcome.description += std::wstring(DeviceName(bit)) + L" ";
        }
        outcome.description += xscreen::ModeName(source.size) + L"@" + std::to_wstring(source.x) + L"," +
                               std::to_wstring(source.y);
    }
    // Outputs never shown yet are no display of Wine's: they start dark beside the desktop.
    int right = 0;
    for (const xscreen::Output& o : outputs) {
        if (o.on) right = std::max(right, o.x + o.width);
    }
    std::wstring lighting;
    for (const Target& t : targets) {
        const xscreen::Output* o = xscreen::Find(outputs, t.output);
        if (!o || !o->connected) {
            const int x = right + t.size.width <= kScreenWidth ? right : 0;
            lighting += L" --output " + t.output + L" --mode " + xscreen::ModeName(t.size) + L" --pos " +
                        std::to_wstring(x) + L"x0";
        }
    }
    if (!lighting.empty()) {
        xscreen::Xrandr(lighting);
        std::wstring dark;
        for (const Target& t : targets) {
            const xscreen::Output* o = xscreen::Find(outputs, t.output);
            if (!o || !o->connected) dark += L" --output " + t.output + L" --off";
        }
        xscreen::Xrandr(dark);
    }
    SplitClones(outputs);
    // X's primary output decides Wine's primary and this process cannot move
    // it; with an output that never shows anything as X's primary, Wine takes
    // the picture at the origin, the same one, and a mode change below can
    // move the primary. Pinned again afterwards, the primary stays where it
    // is when a display moves left of it.
    xscreen::Xrandr(std::wstring(L"--output ") + kNoPictureOutput + L" --primary");
    outputs = xscreen::ReadOutputs();
    const std::vector<Shown> displays = MapDisplays(outputs);
    if (displays.empty()) {
        return {DISP_CHANGE_FAILED, outcome.description + L", not shown: the displays did not match the outputs"};
    }
    for (const Target& t : targets) WaitForSize(displays, t.output, t.size);
    LONG result = DISP_CHANGE_SUCCESSFUL;
    for (const Shown& d : displays) {
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
        DWORD flags = CDS_UPDATEREGISTRY | CDS_NORESET;
        bool wanted = false;
        for (const Target& t : targets) {
            if (t.output != d.output) continue;
            mode.dmPelsWidth = static_cast<DWORD>(t.size.width);
            mode.dmPelsHeight = static_cast<DWORD>(t.size.height);
            mode.dmPosition = {t.x, t.y};
            if (t.primary) flags |= CDS_SET_PRIMARY;
            wanted = true;
        }
        const LONG stored = ChangeDisplaySettingsExW(d.device.c_str(), &mode, nullptr, flags, nullptr);
        if (stored != DISP_CHANGE_SUCCESSFUL && wanted) result = stored;
    }
    if (result == DISP_CHANGE_SUCCESSFUL) {
        result = ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
        // An output this process has not seen yet is refused at the first
        // apply (-5); the next one knows it.
        if (result == DISP_CHANGE_BADPARAM) result = ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
    }
    if (result == DISP_CHANGE_BADPARAM) {
        // This process refuses every change until it maps its displays
        // again, which Wine does only after a change of its own: X shows the
        // layout by itself, and this process reads the old one meanwhile.
        std::wstring arguments;
        for (const Target& t : targets) {
            arguments += L" --output " + t.output + L" --mode " + xscreen::ModeName(t.size) + L" --pos " +
                         std::to_wstring(t.x) + L"x" + std::to_wstring(t.y);
        }
        for (const xscreen::Output& o : outputs) {
            bool target = false;
            for (const Target& t : targets) target = target || t.output == o.name;
            if (o.connected && !target) arguments += L" --output " + o.name + L" --off";
        }
        if (xscreen::Xrandr(arguments)) {
            result = DISP_CHANGE_SUCCESSFUL;
            outcome.description += L" (by X alone: this process has not mapped every display yet)";
        }
    }
    if (result == DISP_CHANGE_SUCCESSFUL && !joins.empty()) {
        std::wstring arguments;
        for (const auto& [output, first] : joins) {
            for (const Target& t : targets) {
                if (t.output == first) {
                    arguments += L" --output " + output + L" --mode " + xscreen::ModeName(t.size) + L" --same-as " + first;
                }
            }
        }
        if (!xscreen::Xrandr(arguments)) result = DISP_CHANGE_FAILED;
    }
    for (const Target& t : targets) {
        if (t.primary) xscreen::Xrandr(L"--output " + t.output + L" --primary");
    }
    outcome.result = result;
    if (result != DISP_CHANGE_SUCCESSFUL) {
        outcome.description += L", not shown: the display change returned " + std::to_wstring(result);
    }
    return outcome;
}

LONG KeepClone(std::uint32_t devices, const std::function<LONG()>& change) {
    std::vector<xscreen::Output> outputs = xscreen::ReadOutputs();
    std::vector<std::wstring> seconds;
    const wchar_t* first = nullptr;
    for (std::uint32_t bit : kDeviceBits) {
        if (!(devices & bit)) continue;
        const xscreen::Output* o = xscreen::Find(outputs, xscreen::OutputOfDevice(bit));
        if (!o || !o->on) continue;
        if (!first) first = xscreen::OutputOfDevice(bit);
        else seconds.push_back(o->name);
    }
    if (!first || seconds.empty()) return change();
    // The change reaches the first output alone; the others join it again.
    SplitClones(outputs);
    MapDisplays(xscreen::ReadOutputs());
    const LONG result = change();
    outputs = xscreen::ReadOutputs();
    const xscreen::Output* shown = xscreen::Find(outputs, first);
    if (shown && shown->on) {
        std::wstring arguments;
        for (const std::wstring& output : seconds) {
            xscreen::AddMode(output, {shown->width, shown->height});
            arguments += L" --output " + output + L" --mode " + xscreen::ModeName({shown->width, shown->height}) +
                         L" --same-as " + first;
        }
        xscreen::Xrandr(arguments);
    }
    return result;
}

}  // namespace vqsim::notebook
