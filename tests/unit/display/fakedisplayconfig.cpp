#include "fakedisplayconfig.h"

#include <cstdio>

namespace fakeconfig {

namespace {
std::string Hex(const char* what, std::uint32_t value) {
    char text[64];
    std::snprintf(text, sizeof text, "%s 0x%x", what, value);
    return text;
}
}  // namespace

dc::VideoSignalInfo Signal(std::uint32_t width, std::uint32_t height, std::uint64_t pixelRate) {
    dc::VideoSignalInfo signal;
    const std::uint32_t totalWidth = width + 160, totalHeight = height + 30;
    signal.pixelRate = pixelRate ? pixelRate : std::uint64_t{totalWidth} * totalHeight * 60;
    signal.hSyncFreq = {static_cast<std::uint32_t>(signal.pixelRate), totalWidth};
    signal.vSyncFreq = {static_cast<std::uint32_t>(signal.pixelRate), totalWidth * totalHeight};
    signal.activeSize = {width, height};
    signal.totalSize = {totalWidth, totalHeight};
    signal.videoStandard = 255;
    signal.scanLineOrdering = dc::kScanLineProgressive;
    return signal;
}

void AddLivePath(Paths* into, std::uint32_t targetId, std::uint32_t technology, std::uint32_t sourceId,
                 std::uint32_t width, std::uint32_t height, std::int32_t x, std::int32_t y, dc::AdapterLuid luid) {
    dc::ModeInfo target;
    target.infoType = dc::modekind::kTarget;
    target.id = targetId;
    target.adapterId = luid;
    target.targetMode = Signal(width, height);
    dc::ModeInfo source;
    source.infoType = dc::modekind::kSource;
    source.id = sourceId;
    source.adapterId = luid;
    source.sourceMode = {width, height, dc::pixelformat::k32, x, y};
    dc::PathInfo path;
    path.sourceInfo = {luid, sourceId, static_cast<std::uint32_t>(into->modes.size() + 1), dc::kSourceInUse};
    path.targetInfo.adapterId = luid;
    path.targetInfo.id = targetId;
    path.targetInfo.modeInfoIdx = static_cast<std::uint32_t>(into->modes.size());
    path.targetInfo.outputTechnology = technology;
    path.targetInfo.rotation = dc::rotation::kIdentity;
    path.targetInfo.scaling = dc::kScalingStretched;
    path.targetInfo.refreshRate = {60000, 1000};
    path.targetInfo.scanLineOrdering = dc::kScanLineProgressive;
    path.targetInfo.targetAvailable = 1;
    path.targetInfo.statusFlags = dc::kTargetInUse;
    path.flags = dc::kPathActive;
    into->modes.push_back(target);
    into->modes.push_back(source);
    into->paths.push_back(path);
}

std::vector<std::wstring> FakeDisplayConfig::Load() {
    calls.push_back("load");
    return missing;
}

const Paths& FakeDisplayConfig::Answer(std::uint32_t flags) const {
    return (flags & dc::query::kOnlyActivePaths) ? active : all;
}

LONG FakeDisplayConfig::GetDisplayConfigBufferSizes(std::uint32_t flags, std::uint32_t* pathCount,
                                                    std::uint32_t* modeCount) {
    calls.push_back(Hex("sizes", flags));
    *pathCount = static_cast<std::uint32_t>(Answer(flags).paths.size());
    *modeCount = static_cast<std::uint32_t>(Answer(flags).modes.size());
    return queryResult;
}

LONG FakeDisplayConfig::QueryDisplayConfig(std::uint32_t flags, std::uint32_t* pathCount, dc::PathInfo* paths,
                                           std::uint32_t* modeCount, dc::ModeInfo* modes) {
    calls.push_back(Hex("query", flags));
    if (queryResult != ERROR_SUCCESS) return queryResult;
    const Paths& answer = Answer(flags);
    if (*pathCount < answer.paths.size() || *modeCount < answer.modes.size()) return ERROR_INSUFFICIENT_BUFFER;
    for (size_t i = 0; i < answer.paths.size(); ++i) paths[i] = answer.paths[i];
    for (size_t i = 0; i < answer.modes.size(); ++i) modes[i] = answer.modes[i];
    *pathCount = static_cast<std::uint32_t>(answer.paths.size());
    *modeCount = static_cast<std::uint32_t>(answer.modes.size());
    return ERROR_SUCCESS;
}

LONG FakeDisplayConfig::DisplayConfigGetDeviceInfo(dc::DeviceInfoHeader* packet) {
    calls.push_back(Hex("preferred", packet->id));
    preferredAsked.push_back(*packet);
    if (packet->type != dc::kDeviceInfoTargetPreferredMode || packet->size != sizeof(dc::TargetPreferredMode)) {
        return ERROR_INVALID_PARAMETER;
    }
    auto found = preferred.find(packet->id);
    if (found == preferred.end()) return ERROR_GEN_FAILURE;
    auto* mode = reinterpret_cast<dc::TargetPreferredMode*>(packet);
    const dc::DeviceInfoHeader header = *packet;
    *mode = found->second;
    mode->header = header;
    return ERROR_SUCCESS;
}

LONG FakeDisplayConfig::SetDisplayConfig(std::uint32_t pathCount, dc::PathInfo* paths, std::uint32_t modeCount,
                                         dc::ModeInfo* modes, std::uint32_t flags) {
    calls.push_back(Hex("set", flags));
    applied.push_back({flags, std::vector<dc::PathInfo>(paths, paths + pathCount),
                       std::vector<dc::ModeInfo>(modes, modes + modeCount)});
    if (setResults.empty()) return ERROR_SUCCESS;
    const LONG result = setResults.front();
    setResults.pop_front();
    return result;
}

void FakeDisplayConfig::Prefer(std::uint32_t targetId, std::uint32_t width, std::uint32_t height) {
    dc::TargetPreferredMode mode;
    mode.width = width;
    mode.height = height;
    mode.targetMode = Signal(width, height);
    preferred[targetId] = mode;
}

}  // namespace fakeconfig
