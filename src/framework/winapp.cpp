#include "framework/winapp.h"

#include "framework/dialogbase.h"
#include "framework/reentryguard.h"
#include "common/settingsstore.h"

namespace fw {

namespace {
CWinApp* g_app = nullptr;

std::wstring ExecutableBaseName() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    const size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos) name.erase(0, slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) name.erase(dot);
    return name;
}
}  // namespace

CWinApp::CWinApp() { g_app = this; }
CWinApp::~CWinApp() { if (g_app == this) g_app = nullptr; }
CWinApp* CWinApp::Current() { return g_app; }

bool CWinApp::InitInstance() {
    // The program's windows use only the system's own controls (static text,
    // buttons): the common-controls library stays unloaded.
    m_appName = ExecutableBaseName();
    return true;
}

int CWinApp::ExitInstance() { return m_exitCode; }

void CWinApp::SetRegistryKey(const wchar_t* company) {
    m_registryKey = company;
    settings::SetApplicationName(m_appName);
}

int CWinApp::Start(HINSTANCE instance) {
    m_hInstance = instance;
    if (InitInstance()) m_exitCode = Run();
    return ExitInstance();
}

bool CWinApp::PreTranslate(MSG& msg) {
    if (m_droppedQueuedMessage != 0 && msg.message == m_droppedQueuedMessage) return true;
    // Another of the program's dialogs (a mini UI panel) filters its own messages.
    if (HWND root = msg.hwnd ? GetAncestor(msg.hwnd, GA_ROOT) : nullptr; root && (!m_pMainWnd || root != m_pMainWnd->Handle())) {
        if (CDialogBase* dialog = CDialogBase::FromWindow(root); dialog && dialog->PreTranslateMessage(msg)) return true;
    }
    if (m_pMainWnd && m_pMainWnd->Handle() && IsDialogMessageW(m_pMainWnd->Handle(), &msg)) return true;
    return false;
}

int CWinApp::Run() {
    MSG msg{};
    for (;;) {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1) break;
        if (!PreTranslate(msg)) {  // the dialog's own dispatch, or this one
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        // No handler runs now: what the main window held back may.
        if (m_pReentryGuard) m_pReentryGuard->RunDeferred();
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

bool CWinApp::PumpWaitingMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (PreTranslate(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
}

}  // namespace fw
