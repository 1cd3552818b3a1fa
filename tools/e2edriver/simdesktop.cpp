#include "simdesktop.h"

#include <cstdio>
#include <cstring>
#include <cwchar>

#include "simmonitors.h"
#include "vqdrive.h"
#include "xscreen.h"

namespace vqdrive::desktop {

namespace {
namespace xs = vqsim::xscreen;

std::vector<Display> ReadInFreshProcess(const std::wstring& extra, bool* succeeded);

// Runs outputmodes.sh (beside the program) for an output.
bool GiveModes(const std::wstring& output, int width, int height) {
    const std::wstring unix = xs::UnixPath(ProgramFolder() + L"outputmodes.sh");
    return !unix.empty() && xs::RunShell(L"sh '" + unix + L"' " + output + L" " + std::to_wstring(width) + L" " +
                                         std::to_wstring(height) + L" >/dev/null 2>&1");
}
}  // namespace

bool Xrandr(const std::wstring& arguments) { return xs::Xrandr(arguments); }

bool AddMode(const std::wstring& output, int width, int height) { return xs::AddMode(output, {width, height}); }

bool RemoveMode(const std::wstring& output, int width, int height) {
    const std::wstring name = xs::ModeName({width, height});
    const bool removed = Xrandr(L"--delmode " + output + L" " + name);
    Xrandr(L"--rmmode " + name);
    return removed;
}

std::vector<std::pair<int, int>> Modes(const std::wstring& output) {
    std::vector<std::pair<int, int>> modes;
    const std::vector<xs::Output> outputs = xs::ReadOutputs();
    if (const xs::Output* o = xs::Find(outputs, output)) {
        for (const xs::Size& s : o->modes) modes.emplace_back(s.width, s.height);
    }
    return modes;
}

namespace {
constexpr DWORD kPlugSettleMs = 5000;
constexpr DWORD kAnnounceTimeoutMs = 2000;
constexpr WPARAM kDevNodesChanged = 0x0007;  // DBT_DEVNODES_CHANGED

// Waits until programs see another desktop than `before`; false on time-out.
bool WaitForChange(const std::string& before) {
    const DWORD start = GetTickCount();
    do {
        if (Describe(AttachedDisplays()) != before) return true;
        Pause(100);
    } while (GetTickCount() - start < kPlugSettleMs);
    return false;
}

// What Windows tells every top-level window when a monitor comes or goes and
// the desktop changes with it; Wine sends neither on this screen.
void Announce() {
    int bitsPerPixel = 32, width = kPanelWidth, height = kPanelHeight;
    for (const Display& d : AttachedDisplays()) {
        if (d.primary) bitsPerPixel = d.bitsPerPixel, width = d.width, height = d.height;
    }
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(HWND_BROADCAST, WM_DEVICECHANGE, kDevNodesChanged, 0, SMTO_ABORTIFHUNG, kAnnounceTimeoutMs,
                        &ignored);
    SendMessageTimeoutW(HWND_BROADCAST, WM_DISPLAYCHANGE, static_cast<WPARAM>(bitsPerPixel), MAKELPARAM(width, height),
                        SMTO_ABORTIFHUNG, kAnnounceTimeoutMs, &ignored);
}

// Runs the xrandr change of a plug, waits until programs see it, and announces it.
bool Plug(const std::wstring& arguments) {
    const std::string before = Describe(AttachedDisplays());
    if (!Xrandr(arguments)) return false;
    const bool changed = WaitForChange(before);
    Announce();
    return changed;
}
}  // namespace

bool Connect(const std::wstring& output, int width, int height, int x, int y, int shownWidth, int shownHeight) {
    if (!GiveModes(output, width, height)) return false;
    const xs::Size shown = shownWidth > 0 ? xs::Size{shownWidth, shownHeight} : xs::Size{width, height};
    if (!(shown == xs::Size{width, height}) && !xs::AddMode(output, shown)) return false;
    MonitorDevices::Plug(output, MonitorName(output, width, height), width, height);
    return Plug(L"--output " + output + L" --mode " + xs::ModeName(shown) + L" --pos " + std::to_wstring(x) + L"x" +
                std::to_wstring(y));
}

bool Disconnect(const std::wstring& output) {
    // The monitor device goes first: Windows announces the change once its device is gone.
    MonitorDevices::Unplug(output);
    const bool unplugged = Plug(L"--output " + output + L" --off");
    GiveModes(output, 0, 0);
    return unplugged;
}

bool Reset(int panelWidth, int panelHeight) {
    std::wstring arguments;
    for (int n = 1; n <= 15; ++n) arguments += L" --output DUMMY" + std::to_wstring(n) + L" --off";
    const bool externalsOff = Xrandr(arguments);
    for (const wchar_t* output : {xs::kCrtOutput, xs::kHdmiOutput, xs::kTvOutput}) GiveModes(output, 0, 0);
    MonitorDevices::UnplugAll();
    // The panel shows 640 x 480 of the server's pool while its list changes.
    Xrandr(std::wstring(L"--output ") + kPanel + L" --mode 640x480 --pos 0x0 --primary");
    const bool panelModes = GiveModes(kPanel, panelWidth, panelHeight);
    const bool panel = Xrandr(std::wstring(L"--output ") + kPanel + L" --mode " +
                              xs::ModeName({panelWidth, panelHeight}) + L" --pos 0x0 --primary");
    MonitorDevices::Plug(kPanel, MonitorName(kPanel, panelWidth, panelHeight), panelWidth, panelHeight);
    // The system's saved settings too: an apply of them must not bring back an earlier mode.
    bool stored = false;
    ReadInFreshProcess(L" stock " + std::to_wstring(panelWidth) + L" " + std::to_wstring(panelHeight), &stored);
    return externalsOff && panelModes && panel && stored && WaitForAttached(1, 5000);
}

std::wstring MonitorName(const std::wstring& output, int width, int height) {
    // A product code from the native size: distinct for every size in use.
    wchar_t name[16];
    std::swprintf(name, 16, L"%ls%02X%02X", output == kPanel ? L"VQP" : L"VQM", (width / 16) & 0xFF,
                  (height / 16) & 0xFF);
    return name;
}

std::vector<std::wstring> MonitorIdentities() {
    std::vector<std::wstring> identities;
    std::vector<std::wstring> ids = SimulatedMonitors::MonitorDeviceIds();
    for (const std::wstring& id : MonitorDevices::PluggedIds()) ids.push_back(id);
    for (const std::wstring& id : ids) {
        const size_t first = id.find(L'\\');
        const size_t second = first == std::wstring::npos ? first : id.find(L'\\', first + 1);
        identities.push_back(id.substr(0, second));
    }
    return identities;
}

std::vector<Display> DisplaysSeenHere() {
    std::vector<Display> displays;
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    for (DWORD index = 0; EnumDisplayDevicesW(nullptr, index, &device, 0); ++index) {
        Display d;
        d.device = device.DeviceName;
        d.adapter = device.DeviceString;
        d.deviceId = device.DeviceID;
        d.stateFlags = device.StateFlags;
        d.attached = (device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
        d.primary = (device.StateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        if (d.attached && EnumDisplaySettingsW(device.DeviceName, ENUM_CURRENT_SETTINGS, &mode)) {
            d.width = static_cast<int>(mode.dmPelsWidth);
            d.height = static_cast<int>(mode.dmPelsHeight);
            d.bitsPerPixel = static_cast<int>(mode.dmBitsPerPel);
            d.frequency = static_cast<int>(mode.dmDisplayFrequency);
            d.x = mode.dmPosition.x;
            d.y = mode.dmPosition.y;
        }
        displays.push_back(d);
        device = DISPLAY_DEVICEW{};
        device.cb = sizeof device;
    }
    return displays;
}

std::string Serialize(const std::vector<Display>& displays) {
    std::string text;
    for (const Display& d : displays) {
        char line[512];
        std::snprintf(line, sizeof line, "%ls\t%ls\t%ls\t%lu\t%d\t%d\t%d\t%d\t%d\t%d\n", d.device.c_str(),
                      d.adapter.c_str(), d.deviceId.c_str(), d.stateFlags, d.width, d.height, d.bitsPerPixel,
                      d.frequency, d.x, d.y);
        text += line;
    }
    return text;
}

std::vector<Display> Parse(const std::string& text) {
    std::vector<Display> displays;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::vector<std::string> fields;
        for (size_t at = start; at <= end;) {
            size_t tab = text.find('\t', at);
            if (tab == std::string::npos || tab > end) tab = end;
            fields.push_back(text.substr(at, tab - at));
            at = tab + 1;
        }
        start = end + 1;
        if (fields.size() != 10) continue;
        Display d;
        d.device.assign(fields[0].begin(), fields[0].end());
        d.adapter.assign(fields[1].begin(), fields[1].end());
        d.deviceId.assign(fields[2].begin(), fields[2].end());
        d.stateFlags = static_cast<DWORD>(std::stoul(fields[3]));
        d.attached = (d.stateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP) != 0;
        d.primary = (d.stateFlags & DISPLAY_DEVICE_PRIMARY_DEVICE) != 0;
        int* numbers[] = {&d.width, &d.height, &d.bitsPerPixel, &d.frequency, &d.x, &d.y};
        for (size_t i = 0; i < 6; ++i) *numbers[i] = std::stoi(fields[4 + i]);
        displays.push_back(d);
    }
    return displays;
}

namespace {
// Runs vqdesktop.exe with these extra arguments; the displays it saw, and whether it ended with 0.
std::vector<Display> ReadInFreshProcess(const std::wstring& extra, bool* succeeded) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring report = std::wstring(folder) + L"vqdesktop-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    DeleteFileW(report.c_str());
    Program reader;
    StartOptions options;
    options.exeName = L"vqdesktop.exe";
    options.arguments = L"\"" + report + L"\"" + extra;
    options.waitForWindowMs = 0;
    *succeeded = reader.Start(options) && reader.WaitForExit(10000) == 0;
    std::vector<Display> displays = Parse(ReadFileBytes(report));
    DeleteFileW(report.c_str());
    return displays;
}
}  // namespace

std::vector<Display> Displays() {
    bool succeeded = false;
    return ReadInFreshProcess(L"", &succeeded);
}

std::vector<Display> AttachedDisplays() {
    std::vector<Display> attached;
    for (const Display& d : Displays()) {
        if (d.attached) attached.push_back(d);
    }
    return attached;
}

Display AttachedAt(int x, int y) {
    for (const Display& d : AttachedDisplays()) {
        if (d.x == x && d.y == y) return d;
    }
    return {};
}

bool WaitForAttached(size_t count, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (AttachedDisplays().size() == count) return true;
        Pause(100);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

std::string Describe(const std::vector<Display>& displays) {
    std::string text;
    for (const Display& d : displays) {
        char line[256];
        if (d.attached) {
            std::snprintf(line, sizeof line, "%ls %dx%dx%d@%d %+d%+d%s", d.device.c_str(), d.width, d.height,
                          d.bitsPerPixel, d.frequency, d.x, d.y, d.primary ? " primary" : "");
        } else {
            std::snprintf(line, sizeof line, "%ls detached", d.device.c_str());
        }
        if (!text.empty()) text += "; ";
        text += line;
    }
    return text;
}

}  // namespace vqdrive::desktop
