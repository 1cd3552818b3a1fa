#include "simdesktop.h"

#include <cstdio>
#include <cstring>

#include "vqdrive.h"

namespace vqdrive::desktop {

namespace {
constexpr DWORD kShellTimeoutMs = 15000;
constexpr int kRefreshHz = 60;

// The Unix path of a Windows path, through Wine's own kernel32 export.
std::wstring UnixPath(const std::wstring& path) {
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* unix = toUnix ? toUnix(path.c_str()) : nullptr;
    if (!unix) return {};
    std::wstring result(unix, unix + strlen(unix));
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

// Runs a shell command line. Wine starts a Linux program named by its Unix
// path, but the handle it gives back can be neither waited for nor asked
// for an exit code; so the shell leaves the exit code in a file, written
// under another name first and renamed once complete.
bool RunShell(const std::wstring& command) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    static unsigned counter = 0;
    const std::wstring result = std::wstring(folder) + L"vqdrive-shell-" + std::to_wstring(GetCurrentProcessId()) +
                                L"-" + std::to_wstring(++counter) + L".rc";
    const std::wstring unixResult = UnixPath(result);
    if (unixResult.empty()) return false;
    DeleteFileW(result.c_str());
    std::wstring line = L"/bin/sh -c \"" + command + L"; echo $? > '" + unixResult + L".part' && mv '" +
                        unixResult + L".part' '" + unixResult + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    const DWORD start = GetTickCount();
    while (GetFileAttributesW(result.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (GetTickCount() - start >= kShellTimeoutMs) return false;
        Sleep(10);
    }
    const std::string code = ReadFileBytes(result);
    DeleteFileW(result.c_str());
    return code.rfind("0\n", 0) == 0;
}

std::vector<Display> ReadInFreshProcess(const std::wstring& extra, bool* succeeded);

std::wstring Size(int width, int height) { return std::to_wstring(width) + L"x" + std::to_wstring(height); }
}  // namespace

// After a change, one query: the dummy driver's outputs are probed (and Wine
// told about them) only when a client asks for the screen's resources.
bool Xrandr(const std::wstring& arguments) {
    return RunShell(L"xrandr " + arguments + L" >/dev/null 2>&1 && { xrandr -q >/dev/null 2>&1; true; }");
}

bool AddMode(const std::wstring& output, int width, int height) {
    const std::wstring name = Size(width, height);
    if (Xrandr(L"--addmode " + output + L" " + name)) return true;
    // A size the server does not list: timings with short blanking, 60 Hz.
    const int hTotal = width + 160, vTotal = height + 30;
    wchar_t timings[160];
    swprintf(timings, 160, L"%.2f %d %d %d %d %d %d %d %d +hsync +vsync",
             hTotal * static_cast<double>(vTotal) * kRefreshHz / 1e6, width, width + 48, width + 80, hTotal, height,
             height + 3, height + 6, vTotal);
    Xrandr(L"--newmode " + name + L" " + timings);
    return Xrandr(L"--addmode " + output + L" " + name);
}

bool RemoveMode(const std::wstring& output, int width, int height) {
    const std::wstring name = Size(width, height);
    const bool removed = Xrandr(L"--delmode " + output + L" " + name);
    Xrandr(L"--rmmode " + name);
    return removed;
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

bool Connect(const std::wstring& output, int width, int height, int x, int y) {
    return AddMode(output, width, height) && Plug(L"--output " + output + L" --mode " + Size(width, height) +
                                                  L" --pos " + std::to_wstring(x) + L"x" + std::to_wstring(y));
}

bool Disconnect(const std::wstring& output) { return Plug(L"--output " + output + L" --off"); }

bool Reset() {
    std::wstring arguments;
    for (int n = 1; n <= 15; ++n) arguments += L" --output DUMMY" + std::to_wstring(n) + L" --off";
    const bool externalsOff = Xrandr(arguments);
    const bool panel = Xrandr(std::wstring(L"--output ") + kPanel + L" --mode " + Size(kPanelWidth, kPanelHeight) +
                              L" --rotate normal --pos 0x0 --primary");
    // The system's saved settings too: an apply of them must not bring back an earlier mode.
    bool stored = false;
    ReadInFreshProcess(L" stock", &stored);
    return externalsOff && panel && stored && WaitForAttached(1, 5000);
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
