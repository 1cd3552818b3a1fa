// The application object of our small window framework: one per process,
// InitInstance / message loop / ExitInstance.
#pragma once

#include <windows.h>

#include <string>

namespace fw {

class CDialogBase;
class CReentryGuard;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // Runs InitInstance, the message loop while it said so, and ExitInstance.
    int Start(HINSTANCE instance);

    virtual bool InitInstance();
    virtual int ExitInstance();

    // The application's name (the executable's base name) and its registry key.
    void SetRegistryKey(const wchar_t* company);
    const std::wstring& AppName() const { return m_appName; }
    HINSTANCE Instance() const { return m_hInstance; }

    CDialogBase* MainWindow() const { return m_pMainWnd; }
    void SetMainWindow(CDialogBase* window) { m_pMainWnd = window; }

    // Message codes that must never be dispatched from the queue (a sender
    // that posts them is not trusted with what lParam points to).
    void DropQueuedMessage(UINT message) { m_droppedQueuedMessage = message; }

    // The main window's guard: what it held back runs after each message
    // the loop dispatches. Null while there is none.
    void SetReentryGuard(CReentryGuard* guard) { m_pReentryGuard = guard; }

    // The message loop until WM_QUIT; returns its exit code.
    int Run();

    // Dispatches what is waiting without blocking; false once WM_QUIT was seen.
    bool PumpWaitingMessages();

    static CWinApp* Current();

protected:
    bool PreTranslate(MSG& msg);

    HINSTANCE m_hInstance = nullptr;
    CDialogBase* m_pMainWnd = nullptr;
    CReentryGuard* m_pReentryGuard = nullptr;
    std::wstring m_appName = L"vqhkcore";
    std::wstring m_registryKey;
    UINT m_droppedQueuedMessage = 0;
    int m_exitCode = 0;
};

}  // namespace fw
