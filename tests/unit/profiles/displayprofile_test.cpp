// The display profile store on a fake WMI: saving and finding profiles by the
// attached monitors and the combination code, slot allocation, the values
// written for each kind of combination and Windows version, the default
// display, initialisation failures and the monitor identifiers.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "common/processstate.h"
#include "profilefixture.h"
#include "reportlog.h"

namespace {

using profiletest::DeleteSection;
using profiletest::Dword;
using profiletest::HasSection;
using profiletest::HasValue;
using profiletest::ProfileTest;
using profiletest::Text;
using profiletest::WriteDword;

constexpr wchar_t kPanel[] = L"DISPLAY\\VQP1366\\4&1A2B&0&UID0";
constexpr wchar_t kMonitorA[] = L"DISPLAY\\VQE2201\\5&1A2B&0&UID1";
constexpr wchar_t kMonitorB[] = L"DISPLAY\\VQE1905\\5&1A2B&0&UID2";
constexpr wchar_t kMonitorC[] = L"DISPLAY\\VQE2710\\5&1A2B&0&UID3";
constexpr int kDualPanelPrimary = 0x103;
constexpr int kCrtOnly = 0x02;
constexpr int kClone = 0x03;

const std::wstring kSlot0 = CDisplayProfile::SlotSection(0);
const std::wstring kSlot1 = CDisplayProfile::SlotSection(1);
const std::wstring kSlot2 = CDisplayProfile::SlotSection(2);
const std::wstring kSlot3 = CDisplayProfile::SlotSection(3);
const std::wstring kNotInitialized = L"CDisplayProfile is not initialized... ";

struct Found {
    int found = -1;
    std::wstring key;
};

class ProfileStoreTest : public ProfileTest {
protected:
    void SetUp() override {
        ProfileTest::SetUp();
        ASSERT_EQ(MakeStore(), 1);
        ReportLog::Clear();
    }
    Found Find(int code) {
        Found f;
        EXPECT_EQ(store_->FindDisplayHistory(code, &f.found, &f.key), 1);
        return f;
    }
    // The first display's width of the profile used for `code` now; -1 when none is.
    int WidthUsed(int code) {
        SIZE first{-1, -1};
        int c = code;
        return store_->GetDisplayHistory(nullptr, &c, &first, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                         nullptr, nullptr, nullptr, nullptr)
                   ? static_cast<int>(first.cx)
                   : -1;
    }
};

TEST_F(ProfileStoreTest, TwoDisplayProfileIsSavedInSlotOneAndFoundForTheSameMonitorsAndCode) {
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(SaveTwo(kDualPanelPrimary, 1366, 768, 1920, 1080, -1920, -312), 1);

    EXPECT_EQ(Dword(kSlot1, L"cnt"), 2u);
    EXPECT_EQ(Text(kSlot1, L"disp_00"), L"DISPLAY\\VQP1366");
    EXPECT_EQ(Text(kSlot1, L"disp_01"), L"DISPLAY\\VQE2201");
    EXPECT_EQ(Dword(kSlot1, L"mode"), 0x103u);
    EXPECT_EQ(Dword(kSlot1, L"w_ext"), 1920u);
    // Positions are texts so that negative values survive.
    EXPECT_EQ(Text(kSlot1, L"pos_x"), L"-1920");
    EXPECT_EQ(Text(kSlot1, L"pos_y"), L"-312");

    const Found same = Find(kDualPanelPrimary);
    EXPECT_EQ(same.found, 1);
    EXPECT_EQ(same.key, kSlot1);
    EXPECT_EQ(Find(kDualPanelPrimary + 0x100).found, 0) << "another combination code";

    int code = kDualPanelPrimary, depth = 0, depth2 = 0, freq = 0, freq2 = 0, rot = -1, rot2 = 0, den = 0, den2 = 0;
    SIZE first{}, second{};
    POINT at{};
    ASSERT_EQ(store_->GetDisplayHistory(nullptr, &code, &first, &second, &depth, &depth2, &freq, &freq2, &rot, &rot2,
                                        &at, &den, &den2),
              1);
    EXPECT_EQ(code, kDualPanelPrimary);
    EXPECT_EQ(first.cx, 1366);
    EXPECT_EQ(first.cy, 768);
    EXPECT_EQ(second.cx, 1920);
    EXPECT_EQ(second.cy, 1080);
    EXPECT_EQ(depth2, 16);
    EXPECT_EQ(freq2, 75);
    EXPECT_EQ(rot2, 90);
    EXPECT_EQ(at.x, -1920);
    EXPECT_EQ(at.y, -312);

    // The same monitors again rewrite slot 001; others get slot 002.
    ASSERT_EQ(SaveTwo(kDualPanelPrimary, 1280, 768, 1920, 1080, 1280, 0), 1);
    EXPECT_EQ(Dword(kSlot1, L"w"), 1280u);
    EXPECT_FALSE(HasSection(kSlot2));
    Attach({kPanel, kMonitorC});
    ASSERT_EQ(SaveTwo(kDualPanelPrimary, 1024, 768, 2560, 1440, 1024, 0), 1);
    EXPECT_EQ(Text(kSlot2, L"disp_01"), L"DISPLAY\\VQE2710");
    EXPECT_EQ(WidthUsed(kDualPanelPrimary), 1024);
    Attach({kPanel, kMonitorA});
    EXPECT_EQ(WidthUsed(kDualPanelPrimary), 1280);
}

TEST_F(ProfileStoreTest, MonitorListsAreComparedWithTheirMultiplicity) {
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(SaveSingle(kClone, 1366, 768), 1);

    // Two monitors of model A are not the panel and a monitor A.
    Attach({kMonitorA, kMonitorA});
    EXPECT_EQ(Find(kClone).found, 0);
    ASSERT_EQ(SaveSingle(kClone, 1024, 768), 1);
    EXPECT_EQ(Find(kClone).key, kSlot2);

    // Order does not matter; the stored list [A, A] does not take [panel, A].
    Attach({kMonitorA, kPanel});
    EXPECT_EQ(Find(kClone).key, kSlot1);
    Attach({kMonitorA, kMonitorA});
    EXPECT_EQ(WidthUsed(kClone), 1024);
}

TEST_F(ProfileStoreTest, SlotWithAnEmptyIdentifierNeverMatches) {
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(SaveSingle(kClone, 1366, 768), 1);
    settings::WriteText(kSlot1.c_str(), L"disp_01", L"");
    EXPECT_EQ(Find(kClone).found, 0);
}

TEST_F(ProfileStoreTest, SlotsStayWithoutGapsAfterADeleteAndAdd) {
    const std::vector<std::vector<std::wstring>> arrangements = {
        {kPanel, kMonitorA}, {kPanel, kMonitorB}, {kPanel, kMonitorC}, {kMonitorA, kMonitorB}};
    for (size_t i = 0; i < 3; ++i) {
        Attach(arrangements[i]);
        ASSERT_EQ(SaveSingle(kCrtOnly, 1000 + static_cast<int>(i), 768), 1);
    }
    ASSERT_TRUE(HasSection(kSlot3));
    DeleteSection(kSlot2);

    Attach(arrangements[3]);
    ASSERT_EQ(SaveSingle(kCrtOnly, 1003, 768), 1);
    EXPECT_EQ(Text(kSlot2, L"disp_00"), L"DISPLAY\\VQE2201") << "the free slot 002 is taken";
    for (int slot = 1; slot <= 3; ++slot) EXPECT_TRUE(HasValue(CDisplayProfile::SlotSection(slot), L"cnt")) << slot;
    EXPECT_FALSE(HasSection(CDisplayProfile::SlotSection(4)));
    // Slot 003 is reachable again.
    Attach(arrangements[2]);
    EXPECT_EQ(WidthUsed(kCrtOnly), 1002);
}

// A count of the wrong type (text, or a DWORD's size) makes that slot
// unusable, reported; the slots after it are still found and it is not reused.
TEST_F(ProfileStoreTest, ASlotWhoseCountIsNotANumberIsSkippedAndKept) {
    Attach({kPanel, kMonitorB});
    ASSERT_EQ(SaveSingle(kClone, 1024, 768), 1);
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(SaveSingle(kClone, 1280, 1024), 1);
    ASSERT_EQ(Find(kClone).key, kSlot2);
    const struct {
        const char* what;
        DWORD type;
        std::wstring data;
    } damages[] = {
        {"a text", REG_SZ, L"1"},
        {"two bytes", REG_BINARY, std::wstring(1, L'\x0002')},
    };
    for (const auto& damage : damages) {
        SCOPED_TRACE(damage.what);
        ReportLog::Clear();
        const DWORD bytes = damage.type == REG_SZ ? static_cast<DWORD>((damage.data.size() + 1) * sizeof(wchar_t))
                                                  : static_cast<DWORD>(damage.data.size() * sizeof(wchar_t));
        ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, profiletest::SectionPath(kSlot1).c_str(), L"cnt", damage.type,
                                  damage.data.c_str(), bytes),
                  ERROR_SUCCESS);
        EXPECT_EQ(WidthUsed(kClone), 1280) << "the intact profile of slot 002";
        EXPECT_TRUE(ReportLog::Has(L"error: FindDisplayHistory() - Profile\\disp_pro_001\\cnt is not a number; the "
                                   L"profile is skipped"))
            << ReportLog::Text();
        // New monitors take the first free slot, after both.
        Attach({kPanel, kMonitorC});
        ASSERT_EQ(SaveSingle(kClone, 1366, 768), 1);
        EXPECT_FALSE(Dword(kSlot1, L"cnt").has_value()) << "the damaged slot is left as it is";
        EXPECT_EQ(Text(kSlot3, L"disp_01"), L"DISPLAY\\VQE2710");
        DeleteSection(kSlot3);
        Attach({kPanel, kMonitorA});
    }
}

TEST_F(ProfileStoreTest, SlotNumbersAboveNineHundredNinetyNineUseTheirDigits) {
    EXPECT_EQ(CDisplayProfile::SlotSection(7), L"Profile\\disp_pro_007");
    for (int slot = 1; slot <= 999; ++slot) WriteDword(CDisplayProfile::SlotSection(slot), L"cnt", 9);
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(SaveSingle(kCrtOnly, 1920, 1080), 1);
    EXPECT_EQ(Dword(L"Profile\\disp_pro_1000", L"w"), 1920u);
    EXPECT_EQ(Find(kCrtOnly).key, L"Profile\\disp_pro_1000");
}

TEST_F(ProfileStoreTest, SecondDisplayValuesOnlyForExtendedDesktopCodes) {
    struct Case { int code; bool twoDisplays; };
    const Case cases[] = {{0x01, false}, {0x03, false}, {0x102, false}, {0x103, true},
                          {0x180, true}, {0x219, true}, {0x21A, false}, {0x2B, false}};
    const wchar_t* secondValues[] = {L"w_ext", L"h_ext", L"depth_ext", L"freq_ext", L"rotate_ext", L"freq_extDenum",
                                     L"pos_x", L"pos_y"};
    Attach({kPanel, kMonitorA});
    for (const Case& c : cases) {
        DeleteSection(kSlot0);
        DeleteSection(kSlot1);
        ASSERT_EQ(SaveTwo(c.code, 1366, 768, 1920, 1080, -5, 7), 1) << c.code;
        const std::wstring section = c.code == 1 ? kSlot0 : kSlot1;
        for (const wchar_t* name : secondValues) EXPECT_EQ(HasValue(section, name), c.twoDisplays) << c.code << name;

        // Values left in a section are not read for a single-display code.
        WriteDword(section, L"w_ext", 800);
        SIZE second{-1, -1};
        POINT at{-1, -1};
        int code = c.code;
        ASSERT_EQ(store_->GetDisplayHistory(nullptr, &code, nullptr, &second, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, &at, nullptr, nullptr),
                  1);
        EXPECT_EQ(second.cx, c.twoDisplays ? 800 : 0) << c.code;
        EXPECT_EQ(at.x, c.twoDisplays ? -5 : 0) << c.code;
    }
}

TEST_F(ProfileStoreTest, PositionTextsRoundTripAndBadTextsReadAsZero) {
    Attach({kPanel, kMonitorA});
    struct Case { int x, y; };
    for (const Case& c : {Case{-2147483647 - 1, 2147483647}, Case{-1, 0}, Case{1366, -768}}) {
        ASSERT_EQ(SaveTwo(kDualPanelPrimary, 1366, 768, 1920, 1080, c.x, c.y), 1);
        POINT at{};
        int code = kDualPanelPrimary;
        ASSERT_EQ(store_->GetDisplayHistory(nullptr, &code, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, &at, nullptr, nullptr),
                  1);
        EXPECT_EQ(at.x, c.x);
        EXPECT_EQ(at.y, c.y);
    }
    for (const wchar_t* bad : {L"12px", L"", L"99999999999", L"0x10"}) {
        settings::WriteText(kSlot1.c_str(), L"pos_x", bad);
        POINT at{-1, -1};
        int code = kDualPanelPrimary;
        ASSERT_EQ(store_->GetDisplayHistory(nullptr, &code, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, &at, nullptr, nullptr),
                  1);
        EXPECT_EQ(at.x, 0) << bad;
        EXPECT_TRUE(ReportLog::Has(L"error: GetDisplayHistory() - " + kSlot1 + L"\\pos_x is not a number: \"" + bad +
                                   L"\""));
    }
}

TEST_F(ProfileStoreTest, DenominatorsAndVideoSignalOnlyOnWindows7) {
    DISPLAYCONFIG_VIDEO_SIGNAL_INFO signal{};
    signal.pixelRate = 0x1'2345'6789ull;
    signal.hSyncFreq = {47712, 1};
    signal.vSyncFreq = {60000, 1001};
    signal.activeSize = {1366, 768};
    signal.totalSize = {1792, 798};
    signals_.signal = signal;
    Attach({kPanel, kMonitorA});
    const wchar_t* windows7Values[] = {L"freqDenum", L"freq_extDenum", L"PixelRateUp", L"PixelRateDown",
                                       L"hSyncFreq_num", L"hSyncFreq_den", L"vSyncFreq_num", L"vSyncFreq_den",
                                       L"activeSize", L"totalSize"};
    for (int version : {5, 7, 8}) {
        proc::windowsVersion = version;
        DeleteSection(kSlot1);
        ASSERT_EQ(store_->SetDisplayProfile(kDualPanelPrimary, 1366, 768, 1920, 1080, 32, 32, 60, 60, 0, 0, 1366, 0, 0,
                                            nullptr, 1001, 1000),
                  1);
        for (const wchar_t* name : windows7Values) EXPECT_EQ(HasValue(kSlot1, name), version == 8) << version << name;
    }
    EXPECT_EQ(Dword(kSlot1, L"freqDenum"), 1001u);
    EXPECT_EQ(Dword(kSlot1, L"PixelRateUp"), 1u);
    EXPECT_EQ(Dword(kSlot1, L"PixelRateDown"), 0x23456789u);
    EXPECT_EQ(Dword(kSlot1, L"activeSize"), 768u * 65536 + 1366);
    EXPECT_EQ(signals_.codes.back(), kDualPanelPrimary);

    int code = kDualPanelPrimary, den = 0, den2 = 0;
    ASSERT_EQ(store_->GetDisplayHistory(nullptr, &code, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, &den, &den2),
              1);
    EXPECT_EQ(den, 1001);
    EXPECT_EQ(den2, 1000);
    const DISPLAYCONFIG_VIDEO_SIGNAL_INFO& read = store_->VideoSignal();
    EXPECT_EQ(read.pixelRate, signal.pixelRate);
    EXPECT_EQ(read.vSyncFreq.Denominator, 1001u);
    EXPECT_EQ(read.activeSize.cx, 1366u);
    EXPECT_EQ(read.activeSize.cy, 768u);
    EXPECT_EQ(read.totalSize.cx, 1792u);
    EXPECT_EQ(read.videoStandard, 255u);
    EXPECT_EQ(read.scanLineOrdering, DISPLAYCONFIG_SCANLINE_ORDERING_PROGRESSIVE);
}

TEST_F(ProfileStoreTest, SignalValuesAreWrittenOnlyWhenTheSignalWasRead) {
    signals_.signal.reset();
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(SaveTwo(kDualPanelPrimary, 1366, 768, 1920, 1080, 1366, 0), 1);
    EXPECT_TRUE(HasValue(kSlot1, L"w"));
    for (const wchar_t* name : {L"PixelRateUp", L"PixelRateDown", L"hSyncFreq_num", L"activeSize", L"totalSize"}) {
        EXPECT_FALSE(HasValue(kSlot1, name)) << name;
    }
    EXPECT_TRUE(ReportLog::Has(L"fail: SetDisplayProfile() - video signal of mode=0x103 not read"));
}

TEST_F(ProfileStoreTest, NoNewSlotFlagSavesOnlyIntoAnExistingSlot) {
    Attach({kPanel, kMonitorA});
    EXPECT_EQ(SaveSingle(kCrtOnly, 1920, 1080, 1), 1);
    EXPECT_FALSE(HasSection(kSlot1));

    ASSERT_EQ(SaveSingle(kCrtOnly, 1920, 1080), 1);
    EXPECT_EQ(SaveSingle(kCrtOnly, 1600, 900, 1), 1);
    EXPECT_EQ(Dword(kSlot1, L"w"), 1600u) << "an existing slot is rewritten";
}

TEST_F(ProfileStoreTest, PanelOnlyCodeAlwaysUsesSlotZero) {
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(store_->GetMonitorDeviceID(), 1);  // slot 000 takes the count last read
    ASSERT_EQ(SaveSingle(CDisplayProfile::kPanelOnlyCode, 1366, 768), 1);
    EXPECT_FALSE(HasValue(kSlot0, L"disp_00"));
    EXPECT_EQ(Dword(kSlot0, L"cnt"), 2u);
    Attach({kMonitorB});
    management_->queries.clear();
    const Found f = Find(CDisplayProfile::kPanelOnlyCode);
    EXPECT_EQ(f.found, 1);
    EXPECT_EQ(f.key, kSlot0);
    EXPECT_TRUE(management_->queries.empty()) << "slot 000 needs no monitors";
    EXPECT_EQ(WidthUsed(CDisplayProfile::kPanelOnlyCode), 1366);
}

TEST_F(ProfileStoreTest, GivenKeyIsReadWhateverMonitorsAreAttached) {
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(SaveSingle(kCrtOnly, 1920, 1080), 1);
    Attach({kMonitorC});
    int code = 0;
    SIZE first{};
    ASSERT_EQ(store_->GetDisplayHistory(kSlot1.c_str(), &code, &first, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(code, kCrtOnly);
    EXPECT_EQ(first.cx, 1920);
    EXPECT_EQ(WidthUsed(kCrtOnly), -1) << "no profile for these monitors";
}

TEST_F(ProfileStoreTest, AuditModeBeforeWindows7UsesFixedSettingsAndThePanelSize) {
    proc::windowsVersion = 7;
    proc::auditMode = true;
    Attach({kPanel, kMonitorA});
    ASSERT_EQ(store_->GetMonitorDeviceID(), 1);
    const SIZE panel{1600, 900};
    ASSERT_EQ(store_->SetDisplayProfile(1, 1366, 768, 0, 0, 32, 0, 60, 0, 0, 0, 0, 0, 0, &panel), 1);
    EXPECT_EQ(Dword(kSlot0, L"w_panel"), 1600u);
    EXPECT_TRUE(ReportLog::Has(L"Saving Profiles mode=0x1 w=1366, h=768, depth=32, freq=60, rotate=0, cnt=2"));
    EXPECT_EQ(WidthUsed(1), 1600);
    DeleteSection(kSlot0);
    proc::auditMode = false;
    ASSERT_EQ(SaveSingle(1, 1366, 768), 1);
    proc::auditMode = true;
    EXPECT_EQ(WidthUsed(1), 1366) << "no panel size saved: the profile's own";

    ASSERT_EQ(SaveSingle(kCrtOnly, 1920, 1080), 1);
    int code = kCrtOnly, depth = 0, freq = 0;
    SIZE first{};
    ASSERT_EQ(store_->GetDisplayHistory(nullptr, &code, &first, nullptr, &depth, nullptr, &freq, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(first.cx, 1024);
    EXPECT_EQ(first.cy, 768);
    EXPECT_EQ(freq, 60);

    ASSERT_EQ(SaveTwo(kDualPanelPrimary, 1366, 768, 1920, 1080, 1366, 0), 1);
    SIZE second{};
    code = kDualPanelPrimary;
    ASSERT_EQ(store_->GetDisplayHistory(nullptr, &code, &first, &second, nullptr, nullptr, nullptr, nullptr, nullptr,
                                        nullptr, nullptr, nullptr, nullptr),
              1);
    EXPECT_EQ(first.cx, 1366);
    EXPECT_EQ(second.cx, 1024);
}

TEST_F(ProfileStoreTest, NoMonitorAfterTenReadsFailsTheSave) {
    Attach({});
    management_->queries.clear();
    const DWORD start = GetTickCount();
    EXPECT_EQ(SaveSingle(kCrtOnly, 1920, 1080), 0);
    EXPECT_GE(GetTickCount() - start, 2900u) << "waits 200 ms more from the sixth read on";
    EXPECT_EQ(management_->queries.size(), 10u);
    EXPECT_TRUE(ReportLog::Has(L"fail: SetDisplayProfile() - FindDisplayHistory()"));
    EXPECT_FALSE(HasSection(kSlot1));
}

TEST_F(ProfileStoreTest, MonitorIdentifiersAreCutAtTheSecondBackslashAndAtTwelve) {
    struct Case { const wchar_t* deviceId; const wchar_t* identifier; };
    const Case cases[] = {
        {L"DISPLAY\\ABC1234\\5&1A2B&0&UID0", L"DISPLAY\\ABC1234"},
        {L"DISPLAY\\DEFAULT_MONITOR\\0000&0000", L"DISPLAY\\DEFAULT_MONITOR"},
        {L"DISPLAY\\NOINSTANCE", L"DISPLAY\\NOINSTANCE"},
        {L"DISPLAYONLY", L"DISPLAYONLY"},
        {L"DISPLAY\\\\X", L"DISPLAY\\"},
    };
    for (const Case& c : cases) EXPECT_EQ(CDisplayProfile::MonitorIdentifier(c.deviceId), c.identifier);
    EXPECT_EQ(CDisplayProfile::MonitorIdentifier(L"DISPLAY\\" + std::wstring(400, L'Z')).size(),
              CDisplayProfile::kMaxIdentifierChars);

    std::vector<std::wstring> fifteen;
    for (int i = 0; i < 15; ++i) fifteen.push_back(L"DISPLAY\\MON" + std::to_wstring(i) + L"\\1&0");
    Attach(fifteen);
    ASSERT_EQ(store_->GetMonitorDeviceID(), 1);
    EXPECT_EQ(store_->MonitorCount(), 12);
    EXPECT_EQ(store_->MonitorId(11), L"DISPLAY\\MON11");

    // An object without a DeviceID is left out and reported.
    Attach({kPanel, L"", kMonitorA});
    ASSERT_EQ(store_->GetMonitorDeviceID(), 1);
    EXPECT_EQ(store_->MonitorCount(), 2);
    EXPECT_EQ(store_->MonitorId(1), L"DISPLAY\\VQE2201");
    EXPECT_TRUE(ReportLog::Has(L"error: GetMonitorDeviceID() - a monitor device without a DeviceID is left out"));

    management_->queryResult = E_FAIL;
    EXPECT_EQ(store_->GetMonitorDeviceID(), 0);
    EXPECT_EQ(store_->MonitorCount(), 2) << "a failed query keeps the identifiers";
}

class ProfileInitTest : public ProfileTest {};

TEST_F(ProfileInitTest, ClassQueryRefusedFallsBackToTheDeviceIdQueryOnce) {
    management_->classQueryFails = true;
    ASSERT_EQ(MakeStore(), 1);
    ASSERT_EQ(store_->GetMonitorDeviceID(), 1);
    ASSERT_EQ(store_->GetMonitorDeviceID(), 1);
    EXPECT_EQ(store_->MonitorId(0), L"DISPLAY\\VQP1366");
    const std::vector<std::wstring> expected = {
        L"SELECT * FROM Win32_PNPEntity WHERE ClassGuid = '{4D36E96E-E325-11CE-BFC1-08002BE10318}'",
        L"SELECT * FROM Win32_PNPEntity WHERE DeviceID LIKE 'DISPLAY%'",
        L"SELECT * FROM Win32_PNPEntity WHERE DeviceID LIKE 'DISPLAY%'"};
    EXPECT_EQ(management_->queries, expected);
}

TEST_F(ProfileInitTest, FailuresLeaveTheStoreUninitialisedAndEveryOperationSaysSo) {
    struct Case {
        const char* what;
        HRESULT security, locator, connect;
        int result;
        const wchar_t* report;
    };
    const Case cases[] = {
        {"security refused", E_ACCESSDENIED, S_OK, S_OK, 0, L"fail: CDisplayProfile::Init() - CoInitializeSecurity()"},
        {"no locator", S_OK, REGDB_E_CLASSNOTREG, S_OK, 0, L"fail: Instantiation of IWbemLocator - CoCreateInstance()"},
        {"no connection", S_OK, S_OK, static_cast<HRESULT>(0x8004100E), 0,
         L"fail: CDisplayProfile::Init() - ConnectServer() 0x8004100e"},
    };
    for (const Case& c : cases) {
        ReportLog::Clear();
        management_->security = c.security;
        management_->locator = c.locator;
        management_->connect = c.connect;
        EXPECT_EQ(MakeStore(), c.result) << c.what;
        EXPECT_TRUE(ReportLog::Has(c.report)) << c.what;
        EXPECT_FALSE(store_->IsInitialized());
        int found = 7;
        EXPECT_EQ(store_->FindDisplayHistory(kCrtOnly, &found, nullptr), 0);
        EXPECT_EQ(found, 7);
        EXPECT_EQ(store_->GetMonitorDeviceID(), 0);
        EXPECT_EQ(SaveSingle(kCrtOnly, 1, 1), 0);
        int code = 1;
        EXPECT_EQ(store_->GetDisplayHistory(nullptr, &code, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, nullptr, nullptr, nullptr),
                  0);
        EXPECT_EQ(store_->DefineDefaultDisplay(), 0);
        EXPECT_EQ(ReportLog::Count(kNotInitialized), 5) << c.what;
        EXPECT_FALSE(HasSection(kSlot0));
    }
}

TEST_F(ProfileInitTest, SecuritySetEarlierInTheProcessIsNoFailure) {
    management_->security = RPC_E_TOO_LATE;
    EXPECT_EQ(MakeStore(), 1);
    EXPECT_TRUE(store_->IsInitialized());
    EXPECT_TRUE(HasValue(kSlot0, L"mode"));
}

// The default panel-only profile written at initialisation.
class DefaultDisplayTest : public ProfileTest {
protected:
    struct Slot0 { DWORD w, h, depth, freq, rotate; };
    Slot0 Read() {
        return {Dword(kSlot0, L"w").value_or(0), Dword(kSlot0, L"h").value_or(0),
                Dword(kSlot0, L"depth").value_or(0), Dword(kSlot0, L"freq").value_or(0),
                Dword(kSlot0, L"rotate").value_or(0)};
    }
};

TEST_F(DefaultDisplayTest, FirstStartWritesTheLargestListedResolutionWithUsableDepthAndRate) {
    modes_.current = {1024, 768, 16, 30, 1};
    modes_.listed = {{800, 600}, {1024, 768}, {1920, 1080}};
    ASSERT_EQ(MakeStore(), 1);
    const Slot0 s = Read();
    EXPECT_EQ(s.w, 1920u);
    EXPECT_EQ(s.h, 1080u);
    EXPECT_EQ(s.depth, 32u);
    EXPECT_EQ(s.freq, 60u);
    EXPECT_EQ(s.rotate, 90u);
    EXPECT_EQ(Dword(kSlot0, L"mode"), 1u);
    EXPECT_FALSE(HasValue(kSlot0, L"w_ext"));
    EXPECT_TRUE(ReportLog::Has(L"Init LCDonly restoration Resolution= w1=1920, h1=1080, w2=1024, h2=768"));
}

TEST_F(DefaultDisplayTest, PlausibleProfileIsLeftAloneOutsideAuditModeAndRewrittenInIt) {
    WriteDword(kSlot0, L"mode", 1);
    WriteDword(kSlot0, L"w", 1366);
    WriteDword(kSlot0, L"h", 768);
    modes_.listed = {{1024, 768}, {1920, 1080}};
    ASSERT_EQ(MakeStore(), 1);
    EXPECT_EQ(Read().w, 1366u);
    EXPECT_FALSE(proc::auditMode);

    imageState_.Set(L"IMAGE_STATE_UNDEPLOYABLE");
    ASSERT_EQ(MakeStore(), 1);
    EXPECT_TRUE(proc::auditMode);
    EXPECT_EQ(Read().w, 1920u);
}

TEST_F(DefaultDisplayTest, AnAdapterOfferingNoMoreThanVgaGetsTheNotebooksPanel) {
    // The largest resolution comes from the graphics adapter; a generic
    // driver that does not know the panel offers VGA at most.
    struct Case {
        const char* what;
        int family;
        SIZE largest;
        SIZE expected;
        const wchar_t* report;
    };
    const Case cases[] = {
        {"VGA-only adapter", 0, {640, 480}, {1280, 800}, L"Panel Recognition: 1280x800"},
        {"smaller than VGA", 0, {320, 200}, {1280, 800}, L"Panel Recognition: 1280x800"},
        {"Ferrin-R on a VGA-only adapter", 5, {640, 480}, {1280, 1024}, L"Panel Recognition: Ferrin-R"},
        {"wider than VGA", 0, {800, 480}, {800, 480}, nullptr},
        {"family 10 netbook", 10, {1366, 768}, {1024, 600}, nullptr},
        {"family 4 netbook on a VGA-only adapter", 4, {640, 480}, {1024, 600}, L"Panel Recognition: 1280x800"},
    };
    for (const Case& c : cases) {
        ReportLog::Clear();
        DeleteSection(kSlot0);
        proc::modelFamily = c.family;
        modes_.current = {800, 600, 32, 60, 0};
        modes_.largest = c.largest;
        ASSERT_EQ(MakeStore(), 1) << c.what;
        EXPECT_EQ(Read().w, static_cast<DWORD>(c.expected.cx)) << c.what;
        EXPECT_EQ(Read().h, static_cast<DWORD>(c.expected.cy)) << c.what;
        if (c.report) {
            EXPECT_TRUE(ReportLog::Has(c.report)) << c.what;
        } else {
            EXPECT_EQ(ReportLog::Text().find("Panel Recognition"), std::string::npos) << c.what;
        }
    }
}

TEST_F(DefaultDisplayTest, CurrentModeUnreadableWritesNothing) {
    modes_.currentFails = true;
    EXPECT_EQ(MakeStore(), 1);
    EXPECT_FALSE(HasSection(kSlot0));
    EXPECT_TRUE(ReportLog::Has(L"fail: CDisplayProfile::DefineDefaultDisplay() - current display mode"));
}

class AuditModeTest : public ProfileTest {};

TEST_F(AuditModeTest, KeyThatCannotBeOpenedKeepsAndReturnsTheFlag) {
    imageState_.Set(std::nullopt);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, settings::kImageState.path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        GTEST_SKIP() << "the machine has its own image state key";
    }
    MakeStore(false);
    for (bool flag : {true, false}) {
        proc::auditMode = flag;
        EXPECT_EQ(store_->DetectAuditMode(), flag ? 1 : 0);
        EXPECT_EQ(proc::auditMode, flag);
    }
}

TEST_F(AuditModeTest, ImageStateTooLongOrNotATextCountsAsAudit) {
    MakeStore(false);
    imageState_.Set(L"IMAGE_STATE_COMPLETE" + std::wstring(200, L'X'));
    EXPECT_EQ(store_->DetectAuditMode(), 1);
    EXPECT_TRUE(ReportLog::Has(L"error: DetectAuditMode() - ImageState is not a text of at most 260 bytes"));
    // 129 characters and the terminator fill the 260 bytes exactly.
    imageState_.Set(std::wstring(129, L'Y'));
    ReportLog::Clear();
    EXPECT_EQ(store_->DetectAuditMode(), 1);
    EXPECT_FALSE(ReportLog::Has(L"error: DetectAuditMode() - ImageState is not a text of at most 260 bytes"));
    imageState_.Set(L"IMAGE_STATE_COMPLETE");
    EXPECT_EQ(store_->DetectAuditMode(), 0);
}

TEST_F(AuditModeTest, XpFamilyLooksForTheSysprepProgram) {
    MakeStore(false);
    proc::windowsVersion = 5;
    imageState_.Set(L"IMAGE_STATE_UNDEPLOYABLE");  // not consulted before Vista
    const bool folderExisted = GetFileAttributesW(L"C:\\SYSPREP") != INVALID_FILE_ATTRIBUTES;
    if (GetFileAttributesW(L"C:\\SYSPREP\\SYSPREP.EXE") != INVALID_FILE_ATTRIBUTES) GTEST_SKIP() << "sysprep present";
    EXPECT_EQ(store_->DetectAuditMode(), 0);
    CreateDirectoryW(L"C:\\SYSPREP", nullptr);
    HANDLE file = CreateFileW(L"C:\\SYSPREP\\SYSPREP.EXE", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(store_->DetectAuditMode(), 1);
    DeleteFileW(L"C:\\SYSPREP\\SYSPREP.EXE");
    if (!folderExisted) RemoveDirectoryW(L"C:\\SYSPREP");
    EXPECT_EQ(store_->DetectAuditMode(), 0);
}

}  // namespace
