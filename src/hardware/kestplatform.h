// The platform calls the firmware interface makes around its library: loading
// and releasing it, looking up its exports, and the two ways it stops the
// program (a message box, the end of the process). The real Win32 calls are
// the default; tests replace them to load other builds of the library and to
// see the message boxes and the exit without stopping.
#pragma once

#include <windows.h>

#include <string>

namespace kest {

struct Platform {
    // Returns the module, or null with the system error number in *error.
    HMODULE (*loadLibrary)(const wchar_t* name, DWORD* error);
    FARPROC (*findExport)(HMODULE module, const char* name);
    void (*freeLibrary)(HMODULE module);
    void (*showMessage)(const std::wstring& text);
    void (*endProcess)(int exitCode);
};

Platform RealPlatform();
// The calls in use; a test may assign to it and must restore it.
Platform& CurrentPlatform();

// Owns one loaded library and releases it through the platform calls.
class CLibraryModule {
public:
    CLibraryModule() = default;
    ~CLibraryModule() { Release(); }
    CLibraryModule(const CLibraryModule&) = delete;
    CLibraryModule& operator=(const CLibraryModule&) = delete;

    void Reset(HMODULE module) {
        Release();
        m_hModule = module;
    }
    // Releases the library; the handle is forgotten even when the release throws.
    void Release() {
        HMODULE module = m_hModule;
        m_hModule = nullptr;
        if (module) CurrentPlatform().freeLibrary(module);
    }
    HMODULE Get() const { return m_hModule; }

    template <typename Fn>
    Fn Export(const char* name) const {
        if (!m_hModule) return nullptr;
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(CurrentPlatform().findExport(m_hModule, name)));
    }

private:
    HMODULE m_hModule = nullptr;
};

}  // namespace kest
