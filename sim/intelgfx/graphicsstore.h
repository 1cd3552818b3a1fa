// The simulated notebook's graphics state: one registry key of the user,
// HKCU\Software\VqSim\Graphics, read and written by the stand-in component at
// every call and by tests and the demo around a run (see README.md).
// Header only, so that the component and the test helper share one layout.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace vqsim::graphics {

inline constexpr wchar_t kGraphicsKey[] = L"Software\\VqSim\\Graphics";
inline constexpr wchar_t kFaultsKey[] = L"Software\\VqSim\\Graphics\\Faults";

inline constexpr wchar_t kProgId[] = L"IgfxExt.CUIExternal";
// The stand-in's own class identifier.
inline constexpr wchar_t kClsidText[] = L"{5C1D2A7E-93B4-4F0A-8E61-2B7F0C9D4A13}";
inline constexpr CLSID kClsid = {0x5C1D2A7E, 0x93B4, 0x4F0A, {0x8E, 0x61, 0x2B, 0x7F, 0x0C, 0x9D, 0x4A, 0x13}};

// The outputs of the notebook: the component's device type, the value-name
// stem of its state and its stock device id.
struct Output {
    std::uint32_t type;        // 1 CRT, 2 panel, 3 HDMI, 4 TV
    const wchar_t* name;       // "Panel", "Crt", "Hdmi", "Tv"
    std::uint32_t deviceBit;   // 0x01 panel, 0x02 CRT, 0x04 TV, 0x08 HDMI
    std::uint32_t stockId;
};
// In the order the component lists them behind a display.
inline constexpr Output kOutputs[] = {
    {1, L"Crt", 0x02, 0x80000100},
    {2, L"Panel", 0x01, 0x80000400},
    {3, L"Hdmi", 0x08, 0x80000300},
    {4, L"Tv", 0x04, 0x80000200},
};

// Device states the enumeration answers.
namespace state {
inline constexpr std::uint32_t kNotConnected = 1;
inline constexpr std::uint32_t kConnected = 2;
inline constexpr std::uint32_t kActive = 3;
}  // namespace state

// Value names of the state (REG_DWORD unless said). Per output, the stem
// from kOutputs followed by one of the suffixes.
namespace value {
inline constexpr wchar_t kConnectedSuffix[] = L"Connected";  // 0/1 (panel 1, others 0)
inline constexpr wchar_t kIdSuffix[] = L"Id";                // device id (stock ids above)
inline constexpr wchar_t kRotationSuffix[] = L"Rotation";    // rotation index 0..3 (0)
inline constexpr wchar_t kDisplay1[] = L"Display1";          // device bits shown on \\.\DISPLAY1 (0x01)
inline constexpr wchar_t kDisplay2[] = L"Display2";          // device bit shown on \\.\DISPLAY2 (0)
inline constexpr wchar_t kOptimalWidth[] = L"OptimalWidth";  // (1366)
inline constexpr wchar_t kOptimalHeight[] = L"OptimalHeight";  // (768)
inline constexpr wchar_t kOptimalValid[] = L"OptimalValid";  // 0: the optimal size is not reported (1)
inline constexpr wchar_t kDownScalingSupported[] = L"DownScalingSupported";  // (1)
inline constexpr wchar_t kDownScalingEnabled[] = L"DownScalingEnabled";      // (0)
inline constexpr wchar_t kDownScalingWidth[] = L"DownScalingWidth";          // written
inline constexpr wchar_t kDownScalingHeight[] = L"DownScalingHeight";        // written
inline constexpr wchar_t kDesktop[] = L"Desktop";              // REG_SZ, written: what the desktop shows
inline constexpr wchar_t kDesktopResult[] = L"DesktopResult";  // written: last display change result
inline constexpr wchar_t kJournal[] = L"Journal";              // REG_SZ, written: one call a line
inline constexpr wchar_t kLibrary[] = L"Library";              // REG_SZ, written: file of the loaded component
}  // namespace value

namespace stock {
inline constexpr DWORD kDisplay1 = 0x01;
inline constexpr DWORD kOptimalWidth = 1366;
inline constexpr DWORD kOptimalHeight = 768;
}  // namespace stock

inline constexpr size_t kMaxJournalChars = 60000;  // the journal keeps its newest lines
inline constexpr DWORD kAlways = 0xFFFFFFFF;        // a fault count that never runs out

class GraphicsStore {
public:
    explicit GraphicsStore(const wchar_t* path = kGraphicsKey) : m_path(path) {}

    DWORD ReadDword(const std::wstring& name, DWORD fallback) const {
        DWORD data = 0, size = sizeof data;
        if (RegGetValueW(HKEY_CURRENT_USER, m_path, name.c_str(), RRF_RT_REG_DWORD, nullptr, &data, &size) !=
            ERROR_SUCCESS) {
            return fallback;
        }
        return data;
    }
    bool WriteDword(const std::wstring& name, DWORD data) const {
        return RegSetKeyValueW(HKEY_CURRENT_USER, m_path, name.c_str(), REG_DWORD, &data, sizeof data) ==
               ERROR_SUCCESS;
    }
    std::wstring ReadText(const std::wstring& name) const {
        DWORD size = 0;
        if (RegGetValueW(HKEY_CURRENT_USER, m_path, name.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size) !=
            ERROR_SUCCESS) {
            return L"";
        }
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        if (RegGetValueW(HKEY_CURRENT_USER, m_path, name.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &size) !=
            ERROR_SUCCESS) {
            return L"";
        }
        text.resize(wcsnlen(text.c_str(), text.size()));
        return text;
    }
    bool WriteText(const std::wstring& name, const std::wstring& text) const {
        return RegSetKeyValueW(HKEY_CURRENT_USER, m_path, name.c_str(), REG_SZ, text.c_str(),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    // Appends one line to the journal, keeping its newest lines.
    void AppendJournal(const std::wstring& line) const {
        std::wstring journal = ReadText(value::kJournal) + line + L"\n";
        if (journal.size() > kMaxJournalChars) {
            const size_t cut = journal.find(L'\n', journal.size() - kMaxJournalChars);
            journal.erase(0, cut == std::wstring::npos ? 0 : cut + 1);
        }
        WriteText(value::kJournal, journal);
    }
    // Every value of the key (the faults too): the stock notebook again.
    static void ResetAll() { RegDeleteTreeW(HKEY_CURRENT_USER, kGraphicsKey); }

private:
    const wchar_t* m_path;
};

// Per-output value names.
inline std::wstring OutputValue(const Output& output, const wchar_t* suffix) {
    return std::wstring(output.name) + suffix;
}

}  // namespace vqsim::graphics
