// How often the resident program wakes up while nothing happens: starts
// vqhkcore.exe on the simulated notebook, then counts over 60 idle seconds
// after start, and again over 60 seconds after a suspend and resume (the
// first 15 of them, the settle period, apart),
//  - the main window's timer expiries (its trace line "timer <id>" each), and
//  - the context switches of each of its threads as Linux counts them
//    (/proc/<pid>/task/<tid>/status through Wine's Z: drive), which also
//    shows wake-ups that are no window timer (other threads, waits).
//   ./dev wine ../bench/idle_wakeups.exe [seconds, default 60]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "debugoutput.h"
#include "vqdrive.h"

namespace {

std::string ReadSmallFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

// The Linux process of the running program: the one whose command line names it.
std::wstring FindLinuxProcess() {
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) return {};
    std::wstring found;
    do {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || entry.cFileName[0] < L'0' ||
            entry.cFileName[0] > L'9') {
            continue;
        }
        const std::string commandLine = ReadSmallFile(L"Z:\\proc\\" + std::wstring(entry.cFileName) + L"\\cmdline");
        if (commandLine.find("vqhkcore.exe") != std::string::npos) found = entry.cFileName;
    } while (found.empty() && FindNextFileW(find, &entry));
    FindClose(find);
    return found;
}

long long StatusValue(const std::string& status, const char* name) {
    const size_t at = status.find(name);
    return at == std::string::npos ? 0 : std::atoll(status.c_str() + at + std::strlen(name));
}

// Context switches per thread ("tid name" to count).
std::map<std::string, long long> ContextSwitches(const std::wstring& linuxPid) {
    std::map<std::string, long long> switches;
    const std::wstring tasks = L"Z:\\proc\\" + linuxPid + L"\\task\\";
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW((tasks + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return switches;
    do {
        if (entry.cFileName[0] < L'0' || entry.cFileName[0] > L'9') continue;
        const std::wstring task = tasks + entry.cFileName;
        const std::string status = ReadSmallFile(task + L"\\status");
        std::string name = ReadSmallFile(task + L"\\comm");
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        std::string tid;
        for (const wchar_t* c = entry.cFileName; *c; ++c) tid.push_back(static_cast<char>(*c));
        switches[tid + " " + name] = StatusValue(status, "voluntary_ctxt_switches:") +
                                     StatusValue(status, "nonvoluntary_ctxt_switches:");
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return switches;
}

std::vector<std::string> TimerLines(const vqdrive::DebugOutputListener& listener, DWORD processId) {
    std::vector<std::string> timers;
    for (const std::string& line : listener.Lines(processId)) {
        if (line.rfind("timer ", 0) == 0) timers.push_back(line);
    }
    return timers;
}

// Counts over `seconds` from now; prints the timer expiries and thread switches.
void Measure(const char* title, int seconds, const vqdrive::DebugOutputListener& listener, DWORD processId,
             const std::wstring& linuxPid) {
    const size_t timersBefore = TimerLines(listener, processId).size();
    const auto switchesBefore = ContextSwitches(linuxPid);
    vqdrive::Pause(static_cast<DWORD>(seconds) * 1000);
    const std::vector<std::string> timers = TimerLines(listener, processId);
    const auto switchesAfter = ContextSwitches(linuxPid);

    std::map<std::string, int> byTimer;
    for (size_t i = timersBefore; i < timers.size(); ++i) ++byTimer[timers[i]];
    std::printf("%s, %d s:\n  window timer expiries: %d\n", title, seconds,
                static_cast<int>(timers.size() - timersBefore));
    for (const auto& [timer, count] : byTimer) std::printf("    %s: %d\n", timer.c_str(), count);
    long long total = 0;
    for (const auto& [thread, after] : switchesAfter) {
        const auto before = switchesBefore.find(thread);
        const long long delta = after - (before == switchesBefore.end() ? 0 : before->second);
        total += delta;
        if (delta) std::printf("    thread %s: %lld context switches\n", thread.c_str(), delta);
    }
    std::printf("  context switches of all %d threads: %lld%s\n", static_cast<int>(switchesAfter.size()), total,
                linuxPid.empty() ? " (the Linux process was not found)" : "");
    std::fflush(stdout);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int seconds = argc > 1 ? _wtoi(argv[1]) : 60;
    vqdrive::DebugOutputListener listener;
    if (!listener.Start()) {
        std::fprintf(stderr, "debugger output: %ls\n", listener.Error().c_str());
        return 1;
    }
    vqdrive::SetWindowsVersion(L"win7");
    vqdrive::Program program;
    if (!program.Start()) {
        std::fprintf(stderr, "vqhkcore.exe did not start\n");
        return 1;
    }
    vqdrive::Pause(1000);  // start-up done
    const std::wstring linuxPid = FindLinuxProcess();
    std::printf("program: process %lu, Linux process %ls\n", program.ProcessId(), linuxPid.c_str());
    Measure("idle after start", seconds, listener, program.ProcessId(), linuxPid);
    vqdrive::SendPower(program.MainWindow(), PBT_APMSUSPEND);
    vqdrive::SendPower(program.MainWindow(), PBT_APMRESUMEAUTOMATIC);
    // The resume's own handling and timer 147 (10 s) fall in the settle period.
    constexpr int kSettleSeconds = 15;
    Measure("after suspend and resume: the settle period", kSettleSeconds, listener, program.ProcessId(), linuxPid);
    Measure("idle after the settle period", seconds > kSettleSeconds ? seconds - kSettleSeconds : 1, listener,
            program.ProcessId(), linuxPid);
    program.Stop();
    vqdrive::SetWindowsVersion(L"");
    return 0;
}
