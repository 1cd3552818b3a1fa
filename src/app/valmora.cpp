#include "app/valmora.h"

#include <objbase.h>
#include <gdiplus.h>

#include "app/eventrouter.h"
#include "app/valmoradlg.h"
#include "common/commondefine.h"
#include "resource.h"

namespace {
CValmoraApp* g_valmoraApp = nullptr;

void RemoveAll(std::wstring& text, const std::wstring& part) {
    for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at)) text.erase(at, part.size());
}
}  // namespace

CValmoraApp* ValmoraApp() { return g_valmoraApp; }

IStartupPlatform& SystemStartupPlatform() {
    class CWin32StartupPlatform : public IStartupPlatform {
    public:
        HANDLE CreateInstanceMutex(const wchar_t* name) override { return CreateMutexW(nullptr, TRUE, name); }
        HRESULT InitializeCom() override { return CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    };
    static CWin32StartupPlatform platform;
    return platform;
}

CValmoraApp::~CValmoraApp() {
    if (g_valmoraApp == this) g_valmoraApp = nullptr;
}

std::wstring CValmoraApp::WorkingFolderFromPath(std::wstring path) {
    RemoveAll(path, L"vqhkcore.exe");
    RemoveAll(path, L"Valmora.exe");
    return path;
}

LANGID CValmoraApp::MapLanguage(LANGID systemDefault) {
    static const LANGID kKept[] = {1028, 1030, 1031, 1032, 1035, 1036, 1040, 1042, 1043, 1044,
                                   1045, 1049, 1053, 1054, 1055, 2052, 2068, 2070, 2077, 3082};
    for (LANGID id : kKept) {
        if (id == systemDefault) return id;
    }
    return 1033;
}

bool CValmoraApp::InitInstance() {
    g_valmoraApp = this;
    fw::CWinApp::InitInstance();
    SetRegistryKey(L"Korvane");

    m_hInstanceMutex = m_platform.CreateInstanceMutex(L"ValmoraMutex");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        ReportError(L"Valmora is already runned\r\nEnd Valmora runned previously");
        return false;
    }
    if (!m_hInstanceMutex) {
        ReportError(L"fail: Valmora starting ");
        return false;
    }

    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    SetCurrentDirectoryW(WorkingFolderFromPath(path).c_str());

    m_wLanguageId = MapLanguage(GetSystemDefaultLangID());

    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);

    if (FAILED(m_platform.InitializeCom())) {
        MessageBoxW(nullptr, L"COM initialization failed\r\nPlease check the system and Run Valmora again.",
                    AppName().c_str(), MB_OK);
        return false;
    }

    auto* mainWindow = new CValmoraDlg();
    SetMainWindow(mainWindow);
    if (!mainWindow->Create(IDD_VALMORA_DIALOG, nullptr)) {
        SetMainWindow(nullptr);
        delete mainWindow;
        ReportError(L"fail: Valmora starting ");
        return false;
    }
    DropQueuedMessage(TrapkeyPs2Message());
    return true;
}

int CValmoraApp::ExitInstance() {
    if (m_gdiplusToken) Gdiplus::GdiplusShutdown(m_gdiplusToken);
    m_gdiplusToken = 0;
    if (m_hInstanceMutex) ReleaseMutex(m_hInstanceMutex);
    return fw::CWinApp::ExitInstance();
}
