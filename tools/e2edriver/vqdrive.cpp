#include "vqdrive.h"

#include "simadapter.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <sstream>

namespace vqdrive {

namespace {
std::wstring FolderOf(const std::wstring& path) {
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring WindowText(HWND window) {
    wchar_t text[2048] = {};
    GetWindowTextW(window, text, 2048);
    return text;
}

bool SendKey(BYTE virtualKey, BYTE scanCode, bool extended, bool release) {
    EnsureForegroundWindow();
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.wScan = scanCode;
    input.ki.dwFlags = (release ? KEYEVENTF_KEYUP : 0) | (extended ? KEYEVENTF_EXTENDEDKEY : 0);
    return SendInput(1, &input, sizeof input) == 1;
}
}  // namespace

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return FolderOf(path);
}

std::wstring ProgramFolder() {
    const std::wstring own = OwnFolder();
    if (Exists(own + L"vqhkcore.exe")) return own;
    return own + L"..\\bin\\";
}

void SetWindowsVersion(const std::wstring& version) {
    HKEY key = nullptr;
    const wchar_t* path = L"Software\\Wine\\AppDefaults\\vqhkcore.exe";
    if (version.empty()) {
        if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueW(key, L"Version");
            RegCloseKey(key);
        }
        return;
    }
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    RegSetValueExW(key, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                   static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

Program::~Program() {
    if (Running()) Stop();
    if (m_info.hProcess) CloseHandle(m_info.hProcess);
    if (m_info.hThread) CloseHandle(m_info.hThread);
}

bool Program::Start(const StartOptions& options) {
    // The environment: ours, plus any extra lines; an extra line replaces our
    // variable of the same name.
    std::vector<std::wstring> replaced;
    {
        std::wistringstream extra(options.extraEnvironment);
        for (std::wstring line; std::getline(extra, line);) {
            if (const size_t equals = line.find(L'='); equals != std::wstring::npos) {
                replaced.push_back(line.substr(0, equals + 1));
            }
        }
    }
    std::wstring block;
    if (wchar_t* env = GetEnvironmentStringsW()) {
        for (const wchar_t* p = env; *p; p += wcslen(p) + 1) {
            bool skip = false;
            for (const auto& name : replaced) skip = skip || _wcsnicmp(p, name.c_str(), name.size()) == 0;
            if (skip) continue;
            block.append(p).push_back(L'\0');
        }
        FreeEnvironmentStringsW(env);
    }
    std::wistringstream extra(options.extraEnvironment);
    for (std::wstring line; std::getline(extra, line);) {
        if (!line.empty()) block.append(line).push_back(L'\0');
    }
    block.push_back(L'\0');

    const std::wstring exe =
        (options.programFolder.empty() ? ProgramFolder() : options.programFolder) + options.exeName;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!options.arguments.empty()) commandLine += L" " + options.arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::vector<std::wstring> libraries = options.moreInjectLibraries;
    if (!options.injectLibrary.empty()) libraries.insert(libraries.begin(), options.injectLibrary);
    const bool inject = !libraries.empty();
    // Started from another folder on purpose: the program must find its own.
    if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_UNICODE_ENVIRONMENT | (inject ? CREATE_SUSPENDED : 0), block.data(),
                        OwnFolder().c_str(), &startup, &m_info)) {
        return false;
    }
    if (inject) {
        // The loads run in the order they were queued.
        bool queued = true;
        for (const std::wstring& library : libraries) {
            queued = queued && adapter::QueueLibraryLoad(m_info.hProcess, m_info.hThread, library);
        }
        if (!queued) TerminateProcess(m_info.hProcess, 98);
        ResumeThread(m_info.hThread);
        if (!queued) return false;
    }
    if (options.waitForWindowMs) WaitForMainWindow(options.waitForWindowMs);
    return true;
}

HWND Program::WaitForMainWindow(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        HWND found = nullptr;
        for (HWND w = FindWindowW(L"#32770", L"-Valmora-"); w; w = FindWindowExW(nullptr, w, L"#32770", L"-Valmora-")) {
            DWORD pid = 0;
            GetWindowThreadProcessId(w, &pid);
            if (pid == m_info.dwProcessId) found = w;
        }
        if (found) {
            m_mainWindow = found;
            return found;
        }
        if (!Running()) return nullptr;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return nullptr;
}

bool Program::Running() const {
    return m_info.hProcess && WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Program::WaitForExit(DWORD timeoutMs) {
    if (!m_info.hProcess) return 0;
    if (WaitForSingleObject(m_info.hProcess, timeoutMs) != WAIT_OBJECT_0) return STILL_ACTIVE;
    DWORD code = 0;
    GetExitCodeProcess(m_info.hProcess, &code);
    return code;
}

void Program::Stop() {
    if (!Running()) return;
    for (const MessageBoxInfo& box : FindMessageBoxes(m_info.dwProcessId)) CloseMessageBox(box.window);
    if (m_mainWindow && IsWindow(m_mainWindow)) PostMessageW(m_mainWindow, WM_CLOSE, 0, 0);
    if (WaitForExit(5000) == STILL_ACTIVE) {
        TerminateProcess(m_info.hProcess, 99);
        WaitForSingleObject(m_info.hProcess, 5000);
    }
}

HWND FindMainWindow() { return FindWindowW(L"#32770", L"-Valmora-"); }

namespace {
// A point of the whole desktop in SendInput's absolute units (0 to 65535).
INPUT MouseAt(int x, int y, DWORD flags) {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(((x - left) * 65535.0 + width / 2) / (width - 1));
    input.mi.dy = static_cast<LONG>(((y - top) * 65535.0 + height / 2) / (height - 1));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_VIRTUALDESK;
    return input;
}
}  // namespace

bool MoveMouseTo(int x, int y) {
    INPUT input = MouseAt(x, y, 0);
    const bool sent = SendInput(1, &input, sizeof input) == 1;
    Pause(30);
    return sent;
}

bool ClickAt(int x, int y) {
    if (!MoveMouseTo(x, y)) return false;
    INPUT press[2] = {MouseAt(x, y, MOUSEEVENTF_LEFTDOWN), MouseAt(x, y, MOUSEEVENTF_LEFTUP)};
    const bool sent = SendInput(1, &press[0], sizeof(INPUT)) == 1;
    Pause(30);
    return SendInput(1, &press[1], sizeof(INPUT)) == 1 && sent;
}

namespace {
struct PanelSearch {
    DWORD process;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectPanel(HWND hwnd, LPARAM data) {
    auto* s = reinterpret_cast<PanelSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(hwnd, &process);
    wchar_t title[32] = {};
    GetWindowTextW(hwnd, title, 32);
    if (process == s->process && std::wstring(title).rfind(L"VLM miniUI", 0) == 0) s->found.push_back(hwnd);
    return TRUE;
}
}  // namespace

std::vector<HWND> FindMiniUiPanels(DWORD processId) {
    PanelSearch search{processId, {}};
    EnumWindows(CollectPanel, reinterpret_cast<LPARAM>(&search));
    std::sort(search.found.begin(), search.found.end(), [](HWND a, HWND b) {
        RECT ra{}, rb{};
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return search.found;
}

bool ClickViewModeButton(HWND panel) {
    constexpr int kViewModeButton = 1069;
    RECT button{};
    if (!GetWindowRect(GetDlgItem(panel, kViewModeButton), &button)) return false;
    return ClickAt((button.left + button.right) / 2, (button.top + button.bottom) / 2);
}

HWND EnsureForegroundWindow() {
    static HWND window = nullptr;
    if (!window || !IsWindow(window)) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"VqDriveForeground";
        RegisterClassW(&wc);
        window = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"vqdrive", WS_POPUP | WS_VISIBLE, 0, 0, 40,
                                 40, nullptr, nullptr, wc.hInstance, nullptr);
    }
    if (window && GetForegroundWindow() == nullptr) {
        SetForegroundWindow(window);
        Pause(20);
    }
    return window;
}

bool PressKey(BYTE virtualKey, BYTE scanCode, bool extended) { return SendKey(virtualKey, scanCode, extended, false); }
bool ReleaseKey(BYTE virtualKey, BYTE scanCode, bool extended) { return SendKey(virtualKey, scanCode, extended, true); }
bool TapKey(BYTE virtualKey, BYTE scanCode, bool extended) {
    return PressKey(virtualKey, scanCode, extended) && ReleaseKey(virtualKey, scanCode, extended);
}

LRESULT SendSibling(HWND window, WPARAM code, LPARAM argument) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, 0x8B1, code, argument, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}
bool PostSibling(HWND window, WPARAM code, LPARAM argument) {
    return PostMessageW(window, 0x8B1, code, argument) != FALSE;
}
LRESULT SendRegistered(HWND window, const wchar_t* name, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, RegisterWindowMessageW(name), wParam, lParam, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}
bool PostRegistered(HWND window, const wchar_t* name, WPARAM wParam, LPARAM lParam) {
    return PostMessageW(window, RegisterWindowMessageW(name), wParam, lParam) != FALSE;
}
LRESULT SendPower(HWND window, WPARAM event) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_POWERBROADCAST, event, 0, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}
LRESULT SendSession(HWND window, WPARAM event) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, 0x2B1 /* WM_WTSSESSION_CHANGE */, event, 1, SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}
bool SendUsbUsage(WPARAM usage, LPARAM page) {
    HWND device = FindWindowW(L"VqSimTrapkeyUsb", nullptr);
    if (!device) return false;
    DWORD_PTR result = 0;
    return SendMessageTimeoutW(device, WM_APP, usage, page, SMTO_NORMAL, 5000, &result) != 0;
}

namespace {
struct BoxSearch {
    DWORD pid;
    std::vector<MessageBoxInfo> boxes;
};

BOOL CALLBACK CollectBox(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<BoxSearch*>(p);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    wchar_t cls[64] = {};
    GetClassNameW(w, cls, 64);
    if (pid == s->pid && wcscmp(cls, L"#32770") == 0 && IsWindowVisible(w)) {
        const std::wstring caption = WindowText(w);
        // Not boxes: the main window and the mini UI's panels.
        if (caption == L"-Valmora-" || caption.rfind(L"VLM miniUI", 0) == 0) return TRUE;
        // The message text is the static control 0xFFFF of the box.
        std::wstring text;
        if (HWND label = GetDlgItem(w, 0xFFFF)) text = WindowText(label);
        s->boxes.push_back({w, caption, text});
    }
    return TRUE;
}
}  // namespace

std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId) {
    BoxSearch search{processId, {}};
    EnumWindows(CollectBox, reinterpret_cast<LPARAM>(&search));
    return search.boxes;
}

MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        auto boxes = FindMessageBoxes(processId);
        if (!boxes.empty()) return boxes.front();
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return {nullptr, {}, {}};
}

bool CloseMessageBox(HWND box) {
    if (!box || !IsWindow(box)) return false;
    return PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0) != FALSE;
}

std::wstring LogFilePath() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder))) return {};
    return std::wstring(folder) + L"\\KORVANE\\Valmora\\2.0\\vqlg.log";
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string data;
    char buffer[8192];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) data.append(buffer, read);
    CloseHandle(file);
    return data;
}

std::vector<std::string> ReadLines(const std::wstring& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFileBytes(path));
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

void DeleteFileIfPresent(const std::wstring& path) { DeleteFileW(path.c_str()); }

bool WaitForLine(const std::wstring& path, const std::string& needle, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    do {
        if (ReadFileBytes(path).find(needle) != std::string::npos) return true;
        Pause(20);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

void Pause(DWORD ms) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
        Sleep(5);
    }
}

}  // namespace vqdrive
