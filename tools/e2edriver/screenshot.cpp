// Screenshots through ImageMagick. Wine starts a Linux program named by its
// Unix path like any other program, with the same X display; the process
// handle it gives back cannot be waited for, so the file's arrival is.
#include <string>

#include "vqdrive.h"

namespace vqdrive {

namespace {
// The Unix path of a Windows path, through Wine's own kernel32 export.
std::string UnixPath(const std::wstring& path) {
    using ToUnix = char*(__cdecl*)(const wchar_t*);
    auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return {};
    char* unix = toUnix(path.c_str());
    if (!unix) return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct OsdSearch {
    DWORD processId;
    RECT rect;
    bool found;
};

BOOL CALLBACK FindOsd(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<OsdSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
    if (owner == search->processId && IsWindowVisible(window) && (exStyle & WS_EX_LAYERED)) {
        GetWindowRect(window, &search->rect);
        search->found = true;
        return FALSE;
    }
    return TRUE;
}
}  // namespace

bool CaptureScreen(const std::wstring& pngPath, const RECT* area, DWORD timeoutMs) {
    const std::string target = UnixPath(pngPath);
    if (target.empty()) return false;
    DeleteFileW(pngPath.c_str());
    std::wstring command = L"Z:\\usr\\bin\\import -window root";
    if (area) {
        wchar_t crop[96];
        swprintf(crop, 96, L" -crop %ldx%ld+%ld+%ld +repage", area->right - area->left, area->bottom - area->top,
                 area->left, area->top);
        command += crop;
    }
    command += L" \"" + std::wstring(target.begin(), target.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    // Done when the file exists and has stopped growing.
    const DWORD start = GetTickCount();
    LONGLONG last = -1;
    while (GetTickCount() - start < timeoutMs) {
        Pause(100);
        const LONGLONG size = FileSize(pngPath);
        if (size > 0 && size == last) return true;
        last = size;
    }
    return false;
}

bool FindOsdRect(DWORD processId, RECT* rect) {
    OsdSearch search{processId, {}, false};
    EnumWindows(&FindOsd, reinterpret_cast<LPARAM>(&search));
    if (search.found) *rect = search.rect;
    return search.found;
}

}  // namespace vqdrive
