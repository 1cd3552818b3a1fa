// The installer's custom action run before an uninstall (and so before the
// old version goes in a major upgrade): every running copy of the program in
// this session is asked to end through WM_CLOSE to its hidden main window,
// the way the program itself ends cleanly (keyboard hook released, settings
// written), and the action waits a bounded time for each to be gone. A copy
// that does not end in time is left to the installer's own files-in-use
// handling.
#include <windows.h>

#include <vector>

namespace {

// The hidden main window: a dialog with this caption.
constexpr wchar_t kMainWindowClass[] = L"#32770";
constexpr wchar_t kMainWindowCaption[] = L"-Valmora-";
constexpr DWORD kWaitPerCopyMs = 10000;

struct CopyWindows {
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectMainWindow(HWND window, LPARAM data) {
    wchar_t className[32] = {};
    wchar_t caption[32] = {};
    GetClassNameW(window, className, 32);
    GetWindowTextW(window, caption, 32);
    if (lstrcmpW(className, kMainWindowClass) == 0 && lstrcmpW(caption, kMainWindowCaption) == 0) {
        reinterpret_cast<CopyWindows*>(data)->windows.push_back(window);
    }
    return TRUE;
}

void CloseCopy(HWND window) {
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    HANDLE process = processId ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
    PostMessageW(window, WM_CLOSE, 0, 0);
    if (process) {
        WaitForSingleObject(process, kWaitPerCopyMs);
        CloseHandle(process);
    }
}

}  // namespace

// The Windows Installer calls it with its session handle; the result is
// ignored by the package (an uninstall never stops here).
extern "C" UINT __stdcall CloseRunningCopy(unsigned long /*installSession*/) {
    CopyWindows found;
    EnumWindows(CollectMainWindow, reinterpret_cast<LPARAM>(&found));
    for (HWND window : found.windows) CloseCopy(window);
    return ERROR_SUCCESS;
}
