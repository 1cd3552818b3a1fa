#include "simmonitors.h"

#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <algorithm>

namespace vqdrive {

namespace {

// The monitor device class.
constexpr GUID kMonitorClass = {0x4D36E96E, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
constexpr wchar_t kInstanceSuffix[] = L"\\VQSIM&0000";

class DeviceList {
public:
    explicit DeviceList(HDEVINFO set) : m_set(set) {}
    ~DeviceList() {
        if (valid()) SetupDiDestroyDeviceInfoList(m_set);
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    bool valid() const { return m_set != INVALID_HANDLE_VALUE && m_set != nullptr; }
    HDEVINFO get() const { return m_set; }

private:
    HDEVINFO m_set;
};

// The system error of the registration, ERROR_SUCCESS when the device is registered.
DWORD RegisterDevice(const std::wstring& deviceId, const std::wstring& description) {
    DeviceList list(SetupDiCreateDeviceInfoList(&kMonitorClass, nullptr));
    if (!list.valid()) return GetLastError();
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiCreateDeviceInfoW(list.get(), deviceId.c_str(), &kMonitorClass, description.c_str(), nullptr, 0,
                                  &device) ||
        !SetupDiRegisterDeviceInfo(list.get(), &device, 0, nullptr, nullptr, nullptr)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

bool RemoveDevice(const std::wstring& deviceId) {
    DeviceList list(SetupDiCreateDeviceInfoList(&kMonitorClass, nullptr));
    if (!list.valid()) return false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiOpenDeviceInfoW(list.get(), deviceId.c_str(), nullptr, 0, &device)) return false;
    return SetupDiRemoveDevice(list.get(), &device) != FALSE;
}

}  // namespace

SimulatedMonitors::~SimulatedMonitors() { DetachAll(); }

std::wstring SimulatedMonitors::DeviceId(const std::wstring& hardwareName) {
    return Identifier(hardwareName) + kInstanceSuffix;
}

std::wstring SimulatedMonitors::Identifier(const std::wstring& hardwareName) { return L"DISPLAY\\" + hardwareName; }

bool SimulatedMonitors::Attach(const std::wstring& hardwareName) {
    const std::wstring id = DeviceId(hardwareName);
    const std::wstring description = L"Simulated monitor " + hardwareName;
    const DWORD error = RegisterDevice(id, description);
    if (error != ERROR_SUCCESS) {
        // Left behind by a run that ended early: take it over.
        if (error != ERROR_DEVINST_ALREADY_EXISTS || !RemoveDevice(id) ||
            RegisterDevice(id, description) != ERROR_SUCCESS) {
            return false;
        }
    }
    m_attached.push_back(hardwareName);
    return true;
}

bool SimulatedMonitors::Detach(const std::wstring& hardwareName) {
    const auto it = std::find(m_attached.begin(), m_attached.end(), hardwareName);
    if (it == m_attached.end() || !RemoveDevice(DeviceId(hardwareName))) return false;
    m_attached.erase(it);
    return true;
}

bool SimulatedMonitors::Swap(const std::wstring& attached, const std::wstring& replacement) {
    return Detach(attached) && Attach(replacement);
}

void SimulatedMonitors::DetachAll() {
    while (!m_attached.empty()) {
        RemoveDevice(DeviceId(m_attached.back()));
        m_attached.pop_back();
    }
}

std::vector<std::wstring> SimulatedMonitors::MonitorDeviceIds() {
    std::vector<std::wstring> ids;
    DeviceList list(SetupDiGetClassDevsW(&kMonitorClass, nullptr, nullptr, 0));
    if (!list.valid()) return ids;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(list.get(), i, &device); ++i) {
        wchar_t id[MAX_DEVICE_ID_LEN] = {};
        if (SetupDiGetDeviceInstanceIdW(list.get(), &device, id, MAX_DEVICE_ID_LEN, nullptr)) ids.emplace_back(id);
    }
    return ids;
}

}  // namespace vqdrive
