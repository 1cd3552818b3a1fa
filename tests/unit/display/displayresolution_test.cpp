// Resolution steps and rotation of the display under the pointer: the lists
// by largest size, the ladder, retries after a refusal, the hit test on a
// dual-view desktop, and the rotation keys.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "common/processstate.h"
#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "display/displayresolution.h"
#include "display/resolutionladder.h"
#include "display/vga.h"
#include "fakedisplaysettings.h"
#include "reportlog.h"

namespace {

using Size = std::pair<int, int>;
using Sizes = std::vector<Size>;

Size Landscape(int w, int h) { return {std::max(w, h), std::min(w, h)}; }
bool SameSize(const Size& a, int w, int h) { return Landscape(a.first, a.second) == Landscape(w, h); }

// Display functions whose accepted changes take effect: a refused size
// gives DISP_CHANGE_BADMODE, an ignored one is accepted but not shown.
class LiveDisplay : public FakeDisplaySettings {
public:
    LONG ChangeDisplaySettings(DEVMODEW* record, DWORD flags) override {
        FakeDisplaySettings::ChangeDisplaySettings(record, flags);
        return Apply(devices[0], record);
    }
    LONG ChangeDisplaySettingsEx(const wchar_t* device, DEVMODEW* record, DWORD flags) override {
        FakeDisplaySettings::ChangeDisplaySettingsEx(device, record, flags);
        for (auto& d : devices) {
            if (device && d.name == device) return Apply(d, record);
        }
        return DISP_CHANGE_SUCCESSFUL;
    }
    // Sizes that reached the system, in order, as landscape pairs (repeats folded).
    Sizes Asked() const {
        Sizes asked;
        for (const RecordedChange& c : changes) {
            if (!c.hasRecord) continue;
            const Size s = Landscape(static_cast<int>(c.record.dmPelsWidth), static_cast<int>(c.record.dmPelsHeight));
            if (asked.empty() || asked.back() != s) asked.push_back(s);
        }
        return asked;
    }

    Sizes refused;
    Sizes ignored;

private:
    static bool In(const Sizes& sizes, int w, int h) {
        return std::any_of(sizes.begin(), sizes.end(), [&](const Size& s) { return SameSize(s, w, h); });
    }
    LONG Apply(FakeDisplayDevice& device, const DEVMODEW* record) {
        if (!record) return DISP_CHANGE_SUCCESSFUL;
        const int w = static_cast<int>(record->dmPelsWidth);
        const int h = static_cast<int>(record->dmPelsHeight);
        if (In(refused, w, h)) return DISP_CHANGE_BADMODE;
        if (In(ignored, w, h)) return DISP_CHANGE_SUCCESSFUL;
        device.current.dmPelsWidth = record->dmPelsWidth;
        device.current.dmPelsHeight = record->dmPelsHeight;
        if (record->dmFields & DM_POSITION) device.current.dmPosition = record->dmPosition;
        return DISP_CHANGE_SUCCESSFUL;
    }
};

struct RotationCall {
    int display, angle, secondDevice;
};

class FakeDriver : public CVGA {
public:
    explicit FakeDriver(IDisplaySettings& display) : CVGA(display) {}
    int GetVendor() override { return vendor; }
    int IsDualView() override { return dualView; }
    int GetConnectedDisplays() override {
        ++refreshes;
        return connected;
    }
    int GetDisplayRotation(int display, int* angle) override {
        rotationReads.push_back(display);
        auto it = std::find_if(angles.begin(), angles.end(), [&](const Size& a) { return a.first == display; });
        if (it == angles.end()) return 0;
        *angle = it->second;
        return 1;
    }
    int SetDisplayRotation(int display, int angle, int secondDevice, int) override {
        rotations.push_back({display, angle, secondDevice});
        if (rotationThrows) throw std::runtime_error("driver fault");
        return rotationResult;
    }

    int vendor = graphicsvendor::kNone;
    int dualView = 0;
    int connected = 1;
    int refreshes = 0;
    int rotationResult = 1;
    bool rotationThrows = false;
    std::vector<Size> angles;  // (device bit or display, angle) the driver reads
    std::vector<int> rotationReads;
    std::vector<RotationCall> rotations;
};

class FakeOwner : public IDisplayResolutionOwner {
public:
    CVGA* Driver() override { return driver; }
    bool IsWindows7Mode() override { return windows7; }
    int ActiveDisplayCode() override { return activeDisplay; }
    int GetConnectedDisplays() override {
        ++ownRefreshes;
        return connected;
    }
    void SetRotationTarget(int target) override { rotationTarget = target; }
    int DriverMaxResolution(int outputIndex, int* width, int* height) override {
        for (const auto& [index, size] : driverMax) {
            if (index == outputIndex) {
                *width = size.first;
                *height = size.second;
                return 1;
            }
        }
        return 0;
    }

    CVGA* driver = nullptr;
    bool windows7 = false;
    int activeDisplay = displaydevice::kPanel;
    int connected = 1;
    int ownRefreshes = 0;
    int rotationTarget = -1;
    std::vector<std::pair<int, Size>> driverMax;
};

class FakePlatform : public IResolutionPlatform {
public:
    void SetCursorPos(int x, int y) override { cursor.push_back({x, y}); }
    HCURSOR ShowWaitCursor() override {
        waitShown = true;
        return kArrow;
    }
    void RestoreCursor(HCURSOR c) override { restored = c; }
    bool ReadMachineValue(const wchar_t*, const wchar_t* name, BYTE* data, DWORD size) override {
        if (!hasCaps || size != 4) return false;
        lastName = name;
        std::memcpy(data, caps, 4);
        return true;
    }
    bool WriteMachineValue(const wchar_t*, const wchar_t* name, const BYTE* data, DWORD size) override {
        lastName = name;
        written.assign(data, data + size);
        return true;
    }

    static inline const HCURSOR kArrow = reinterpret_cast<HCURSOR>(static_cast<INT_PTR>(0x1234));
    std::vector<Size> cursor;
    bool waitShown = false;
    HCURSOR restored = nullptr;
    bool hasCaps = true;
    BYTE caps[4] = {7, 0, 0, 0};
    std::vector<BYTE> written;
    std::wstring lastName;
};

// A display's modes up to w x h, in the shape of w x h (the list reads only those).
std::vector<DEVMODEW> ModesUpTo(int w, int h) {
    const std::vector<DEVMODEW> smaller =
        h > w ? std::vector<DEVMODEW>{Mode(600, 800), Mode(768, 1024)} : std::vector<DEVMODEW>{Mode(800, 600), Mode(1024, 768)};
    std::vector<DEVMODEW> modes;
    for (const DEVMODEW& m : smaller) {
        if (static_cast<int>(m.dmPelsWidth) <= w && static_cast<int>(m.dmPelsHeight) <= h) modes.push_back(m);
    }
    modes.push_back(Mode(w, h));
    return modes;
}

// The panel "\\.\DISPLAY1" (1366 x 768 at the origin) and an external display
// "\\.\DISPLAY2" (1920 x 1080, right of it) on a generic driver.
class DisplayResolutionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        savedFamily_ = proc::modelFamily;
        proc::modelFamily = 0;
        FakeDisplayDevice& panel = display_.Add(L"\\\\.\\DISPLAY1");
        panel.stateFlags |= DISPLAY_DEVICE_PRIMARY_DEVICE;
        panel.current = Mode(1366, 768);
        panel.modes = ModesUpTo(1366, 768);
        FakeDisplayDevice& external = display_.Add(L"\\\\.\\DISPLAY2");
        external.current = Mode(1920, 1080, 32, 60, 1366, 0);
        external.modes = ModesUpTo(1920, 1080);
        driver_ = std::make_unique<FakeDriver>(display_);
        owner_.driver = driver_.get();
        resolution_ = std::make_unique<CDisplayResolution>(owner_, platform_);
    }
    void TearDown() override { proc::modelFamily = savedFamily_; }

    FakeDisplayDevice& Panel() { return display_.devices[0]; }
    FakeDisplayDevice& External() { return display_.devices[1]; }
    static Size Current(const FakeDisplayDevice& d) {
        return {static_cast<int>(d.current.dmPelsWidth), static_cast<int>(d.current.dmPelsHeight)};
    }
    Sizes List() const {
        Sizes sizes;
        for (const Resolution& r : resolution_->List()) sizes.emplace_back(r.width, r.height);
        return sizes;
    }

    LiveDisplay display_;
    std::unique_ptr<FakeDriver> driver_;
    FakeOwner owner_;
    FakePlatform platform_;
    std::unique_ptr<CDisplayResolution> resolution_;
    int savedFamily_ = 0;
};

TEST_F(DisplayResolutionTest, ListFollowsTheDisplaysLargestSize) {
    struct Case {
        Size max;
        int family;
        Sizes list;
    };
    const Case cases[] = {
        {{1280, 800}, 0, {{800, 600}, {1024, 768}, {1280, 800}}},
        {{1280, 600}, 0, {{800, 600}, {1024, 768}, {1280, 600}}},
        {{1680, 1050}, 0, {{800, 600}, {1024, 768}, {1280, 1024}, {1680, 1050}}},
        {{1366, 768}, 0, {{800, 600}, {1024, 768}, {1366, 768}}},
        {{768, 1366}, 0, {{800, 600}, {1024, 768}, {1366, 768}}},  // a portrait panel
        {{1600, 900}, 0, {{800, 600}, {1280, 768}, {1600, 900}}},
        {{1920, 1200}, 0, {{800, 600}, {1024, 768}, {1680, 1050}, {1920, 1200}}},
        {{1400, 1050}, 0, {{800, 600}, {1024, 768}, {1280, 800}, {1400, 1050}}},
        {{1024, 600}, 0, {{800, 600}, {1024, 600}}},
        {{1152, 864}, 0, {{800, 600}, {1024, 600}, {1152, 864}}},
        {{2048, 1536}, 0, {{800, 600}, {1024, 768}, {1152, 864}, {1280, 1024}, {1600, 1200}}},
        {{1600, 1200}, 10, {{800, 600}, {1024, 600}, {1024, 768}}},
        {{1600, 1200}, 0, {{800, 600}, {1024, 768}}},
        {{1024, 600}, 10, {{800, 600}, {1024, 600}}},  // a listed maximum wins over the family
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.max.first << "x" << c.max.second << " family " << c.family);
        proc::modelFamily = c.family;
        Panel().modes = ModesUpTo(c.max.first, c.max.second);
        Panel().current = Mode(c.max.first, c.max.second);
        int second = -1;
        ASSERT_EQ(resolution_->QueryResolutionList(100, 100, &second), 1);
        EXPECT_EQ(second, 0);
        EXPECT_EQ(resolution_->IsListBuilt(), 1);
        EXPECT_EQ(List(), c.list);
    }
}

TEST_F(DisplayResolutionTest, WithoutADisplayUnderThePointTheListIsFor1024x768) {
    owner_.driver = nullptr;
    int second = -1;  // left undefined before; now always set
    ASSERT_EQ(resolution_->QueryResolutionList(100, 100, &second), 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(List(), (Sizes{{800, 600}, {1024, 768}}));

    owner_.driver = driver_.get();
    driver_->connected = 0;  // the refresh of the outputs fails
    second = -1;
    ASSERT_EQ(resolution_->QueryResolutionList(100, 100, &second), 1);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(List(), (Sizes{{800, 600}, {1024, 768}}));
}

TEST_F(DisplayResolutionTest, StepsUpAndDownTheListAndTheLadder) {
    struct Case {
        const char* name;
        Size max;
        int family;
        Size current;
        int useLadder;
        bool up;
        Size shown;
    };
    const Case cases[] = {
        {"list middle up", {1366, 768}, 0, {1024, 768}, 0, true, {1366, 768}},
        {"list middle down", {1366, 768}, 0, {1024, 768}, 0, false, {800, 600}},
        {"list first up", {1366, 768}, 0, {800, 600}, 0, true, {1024, 768}},
        {"list first down stays", {1366, 768}, 0, {800, 600}, 0, false, {800, 600}},
        {"list last up stays", {1366, 768}, 0, {1366, 768}, 0, true, {1366, 768}},
        {"list last down", {1366, 768}, 0, {1366, 768}, 0, false, {1024, 768}},
        {"not in list up", {1366, 768}, 0, {1100, 700}, 0, true, {1366, 768}},
        {"not in list down", {1366, 768}, 0, {1100, 700}, 0, false, {800, 600}},
        {"family 10 down", {1600, 1200}, 10, {1024, 768}, 0, false, {1024, 600}},
        {"ladder first up", {1366, 768}, 0, {800, 480}, 1, true, {800, 600}},
        {"ladder first down stays", {1366, 768}, 0, {800, 480}, 1, false, {800, 480}},
        {"ladder middle up", {1366, 768}, 0, {1280, 800}, 1, true, {1280, 1024}},
        {"ladder middle down", {1366, 768}, 0, {1280, 800}, 1, false, {1280, 768}},
        {"ladder last up stays", {1366, 768}, 0, {2048, 1536}, 1, true, {2048, 1536}},
        {"ladder last down", {1366, 768}, 0, {2048, 1536}, 1, false, {1920, 1440}},
        {"not on ladder up", {1366, 768}, 0, {1100, 700}, 1, true, {1152, 864}},
        {"not on ladder down", {1366, 768}, 0, {1100, 700}, 1, false, {1024, 600}},
        {"below the ladder down", {1366, 768}, 0, {640, 480}, 1, false, {800, 480}},
        {"portrait list up", {1366, 768}, 0, {768, 1024}, 0, true, {768, 1366}},
        {"portrait ladder down", {1366, 768}, 0, {768, 1024}, 1, false, {600, 1024}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportLog::Clear();
        proc::modelFamily = c.family;
        const bool portrait = c.current.second > c.current.first;
        Panel().modes = portrait ? ModesUpTo(c.max.second, c.max.first) : ModesUpTo(c.max.first, c.max.second);
        Panel().current = Mode(c.current.first, c.current.second);
        platform_.cursor.clear();
        const int result = c.up ? resolution_->SetResolutionUp(100, 100, c.useLadder)
                                : resolution_->SetResolutionDown(100, 100, c.useLadder);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(Current(Panel()), c.shown);
        EXPECT_EQ(Current(External()), Size(1920, 1080));
        EXPECT_TRUE(platform_.cursor.empty());  // the pointer stays on the primary
        const bool stays = std::strstr(c.name, "stays") != nullptr;
        EXPECT_EQ(ReportLog::Has(c.up ? L"Resolution up: the display is at its largest size already"
                                      : L"Resolution down: the display is at its smallest size already"),
                  stays);
    }
}

TEST_F(DisplayResolutionTest, ARefusedSizeIsFollowedByTheNextOfTheSameSource) {
    struct Case {
        const char* name;
        int useLadder;
        bool up;
        Size current;
        Sizes refused, ignored;
        int result;
        Size shown;
        Sizes asked;  // the sizes sent, in order
    };
    const Case cases[] = {
        {"list up past a refusal", 0, true, {800, 600}, {{1024, 768}}, {}, 1, {1366, 768},
         {{1024, 768}, {1366, 768}}},
        {"list up past a size not shown", 0, true, {800, 600}, {}, {{1024, 768}}, 1, {1366, 768},
         {{1024, 768}, {1366, 768}}},
        {"list down never below the first", 0, false, {1366, 768}, {{1024, 768}, {800, 600}}, {}, 0, {1366, 768},
         {{1024, 768}, {800, 600}}},
        {"ladder up gives up after seven more", 1, true, {800, 480},
         {{800, 600}, {1024, 600}, {1024, 768}, {1152, 864}, {1280, 720}, {1280, 768}, {1280, 800}, {1280, 1024},
          {1360, 768}},
         {}, 0, {800, 480},
         {{800, 600}, {1024, 600}, {1024, 768}, {1152, 864}, {1280, 720}, {1280, 768}, {1280, 800}, {1280, 1024}}},
        {"nothing smaller than the size: one try only", 1, false, {640, 480}, {{800, 480}}, {}, 0, {640, 480},
         {{800, 480}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportLog::Clear();
        Panel().current = Mode(c.current.first, c.current.second);
        display_.refused = c.refused;
        display_.ignored = c.ignored;
        display_.changes.clear();
        const int result = c.up ? resolution_->SetResolutionUp(100, 100, c.useLadder)
                                : resolution_->SetResolutionDown(100, 100, c.useLadder);
        EXPECT_EQ(result, c.result);  // all tries failing is not a success
        EXPECT_EQ(Current(Panel()), c.shown);
        EXPECT_EQ(display_.Asked(), c.asked);
        EXPECT_EQ(ReportLog::Has(c.up ? L"Resolution up: no size could be set" : L"Resolution down: no size could be set"),
                  c.result == 0);
    }
}

TEST_F(DisplayResolutionTest, PointOnTheExternalDisplayOfADualViewChangesThatDisplayOnly) {
    owner_.activeDisplay = combination::kDualExternalPrimary | combination::kPanelCrt;  // 0x203
    ASSERT_EQ(resolution_->SetResolutionDown(2000, 500, 0), 1);
    EXPECT_EQ(Current(External()), Size(1680, 1050));
    EXPECT_EQ(External().current.dmPosition.x, 1366);  // kept beside the panel
    EXPECT_EQ(Current(Panel()), Size(1366, 768));
    EXPECT_EQ(owner_.rotationTarget, 1);
    EXPECT_EQ(platform_.cursor, (std::vector<Size>{{1366 + 840, 525}}));  // the centre of the changed display

    platform_.cursor.clear();
    ASSERT_EQ(resolution_->SetResolutionDown(500, 500, 0), 1);
    EXPECT_EQ(Current(Panel()), Size(1024, 768));
    EXPECT_EQ(Current(External()), Size(1680, 1050));
    EXPECT_EQ(owner_.rotationTarget, 0);
    EXPECT_TRUE(platform_.cursor.empty());
}

// Which output is under the point, per vendor, on a desktop of the panel
// (1366 x 768) with the external display right of it.
TEST_F(DisplayResolutionTest, FindsTheOutputUnderThePoint) {
    struct Case {
        const char* name;
        int vendor;
        bool windows7;
        int dualView;
        int activeDisplay;
        int status[displaydevice::kCount];
        Size point;
        int device, second;
        Size max;
    };
    // Intel reports an optimal size of 1920 x 1200 for the panel, larger than
    // the desktop the panel shows: a point right of the panel is still on the external display.
    const Case cases[] = {
        {"generic on panel", graphicsvendor::kNone, false, 0, 0x203, {2, 2}, {10, 10}, 0x01, 0, {1366, 768}},
        {"generic external primary dual view", graphicsvendor::kNone, false, 0, 0x203, {2, 2}, {1500, 10}, 0x02, 1,
         {1920, 1080}},
        {"generic panel primary dual view", graphicsvendor::kNone, false, 0, 0x109, {2, 0, 0, 2}, {1500, 10}, 0x08, 1,
         {1920, 1080}},
        {"left of the panel", graphicsvendor::kAti, false, 0, 0x103, {2, 2}, {-5, 10}, 0x02, 1, {1920, 1080}},
        {"intel windows 7 as generic", graphicsvendor::kIntel, true, 1, 0x103, {2, 2}, {1500, 10}, 0x02, 1,
         {1920, 1080}},
        {"intel dual view on panel", graphicsvendor::kIntel, false, 1, 0x103, {2, 2}, {10, 10}, 0x01, 0,
         {1920, 1200}},
        {"intel dual view on external", graphicsvendor::kIntel, false, 1, 0x103, {2, 0, 2}, {1500, 10}, 0x04, 1,
         {1280, 1024}},
        {"intel single: lowest active", graphicsvendor::kIntel, false, 0, 0x02, {0, 2, 0, 2}, {10, 10}, 0x02, 0,
         {1280, 1024}},
        {"nvidia single: last active, the primary's maximum", graphicsvendor::kNvidia, false, 0, 0x08, {0, 2, 0, 2},
         {10, 10}, 0x08, 0, {1366, 768}},
        {"nvidia dual view on external", graphicsvendor::kNvidia, false, 1, 0x103, {2, 2}, {1500, 10}, 0x02, 1,
         {1920, 1080}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        driver_->vendor = c.vendor;
        driver_->dualView = c.dualView;
        std::copy(std::begin(c.status), std::end(c.status), driver_->m_nDeviceStatus);
        owner_.windows7 = c.windows7;
        owner_.activeDisplay = c.activeDisplay;
        owner_.driverMax.clear();
        if (c.vendor == graphicsvendor::kIntel && !c.windows7) {
            owner_.driverMax = {{0, {1920, 1200}}, {1, {1280, 1024}}, {2, {1280, 1024}}, {3, {1280, 1024}}};
        }
        owner_.rotationTarget = -1;
        int device = -1, second = -1, w = 0, h = 0;
        ASSERT_EQ(resolution_->GetMonitorMaxResolution(c.point.first, c.point.second, &device, &second, &w, &h), 1);
        EXPECT_EQ(device, c.device);
        EXPECT_EQ(second, c.second);
        EXPECT_EQ(owner_.rotationTarget, c.second);
        EXPECT_EQ(Size(w, h), c.max);
    }
}

TEST_F(DisplayResolutionTest, OutputsAreRefreshedByTheChangerInWindows7ModeAndAFailedRefreshFindsNothing) {
    int device = 0, second = 0, w = 0, h = 0;
    owner_.windows7 = true;
    ASSERT_EQ(resolution_->GetMonitorMaxResolution(10, 10, &device, &second, &w, &h), 1);
    EXPECT_EQ(owner_.ownRefreshes, 1);
    EXPECT_EQ(driver_->refreshes, 0);

    owner_.connected = 0;
    EXPECT_EQ(resolution_->GetMonitorMaxResolution(10, 10, &device, &second, &w, &h), 0);
    owner_.windows7 = false;
    driver_->connected = 0;
    EXPECT_EQ(resolution_->GetMonitorMaxResolution(10, 10, &device, &second, &w, &h), 0);
    EXPECT_EQ(driver_->refreshes, 1);
}

TEST_F(DisplayResolutionTest, RotationKeyTurnsThePrimaryAQuarterAndStoresTheAngle) {
    struct Case {
        int vendor, key, start, turned;
    };
    const Case cases[] = {
        {graphicsvendor::kAti, 42, 0, 90},       {graphicsvendor::kIntel, 42, 0, 270},
        {graphicsvendor::kVia, 42, 270, 0},      {graphicsvendor::kNvidia, 42, 90, 0},
        {graphicsvendor::kAti, 0, 0, 270},       {graphicsvendor::kIntel, 0, 270, 0},
        {graphicsvendor::kNvidia, 17, 180, 270}, {graphicsvendor::kVia, 0, 90, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "vendor " << c.vendor << " key " << c.key << " from " << c.start);
        driver_->vendor = c.vendor;
        driver_->angles = {{1, c.start}};
        driver_->rotations.clear();
        settings::WriteInt(settings::kRotationAngle, 999);
        ASSERT_EQ(resolution_->RotateDisplayStep(c.key), 1);
        ASSERT_EQ(driver_->rotations.size(), 1u);
        EXPECT_EQ(driver_->rotations[0].display, 1);
        EXPECT_EQ(driver_->rotations[0].angle, c.turned);
        EXPECT_EQ(settings::ReadInt(settings::kRotationAngle), c.turned);
    }
}

TEST_F(DisplayResolutionTest, RefusedRotationKeyStoresNothing) {
    driver_->rotationResult = 0;
    settings::WriteInt(settings::kRotationAngle, 180);
    EXPECT_EQ(resolution_->RotateDisplayStep(42), 0);
    EXPECT_EQ(settings::ReadInt(settings::kRotationAngle), 180);

    owner_.driver = nullptr;
    EXPECT_EQ(resolution_->RotateDisplayStep(42), 0);
}

TEST_F(DisplayResolutionTest, IntelModelFamily1GetsAllRotationCapabilities) {
    struct Case {
        int vendor, family;
        bool hasCaps;
        BYTE caps[4];
        bool written;
    };
    const Case cases[] = {
        {graphicsvendor::kIntel, 1, true, {3, 0, 0, 0}, true},  {graphicsvendor::kIntel, 1, true, {7, 0, 0, 0}, false},
        {graphicsvendor::kIntel, 1, false, {0, 0, 0, 0}, true}, {graphicsvendor::kIntel, 4, true, {3, 0, 0, 0}, false},
        {graphicsvendor::kAti, 1, true, {3, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "vendor " << c.vendor << " family " << c.family << " caps " << +c.caps[0]);
        driver_->vendor = c.vendor;
        proc::modelFamily = c.family;
        platform_.hasCaps = c.hasCaps;
        std::memcpy(platform_.caps, c.caps, 4);
        platform_.written.clear();
        for (int step = 0; step < 2; ++step) {  // both rotation paths take the step
            platform_.written.clear();
            ASSERT_EQ(step ? resolution_->RotateDisplayAt(10, 10, 90) : resolution_->RotateDisplayStep(42), 1);
            EXPECT_EQ(!platform_.written.empty(), c.written);
            if (c.written) {
                EXPECT_EQ(platform_.written, (std::vector<BYTE>{7, 0, 0, 0}));
                EXPECT_EQ(platform_.lastName, L"Display1_RotationCaps");
            }
        }
    }
}

TEST_F(DisplayResolutionTest, RotateDisplayAtTurnsTheDisplayUnderThePoint) {
    struct Case {
        int vendor;
        Size point;
        int angle;
        int device, angleSent, second;
    };
    const Case cases[] = {
        {graphicsvendor::kNone, {10, 10}, 90, 0x01, 90, 0},
        {graphicsvendor::kNone, {1500, 10}, 180, 0x02, 180, 1},
        {graphicsvendor::kAti, {10, 10}, 90, 0x01, 270, 0},
        {graphicsvendor::kAti, {1500, 10}, 270, 0x02, 90, 1},
        {graphicsvendor::kAti, {10, 10}, 180, 0x01, 180, 0},
    };
    owner_.activeDisplay = 0x203;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "vendor " << c.vendor << " at " << c.point.first << " angle " << c.angle);
        driver_->vendor = c.vendor;
        driver_->rotations.clear();
        platform_.cursor.clear();
        platform_.restored = nullptr;
        resolution_->QueryResolutionList(10, 10, nullptr);
        ASSERT_EQ(resolution_->RotateDisplayAt(c.point.first, c.point.second, c.angle), 1);
        ASSERT_EQ(driver_->rotations.size(), 1u);
        EXPECT_EQ(driver_->rotations[0].display, c.device);
        EXPECT_EQ(driver_->rotations[0].angle, c.angleSent);
        EXPECT_EQ(driver_->rotations[0].secondDevice, c.second);
        EXPECT_EQ(resolution_->IsListBuilt(), 0);  // the cached list is freed
        EXPECT_EQ(platform_.cursor.size(), c.second ? 1u : 0u);
        EXPECT_EQ(platform_.restored, FakePlatform::kArrow);
    }
}

TEST_F(DisplayResolutionTest, RotateDisplayAtReportsWhatHappenedAndAlwaysRestoresTheCursor) {
    driver_->rotationResult = 0;
    EXPECT_EQ(resolution_->RotateDisplayAt(10, 10, 90), 0);
    EXPECT_EQ(platform_.restored, FakePlatform::kArrow);

    platform_.restored = nullptr;
    driver_->rotationResult = 1;
    driver_->connected = 0;  // no output to be found
    EXPECT_EQ(resolution_->RotateDisplayAt(10, 10, 90), 0);
    EXPECT_EQ(platform_.restored, FakePlatform::kArrow);

    platform_.restored = nullptr;
    driver_->connected = 1;
    driver_->rotationThrows = true;  // a fault inside the driver stays inside the operation
    EXPECT_EQ(resolution_->RotateDisplayAt(10, 10, 90), 0);
    EXPECT_EQ(platform_.restored, FakePlatform::kArrow);
    EXPECT_TRUE(ReportLog::Has(L"fail: RotateDisplayAt()"));
    EXPECT_EQ(resolution_->RotateDisplayStep(42), 0);
    EXPECT_TRUE(ReportLog::Has(L"fail: RotateDisplayStep()"));

    platform_.restored = nullptr;
    platform_.waitShown = false;
    owner_.driver = nullptr;
    EXPECT_EQ(resolution_->RotateDisplayAt(10, 10, 90), 0);
    EXPECT_TRUE(platform_.waitShown);
    EXPECT_EQ(platform_.restored, FakePlatform::kArrow);
}

TEST_F(DisplayResolutionTest, ReadsTheRotationOfTheActiveOutputs) {
    struct Case {
        const char* name;
        int vendor;
        int status[displaydevice::kCount];
        std::vector<Size> angles;
        int result, angle;
        std::vector<int> reads;
    };
    const Case cases[] = {
        {"last active stands", graphicsvendor::kAti, {2, 1, 2}, {{0x01, 90}, {0x04, 180}}, 1, 180, {0x01, 0x04}},
        {"a failed read leaves 0", graphicsvendor::kNvidia, {2}, {}, 1, 0, {0x01}},
        {"a failed read keeps the one before", graphicsvendor::kIntel, {2, 2}, {{0x01, 270}}, 1, 270, {0x01, 0x02}},
        {"via reads display 0", graphicsvendor::kVia, {2, 2}, {{0, 90}}, 1, 90, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        driver_->vendor = c.vendor;
        std::copy(std::begin(c.status), std::end(c.status), driver_->m_nDeviceStatus);
        driver_->angles = c.angles;
        driver_->rotationReads.clear();
        driver_->refreshes = 0;
        int angle = 12345;
        EXPECT_EQ(resolution_->GetDisplayRotation(&angle, 1), c.result);
        EXPECT_EQ(angle, c.angle);
        EXPECT_EQ(driver_->rotationReads, c.reads);
        EXPECT_EQ(driver_->refreshes, 1);
    }
    owner_.driver = nullptr;
    int angle = 12345;
    EXPECT_EQ(resolution_->GetDisplayRotation(&angle, 0), 0);
    EXPECT_EQ(angle, 0);
}

}  // namespace
