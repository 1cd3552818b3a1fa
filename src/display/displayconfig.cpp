#include "display/displayconfig.h"

#include <cstring>

namespace displayconfig {

namespace {

using GetBufferSizesFn = LONG(WINAPI*)(UINT32, UINT32*, UINT32*);
using QueryFn = LONG(WINAPI*)(UINT32, UINT32*, void*, UINT32*, void*, UINT32*);
using GetDeviceInfoFn = LONG(WINAPI*)(void*);
using SetFn = LONG(WINAPI*)(UINT32, void*, UINT32, void*, UINT32);

class SystemDisplayConfigFunctions final : public IDisplayConfigFunctions {
public:
    std::vector<std::wstring> Load() override {
        // user32 is loaded in every process with windows; loading it again only counts a reference.
        HMODULE user32 = GetModuleHandleW(L"USER32.DLL");
        if (!user32) user32 = LoadLibraryW(L"USER32.DLL");
        std::vector<std::wstring> missing;
        m_getBufferSizes = reinterpret_cast<GetBufferSizesFn>(Find(user32, "GetDisplayConfigBufferSizes", &missing));
        m_query = reinterpret_cast<QueryFn>(Find(user32, "QueryDisplayConfig", &missing));
        m_getDeviceInfo = reinterpret_cast<GetDeviceInfoFn>(Find(user32, "DisplayConfigGetDeviceInfo", &missing));
        m_set = reinterpret_cast<SetFn>(Find(user32, "SetDisplayConfig", &missing));
        return missing;
    }

    LONG GetDisplayConfigBufferSizes(std::uint32_t flags, std::uint32_t* pathCount, std::uint32_t* modeCount) override {
        if (!m_getBufferSizes) return ERROR_PROC_NOT_FOUND;
        return m_getBufferSizes(flags, reinterpret_cast<UINT32*>(pathCount), reinterpret_cast<UINT32*>(modeCount));
    }
    LONG QueryDisplayConfig(std::uint32_t flags, std::uint32_t* pathCount, PathInfo* paths, std::uint32_t* modeCount,
                            ModeInfo* modes) override {
        if (!m_query) return ERROR_PROC_NOT_FOUND;
        // The database query also names the current topology, and wants a place for it.
        UINT32 topology = 0;
        return m_query(flags, reinterpret_cast<UINT32*>(pathCount), paths, reinterpret_cast<UINT32*>(modeCount),
                       modes, (flags & query::kDatabaseCurrent) ? &topology : nullptr);
    }
    LONG DisplayConfigGetDeviceInfo(DeviceInfoHeader* packet) override {
        if (!m_getDeviceInfo) return ERROR_PROC_NOT_FOUND;
        return m_getDeviceInfo(packet);
    }
    LONG SetDisplayConfig(std::uint32_t pathCount, PathInfo* paths, std::uint32_t modeCount, ModeInfo* modes,
                          std::uint32_t flags) override {
        if (!m_set) return ERROR_PROC_NOT_FOUND;
        return m_set(pathCount, paths, modeCount, modes, flags);
    }

private:
    static void* Find(HMODULE module, const char* name, std::vector<std::wstring>* missing) {
        void* function = module ? reinterpret_cast<void*>(GetProcAddress(module, name)) : nullptr;
        if (!function) missing->push_back(std::wstring(name, name + strlen(name)));
        return function;
    }

    GetBufferSizesFn m_getBufferSizes = nullptr;
    QueryFn m_query = nullptr;
    GetDeviceInfoFn m_getDeviceInfo = nullptr;
    SetFn m_set = nullptr;
};

}  // namespace

IDisplayConfigFunctions& RealDisplayConfigFunctions() {
    static SystemDisplayConfigFunctions functions;
    return functions;
}

VideoSignalInfo FromSystemRecord(const DISPLAYCONFIG_VIDEO_SIGNAL_INFO& record) {
    VideoSignalInfo signal;
    signal.pixelRate = record.pixelRate;
    signal.hSyncFreq = {record.hSyncFreq.Numerator, record.hSyncFreq.Denominator};
    signal.vSyncFreq = {record.vSyncFreq.Numerator, record.vSyncFreq.Denominator};
    signal.activeSize = {record.activeSize.cx, record.activeSize.cy};
    signal.totalSize = {record.totalSize.cx, record.totalSize.cy};
    signal.videoStandard = record.videoStandard;
    signal.scanLineOrdering = static_cast<std::uint32_t>(record.scanLineOrdering);
    return signal;
}

DISPLAYCONFIG_VIDEO_SIGNAL_INFO ToSystemRecord(const VideoSignalInfo& signal) {
    DISPLAYCONFIG_VIDEO_SIGNAL_INFO record{};
    record.pixelRate = signal.pixelRate;
    record.hSyncFreq = {signal.hSyncFreq.numerator, signal.hSyncFreq.denominator};
    record.vSyncFreq = {signal.vSyncFreq.numerator, signal.vSyncFreq.denominator};
    record.activeSize = {signal.activeSize.cx, signal.activeSize.cy};
    record.totalSize = {signal.totalSize.cx, signal.totalSize.cy};
    record.videoStandard = signal.videoStandard;
    record.scanLineOrdering = static_cast<DISPLAYCONFIG_SCANLINE_ORDERING>(signal.scanLineOrdering);
    return record;
}

}  // namespace displayconfig
