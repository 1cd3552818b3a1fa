// The simulated notebook's graphics adapter. Wine reports every adapter as
// "PCI\VEN_0000&DEV_0000..." ("Wine Adapter"); this library, injected into a
// program before its entry point, makes the program see the notebook's
// adapter instead. On load it points the program's import entries of
// EnumDisplayDevicesW and GetProcAddress at its own functions; those call
// the real ones and change only the adapters' DeviceID and description, as
// the registry (adapterstore.h) names them; EnumDisplaySettingsW and ...ExW
// likewise, which add the orientation of the current mode that the notebook's
// graphics state records, and ChangeDisplaySettingsW/ExW, whose orientation
// changes the notebook carries out and which keep a clone one picture
// (displayservice.h). The four display-configuration
// functions looked up by name are answered by the notebook's own service
// (displayservice.h). Nothing else is touched.
#include <windows.h>

#include <cstring>
#include <cwchar>

#include "adapterstore.h"
#include "importpatch.h"
#include "displayservice.h"

namespace {

using EnumDisplayDevicesFn = BOOL(WINAPI*)(LPCWSTR, DWORD, PDISPLAY_DEVICEW, DWORD);
using EnumDisplaySettingsFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DEVMODEW*);
using EnumDisplaySettingsExFn = BOOL(WINAPI*)(LPCWSTR, DWORD, DEVMODEW*, DWORD);
using ChangeDisplaySettingsExFn = LONG(WINAPI*)(LPCWSTR, DEVMODEW*, HWND, DWORD, LPVOID);
using GetProcAddressFn = FARPROC(WINAPI*)(HMODULE, LPCSTR);

EnumDisplayDevicesFn g_realEnumDisplayDevices = nullptr;
EnumDisplaySettingsFn g_realEnumDisplaySettings = nullptr;
EnumDisplaySettingsExFn g_realEnumDisplaySettingsEx = nullptr;
ChangeDisplaySettingsExFn g_realChangeDisplaySettingsEx = nullptr;
GetProcAddressFn g_realGetProcAddress = nullptr;

// Reads one text value of the adapter's state; false when it is absent or does not fit.
bool ReadText(const wchar_t* name, wchar_t* text, DWORD chars) {
    DWORD type = 0;
    DWORD bytes = chars * sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::adapter::kKey, name, RRF_RT_REG_SZ, &type, text, &bytes) !=
        ERROR_SUCCESS) {
        return false;
    }
    text[chars - 1] = 0;
    return text[0] != 0;
}

BOOL WINAPI SimEnumDisplayDevicesW(LPCWSTR device, DWORD index, PDISPLAY_DEVICEW info, DWORD flags) {
    const BOOL found = g_realEnumDisplayDevices(device, index, info, flags);
    // Adapters only (no parent device named); monitors keep their own ids.
    if (!found || device != nullptr || !info || info->cb < sizeof(DISPLAY_DEVICEW)) return found;
    wchar_t text[128];
    if (ReadText(vqsim::adapter::kDeviceId, text, sizeof text / sizeof text[0])) {
        wcsncpy(info->DeviceID, text, sizeof info->DeviceID / sizeof(wchar_t) - 1);
        info->DeviceID[sizeof info->DeviceID / sizeof(wchar_t) - 1] = 0;
    }
    if (ReadText(vqsim::adapter::kDescription, text, sizeof text / sizeof text[0])) {
        wcsncpy(info->DeviceString, text, sizeof info->DeviceString / sizeof(wchar_t) - 1);
        info->DeviceString[sizeof info->DeviceString / sizeof(wchar_t) - 1] = 0;
    }
    return found;
}

// The current mode carries the orientation of the picture.
BOOL Oriented(BOOL found, LPCWSTR device, DWORD mode, DEVMODEW* info) {
    if (found && info && mode == ENUM_CURRENT_SETTINGS) {
        info->dmDisplayOrientation = vqsim::displayconfig::Orientation(device);
        info->dmFields |= DM_DISPLAYORIENTATION;
    }
    return found;
}

BOOL WINAPI SimEnumDisplaySettingsW(LPCWSTR device, DWORD mode, DEVMODEW* info) {
    return Oriented(g_realEnumDisplaySettings(device, mode, info), device, mode, info);
}

BOOL WINAPI SimEnumDisplaySettingsExW(LPCWSTR device, DWORD mode, DEVMODEW* info, DWORD flags) {
    return Oriented(g_realEnumDisplaySettingsEx(device, mode, info, flags), device, mode, info);
}

LONG WINAPI SimChangeDisplaySettingsExW(LPCWSTR device, DEVMODEW* mode, HWND window, DWORD flags, LPVOID parameter) {
    return vqsim::displayconfig::TurnDisplay(device, mode, window, flags, parameter, g_realChangeDisplaySettingsEx);
}

LONG WINAPI SimChangeDisplaySettingsW(DEVMODEW* mode, DWORD flags) {
    return vqsim::displayconfig::TurnDisplay(nullptr, mode, nullptr, flags, nullptr, g_realChangeDisplaySettingsEx);
}

bool IsUser32(HMODULE module) { return module && module == GetModuleHandleW(L"user32.dll"); }

FARPROC WINAPI SimGetProcAddress(HMODULE module, LPCSTR name) {
    // A name, not an ordinal (which fits in the low word of the pointer).
    const bool byName = reinterpret_cast<ULONG_PTR>(name) > 0xFFFF;
    if (byName && IsUser32(module) && std::strcmp(name, "EnumDisplayDevicesW") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimEnumDisplayDevicesW));
    }
    if (byName && IsUser32(module) && std::strcmp(name, "EnumDisplaySettingsW") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimEnumDisplaySettingsW));
    }
    if (byName && IsUser32(module) && std::strcmp(name, "ChangeDisplaySettingsW") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimChangeDisplaySettingsW));
    }
    if (byName && IsUser32(module) && std::strcmp(name, "ChangeDisplaySettingsExW") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimChangeDisplaySettingsExW));
    }
    if (byName && IsUser32(module) && std::strcmp(name, "EnumDisplaySettingsExW") == 0) {
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&SimEnumDisplaySettingsExW));
    }
    if (byName && IsUser32(module)) {
        if (FARPROC service = vqsim::displayconfig::Replacement(name)) return service;
    }
    return g_realGetProcAddress(module, name);
}

void Install() {
    HMODULE user32 = GetModuleHandleW(L"user32.dll");
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!user32 || !kernel32) return;
    g_realEnumDisplayDevices =
        reinterpret_cast<EnumDisplayDevicesFn>(reinterpret_cast<void*>(GetProcAddress(user32, "EnumDisplayDevicesW")));
    g_realEnumDisplaySettings =
        reinterpret_cast<EnumDisplaySettingsFn>(reinterpret_cast<void*>(GetProcAddress(user32, "EnumDisplaySettingsW")));
    g_realEnumDisplaySettingsEx = reinterpret_cast<EnumDisplaySettingsExFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "EnumDisplaySettingsExW")));
    void* realChangeDisplaySettings = reinterpret_cast<void*>(GetProcAddress(user32, "ChangeDisplaySettingsW"));
    g_realChangeDisplaySettingsEx = reinterpret_cast<ChangeDisplaySettingsExFn>(
        reinterpret_cast<void*>(GetProcAddress(user32, "ChangeDisplaySettingsExW")));
    g_realGetProcAddress =
        reinterpret_cast<GetProcAddressFn>(reinterpret_cast<void*>(GetProcAddress(kernel32, "GetProcAddress")));
    if (!g_realEnumDisplayDevices || !g_realEnumDisplaySettings || !g_realEnumDisplaySettingsEx ||
        !g_realChangeDisplaySettingsEx || !g_realGetProcAddress) {
        return;
    }
    const vqsim::Replacement replacements[] = {
        {reinterpret_cast<void*>(g_realEnumDisplayDevices), reinterpret_cast<void*>(&SimEnumDisplayDevicesW)},
        {reinterpret_cast<void*>(g_realEnumDisplaySettings), reinterpret_cast<void*>(&SimEnumDisplaySettingsW)},
        {reinterpret_cast<void*>(g_realEnumDisplaySettingsEx), reinterpret_cast<void*>(&SimEnumDisplaySettingsExW)},
        {reinterpret_cast<void*>(g_realChangeDisplaySettingsEx), reinterpret_cast<void*>(&SimChangeDisplaySettingsExW)},
        {realChangeDisplaySettings, reinterpret_cast<void*>(&SimChangeDisplaySettingsW)},
        {reinterpret_cast<void*>(g_realGetProcAddress), reinterpret_cast<void*>(&SimGetProcAddress)},
    };
    vqsim::PatchProgramImports(replacements);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) { return vqsim::InstallOnLoad(instance, reason, Install); }
