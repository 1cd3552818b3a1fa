#include "hardware/srsdevice.h"

bool CSRSDevice::Request(HANDLE device, const GUID& set, ULONG id, ULONG flags, ULONG* value) const {
    srs::PropertyRequest request{set, id, flags};
    DWORD returned = 0;
    return m_platform.ControlDevice(device, srs::kPropertyIoctl, &request, sizeof request, value, sizeof *value,
                                    &returned) != FALSE;
}

bool CSRSDevice::Open() {
    Close();
    for (const std::wstring& path : m_platform.ListDeviceInterfaces(srs::kAudioInterfaceClass)) {
        const HANDLE device = m_platform.OpenDevice(path.c_str());
        if (device == INVALID_HANDLE_VALUE || device == nullptr) continue;
        ULONG on = 0;
        if (Request(device, srs::kEffectASet, srs::kSwitchId, srs::kGetFlag, &on)) {
            m_hDevice = device;
            return true;
        }
        m_platform.CloseDevice(device);
    }
    return false;
}

void CSRSDevice::Close() {
    if (!IsOpen()) return;
    const HANDLE device = m_hDevice;
    m_hDevice = INVALID_HANDLE_VALUE;
    m_platform.CloseDevice(device);
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
