#include "programtest.h"

#include "simfirmware.h"

std::wstring TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

void ProgramTest::SetUp() {
    vqdrive::firmware::Reset();
    vqdrive::DeleteFileIfPresent(trace_);
    vqdrive::DeleteFileIfPresent(vqdrive::LogFilePath());
}

void ProgramTest::TearDown() {
    program_.Stop();
    vqdrive::SetWindowsVersion(L"");
    vqdrive::firmware::Reset();
}

void ProgramTest::Start(const wchar_t* version, const std::wstring& environment) {
    program_.Stop();
    vqdrive::DeleteFileIfPresent(trace_);
    vqdrive::SetWindowsVersion(version);
    vqdrive::StartOptions options;
    options.traceFile = trace_;
    options.extraEnvironment = environment;
    ASSERT_TRUE(program_.Start(options));
    window_ = program_.MainWindow();
    ASSERT_NE(window_, nullptr) << "the main window did not appear";
    ASSERT_TRUE(vqdrive::WaitForLine(trace_, "started", 10000));
    vqdrive::Pause(300);  // the key roads settle (raw input registration, hook)
}
