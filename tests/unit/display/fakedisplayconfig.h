// The four display-configuration functions in memory: the paths and modes
// each query answers, the preferred mode of each target, scripted results
// for SetDisplayConfig, and a record of every call.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "display/displayconfig.h"

namespace fakeconfig {

namespace dc = displayconfig;

struct Paths {
    std::vector<dc::PathInfo> paths;
    std::vector<dc::ModeInfo> modes;
};

struct Applied {
    std::uint32_t flags;
    std::vector<dc::PathInfo> paths;
    std::vector<dc::ModeInfo> modes;
};

// A timing as a driver reports it for a size (60 Hz, progressive).
dc::VideoSignalInfo Signal(std::uint32_t width, std::uint32_t height, std::uint64_t pixelRate = 0);
// One live path with its target and source modes appended to `into`.
void AddLivePath(Paths* into, std::uint32_t targetId, std::uint32_t technology, std::uint32_t sourceId,
                 std::uint32_t width, std::uint32_t height, std::int32_t x = 0, std::int32_t y = 0,
                 dc::AdapterLuid luid = {0x3F0, 0});

class FakeDisplayConfig : public dc::IDisplayConfigFunctions {
public:
    std::vector<std::wstring> Load() override;
    LONG GetDisplayConfigBufferSizes(std::uint32_t flags, std::uint32_t* pathCount, std::uint32_t* modeCount) override;
    LONG QueryDisplayConfig(std::uint32_t flags, std::uint32_t* pathCount, dc::PathInfo* paths,
                            std::uint32_t* modeCount, dc::ModeInfo* modes) override;
    LONG DisplayConfigGetDeviceInfo(dc::DeviceInfoHeader* packet) override;
    LONG SetDisplayConfig(std::uint32_t pathCount, dc::PathInfo* paths, std::uint32_t modeCount, dc::ModeInfo* modes,
                          std::uint32_t flags) override;

    // The preferred size of a target; its timing follows from the size.
    void Prefer(std::uint32_t targetId, std::uint32_t width, std::uint32_t height);

    std::vector<std::wstring> missing;  // names Load reports
    Paths all;                          // QDC_ALL_PATHS and QDC_DATABASE_CURRENT
    Paths active;                       // QDC_ONLY_ACTIVE_PATHS
    LONG queryResult = ERROR_SUCCESS;
    std::map<std::uint32_t, dc::TargetPreferredMode> preferred;
    std::deque<LONG> setResults;  // the next SetDisplayConfig results; then 0
    // Calls in order: "load", "sizes 0x2", "query 0x2", "preferred 0x1010100", "set 0x60".
    std::vector<std::string> calls;
    std::vector<Applied> applied;
    std::vector<dc::DeviceInfoHeader> preferredAsked;

private:
    const Paths& Answer(std::uint32_t flags) const;
};

}  // namespace fakeconfig
