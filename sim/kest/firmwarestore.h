// The simulated notebook's firmware state: one registry key of the user,
// HKCU\Software\VqSim\Firmware, read and written by the stand-in library at
// every call and by tests and the demo around a run (see README.md).
// Header only, so that the library and the test helper share one layout.
#pragma once

#include <windows.h>

#include <string>

namespace vqsim {

inline constexpr wchar_t kFirmwareKey[] = L"Software\\VqSim\\Firmware";
inline constexpr wchar_t kFaultsKey[] = L"Software\\VqSim\\Firmware\\Faults";

// Value names of the state (REG_DWORD unless said).
namespace value {
inline constexpr wchar_t kModel[] = L"Model";                    // REG_SZ, up to 5 characters
inline constexpr wchar_t kModelOffset[] = L"ModelOffset";        // 0xFFFFFFFF: no record
inline constexpr wchar_t kSignature[] = L"Signature";            // REG_SZ, up to 32 characters
inline constexpr wchar_t kSignatureOffset[] = L"SignatureOffset";  // 0xFFFFFFFF: no record
inline constexpr wchar_t kModelName[] = L"ModelName";            // REG_SZ, command 4, up to 10
inline constexpr wchar_t kInitError[] = L"InitError";
inline constexpr wchar_t kBrightness[] = L"Brightness";
inline constexpr wchar_t kWireless[] = L"Wireless";
inline constexpr wchar_t kWireless2[] = L"Wireless2";
inline constexpr wchar_t kWirelessForm[] = L"WirelessForm";
inline constexpr wchar_t kBacklight[] = L"Backlight";
inline constexpr wchar_t kEtiquette[] = L"Etiquette";
inline constexpr wchar_t kDisplays[] = L"Displays";
inline constexpr wchar_t kRadio1[] = L"Radio1";
inline constexpr wchar_t kRadio2[] = L"Radio2";
inline constexpr wchar_t kRadio3[] = L"Radio3";
inline constexpr wchar_t kInvalidRadioAnswers[] = L"InvalidRadioAnswers";
inline constexpr wchar_t kInvalidRadioByte[] = L"InvalidRadioByte";
inline constexpr wchar_t kHandshakes[] = L"Handshakes";  // REG_SZ, "9/3 9/2 ..."
inline constexpr wchar_t kCalls[] = L"Calls";            // REG_SZ, "0x69 0x6a ..."
inline constexpr wchar_t kLibrary[] = L"Library";        // REG_SZ, file name of the library
}  // namespace value

// Defaults of the stock notebook (an absent value reads as these).
namespace stock {
inline constexpr wchar_t kModel[] = L"R20K1";
inline constexpr wchar_t kModelName[] = L"R20K1-VQ";
inline constexpr wchar_t kSignature[] = L"KORVANE NOTEBOOK";
inline constexpr DWORD kModelOffset = 0x100;
inline constexpr DWORD kSignatureOffset = 0x200;
inline constexpr DWORD kBrightness = 5;
inline constexpr DWORD kWireless = 1;
inline constexpr DWORD kWirelessForm = 1;
inline constexpr DWORD kDisplays = 1;
inline constexpr DWORD kInvalidRadioByte = 0x80;
}  // namespace stock

inline constexpr DWORD kNoRecord = 0xFFFFFFFF;
inline constexpr size_t kMaxLogChars = 4000;  // the call log keeps its newest part

class FirmwareStore {
public:
    explicit FirmwareStore(const wchar_t* path = kFirmwareKey) : m_path(path) {}

    DWORD ReadDword(const wchar_t* name, DWORD fallback) const {
        DWORD data = 0, size = sizeof data, type = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, m_path, name, RRF_RT_REG_DWORD, &type, &data, &size) != ERROR_SUCCESS) {
            return fallback;
        }
        return data;
    }
    bool WriteDword(const wchar_t* name, DWORD data) const {
        return RegSetKeyValueW(HKEY_CURRENT_USER, m_path, name, REG_DWORD, &data, sizeof data) == ERROR_SUCCESS;
    }
    std::wstring ReadText(const wchar_t* name, const wchar_t* fallback) const {
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, m_path, name, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS) {
            return fallback;
        }
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegGetValueW(HKEY_CURRENT_USER, m_path, name, RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
            ERROR_SUCCESS) {
            return fallback;
        }
        text.resize(wcsnlen(text.c_str(), text.size()));
        return text;
    }
    bool WriteText(const wchar_t* name, const std::wstring& text) const {
        return RegSetKeyValueW(HKEY_CURRENT_USER, m_path, name, REG_SZ, text.c_str(),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    // Appends one entry to a space-separated log value, keeping its newest part.
    void AppendEntry(const wchar_t* name, const std::wstring& entry) const {
        std::wstring log = ReadText(name, L"");
        if (!log.empty()) log += L' ';
        log += entry;
        if (log.size() > kMaxLogChars) {
            const size_t cut = log.find(L' ', log.size() - kMaxLogChars);
            log.erase(0, cut == std::wstring::npos ? 0 : cut + 1);
        }
        WriteText(name, log);
    }
    bool Remove(const wchar_t* name) const {
        return RegDeleteKeyValueW(HKEY_CURRENT_USER, m_path, name) == ERROR_SUCCESS;
    }
    // Every value of the key (the faults too): the stock notebook again.
    static void ResetAll() { RegDeleteTreeW(HKEY_CURRENT_USER, kFirmwareKey); }

private:
    const wchar_t* m_path;
};

// Name of a command's fault value below kFaultsKey: its number in hex, "0x69".
inline std::wstring FaultName(WORD command) {
    wchar_t name[16];
    wsprintfW(name, L"0x%02x", command);
    return name;
}

}  // namespace vqsim
