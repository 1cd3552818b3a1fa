#include "fakekestplatform.h"

#include <stdexcept>

#include "vqdrive.h"

FakeKestPlatform::FakeKestPlatform() : libraryFolder(vqdrive::ProgramFolder()) {}

HMODULE FakeKestPlatform::LoadLibraryNamed(const wchar_t* name, DWORD* error) {
    loaded.push_back(name);
    return SystemKestPlatform().LoadLibraryNamed((libraryFolder + name).c_str(), error);
}

FARPROC FakeKestPlatform::FindExport(HMODULE module, const char* name) {
    return SystemKestPlatform().FindExport(module, name);
}

void FakeKestPlatform::ReleaseLibrary(HMODULE module) {
    SystemKestPlatform().ReleaseLibrary(module);
    if (throwOnRelease) throw std::runtime_error("release");
}
