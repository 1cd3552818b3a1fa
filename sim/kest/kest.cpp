// Stand-in for the notebook maker's firmware interface library, built as
// KEST2.dll and KEST3.dll (and as builds lacking one export, for tests). It
// simulates a notebook whose whole state lives in the registry key of
// firmwarestore.h, so that tests and the demo can set it up before a run and
// read it afterwards. See README.md.
#include <windows.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "firmwarestore.h"

namespace {
using vqsim::FirmwareStore;
namespace value = vqsim::value;
namespace stock = vqsim::stock;

constexpr int kOk = 0;
constexpr int kFunctionNotSupported = 3;
constexpr int kNotInitialised = 8;
constexpr size_t kBlockBytes = 65536;
constexpr size_t kCallDataBytes = 11;

HMODULE g_module = nullptr;
bool g_initialised = false;

std::string Narrow(const std::wstring& text) {
    std::string narrow;
    for (wchar_t c : text) narrow.push_back(static_cast<char>(c & 0xFF));
    return narrow;
}

std::wstring Hex(WORD number) {
    wchar_t text[16];
    wsprintfW(text, L"0x%02x", number);
    return text;
}

#ifndef VQSIM_WITHOUT_BIOS_DATA
// Writes `text` (cut to `length` bytes) at `offset`, dropping what falls
// outside the block, as a record near the end of the firmware's area would.
void Place(BYTE* block, size_t offset, const std::string& text, size_t length) {
    for (size_t i = 0; i < text.size() && i < length && offset + i < kBlockBytes; ++i) {
        block[offset + i] = static_cast<BYTE>(text[i]);
    }
}

void PlaceRecord(BYTE* block, DWORD offset, const char* tag, const std::string& content, size_t contentLength) {
    if (offset == vqsim::kNoRecord || offset >= kBlockBytes) return;
    Place(block, offset, tag, std::strlen(tag));
    Place(block, offset + 11, content, contentLength);
}
#endif

// A scripted fault "N K" of the command: answer error code N for the next K
// calls (K below 0: every call). Returns the code to answer, or 0.
int TakeFault(WORD command) {
    const FirmwareStore faults(vqsim::kFaultsKey);
    const std::wstring name = vqsim::FaultName(command);
    const std::wstring script = faults.ReadText(name.c_str(), L"");
    if (script.empty()) return 0;
    wchar_t* rest = nullptr;
    const long code = std::wcstol(script.c_str(), &rest, 0);
    const long count = *rest ? std::wcstol(rest, nullptr, 0) : 1;
    if (count == 0) return 0;
    if (count > 0) {
        if (count == 1) faults.Remove(name.c_str());
        else faults.WriteText(name.c_str(), std::to_wstring(code) + L" " + std::to_wstring(count - 1));
    }
    return static_cast<int>(code);
}

int ReadByte(const FirmwareStore& store, const wchar_t* name, DWORD fallback, BYTE* data) {
    data[0] = static_cast<BYTE>(store.ReadDword(name, fallback));
    return kOk;
}

int WriteByte(const FirmwareStore& store, const wchar_t* name, BYTE data, BYTE highest) {
    if (data > highest) return kFunctionNotSupported;
    store.WriteDword(name, data);
    return kOk;
}

int Presence(const FirmwareStore& store, BYTE data) {
    if (data != 2 && data != 3 && data != 130 && data != 131) return kFunctionNotSupported;
    store.AppendEntry(value::kHandshakes, L"9/" + std::to_wstring(data));
    return kOk;
}

int ModelName(const FirmwareStore& store, BYTE* data) {
    const std::string name = Narrow(store.ReadText(value::kModelName, stock::kModelName));
    std::memcpy(data, name.c_str(), name.size() < kCallDataBytes ? name.size() : kCallDataBytes);
    return kOk;
}

int GetWireless(const FirmwareStore& store, BYTE* data) {
    data[0] = static_cast<BYTE>(store.ReadDword(value::kWireless, stock::kWireless));
    data[1] = static_cast<BYTE>(store.ReadDword(value::kWireless2, 0));
    return kOk;
}

int SetWireless(const FirmwareStore& store, const BYTE* data) {
    if (data[0] > 1) return kFunctionNotSupported;
    store.WriteDword(value::kWireless, data[0]);
    if (store.ReadDword(value::kWirelessForm, stock::kWirelessForm) == 2) store.WriteDword(value::kWireless2, data[1]);
    return kOk;
}

int GetRadios(const FirmwareStore& store, BYTE* data) {
    data[0] = static_cast<BYTE>(store.ReadDword(value::kRadio1, 0));
    data[1] = static_cast<BYTE>(store.ReadDword(value::kRadio2, 0));
    data[2] = static_cast<BYTE>(store.ReadDword(value::kRadio3, 0));
    const DWORD invalid = store.ReadDword(value::kInvalidRadioAnswers, 0);
    if (invalid > 0) {
        data[0] = static_cast<BYTE>(store.ReadDword(value::kInvalidRadioByte, stock::kInvalidRadioByte));
        store.WriteDword(value::kInvalidRadioAnswers, invalid - 1);
    }
    return kOk;
}

int SetRadios(const FirmwareStore& store, const BYTE* data) {
    store.WriteDword(value::kRadio1, data[0]);
    store.WriteDword(value::kRadio2, data[1]);
    store.WriteDword(value::kRadio3, data[2]);
    return kOk;
}

int Dispatch(const FirmwareStore& store, WORD command, BYTE* data) {
    switch (command) {
    case 0x04: return ModelName(store, data);
    case 0x09: return Presence(store, data[0]);
    case 0x10: return ReadByte(store, value::kBrightness, stock::kBrightness, data);
    case 0x11: return data[0] >= 1 ? WriteByte(store, value::kBrightness, data[0], 8) : kFunctionNotSupported;
    case 0x12: return GetWireless(store, data);
    case 0x13: return SetWireless(store, data);
    case 0x2D: return ReadByte(store, value::kBacklight, 1, data);
    case 0x2E: return WriteByte(store, value::kBacklight, data[0], 1);
    case 0x31: return ReadByte(store, value::kEtiquette, 0, data);
    case 0x32: return WriteByte(store, value::kEtiquette, data[0], 1);
    case 0x37: return ReadByte(store, value::kDisplays, stock::kDisplays, data);
    case 0x69: return GetRadios(store, data);
    case 0x6A: return SetRadios(store, data);
    default: return kFunctionNotSupported;
    }
}
}  // namespace

extern "C" __declspec(dllexport) std::int32_t WINAPI InitBIOSInterface() {
    const FirmwareStore store;
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_module, path, MAX_PATH);
    const wchar_t* name = wcsrchr(path, L'\\');
    store.WriteText(value::kLibrary, name ? name + 1 : path);
    const int code = static_cast<int>(store.ReadDword(value::kInitError, 0));
    g_initialised = code == 0;
    return code;
}

#ifndef VQSIM_WITHOUT_BIOS_DATA
extern "C" __declspec(dllexport) std::int32_t WINAPI GetBiosDataThroughDrvr(std::uint8_t* block) {
    if (!block) return 1;
    const FirmwareStore store;
    PlaceRecord(block, store.ReadDword(value::kModelOffset, stock::kModelOffset), "DiaG@",
                Narrow(store.ReadText(value::kModel, stock::kModel)), 5);
    PlaceRecord(block, store.ReadDword(value::kSignatureOffset, stock::kSignatureOffset), "$KORVANEPC",
                Narrow(store.ReadText(value::kSignature, stock::kSignature)), 32);
    return 0;
}
#endif

extern "C" __declspec(dllexport) std::int32_t WINAPI CallBIOSInterface(std::uint16_t command, std::uint8_t* data) {
    const FirmwareStore store;
    store.AppendEntry(value::kCalls, Hex(command));
    if (!data) return kFunctionNotSupported;
    if (const int fault = TakeFault(command)) return fault;
    if (!g_initialised) return kNotInitialised;
    return Dispatch(store, command, data);
}

#ifndef VQSIM_WITHOUT_ERROR_TEXT
extern "C" __declspec(dllexport) std::int32_t WINAPI GetKestErrorMsgW(std::int32_t code, wchar_t* text, std::int32_t length) {
    if (!text || length <= 0) return 0;
    wchar_t message[64];
    wsprintfW(message, L"KEST error %d", code);
    lstrcpynW(text, message, length);
    return 1;
}
#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) g_module = instance;
    return TRUE;
}
