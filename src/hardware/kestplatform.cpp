#include "hardware/kestplatform.h"

#include "common/settingsstore.h"

namespace {

class CWin32KestPlatform : public IKestPlatform {
public:
    HMODULE LoadLibraryNamed(const wchar_t* name, DWORD* error) override {
        HMODULE module = LoadLibraryW(name);
        *error = module ? 0 : GetLastError();
        return module;
    }

    FARPROC FindExport(HMODULE module, const char* name) override { return GetProcAddress(module, name); }

    void ReleaseLibrary(HMODULE module) override { FreeLibrary(module); }

    void ShowMessage(const std::wstring& text) override {
        MessageBoxW(nullptr, text.c_str(), settings::ApplicationName().c_str(), MB_OK);
    }

    void EndProcess(int exitCode) override { ExitProcess(static_cast<UINT>(exitCode)); }
};

}  // namespace

IKestPlatform& SystemKestPlatform() {
    static CWin32KestPlatform platform;
    return platform;
}
