#include "common/settingsstore.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "common/commondefine.h"

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
    if (!section || !*section) return ApplicationKeyPath();
    return ApplicationKeyPath() + L"\\" + section;
}

bool OpenMachineKey(const wchar_t* path, REGSAM access, RegKey& key) {
    const LSTATUS error = RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, access, key.out());
    if (error == ERROR_SUCCESS) return true;
    ReportError(L"ERROR : Cannot access to Registry", static_cast<unsigned long>(error));
    return false;
}

bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// A text fits when a terminating NUL lies inside the bytes read.
bool TextEndsInside(const std::vector<BYTE>& data, DWORD size) {
    const auto* text = reinterpret_cast<const wchar_t*>(data.data());
    for (DWORD i = 0; i < size / sizeof(wchar_t); ++i) {
        if (text[i] == L'\0') return true;
    }
    return false;
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

IntState ReadIntState(const wchar_t* section, const wchar_t* name, int* value) {
    RegKey key;
    if (!OpenSection(section, key)) return IntState::Absent;
    DWORD type = 0, data = 0, size = sizeof data;
    const LSTATUS error =
        RegQueryValueExW(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    if (error == ERROR_FILE_NOT_FOUND) return IntState::Absent;
    if (error != ERROR_SUCCESS || type != REG_DWORD || size != sizeof data) return IntState::Unreadable;
    *value = static_cast<int>(data);
    return IntState::Present;
}

int ReadInt(const wchar_t* section, const wchar_t* name, int defaultValue) {
    int value = defaultValue;
    ReadIntState(section, name, &value);
    return value;
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

bool ReadMachineValue(const wchar_t* path, const wchar_t* name, void* buffer, DWORD size, DWORD type) {
    if (!buffer || size == 0) return false;
    RegKey key;
    if (!OpenMachineKey(path, KEY_QUERY_VALUE, key)) return false;
    // Read into a buffer of our own (one spare NUL), so that the caller's stays untouched on failure.
    std::vector<BYTE> data(size + sizeof(wchar_t), 0);
    DWORD storedType = 0, read = size;
    if (RegQueryValueExW(key.get(), name, nullptr, &storedType, data.data(), &read) != ERROR_SUCCESS ||
        storedType != type) {
        return false;
    }
    if (type == REG_DWORD && read != size) return false;
    if (IsText(type) && !TextEndsInside(data, size)) return false;
    std::copy(data.begin(), data.begin() + size, static_cast<BYTE*>(buffer));
    return true;
}

bool WriteMachineValue(const wchar_t* path, const wchar_t* name, const void* data, DWORD size, DWORD type) {
    RegKey key;
    if (!OpenMachineKey(path, KEY_SET_VALUE, key)) return false;
    return RegSetValueExW(key.get(), name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
}

}  // namespace settings
