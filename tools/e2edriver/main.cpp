// vqdrive.exe: drives the program on the simulated notebook from the command
// line. Each argument is one step, run in order:
//   version=win7|vista|winxp|win2k   Windows version the program will see
//   start                            start vqhkcore.exe and wait for its window
//   second                           start another copy and report how it ended
//   trace=PATH                       append the debugger output of the copies started
//                                    from here on to PATH, as it is heard
//   key=SCAN[,VK]                    press and release a key (VK defaults to 0xFF)
//   sibling=CODE[,ARG]               send message 0x8B1
//   usb=USAGE,PAGE                   the USB keyboard posts a usage
//   power=suspend|resume             power notification
//   session=lock|unlock|logon|logoff session notification
//   wait=MS                          pause
//   boxes                            print and close the program's message boxes
//   quit                             end the program through its window
//   screenshot=FILE.png              screenshot of the whole virtual display
//   osdshot=FILE.png                 screenshot of the started program's OSD window, if shown
//   miniui-click=N                   click the view-mode button of the mini UI panel N (0 the leftmost)
//   log                              print the log file
//   firmware                         print the simulated firmware's state and histories
//   firmware-reset                   back to the stock simulated notebook
//   fwset=NAME,VALUE                 set a value of the simulated firmware (e.g. Brightness,3)
//   fwmodel=ID                       the model identifier in the firmware's data block
//   extkey=on|off                    external key mode (0x46E / 0x46F): sibling keys accepted
//   graphics                         print the simulated Intel graphics state and journal
//   graphics-reset                   back to the stock simulated graphics (the panel alone)
//   graphics-register|graphics-unregister  register or remove the simulated Intel component
//   gfxset=NAME,VALUE                set a value of the simulated graphics (e.g. CrtConnected,1)
//   desktop                          print the attached displays as this process sees them
//   picture=FILE                     draw the desktop into a PNG file: each picture at its place, its outputs named
//   monitors                         print the monitor devices' identities (DISPLAY\NAME)
//   desktop-reset                    back to the panel alone at 1366x768
//   connect=OUTPUT,WxH[,X,Y]         plug a monitor of that native size into an X output (DUMMY1 the CRT
//                                    connector, DUMMY2 HDMI) and show it (default right of the panel)
//   unplug=OUTPUT                    unplug the monitor of an X output
//   addmode=OUTPUT,WxH               offer another size on an X output
//   adapter=intel|wine               the graphics adapter injected programs see (wine: Wine's own)
//   inject                           the next start (and probe) loads the adapter library before its entry point
//   inject-audiofx                   the next start loads the sound-effect audio driver library instead
//   inject-usb                       the next start also loads the USB bus library (after the one above)
//   usbdevices=ID,ID...|none         the USB devices the USB bus library lists (none: no device)
//   probe                            run adapterprobe.exe and print what it saw of the graphics adapter
//   gfxshown=D1,D2                   the device bits the two displays show in the simulated graphics
//   menu                             open the sibling menu program's window (class MORROW_MENU)
//   menu-received                    print the 0x8B1 messages the menu window received so far
//   profiles                         print the display profiles the program keeps
#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <mutex>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "debugoutput.h"
#include "simadapter.h"
#include "simaudiofx.h"
#include "simdesktop.h"
#include "simfirmware.h"
#include "simintel.h"
#include "simmenu.h"
#include "simusbbus.h"
#include "vqdrive.h"

namespace {
std::wstring After(const std::wstring& step, const wchar_t* name) {
    const size_t n = wcslen(name);
    return step.compare(0, n, name) == 0 ? step.substr(n) : std::wstring();
}

long Number(const std::wstring& text, size_t* end = nullptr) {
    wchar_t* stop = nullptr;
    const long value = wcstol(text.c_str(), &stop, 0);
    if (end) *end = static_cast<size_t>(stop - text.c_str());
    return value;
}

void PrintFirmware() {
    namespace value = vqsim::value;
    std::printf("firmware: library %ls\n", vqdrive::firmware::Text(value::kLibrary).c_str());
    std::printf("firmware: handshakes %ls\n", vqdrive::firmware::Text(value::kHandshakes).c_str());
    std::printf("firmware: calls %ls\n", vqdrive::firmware::Text(value::kCalls).c_str());
    for (const wchar_t* name : {value::kBrightness, value::kWireless, value::kWireless2, value::kBacklight,
                                value::kEtiquette, value::kRadio1, value::kRadio2, value::kRadio3}) {
        const DWORD data = vqdrive::firmware::Value(name, vqsim::kNoRecord);
        if (data == vqsim::kNoRecord) std::printf("firmware: %ls (stock)\n", name);
        else std::printf("firmware: %ls %lu\n", name, data);
    }
}

// The trace file: what the listener hears from the copies this run started,
// written as it arrives (lines heard before a copy is followed included).
class TraceFile {
public:
    bool Open(const std::wstring& path) {
        if (!m_listener.Listening() && !m_listener.Start([this](DWORD processId, const std::string&) { Flush(processId); })) {
            std::printf("error: cannot hear the debugger output: %ls\n", m_listener.Error().c_str());
            return false;
        }
        std::lock_guard<std::mutex> lock(m_mutex);
        m_path = path;
        return true;
    }
    void Follow(DWORD processId) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_written.emplace(processId, 0);
        }
        Flush(processId);
    }

private:
    // Writes the lines of a followed copy that are not in the file yet.
    void Flush(DWORD processId) {
        std::lock_guard<std::mutex> lock(m_mutex);
        const auto followed = m_written.find(processId);
        if (m_path.empty() || followed == m_written.end() || !m_listener.Listening()) return;
        const std::vector<std::string> lines = m_listener.Lines(processId);
        if (lines.size() <= followed->second) return;
        if (FILE* file = _wfopen(m_path.c_str(), L"ab")) {
            for (size_t i = followed->second; i < lines.size(); ++i) std::fprintf(file, "%s\n", lines[i].c_str());
            std::fclose(file);
            followed->second = lines.size();
        }
    }

    std::mutex m_mutex;
    std::wstring m_path;
    std::map<DWORD, size_t> m_written;        // followed copies: lines written so far
    vqdrive::DebugOutputListener m_listener;  // last member: its thread ends first
};

void PrintGraphics() {
    namespace value = vqsim::graphics::value;
    std::printf("graphics: library %ls\n", vqdrive::intel::Text(value::kLibrary).c_str());
    std::printf("graphics: desktop %ls\n", vqdrive::intel::Text(value::kDesktop).c_str());
    std::printf("graphics: shown 0x%02lx 0x%02lx\n", vqdrive::intel::Value(value::kDisplay1, vqsim::graphics::stock::kDisplay1),
                vqdrive::intel::Value(value::kDisplay2));
    for (const std::string& line : vqdrive::intel::Journal()) std::printf("graphics: %s\n", line.c_str());
}

void PrintLog() {
    for (const std::string& line : vqdrive::ReadLines(vqdrive::LogFilePath())) std::printf("log: %s\n", line.c_str());
}
}  // namespace

// The program's display profiles: every "Profile\disp_pro_NNN" section with its values.
void PrintProfiles() {
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Profile", 0, KEY_READ, &root) != ERROR_SUCCESS) {
        std::printf("profiles: none\n");
        return;
    }
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD nameChars = 64;
        if (RegEnumKeyExW(root, i, name, &nameChars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        HKEY slot = nullptr;
        if (RegOpenKeyExW(root, name, 0, KEY_READ, &slot) != ERROR_SUCCESS) continue;
        std::printf("profile %ls:", name);
        wchar_t valueName[64];
        BYTE data[512];
        for (DWORD v = 0;; ++v) {
            DWORD valueChars = 64, size = sizeof data - 2, type = 0;
            if (RegEnumValueW(slot, v, valueName, &valueChars, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
            if (type == REG_DWORD) std::printf(" %ls=%lu", valueName, *reinterpret_cast<DWORD*>(data));
            else if (type == REG_SZ) std::printf(" %ls=%ls", valueName, reinterpret_cast<wchar_t*>(data));
        }
        std::printf("\n");
        RegCloseKey(slot);
    }
    RegCloseKey(root);
}

int wmain(int argc, wchar_t** argv) {
    TraceFile trace;  // outlives the programs, so it hears them to the end
    vqdrive::Program program;
    vqdrive::StartOptions options;
    HWND window = vqdrive::FindMainWindow();
    std::unique_ptr<vqdrive::SiblingWindow> menu;
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        const std::wstring step = argv[i];
        std::wstring value;
        std::printf("step: %ls\n", step.c_str());
        if (!(value = After(step, L"version=")).empty()) {
            vqdrive::SetWindowsVersion(value);
        } else if (!(value = After(step, L"trace=")).empty()) {
            if (!trace.Open(value)) ++failures;
        } else if (step == L"start") {
            const bool started = program.Start(options);
            trace.Follow(program.ProcessId());
            if (!started || !(window = program.MainWindow())) {
                std::printf("error: the program did not start\n");
                ++failures;
            }
        } else if (step == L"second") {
            vqdrive::Program other;
            vqdrive::StartOptions quick = options;
            quick.waitForWindowMs = 0;
            const bool started = other.Start(quick);
            trace.Follow(other.ProcessId());
            if (!started) {
                std::printf("error: the second copy did not start\n");
                ++failures;
            } else {
                const DWORD code = other.WaitForExit(10000);
                if (code == STILL_ACTIVE) std::printf("second copy: still running\n");
                else std::printf("second copy: ended with %lu\n", code);
            }
        } else if (!(value = After(step, L"key=")).empty()) {
            size_t end = 0;
            const long scan = Number(value, &end);
            const long vk = end < value.size() ? Number(value.substr(end + 1)) : 0xFF;
            vqdrive::TapKey(static_cast<BYTE>(vk), static_cast<BYTE>(scan));
            vqdrive::Pause(150);
        } else if (!(value = After(step, L"sibling=")).empty()) {
            size_t end = 0;
            const long code = Number(value, &end);
            const long arg = end < value.size() ? Number(value.substr(end + 1)) : 0;
            std::printf("result: %ld\n", static_cast<long>(vqdrive::SendSibling(window, code, arg)));
        } else if (!(value = After(step, L"usb=")).empty()) {
            size_t end = 0;
            const long usage = Number(value, &end);
            const long page = end < value.size() ? Number(value.substr(end + 1)) : 0;
            if (!vqdrive::SendUsbUsage(usage, page)) std::printf("warning: no USB keyboard device\n");
            vqdrive::Pause(150);
        } else if (!(value = After(step, L"power=")).empty()) {
            vqdrive::SendPower(window, value == L"suspend" ? PBT_APMSUSPEND : PBT_APMRESUMEAUTOMATIC);
        } else if (!(value = After(step, L"session=")).empty()) {
            WPARAM event = value == L"lock" ? 7 : value == L"unlock" ? 8 : value == L"logon" ? 5 : 6;
            vqdrive::SendSession(window, event);
        } else if (!(value = After(step, L"wait=")).empty()) {
            vqdrive::Pause(static_cast<DWORD>(Number(value)));
        } else if (step == L"boxes") {
            for (const auto& box : vqdrive::FindMessageBoxes(program.ProcessId())) {
                std::printf("message box: %ls\n", box.text.c_str());
                vqdrive::CloseMessageBox(box.window);
            }
        } else if (!(value = After(step, L"screenshot=")).empty()) {
            if (!vqdrive::CaptureScreen(value)) {
                std::printf("error: no screenshot\n");
                ++failures;
            }
        } else if (!(value = After(step, L"miniui-click=")).empty()) {
            // The view-mode button of the mini UI's panel N (0 the leftmost), clicked with the mouse.
            const std::vector<HWND> panels = vqdrive::FindMiniUiPanels(program.ProcessId());
            const size_t index = static_cast<size_t>(_wtoi(value.c_str()));
            if (index >= panels.size() || !vqdrive::ClickViewModeButton(panels[index])) {
                std::printf("miniui-click: no panel %zu\n", index);
            }
        } else if (!(value = After(step, L"osdshot=")).empty()) {
            RECT osd{};
            if (!vqdrive::FindOsdRect(program.ProcessId(), &osd)) {
                std::printf("osdshot: no OSD window shown\n");
            } else if (!vqdrive::CaptureScreen(value, &osd)) {
                std::printf("error: no screenshot\n");
                ++failures;
            }
        } else if (step == L"quit") {
            program.Stop();
            window = nullptr;
        } else if (step == L"log") {
            PrintLog();
        } else if (step == L"firmware") {
            PrintFirmware();
        } else if (step == L"firmware-reset") {
            vqdrive::firmware::Reset();
        } else if (!(value = After(step, L"fwset=")).empty()) {
            const size_t comma = value.find(L',');
            if (comma == std::wstring::npos) {
                std::printf("error: fwset needs NAME,VALUE\n");
                ++failures;
            } else {
                vqdrive::firmware::SetValue(value.substr(0, comma).c_str(),
                                            static_cast<DWORD>(Number(value.substr(comma + 1))));
            }
        } else if (!(value = After(step, L"fwmodel=")).empty()) {
            vqdrive::firmware::SetModelRecord(value);
        } else if (step == L"graphics") {
            PrintGraphics();
        } else if (step == L"graphics-reset") {
            vqdrive::intel::Reset();
        } else if (step == L"graphics-register" || step == L"graphics-unregister") {
            if (!(step == L"graphics-register" ? vqdrive::intel::Register() : vqdrive::intel::Unregister())) {
                std::printf("error: %ls failed\n", step.c_str());
                ++failures;
            }
        } else if (!(value = After(step, L"gfxset=")).empty()) {
            const size_t comma = value.find(L',');
            if (comma == std::wstring::npos) {
                std::printf("error: gfxset needs NAME,VALUE\n");
                ++failures;
            } else {
                vqdrive::intel::SetValue(value.substr(0, comma).c_str(),
                                         static_cast<DWORD>(Number(value.substr(comma + 1))));
            }
        } else if (!(value = After(step, L"extkey=")).empty()) {
            DWORD_PTR ignored = 0;
            SendMessageTimeoutW(window, value == L"on" ? 0x46E : 0x46F, 0, 0, SMTO_NORMAL, 5000, &ignored);
        } else if (step == L"desktop") {
            std::printf("desktop: %s\n", vqdrive::desktop::Describe(vqdrive::desktop::Displays()).c_str());
        } else if (!(value = After(step, L"picture=")).empty()) {
            if (!vqdrive::desktop::DrawPicture(value)) {
                std::printf("error: no picture of the desktop\n");
                ++failures;
            }
        } else if (step == L"monitors") {
            std::printf("monitors:");
            for (const std::wstring& id : vqdrive::desktop::MonitorIdentities()) std::printf(" %ls", id.c_str());
            std::printf("\n");
        } else if (step == L"desktop-reset") {
            if (!vqdrive::desktop::Reset()) {
                std::printf("error: the desktop did not go back to the panel alone\n");
                ++failures;
            }
        } else if (!(value = After(step, L"connect=")).empty()) {
            int width = 0, height = 0, x = vqdrive::desktop::kPanelWidth, y = 0;
            wchar_t output[32] = {};
            if (swscanf(value.c_str(), L"%31l[^,],%dx%d,%d,%d", output, &width, &height, &x, &y) < 3 ||
                !vqdrive::desktop::Connect(output, width, height, x, y)) {
                std::printf("error: could not connect %ls\n", value.c_str());
                ++failures;
            }
        } else if (!(value = After(step, L"addmode=")).empty()) {
            int width = 0, height = 0;
            wchar_t output[32] = {};
            if (swscanf(value.c_str(), L"%31l[^,],%dx%d", output, &width, &height) < 3 ||
                !vqdrive::desktop::AddMode(output, width, height)) {
                std::printf("error: could not add the mode %ls\n", value.c_str());
                ++failures;
            }
        } else if (!(value = After(step, L"unplug=")).empty()) {
            if (!vqdrive::desktop::Disconnect(value)) {
                std::printf("error: could not unplug %ls\n", value.c_str());
                ++failures;
            }
        } else if (!(value = After(step, L"adapter=")).empty()) {
            if (value == L"intel") vqdrive::adapter::Set(vqdrive::adapter::kIntelDeviceId, vqdrive::adapter::kIntelDescription);
            else vqdrive::adapter::Reset();
        } else if (!(value = After(step, L"usbdevices=")).empty()) {
            std::vector<std::wstring> ids;
            for (size_t from = 0; value != L"none" && from <= value.size();) {
                const size_t comma = std::min(value.find(L',', from), value.size());
                if (comma > from) ids.push_back(value.substr(from, comma - from));
                from = comma + 1;
            }
            vqdrive::usbbus::SetDevices(ids);
        } else if (!(value = After(step, L"gfxshown=")).empty()) {
            size_t end = 0;
            const long first = Number(value, &end);
            const long second = end < value.size() ? Number(value.substr(end + 1)) : 0;
            vqdrive::intel::SetShown(static_cast<DWORD>(first), static_cast<DWORD>(second));
        } else if (step == L"menu") {
            menu = std::make_unique<vqdrive::SiblingWindow>(vqdrive::SiblingWindow::kMenuClass, nullptr);
        } else if (step == L"menu-received") {
            if (!menu) {
                std::printf("error: no menu window (step menu)\n");
                ++failures;
            } else {
                for (const auto& [code, argument] : menu->Received()) {
                    std::printf("menu: 0x8B1 %u 0x%03lx\n", static_cast<unsigned>(code), static_cast<long>(argument));
                }
            }
        } else if (step == L"profiles") {
            PrintProfiles();
        } else if (step == L"inject") {
            options.injectLibrary = vqdrive::adapter::LibraryPath();
        } else if (step == L"inject-audiofx") {
            options.injectLibrary = vqdrive::audiofx::LibraryPath();
        } else if (step == L"inject-usb") {
            options.moreInjectLibraries.push_back(vqdrive::usbbus::LibraryPath());
        } else if (step == L"probe") {
            wchar_t folder[MAX_PATH] = {};
            GetTempPathW(MAX_PATH, folder);
            const std::wstring output = std::wstring(folder) + L"vqdrive_probe.txt";
            vqdrive::DeleteFileIfPresent(output);
            vqdrive::Program probe;
            vqdrive::StartOptions probeOptions = options;
            probeOptions.exeName = L"adapterprobe.exe";
            probeOptions.arguments = L"\"" + output + L"\"";
            probeOptions.waitForWindowMs = 0;
            if (!probe.Start(probeOptions) || probe.WaitForExit(10000) != 0) {
                std::printf("error: the probe did not run\n");
                ++failures;
            }
            for (const std::string& line : vqdrive::ReadLines(output)) std::printf("probe %s\n", line.c_str());
        } else {
            std::printf("error: unknown step\n");
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
