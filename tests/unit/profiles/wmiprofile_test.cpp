// The profile store on the platform itself: Wine's real WMI, the simulated
// notebook's monitor devices, the primary display's real modes and the
// machine's image state.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/processstate.h"
#include "profilefixture.h"
#include "reportlog.h"
#include "simmonitors.h"
#include "systemdisplaymodes.h"

namespace {

using profiletest::Dword;
using profiletest::HasSection;
using vqdrive::SimulatedMonitors;

const std::wstring kSlot0 = CDisplayProfile::SlotSection(0);
constexpr int kDualPanelPrimary = 0x103;

class WmiProfileTest : public profiletest::ProfileSettingsTest {
protected:
    void SetUp() override {
        ProfileSettingsTest::SetUp();
        devicesBefore_ = SimulatedMonitors::MonitorDeviceIds();
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        imageState_.Set(L"IMAGE_STATE_COMPLETE");
    }
    void TearDown() override {
        store_.reset();
        CoUninitialize();
        monitors_.DetachAll();
        EXPECT_EQ(SimulatedMonitors::MonitorDeviceIds(), devicesBefore_) << "the device list is left as found";
        ProfileSettingsTest::TearDown();
    }
    int Init() {
        store_ = std::make_unique<CDisplayProfile>();
        return store_->Init(&modes_, nullptr);
    }
    std::vector<std::wstring> Identifiers() {
        std::vector<std::wstring> ids;
        for (int i = 0; i < store_->MonitorCount(); ++i) ids.push_back(store_->MonitorId(i));
        return ids;
    }
    int WidthUsed(int code) {
        SIZE first{-1, -1};
        return store_->GetDisplayHistory(nullptr, &code, &first, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr)
                   ? static_cast<int>(first.cx)
                   : -1;
    }
    int Save(int width) {
        return store_->SetDisplayProfile(kDualPanelPrimary, width, 768, 1920, 1080, 32, 32, 60, 60, 0, 0, width, 0, 0);
    }

    std::vector<std::wstring> devicesBefore_;
    SimulatedMonitors monitors_;
    profiletest::SystemDisplayModes modes_;
    profiletest::ImageStateGuard imageState_;
    std::unique_ptr<CDisplayProfile> store_;
};

TEST_F(WmiProfileTest, InitConnectsAndReadsTheSimulatedMonitors) {
    ASSERT_TRUE(monitors_.Attach(vqdrive::kPanelMonitor));
    ASSERT_TRUE(monitors_.Attach(vqdrive::kExternalMonitorA));
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(store_->GetMonitorDeviceID(), 1);
    const std::vector<std::wstring> ids = Identifiers();
    for (const wchar_t* name : {vqdrive::kPanelMonitor, vqdrive::kExternalMonitorA}) {
        EXPECT_NE(std::find(ids.begin(), ids.end(), SimulatedMonitors::Identifier(name)), ids.end()) << name;
    }
    EXPECT_EQ(std::find(ids.begin(), ids.end(), SimulatedMonitors::Identifier(vqdrive::kExternalMonitorB)), ids.end());
    for (const std::wstring& id : ids) EXPECT_EQ(id.rfind(L"DISPLAY\\", 0), 0u) << id;
}

TEST_F(WmiProfileTest, FirstStartWritesTheDefaultProfileWithAModeThePanelLists) {
    ASSERT_FALSE(HasSection(kSlot0));
    ASSERT_EQ(Init(), 1);
    std::vector<SIZE> listed;
    ASSERT_TRUE(modes_.ListResolutions(&listed));
    const DWORD w = Dword(kSlot0, L"w").value_or(0), h = Dword(kSlot0, L"h").value_or(0);
    EXPECT_TRUE(std::any_of(listed.begin(), listed.end(),
                            [&](const SIZE& s) { return static_cast<DWORD>(s.cx) == w && static_cast<DWORD>(s.cy) == h; }))
        << w << "x" << h;
    EXPECT_EQ(Dword(kSlot0, L"mode"), 1u);
    EXPECT_GT(Dword(kSlot0, L"depth").value_or(0), 16u);
    EXPECT_TRUE(ReportLog::Has(L"Init LCDonly restoration Resolution= w1=" + std::to_wstring(w) +
                               L", h1=" + std::to_wstring(h) + L", w2=1024, h2=768"));
}

TEST_F(WmiProfileTest, SwappingTheExternalMonitorUsesItsOwnProfileAndSwappingBackTheFirst) {
    ASSERT_TRUE(monitors_.Attach(vqdrive::kPanelMonitor));
    ASSERT_TRUE(monitors_.Attach(vqdrive::kExternalMonitorA));
    ASSERT_EQ(Init(), 1);
    ASSERT_EQ(Save(1366), 1);
    EXPECT_EQ(WidthUsed(kDualPanelPrimary), 1366);

    ASSERT_TRUE(monitors_.Swap(vqdrive::kExternalMonitorA, vqdrive::kExternalMonitorB));
    EXPECT_EQ(WidthUsed(kDualPanelPrimary), -1) << "no profile for the other monitor yet";
    ASSERT_EQ(Save(1280), 1);
    EXPECT_EQ(WidthUsed(kDualPanelPrimary), 1280);
    EXPECT_TRUE(HasSection(CDisplayProfile::SlotSection(2)));

    ASSERT_TRUE(monitors_.Swap(vqdrive::kExternalMonitorB, vqdrive::kExternalMonitorA));
    EXPECT_EQ(WidthUsed(kDualPanelPrimary), 1366);
}

TEST_F(WmiProfileTest, MonitorLeftBehindByAnEarlierRunIsTakenOver) {
    SimulatedMonitors earlier;
    ASSERT_TRUE(earlier.Attach(vqdrive::kExternalMonitorB));
    ASSERT_TRUE(monitors_.Attach(vqdrive::kExternalMonitorB));
    const std::wstring id = SimulatedMonitors::DeviceId(vqdrive::kExternalMonitorB);
    std::vector<std::wstring> ids = SimulatedMonitors::MonitorDeviceIds();
    EXPECT_EQ(std::count(ids.begin(), ids.end(), id), 1);
    monitors_.DetachAll();
    ids = SimulatedMonitors::MonitorDeviceIds();
    EXPECT_EQ(std::find(ids.begin(), ids.end(), id), ids.end());
}

TEST_F(WmiProfileTest, AuditModeFollowsTheImageState) {
    struct Case { const wchar_t* state; bool audit; };
    for (const Case& c : {Case{L"IMAGE_STATE_UNDEPLOYABLE", true}, Case{L"IMAGE_STATE_COMPLETE", false},
                          Case{L"IMAGE_STATE_SPECIALIZE_RESEAL_TO_AUDIT", true}}) {
        imageState_.Set(c.state);
        proc::auditMode = !c.audit;
        ASSERT_EQ(Init(), 1);
        EXPECT_EQ(proc::auditMode, c.audit) << c.state;
        EXPECT_EQ(store_->DetectAuditMode(), c.audit ? 1 : 0) << c.state;
    }
}

}  // namespace
