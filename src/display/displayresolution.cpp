#include "display/displayresolution.h"

#include <algorithm>
#include <span>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "display/resolutionladder.h"

namespace {

constexpr int kMaxRetries = 7;  // further sizes tried after a refused one
constexpr Resolution kNoDriverMaximum{1024, 768};
constexpr Resolution kLargestKnown{2048, 1536};
// The output bits of a combination code (without the panel and the dual-view markers).
constexpr int kExternalOutputBits = 0x3E;

class RealPlatform : public IResolutionPlatform {
public:
    void SetCursorPos(int x, int y) override { ::SetCursorPos(x, y); }
    HCURSOR ShowWaitCursor() override { return ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT)); }
    void RestoreCursor(HCURSOR cursor) override { ::SetCursor(cursor); }
    bool ReadMachineValue(const wchar_t* path, const wchar_t* name, BYTE* data, DWORD size) override {
        return settings::ReadMachineValue(path, name, data, size, REG_BINARY);
    }
    bool WriteMachineValue(const wchar_t* path, const wchar_t* name, const BYTE* data, DWORD size) override {
        return settings::WriteMachineValue(path, name, data, size, REG_BINARY);
    }
};

// Restores the cursor the wait cursor replaced, on every way out.
class WaitCursor {
public:
    explicit WaitCursor(IResolutionPlatform& platform) : m_platform(platform), m_previous(platform.ShowWaitCursor()) {}
    ~WaitCursor() { m_platform.RestoreCursor(m_previous); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    IResolutionPlatform& m_platform;
    HCURSOR m_previous;
};

bool Matches(const Resolution& size, int width, int height) {
    return (size.width == width && size.height == height) || (size.width == height && size.height == width);
}
// Wider and at least as tall, or at least as wide and taller.
bool IsLarger(const Resolution& size, const Resolution& current) {
    return (size.width > current.width && size.height >= current.height) ||
           (size.width >= current.width && size.height > current.height);
}
// Narrower and at most as tall, or at most as wide and shorter.
bool IsSmaller(const Resolution& size, const Resolution& current) {
    return (size.width < current.width && size.height <= current.height) ||
           (size.width <= current.width && size.height < current.height);
}

bool Contains(const DEVMODEW& mode, int x, int y) {
    const LONG left = mode.dmPosition.x;
    const LONG top = mode.dmPosition.y;
    return x >= left && y >= top && x < left + static_cast<LONG>(mode.dmPelsWidth) &&
           y < top + static_cast<LONG>(mode.dmPelsHeight);
}

}  // namespace

IResolutionPlatform& RealResolutionPlatform() {
    static RealPlatform platform;
    return platform;
}

CDisplayResolution::CDisplayResolution(IDisplayResolutionOwner& owner, IResolutionPlatform& platform)
    : m_owner(owner), m_platform(platform) {}

void CDisplayResolution::FreeList() {
    m_list.clear();
    m_bListBuilt = 0;
}

void CDisplayResolution::SetSecond(int* second, int value) {
    *second = value;
    m_owner.SetRotationTarget(value);
}

int CDisplayResolution::DriverOrGenericMax(CVGA& driver, int outputIndex, int second, int* width, int* height) {
    if (m_owner.DriverMaxResolution(outputIndex, width, height)) return 1;
    return driver.ModeSetting().GetMaxResolution(second, width, height);
}

int CDisplayResolution::GetMonitorMaxResolution(int x, int y, int* device, int* second, int* maxWidth,
                                                int* maxHeight) {
    CVGA* driver = m_owner.Driver();
    if (!driver || !device || !second || !maxWidth || !maxHeight) return 0;
    const int connected = m_owner.IsWindows7Mode() ? m_owner.GetConnectedDisplays() : driver->GetConnectedDisplays();
    if (!connected) return 0;

    *maxWidth = kLargestKnown.width;
    *maxHeight = kLargestKnown.height;
    const int vendor = driver->GetVendor();
    CModeSetting& modes = driver->ModeSetting();

    // The point is on the primary display when it lies inside the primary's
    // present desktop rectangle; its largest size says nothing about that.
    DEVMODEW primary{};
    const bool primaryKnown = modes.GetCurrentDisplayMode(0, &primary) != 0;
    auto onPrimary = [&](int fallbackWidth, int fallbackHeight) {
        if (primaryKnown) return Contains(primary, x, y);
        return x >= 0 && y >= 0 && x < fallbackWidth && y < fallbackHeight;
    };

    const bool perOutput = vendor == graphicsvendor::kNvidia ||
                           (vendor == graphicsvendor::kIntel && !m_owner.IsWindows7Mode());
    if (!perOutput) {
        modes.GetMaxResolution(0, maxWidth, maxHeight);
        if (onPrimary(*maxWidth, *maxHeight)) {
            *device = displaydevice::kPanel;
            SetSecond(second, 0);
            return 1;
        }
        SetSecond(second, 1);
        *device = m_owner.ActiveDisplayCode() & kExternalOutputBits;
        modes.GetMaxResolution(1, maxWidth, maxHeight);
        return 1;
    }

    int index = 0;
    if (driver->IsDualView()) {
        DriverOrGenericMax(*driver, 0, 0, maxWidth, maxHeight);
        if (onPrimary(*maxWidth, *maxHeight)) {
            SetSecond(second, 0);
        } else {
            index = -1;
            for (int i = 1; i < displaydevice::kCount && index < 0; ++i) {
                if (driver->m_nDeviceStatus[i] == devicestatus::kActive) index = i;
            }
            if (index < 0) {
                WriteLog(L"GetMonitorMaxResolution: no active secondary output under the point");
                return 0;
            }
            SetSecond(second, 1);
            DriverOrGenericMax(*driver, index, 1, maxWidth, maxHeight);
        }
    } else {
        for (int i = 0; i < displaydevice::kCount; ++i) {
            if (driver->m_nDeviceStatus[i] > devicestatus::kConnected) {
                index = i;
                if (vendor == graphicsvendor::kIntel) break;  // Intel: the lowest; NVIDIA: the last
            }
        }
        DriverOrGenericMax(*driver, index, 0, maxWidth, maxHeight);
        SetSecond(second, 0);
    }
    *device = 1 << index;
    return 1;
}

void CDisplayResolution::BuildList(int maxWidth, int maxHeight) {
    const Resolution max{std::max(maxWidth, maxHeight), std::min(maxWidth, maxHeight)};
    auto is = [&](int width, int height) { return max.width == width && max.height == height; };
    if (is(1280, 800) || is(1280, 768) || is(1280, 600)) {
        m_list = {{800, 600}, {1024, 768}, max};
    } else if (is(1680, 1050)) {
        m_list = {{800, 600}, {1024, 768}, {1280, 1024}, {1680, 1050}};
    } else if (is(1440, 900)) {
        m_list = {{800, 600}, {1024, 768}, {1440, 900}};
    } else if (is(1366, 768)) {
        m_list = {{800, 600}, {1024, 768}, {1366, 768}};
    } else if (is(1360, 768)) {
        m_list = {{800, 600}, {1024, 768}, {1360, 768}};
    } else if (is(1600, 900)) {
        m_list = {{800, 600}, {1280, 768}, {1600, 900}};
    } else if (is(1920, 1080)) {
        m_list = {{800, 600}, {1024, 768}, {1680, 1050}, {1920, 1080}};
    } else if (is(1920, 1200)) {
        m_list = {{800, 600}, {1024, 768}, {1680, 1050}, {1920, 1200}};
    } else if (is(1400, 1050)) {
        m_list = {{800, 600}, {1024, 768}, {1280, 800}, {1400, 1050}};
    } else if (is(1280, 1024)) {
        m_list = {{800, 600}, {1024, 768}, {1280, 1024}};
    } else if (is(1024, 600)) {
        m_list = {{800, 600}, {1024, 600}};
    } else if (is(1152, 864)) {
        m_list = {{800, 600}, {1024, 600}, {1152, 864}};
    } else if (is(2048, 1536)) {
        m_list = {{800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}};
    } else if (proc::IsWheelNetbook()) {
        m_list = {{800, 600}, {1024, 600}, {1024, 768}};
    } else {
        m_list = {{800, 600}, {1024, 768}};
    }
    m_bListBuilt = 1;
}

int CDisplayResolution::QueryResolutionList(int x, int y, int* second) {
    try {
        FreeList();
        int device = 0;
        int isSecond = 0;
        int maxWidth = kNoDriverMaximum.width;
        int maxHeight = kNoDriverMaximum.height;
        if (!GetMonitorMaxResolution(x, y, &device, &isSecond, &maxWidth, &maxHeight)) {
            isSecond = 0;
            maxWidth = kNoDriverMaximum.width;
            maxHeight = kNoDriverMaximum.height;
        }
        if (second) *second = isSecond;
        Trace(FormatText(L"Monitor's nMaxWidth= %d, nMaxHeight=%d\n", maxWidth, maxHeight));
        BuildList(maxWidth, maxHeight);
        return 1;
    } catch (...) {
        ReportCaught(L"CDisplayChanger::QueryResolutionList");
        return 0;
    }
}

int CDisplayResolution::StepResolution(int x, int y, int useLadder, Direction direction) {
    const bool up = direction == Direction::Up;
    try {
        CVGA* driver = m_owner.Driver();
        if (!driver) return 0;
        int second = 0;
        if (!QueryResolutionList(x, y, &second) || m_list.empty()) return 0;
        CModeSetting& modes = driver->ModeSetting();

        DEVMODEW mode{};
        if (!modes.GetCurrentDisplayMode(second, &mode)) {
            WriteLog(L"Resolution step: the current mode of the display cannot be read");
            return 0;
        }
        const int w = static_cast<int>(mode.dmPelsWidth);
        const int h = static_cast<int>(mode.dmPelsHeight);
        const Resolution current{std::max(w, h), std::min(w, h)};
        const POINTL position = mode.dmPosition;

        // The source the tries step along, and where in it they start.
        const std::span<const Resolution> ladder(resolutionladder::kSizes);
        const std::span<const Resolution> source = useLadder ? ladder : std::span<const Resolution>(m_list);
        const int last = static_cast<int>(source.size()) - 1;
        Resolution target = up ? m_list.back() : m_list.front();
        int index = -1;        // position of the target in the source; -1: not from it
        bool retries = true;   // further tries along the source after a refusal

        const auto found = std::find_if(source.begin(), source.end(),
                                        [&](const Resolution& r) { return Matches(r, current.width, current.height); });
        if (useLadder && found != source.end()) {
            const int at = static_cast<int>(found - source.begin());
            index = up ? std::min(at + 1, last) : std::max(at - 1, 0);
        } else {
            if (up) {
                for (int i = 0; i <= last && index < 0; ++i) {
                    if (IsLarger(source[i], current)) index = i;
                }
            } else {
                for (int i = last; i >= 0 && index < 0; --i) {
                    if (IsSmaller(source[i], current)) index = i;
                }
            }
            if (index < 0) {
                retries = false;
                // Down the ladder with nothing smaller stays at its smallest size.
                if (useLadder && !up) target = resolutionladder::kSizes[0];
            }
        }
        if (index >= 0) target = source[index];
        if (Matches(target, current.width, current.height)) {
            WriteLog(up ? L"Resolution up: the display is at its largest size already"
                        : L"Resolution down: the display is at its smallest size already");
        }

        int shown = 0;
        for (int tries = 0;; ++tries) {
            const int changed = second ? modes.ChangeSecondDisplaySettings(target.width, target.height, 0, 0, &position)
                                       : modes.ChangePrimaryDisplaySettings(target.width, target.height, 0, 0);
            DEVMODEW after{};
            if (changed && modes.GetCurrentDisplayMode(second, &after) &&
                Matches(target, static_cast<int>(after.dmPelsWidth), static_cast<int>(after.dmPelsHeight))) {
                shown = 1;
                break;
            }
            const int next = up ? index + 1 : index - 1;
            if (!retries || index < 0 || tries >= kMaxRetries || next < 0 || next > last) break;
            index = next;
            target = source[index];
        }
        if (!shown) WriteLog(FormatText(L"Resolution %s: no size could be set", up ? L"up" : L"down"));
        MoveCursorToDisplay(second);
        return shown;
    } catch (...) {
        ReportCaught(up ? L"CDisplayChanger::SetResolutionUp" : L"CDisplayChanger::SetResolutionDown");
        return 0;
    }
}

int CDisplayResolution::SetResolutionUp(int x, int y, int useLadder) {
    return StepResolution(x, y, useLadder, Direction::Up);
}

int CDisplayResolution::SetResolutionDown(int x, int y, int useLadder) {
    return StepResolution(x, y, useLadder, Direction::Down);
}

int CDisplayResolution::MoveCursorToDisplay(int second) {
    if (!second) return 1;
    CVGA* driver = m_owner.Driver();
    DEVMODEW mode{};
    if (driver && driver->ModeSetting().GetCurrentDisplayMode(1, &mode)) {
        m_platform.SetCursorPos(mode.dmPosition.x + static_cast<int>(mode.dmPelsWidth) / 2,
                                mode.dmPosition.y + static_cast<int>(mode.dmPelsHeight) / 2);
    }
    return 1;
}

int CDisplayResolution::GetDisplayRotation(int* angle, int refresh) {
    if (!angle) return 0;
    *angle = 0;
    try {
        CVGA* driver = m_owner.Driver();
        if (!driver) return 0;
        if (refresh) driver->GetConnectedDisplays();
        if (driver->GetVendor() == graphicsvendor::kVia) {
            int read = 0;
            if (driver->GetDisplayRotation(0, &read)) *angle = read;
            return 1;
        }
        for (int i = 0; i < displaydevice::kCount; ++i) {
            if (driver->m_nDeviceStatus[i] != devicestatus::kActive) continue;
            int read = 0;
            if (driver->GetDisplayRotation(1 << i, &read)) *angle = read;
        }
        return 1;
    } catch (...) {
        ReportCaught(L"fail: GetDisplayRotation");
        return 0;
    }
}

void CDisplayResolution::EnsureIntelRotationCaps(CVGA& driver) {
    if (driver.GetVendor() != graphicsvendor::kIntel || !proc::IsIntelNetbook()) return;
    BYTE caps[4] = {};
    if (m_platform.ReadMachineValue(intelrotationcaps::kPath, intelrotationcaps::kName, caps, sizeof caps)) {
        Trace(FormatText(L"%x\n", static_cast<unsigned>(caps[0] | caps[1] << 8 | caps[2] << 16 | caps[3] << 24)));
        if (std::equal(std::begin(caps), std::end(caps), std::begin(intelrotationcaps::kAllRotations))) return;
    }
    m_platform.WriteMachineValue(intelrotationcaps::kPath, intelrotationcaps::kName, intelrotationcaps::kAllRotations,
                                 sizeof intelrotationcaps::kAllRotations);
}

int CDisplayResolution::RotateDisplayStep(int key) {
    try {
        CVGA* driver = m_owner.Driver();
        if (!driver) return 0;
        int angle = 0;
        if (!driver->GetDisplayRotation(1, &angle)) angle = 0;
        const int vendor = driver->GetVendor();
        const bool forward =
            (vendor == graphicsvendor::kAti || vendor == graphicsvendor::kVia) == (key == kRotateForwardKey);
        const int turned = ((angle + (forward ? 90 : 270)) % 360 + 360) % 360;
        EnsureIntelRotationCaps(*driver);
        if (!driver->SetDisplayRotation(1, turned, 0, 0)) return 0;
        settings::WriteInt(settings::kRotationAngle, turned);
        return 1;
    } catch (...) {
        ReportCaught(L"fail: RotateDisplayStep()");
        return 0;
    }
}

int CDisplayResolution::RotateDisplayAt(int x, int y, int angle) {
    const WaitCursor wait(m_platform);
    try {
        CVGA* driver = m_owner.Driver();
        if (!driver) return 0;
        if (driver->GetVendor() == graphicsvendor::kAti) {
            if (angle == 90) angle = 270;
            else if (angle == 270) angle = 90;
        }
        EnsureIntelRotationCaps(*driver);
        int device = 0;
        int second = 0;
        int maxWidth = 0;
        int maxHeight = 0;
        if (!GetMonitorMaxResolution(x, y, &device, &second, &maxWidth, &maxHeight)) {
            WriteLog(L"RotateDisplayAt: no display found under the point");
            return 0;
        }
        const int rotated = driver->SetDisplayRotation(device, angle, second, 0);
        FreeList();
        MoveCursorToDisplay(second);
        return rotated ? 1 : 0;
    } catch (...) {
        ReportCaught(L"fail: RotateDisplayAt()");
        return 0;
    }
}
