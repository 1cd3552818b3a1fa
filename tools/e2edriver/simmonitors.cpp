#include "simmonitors.h"

#include <windows.h>
#include <setupapi.h>
#include <cfgmgr32.h>

#include <algorithm>
#include <cwchar>

namespace vqdrive {

namespace {

// The monitor device class.
constexpr GUID kMonitorClass = {0x4D36E96E, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
// The class of the monitors plugged into the simulated outputs. Wine's own
// display code walks every device of the monitor class and expects each to
// belong to one of its adapters (QueryDisplayConfig answers 31 otherwise), so
// they are registered in a class of their own; the management
// instrumentation lists them by their device id (DISPLAY\...) all the same.
constexpr GUID kPluggedMonitorClass = {0x6F1C3A52, 0x8D0E, 0x4B7A, {0x9C, 0x21, 0x5E, 0x4D, 0x77, 0x10, 0xA3, 0x6B}};
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
DWORD RegisterDevice(const std::wstring& deviceId, const std::wstring& description,
                     const GUID& deviceClass = kMonitorClass) {
    DeviceList list(SetupDiCreateDeviceInfoList(&deviceClass, nullptr));
    if (!list.valid()) return GetLastError();
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiCreateDeviceInfoW(list.get(), deviceId.c_str(), &deviceClass, description.c_str(), nullptr, 0,
                                  &device) ||
        !SetupDiRegisterDeviceInfo(list.get(), &device, 0, nullptr, nullptr, nullptr)) {
        return GetLastError();
    }
    return ERROR_SUCCESS;
}

bool RemoveDevice(const std::wstring& deviceId, const GUID& deviceClass = kMonitorClass) {
    DeviceList list(SetupDiCreateDeviceInfoList(&deviceClass, nullptr));
    if (!list.valid()) return false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiOpenDeviceInfoW(list.get(), deviceId.c_str(), nullptr, 0, &device)) return false;
    return SetupDiRemoveDevice(list.get(), &device) != FALSE;
}

constexpr wchar_t kPlugSuffix[] = L"\\VQOUT&";

bool EndsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Writes the hardware id and the EDID of a registered monitor.
bool Describe(const std::wstring& deviceId, const std::wstring& hardwareId, const std::vector<unsigned char>& edid) {
    DeviceList list(SetupDiCreateDeviceInfoList(&kPluggedMonitorClass, nullptr));
    if (!list.valid()) return false;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (!SetupDiOpenDeviceInfoW(list.get(), deviceId.c_str(), nullptr, 0, &device)) return false;
    const std::wstring ids = hardwareId + L'\0' + L'\0';  // a multi-string
    const bool named = SetupDiSetDeviceRegistryPropertyW(list.get(), &device, SPDRP_HARDWAREID,
                                                          reinterpret_cast<const BYTE*>(ids.c_str()),
                                                          static_cast<DWORD>(ids.size() * sizeof(wchar_t))) != FALSE;
    HKEY parameters = SetupDiCreateDevRegKeyW(list.get(), &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, nullptr, nullptr);
    if (parameters == INVALID_HANDLE_VALUE) return false;
    const bool stored = RegSetValueExW(parameters, L"EDID", 0, REG_BINARY, edid.data(),
                                       static_cast<DWORD>(edid.size())) == ERROR_SUCCESS;
    RegCloseKey(parameters);
    return named && stored;
}

}  // namespace

std::vector<unsigned char> MonitorDevices::Edid(const std::wstring& name, int width, int height, bool digital) {
    std::vector<unsigned char> e(128, 0);
    const unsigned char header[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
    std::copy(header, header + 8, e.begin());
    auto letter = [&](size_t i) { return i < name.size() ? static_cast<unsigned>(name[i] - L'@') & 0x1F : 0u; };
    const unsigned maker = (letter(0) << 10) | (letter(1) << 5) | letter(2);
    e[8] = static_cast<unsigned char>(maker >> 8);
    e[9] = static_cast<unsigned char>(maker);
    const unsigned product = name.size() > 3 ? static_cast<unsigned>(std::wcstoul(name.c_str() + 3, nullptr, 16)) : 0;
    e[10] = static_cast<unsigned char>(product);
    e[11] = static_cast<unsigned char>(product >> 8);
    e[12] = 1;                 // serial number
    e[16] = 1, e[17] = 19;     // week 1 of 2009
    e[18] = 1, e[19] = 3;      // EDID 1.3
    e[20] = digital ? 0x80 : 0x0E;
    e[21] = static_cast<unsigned char>(width / 40), e[22] = static_cast<unsigned char>(height / 40);  // cm
    e[23] = 0x78, e[24] = 0x0A;
    for (int i = 38; i < 54; ++i) e[i] = 0x01;  // no standard timings
    // The preferred timing: the native size at 60 Hz with short blanking.
    const int hBlank = 160, vBlank = 30;
    const unsigned clock = static_cast<unsigned>((width + hBlank) * (height + vBlank) * 60 / 10000);
    unsigned char* d = &e[54];
    d[0] = static_cast<unsigned char>(clock), d[1] = static_cast<unsigned char>(clock >> 8);
    d[2] = static_cast<unsigned char>(width), d[3] = hBlank;
    d[4] = static_cast<unsigned char>(((width >> 8) << 4) | (hBlank >> 8));
    d[5] = static_cast<unsigned char>(height), d[6] = vBlank;
    d[7] = static_cast<unsigned char>(((height >> 8) << 4) | (vBlank >> 8));
    d[8] = 48, d[9] = 32, d[10] = 0x33, d[17] = 0x1E;
    // The monitor's name.
    unsigned char* n = &e[72];
    n[3] = 0xFC;
    for (size_t i = 0; i < 13; ++i) n[5 + i] = i < name.size() ? static_cast<unsigned char>(name[i]) : (i == name.size() ? 0x0A : 0x20);
    e[93] = 0x10, e[111] = 0x10;  // two empty descriptors
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i) sum += e[i];
    e[127] = static_cast<unsigned char>((256 - sum % 256) % 256);
    return e;
}

bool MonitorDevices::Plug(const std::wstring& output, const std::wstring& name, int width, int height) {
    Unplug(output);
    const std::wstring id = L"DISPLAY\\" + name + kPlugSuffix + output;
    if (RegisterDevice(id, L"Generic PnP Monitor", kPluggedMonitorClass) != ERROR_SUCCESS) return false;
    return Describe(id, L"MONITOR\\" + name, Edid(name, width, height, output != L"DUMMY1"));
}

bool MonitorDevices::Unplug(const std::wstring& output) {
    bool removed = false;
    for (const std::wstring& id : PluggedIds()) {
        if (EndsWith(id, kPlugSuffix + output)) removed = RemoveDevice(id, kPluggedMonitorClass) || removed;
    }
    return removed;
}

void MonitorDevices::UnplugAll() {
    for (const std::wstring& id : PluggedIds()) {
        if (id.find(kPlugSuffix) != std::wstring::npos) RemoveDevice(id, kPluggedMonitorClass);
    }
}

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

std::vector<std::wstring> MonitorDevices::PluggedIds() { return IdsOf(kPluggedMonitorClass); }

std::vector<std::wstring> SimulatedMonitors::MonitorDeviceIds() { return IdsOf(kMonitorClass); }

std::vector<std::wstring> IdsOf(const GUID& deviceClass) {
    std::vector<std::wstring> ids;
    DeviceList list(SetupDiGetClassDevsW(&deviceClass, nullptr, nullptr, 0));
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
