#include "xscreen.h"

#include <cstdio>
#include <cstring>
#include <sstream>

namespace vqsim::xscreen {

namespace {
constexpr DWORD kShellTimeoutMs = 15000;
}  // namespace

// Through Wine's own kernel32 export.
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

namespace {

std::string ReadWhole(const std::wstring& path) {
    std::string bytes;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read) bytes.append(buffer, read);
    CloseHandle(file);
    return bytes;
}

bool ParseSize(const std::string& text, Size* size) {
    return std::sscanf(text.c_str(), "%dx%d", &size->width, &size->height) == 2;
}
}  // namespace

const wchar_t* OutputOfDevice(std::uint32_t deviceBit) {
    switch (deviceBit) {
        case 0x01: return kPanelOutput;
        case 0x02: return kCrtOutput;
        case 0x04: return kTvOutput;
        case 0x08: return kHdmiOutput;
        default: return nullptr;
    }
}

bool Output::Offers(Size size) const {
    for (const Size& mode : modes) {
        if (mode == size) return true;
    }
    return false;
}

// Wine starts a Linux program named by its Unix path, but the handle it
// gives back can be neither waited for nor asked for an exit code; so the
// shell leaves its output and exit code in files, the code written under
// another name first and renamed once complete.
bool RunShell(const std::wstring& command, std::string* output) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    static LONG counter = 0;
    const std::wstring stem = std::wstring(folder) + L"vqsim-shell-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(InterlockedIncrement(&counter));
    const std::wstring result = stem + L".rc", text = stem + L".out";
    const std::wstring unixResult = UnixPath(result), unixText = UnixPath(text);
    if (unixResult.empty() || unixText.empty()) return false;
    DeleteFileW(result.c_str());
    std::wstring line = L"/bin/sh -c \"{ " + command + L"; } > '" + unixText + L"'; echo $? > '" + unixResult +
                        L".part' && mv '" + unixResult + L".part' '" + unixResult + L"'\"";
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
    const std::string code = ReadWhole(result);
    if (output) *output = ReadWhole(text);
    DeleteFileW(result.c_str());
    DeleteFileW(text.c_str());
    return code.rfind("0\n", 0) == 0;
}

bool Xrandr(const std::wstring& arguments) {
    return RunShell(L"xrandr " + arguments + L" 2>/dev/null && { xrandr -q >/dev/null 2>&1; true; }");
}

std::vector<Output> ParseOutputs(const std::string& text) {
    std::vector<Output> outputs;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.rfind("Screen ", 0) == 0) continue;
        std::istringstream words(line);
        if (line[0] != ' ') {
            std::string name, state, word;
            words >> name >> state;
            Output output;
            output.name.assign(name.begin(), name.end());
            output.connected = state == "connected";
            while (words >> word) {
                if (word == "primary") {
                    output.primary = true;
                    continue;
                }
                Size size;
                int x = 0, y = 0;
                if (std::sscanf(word.c_str(), "%dx%d+%d+%d", &size.width, &size.height, &x, &y) == 4) {
                    output.on = true;
                    output.width = size.width, output.height = size.height, output.x = x, output.y = y;
                }
                break;
            }
            outputs.push_back(output);
            continue;
        }
        std::string mode;
        Size size;
        if (!outputs.empty() && (words >> mode) && ParseSize(mode, &size) && !outputs.back().Offers(size)) {
            outputs.back().modes.push_back(size);
        }
    }
    return outputs;
}

std::vector<Output> ReadOutputs() {
    std::string text;
    if (!RunShell(L"xrandr -q 2>/dev/null", &text)) return {};
    return ParseOutputs(text);
}

const Output* Find(const std::vector<Output>& outputs, const std::wstring& name) {
    for (const Output& output : outputs) {
        if (output.name == name) return &output;
    }
    return nullptr;
}

std::wstring ModeName(Size size) { return std::to_wstring(size.width) + L"x" + std::to_wstring(size.height); }

bool AddMode(const std::wstring& output, Size size) {
    const std::wstring name = ModeName(size);
    if (Xrandr(L"--addmode " + output + L" " + name)) return true;
    // A size the server does not know yet: timings with short blanking, 60 Hz.
    const int hTotal = size.width + 160, vTotal = size.height + 30;
    wchar_t timings[160];
    std::swprintf(timings, 160, L"%.2f %d %d %d %d %d %d %d %d +hsync +vsync",
                  hTotal * static_cast<double>(vTotal) * kRefreshHz / 1e6, size.width, size.width + 48,
                  size.width + 80, hTotal, size.height, size.height + 3, size.height + 6, vTotal);
    Xrandr(L"--newmode " + name + L" " + timings);
    return Xrandr(L"--addmode " + output + L" " + name);
}

}  // namespace vqsim::xscreen
