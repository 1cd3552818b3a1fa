// A test that runs vqhkcore.exe under Wine on the stock simulated notebook,
// with a trace file of its own. Each case starts from a fresh log and the
// stock firmware, and leaves the Windows version and the firmware as it found them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "vqdrive.h"

// A file in the temporary folder.
std::wstring TempPath(const wchar_t* name);

class ProgramTest : public ::testing::Test {
protected:
    explicit ProgramTest(const wchar_t* traceName) : trace_(TempPath(traceName)) {}
    void SetUp() override;
    void TearDown() override;

    // Starts the program as Windows `version` ("win7", "vista", "winxp", ...)
    // and waits for its window and its start trace; `environment` adds
    // "NAME=value" lines to the program's environment.
    void Start(const wchar_t* version, const std::wstring& environment = L"");

    vqdrive::Program program_;
    HWND window_ = nullptr;
    std::wstring trace_;
};
