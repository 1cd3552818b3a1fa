// The Windows 7 display-configuration interface of user32: the records its
// four functions exchange (paths, modes, device-information packets) and
// the seam through which the program reaches those functions. The records
// are laid out as the system lays them out, with fixed-width fields, so the
// 32-bit program and the 64-bit tests exchange the same bytes.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace displayconfig {

struct AdapterLuid {
    std::uint32_t lowPart = 0;
    std::int32_t highPart = 0;
};

struct Rational {
    std::uint32_t numerator = 0;
    std::uint32_t denominator = 0;
};

struct Size2D {
    std::uint32_t cx = 0;
    std::uint32_t cy = 0;
};

// The timing of an output: pixel rate, sync frequencies, active and total size.
struct VideoSignalInfo {
    std::uint64_t pixelRate = 0;
    Rational hSyncFreq;
    Rational vSyncFreq;
    Size2D activeSize;
    Size2D totalSize;
    std::uint32_t videoStandard = 0;
    std::uint32_t scanLineOrdering = 0;
};

struct PathSourceInfo {
    AdapterLuid adapterId;
    std::uint32_t id = 0;
    std::uint32_t modeInfoIdx = 0;
    std::uint32_t statusFlags = 0;
};

struct PathTargetInfo {
    AdapterLuid adapterId;
    std::uint32_t id = 0;
    std::uint32_t modeInfoIdx = 0;
    std::uint32_t outputTechnology = 0;
    std::uint32_t rotation = 0;
    std::uint32_t scaling = 0;
    Rational refreshRate;
    std::uint32_t scanLineOrdering = 0;
    std::int32_t targetAvailable = 0;
    std::uint32_t statusFlags = 0;
};

struct PathInfo {
    PathSourceInfo sourceInfo;
    PathTargetInfo targetInfo;
    std::uint32_t flags = 0;
};

struct SourceMode {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t pixelFormat = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
};

struct ModeInfo {
    std::uint32_t infoType = 0;  // modekind
    std::uint32_t id = 0;        // the source or target id, by kind
    AdapterLuid adapterId;
    union {
        VideoSignalInfo targetMode;
        SourceMode sourceMode;
    };
    ModeInfo() : targetMode() {}
};

struct DeviceInfoHeader {
    std::uint32_t type = 0;
    std::uint32_t size = 0;
    AdapterLuid adapterId;
    std::uint32_t id = 0;
};

// The answer to a target's preferred-mode request.
struct TargetPreferredMode {
    DeviceInfoHeader header;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    VideoSignalInfo targetMode;
};

// Both architectures lay the records out as the system does.
static_assert(sizeof(VideoSignalInfo) == 48, "video signal record");
static_assert(sizeof(PathSourceInfo) == 20 && sizeof(PathTargetInfo) == 48, "path halves");
static_assert(sizeof(PathInfo) == 72, "path record");
static_assert(offsetof(ModeInfo, targetMode) == 16 && sizeof(ModeInfo) == 64, "mode record");
static_assert(sizeof(DeviceInfoHeader) == 20, "device information header");
static_assert(offsetof(TargetPreferredMode, targetMode) == 32 && sizeof(TargetPreferredMode) == 80,
              "preferred-mode packet");
// The platform's own signal record, which the profile store keeps.
static_assert(sizeof(DISPLAYCONFIG_VIDEO_SIGNAL_INFO) == sizeof(VideoSignalInfo), "same signal record");
// The bytes user32 (or a component standing in for it) reads and writes with
// the platform's records, field for field where the program reads them.
static_assert(sizeof(DISPLAYCONFIG_PATH_INFO) == sizeof(PathInfo) &&
                  offsetof(DISPLAYCONFIG_PATH_INFO, targetInfo) == offsetof(PathInfo, targetInfo) &&
                  offsetof(DISPLAYCONFIG_PATH_TARGET_INFO, refreshRate) == offsetof(PathTargetInfo, refreshRate) &&
                  offsetof(DISPLAYCONFIG_PATH_INFO, flags) == offsetof(PathInfo, flags),
              "same path record");
static_assert(sizeof(DISPLAYCONFIG_MODE_INFO) == sizeof(ModeInfo) &&
                  offsetof(DISPLAYCONFIG_MODE_INFO, sourceMode) == offsetof(ModeInfo, sourceMode) &&
                  offsetof(DISPLAYCONFIG_SOURCE_MODE, position) == offsetof(SourceMode, x),
              "same mode record");
static_assert(sizeof(DISPLAYCONFIG_TARGET_PREFERRED_MODE) == sizeof(TargetPreferredMode) &&
                  offsetof(DISPLAYCONFIG_TARGET_PREFERRED_MODE, targetMode) == offsetof(TargetPreferredMode, targetMode),
              "same preferred-mode packet");

namespace query {
constexpr std::uint32_t kAllPaths = 0x1;         // QDC_ALL_PATHS
constexpr std::uint32_t kOnlyActivePaths = 0x2;  // QDC_ONLY_ACTIVE_PATHS
constexpr std::uint32_t kDatabaseCurrent = 0x4;  // QDC_DATABASE_CURRENT
}  // namespace query

namespace apply {
constexpr std::uint32_t kTopologyInternal = 0x1;
constexpr std::uint32_t kTopologyClone = 0x2;
constexpr std::uint32_t kTopologyExtend = 0x4;
constexpr std::uint32_t kTopologyExternal = 0x8;
constexpr std::uint32_t kUseSuppliedConfig = 0x20;
constexpr std::uint32_t kValidate = 0x40;
constexpr std::uint32_t kApply = 0x80;
constexpr std::uint32_t kSaveToDatabase = 0x200;
}  // namespace apply

namespace modekind {
constexpr std::uint32_t kSource = 1;
constexpr std::uint32_t kTarget = 2;
}  // namespace modekind

namespace technology {
constexpr std::uint32_t kHd15 = 0;
constexpr std::uint32_t kSVideo = 1;
constexpr std::uint32_t kDvi = 4;
constexpr std::uint32_t kHdmi = 5;
constexpr std::uint32_t kInternal = 0x80000000;
}  // namespace technology

namespace rotation {
constexpr std::uint32_t kIdentity = 1;
constexpr std::uint32_t kRotate90 = 2;
constexpr std::uint32_t kRotate180 = 3;
constexpr std::uint32_t kRotate270 = 4;
}  // namespace rotation

namespace pixelformat {
constexpr std::uint32_t k8 = 1;
constexpr std::uint32_t k16 = 2;
constexpr std::uint32_t k24 = 3;
constexpr std::uint32_t k32 = 4;
}  // namespace pixelformat

constexpr std::uint32_t kDeviceInfoTargetPreferredMode = 3;
constexpr std::uint32_t kScalingStretched = 3;
constexpr std::uint32_t kScanLineProgressive = 1;
constexpr std::uint32_t kPathActive = 0x1;
constexpr std::uint32_t kSourceInUse = 0x1;
constexpr std::uint32_t kTargetInUse = 0x1;

// The four functions as the program calls them. Results are system error
// codes (ERROR_SUCCESS, ERROR_INSUFFICIENT_BUFFER, ...).
class IDisplayConfigFunctions {
public:
    virtual ~IDisplayConfigFunctions() = default;
    // Takes the functions from the loaded "USER32.DLL" by name; the names of
    // those it lacks (empty when all four are there). A function it lacks
    // answers ERROR_PROC_NOT_FOUND.
    virtual std::vector<std::wstring> Load() = 0;
    virtual LONG GetDisplayConfigBufferSizes(std::uint32_t flags, std::uint32_t* pathCount,
                                             std::uint32_t* modeCount) = 0;
    virtual LONG QueryDisplayConfig(std::uint32_t flags, std::uint32_t* pathCount, PathInfo* paths,
                                    std::uint32_t* modeCount, ModeInfo* modes) = 0;
    virtual LONG DisplayConfigGetDeviceInfo(DeviceInfoHeader* packet) = 0;
    virtual LONG SetDisplayConfig(std::uint32_t pathCount, PathInfo* paths, std::uint32_t modeCount, ModeInfo* modes,
                                  std::uint32_t flags) = 0;
};

// The functions of this process's user32, looked up at Load.
IDisplayConfigFunctions& RealDisplayConfigFunctions();

// The profile store keeps the platform's own record: the same fields.
VideoSignalInfo FromSystemRecord(const DISPLAYCONFIG_VIDEO_SIGNAL_INFO& record);
DISPLAYCONFIG_VIDEO_SIGNAL_INFO ToSystemRecord(const VideoSignalInfo& signal);

}  // namespace displayconfig
