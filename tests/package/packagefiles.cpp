#include "packagefiles.h"

#include <windows.h>

namespace packagefiles {

namespace {

const wchar_t* Suffix(Arch arch) { return arch == Arch::X64 ? L"x64" : L"x86"; }

std::wstring FindOne(const std::wstring& folder, const std::wstring& pattern) {
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return folder + pattern;
    FindClose(search);
    return folder + found.cFileName;
}

}  // namespace

Arch OwnArch() { return sizeof(void*) == 8 ? Arch::X64 : Arch::X86; }

std::wstring Folder() {
    wchar_t folder[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(L"VQ_PACKAGE_DIR", folder, MAX_PATH);
    std::wstring path = length && length < MAX_PATH ? folder : L".";
    if (path.back() != L'\\') path += L'\\';
    return path;
}

std::wstring Package(Arch arch) { return FindOne(Folder(), std::wstring(L"vqhkcore-*-") + Suffix(arch) + L".msi"); }
std::wstring AgainPackage(Arch arch) { return Folder() + L"test\\vqhkcore-again-" + Suffix(arch) + L".msi"; }
std::wstring NextPackage(Arch arch) { return Folder() + L"test\\vqhkcore-next-" + Suffix(arch) + L".msi"; }

}  // namespace packagefiles
