// The package's whole life on a fresh Windows: a silent install, the program
// started at logon from the machine's Run entry answering a function key
// with its OSD, a newer release installed over it, an uninstall while it
// runs, and a reinstall. The user's settings and profiles live through all
// of it. The notebook maker's own libraries (firmware, keyboard) come from
// the maker's packages, not ours: the test puts the simulated notebook's
// into the system folder the way such a package would.
#include <windows.h>
#include <msi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "osd/hotkeypicture.h"
#include "osd/imagestrip.h"
#include "packagefiles.h"
#include "screenpixels.h"
#include "simfirmware.h"
#include "vqdrive.h"

namespace {

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr wchar_t kProductName[] = L"Valmora hotkey core";
constexpr wchar_t kSettingsKey[] = L"Software\\Korvane\\vqhkcore\\Settings";
constexpr wchar_t kProfileKey[] = L"Software\\Korvane\\vqhkcore\\Profile\\disp_pro_001";
constexpr BYTE kBrightnessUpScan = 8;
constexpr DWORD kInstallerMs = 180000;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// Runs a command line to its end; its exit code, or STILL_ACTIVE on time-out.
DWORD Run(std::wstring commandLine, DWORD timeoutMs = kInstallerMs) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return GetLastError() | 0x80000000u;
    }
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

DWORD Msiexec(const std::wstring& arguments) { return Run(L"msiexec.exe " + arguments + L" /qn"); }

std::wstring InstallFolder() {
    wchar_t programFiles[MAX_PATH] = {};
    SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, 0, programFiles);
    return std::wstring(programFiles) + L"\\Korvane\\vqhkcore\\";
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The machine's Run values that start the program.
std::vector<std::wstring> RunCommands() {
    std::vector<std::wstring> commands;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return commands;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256] = {};
        DWORD nameSize = 256;
        wchar_t data[1024] = {};
        DWORD dataSize = sizeof data - sizeof(wchar_t);
        DWORD type = 0;
        if (RegEnumValueW(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &dataSize) !=
            ERROR_SUCCESS) {
            break;
        }
        if (type == REG_SZ && std::wstring(data).find(L"vqhkcore.exe") != std::wstring::npos) commands.push_back(data);
    }
    RegCloseKey(key);
    return commands;
}

// Entries of Programs and Features that name the product, with their versions.
std::vector<std::wstring> ProgramsAndFeatures() {
    std::vector<std::wstring> versions;
    HKEY root = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, &root) != ERROR_SUCCESS) return versions;
    for (DWORD i = 0;; ++i) {
        wchar_t sub[256] = {};
        DWORD subSize = 256;
        if (RegEnumKeyExW(root, i, sub, &subSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        wchar_t name[256] = {};
        DWORD size = sizeof name;
        if (RegGetValueW(root, sub, L"DisplayName", RRF_RT_REG_SZ, nullptr, name, &size) != ERROR_SUCCESS) continue;
        if (std::wstring(name) != kProductName) continue;
        wchar_t version[64] = {};
        size = sizeof version;
        RegGetValueW(root, sub, L"DisplayVersion", RRF_RT_REG_SZ, nullptr, version, &size);
        wchar_t publisher[64] = {};
        size = sizeof publisher;
        RegGetValueW(root, sub, L"Publisher", RRF_RT_REG_SZ, nullptr, publisher, &size);
        versions.push_back(std::wstring(version) + L" " + publisher);
    }
    RegCloseKey(root);
    return versions;
}

void WriteUserValue(const wchar_t* keyPath, const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

DWORD UserValue(const wchar_t* keyPath, const wchar_t* name) {
    DWORD value = 0xFFFFFFFF;
    DWORD size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, keyPath, name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return value;
}

// The program as logon starts it: the Run entry's command line, from another folder.
class LogonStartedProgram {
public:
    explicit LogonStartedProgram(std::wstring commandLine) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        wchar_t windows[MAX_PATH] = {};
        GetWindowsDirectoryW(windows, MAX_PATH);
        started_ = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, windows, &startup,
                                  &info_) != FALSE;
    }
    ~LogonStartedProgram() {
        if (started_ && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(info_.hProcess, 99);
        if (started_) {
            CloseHandle(info_.hThread);
            CloseHandle(info_.hProcess);
        }
    }
    LogonStartedProgram(const LogonStartedProgram&) = delete;
    LogonStartedProgram& operator=(const LogonStartedProgram&) = delete;

    bool Started() const { return started_; }
    DWORD ProcessId() const { return info_.dwProcessId; }
    // Its hidden main window, once it has one.
    HWND WaitForMainWindow(DWORD timeoutMs) const {
        const DWORD start = GetTickCount();
        for (;;) {
            HWND window = nullptr;
            while ((window = FindWindowExW(nullptr, window, L"#32770", L"-Valmora-")) != nullptr) {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                if (owner == info_.dwProcessId) return window;
            }
            if (GetTickCount() - start >= timeoutMs) return nullptr;
            vqdrive::Pause(50);
        }
    }
    DWORD WaitForExit(DWORD timeoutMs) const {
        DWORD code = STILL_ACTIVE;
        if (WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

// The notebook maker's libraries, put where the maker's own package puts them.
void InstallNotebookLibraries() {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    const std::wstring from = vqdrive::ProgramFolder();
    for (const wchar_t* library : {L"KEST2.dll", L"KEST3.dll", L"TrapkeyPS2.dll"}) {
        ASSERT_TRUE(CopyFileW((from + library).c_str(), (std::wstring(system) + L"\\" + library).c_str(), FALSE))
            << Narrow(library) << " from " << Narrow(from);
    }
}

bool WaitForBrightness(DWORD wanted, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (vqdrive::firmware::Value(vqsim::value::kBrightness) != wanted) {
        if (GetTickCount() - start >= timeoutMs) return false;
        vqdrive::Pause(20);
    }
    return true;
}

// The brightness key answered: the firmware stepped and the OSD shows the
// level strip's picture pixel for pixel, at the size of its frame and
// centred on the screen as at any DPI (the desktop here has 144 DPI: a
// program the system stretched would show it larger and blurred).
void ExpectFunctionKeyAnswered(const LogonStartedProgram& program) {
    vqdrive::firmware::SetValue(vqsim::value::kBrightness, 5);
    vqdrive::EnsureForegroundWindow();
    vqdrive::TapKey(0xFF, kBrightnessUpScan);
    EXPECT_TRUE(WaitForBrightness(6, 5000)) << "brightness " << vqdrive::firmware::Value(vqsim::value::kBrightness);
    const Picture frame = StripFramePicture(osd::kLevelStripFile, 0);
    ASSERT_GT(frame.width, 0);
    const Picture expected = LeftColumns(frame, osd::kBrightnessBarAt.x);
    bool shown = false;
    RECT osd{};
    const DWORD start = GetTickCount();
    while (!shown && GetTickCount() - start < 5000) {
        if (vqdrive::FindOsdRect(program.ProcessId(), &osd) && osd.right - osd.left >= expected.width) {
            shown = CountMismatches(LeftColumns(CaptureScreen(osd), expected.width), expected) == 0;
        }
        if (!shown) vqdrive::Pause(20);
    }
    ASSERT_TRUE(shown) << "the OSD did not show the brightness picture";
    EXPECT_EQ(osd.right - osd.left, frame.width) << "the OSD is its frame's size";
    EXPECT_EQ(osd.bottom - osd.top, frame.height);
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_NEAR(osd.left, screenWidth / 2 - frame.width / 2, 1) << "centred on the screen";
    EXPECT_GE(osd.top, 0);
    EXPECT_LE(osd.bottom, GetSystemMetrics(SM_CYSCREEN));
}

class InstallLifecycleTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Screen sizes and window rectangles in real pixels, whatever this desktop's DPI.
        SetProcessDPIAware();
        arch_ = packagefiles::OwnArch();
        ASSERT_TRUE(Exists(packagefiles::Package(arch_))) << Narrow(packagefiles::Package(arch_));
        ASSERT_TRUE(Exists(packagefiles::NextPackage(arch_))) << Narrow(packagefiles::NextPackage(arch_));
        // A prefix used before: begin from no product at all.
        Msiexec(L"/x \"" + packagefiles::NextPackage(arch_) + L"\"");
        Msiexec(L"/x \"" + packagefiles::Package(arch_) + L"\"");
        ASSERT_TRUE(ProgramsAndFeatures().empty());
        vqdrive::firmware::Reset();
        InstallNotebookLibraries();
    }
    packagefiles::Arch arch_ = packagefiles::Arch::X64;
};

TEST_F(InstallLifecycleTest, InstallUpgradeUninstallAndReinstallKeepTheUsersSettings) {
    const std::wstring folder = InstallFolder();

    // A silent install: files under Program Files, the start at logon, one entry of Programs and Features.
    ASSERT_EQ(Msiexec(L"/i \"" + packagefiles::Package(arch_) + L"\""), 0u);
    for (const wchar_t* file : {L"vqhkcore.exe", L"vqiHK.dll", L"vqiHKLevel.dll", L"hsdpaModules.dat",
                                L"images\\comm\\Option.ini"}) {
        EXPECT_TRUE(Exists(folder + file)) << Narrow(folder + file);
    }
    EXPECT_FALSE(Exists(folder + L"KEST2.dll")) << "the firmware library is the maker's, not ours";
    const std::vector<std::wstring> run = RunCommands();
    ASSERT_EQ(run.size(), 1u);
    EXPECT_EQ(run[0], L"\"" + folder + L"vqhkcore.exe\"");
    ASSERT_EQ(ProgramsAndFeatures().size(), 1u);
    EXPECT_NE(ProgramsAndFeatures()[0].find(L"Korvane"), std::wstring::npos) << Narrow(ProgramsAndFeatures()[0]);

    // Logon starts it; a function key gets its OSD.
    {
        LogonStartedProgram program(run[0]);
        ASSERT_TRUE(program.Started());
        HWND window = program.WaitForMainWindow(15000);
        ASSERT_NE(window, nullptr);
        vqdrive::Pause(500);  // the key roads settle
        ExpectFunctionKeyAnswered(program);
        // What the user keeps: settings, a display profile, and the history the program wrote beside itself.
        WriteUserValue(kSettingsKey, L"KeptByUser", 1);
        WriteUserValue(kProfileKey, L"cnt", 1);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(15000), 0u) << "the program ends cleanly on WM_CLOSE";
    }
    const HANDLE history = CreateFileW((folder + L"dispHistory.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(history, INVALID_HANDLE_VALUE);
    CloseHandle(history);

    // The next release over it, while a copy runs: one entry, one Run value, nothing of the user's lost.
    {
        LogonStartedProgram program(run[0]);
        ASSERT_NE(program.WaitForMainWindow(15000), nullptr);
        ASSERT_EQ(Msiexec(L"/i \"" + packagefiles::NextPackage(arch_) + L"\""), 0u);
        EXPECT_EQ(program.WaitForExit(15000), 0u) << "the upgrade asked the running copy to end";
    }
    const std::vector<std::wstring> entries = ProgramsAndFeatures();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].rfind(L"1.0.1", 0), 0u) << Narrow(entries[0]);
    EXPECT_EQ(RunCommands().size(), 1u);
    EXPECT_TRUE(Exists(folder + L"vqhkcore.exe"));
    EXPECT_EQ(UserValue(kSettingsKey, L"KeptByUser"), 1u);
    EXPECT_EQ(UserValue(kProfileKey, L"cnt"), 1u);
    EXPECT_TRUE(Exists(folder + L"dispHistory.dat"));

    // An uninstall while it runs ends it cleanly, then takes the files and the Run value.
    {
        LogonStartedProgram program(RunCommands().at(0));
        ASSERT_NE(program.WaitForMainWindow(15000), nullptr);
        ASSERT_EQ(Msiexec(L"/x \"" + packagefiles::NextPackage(arch_) + L"\""), 0u);
        EXPECT_EQ(program.WaitForExit(15000), 0u) << "the uninstall asked the running copy to end";
    }
    EXPECT_FALSE(Exists(folder + L"vqhkcore.exe"));
    EXPECT_FALSE(Exists(folder + L"vqiHK.dll"));
    EXPECT_TRUE(RunCommands().empty());
    EXPECT_TRUE(ProgramsAndFeatures().empty());
    EXPECT_EQ(UserValue(kSettingsKey, L"KeptByUser"), 1u) << "each user's settings stay";
    EXPECT_EQ(UserValue(kProfileKey, L"cnt"), 1u) << "each user's display profiles stay";
    EXPECT_TRUE(Exists(folder + L"dispHistory.dat")) << "the display history stays";

    // Installed again, it finds them.
    ASSERT_EQ(Msiexec(L"/i \"" + packagefiles::Package(arch_) + L"\""), 0u);
    EXPECT_EQ(RunCommands().size(), 1u);
    EXPECT_EQ(UserValue(kSettingsKey, L"KeptByUser"), 1u);
    {
        LogonStartedProgram program(RunCommands().at(0));
        HWND window = program.WaitForMainWindow(15000);
        ASSERT_NE(window, nullptr);
        vqdrive::Pause(500);
        ExpectFunctionKeyAnswered(program);
        PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(15000), 0u);
    }
    EXPECT_EQ(Msiexec(L"/x \"" + packagefiles::Package(arch_) + L"\""), 0u);
}

}  // namespace
