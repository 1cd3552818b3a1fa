// The application object: single instance, working directory, language,
// GDI+ and COM, and the hidden main window.
#pragma once

#include <windows.h>

#include <string>

#include "framework/winapp.h"

// The two start-up calls whose failure a test must be able to produce.
class IStartupPlatform {
public:
    virtual ~IStartupPlatform() = default;
    // Created owned; GetLastError tells whether it existed already.
    virtual HANDLE CreateInstanceMutex(const wchar_t* name) = 0;
    virtual HRESULT InitializeCom() = 0;
};

// The real system; one instance for the process.
IStartupPlatform& SystemStartupPlatform();

class CValmoraApp : public fw::CWinApp {
public:
    explicit CValmoraApp(IStartupPlatform& platform = SystemStartupPlatform()) : m_platform(platform) {}
    ~CValmoraApp() override;

    bool InitInstance() override;
    int ExitInstance() override;

    LANGID LanguageId() const { return m_wLanguageId; }

    // The program's folder from the executable's path: every "vqhkcore.exe",
    // then every "Valmora.exe", removed (exact, case-sensitive).
    static std::wstring WorkingFolderFromPath(std::wstring path);
    // The user-interface language for a system default language.
    static LANGID MapLanguage(LANGID systemDefault);

private:
    IStartupPlatform& m_platform;
    LANGID m_wLanguageId = 1033;
    ULONG_PTR m_gdiplusToken = 0;
    HANDLE m_hInstanceMutex = nullptr;
};

// The one application object of the process (null in test programs).
CValmoraApp* ValmoraApp();
