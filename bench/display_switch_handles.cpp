// Kernel handles of the program over display switches, against a bare
// display-settings change in the same run.
//   ./dev wine ../bench/display_switch_handles.exe [switches, default 24]
//
// Wine opens registry keys of the display devices' interfaces (under
// DeviceClasses) on every display-settings change and keeps them, so any
// program that changes the display grows in handles. This measures, on the
// simulated Intel notebook (N10A, Vista, a CRT right of the panel):
// 1. this process itself: ChangeDisplaySettingsExW on the CRT, ten times,
//    alternating two sizes; handles per call;
// 2. vqhkcore.exe: switches asked by the menu program (0x8B1 code 53),
//    alternating the panel alone and the extended desktop, after two
//    switches to warm up; handles per switch, and the switches' share that
//    the bare figure explains (display-settings calls per switch).
// Prints the figures; exit code 0, or 2 when a run failed.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "simadapter.h"
#include "simdesktop.h"
#include "simfirmware.h"
#include "simintel.h"
#include "vqdrive.h"

namespace {

namespace desktop = vqdrive::desktop;

// The system's handle table (its information class 16), declared here: Wine
// answers GetProcessHandleCount with 0, but lists every process's handles.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    void* object;
    ULONG access;
};
struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
};
using QuerySystemInformationFn = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);

DWORD HandlesOf(DWORD processId) {
    static const auto query = reinterpret_cast<QuerySystemInformationFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return 0;
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    LONG status = 0;
    while ((status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<LONG>(0xC0000004)) {  // too small
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
    }
    if (status < 0) return 0;
    const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    DWORD count = 0;
    for (ULONG i = 0; i < table->count; ++i) count += table->entries[i].ownerPid == processId;
    return count;
}

// The CRT's name as the desktop sees it now: the second attached display.
bool CrtDevice(wchar_t* name, size_t size) {
    DISPLAY_DEVICEW device{};
    device.cb = sizeof device;
    int attached = 0;
    for (DWORD i = 0; EnumDisplayDevicesW(nullptr, i, &device, 0); ++i) {
        if (!(device.StateFlags & DISPLAY_DEVICE_ATTACHED_TO_DESKTOP)) continue;
        if (attached++ == 1) {
            wcsncpy(name, device.DeviceName, size - 1);
            return true;
        }
    }
    return false;
}

double BareHandlesPerCall() {
    wchar_t crt[32] = {};
    if (!CrtDevice(crt, 32)) return -1;
    const DWORD before = HandlesOf(GetCurrentProcessId());
    const int calls = 10;
    for (int i = 0; i < calls; ++i) {
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        EnumDisplaySettingsW(crt, ENUM_CURRENT_SETTINGS, &mode);
        mode.dmPelsWidth = i % 2 ? 1280 : 1024;
        mode.dmPelsHeight = i % 2 ? 1024 : 768;
        mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_POSITION;
        const LONG result = ChangeDisplaySettingsExW(crt, &mode, nullptr, CDS_UPDATEREGISTRY, nullptr);
        if (result != DISP_CHANGE_SUCCESSFUL) std::printf("bare call %d: %ld\n", i, result);
    }
    const DWORD after = HandlesOf(GetCurrentProcessId());
    std::printf("bare program: %lu -> %lu handles over %d ChangeDisplaySettingsExW calls: %.1f per call\n", before,
                after, calls, static_cast<double>(after - before) / calls);
    return static_cast<double>(after - before) / calls;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const int switches = argc > 1 ? _wtoi(argv[1]) : 24;
    vqdrive::firmware::Reset();
    vqdrive::firmware::SetModelRecord(L"N10A");
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Profile");
    vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
    vqdrive::intel::Reset();
    int status = 0;
    if (!desktop::Reset() || !vqdrive::intel::Register() ||
        !desktop::Connect(desktop::kExternal, 1280, 1024, desktop::kPanelWidth, 0) ||
        !desktop::WaitForAttached(2, 5000)) {
        std::printf("the simulated notebook could not be set up\n");
        status = 2;
    }
    vqdrive::intel::SetConnected(L"Crt", true);
    vqdrive::intel::SetShown(0x01, 0x02);

    const double perCall = status == 0 ? BareHandlesPerCall() : -1;
    desktop::Connect(desktop::kExternal, 1280, 1024, desktop::kPanelWidth, 0);

    vqdrive::SetWindowsVersion(L"vista");
    vqdrive::Program program;
    vqdrive::StartOptions options;
    options.injectLibrary = vqdrive::adapter::LibraryPath();
    if (status == 0 && program.Start(options) && program.MainWindow()) {
        const DWORD process = program.ProcessId();
        HWND window = program.MainWindow();
        auto ask = [&](LPARAM code) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(window, 0x8B1, 53, code, SMTO_NORMAL, 30000, &result);
            vqdrive::Pause(300);
        };
        vqdrive::Pause(1000);
        ask(0x01);
        ask(0x103);
        const DWORD before = HandlesOf(process);
        for (int i = 0; i < switches; ++i) ask(i % 2 ? 0x103 : 0x01);
        const DWORD after = HandlesOf(process);
        const double perSwitch = static_cast<double>(after - before) / switches;
        std::printf("vqhkcore.exe: %lu -> %lu handles over %d switches: %.1f per switch", before, after, switches,
                    perSwitch);
        if (perCall > 0) std::printf(" = %.1f display-settings changes' worth", perSwitch / perCall);
        std::printf("\n");
        program.Stop();
    } else if (status == 0) {
        std::printf("vqhkcore.exe did not start\n");
        status = 2;
    }
    vqdrive::SetWindowsVersion(L"");
    desktop::Reset();
    vqdrive::intel::Reset();
    vqdrive::intel::Unregister();
    vqdrive::adapter::Reset();
    vqdrive::firmware::Reset();
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Profile");
    return status;
}
