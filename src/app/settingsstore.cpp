#include "app/settingsstore.h"

#include <windows.h>

#include <vector>

namespace settings {

namespace {
std::wstring& StoredApplicationName() {
    static std::wstring name = L"vqhkcore";
    return name;
}

class RegKey {
public:
    RegKey() = default;
    ~RegKey() { if (key_) RegCloseKey(key_); }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* out() { return &key_; }
    HKEY get() const { return key_; }
private:
    HKEY key_ = nullptr;
};

std::wstring SectionPath(const wchar_t* section) {
    return ApplicationKeyPath() + L"\\" + section;
}

bool OpenSection(const wchar_t* section, RegKey& key) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, KEY_READ, key.out()) ==
           ERROR_SUCCESS;
}

bool CreateSection(const wchar_t* section, RegKey& key) {
    return RegCreateKeyExW(HKEY_CURRENT_USER, SectionPath(section).c_str(), 0, nullptr, 0, KEY_WRITE,
                           nullptr, key.out(), nullptr) == ERROR_SUCCESS;
}
}  // namespace

void SetApplicationName(std::wstring name) { StoredApplicationName() = std::move(name); }
const std::wstring& ApplicationName() { return StoredApplicationName(); }
std::wstring ApplicationKeyPath() { return L"Software\\Korvane\\" + ApplicationName(); }

int ReadInt(const wchar_t* section, const wchar_t* name, int defaultValue) {
    RegKey key;
    if (!OpenSection(section, key)) return defaultValue;
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
            ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof value) {
        return defaultValue;
    }
    return static_cast<int>(value);
}

std::wstring ReadText(const wchar_t* section, const wchar_t* name, const wchar_t* defaultValue) {
    RegKey key;
    if (!OpenSection(section, key)) return defaultValue;
    DWORD type = 0, size = 0;
    if (RegQueryValueExW(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ) || size > 1024 * 1024) {
        return defaultValue;
    }
    std::vector<wchar_t> buffer(size / sizeof(wchar_t) + 1, L'\0');
    DWORD readSize = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &readSize) != ERROR_SUCCESS) {
        return defaultValue;
    }
    return std::wstring(buffer.data());  // stops at the first NUL, stored or added
}

bool WriteInt(const wchar_t* section, const wchar_t* name, int value) {
    RegKey key;
    if (!CreateSection(section, key)) return false;
    const DWORD data = static_cast<DWORD>(value);
    return RegSetValueExW(key.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

bool WriteText(const wchar_t* section, const wchar_t* name, const std::wstring& value) {
    RegKey key;
    if (!CreateSection(section, key)) return false;
    return RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

}  // namespace settings
