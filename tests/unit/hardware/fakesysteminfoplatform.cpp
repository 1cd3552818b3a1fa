#include "fakesysteminfoplatform.h"

#include "hardware/srsdevice.h"

namespace {

FakeSystemInfoPlatform* g_fake = nullptr;

// Handles are the device's index + 1.
FakeKsDevice* DeviceOf(HANDLE handle) {
    const size_t index = reinterpret_cast<size_t>(handle) - 1;
    return index < g_fake->devices.size() ? &g_fake->devices[index] : nullptr;
}

std::vector<std::wstring> List(const GUID& interfaceClass) {
    g_fake->listedClass = interfaceClass;
    std::vector<std::wstring> paths;
    for (const auto& device : g_fake->devices) paths.push_back(device.path);
    return paths;
}

HANDLE Open(const wchar_t* path) {
    for (size_t i = 0; i < g_fake->devices.size(); ++i) {
        if (g_fake->devices[i].path != path) continue;
        g_fake->opened.push_back(path);
        if (!g_fake->devices[i].opens) return INVALID_HANDLE_VALUE;
        ++g_fake->openHandles;
        return reinterpret_cast<HANDLE>(i + 1);
    }
    return INVALID_HANDLE_VALUE;
}

void Close(HANDLE handle) {
    if (DeviceOf(handle)) --g_fake->openHandles;
}

BOOL Control(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize, DWORD* returned) {
    FakeKsDevice* device = DeviceOf(handle);
    if (!device || code != srs::kPropertyIoctl || inSize != sizeof(srs::PropertyRequest) || outSize != sizeof(ULONG) ||
        !device->answersSrs) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    const auto* request = static_cast<const srs::PropertyRequest*>(in);
    ULONG* value = static_cast<ULONG*>(out);
    ULONG* target = nullptr;
    std::string name;
    if (IsEqualGUID(request->set, srs::kSelectionSet) && request->id == srs::kSelectionId &&
        device->answersSelection) {
        target = &device->selection;
        name = "selection";
    } else if (IsEqualGUID(request->set, srs::kEffectASet) && request->id == srs::kSwitchId) {
        target = &device->effectA;
        name = "A";
    } else if (IsEqualGUID(request->set, srs::kEffectBSet) && request->id == srs::kSwitchId) {
        target = &device->effectB;
        name = "B";
    } else {
        SetLastError(ERROR_NOT_FOUND);
        return FALSE;
    }
    if (request->flags == srs::kGetFlag) {
        *value = *target;
        g_fake->requests.push_back("get " + name);
    } else if (request->flags == srs::kSetFlag) {
        *target = *value;
        g_fake->requests.push_back("set " + name + " " + std::to_string(*value));
    } else {
        return FALSE;
    }
    *returned = sizeof(ULONG);
    return TRUE;
}

BOOL WINAPI PowerStatus(SYSTEM_POWER_STATUS* status) {
    if (!g_fake->powerResult) {
        SetLastError(g_fake->powerError);
        return FALSE;
    }
    *status = SYSTEM_POWER_STATUS{};
    status->BatteryLifePercent = g_fake->batteryPercent;
    return TRUE;
}

}  // namespace

FakeSystemInfoPlatform::FakeSystemInfoPlatform() : m_saved(sysinfo::CurrentPlatform()) {
    g_fake = this;
    sysinfo::CurrentPlatform() = sysinfo::Platform{&List, &Open, &Close, &Control, &PowerStatus};
}

FakeSystemInfoPlatform::~FakeSystemInfoPlatform() {
    sysinfo::CurrentPlatform() = m_saved;
    g_fake = nullptr;
}

FakeKsDevice& FakeSystemInfoPlatform::AddSrsDevice(const std::wstring& path) {
    FakeKsDevice device;
    device.path = path;
    devices.push_back(device);
    return devices.back();
}
