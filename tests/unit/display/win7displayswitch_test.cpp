// The Windows 7 display configuration against the four functions in memory:
// vendor and target ids, the connected and active readers, the exact path
// and mode arrays of every combination family on Intel, NVIDIA and ATI
// target ids, validate-then-apply, the stock topologies and the driver as
// the last resort, and the video signal handed to and from the profile store.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "common/processstate.h"
#include "display/win7displayswitch.h"
#include "fakedisplayconfig.h"
#include "fakedisplaysettings.h"
#include "reportlog.h"

namespace {

namespace dc = displayconfig;
using fakeconfig::AddLivePath;
using fakeconfig::Signal;
using Lines = std::vector<std::string>;

// A driver that records what the component asks of it as the last resort.
class RecordingDriver : public CVGA {
public:
    explicit RecordingDriver(IDisplaySettings& display) : CVGA(display) {}
    int ChangeDisplayCombination(int code) override {
        switched.push_back(code);
        return result;
    }
    std::vector<int> switched;
    int result = 1;
};

class FakeOwner : public IWin7DisplayOwner {
public:
    CVGA* Driver() override { return driver; }
    dc::VideoSignalInfo HeldVideoSignal() override { return held; }
    void ClearHeldVideoSignal() override {
        held = {};
        ++cleared;
    }
    CVGA* driver = nullptr;
    dc::VideoSignalInfo held;
    int cleared = 0;
};

struct Vendor {
    const char* name;
    const wchar_t* deviceId;
    std::uint32_t panel, crt, tv, hdmi;
};
const Vendor kIntel{"Intel", L"PCI\\VEN_8086&DEV_2A42", 0x4070400, 0x1010100, 0x2090200, 0x3030300};
const Vendor kNvidia{"NVIDIA", L"PCI\\VEN_10DE&DEV_0A74", 0x1000110, 0x1000100, 0x10000200, 0x1000111};
const Vendor kAti{"ATI", L"PCI\\VEN_1002&DEV_9552", 0x100, 0x101, 0x10000000, 0x102};
constexpr std::uint32_t kIntelWidi = 0x3100B00;
constexpr dc::AdapterLuid kLuid{0x3F0, 0};

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

// A path and its modes as one readable line each.
std::string Describe(const dc::PathInfo& p) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "src %u mode %u status %u | tgt 0x%x mode %u tech 0x%x rot %u scale %u rate %u/%u scan %u avail %d "
                  "status %u | flags %u",
                  p.sourceInfo.id, p.sourceInfo.modeInfoIdx, p.sourceInfo.statusFlags, p.targetInfo.id,
                  p.targetInfo.modeInfoIdx, p.targetInfo.outputTechnology, p.targetInfo.rotation, p.targetInfo.scaling,
                  p.targetInfo.refreshRate.numerator, p.targetInfo.refreshRate.denominator,
                  p.targetInfo.scanLineOrdering, p.targetInfo.targetAvailable, p.targetInfo.statusFlags, p.flags);
    return text;
}
std::string Describe(const dc::ModeInfo& m) {
    char text[128];
    if (m.infoType == dc::modekind::kTarget) {
        std::snprintf(text, sizeof text, "target 0x%x %ux%u", m.id, m.targetMode.activeSize.cx,
                      m.targetMode.activeSize.cy);
    } else {
        std::snprintf(text, sizeof text, "source %u %ux%u fmt %u at %d,%d", m.id, m.sourceMode.width,
                      m.sourceMode.height, m.sourceMode.pixelFormat, m.sourceMode.x, m.sourceMode.y);
    }
    return text;
}
Lines Describe(const fakeconfig::Applied& applied) {
    Lines lines;
    for (const auto& p : applied.paths) lines.push_back(Describe(p));
    for (const auto& m : applied.modes) lines.push_back(Describe(m));
    return lines;
}

// Replaces {panel}, {crt}, {tv}, {hdmi} and {widi} by a vendor's ids.
Lines ForVendor(Lines lines, const Vendor& vendor) {
    const std::pair<std::string, std::uint32_t> names[] = {
        {"{panel}", vendor.panel}, {"{crt}", vendor.crt}, {"{tv}", vendor.tv}, {"{hdmi}", vendor.hdmi},
        {"{widi}", kIntelWidi}};
    for (std::string& line : lines) {
        for (const auto& [name, id] : names) {
            for (size_t at; (at = line.find(name)) != std::string::npos;) line.replace(at, name.size(), Hex(id));
        }
    }
    return lines;
}

class Win7Test : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        proc::auditMode = false;
        FakeDisplayDevice& panel = display_.Add(L"\\\\.\\DISPLAY1");
        panel.stateFlags |= DISPLAY_DEVICE_PRIMARY_DEVICE;
        FakeDisplayDevice& second = display_.Add(L"\\\\.\\DISPLAY2");
        second.stateFlags = 0;
        driver_ = std::make_unique<RecordingDriver>(display_);
        owner_.driver = driver_.get();
    }
    void TearDown() override { proc::auditMode = false; }

    // A notebook of that vendor: the panel alone active, the CRT, TV and
    // HDMI connected (their preferred modes readable), then initialised.
    void Notebook(const Vendor& vendor, bool withTv = true) {
        vendor_ = vendor;
        for (auto& device : display_.devices) device.deviceId = vendor.deviceId;
        AddLivePath(&config_.all, vendor.panel, dc::technology::kInternal, 0, 1366, 768);
        config_.active = config_.all;
        config_.Prefer(vendor.panel, 1366, 768);
        config_.Prefer(vendor.crt, 1920, 1080);
        config_.Prefer(vendor.hdmi, 1280, 720);
        if (withTv) config_.Prefer(vendor.tv, 720, 576);
        Init();
    }
    void Init() {
        component_ = std::make_unique<CWin7DisplaySwitch>(config_, display_);
        EXPECT_EQ(component_->InitDisplayConfig(&owner_), 1);
        config_.calls.clear();
    }
    int Topology(int code, int applyDirectly = 0) {
        return component_->SetDisplayTopology(code, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, applyDirectly);
    }
    int Change(int code) { return component_->ChangeDisplayEx(code, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0); }
    Lines SetFlags() const {
        Lines flags;
        for (const auto& a : config_.applied) flags.push_back(Hex(a.flags));
        return flags;
    }
    // The second display on the desktop (dual view).
    void SecondAttached() { display_.devices[1].stateFlags = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP; }

    fakeconfig::FakeDisplayConfig config_;
    FakeDisplaySettings display_;
    std::unique_ptr<RecordingDriver> driver_;
    FakeOwner owner_;
    std::unique_ptr<CWin7DisplaySwitch> component_;
    Vendor vendor_ = kIntel;
};

TEST(Win7RecordsTest, RecordsHaveTheSystemsSizes) {
    EXPECT_EQ(sizeof(dc::PathInfo), 72u);
    EXPECT_EQ(sizeof(dc::ModeInfo), 64u);
    EXPECT_EQ(sizeof(dc::TargetPreferredMode), 80u);
    EXPECT_EQ(sizeof(dc::VideoSignalInfo), 48u);
}

// --- vendor and target ids ---------------------------------------------------

struct VendorCase {
    std::vector<std::tuple<const wchar_t*, const wchar_t*, DWORD>> devices;  // id, description, state
    int vendor;
    std::uint32_t panel, hdmi, widi;
};

class Win7VendorTest : public Win7Test, public ::testing::WithParamInterface<VendorCase> {};

TEST_P(Win7VendorTest, FirstAttachedDeviceOfAKnownVendorChoosesTheTargetIds) {
    display_.devices.clear();
    int n = 0;
    for (const auto& [id, description, state] : GetParam().devices) {
        FakeDisplayDevice& d = display_.Add(L"\\\\.\\DISPLAY" + std::to_wstring(++n));
        d.deviceId = id;
        d.description = description;
        d.stateFlags = state;
    }
    Init();  // no live paths: the table alone
    EXPECT_EQ(component_->Vendor(), GetParam().vendor);
    EXPECT_EQ(Hex(component_->Targets().panel), Hex(GetParam().panel));
    EXPECT_EQ(Hex(component_->Targets().hdmi), Hex(GetParam().hdmi));
    EXPECT_EQ(Hex(component_->Targets().wirelessDisplay), Hex(GetParam().widi));
}

constexpr DWORD kOn = DISPLAY_DEVICE_ATTACHED_TO_DESKTOP;
constexpr std::uint32_t kNone = CWin7DisplaySwitch::kNoTarget;
INSTANTIATE_TEST_SUITE_P(
    Vendors, Win7VendorTest,
    ::testing::Values(
        VendorCase{{{L"PCI\\VEN_1002&DEV_9552", L"ATI Mobility Radeon", kOn}}, win7vendor::kAti, 0x100, 0x102, kNone},
        VendorCase{{{L"PCI\\VEN_10DE&DEV_0A74", L"NVIDIA GeForce G210M", kOn}}, win7vendor::kNvidia, 0x1000110,
                   0x1000111, kNone},
        VendorCase{{{L"PCI\\VEN_10DE&DEV_087D", L"NVIDIA ION LE", kOn}}, win7vendor::kNvidia, 0x2000110, 0x2000111,
                   kNone},
        VendorCase{{{L"PCI\\VEN_8086&DEV_2A42", L"Mobile Intel", 0}, {L"PCI\\VEN_10DE&DEV_0A74", L"NVIDIA", kOn}},
                   win7vendor::kNvidia, 0x1000110, 0x1000111, kNone},
        VendorCase{{{L"PCI\\VEN_8086&DEV_2A42", L"Mobile Intel", kOn}}, win7vendor::kIntel, 0x4070400, 0x3030300,
                   kIntelWidi},
        VendorCase{{{L"PCI\\VEN_0000&DEV_0000", L"Wine Adapter", kOn}, {L"PCI\\VEN_1106&DEV_3371", L"VIA", kOn}},
                   win7vendor::kVia, 2, 16, kNone},
        // Unknown: no id of the table, and none that a real target has.
        VendorCase{{{L"PCI\\VEN_0000&DEV_0000", L"Wine Adapter", kOn}}, win7vendor::kUnknown, kNone, kNone, kNone}));

TEST_F(Win7Test, LiveTechnologiesRefineTheIdsAndADviOutputStandsForHdmi) {
    for (auto& device : display_.devices) device.deviceId = kNvidia.deviceId;
    AddLivePath(&config_.all, 0x1000120, dc::technology::kInternal, 0, 1366, 768, 0, 0, {0x1234, 0});
    AddLivePath(&config_.all, 0x1000131, dc::technology::kDvi, 1, 1280, 720);
    AddLivePath(&config_.all, 0x1000101, dc::technology::kHd15, 1, 1280, 720);
    config_.Prefer(0x1000120, 1366, 768);
    config_.Prefer(0x1000131, 1280, 720);
    Init();
    EXPECT_EQ(Hex(component_->Targets().panel), "0x1000120");
    EXPECT_EQ(Hex(component_->Targets().crt), "0x1000101");
    EXPECT_EQ(Hex(component_->Targets().hdmi), "0x1000131");
    EXPECT_EQ(Hex(component_->Targets().secondHdmi), "0x1000131");
    EXPECT_TRUE(component_->Dvi());
    EXPECT_EQ(component_->AdapterLuid().lowPart, 0x1234u) << "the adapter of the first path";

    ASSERT_EQ(Topology(0x08), 1);
    ASSERT_FALSE(config_.applied.empty());
    EXPECT_EQ(config_.applied[0].paths[0].targetInfo.outputTechnology, dc::technology::kDvi);
}

TEST_F(Win7Test, IntelHdmiPathsBeforeTheKnownOneAreTheOtherConnector) {
    for (auto& device : display_.devices) device.deviceId = kIntel.deviceId;
    AddLivePath(&config_.all, kIntel.panel, dc::technology::kInternal, 0, 1366, 768);
    AddLivePath(&config_.all, 0x3030B00, dc::technology::kHdmi, 1, 1280, 720);
    Init();
    EXPECT_EQ(Hex(component_->Targets().hdmi), "0x3030b00");
    EXPECT_EQ(Hex(component_->Targets().panel), Hex(kIntel.panel)) << "Intel keeps its table otherwise";

    config_.all = {};
    AddLivePath(&config_.all, kIntel.hdmi, dc::technology::kHdmi, 0, 1280, 720);
    AddLivePath(&config_.all, 0x3030B00, dc::technology::kHdmi, 1, 1280, 720);
    Init();
    EXPECT_EQ(Hex(component_->Targets().hdmi), Hex(kIntel.hdmi));
}

// --- connected and active outputs ----------------------------------------------

struct ConnectedCase {
    std::vector<std::uint32_t> connected;  // targets besides the panel with a readable preferred mode
    int code;
};
class Win7ConnectedTest : public Win7Test, public ::testing::WithParamInterface<ConnectedCase> {};

TEST_P(Win7ConnectedTest, PreferredModesNameTheConnectedCombination) {
    for (auto& device : display_.devices) device.deviceId = kIntel.deviceId;
    AddLivePath(&config_.all, kIntel.panel, dc::technology::kInternal, 0, 1366, 768);
    config_.Prefer(kIntel.panel, 1366, 768);
    for (std::uint32_t id : GetParam().connected) config_.Prefer(id, 1024, 768);
    Init();
    int code = -1;
    ASSERT_EQ(component_->GetConnectedCode(&code), 1);
    EXPECT_EQ(code, GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Intel, Win7ConnectedTest,
                         ::testing::Values(ConnectedCase{{}, 1}, ConnectedCase{{kIntel.crt}, 3},
                                           ConnectedCase{{kIntel.hdmi}, 9}, ConnectedCase{{kIntel.tv}, 5},
                                           ConnectedCase{{kIntelWidi}, 25},
                                           ConnectedCase{{kIntel.crt, kIntel.hdmi}, 11},
                                           ConnectedCase{{kIntel.crt, kIntel.hdmi, kIntel.tv}, 15},
                                           ConnectedCase{{kIntel.crt, kIntel.hdmi, kIntelWidi}, 30},
                                           ConnectedCase{{kIntel.crt, kIntel.tv}, 7},
                                           ConnectedCase{{kIntel.crt, kIntelWidi}, 26},
                                           ConnectedCase{{kIntel.hdmi, kIntel.tv}, 13},
                                           ConnectedCase{{kIntel.hdmi, kIntelWidi}, 27},
                                           ConnectedCase{{kIntel.tv, kIntelWidi}, 28}));

TEST_F(Win7Test, ConnectedReaderFillsTheDriversStatusEntries) {
    Notebook(kIntel, false);
    int code = 0;
    ASSERT_EQ(component_->GetConnectedCode(&code), 1);
    EXPECT_EQ(code, 11);
    const std::vector<int> status(driver_->m_nDeviceStatus, driver_->m_nDeviceStatus + 6);
    EXPECT_EQ(status, (std::vector<int>{1, 1, 0, 1, 0, 0}));
    EXPECT_EQ(config_.calls, (Lines{"preferred 0x1010100", "preferred 0x3030300", "preferred 0x2090200",
                                    "preferred 0x3100b00"}));
}

TEST_F(Win7Test, UnknownVendorsOutputsAreNotTakenForThePanelsTarget) {
    // As Wine reports: one path, target id 0, technology internal, a readable preferred mode.
    AddLivePath(&config_.all, 0, dc::technology::kInternal, 0, 1366, 768);
    config_.Prefer(0, 1366, 768);
    Init();
    EXPECT_EQ(component_->Vendor(), win7vendor::kUnknown);
    EXPECT_EQ(component_->Targets().panel, 0u);
    int code = 0;
    ASSERT_EQ(component_->GetConnectedCode(&code), 1);
    EXPECT_EQ(code, 1) << "no external output may share the panel's id 0";
    EXPECT_TRUE(config_.calls.empty()) << "an output without an id is not asked about";
}

struct ActiveCase {
    const char* name;
    std::vector<std::tuple<std::uint32_t, std::uint32_t, std::int32_t>> paths;  // target, source, x
    bool secondAttached;
    int code;
};
class Win7ActiveTest : public Win7Test, public ::testing::WithParamInterface<ActiveCase> {};

TEST_P(Win7ActiveTest, ActivePathsNameTheActiveCombination) {
    Notebook(kIntel);
    config_.active = {};
    for (const auto& [target, source, x] : GetParam().paths) {
        AddLivePath(&config_.active, target, dc::technology::kInternal, source, 1366, 768, x, 0);
    }
    if (GetParam().secondAttached) SecondAttached();
    int code = -1;
    ASSERT_EQ(component_->GetActiveCode(&code), 1);
    EXPECT_EQ(Hex(code), Hex(GetParam().code)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Intel, Win7ActiveTest,
    ::testing::Values(ActiveCase{"panel", {{kIntel.panel, 0, 0}}, false, 0x01},
                      ActiveCase{"crt alone", {{kIntel.crt, 0, 0}}, false, 0x02},
                      ActiveCase{"widi alone", {{kIntelWidi, 0, 0}}, false, 0x2B},
                      ActiveCase{"clone tv", {{kIntel.panel, 0, 0}, {kIntel.tv, 0, 0}}, false, 0x05},
                      ActiveCase{"clone widi", {{kIntel.panel, 0, 0}, {kIntelWidi, 0, 0}}, false, 0x19},
                      ActiveCase{"dual panel primary", {{kIntel.panel, 0, 0}, {kIntel.hdmi, 1, 1366}}, true, 0x109},
                      ActiveCase{"dual external primary", {{kIntel.hdmi, 0, 0}, {kIntel.panel, 1, 1920}}, true,
                                 0x209}));

TEST_F(Win7Test, ActiveReaderFailsWhenTheQueryFails) {
    Notebook(kIntel);
    config_.queryResult = ERROR_GEN_FAILURE;
    int code = 77;
    EXPECT_EQ(component_->GetActiveCode(&code), 0);
    EXPECT_EQ(code, 77);
}

TEST_F(Win7Test, RefreshRatesFollowWhichDisplayIsPrimary) {
    Notebook(kIntel);
    config_.active = {};
    AddLivePath(&config_.active, kIntel.panel, dc::technology::kInternal, 0, 1366, 768);
    AddLivePath(&config_.active, kIntel.crt, dc::technology::kHd15, 1, 1920, 1080, 1366, 0);
    config_.active.paths[1].targetInfo.refreshRate = {75, 1};
    int f = 0, fd = 0, f2 = 0, f2d = 0;
    ASSERT_EQ(component_->GetActiveRefreshRates(0x103, &f, &fd, &f2, &f2d), 1);
    EXPECT_EQ((std::vector<int>{f, fd, f2, f2d}), (std::vector<int>{60000, 1000, 75, 1}));
    ASSERT_EQ(component_->GetActiveRefreshRates(0x203, &f, &fd, &f2, &f2d), 1);
    EXPECT_EQ((std::vector<int>{f, fd, f2, f2d}), (std::vector<int>{75, 1, 60000, 1000}));
}

// --- the video signal for the profile store ----------------------------------------

TEST_F(Win7Test, SignalOfACodeIsTheTargetRecordOfItsOutputNotASourceOfTheSameId) {
    // VIA numbers its CRT target 1, the same number as the second source.
    Notebook({"VIA", L"PCI\\VEN_1106&DEV_3371", 2, 1, 4, 16});
    config_.active = {};
    AddLivePath(&config_.active, 2, dc::technology::kInternal, 0, 1366, 768);
    AddLivePath(&config_.active, 1, dc::technology::kHd15, 1, 1600, 900, 1366, 0);
    // The second source's record before the CRT's target record.
    std::swap(config_.active.modes[2], config_.active.modes[3]);
    std::swap(config_.active.paths[1].sourceInfo.modeInfoIdx, config_.active.paths[1].targetInfo.modeInfoIdx);

    DISPLAYCONFIG_VIDEO_SIGNAL_INFO signal{};
    ASSERT_TRUE(component_->GetVideoSignalInfo(0x103, &signal));
    EXPECT_EQ(signal.activeSize.cx, 1600u);
    EXPECT_EQ(signal.pixelRate, Signal(1600, 900).pixelRate);
    EXPECT_EQ(signal.videoStandard, 255u);
    ASSERT_TRUE(component_->GetVideoSignalInfo(0x01, &signal));
    EXPECT_EQ(signal.activeSize.cx, 1366u) << "any other code: the panel";
    EXPECT_FALSE(component_->GetVideoSignalInfo(0x105, &signal)) << "the TV is not active";
}

// --- the arrays of every combination family --------------------------------------

struct FamilyCase {
    int code;
    Lines expected;  // paths, then modes
};
class Win7FamilyTest : public Win7Test, public ::testing::WithParamInterface<std::tuple<Vendor, FamilyCase>> {};

TEST_P(Win7FamilyTest, BuildsTheExactPathsAndModes) {
    const auto& [vendor, family] = GetParam();
    Notebook(vendor);
    ASSERT_EQ(Topology(family.code), 1);
    ASSERT_EQ(SetFlags(), (Lines{"0x60", "0x2a0"})) << "validated, then applied and saved";
    EXPECT_EQ(Describe(config_.applied[0]), ForVendor(family.expected, vendor));
    EXPECT_EQ(Describe(config_.applied[1]), Describe(config_.applied[0])) << "the validated arrays are applied";
    for (const auto& p : config_.applied[0].paths) {
        EXPECT_EQ(p.sourceInfo.adapterId.lowPart, kLuid.lowPart);
        EXPECT_EQ(p.targetInfo.adapterId.lowPart, kLuid.lowPart);
    }
    for (const auto& m : config_.applied[0].modes) EXPECT_EQ(m.adapterId.lowPart, kLuid.lowPart);
}

const std::string kPanelTech = "tech 0x80000000 rot 1 scale 3 rate 0/0 scan 1 avail 1";
const FamilyCase kFamilies[] = {
    {0x01,
     {"src 0 mode 1 status 3 | tgt {panel} mode 0 " + kPanelTech + " status 3 | flags 1", "target {panel} 1366x768",
      "source 0 1366x768 fmt 4 at 0,0"}},
    {0x02,
     {"src 0 mode 1 status 3 | tgt {crt} mode 0 tech 0x0 rot 1 scale 3 rate 0/0 scan 1 avail 1 status 3 | flags 1",
      "target {crt} 1920x1080", "source 0 1920x1080 fmt 4 at 0,0"}},
    {0x04,
     {"src 0 mode 1 status 3 | tgt {tv} mode 0 tech 0x1 rot 1 scale 3 rate 0/0 scan 1 avail 1 status 3 | flags 1",
      "target {tv} 720x576", "source 0 720x576 fmt 4 at 0,0"}},
    {0x03,
     {"src 0 mode 1 status 1 | tgt {panel} mode 0 " + kPanelTech + " status 1 | flags 1",
      "src 0 mode 1 status 1 | tgt {crt} mode 2 tech 0x0 rot 1 scale 3 rate 0/0 scan 1 avail 1 status 1 | flags 1",
      "target {panel} 1366x768", "source 0 1024x768 fmt 4 at 0,0", "target {crt} 1920x1080"}},
    {0x09,
     {"src 0 mode 1 status 1 | tgt {panel} mode 0 " + kPanelTech + " status 1 | flags 1",
      "src 0 mode 1 status 1 | tgt {hdmi} mode 2 tech 0x5 rot 1 scale 3 rate 0/0 scan 1 avail 1 status 1 | flags 1",
      "target {panel} 1366x768", "source 0 1024x768 fmt 4 at 0,0", "target {hdmi} 1280x720"}},
    {0x103,
     {"src 0 mode 1 status 1 | tgt {panel} mode 0 " + kPanelTech + " status 1 | flags 1",
      "src 1 mode 3 status 1 | tgt {crt} mode 2 tech 0x0 rot 1 scale 3 rate 0/0 scan 1 avail 1 status 3 | flags 1",
      "target {panel} 1366x768", "source 0 1366x768 fmt 4 at 0,0", "target {crt} 1920x1080",
      "source 1 1920x1080 fmt 4 at 1366,0"}},
    // The external output primary: it is source 0 at the origin, the panel beside it.
    {0x209,
     {"src 0 mode 1 status 1 | tgt {hdmi} mode 0 tech 0x5 rot 1 scale 3 rate 0/0 scan 1 avail 1 status 3 | flags 1",
      "src 1 mode 3 status 1 | tgt {panel} mode 2 " + kPanelTech + " status 1 | flags 1", "target {hdmi} 1280x720",
      "source 0 1280x720 fmt 4 at 0,0", "target {panel} 1366x768", "source 1 1366x768 fmt 4 at 1280,0"}},
};

INSTANTIATE_TEST_SUITE_P(Vendors, Win7FamilyTest,
                         ::testing::Combine(::testing::Values(kIntel, kNvidia, kAti), ::testing::ValuesIn(kFamilies)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "_" +
                                    Hex(static_cast<std::uint32_t>(std::get<1>(info.param).code));
                         });

TEST_F(Win7Test, WirelessDisplayCodesUseItsTargetAsAnHdmiOutput) {
    Notebook(kIntel);
    config_.Prefer(kIntelWidi, 1280, 800);
    ASSERT_EQ(Topology(combination::kWirelessAlone), 1);
    EXPECT_EQ(Describe(config_.applied[0]),
              (Lines{"src 0 mode 1 status 3 | tgt 0x3100b00 mode 0 tech 0x5 rot 1 scale 3 rate 0/0 scan 1 avail 1 "
                     "status 3 | flags 1",
                     "target 0x3100b00 1280x800", "source 0 1280x800 fmt 4 at 0,0"}));
    config_.applied.clear();
    ASSERT_EQ(Topology(combination::kWirelessDualWirelessPrimary), 1);
    EXPECT_EQ(config_.applied[0].paths[0].targetInfo.id, kIntelWidi);
    EXPECT_EQ(Describe(config_.applied[0].modes[3]), "source 1 1366x768 fmt 4 at 1280,0");
}

TEST_F(Win7Test, GivenValuesOfAProfileShapeTheArrays) {
    Notebook(kIntel);
    owner_.held = Signal(1920, 1080, 148500000);
    // Portrait sizes arrive the other way round; depth 16 and 24, rotations, refresh rates.
    ASSERT_EQ(component_->ChangeDisplayEx(0x103, 768, 1366, 1920, 1080, 16, 24, 60, 75, 90, 270, -1920, 0, 1, 1), 1);
    EXPECT_EQ(owner_.cleared, 1) << "the store's copy is taken over";
    ASSERT_EQ(SetFlags(), (Lines{"0x60", "0x2a0"}));
    EXPECT_EQ(Describe(config_.applied[0]),
              (Lines{"src 0 mode 1 status 1 | tgt 0x4070400 mode 0 tech 0x80000000 rot 2 scale 3 rate 60/1 scan 1 "
                     "avail 1 status 1 | flags 1",
                     "src 1 mode 3 status 1 | tgt 0x1010100 mode 2 tech 0x0 rot 4 scale 3 rate 75/1 scan 1 avail 1 "
                     "status 3 | flags 1",
                     "target 0x4070400 1366x768", "source 0 1366x768 fmt 2 at 0,0", "target 0x1010100 1920x1080",
                     "source 1 1920x1080 fmt 3 at -1920,0"}));
    EXPECT_EQ(config_.applied[0].modes[2].targetMode.pixelRate, 148500000u) << "the profile's timing";
}

TEST_F(Win7Test, PanelPrimaryAndExternalPrimaryDualViewsDiffer) {
    Notebook(kNvidia);
    ASSERT_EQ(Topology(0x103), 1);
    ASSERT_EQ(Topology(0x203), 1);
    ASSERT_EQ(config_.applied.size(), 4u);
    EXPECT_NE(Describe(config_.applied[1]), Describe(config_.applied[3]));
    EXPECT_EQ(config_.applied[3].paths[0].targetInfo.id, kNvidia.crt) << "0x203 makes the CRT primary";
}

// --- validate, apply, stock topologies, the driver --------------------------------

TEST_F(Win7Test, DirectApplyMakesOneCall) {
    Notebook(kIntel);
    ASSERT_EQ(Topology(0x02, 1), 1);
    EXPECT_EQ(SetFlags(), (Lines{"0xa0"}));
}

struct StockCase {
    int code;
    const char* topology;
};
class Win7StockTest : public Win7Test, public ::testing::WithParamInterface<StockCase> {};

TEST_P(Win7StockTest, AConfigurationThatDoesNotValidateFallsBackToTheStockTopology) {
    Notebook(kIntel);
    config_.Prefer(kIntelWidi, 1280, 800);
    config_.setResults = {ERROR_INVALID_PARAMETER};
    ASSERT_EQ(Topology(GetParam().code), 1);
    EXPECT_EQ(SetFlags(), (Lines{"0x60", GetParam().topology}));
    EXPECT_TRUE(config_.applied[1].paths.empty() && config_.applied[1].modes.empty());
    EXPECT_TRUE(ReportLog::Has(CWin7DisplaySwitch::kTryTopologyReport));
    EXPECT_FALSE(ReportLog::Has(CWin7DisplaySwitch::kTopologyFailReport));
}

INSTANTIATE_TEST_SUITE_P(Codes, Win7StockTest,
                         ::testing::Values(StockCase{0x01, "0x81"}, StockCase{0x08, "0x88"},
                                           StockCase{0x2B, "0x88"}, StockCase{0x05, "0x82"},
                                           StockCase{0x19, "0x82"}, StockCase{0x105, "0x84"},
                                           StockCase{0x219, "0x84"}));

TEST_F(Win7Test, AValidConfigurationWhoseApplyFailsIsNotCountedAsDone) {
    Notebook(kIntel);
    config_.setResults = {ERROR_SUCCESS, ERROR_GEN_FAILURE, ERROR_GEN_FAILURE};
    EXPECT_EQ(Topology(0x02), 0);
    EXPECT_EQ(SetFlags(), (Lines{"0x60", "0x2a0", "0x88"}));
    EXPECT_TRUE(ReportLog::Has(CWin7DisplaySwitch::kTopologyFailReport));
}

TEST_F(Win7Test, ACodeWithoutAStockTopologyFails) {
    Notebook(kIntel);
    EXPECT_EQ(Topology(0x07), 0);
    EXPECT_TRUE(config_.applied.empty()) << "nothing to build, no topology to ask for";
    EXPECT_TRUE(ReportLog::Has(CWin7DisplaySwitch::kTopologyFailReport));
}

TEST_F(Win7Test, AtiRebuildsOnceWithRefreshedTargetIdsBeforeTheStockTopology) {
    Notebook(kAti);
    // The driver has renumbered the CRT since start.
    AddLivePath(&config_.all, 0x111, dc::technology::kHd15, 1, 1920, 1080);
    config_.Prefer(0x111, 1920, 1080);
    config_.setResults = {ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER};
    ASSERT_EQ(Topology(0x02), 1);
    EXPECT_EQ(SetFlags(), (Lines{"0x60", "0x60", "0x88"}));
    EXPECT_EQ(config_.applied[0].paths[0].targetInfo.id, kAti.crt);
    EXPECT_EQ(config_.applied[1].paths[0].targetInfo.id, 0x111u);
}

TEST_F(Win7Test, WithoutAnAdapterNoConfigurationIsBuilt) {
    for (auto& device : display_.devices) device.deviceId = kIntel.deviceId;
    config_.Prefer(kIntel.panel, 1366, 768);
    Init();  // no path: the adapter is not known
    EXPECT_EQ(component_->AdapterLuid().highPart, -1);
    ASSERT_EQ(Topology(0x01), 1);
    EXPECT_EQ(config_.calls, (Lines{"sizes 0x4", "query 0x4", "set 0x81"}));
}

TEST_F(Win7Test, AMissingFunctionIsReportedAndTheDriverSwitches) {
    config_.missing = {L"SetDisplayConfig"};
    Notebook(kIntel);
    EXPECT_TRUE(ReportLog::Has(L"fail: InitDisplayConfig() - USER32.DLL has no SetDisplayConfig"));
    EXPECT_EQ(Change(0x03), 1);
    EXPECT_TRUE(config_.applied.empty());
    EXPECT_EQ(driver_->switched, (std::vector<int>{0x03}));
    int code = 0;
    EXPECT_EQ(component_->GetConnectedCode(&code), 0);
}

// --- ChangeDisplayEx --------------------------------------------------------------

TEST_F(Win7Test, CloneWithoutProfileOnASmallPanelStartsFromTheExternalAlone) {
    Notebook(kIntel);
    config_.Prefer(kIntel.panel, 1024, 600);
    // The CRT once alone shows another timing than its preferred one.
    config_.active = {};
    AddLivePath(&config_.active, kIntel.crt, dc::technology::kHd15, 0, 1600, 900);
    ASSERT_EQ(Change(0x03), 1);
    EXPECT_EQ(SetFlags(), (Lines{"0xa0", "0x60", "0x2a0"}));
    EXPECT_EQ(Describe(config_.applied[0].modes[0]), "target 0x1010100 1920x1080") << "the CRT alone";
    ASSERT_EQ(display_.changes.size(), 1u);
    EXPECT_FALSE(display_.changes[0].ex);
    EXPECT_EQ(display_.changes[0].record.dmPelsWidth, 800u);
    EXPECT_EQ(display_.changes[0].record.dmPelsHeight, 600u);
    EXPECT_EQ(display_.changes[0].record.dmBitsPerPel, 32u);
    EXPECT_EQ(component_->SmallPanel(), 1);
    EXPECT_EQ(Describe(config_.applied[1]),
              (Lines{"src 0 mode 1 status 1 | tgt 0x4070400 mode 0 " + kPanelTech + " status 1 | flags 1",
                     "src 0 mode 1 status 1 | tgt 0x1010100 mode 2 tech 0x0 rot 1 scale 3 rate 0/0 scan 1 avail 1 "
                     "status 1 | flags 1",
                     "target 0x4070400 1024x600", "source 0 800x600 fmt 4 at 0,0", "target 0x1010100 1600x900"}));
}

TEST_F(Win7Test, AnUnreadPanelLeavesTheSmallPanelFlagUndetermined) {
    Notebook(kIntel);
    config_.preferred.erase(kIntel.panel);
    Change(0x03);
    EXPECT_EQ(component_->SmallPanel(), CWin7DisplaySwitch::kSmallPanelUnknown);
    ASSERT_FALSE(display_.changes.empty());
    EXPECT_EQ(display_.changes[0].record.dmPelsWidth, 1024u) << "not taken for a small panel";
}

TEST_F(Win7Test, SingleCodeThatFailsEverywhereGoesToTheDriver) {
    Notebook(kIntel);
    config_.setResults = {ERROR_INVALID_PARAMETER, ERROR_GEN_FAILURE};
    driver_->result = 0;
    EXPECT_EQ(Change(0x08), 0);
    EXPECT_EQ(SetFlags(), (Lines{"0x60", "0x88"}));
    EXPECT_EQ(driver_->switched, (std::vector<int>{0x08}));
    EXPECT_TRUE(ReportLog::Has(CWin7DisplaySwitch::kNoCloneReport));
    EXPECT_TRUE(ReportLog::Has(CWin7DisplaySwitch::kDriverFailReport));

    config_.setResults = {ERROR_INVALID_PARAMETER, ERROR_GEN_FAILURE};
    driver_->result = 1;
    EXPECT_EQ(Change(0x08), 1);
    EXPECT_TRUE(ReportLog::Has(CWin7DisplaySwitch::kDriverSuccessReport));
}

TEST_F(Win7Test, AFailedProfileFallsBackToTheCloneRoadWithoutItsSizes) {
    Notebook(kIntel);
    owner_.held = Signal(1920, 1080);
    config_.setResults = {ERROR_INVALID_PARAMETER, ERROR_GEN_FAILURE};  // the profile's clone, then its stock topology
    ASSERT_EQ(component_->ChangeDisplayEx(0x03, 1280, 1024, 0, 0, 32, 0, 60, 0, 0, 0, 0, 0, 1, 0), 1);
    EXPECT_EQ(SetFlags(), (Lines{"0x60", "0x82", "0xa0", "0x60", "0x2a0"}));
    ASSERT_EQ(display_.changes.size(), 1u);
    EXPECT_EQ(display_.changes[0].record.dmPelsWidth, 1024u) << "the profile's size is dropped";
}

TEST_F(Win7Test, AtiTimingOfThePanelIsNotReusedForTheExternalOutput) {
    Notebook(kAti);
    // 0x103 fails to validate twice (before and after the refresh) and as the stock topology.
    config_.setResults = {ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER, ERROR_GEN_FAILURE};
    ASSERT_EQ(Change(0x103), 1);
    EXPECT_EQ(SetFlags(), (Lines{"0x60", "0x60", "0x84", "0xa0", "0x60", "0x2a0"}));
    EXPECT_EQ(Describe(config_.applied[3].modes[0]), "target 0x100 1366x768") << "the panel alone";
    EXPECT_EQ(Describe(config_.applied[5].modes[2]), "target 0x101 1920x1080") << "the CRT's own timing";
    EXPECT_TRUE(driver_->switched.empty());
}

TEST_F(Win7Test, AtiCloneRoadThatFailsIsReportedAsFailure) {
    Notebook(kAti);
    config_.setResults = {ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER, ERROR_GEN_FAILURE,  // 0x103
                          ERROR_SUCCESS,                                                        // panel alone
                          ERROR_INVALID_PARAMETER, ERROR_INVALID_PARAMETER, ERROR_GEN_FAILURE}; // 0x103 again
    EXPECT_EQ(Change(0x103), 0);
    EXPECT_TRUE(ReportLog::Has(CWin7DisplaySwitch::kCloneFailReport));
    EXPECT_TRUE(driver_->switched.empty()) << "ATI never hands the switch to its driver here";
}

TEST_F(Win7Test, PanelAloneInAuditModeForgetsTheProfilesSignal) {
    Notebook(kIntel);
    proc::auditMode = true;
    owner_.held = Signal(1920, 1080);
    ASSERT_EQ(Change(0x01), 1);
    EXPECT_EQ(owner_.cleared, 1);
    EXPECT_EQ(SetFlags(), (Lines{"0x60", "0x2a0"}));
    EXPECT_EQ(Describe(config_.applied[0].modes[0]), "target 0x4070400 1366x768") << "the panel's preferred timing";
}

TEST_F(Win7Test, NoOwnerNoChange) {
    component_ = std::make_unique<CWin7DisplaySwitch>(config_, display_);
    EXPECT_EQ(Change(0x01), 0);
    EXPECT_TRUE(config_.applied.empty());
}

}  // namespace
