// How fast the program's trace lines reach the end-to-end driver's
// debug-output listener, and whether any are lost: this program starts a
// copy of itself that sends bursts of OutputDebugStringW lines of several
// lengths while this copy listens, and prints lines heard per burst and the
// sender's cost per line, with and without a listener.
//   ./dev wine ../bench/trace_listener.exe [lines per burst, default 5000]
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "debugoutput.h"

namespace {

double Now() {
    LARGE_INTEGER frequency{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1e6 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The sending copy: one burst of `count` lines of `length` characters; its
// exit code is the burst's time in microseconds.
int Send(int count, int length) {
    std::wstring line(static_cast<size_t>(length), L'x');
    const double begin = Now();
    for (int i = 0; i < count; ++i) {
        const std::wstring number = std::to_wstring(i) + L" ";
        line.replace(0, number.size(), number);
        OutputDebugStringW(line.c_str());
    }
    return static_cast<int>(Now() - begin);
}

// Runs a sending copy; its process id, and the milliseconds its burst took.
bool RunSender(int count, int length, DWORD* processId, double* milliseconds) {
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" send " + std::to_wstring(count) + L" " +
                               std::to_wstring(length);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD microseconds = 0;
    GetExitCodeProcess(info.hProcess, &microseconds);
    *processId = info.dwProcessId;
    *milliseconds = microseconds / 1000.0;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 4 && std::wcscmp(argv[1], L"send") == 0) return Send(_wtoi(argv[2]), _wtoi(argv[3]));
    const int count = argc > 1 ? _wtoi(argv[1]) : 5000;

    for (int length : {40, 1000, 5000}) {
        DWORD processId = 0;
        double quiet = 0, heard = 0;
        if (!RunSender(count, length, &processId, &quiet)) {
            std::printf("error: the sender did not start\n");
            return 1;
        }
        vqdrive::DebugOutputListener listener;
        if (!listener.Start()) {
            std::printf("error: %ls\n", listener.Error().c_str());
            return 1;
        }
        if (!RunSender(count, length, &processId, &heard)) return 1;
        Sleep(200);  // the last copy may still be sorted into lines
        const auto lines = listener.Lines(processId);
        size_t longest = 0;
        for (const auto& line : lines) longest = line.size() > longest ? line.size() : longest;
        std::printf("%5d characters: %zu of %d lines heard, longest %zu bytes; sender %.1f us a line "
                    "with the listener, %.1f us without\n",
                    length, lines.size(), count, longest, 1000.0 * heard / count, 1000.0 * quiet / count);
    }
    return 0;
}
