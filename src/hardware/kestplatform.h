// The platform calls the firmware interface makes around its library: loading
// and releasing it, looking up its exports, and the two ways it stops the
// program (a message box, the end of the process). The real system is the
// default; tests hand in their own to load other builds of the library and to
// see the message boxes and the exit without stopping.
#pragma once

#include <windows.h>

#include <string>

class IKestPlatform {
public:
    virtual ~IKestPlatform() = default;

    // Returns the module, or null with the system error number in *error.
    virtual HMODULE LoadLibraryNamed(const wchar_t* name, DWORD* error) = 0;
    virtual FARPROC FindExport(HMODULE module, const char* name) = 0;
    virtual void ReleaseLibrary(HMODULE module) = 0;
    virtual void ShowMessage(const std::wstring& text) = 0;
    virtual void EndProcess(int exitCode) = 0;
};

// The real system; one instance for the process.
IKestPlatform& SystemKestPlatform();

namespace kest {

// Owns one loaded library and releases it through the platform calls.
class CLibraryModule {
public:
    explicit CLibraryModule(IKestPlatform& platform) : m_platform(platform) {}
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
        if (module) m_platform.ReleaseLibrary(module);
    }
    HMODULE Get() const { return m_hModule; }

    template <typename Fn>
    Fn Export(const char* name) const {
        if (!m_hModule) return nullptr;
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(m_platform.FindExport(m_hModule, name)));
    }

private:
    IKestPlatform& m_platform;
    HMODULE m_hModule = nullptr;
};

}  // namespace kest
