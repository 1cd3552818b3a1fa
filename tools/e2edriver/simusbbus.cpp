#include "simusbbus.h"

#include "vqdrive.h"

namespace vqdrive::usbbus {

void SetDevices(const std::vector<std::wstring>& ids) {
    std::wstring list;
    for (const std::wstring& id : ids) list += id + L'\0';
    list += L'\0';
    RegSetKeyValueW(HKEY_CURRENT_USER, vqsim::usbbus::kKey, vqsim::usbbus::kDevices, REG_MULTI_SZ, list.data(),
                    static_cast<DWORD>(list.size() * sizeof(wchar_t)));
}

DWORD Answered() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueW(HKEY_CURRENT_USER, vqsim::usbbus::kKey, vqsim::usbbus::kAnswered, RRF_RT_REG_DWORD, nullptr,
                     &value, &size) != ERROR_SUCCESS) {
        return 0;
    }
    return value;
}

void SetNoAnswer(bool noAnswer) {
    const DWORD value = noAnswer ? 1 : 0;
    RegSetKeyValueW(HKEY_CURRENT_USER, vqsim::usbbus::kKey, vqsim::usbbus::kNoAnswer, REG_DWORD, &value, sizeof value);
}

void Reset() { RegDeleteTreeW(HKEY_CURRENT_USER, vqsim::usbbus::kKey); }

std::wstring LibraryPath() { return ProgramFolder() + vqsim::usbbus::kLibrary; }

}  // namespace vqdrive::usbbus
