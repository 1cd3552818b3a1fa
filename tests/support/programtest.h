// A test that runs vqhkcore.exe under Wine on the stock simulated notebook
// and hears its trace lines on the debugger output. Each case starts from a
// fresh log and the stock firmware, and leaves the Windows version and the
// firmware as it found them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "debugoutput.h"
#include "screenpixels.h"
#include "vqdrive.h"

// A file in the temporary folder.
std::wstring TempPath(const wchar_t* name);

// A number the program keeps in its "Settings" section; 0xFFFFFFFF when there is none.
DWORD SettingValue(const wchar_t* name);

class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program as Windows `version` ("win7", "vista", "winxp", ...)
    // and waits for its window and its start trace; `environment` adds
    // "NAME=value" lines to the program's environment; `injectLibrary` is
    // loaded into the program before its entry point (the notebook's adapter).
    void Start(const wchar_t* version, const std::wstring& environment = L"", const std::wstring& injectLibrary = L"");

    // The running copy's trace lines so far, and its "call ..." lines without "call ".
    std::vector<std::string> TraceLines() const;
    std::vector<std::string> TraceCalls() const;
    // All trace lines in one text, for failure messages.
    std::string TraceText() const;
    // Waits until a trace line contains `needle`.
    bool WaitForTrace(const std::string& needle, DWORD timeoutMs);
    // Waits until a call line equals `call`; the call lines then.
    std::vector<std::string> WaitForCall(const std::string& call, DWORD timeoutMs);

    // Whether the program shows an OSD window now.
    bool OsdShown() const;
    // Waits until the OSD window is shown (or gone); false on time-out.
    bool WaitForOsdShown(bool shown, DWORD timeoutMs) const;
    // Waits until the program's OSD window shows `expected`, compared over
    // its leftmost `columns` (all when 0).
    bool WaitForOsdPicture(const Picture& expected, DWORD timeoutMs, int columns = 0) const;

    vqdrive::DebugOutputListener debugOutput_;
    vqdrive::Program program_;
    HWND window_ = nullptr;
};
