#include "programtest.h"

#include <algorithm>

#include "simfirmware.h"

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

void ProgramTest::SetUp() {
    ASSERT_TRUE(debugOutput_.Start()) << "debugger output: " << debugOutput_.Error();
    vqdrive::firmware::Reset();
    vqdrive::DeleteFileIfPresent(vqdrive::LogFilePath());
}

void ProgramTest::TearDown() {
    program_.Stop();
    debugOutput_.Stop();
    vqdrive::SetWindowsVersion(L"");
    vqdrive::firmware::Reset();
}

void ProgramTest::Start(const wchar_t* version, const std::wstring& environment, const std::wstring& injectLibrary) {
    program_.Stop();
    vqdrive::SetWindowsVersion(version);
    vqdrive::StartOptions options;
    options.extraEnvironment = environment;
    options.injectLibrary = injectLibrary;
    ASSERT_TRUE(program_.Start(options));
    window_ = program_.MainWindow();
    ASSERT_NE(window_, nullptr) << "the main window did not appear";
    ASSERT_TRUE(WaitForTrace("started", 10000)) << TraceText();
    vqdrive::Pause(300);  // the key roads settle (raw input registration, hook)
}

std::vector<std::string> ProgramTest::TraceLines() const { return debugOutput_.Lines(program_.ProcessId()); }

std::vector<std::string> ProgramTest::TraceCalls() const { return vqdrive::TraceCalls(TraceLines()); }

std::string ProgramTest::TraceText() const {
    std::string text;
    for (const std::string& line : TraceLines()) text += line + "\n";
    return text;
}

bool ProgramTest::WaitForTrace(const std::string& needle, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        for (const std::string& line : TraceLines()) {
            if (line.find(needle) != std::string::npos) return true;
        }
        if (GetTickCount() - start >= timeoutMs) return false;
        vqdrive::Pause(20);
    }
}

std::vector<std::string> ProgramTest::WaitForCall(const std::string& call, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<std::string> calls = TraceCalls();
        if (std::find(calls.begin(), calls.end(), call) != calls.end()) return calls;
        if (GetTickCount() - start >= timeoutMs) return calls;
        vqdrive::Pause(20);
    }
}

DWORD SettingValue(const wchar_t* name) {
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    RegGetValueW(HKEY_CURRENT_USER, L"Software\\Korvane\\vqhkcore\\Settings", name, RRF_RT_REG_DWORD, nullptr, &value,
                 &size);
    return value;
}

bool ProgramTest::WaitForOsdShown(bool shown, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    while (OsdShown() != shown) {
        if (GetTickCount() - start > timeoutMs) return false;
        vqdrive::Pause(20);
    }
    return true;
}

bool ProgramTest::OsdShown() const {
    RECT osd{};
    return vqdrive::FindOsdRect(program_.ProcessId(), &osd);
}

bool ProgramTest::WaitForOsdPicture(const Picture& expected, DWORD timeoutMs, int columns) const {
    if (expected.width == 0) return false;
    const Picture wanted = columns ? LeftColumns(expected, columns) : expected;
    const DWORD start = GetTickCount();
    for (;;) {
        RECT osd{};
        if (vqdrive::FindOsdRect(program_.ProcessId(), &osd)) {
            const Picture shown = CaptureScreen(osd);
            if (CountMismatches(columns ? LeftColumns(shown, columns) : shown, wanted) == 0) return true;
        }
        if (GetTickCount() - start >= timeoutMs) return false;
        vqdrive::Pause(20);
    }
}
