// The firmware library's platform calls for tests: the library is loaded and
// looked up for real, but from a folder of the test's choosing (by default
// the program's folder, where the simulated notebook's library lies); every
// load is recorded, message boxes and the end of the process are recorded
// instead of shown and done, and a release can be made to throw.
#pragma once

#include <string>
#include <vector>

#include "hardware/kestplatform.h"

class FakeKestPlatform : public IKestPlatform {
public:
    FakeKestPlatform();

    HMODULE LoadLibraryNamed(const wchar_t* name, DWORD* error) override;
    FARPROC FindExport(HMODULE module, const char* name) override;
    void ReleaseLibrary(HMODULE module) override;
    void ShowMessage(const std::wstring& text) override { messages.push_back(text); }
    void EndProcess(int exitCode) override { exits.push_back(exitCode); }

    std::wstring libraryFolder;  // with a trailing backslash
    std::vector<std::wstring> loaded;  // the names asked for
    std::vector<std::wstring> messages;
    std::vector<int> exits;
    bool throwOnRelease = false;  // after the library was released
};
