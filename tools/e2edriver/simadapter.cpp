#include "simadapter.h"

#include "vqdrive.h"

namespace vqdrive::adapter {

namespace {
void SetText(HKEY key, const wchar_t* name, const std::wstring& text) {
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}
}  // namespace

void Set(const std::wstring& deviceId, const std::wstring& description) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, vqsim::adapter::kKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        return;
    }
    SetText(key, vqsim::adapter::kDeviceId, deviceId);
    SetText(key, vqsim::adapter::kDescription, description);
    RegCloseKey(key);
}

void Reset() { RegDeleteTreeW(HKEY_CURRENT_USER, vqsim::adapter::kKey); }

std::wstring LibraryPath() { return ProgramFolder() + vqsim::adapter::kLibrary; }

bool QueueLibraryLoad(HANDLE process, HANDLE thread, const std::wstring& library) {
    const SIZE_T bytes = (library.size() + 1) * sizeof(wchar_t);
    void* remote = VirtualAllocEx(process, nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!remote) return false;
    SIZE_T written = 0;
    if (!WriteProcessMemory(process, remote, library.c_str(), bytes, &written) || written != bytes) {
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        return false;
    }
    // LoadLibraryW takes one pointer, as an APC routine does; kernel32 sits
    // at the same address in every process of the session.
    auto* load = reinterpret_cast<PAPCFUNC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "LoadLibraryW")));
    if (!load || !QueueUserAPC(load, thread, reinterpret_cast<ULONG_PTR>(remote))) {
        VirtualFreeEx(process, remote, 0, MEM_RELEASE);
        return false;
    }
    return true;  // the path stays in the process: the loader reads it when the APC runs
}

}  // namespace vqdrive::adapter
