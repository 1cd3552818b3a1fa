#include "hardware/kestplatform.h"

#include "common/settingsstore.h"

namespace kest {

namespace {
HMODULE LoadLibraryReal(const wchar_t* name, DWORD* error) {
    HMODULE module = LoadLibraryW(name);
    *error = module ? 0 : GetLastError();
    return module;
}

FARPROC FindExportReal(HMODULE module, const char* name) { return GetProcAddress(module, name); }

void FreeLibraryReal(HMODULE module) { FreeLibrary(module); }

void ShowMessageReal(const std::wstring& text) {
    MessageBoxW(nullptr, text.c_str(), settings::ApplicationName().c_str(), MB_OK);
}

void EndProcessReal(int exitCode) { ExitProcess(static_cast<UINT>(exitCode)); }
}  // namespace

Platform RealPlatform() {
    return {LoadLibraryReal, FindExportReal, FreeLibraryReal, ShowMessageReal, EndProcessReal};
}

Platform& CurrentPlatform() {
    static Platform current = RealPlatform();
    return current;
}

}  // namespace kest
