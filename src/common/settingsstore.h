// The application's per-user settings:
// HKEY_CURRENT_USER\Software\Korvane\<application name>\<section>, integers as
// REG_DWORD and texts as REG_SZ. Reads never fail: an absent value, or one of
// the wrong type or size, gives the caller's default. An empty section is the
// application key itself.
#pragma once

#include <windows.h>

#include <string>

#include "common/settingsindex.h"

namespace settings {

// The application's name under the registry key "Korvane": the executable's
// base name. Set once at start; "vqhkcore" until then.
void SetApplicationName(std::wstring name);
const std::wstring& ApplicationName();
// HKEY_CURRENT_USER-relative key of the application: "Software\Korvane\vqhkcore".
std::wstring ApplicationKeyPath();

int ReadInt(const wchar_t* section, const wchar_t* name, int defaultValue);
// The same, telling an absent value (or section) from one of another type or
// size; `*value` is set only when the value is present.
enum class IntState { Absent, Unreadable, Present };
IntState ReadIntState(const wchar_t* section, const wchar_t* name, int* value);
std::wstring ReadText(const wchar_t* section, const wchar_t* name, const wchar_t* defaultValue);
bool WriteInt(const wchar_t* section, const wchar_t* name, int value);
bool WriteText(const wchar_t* section, const wchar_t* name, const std::wstring& value);

inline int ReadInt(const IntSetting& s) { return ReadInt(s.section, s.name, s.defaultValue); }
inline std::wstring ReadText(const TextSetting& s) { return ReadText(s.section, s.name, s.defaultValue); }
inline bool WriteInt(const IntSetting& s, int value) { return WriteInt(s.section, s.name, value); }
inline bool WriteText(const TextSetting& s, const std::wstring& value) {
    return WriteText(s.section, s.name, value);
}

// A value at a path below HKEY_LOCAL_MACHINE. Reading wants exactly `type`
// and at most `size` bytes (exactly `size` for REG_DWORD); texts must end
// inside the buffer. Writing stores `size` bytes of `type`. Both return false
// and leave the output unchanged on failure; a key that cannot be opened is
// reported as "ERROR : Cannot access to Registry".
bool ReadMachineValue(const wchar_t* path, const wchar_t* name, void* buffer, DWORD size,
                      DWORD type = REG_DWORD);
bool WriteMachineValue(const wchar_t* path, const wchar_t* name, const void* data, DWORD size,
                       DWORD type = REG_DWORD);

}  // namespace settings
