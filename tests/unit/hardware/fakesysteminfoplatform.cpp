#include "fakesysteminfoplatform.h"

#include "hardware/srsdevice.h"

FakeKsDevice* FakeSystemInfoPlatform::DeviceOf(HANDLE handle) {
    const size_t index = reinterpret_cast<size_t>(handle) - 1;
    return index < devices.size() ? &devices[index] : nullptr;
}

std::vector<std::wstring> FakeSystemInfoPlatform::ListDeviceInterfaces(const GUID& interfaceClass) {
    listedClass = interfaceClass;
    std::vector<std::wstring> paths;
    for (const auto& device : devices) paths.push_back(device.path);
    return paths;
}

HANDLE FakeSystemInfoPlatform::OpenDevice(const wchar_t* path) {
    for (size_t i = 0; i < devices.size(); ++i) {
        if (devices[i].path != path) continue;
        opened.push_back(path);
        if (!devices[i].opens) return INVALID_HANDLE_VALUE;
        ++openHandles;
        return reinterpret_cast<HANDLE>(i + 1);
    }
    return INVALID_HANDLE_VALUE;
}

void FakeSystemInfoPlatform::CloseDevice(HANDLE handle) {
    if (DeviceOf(handle)) --openHandles;
}

BOOL FakeSystemInfoPlatform::ControlDevice(HANDLE handle, DWORD code, void* in, DWORD inSize, void* out, DWORD outSize,
                                           DWORD* returned) {
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
        requests.push_back("get " + name);
    } else if (request->flags == srs::kSetFlag) {
        *target = *value;
        requests.push_back("set " + name + " " + std::to_string(*value));
    } else {
        return FALSE;
    }
    *returned = sizeof(ULONG);
    return TRUE;
}

BOOL FakeSystemInfoPlatform::GetPowerStatus(SYSTEM_POWER_STATUS* status) {
    if (!powerResult) {
        SetLastError(powerError);
        return FALSE;
    }
    *status = SYSTEM_POWER_STATUS{};
    status->BatteryLifePercent = batteryPercent;
    return TRUE;
}

FakeKsDevice& FakeSystemInfoPlatform::AddSrsDevice(const std::wstring& path) {
    FakeKsDevice device;
    device.path = path;
    devices.push_back(device);
    return devices.back();
}

std::vector<std::string> FakeSystemInfoPlatform::TakeSetRequests() {
    std::vector<std::string> sets;
    for (const auto& request : requests) {
        if (request.rfind("set ", 0) == 0) sets.push_back(request);
    }
    requests.clear();
    return sets;
}
