// Resident memory of the program at rest, against a floor, with a breakdown.
//   ./dev wine ../bench/rest_memory.exe [latency samples, default 16]
//
// 1. Starts vqhkcore.exe as Windows 7 on the simulated notebook, shows one
//    OSD (brightness key), waits until it has hidden itself and memory has
//    settled, and reads the resident size (Rss) and the private memory
//    (Private_Clean + Private_Dirty) of its Wine process from
//    /proc/PID/smaps_rollup, and the private memory by mapping from
//    /proc/PID/smaps.
// 2. Does the same with floor_osd.exe, built in the same tree: a bare
//    program that only shows one layered window on the same key.
// 3. Runs a copy of itself that goes through the program's start-up steps
//    one by one (GDI+, COM, firmware library, audio, the strips, an OSD shown
//    and finished); this copy reads the other's private memory after each
//    step (a process under Wine cannot read its own /proc/self).
// 4. Key -> OSD latency of both: SendInput of the key from this process to
//    the OSD window visible, seen from this process (polled without sleeps:
//    Wine sends no show events to an event hook); median, mean and spread.
// The audio step is what Wine loads for a facility the program must use: its
// dirty pages, and the clean pages of the libraries it brings in as the
// program holds them at rest, are reported and taken off the program's share
// before the verdict.
// Exit code 0 when private memory at rest is within the floor's + 4 MB and
// the latency within 5 % of the floor's, 1 otherwise, 2 when a run failed.
#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "audio/audiovista.h"
#include "common/processstate.h"
#include "hardware/kest.h"
#include "osd/framestrip.h"
#include "osd/hkiconwindowdlg.h"
#include "osdbench.h"
#include "osd/imagestrip.h"
#include "simfirmware.h"
#include "vqdrive.h"

namespace {
using osdbench::NoPartners;
using osdbench::Pump;

constexpr BYTE kNotebookKey = 0xFF;
constexpr BYTE kBrightnessUp = 8;
constexpr BYTE kBrightnessDown = 9;
constexpr double kPrivateBudgetKb = 4 * 1024;
constexpr double kLatencyBudget = 1.05;

struct Memory {
    long long rssKb = -1;
    long long privateKb = -1;
    // Clean private pages are file pages (DLL images) that no other process
    // maps at the moment: the same file counts as shared while another Wine
    // process holds it, so this part changes with what else runs.
    long long privateCleanKb = -1;
    bool Valid() const { return rssKb >= 0 && privateKb >= 0; }
};

// The whole of a file that reports no size (procfs).
std::string ReadWhole(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

long long FieldKb(const std::string& text, const char* name) {
    const size_t at = text.find(name);
    if (at == std::string::npos) return -1;
    return std::atoll(text.c_str() + at + std::strlen(name));
}

Memory MemoryOfUnixProcess(const std::wstring& pid) {
    const std::string rollup = ReadWhole(L"Z:\\proc\\" + pid + L"\\smaps_rollup");
    Memory memory;
    memory.rssKb = FieldKb(rollup, "\nRss:");
    if (memory.rssKb < 0) memory.rssKb = FieldKb(rollup, "Rss:");
    const long long clean = FieldKb(rollup, "Private_Clean:");
    const long long dirty = FieldKb(rollup, "Private_Dirty:");
    if (clean >= 0 && dirty >= 0) memory.privateKb = clean + dirty;
    memory.privateCleanKb = clean;
    return memory;
}

// The private memory of a process by what holds it: each mapped file (a DLL's
// image, a Unix library) and the anonymous memory (heaps, stacks), largest first.
struct Holder {
    std::string name;
    long long cleanKb = 0;
    long long dirtyKb = 0;
    long long Kb() const { return cleanKb + dirtyKb; }
};

std::vector<Holder> PrivateByMapping(const std::wstring& pid) {
    const std::string smaps = ReadWhole(L"Z:\\proc\\" + pid + L"\\smaps");
    std::vector<Holder> holders;
    std::string current = "[anonymous]";
    size_t at = 0;
    while (at < smaps.size()) {
        size_t end = smaps.find('\n', at);
        if (end == std::string::npos) end = smaps.size();
        const std::string line = smaps.substr(at, end - at);
        at = end + 1;
        const size_t dash = line.find('-');
        if (dash != std::string::npos && dash > 0 && line.find_first_not_of("0123456789abcdef") == dash) {
            // A mapping's header: address range, permissions, offset, device, inode, path.
            size_t field = 0, pos = 0;
            while (field < 5 && pos != std::string::npos) {
                pos = line.find_first_not_of(' ', line.find(' ', pos));
                ++field;
            }
            current = pos == std::string::npos ? "[anonymous]" : line.substr(pos);
            if (const size_t slash = current.rfind('/'); slash != std::string::npos) current = current.substr(slash + 1);
            continue;
        }
        const bool clean = line.rfind("Private_Clean:", 0) == 0;
        const bool dirty = line.rfind("Private_Dirty:", 0) == 0;
        const long long kb = clean || dirty ? std::atoll(line.c_str() + 14) : 0;
        if (kb <= 0) continue;
        auto found = std::find_if(holders.begin(), holders.end(), [&](const Holder& h) { return h.name == current; });
        if (found == holders.end()) found = holders.insert(holders.end(), Holder{current});
        (clean ? found->cleanKb : found->dirtyKb) += kb;
    }
    std::sort(holders.begin(), holders.end(), [](const Holder& a, const Holder& b) { return a.Kb() > b.Kb(); });
    return holders;
}

std::wstring Lower(std::wstring text) {
    for (wchar_t& c : text) c = static_cast<wchar_t>(towlower(c));
    return text;
}

// Wine names a program's process by its Windows path: the Unix process whose
// command line holds the executable's full path (or its Unix path), and
// `argument` when one is given.
std::wstring UnixPidOf(const std::wstring& exePath, const std::wstring& argument = L"") {
    const std::wstring wanted = Lower(exePath);
    std::wstring found;
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return {};
    do {
        const std::wstring name = entry.cFileName;
        if (name.empty() || name.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        std::string raw = ReadWhole(L"Z:\\proc\\" + name + L"\\cmdline");
        std::replace(raw.begin(), raw.end(), '\0', ' ');
        std::wstring commandLine(raw.begin(), raw.end());
        commandLine = Lower(commandLine);
        std::replace(commandLine.begin(), commandLine.end(), L'/', L'\\');
        const std::wstring withoutDrive = wanted.size() > 2 ? wanted.substr(2) : wanted;  // "Z:" dropped
        if (!argument.empty() && commandLine.find(argument) == std::wstring::npos) continue;
        if (commandLine.find(wanted) != std::wstring::npos || commandLine.find(withoutDrive) != std::wstring::npos) {
            found = name;
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return found;
}

double NowMs() {
    LARGE_INTEGER frequency{}, now{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

bool WaitOsd(DWORD processId, bool shown, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    RECT rect{};
    while (vqdrive::FindOsdRect(processId, &rect) != shown) {
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(1);
    }
    return true;
}

struct WindowThreadSearch {
    DWORD processId;
    DWORD threadId;
};

// Window enumeration callbacks are stdcall on 32-bit Windows, which a lambda
// does not convert to: they are plain CALLBACK functions.
BOOL CALLBACK NoteWindowThread(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<WindowThreadSearch*>(param);
    DWORD owner = 0;
    const DWORD thread = GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId) return TRUE;
    search->threadId = thread;
    return FALSE;
}

// The thread that owns a process's top-level windows (its OSD among them); 0 when none.
DWORD WindowThreadOf(DWORD processId) {
    WindowThreadSearch search{processId, 0};
    EnumWindows(NoteWindowThread, reinterpret_cast<LPARAM>(&search));
    return search.threadId;
}

BOOL CALLBACK NoteShownLayeredWindow(HWND window, LPARAM param) {
    if (!IsWindowVisible(window) || (GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_LAYERED) == 0) return TRUE;
    *reinterpret_cast<bool*>(param) = true;
    return FALSE;
}

bool ThreadShowsLayeredWindow(DWORD threadId) {
    bool shown = false;
    EnumThreadWindows(threadId, NoteShownLayeredWindow, reinterpret_cast<LPARAM>(&shown));
    return shown;
}

// The moment the thread's layered window becomes visible, in ms (below 0
// after the timeout). Polled without sleeping (a sleep would round the
// figure to the timer's granularity), yielding the processor each time.
double WaitShown(DWORD threadId, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!ThreadShowsLayeredWindow(threadId)) {
        if (GetTickCount() - start >= timeoutMs) return -1;
        SwitchToThread();
    }
    return NowMs();
}

// One key press to the OSD visible, in ms; below 0 when no OSD came.
double KeyToOsd(DWORD processId, BYTE scanCode) {
    vqdrive::EnsureForegroundWindow();
    if (!WaitOsd(processId, false, 4000)) return -1;
    vqdrive::Pause(300);
    const DWORD threadId = WindowThreadOf(processId);
    if (threadId == 0) return -1;
    const double start = NowMs();
    vqdrive::PressKey(kNotebookKey, scanCode);
    const double shownAt = WaitShown(threadId, 3000);
    vqdrive::ReleaseKey(kNotebookKey, scanCode);
    return shownAt < 0 ? -1 : shownAt - start;
}

struct Latency {
    double median = -1;
    double mean = -1;
    double fastest = -1;
    double lowerQuartile = -1;
    double upperQuartile = -1;
    double slowest = -1;
    int missed = 0;
};

Latency MeasureLatency(DWORD processId, int samples) {
    std::vector<double> times;
    Latency result;
    for (int i = 0; i < samples; ++i) {
        // Up and down in turn: the brightness stays inside its range, so every press shows the bar.
        const double ms = KeyToOsd(processId, i % 2 == 0 ? kBrightnessUp : kBrightnessDown);
        if (ms < 0) ++result.missed;
        else times.push_back(ms);
    }
    if (times.empty()) return result;
    std::sort(times.begin(), times.end());
    const size_t n = times.size();
    result.median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
    result.fastest = times.front();
    result.lowerQuartile = times[n / 4];
    result.upperQuartile = times[(3 * n) / 4 < n ? (3 * n) / 4 : n - 1];
    result.slowest = times.back();
    double sum = 0;
    for (double t : times) sum += t;
    result.mean = sum / static_cast<double>(n);
    return result;
}

Memory SettledMemory(const std::wstring& pid, DWORD* settledMs);

struct Measured {
    Memory beforeKey;
    Memory atRest;
    Memory afterLatency;
    std::vector<Holder> holders;
    DWORD atRestSettledMs = 0;
    DWORD afterLatencySettledMs = 0;
    Latency latency;
    bool ok = false;
};

// Starts a program, shows one OSD, lets it finish and measures.
bool MeasureProgram(vqdrive::Program& program, const std::wstring& exePath, int samples, Measured* out) {
    vqdrive::Pause(1000);  // start-up settles (raw input registration, the firmware's announcement)
    const std::wstring pid = UnixPidOf(exePath);
    if (pid.empty()) {
        std::printf("error: no Unix process names %ls\n", exePath.c_str());
        return false;
    }
    out->beforeKey = MemoryOfUnixProcess(pid);
    if (KeyToOsd(program.ProcessId(), kBrightnessUp) < 0) {
        std::printf("error: %ls showed no OSD on the brightness key\n", exePath.c_str());
        return false;
    }
    if (!WaitOsd(program.ProcessId(), false, 4000)) return false;
    // At rest: the OSD has hidden and destroyed itself, and memory has settled.
    out->atRest = SettledMemory(pid, &out->atRestSettledMs);
    out->holders = PrivateByMapping(pid);
    out->latency = MeasureLatency(program.ProcessId(), samples);
    if (!WaitOsd(program.ProcessId(), false, 4000)) return false;
    out->afterLatency = SettledMemory(pid, &out->afterLatencySettledMs);
    out->ok = out->atRest.Valid();
    return out->ok;
}

void PrintMemory(const char* what, const Memory& memory) {
    std::printf("  %-34s resident %7.1f MB   private %6.1f MB (clean %5.1f, dirty %5.1f)\n", what,
                memory.rssKb / 1024.0, memory.privateKb / 1024.0, memory.privateCleanKb / 1024.0,
                (memory.privateKb - memory.privateCleanKb) / 1024.0);
}

// Memory once it has stopped changing: Wine hands back freed memory some time
// after a window or picture is gone. Read every 500 ms until two readings in
// a row differ by less than 64 KB (at most 20 s); `settledMs` says how long that took.
Memory SettledMemory(const std::wstring& pid, DWORD* settledMs) {
    const DWORD start = GetTickCount();
    Memory last = MemoryOfUnixProcess(pid);
    int steady = 0;
    while (steady < 2 && GetTickCount() - start < 20000) {
        vqdrive::Pause(500);
        const Memory now = MemoryOfUnixProcess(pid);
        steady = std::llabs(now.privateKb - last.privateKb) < 64 ? steady + 1 : 0;
        last = now;
    }
    *settledMs = GetTickCount() - start;
    return last;
}

// ---- the start-up steps, in a copy of this program ----

// The copy marks the end of each step and waits until the measuring copy
// has read its memory: a Windows process under Wine cannot read its own
// /proc/self (the wine server opens the file, so "self" is the server).
constexpr wchar_t kStepDoneEvent[] = L"VqRestMemoryStepDone";
constexpr wchar_t kStepReadEvent[] = L"VqRestMemoryStepRead";

class StepMeter {
public:
    StepMeter()
        : m_done(CreateEventW(nullptr, FALSE, FALSE, kStepDoneEvent)),
          m_read(CreateEventW(nullptr, FALSE, FALSE, kStepReadEvent)),
          m_start(NowMs()) {}
    ~StepMeter() {
        CloseHandle(m_done);
        CloseHandle(m_read);
    }
    void Step(const char* what) {
        std::printf("  %-34s %6.1f ms", what, NowMs() - m_start);
        std::fflush(stdout);
        SetEvent(m_done);
        WaitForSingleObject(m_read, 10000);
        m_start = NowMs();
    }

private:
    HANDLE m_done;
    HANDLE m_read;
    double m_start;
};

// The program's start-up, step by step, with the same objects it creates.
// The measuring copy reads the memory after each step once it has settled.
int RunSteps() {
    // The prefix is Windows 7: the program takes the endpoint audio there.
    proc::windowsVersion = 8;
    StepMeter meter;
    meter.Step("Wine and the bare process");
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    meter.Step("a window and its message queue");

    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    meter.Step("GDI+ started");

    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    meter.Step("COM (multithreaded)");

    auto firmware = std::make_unique<CKEST>();
    firmware->Init();
    meter.Step("firmware library (kest.dll)");

    auto audio = std::make_unique<CAudioVista>();
    audio->Initialize(window);
    meter.Step("audio (endpoint volume)");

    {
        auto level = osd::CFrameStrip::Load(osd::kLevelStripFile);
        meter.Step("level strip (page directory)");
        auto icon = osd::CFrameStrip::Load(osd::kIconStripFile);
        meter.Step("icon strip (page directory)");
        {
            // What a strip costs once every frame has been decoded (its cache keeps the latest).
            auto probe = osd::CFrameStrip::Load(osd::kIconStripFile);
            for (int frame = 0; probe && frame < probe->FrameCount(); ++frame) probe->Frame(frame);
            meter.Step("(a 3rd strip, all 47 frames decoded)");
        }
        meter.Step("(the 3rd strip released)");

        NoPartners partners;
        auto osdWindow = std::make_unique<CHKIconWindowDlg>(partners);
        osdWindow->CreateOsdWindow();
        osdWindow->Init(icon.get(), level.get());
        meter.Step("the OSD window created");
        osdWindow->SetLevel(4);
        if (osdWindow->InitHotKeyIcon(111)) osdWindow->ShowNoActivate();
        Pump();
        meter.Step("a brightness picture shown");
        vqdrive::Pause(1600);
        meter.Step("1.6 s later");
        SendMessageW(osdWindow->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
        Pump();
        osdWindow.reset();
        meter.Step("the OSD finished");
        // The program then makes the next cycle's window, hidden, and rests.
        auto nextWindow = std::make_unique<CHKIconWindowDlg>(partners);
        nextWindow->CreateOsdWindow();
        Pump();
        meter.Step("the next OSD window made (at rest)");
        nextWindow.reset();
        // Every other picture of the icon strip once, as a day of keys would.
        for (int code : {20, 21, 50, 51, 60, 61, 80, 81, 100, 101, 121, 128, 130, 132, 218}) {
            auto other = std::make_unique<CHKIconWindowDlg>(partners);
            other->CreateOsdWindow();
            other->Init(icon.get(), level.get());
            other->SetLevel(50);
            if (other->InitHotKeyIcon(code)) other->ShowNoActivate();
            Pump();
            SendMessageW(other->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
            Pump();
        }
        meter.Step("15 more pictures shown, finished");
        // Where a key's OSD time goes: making the window, drawing and showing the picture.
        double creating = 0, drawing = 0;
        constexpr int kRounds = 10;
        for (int round = 0; round < kRounds; ++round) {
            const double begin = NowMs();
            auto timed = std::make_unique<CHKIconWindowDlg>(partners);
            timed->CreateOsdWindow();
            timed->Init(icon.get(), level.get());
            const double created = NowMs();
            timed->SetLevel(round % 8);
            if (timed->InitHotKeyIcon(111)) timed->ShowNoActivate();
            Pump();
            drawing += NowMs() - created;
            creating += created - begin;
            SendMessageW(timed->Handle(), WM_TIMER, TE_OSD_HIDE, 0);
            Pump();
        }
        std::printf("  (per picture: window made in %.1f ms, picture drawn and shown in %.1f ms)\n",
                    creating / kRounds, drawing / kRounds);
    }
    meter.Step("the strips released");
    audio.reset();
    firmware.reset();
    CoUninitialize();
    Gdiplus::GdiplusShutdown(token);
    DestroyWindow(window);
    return 0;
}

// The steps' memory increases in the order RunSteps takes them.
constexpr size_t kAudioStep = 5;

// What the copy's steps added, and the mappings (DLL images, Unix libraries)
// that the audio step brought in.
struct StepFigures {
    std::vector<long long> increasesKb;
    std::vector<long long> dirtyIncreasesKb;
    std::vector<std::string> audioMappings;
};

bool RunStepsCopy(StepFigures* figures) {
    HANDLE done = CreateEventW(nullptr, FALSE, FALSE, kStepDoneEvent);
    HANDLE read = CreateEventW(nullptr, FALSE, FALSE, kStepReadEvent);
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring commandLine = L"\"" + std::wstring(self) + L"\" steps";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    bool ok = CreateProcessW(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    if (ok) {
        std::wstring pid;
        Memory last;
        std::vector<Holder> lastHolders;
        HANDLE waits[] = {done, info.hProcess};
        while (WaitForMultipleObjects(2, waits, FALSE, 30000) == WAIT_OBJECT_0) {
            if (pid.empty()) pid = UnixPidOf(self, L" steps");
            // Settled, so that what a step sets going (Wine's audio threads) counts for that step.
            DWORD settledMs = 0;
            const Memory now = SettledMemory(pid, &settledMs);
            const std::vector<Holder> holders = PrivateByMapping(pid);
            const bool first = !last.Valid();
            figures->increasesKb.push_back(first ? 0 : now.privateKb - last.privateKb);
            figures->dirtyIncreasesKb.push_back(
                first ? 0 : (now.privateKb - now.privateCleanKb) - (last.privateKb - last.privateCleanKb));
            if (figures->increasesKb.size() == kAudioStep + 1) {
                for (const Holder& holder : holders) {
                    const bool before = std::any_of(lastHolders.begin(), lastHolders.end(),
                                                    [&](const Holder& h) { return h.name == holder.name; });
                    if (!before && holder.name != "[anonymous]") figures->audioMappings.push_back(holder.name);
                }
            }
            if (first) std::printf("   private %6.1f MB\n", now.privateKb / 1024.0);
            else std::printf("  %+7.0f KB  (private %6.1f MB)\n", static_cast<double>(now.privateKb - last.privateKb),
                             now.privateKb / 1024.0);
            std::fflush(stdout);
            last = now;
            lastHolders = holders;
            SetEvent(read);
        }
        WaitForSingleObject(info.hProcess, 10000);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
    CloseHandle(done);
    CloseHandle(read);
    return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc == 2 && std::wcscmp(argv[1], L"steps") == 0) return RunSteps();
    const int samples = argc > 1 ? std::max(2, _wtoi(argv[1])) : 16;

    Measured product, floor;
    {
        vqdrive::firmware::Reset();
        vqdrive::SetWindowsVersion(L"win7");
        vqdrive::Program program;
        vqdrive::StartOptions options;
        const bool started = program.Start(options) && program.MainWindow();
        const std::wstring exe = vqdrive::ProgramFolder() + options.exeName;
        if (!started || !MeasureProgram(program, exe, samples, &product)) {
            std::printf("error: vqhkcore.exe could not be measured\n");
            return 2;
        }
        program.Stop();
        vqdrive::SetWindowsVersion(L"");
        vqdrive::firmware::Reset();
    }
    {
        vqdrive::Program program;
        vqdrive::StartOptions options;
        options.exeName = L"floor_osd.exe";
        options.programFolder = vqdrive::OwnFolder();
        options.waitForWindowMs = 0;
        const std::wstring exe = options.programFolder + options.exeName;
        if (!program.Start(options)) {
            std::printf("error: %ls did not start\n", exe.c_str());
            return 2;
        }
        const bool measured = MeasureProgram(program, exe, samples, &floor);
        if (HWND main = FindWindowW(L"VqFloorMain", nullptr)) PostMessageW(main, WM_CLOSE, 0, 0);
        program.WaitForExit(3000);
        if (!measured) return 2;
    }

    std::printf("Memory after start, before the first key:\n");
    PrintMemory("vqhkcore.exe", product.beforeKey);
    PrintMemory("floor", floor.beforeKey);
    std::printf("Memory at rest (after start and one OSD, which has hidden itself; settled after %.1f s and %.1f s):\n",
                product.atRestSettledMs / 1000.0, floor.atRestSettledMs / 1000.0);
    PrintMemory("vqhkcore.exe", product.atRest);
    PrintMemory("floor (one layered window on a key)", floor.atRest);
    const double extraKb = static_cast<double>(product.atRest.privateKb - floor.atRest.privateKb);
    std::printf("  program's private memory over the floor: %+.1f MB (budget +4.0 MB)\n", extraKb / 1024.0);
    std::printf("Private memory at rest by what holds it (128 KB or more; vqhkcore.exe (clean part) / floor):\n");
    for (const Holder& holder : product.holders) {
        if (holder.Kb() < 128) break;
        long long floorKb = 0;
        for (const Holder& other : floor.holders) {
            if (other.name == holder.name) floorKb = other.Kb();
        }
        std::printf("  %-40s %6lld KB (%5lld) / %6lld KB\n", holder.name.c_str(), holder.Kb(), holder.cleanKb, floorKb);
    }
    std::printf("At rest after %d more keys (settled after %.1f s and %.1f s):\n", samples,
                product.afterLatencySettledMs / 1000.0, floor.afterLatencySettledMs / 1000.0);
    PrintMemory("vqhkcore.exe", product.afterLatency);
    PrintMemory("floor", floor.afterLatency);

    std::printf("Private memory by start-up step (a copy of this benchmark runs the program's steps):\n");
    std::fflush(stdout);
    StepFigures steps;
    if (!RunStepsCopy(&steps)) std::printf("  error: the copy did not start\n");
    // What Wine loads for the audio the program must use is not the program's own: the
    // dirty pages its set-up adds, and the clean pages of the libraries it brings in as
    // the program holds them at rest (private or not depending on who else maps them).
    const long long audioDirtyKb = steps.dirtyIncreasesKb.size() > kAudioStep ? steps.dirtyIncreasesKb[kAudioStep] : 0;
    long long audioCleanKb = 0;
    std::string audioNames;
    for (const Holder& holder : product.holders) {
        if (std::find(steps.audioMappings.begin(), steps.audioMappings.end(), holder.name) == steps.audioMappings.end()) {
            continue;
        }
        audioCleanKb += holder.cleanKb;
        audioNames += (audioNames.empty() ? "" : ", ") + holder.name;
    }
    const double audioKb = static_cast<double>(audioDirtyKb + audioCleanKb);
    std::printf("Wine's audio: %.1f MB set up (dirty), %.1f MB clean library pages at rest in %s\n",
                audioDirtyKb / 1024.0, audioCleanKb / 1024.0, audioNames.empty() ? "-" : audioNames.c_str());

    std::printf("Key -> OSD shown, %d presses each (median / mean; fastest, quartiles, slowest):\n", samples);
    for (const auto& [name, latency] : {std::pair{"vqhkcore.exe", &product.latency}, std::pair{"floor       ", &floor.latency}}) {
        std::printf("  %s %.2f / %.2f ms; %.2f, %.2f - %.2f, %.2f ms; %d without an OSD\n", name, latency->median,
                    latency->mean, latency->fastest, latency->lowerQuartile, latency->upperQuartile, latency->slowest,
                    latency->missed);
    }
    const double ownKb = extraKb - audioKb;
    std::printf("Program's own private memory at rest: %+.1f MB over the floor, less %.1f MB of Wine's audio = %+.1f MB "
                "(budget +4.0 MB)\n",
                extraKb / 1024.0, audioKb / 1024.0, ownKb / 1024.0);
    const bool memoryOk = ownKb <= kPrivateBudgetKb;
    const bool latencyOk = product.latency.median > 0 && floor.latency.median > 0 &&
                           product.latency.median <= floor.latency.median * kLatencyBudget &&
                           product.latency.missed == 0;
    std::printf("private memory: %s; latency: %s (program %.0f %% of the floor's)\n",
                memoryOk ? "within floor + 4 MB" : "OVER floor + 4 MB", latencyOk ? "within 5 %" : "NOT within 5 %",
                100.0 * product.latency.median / floor.latency.median);
    return memoryOk && latencyOk ? 0 : 1;
}
