#include "hardware/srsdevice.h"

#include "hardware/sysinfoplatform.h"

bool CSRSDevice::Request(HANDLE device, const GUID& set, ULONG id, ULONG flags, ULONG* value) {
    srs::PropertyRequest request{set, id, flags};
    DWORD returned = 0;
    return sysinfo::CurrentPlatform().deviceIoControl(device, srs::kPropertyIoctl, &request, sizeof request, value,
                                                      sizeof *value, &returned) != FALSE;
}

bool CSRSDevice::Open() {
    Close();
    const sysinfo::Platform& platform = sysinfo::CurrentPlatform();
    for (const std::wstring& path : platform.listDeviceInterfaces(srs::kAudioInterfaceClass)) {
        const HANDLE device = platform.openDevice(path.c_str());
        if (device == INVALID_HANDLE_VALUE || device == nullptr) continue;
        ULONG on = 0;
        if (Request(device, srs::kEffectASet, srs::kSwitchId, srs::kGetFlag, &on)) {
            m_hDevice = device;
            return true;
        }
        platform.closeDevice(device);
    }
    return false;
}

void CSRSDevice::Close() {
    if (!IsOpen()) return;
    const HANDLE device = m_hDevice;
    m_hDevice = INVALID_HANDLE_VALUE;
    sysinfo::CurrentPlatform().closeDevice(device);
}

bool CSRSDevice::Get(const GUID& set, ULONG id, ULONG* value) const {
    ULONG answer = 0;
    if (!IsOpen() || !Request(m_hDevice, set, id, srs::kGetFlag, &answer)) return false;
    *value = answer;
    return true;
}

bool CSRSDevice::Set(const GUID& set, ULONG id, ULONG value) const {
    return IsOpen() && Request(m_hDevice, set, id, srs::kSetFlag, &value);
}
