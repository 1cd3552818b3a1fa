// The simulated notebook's audio driver with its two sound effects. Wine has
// no audio device interface that answers kernel-streaming properties; this
// library, injected into a program before its entry point, adds one: it
// points the program's import entries of the device-interface enumeration,
// CreateFileW, DeviceIoControl and CloseHandle at its own functions, which
// answer for one audio interface of their own and pass everything else on.
// The effect state lives in the registry (audiofxstore.h).
#include <windows.h>
#include <setupapi.h>

#include <cstring>
#include <cwchar>
#include <mutex>
#include <set>
#include <string>

#include "audiofxstore.h"
#include "importpatch.h"

namespace {

// KSCATEGORY_AUDIO
constexpr GUID kAudioClass = {0x6994AD04, 0x93EF, 0x11D0, {0xA3, 0xCC, 0x00, 0xA0, 0xC9, 0x22, 0x31, 0x96}};
constexpr GUID kSelectionSet = {0x03CEE026, 0xE4B7, 0x4BDF, {0x8F, 0x62, 0x93, 0xA0, 0xE6, 0xE3, 0x2E, 0x40}};
constexpr GUID kEffectASet = {0x06DD9F47, 0xF064, 0x4016, {0xB4, 0x17, 0x44, 0xB5, 0x79, 0xF6, 0xAF, 0x27}};
constexpr GUID kEffectBSet = {0x044AEFB5, 0x4590, 0x420E, {0x9F, 0x05, 0x73, 0xFA, 0xC1, 0x9F, 0x0B, 0x27}};
constexpr ULONG kSelectionId = 3;
constexpr ULONG kSwitchId = 0;
constexpr DWORD kPropertyIoctl = 0x2F0003;
constexpr ULONG kGet = 1, kSet = 2;

// A kernel-streaming property request as the driver receives it.
struct Property {
    GUID set;
    ULONG id;
    ULONG flags;
};
static_assert(sizeof(Property) == 24);

const wchar_t kDevicePath[] = L"\\\\?\\vqsim#audiofx#{6994ad04-93ef-11d0-a3cc-00a0c9223196}";
// The interface list of the audio class; no real list has this value.
const HDEVINFO kAudioList = reinterpret_cast<HDEVINFO>(static_cast<ULONG_PTR>(0x5A5A0001));

using GetClassDevsFn = HDEVINFO(WINAPI*)(const GUID*, PCWSTR, HWND, DWORD);
using EnumInterfacesFn = BOOL(WINAPI*)(HDEVINFO, PSP_DEVINFO_DATA, const GUID*, DWORD, PSP_DEVICE_INTERFACE_DATA);
using InterfaceDetailFn = BOOL(WINAPI*)(HDEVINFO, PSP_DEVICE_INTERFACE_DATA, PSP_DEVICE_INTERFACE_DETAIL_DATA_W, DWORD,
                                        PDWORD, PSP_DEVINFO_DATA);
using DestroyListFn = BOOL(WINAPI*)(HDEVINFO);
using CreateFileFn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE);
using IoControlFn = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID, DWORD, LPVOID, DWORD, LPDWORD, LPOVERLAPPED);
using CloseHandleFn = BOOL(WINAPI*)(HANDLE);

GetClassDevsFn g_realGetClassDevs;
EnumInterfacesFn g_realEnumInterfaces;
InterfaceDetailFn g_realInterfaceDetail;
DestroyListFn g_realDestroyList;
CreateFileFn g_realCreateFile;
IoControlFn g_realIoControl;
CloseHandleFn g_realCloseHandle;

std::mutex g_mutex;
std::set<HANDLE> g_openDevices;

DWORD ReadValue(const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::audiofx::kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

void WriteValue(const wchar_t* name, DWORD value) {
    RegSetKeyValueW(HKEY_CURRENT_USER, vqsim::audiofx::kKey, name, REG_DWORD, &value, sizeof value);
}

void Record(const std::wstring& request) {
    wchar_t text[4000] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    std::wstring all;
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::audiofx::kKey, vqsim::audiofx::kRequests, RRF_RT_REG_SZ, nullptr, text,
                     &size) == ERROR_SUCCESS) {
        all = text;
    }
    if (!all.empty()) all += L' ';
    all += request;
    if (all.size() > 3000) all.erase(0, all.size() - 3000);
    RegSetKeyValueW(HKEY_CURRENT_USER, vqsim::audiofx::kKey, vqsim::audiofx::kRequests, REG_SZ, all.c_str(),
                    static_cast<DWORD>((all.size() + 1) * sizeof(wchar_t)));
}

// The value name of a property the driver knows; null for any other.
const wchar_t* ValueOf(const Property& property, std::wstring* name) {
    if (std::memcmp(&property.set, &kSelectionSet, sizeof(GUID)) == 0 && property.id == kSelectionId) {
        *name = L"sel";
        return vqsim::audiofx::kSelection;
    }
    if (std::memcmp(&property.set, &kEffectASet, sizeof(GUID)) == 0 && property.id == kSwitchId) {
        *name = L"A";
        return vqsim::audiofx::kEffectA;
    }
    if (std::memcmp(&property.set, &kEffectBSet, sizeof(GUID)) == 0 && property.id == kSwitchId) {
        *name = L"B";
        return vqsim::audiofx::kEffectB;
    }
    return nullptr;
}

HDEVINFO WINAPI SimGetClassDevs(const GUID* interfaceClass, PCWSTR enumerator, HWND parent, DWORD flags) {
    if (interfaceClass && (flags & DIGCF_DEVICEINTERFACE) && std::memcmp(interfaceClass, &kAudioClass, sizeof(GUID)) == 0) {
        return kAudioList;
    }
    return g_realGetClassDevs(interfaceClass, enumerator, parent, flags);
}

BOOL WINAPI SimEnumInterfaces(HDEVINFO list, PSP_DEVINFO_DATA info, const GUID* interfaceClass, DWORD index,
                              PSP_DEVICE_INTERFACE_DATA data) {
    if (list != kAudioList) return g_realEnumInterfaces(list, info, interfaceClass, index, data);
    if (index != 0 || !data) {
        SetLastError(ERROR_NO_MORE_ITEMS);
        return FALSE;
    }
    data->InterfaceClassGuid = kAudioClass;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = 0;
    return TRUE;
}

BOOL WINAPI SimInterfaceDetail(HDEVINFO list, PSP_DEVICE_INTERFACE_DATA data, PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail,
                               DWORD size, PDWORD needed, PSP_DEVINFO_DATA info) {
    if (list != kAudioList) return g_realInterfaceDetail(list, data, detail, size, needed, info);
    const DWORD bytes = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + sizeof kDevicePath);
    if (needed) *needed = bytes;
    if (!detail || size < bytes) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(detail->DevicePath, kDevicePath, sizeof kDevicePath);
    return TRUE;
}

BOOL WINAPI SimDestroyList(HDEVINFO list) { return list == kAudioList ? TRUE : g_realDestroyList(list); }

HANDLE WINAPI SimCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security, DWORD disposition,
                            DWORD flags, HANDLE tmpl) {
    if (!name || _wcsicmp(name, kDevicePath) != 0) {
        return g_realCreateFile(name, access, share, security, disposition, flags, tmpl);
    }
    // Any handle of our own stands for the device.
    HANDLE device = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!device) return INVALID_HANDLE_VALUE;
    std::lock_guard<std::mutex> lock(g_mutex);
    g_openDevices.insert(device);
    return device;
}

bool IsOurDevice(HANDLE handle) {
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_openDevices.count(handle) != 0;
}

BOOL WINAPI SimIoControl(HANDLE device, DWORD code, LPVOID in, DWORD inSize, LPVOID out, DWORD outSize,
                         LPDWORD returned, LPOVERLAPPED overlapped) {
    if (!IsOurDevice(device)) return g_realIoControl(device, code, in, inSize, out, outSize, returned, overlapped);
    if (returned) *returned = 0;
    if (code != kPropertyIoctl || !in || inSize < sizeof(Property) || !out || outSize < sizeof(ULONG)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Property property{};
    std::memcpy(&property, in, sizeof property);
    std::wstring name;
    const wchar_t* value = ValueOf(property, &name);
    if (!value) {
        SetLastError(ERROR_NOT_FOUND);
        return FALSE;
    }
    ULONG data = 0;
    if (property.flags == kGet) {
        data = ReadValue(value);
        std::memcpy(out, &data, sizeof data);
        if (returned) *returned = sizeof data;
        Record(L"get " + name);
        return TRUE;
    }
    if (property.flags == kSet) {
        std::memcpy(&data, out, sizeof data);
        WriteValue(value, data);
        Record(L"set " + name + L"=" + std::to_wstring(data));
        return TRUE;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
}

BOOL WINAPI SimCloseHandle(HANDLE handle) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_openDevices.erase(handle);
    }
    return g_realCloseHandle(handle);
}

template <typename Fn>
Fn Find(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void Install() {
    HMODULE setupapi = LoadLibraryW(L"setupapi.dll");
    HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (!setupapi || !kernel32) return;
    g_realGetClassDevs = Find<GetClassDevsFn>(setupapi, "SetupDiGetClassDevsW");
    g_realEnumInterfaces = Find<EnumInterfacesFn>(setupapi, "SetupDiEnumDeviceInterfaces");
    g_realInterfaceDetail = Find<InterfaceDetailFn>(setupapi, "SetupDiGetDeviceInterfaceDetailW");
    g_realDestroyList = Find<DestroyListFn>(setupapi, "SetupDiDestroyDeviceInfoList");
    g_realCreateFile = Find<CreateFileFn>(kernel32, "CreateFileW");
    g_realIoControl = Find<IoControlFn>(kernel32, "DeviceIoControl");
    g_realCloseHandle = Find<CloseHandleFn>(kernel32, "CloseHandle");
    if (!g_realGetClassDevs || !g_realEnumInterfaces || !g_realInterfaceDetail || !g_realDestroyList ||
        !g_realCreateFile || !g_realIoControl || !g_realCloseHandle) {
        return;
    }
    const auto entry = [](auto real, auto sim) {
        return vqsim::Replacement{reinterpret_cast<void*>(real), reinterpret_cast<void*>(sim)};
    };
    const vqsim::Replacement replacements[] = {
        entry(g_realGetClassDevs, &SimGetClassDevs),     entry(g_realEnumInterfaces, &SimEnumInterfaces),
        entry(g_realInterfaceDetail, &SimInterfaceDetail), entry(g_realDestroyList, &SimDestroyList),
        entry(g_realCreateFile, &SimCreateFile),         entry(g_realIoControl, &SimIoControl),
        entry(g_realCloseHandle, &SimCloseHandle),
    };
    vqsim::PatchImports(GetModuleHandleW(nullptr), replacements, sizeof replacements / sizeof replacements[0]);
}

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        Install();
    }
    return TRUE;
}
