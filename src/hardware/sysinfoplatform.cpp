#include "hardware/sysinfoplatform.h"

#include <setupapi.h>

#include <vector>

namespace {

// Owns a SetupAPI device information set.
class CDeviceInfoSet {
public:
    explicit CDeviceInfoSet(HDEVINFO set) : m_hSet(set) {}
    ~CDeviceInfoSet() {
        if (Valid()) SetupDiDestroyDeviceInfoList(m_hSet);
    }
    CDeviceInfoSet(const CDeviceInfoSet&) = delete;
    CDeviceInfoSet& operator=(const CDeviceInfoSet&) = delete;
    bool Valid() const { return m_hSet != INVALID_HANDLE_VALUE; }
    HDEVINFO Get() const { return m_hSet; }

private:
    HDEVINFO m_hSet;
};

class CWin32SysInfoPlatform : public ISysInfoPlatform {
public:
    std::vector<std::wstring> ListDeviceInterfaces(const GUID& interfaceClass) override {
        std::vector<std::wstring> paths;
        CDeviceInfoSet set(
            SetupDiGetClassDevsW(&interfaceClass, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
        if (!set.Valid()) return paths;
        SP_DEVICE_INTERFACE_DATA data{};
        data.cbSize = sizeof data;
        for (DWORD index = 0; SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &interfaceClass, index, &data);
             ++index) {
            DWORD needed = 0;
            SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, nullptr, 0, &needed, nullptr);
            if (needed < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
            std::vector<BYTE> buffer(needed);
            auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
            detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
            if (SetupDiGetDeviceInterfaceDetailW(set.Get(), &data, detail, needed, nullptr, nullptr)) {
                paths.emplace_back(detail->DevicePath);
            }
        }
        return paths;
    }

    HANDLE OpenDevice(const wchar_t* path) override {
        return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }

    void CloseDevice(HANDLE device) override { CloseHandle(device); }

    BOOL ControlDevice(HANDLE device, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                       DWORD* returned) override {
        return DeviceIoControl(device, code, in, inSize, out, outSize, returned, nullptr);
    }

    BOOL GetPowerStatus(SYSTEM_POWER_STATUS* status) override { return GetSystemPowerStatus(status); }
};

}  // namespace

ISysInfoPlatform& SystemSysInfoPlatform() {
    static CWin32SysInfoPlatform platform;
    return platform;
}
