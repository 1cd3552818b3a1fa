// End-to-end driver of the program on the simulated notebook: starts
// vqhkcore.exe, finds its hidden main window, delivers keys and notifications
// on the real roads, closes message boxes and reads the log file; its trace
// lines are heard on the debugger output (debugoutput.h). Used by the
// end-to-end tests and by the console program vqdrive.exe.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace vqdrive {

// Folder of the running executable (with a trailing backslash), and the
// program's folder: the same folder, or ..\bin when run from the tests folder.
std::wstring OwnFolder();
std::wstring ProgramFolder();

// Windows version the program sees: L"win2k", L"winxp", L"vista", L"win7",
// or L"" for the prefix default.
void SetWindowsVersion(const std::wstring& version);

struct StartOptions {
    std::wstring exeName = L"vqhkcore.exe";
    std::wstring programFolder;     // folder of the executable (trailing backslash); empty: ProgramFolder()
    std::wstring extraEnvironment;  // "NAME=value" lines separated by '\n'; they replace inherited ones
    std::wstring arguments;         // appended to the command line after the quoted executable
    std::wstring injectLibrary;     // full path of a library loaded before the entry point (simadapter.h); empty: none
    std::vector<std::wstring> moreInjectLibraries;  // loaded the same way, after it, in order
    DWORD waitForWindowMs = 10000;
};

class Program {
public:
    Program() = default;
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Start(const StartOptions& options = {});
    // Waits for the main window to appear; null on time-out or early exit.
    HWND WaitForMainWindow(DWORD timeoutMs);
    HWND MainWindow() const { return m_mainWindow; }
    DWORD ProcessId() const { return m_info.dwProcessId; }
    bool Running() const;
    // Waits for the process to end; returns its exit code, or STILL_ACTIVE on time-out.
    DWORD WaitForExit(DWORD timeoutMs);
    // Ends the program through its QUIT button, or terminates it if that fails.
    void Stop();

private:
    PROCESS_INFORMATION m_info{};
    HWND m_mainWindow = nullptr;
};

// The hidden main window of any running copy ("-Valmora-"), or null.
HWND FindMainWindow();

// A small visible window of the driver that holds the foreground, as a
// user's application would: Wine delivers raw keyboard input to background
// sinks only while some window is in the foreground.
HWND EnsureForegroundWindow();

// Keys through SendInput: virtual key 0xFF with a scan code arrives on the
// raw input road (and at the hook library) as the notebook's special key.
bool PressKey(BYTE virtualKey, BYTE scanCode, bool extended = false);
bool ReleaseKey(BYTE virtualKey, BYTE scanCode, bool extended = false);
bool TapKey(BYTE virtualKey, BYTE scanCode, bool extended = false);
// The mouse through SendInput, at a point of the whole desktop: a move, and
// a left click there (press and release).
bool MoveMouseTo(int x, int y);
bool ClickAt(int x, int y);

// Messages to the main window.
LRESULT SendSibling(HWND window, WPARAM code, LPARAM argument);
bool PostSibling(HWND window, WPARAM code, LPARAM argument);
LRESULT SendRegistered(HWND window, const wchar_t* name, WPARAM wParam, LPARAM lParam);
bool PostRegistered(HWND window, const wchar_t* name, WPARAM wParam, LPARAM lParam);
LRESULT SendPower(HWND window, WPARAM event);    // PBT_APMSUSPEND, PBT_APMRESUMEAUTOMATIC
LRESULT SendSession(HWND window, WPARAM event);  // WTS_SESSION_LOCK, ...
// The USB keyboard stand-in posts usage and page as the keyboard would.
bool SendUsbUsage(WPARAM usage, LPARAM page);

// Message boxes of a process: their texts, and closing them with OK.
struct MessageBoxInfo {
    HWND window;
    std::wstring caption;
    std::wstring text;
};
std::vector<MessageBoxInfo> FindMessageBoxes(DWORD processId);
MessageBoxInfo WaitForMessageBox(DWORD processId, DWORD timeoutMs);
bool CloseMessageBox(HWND box);

// The program's log file, and helpers for text files.
std::wstring LogFilePath();
std::string ReadFileBytes(const std::wstring& path);
std::vector<std::string> ReadLines(const std::wstring& path);
void DeleteFileIfPresent(const std::wstring& path);
// Waits until `path` holds a line containing `needle`.
bool WaitForLine(const std::wstring& path, const std::string& needle, DWORD timeoutMs);

// Sleeps while letting this thread's messages through.
void Pause(DWORD ms);

// Screenshots of the virtual display as PNG files, taken by ImageMagick
// ("import -window root") from inside Wine: the whole screen, or one
// rectangle of it. False when the file did not appear in time.
bool CaptureScreen(const std::wstring& pngPath, const RECT* area = nullptr, DWORD timeoutMs = 15000);
// The mini UI panels of a process (its pop-ups titled "VLM miniUI", with or
// without a countdown), shown or hidden, ordered left to right.
std::vector<HWND> FindMiniUiPanels(DWORD processId);
// A left click with the mouse on a panel's view-mode button (its control 1069).
bool ClickViewModeButton(HWND panel);
// The rectangle of a process's OSD window (a visible layered pop-up); false when none is shown.
bool FindOsdRect(DWORD processId, RECT* rect);

}  // namespace vqdrive
