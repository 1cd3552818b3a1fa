#include "app/trapkeylibs.h"

#include "common/commondefine.h"

namespace trapkey {

namespace {
HMODULE g_ps2Library = nullptr;
HMODULE g_usbLibrary = nullptr;  // process-wide, loaded once

HMODULE Ps2Library() {
    if (!g_ps2Library) g_ps2Library = LoadLibraryW(L"TrapkeyPS2.dll");
    return g_ps2Library;
}

template <typename Fn>
Fn Export(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}
}  // namespace

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, n);
    const size_t slash = folder.find_last_of(L'\\');
    folder.erase(slash == std::wstring::npos ? 0 : slash + 1);
    return folder;
}

bool SetHookOwner(HWND owner, UINT message) {
    using SetOwnerFn = BOOL(WINAPI*)(HWND, UINT);
    auto setOwner = Export<SetOwnerFn>(Ps2Library(), "KbdHkSetHookOwner");
    if (!setOwner) {
        ReportError(L"fail: KbdHkSetHookOwner()");
        return false;
    }
    return setOwner(owner, message) != FALSE;
}

void Unhook() {
    using UnhookFn = BOOL(WINAPI*)();
    // On every version, also where the owner was never set (Windows 7 takes raw input).
    if (auto unhook = Export<UnhookFn>(Ps2Library(), "KbdHkSetUnhook")) unhook();
}

int LoadUsbDevice(HWND owner, UINT* message) {
    *message = RegisterWindowMessageW(L"TrapkeyUSB");
    if (!g_usbLibrary) g_usbLibrary = LoadLibraryW((ProgramFolder() + L"TrapkeyUSB.DLL").c_str());
    using LoadDeviceFn = int(WINAPI*)(HWND, UINT);
    auto loadDevice = Export<LoadDeviceFn>(g_usbLibrary, "HIDKbdLoadDevice");
    if (!loadDevice) return 0;
    return loadDevice(owner, *message);
}

void ReleaseUsbLibrary() {
    if (g_usbLibrary) FreeLibrary(g_usbLibrary);
    g_usbLibrary = nullptr;
}

}  // namespace trapkey
