#include "freechecking.h"

namespace {
constexpr wchar_t kOptionsPath[] = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\";
constexpr wchar_t kGlobalFlag[] = L"GlobalFlag";
}  // namespace

FreeCheckingForProgram::FreeCheckingForProgram(std::wstring exeName) : m_keyPath(kOptionsPath + exeName) {
    HKEY key = nullptr;
    m_keyExisted = RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS;
    if (m_keyExisted) {
        DWORD flags = 0, size = sizeof flags, type = 0;
        if (RegQueryValueExW(key, kGlobalFlag, nullptr, &type, reinterpret_cast<BYTE*>(&flags), &size) ==
                ERROR_SUCCESS &&
            type == REG_DWORD) {
            m_savedFlags = flags;
        }
        RegCloseKey(key);
    }
    const DWORD flags = kHeapChecks;
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), kGlobalFlag, REG_DWORD, &flags, sizeof flags);
}

FreeCheckingForProgram::~FreeCheckingForProgram() {
    if (!m_keyExisted) {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, m_keyPath.c_str());
    } else if (m_savedFlags) {
        const DWORD flags = *m_savedFlags;
        RegSetKeyValueW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), kGlobalFlag, REG_DWORD, &flags, sizeof flags);
    } else {
        RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), kGlobalFlag);
    }
}

bool FreeCheckingForProgram::Active() const {
    DWORD flags = 0, size = sizeof flags;
    return RegGetValueW(HKEY_LOCAL_MACHINE, m_keyPath.c_str(), kGlobalFlag, RRF_RT_REG_DWORD, nullptr, &flags,
                        &size) == ERROR_SUCCESS &&
           flags == kHeapChecks;
}
