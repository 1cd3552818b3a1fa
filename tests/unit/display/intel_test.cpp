// The Intel driver against the simulated Intel graphics component
// (sim/intelgfx), created through the real COM from its registration in the
// test prefix: the exact requests it sends (read back from the component's
// journal), what it makes of the answers, and its reports.
#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "common/commondefine.h"
#include "common/processstate.h"
#include "display/drivers/intel.h"
#include "reportlog.h"
#include "simintel.h"

namespace {

namespace sim = vqdrive::intel;
namespace gv = vqsim::graphics::value;
using Lines = std::vector<std::string>;

constexpr DWORD kPanelId = 0x80000400, kCrtId = 0x80000100, kHdmiId = 0x80000300, kTvId = 0x80000200;
const std::string kActiveDevices = "{381ECED3-EFF1-4DF2-B560-6648E352B18E} ";
const std::string kConfiguration = "{4EA14ECF-9769-44CC-BBA2-DC5DA9FD50B6} 68 ";

// A record as the component receives it, built from its byte offsets.
class Bytes {
public:
    explicit Bytes(size_t size) : m_bytes(size, 0) {}
    Bytes& Put(size_t offset, std::uint32_t value) {
        std::memcpy(&m_bytes[offset], &value, sizeof value);
        return *this;
    }
    Bytes& PutName(size_t offset, const wchar_t* name) {
        for (size_t i = 0; name[i]; ++i) {
            m_bytes[offset + 2 * i] = static_cast<std::uint8_t>(name[i] & 0xFF);
            m_bytes[offset + 2 * i + 1] = static_cast<std::uint8_t>(name[i] >> 8);
        }
        return *this;
    }
    Bytes& Append(const Bytes& other) {
        m_bytes.insert(m_bytes.end(), other.m_bytes.begin(), other.m_bytes.end());
        return *this;
    }
    std::string Hex() const {
        static const char digits[] = "0123456789abcdef";
        std::string text;
        for (std::uint8_t b : m_bytes) {
            text += digits[b >> 4];
            text += digits[b & 0xF];
        }
        return text;
    }
    size_t Size() const { return m_bytes.size(); }

private:
    std::vector<std::uint8_t> m_bytes;
};

Bytes DeviceRecord(const wchar_t* display, std::uint32_t mode, std::uint32_t primary, std::uint32_t count,
                   std::uint32_t first, std::uint32_t second = 0) {
    Bytes record(120);
    record.Put(0, 120).PutName(4, display).Put(84, mode).Put(88, primary).Put(92, count).Put(96, first).Put(100, second);
    return record;
}

std::string ActiveDevicesLine(const Bytes& records) {
    return kActiveDevices + std::to_string(records.Size()) + " " + records.Hex();
}

Bytes ConfigurationRecord(std::uint32_t size, std::uint32_t id, std::uint32_t flags = 0, std::uint32_t rotation = 0) {
    Bytes record(68);
    record.Put(0, size).Put(4, id).Put(8, flags).Put(64, rotation);
    return record;
}

// The display functions as the mode-setting code sees them: one display with
// a current mode, and every change it is asked for.
class FakeDisplaySettings : public IDisplaySettings {
public:
    DEVMODEW current{};
    std::vector<DEVMODEW> changes;
    std::vector<std::wstring> changedDevices;

    FakeDisplaySettings() { SetCurrent(1024, 768); }
    void SetCurrent(DWORD width, DWORD height) {
        current = {};
        current.dmSize = sizeof current;
        current.dmPelsWidth = width;
        current.dmPelsHeight = height;
        current.dmBitsPerPel = 32;
        current.dmDisplayFrequency = 60;
        current.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL | DM_DISPLAYFREQUENCY | DM_POSITION;
    }
    BOOL EnumDisplayDevices(const wchar_t*, DWORD, DISPLAY_DEVICEW*, DWORD) override { return FALSE; }
    BOOL EnumDisplaySettings(const wchar_t* device, DWORD, DEVMODEW* record) override {
        if (!device || _wcsicmp(device, L"\\\\.\\DISPLAY1") != 0) return FALSE;
        *record = current;
        return TRUE;
    }
    LONG ChangeDisplaySettings(DEVMODEW* record, DWORD) override {
        changes.push_back(*record);
        changedDevices.emplace_back();
        return DISP_CHANGE_SUCCESSFUL;
    }
    LONG ChangeDisplaySettingsEx(const wchar_t* device, DEVMODEW* record, DWORD) override {
        changes.push_back(*record);
        changedDevices.emplace_back(device ? device : L"");
        return DISP_CHANGE_SUCCESSFUL;
    }
    int GetSystemMetrics(int index) override {
        return static_cast<int>(index == SM_CXSCREEN ? current.dmPelsWidth : current.dmPelsHeight);
    }
};

// The second display as the desktop had it before the cases, put back after
// them: the component's changes are real, and later test programs expect
// the desktop they started with.
class SecondDisplayLayout {
public:
    void Save() {
        m_mode = {};
        m_mode.dmSize = sizeof m_mode;
        m_saved = EnumDisplaySettingsW(kName, ENUM_CURRENT_SETTINGS, &m_mode) && m_mode.dmPelsWidth != 0;
    }
    void Restore() {
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        if (m_saved) {
            mode = m_mode;
            mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
        } else if (!EnumDisplaySettingsW(kName, ENUM_CURRENT_SETTINGS, &mode) || mode.dmPelsWidth == 0) {
            return;  // none before, none now
        } else {
            mode = {};
            mode.dmSize = sizeof mode;
            mode.dmFields = DM_POSITION | DM_PELSWIDTH | DM_PELSHEIGHT;
        }
        if (ChangeDisplaySettingsExW(kName, &mode, nullptr, CDS_UPDATEREGISTRY | CDS_NORESET, nullptr) ==
            DISP_CHANGE_SUCCESSFUL) {
            ChangeDisplaySettingsExW(nullptr, nullptr, nullptr, 0, nullptr);
        }
    }

private:
    static constexpr wchar_t kName[] = L"\\\\.\\DISPLAY2";
    DEVMODEW m_mode{};
    bool m_saved = false;
};

class IntelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The program's thread is in the multithreaded apartment.
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        ASSERT_TRUE(sim::Register());
        Layout().Save();
    }
    static void TearDownTestSuite() {
        Layout().Restore();
        CoUninitialize();
    }
    static SecondDisplayLayout& Layout() {
        static SecondDisplayLayout layout;
        return layout;
    }

    void SetUp() override {
        sim::Reset();
        ReportLog::Clear();
        proc::windowsVersion = 5;
        proc::modelFamily = 0;
    }
    void TearDown() override {
        intel.reset();
        sim::Reset();
        sim::Register();
        proc::windowsVersion = 7;
        proc::modelFamily = 0;
    }

    // Every output connected, the panel shown alone, unless a case says otherwise.
    void ConnectAll() {
        for (const wchar_t* output : {L"Panel", L"Crt", L"Hdmi", L"Tv"}) sim::SetConnected(output, true);
    }
    CIntel& Start(HWND mainWindow = nullptr) {
        intel = std::make_unique<CIntel>(mainWindow, display);
        EXPECT_EQ(1, intel->Initialize());
        sim::ClearJournal();
        return *intel;
    }

    FakeDisplaySettings display;
    std::unique_ptr<CIntel> intel;
};

TEST_F(IntelTest, InitializeCreatesTheRegisteredComponentAndFindsTheDeviceIds) {
    ConnectAll();
    sim::SetDeviceId(L"Hdmi", 0x1234);
    intel = std::make_unique<CIntel>(nullptr, display);
    ASSERT_EQ(1, intel->Initialize());
    EXPECT_EQ(graphicsvendor::kIntel, intel->GetVendor());
    EXPECT_NE(std::wstring::npos, sim::Text(gv::kLibrary).find(L"igfxsim.dll"));
    EXPECT_EQ("\\\\.\\DISPLAY1 0", sim::JournalOf("EnumAttachableDevices").front());
    for (auto [type, id] : {std::pair{2, kPanelId}, {1, kCrtId}, {3, DWORD{0x1234}}, {4, kTvId}}) {
        int found = 0;
        EXPECT_EQ(1, intel->GetDeviceId(type, &found));
        EXPECT_EQ(static_cast<int>(id), found) << "type " << type;
    }
    EXPECT_EQ(0, ReportLog::Lines());
}

TEST_F(IntelTest, WithoutTheComponentTheDriverReportsAndRefusesEverything) {
    ASSERT_TRUE(sim::Unregister());
    intel = std::make_unique<CIntel>(nullptr, display);
    EXPECT_EQ(0, intel->Initialize());
    const std::wstring report = CIntel::kInitFailedReport;
    EXPECT_EQ(1, ReportLog::Count(report));

    int value = 7;
    EXPECT_EQ(0, intel->ChangeDisplayCombination(displaydevice::kPanel));
    EXPECT_EQ(0, intel->GetConnectedDisplays());
    EXPECT_EQ(0, intel->GetDisplayRotation(displaydevice::kPanel, &value));
    EXPECT_EQ(0, intel->SetDisplayRotation(displaydevice::kPanel, 90, 0, 0));
    EXPECT_EQ(0, intel->IsDownScalingEnabled(&value));
    EXPECT_EQ(0, intel->ApplyDownScalingToCurrentMode());
    EXPECT_EQ(7, value);
    EXPECT_EQ(7, ReportLog::Count(report));
    EXPECT_TRUE(sim::Journal().empty());
}

TEST_F(IntelTest, AnOperationBeforeInitializeReportsInsteadOfCallingNothing) {
    CIntel never(nullptr, display);
    EXPECT_EQ(0, never.ChangeDisplayCombination(displaydevice::kPanel));
    EXPECT_EQ(1, ReportLog::Count(CIntel::kInitFailedReport));
}

struct CombinationCase {
    int code;
    Bytes records;
    DWORD display1, display2;  // what the component shows afterwards
};

TEST_F(IntelTest, EachCombinationSendsItsDeviceRecords) {
    const wchar_t* one = L"\\\\.\\Display1";
    const wchar_t* two = L"\\\\.\\Display2";
    auto dual = [&](DWORD primary, DWORD secondary) {
        return DeviceRecord(one, 1, primary, 1, primary).Append(DeviceRecord(two, 1, secondary, 1, secondary));
    };
    const CombinationCase cases[] = {
        {0x01, DeviceRecord(one, 1, kPanelId, 1, kPanelId), 0x01, 0},
        {0x02, DeviceRecord(one, 1, kCrtId, 1, kCrtId), 0x02, 0},
        {0x04, DeviceRecord(one, 1, kTvId, 1, kTvId), 0x04, 0},
        {0x08, DeviceRecord(one, 1, kHdmiId, 1, kHdmiId), 0x08, 0},
        {0x03, DeviceRecord(one, 3, kPanelId, 2, kPanelId, kCrtId), 0x03, 0},
        {0x05, DeviceRecord(one, 3, kPanelId, 2, kPanelId, kTvId), 0x05, 0},
        {0x09, DeviceRecord(one, 3, kPanelId, 2, kPanelId, kHdmiId), 0x09, 0},
        {0x103, dual(kPanelId, kCrtId), 0x01, 0x02},
        {0x105, dual(kPanelId, kTvId), 0x01, 0x04},
        {0x109, dual(kPanelId, kHdmiId), 0x01, 0x08},
        // The external output primary and the panel beside it.
        {0x203, dual(kCrtId, kPanelId), 0x02, 0x01},
        {0x205, dual(kTvId, kPanelId), 0x04, 0x01},
        {0x209, dual(kHdmiId, kPanelId), 0x08, 0x01},
    };
    ConnectAll();
    for (const CombinationCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "code 0x" << std::hex << c.code);
        sim::SetShown(0x01, 0);
        Start();
        EXPECT_EQ(1, intel->ChangeDisplayCombination(c.code));
        EXPECT_EQ(Lines{ActiveDevicesLine(c.records)}, sim::JournalOf("ChangeActiveDevices"));
        EXPECT_EQ(c.display1, sim::Value(gv::kDisplay1));
        EXPECT_EQ(c.display2, sim::Value(gv::kDisplay2));
    }
    EXPECT_EQ(0, ReportLog::Lines());
}

TEST_F(IntelTest, LeavingAnExtendedDesktopForOneExternalOutputSendsTheRecordTwiceWithThePanelPrimary) {
    ConnectAll();
    sim::SetShown(0x01, 0x02);
    Start();
    EXPECT_EQ(1, intel->ChangeDisplayCombination(displaydevice::kCrt));
    const std::string line = ActiveDevicesLine(DeviceRecord(L"\\\\.\\Display1", 1, kPanelId, 1, kCrtId));
    EXPECT_EQ((Lines{line, line}), sim::JournalOf("ChangeActiveDevices"));
    EXPECT_EQ(0x02u, sim::Value(gv::kDisplay1));
    EXPECT_EQ(0u, sim::Value(gv::kDisplay2));
}

TEST_F(IntelTest, ADualViewWithTheTvAlreadyExtendedFirstSetsThePrimaryTo1024x768) {
    ConnectAll();
    display.SetCurrent(1366, 768);
    for (int code : {0x105, 0x205}) {
        SCOPED_TRACE(code);
        sim::SetShown(0x01, 0x04);
        display.changes.clear();
        Start();
        EXPECT_EQ(1, intel->ChangeDisplayCombination(code));
        ASSERT_EQ(1u, display.changes.size());
        EXPECT_EQ(1024u, display.changes[0].dmPelsWidth);
        EXPECT_EQ(768u, display.changes[0].dmPelsHeight);
        EXPECT_EQ(1u, sim::JournalOf("ChangeActiveDevices").size());
    }
    // Not extended: the mode stays.
    sim::SetShown(0x01, 0);
    display.changes.clear();
    Start();
    EXPECT_EQ(1, intel->ChangeDisplayCombination(0x105));
    EXPECT_TRUE(display.changes.empty());
}

TEST_F(IntelTest, ARefusedChangeIsReportedAndFails) {
    ConnectAll();
    sim::SetFault(L"ChangeActiveDevices", vqsim::graphics::kAlways);
    Start();
    EXPECT_EQ(0, intel->ChangeDisplayCombination(0x03));
    EXPECT_EQ(1, ReportLog::Count(L"ChangeDisplayCombination: ChangeActiveDevices"));
    EXPECT_EQ(0, intel->ChangeDisplayCombination(0x109));
    EXPECT_EQ(1, ReportLog::Count(L"SetDualView, ChangeActiveDevices, DualView"));

    sim::SetShown(0x01, 0x08);
    EXPECT_EQ(0, intel->ChangeDisplayCombination(displaydevice::kHdmi));
    EXPECT_EQ(1, ReportLog::Count(L"ChangeDisplayCombination, CHANGE_SINGLE_MODE"));
    EXPECT_EQ(2, ReportLog::Count(L"ChangeDisplayCombination: ChangeActiveDevices"));
    EXPECT_EQ(0x01u, sim::Value(gv::kDisplay1));
}

TEST_F(IntelTest, ACodeWithoutARequestOnThisDriverFailsWithAReport) {
    ConnectAll();
    Start();
    for (int code : {0x10, 0x11, 0x111, 0x211, 0x2B, 0x12}) {
        EXPECT_EQ(0, intel->ChangeDisplayCombination(code)) << code;
        EXPECT_EQ(1, ReportLog::Count(FormatText(L"ChangeDisplayCombination: no request for 0x%03x", code)));
    }
    EXPECT_TRUE(sim::JournalOf("ChangeActiveDevices").empty());
}

TEST_F(IntelTest, ASwitchTellsTheMainWindowOnModelFamiliesOneAndFour) {
    ConnectAll();
    HWND window = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    for (auto [family, expected] : {std::pair{1, true}, {4, true}, {2, false}}) {
        proc::modelFamily = family;
        Start(window);
        EXPECT_EQ(1, intel->ChangeDisplayCombination(displaydevice::kPanel));
        MSG message{};
        const bool posted = PeekMessageW(&message, window, 0x8B1, 0x8B1, PM_REMOVE) != FALSE;
        EXPECT_EQ(expected, posted) << "family " << family;
        if (posted) {
            EXPECT_EQ(24u, message.wParam);
        }
    }
    DestroyWindow(window);
}

TEST_F(IntelTest, DeviceIdsFollowAHotPlug) {
    ConnectAll();
    Start();
    sim::SetDeviceId(L"Hdmi", 0x5555);  // another monitor on the HDMI output
    EXPECT_EQ(1, intel->ChangeDisplayCombination(displaydevice::kHdmi));
    EXPECT_EQ(Lines{ActiveDevicesLine(DeviceRecord(L"\\\\.\\Display1", 1, 0x5555, 1, 0x5555))},
              sim::JournalOf("ChangeActiveDevices"));

    sim::SetDeviceId(L"Hdmi", 0x6666);
    int id = 0;
    EXPECT_EQ(1, intel->GetDeviceId(3, &id));
    EXPECT_EQ(0x6666, id);
}

struct ConnectedCase {
    const char* name;
    std::vector<const wchar_t*> connected;
    DWORD display1, display2;
    int status[4];  // panel, CRT, TV, HDMI
};

TEST_F(IntelTest, ConnectedDisplaysAndDualViewFollowTheComponentsDevices) {
    const ConnectedCase cases[] = {
        {"panel alone", {L"Panel"}, 0x01, 0, {2, 0, 0, 0}},
        {"CRT connected", {L"Panel", L"Crt"}, 0x01, 0, {2, 1, 0, 0}},
        {"clone with HDMI", {L"Panel", L"Hdmi", L"Tv"}, 0x09, 0, {2, 0, 1, 2}},
        {"CRT alone", {L"Panel", L"Crt"}, 0x02, 0, {1, 2, 0, 0}},
        {"extended to the CRT", {L"Panel", L"Crt"}, 0x01, 0x02, {2, 2, 0, 0}},
        {"extended to the TV", {L"Panel", L"Tv", L"Hdmi"}, 0x01, 0x04, {2, 0, 2, 1}},
    };
    for (const ConnectedCase& c : cases) {
        SCOPED_TRACE(c.name);
        sim::Reset();
        sim::SetConnected(L"Panel", false);
        for (const wchar_t* output : c.connected) sim::SetConnected(output, true);
        sim::SetShown(c.display1, c.display2);
        Start();
        intel->m_nDeviceStatus[4] = 9;  // cleared too
        ASSERT_EQ(1, intel->GetConnectedDisplays());
        EXPECT_EQ((std::vector<int>(c.status, c.status + 4)),
                  (std::vector<int>(intel->m_nDeviceStatus, intel->m_nDeviceStatus + 4)));
        EXPECT_EQ(0, intel->m_nDeviceStatus[4]);
        EXPECT_EQ(c.display2 != 0 ? 1 : 0, intel->IsDualView());
    }
}

TEST_F(IntelTest, RotationGoesThroughTheConfigurationRecordBeforeWindows7) {
    ConnectAll();
    for (auto [version, angle, index] : {std::tuple{5, 0, 0u}, {5, 90, 1u}, {5, 180, 2u}, {5, 270, 3u}, {7, 90, 1u}}) {
        SCOPED_TRACE(testing::Message() << "version " << version << ", " << angle << " degrees");
        proc::windowsVersion = version;
        Start();
        sim::ClearJournal();
        ASSERT_EQ(1, intel->SetDisplayRotation(displaydevice::kCrt, angle, 0, 0));
        EXPECT_EQ(Lines{kConfiguration + ConfigurationRecord(0, kCrtId, 0x100, index).Hex()},
                  sim::JournalOf("SetDeviceData"));
        EXPECT_EQ(index, sim::Rotation(L"Crt"));

        sim::ClearJournal();
        int read = -1;
        ASSERT_EQ(1, intel->GetDisplayRotation(displaydevice::kCrt, &read));
        EXPECT_EQ(angle, read);
        EXPECT_EQ(Lines{kConfiguration + ConfigurationRecord(0, kCrtId).Hex()}, sim::JournalOf("GetDeviceData"));
    }
    EXPECT_EQ(0, ReportLog::Lines());
}

TEST_F(IntelTest, AFailedRotationIsReportedAndLeavesTheAngle) {
    ConnectAll();
    Start();
    EXPECT_EQ(0, intel->SetDisplayRotation(displaydevice::kPanel, 45, 0, 0));
    EXPECT_EQ(1, ReportLog::Count(L"Fail SetConfiguration()"));
    EXPECT_TRUE(sim::JournalOf("SetDeviceData").empty());

    sim::SetFault(L"SetDeviceData", 1);
    EXPECT_EQ(0, intel->SetDisplayRotation(displaydevice::kPanel, 90, 0, 0));
    EXPECT_EQ(2, ReportLog::Count(L"Fail SetConfiguration()"));

    sim::SetFault(L"GetDeviceData", 1);
    int angle = 33;
    EXPECT_EQ(0, intel->GetDisplayRotation(displaydevice::kPanel, &angle));
    EXPECT_EQ(33, angle);
    EXPECT_EQ(3, ReportLog::Count(L"Fail SetConfiguration()"));
}

TEST_F(IntelTest, OnWindows7RotationIsAModeChangeOfTheChosenDisplay) {
    ConnectAll();
    proc::windowsVersion = 8;
    Start();
    EXPECT_EQ(1, intel->SetDisplayRotation(displaydevice::kPanel, 90, 0, 0));
    ASSERT_EQ(1u, display.changes.size());
    EXPECT_EQ(L"\\\\.\\DISPLAY1", display.changedDevices[0]);
    EXPECT_EQ(1u, display.changes[0].dmDisplayOrientation);  // the Windows direction
    EXPECT_EQ(768u, display.changes[0].dmPelsWidth);
    EXPECT_TRUE(sim::JournalOf("SetDeviceData").empty());

    display.current.dmDisplayOrientation = 2;
    int angle = 0;
    EXPECT_EQ(1, intel->GetDisplayRotation(displaydevice::kPanel, &angle));
    EXPECT_EQ(180, angle);
}

TEST_F(IntelTest, GetConfigurationGivesTheOptimalSizeOr800x600AndFailsOnAFailedGet) {
    ConnectAll();
    sim::SetValue(gv::kOptimalWidth, 1600);
    sim::SetValue(gv::kOptimalHeight, 900);
    Start();
    int width = 0, height = 0, refresh = 0;
    ASSERT_EQ(1, intel->GetConfiguration(kPanelId, &width, &height, &refresh));
    EXPECT_EQ((std::vector<int>{1600, 900, 60}), (std::vector<int>{width, height, refresh}));
    EXPECT_EQ(Lines{kConfiguration + ConfigurationRecord(68, kPanelId).Hex()}, sim::JournalOf("GetDeviceData"));

    sim::SetValue(gv::kOptimalValid, 0);
    ASSERT_EQ(1, intel->GetConfiguration(kPanelId, &width, &height, &refresh));
    EXPECT_EQ((std::vector<int>{800, 600}), (std::vector<int>{width, height}));
    EXPECT_EQ(1, ReportLog::Count(L"GetConfiguration() error: Cannot get the optimal resolution"));

    sim::SetFault(L"GetDeviceData", 1);
    width = height = refresh = 5;
    EXPECT_EQ(0, intel->GetConfiguration(kPanelId, &width, &height, &refresh));
    EXPECT_EQ((std::vector<int>{5, 5, 5}), (std::vector<int>{width, height, refresh}));
    EXPECT_EQ(1, ReportLog::Count(L"\"GetConfiguration()\" error!"));
}

TEST_F(IntelTest, RestoringThePanelKeepsItsRotationUnlessAskedToClearIt) {
    ConnectAll();
    sim::SetShown(0x02, 0);  // the CRT alone; the panel turned by 90 degrees
    sim::SetRotation(L"Panel", 1);
    Start();
    ASSERT_EQ(1, intel->RestoreDefaultDisplay(restoredefault::kPanelAlone));
    EXPECT_EQ(0x01u, sim::Value(gv::kDisplay1));
    // The component starts a newly shown device unrotated; the driver puts the rotation back.
    EXPECT_EQ(Lines{kConfiguration + ConfigurationRecord(0, kPanelId, 0x100, 1).Hex()},
              sim::JournalOf("SetDeviceData"));
    EXPECT_EQ(1u, sim::Rotation(L"Panel"));

    sim::ClearJournal();
    ASSERT_EQ(1, intel->RestoreDefaultDisplay(restoredefault::kNoRotation));
    EXPECT_EQ(Lines{kConfiguration + ConfigurationRecord(0, kPanelId, 0x100, 0).Hex()},
              sim::JournalOf("SetDeviceData"));
    EXPECT_TRUE(sim::JournalOf("ChangeActiveDevices").empty());
}

TEST_F(IntelTest, RestoringTheNativeResolutionUsesTheOptimalSizeOr800x600) {
    ConnectAll();
    Start();
    ASSERT_EQ(1, intel->RestoreDefaultDisplay(restoredefault::kNativeResolution));
    ASSERT_EQ(1u, display.changes.size());
    EXPECT_EQ(1366u, display.changes[0].dmPelsWidth);
    EXPECT_EQ(768u, display.changes[0].dmPelsHeight);
    EXPECT_EQ(32u, display.changes[0].dmBitsPerPel);

    sim::SetValue(gv::kOptimalValid, 0);
    ASSERT_EQ(1, intel->RestoreDefaultDisplay(restoredefault::kNativeResolution));
    ASSERT_EQ(2u, display.changes.size());
    EXPECT_EQ(800u, display.changes[1].dmPelsWidth);
    EXPECT_EQ(600u, display.changes[1].dmPelsHeight);

    sim::SetFault(L"GetDeviceData", vqsim::graphics::kAlways);
    EXPECT_EQ(0, intel->RestoreDefaultDisplay(restoredefault::kNativeResolution));
    EXPECT_EQ(2u, display.changes.size());
}

TEST_F(IntelTest, DownScalingRequestsCarryTheirRecords) {
    ConnectAll();
    Start();
    int supported = 0;
    ASSERT_EQ(1, intel->IsDownScalingSupported(&supported));
    EXPECT_EQ(1, supported);
    EXPECT_EQ(Lines{"52 " + Bytes(52).Hex()}, sim::JournalOf("IsDownScalingSupported"));

    const Resolution size{1024, 600};
    const std::string sized = "52 " + Bytes(52).Put(20, 1024).Put(24, 600).Put(28, 60).Put(32, 32).Hex();
    ASSERT_EQ(1, intel->SetDownScaling(1, &size));
    EXPECT_EQ(Lines{sized}, sim::JournalOf("EnableDownScaling"));
    int enabled = 0;
    ASSERT_EQ(1, intel->IsDownScalingEnabled(&enabled));
    EXPECT_EQ(1, enabled);
    EXPECT_EQ(1u, sim::JournalOf("GetDownScalingEnabled").size());

    ASSERT_EQ(1, intel->SetDownScaling(0, &size));
    EXPECT_EQ(Lines{sized}, sim::JournalOf("DisableDownScaling"));
    ASSERT_EQ(1, intel->IsDownScalingEnabled(&enabled));
    EXPECT_EQ(0, enabled);
    EXPECT_EQ(0, ReportLog::Lines());
}

TEST_F(IntelTest, DownScalingFailuresAreReportedAndFail) {
    ConnectAll();
    Start();
    const Resolution size{1024, 600};
    sim::SetFault(L"EnableDownScaling", 1);
    EXPECT_EQ(0, intel->SetDownScaling(1, &size));
    EXPECT_EQ(1, ReportLog::Count(L"fail: SetDownScaling() 1"));
    EXPECT_EQ(0u, sim::Value(gv::kDownScalingEnabled));

    sim::SetFault(L"IsDownScalingSupported", 1);
    int supported = 9;
    EXPECT_EQ(0, intel->IsDownScalingSupported(&supported));
    EXPECT_EQ(9, supported);
    EXPECT_EQ(1, ReportLog::Count(L"fail: IsDownScalingSupported()"));

    sim::SetFault(L"IsDownScalingSupported", 1);
    int enabled = 9;
    EXPECT_EQ(0, intel->IsDownScalingEnabled(&enabled));
    EXPECT_EQ(1, ReportLog::Count(L"fail: IsDownScalingSupported"));

    sim::ClearJournal();
    sim::SetValue(gv::kDownScalingSupported, 0);
    EXPECT_EQ(0, intel->SetDownScaling(1, &size));
    EXPECT_TRUE(sim::JournalOf("EnableDownScaling").empty());
}

TEST_F(IntelTest, ApplyingDownScalingSendsTheCurrentModeExceptAt800x480) {
    ConnectAll();
    display.SetCurrent(1280, 720);
    Start();
    ASSERT_EQ(1, intel->ApplyDownScalingToCurrentMode());
    EXPECT_EQ(Lines{"52 " + Bytes(52).Put(20, 1280).Put(24, 720).Put(28, 60).Put(32, 32).Hex()},
              sim::JournalOf("EnableDownScaling"));

    sim::ClearJournal();
    display.SetCurrent(800, 480);
    EXPECT_EQ(1, intel->ApplyDownScalingToCurrentMode());
    EXPECT_TRUE(sim::JournalOf("EnableDownScaling").empty());

    display.SetCurrent(1280, 720);
    sim::SetFault(L"EnableDownScaling", 1);
    EXPECT_EQ(0, intel->ApplyDownScalingToCurrentMode());
    EXPECT_EQ(1, ReportLog::Count(L"fail: ApplyDownScalingToCurrentMode()"));
}

}  // namespace

namespace {

// The component changes the real screen of the simulated notebook (an
// output each for the panel and the CRT): the extended desktop puts the CRT
// beside the panel, the clone puts both on one picture, the panel alone
// turns the CRT off; the state says what it showed. This process mapped its
// displays when the CRT connector had shown nothing yet, and Wine lets it
// drive no output it has not mapped: then X shows the change by itself and
// the state says so.
TEST_F(IntelTest, TheComponentShowsTheChangeOnTheRealScreenOrRecordsWhatItCouldNotShow) {
    ConnectAll();
    Start();
    const std::wstring panel = L"Panel " + std::to_wstring(GetSystemMetrics(SM_CXSCREEN)) + L"x" +
                               std::to_wstring(GetSystemMetrics(SM_CYSCREEN)) + L"@0,0";
    ASSERT_EQ(1, intel->ChangeDisplayCombination(0x103));
    const std::wstring extended = sim::Text(gv::kDesktop);
    const LONG extendedResult = static_cast<LONG>(sim::Value(gv::kDesktopResult, 1));
    const int extendedMonitors = GetSystemMetrics(SM_CMONITORS);
    ASSERT_EQ(1, intel->ChangeDisplayCombination(0x03));
    const std::wstring clone = sim::Text(gv::kDesktop);
    ASSERT_EQ(1, intel->ChangeDisplayCombination(0x01));
    const std::wstring single = sim::Text(gv::kDesktop);
    EXPECT_EQ(0u, extended.find(panel + L" + Crt ")) << extended;
    EXPECT_EQ(DISP_CHANGE_SUCCESSFUL, extendedResult) << extended;
    if (extended.find(L"by X alone") == std::wstring::npos) {
        EXPECT_EQ(2, extendedMonitors);
    }
    EXPECT_EQ(std::wstring::npos, extended.find(L"not shown")) << extended;
    EXPECT_EQ(0u, clone.find(L"Panel Crt ")) << clone;
    // The panel alone, at the size it showed last (the clone's).
    EXPECT_EQ(0u, single.find(L"Panel ")) << single;
    EXPECT_EQ(std::wstring::npos, single.find(L"Crt")) << single;
    EXPECT_EQ(std::wstring::npos, single.find(L"not shown")) << single;
}

}  // namespace
