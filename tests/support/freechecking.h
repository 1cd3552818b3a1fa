// Wine's heap checking for one program of the test prefix (the image file
// execution options' "GlobalFlag": tail and free checking, parameter
// validation): freed memory is filled with a pattern, so that a later use of
// it faults at once instead of reading what happens to be left there. Set
// for the life of this object, before the program starts, and removed (or
// put back as it was) afterwards, so that other tests run without it.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

class FreeCheckingForProgram {
public:
    static constexpr DWORD kHeapChecks = 0x70;

    explicit FreeCheckingForProgram(std::wstring exeName = L"vqhkcore.exe");
    ~FreeCheckingForProgram();
    FreeCheckingForProgram(const FreeCheckingForProgram&) = delete;
    FreeCheckingForProgram& operator=(const FreeCheckingForProgram&) = delete;

    // Whether the value is in place.
    bool Active() const;

private:
    std::wstring m_keyPath;
    bool m_keyExisted = false;
    std::optional<DWORD> m_savedFlags;
};
