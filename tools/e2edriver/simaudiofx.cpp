#include "simaudiofx.h"

#include "vqdrive.h"

namespace vqdrive::audiofx {

void Reset() { RegDeleteTreeW(HKEY_CURRENT_USER, vqsim::audiofx::kKey); }

DWORD Value(const wchar_t* name) {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::audiofx::kKey, name, RRF_RT_REG_DWORD, nullptr, &value, &size) !=
        ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

std::wstring Requests() {
    wchar_t text[4000] = {};
    DWORD size = sizeof text - sizeof(wchar_t);
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::audiofx::kKey, vqsim::audiofx::kRequests, RRF_RT_REG_SZ, nullptr, text,
                     &size) != ERROR_SUCCESS) {
        return {};
    }
    return text;
}

std::wstring LibraryPath() { return ProgramFolder() + vqsim::audiofx::kLibrary; }

}  // namespace vqdrive::audiofx
