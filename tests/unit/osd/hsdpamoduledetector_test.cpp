// The 3G module detector: its fragment list as read from the data file, and
// the search among the present USB devices it is handed.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "osd/hsdpamoduledetector.h"
#include "programtest.h"
#include "reportlog.h"
#include "vqdrive.h"

namespace {

using Ids = std::vector<std::wstring>;

const std::wstring kSpecialModem = L"USB\\VID_1E0E&PID_6772\\5&2A1B3C4D&0&3";
const std::wstring kOtherModem = L"USB\\VID_12D1&PID_1404\\6&11AA22BB&0&2";
const std::wstring kMouse = L"USB\\VID_046D&PID_C52B\\7&3C9D&0&1";

class FakeDevices : public osd::IDeviceQuery {
public:
    bool initialized = true;
    bool connected = true;
    HRESULT answer = S_OK;
    Ids devices;
    std::vector<std::wstring> queries;

    bool Initialized() const override { return initialized; }
    bool Connected() const override { return connected; }
    HRESULT QueryDeviceIds(const wchar_t* query, std::vector<std::wstring>* deviceIds) override {
        queries.emplace_back(query);
        if (SUCCEEDED(answer)) *deviceIds = devices;
        return answer;
    }
};

class HsdpaModuleDetectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        vqdrive::DeleteFileIfPresent(path_);
    }
    void TearDown() override { vqdrive::DeleteFileIfPresent(path_); }

    void WriteList(const std::string& text) {
        FILE* file = _wfopen(path_.c_str(), L"wb");
        ASSERT_NE(file, nullptr);
        fwrite(text.data(), 1, text.size(), file);
        fclose(file);
    }
    // Reads `list` and searches `present`; the result, found in `found_`.
    int Search(const std::string& list, const Ids& present) {
        WriteList(list);
        devices_.devices = present;
        detector_.Init(&devices_);
        found_ = -1;
        return detector_.Detect(&found_);
    }

    const std::wstring path_ = TempPath(L"hsdpaModules_test.dat");
    FakeDevices devices_;
    CHsdpaModuleDetector detector_{path_};
    int found_ = -1;
};

TEST_F(HsdpaModuleDetectorTest, ReadsTheFragmentsOfTheListInFileOrder) {
    WriteList("3\nVID_1E0E&PID_6772   VID_12D1&PID_1404\r\n\tPID_9001\n");
    detector_.Init(&devices_);
    EXPECT_EQ(detector_.Fragments(), (Ids{L"VID_1E0E&PID_6772", L"VID_12D1&PID_1404", L"PID_9001"}));
    EXPECT_EQ(ReportLog::Text(), "");
}

// The list is only read: a file the program may not write (a protected
// program folder; here one held open by a reader that shares no writing) is read.
TEST_F(HsdpaModuleDetectorTest, AListThatMayNotBeWrittenIsRead) {
    WriteList("1\nVID_1E0E&PID_6772\n");
    HANDLE reader = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    detector_.Init(&devices_);
    CloseHandle(reader);
    EXPECT_EQ(detector_.Fragments(), (Ids{L"VID_1E0E&PID_6772"}));
}

TEST_F(HsdpaModuleDetectorTest, AMissingListOrStoreLooksForNothingWithoutAReport) {
    detector_.Init(&devices_);  // no file
    EXPECT_EQ(detector_.Count(), 0);
    EXPECT_EQ(detector_.Detect(&found_), 0);
    EXPECT_EQ(found_, 0);

    WriteList("1\nVID_1E0E\n");
    CHsdpaModuleDetector withoutStore{path_};
    withoutStore.Init(nullptr);
    EXPECT_EQ(withoutStore.Count(), 0);
    EXPECT_EQ(withoutStore.Detect(&found_), 0);
    EXPECT_TRUE(devices_.queries.empty());
    EXPECT_EQ(ReportLog::Text(), "");
}

// Damaged lists: what is kept of them, and the report each gives.
TEST_F(HsdpaModuleDetectorTest, ADamagedListIsReportedAndKeepsOnlyWhatIsSound) {
    const std::string longRun(200, 'A');
    const std::string longest(CHsdpaModuleDetector::kMaxFragmentChars, 'B');
    struct Case {
        std::string list;
        Ids kept;
        std::wstring report;  // empty: none
    } cases[] = {
        {"", {}, L"error: Init() - hsdpaModules.dat has no count of modules; no module is looked for"},
        {"modules\nVID_1E0E\n", {}, L"error: Init() - hsdpaModules.dat has no count of modules; no module is looked for"},
        {"-2\nVID_1E0E\n", {}, L"error: Init() - hsdpaModules.dat gives -2 modules; no module is looked for"},
        {"3\nVID_1E0E PID_1404\n", {L"VID_1E0E", L"PID_1404"},
         L"error: Init() - hsdpaModules.dat ends after 2 of 3 modules"},
        {"2147483647\nVID_1E0E\n", {L"VID_1E0E"},
         L"error: Init() - hsdpaModules.dat gives 2147483647 modules; only the first 4096 are read"},
        {"3\n" + longRun + " VID_1E0E\n" + longest + "\n", {L"VID_1E0E", std::wstring(longest.begin(), longest.end())},
         L"error: Init() - module 1 in hsdpaModules.dat is longer than 127 characters; it is left out"},
        {"0\nVID_1E0E\n", {}, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list.substr(0, 40));
        ReportLog::Clear();
        WriteList(c.list);
        detector_.Init(&devices_);
        EXPECT_EQ(detector_.Fragments(), c.kept);
        if (c.report.empty()) {
            EXPECT_EQ(ReportLog::Text(), "");
        } else {
            EXPECT_EQ(ReportLog::Count(c.report), 1) << ReportLog::Text();
        }
    }
}

// A NUL byte inside a fragment, or the whole list as UTF-16 text without a
// byte-order mark, would cut fragments short or to nothing; an empty
// fragment is part of every identifier, so a mouse would pass for a modem.
TEST_F(HsdpaModuleDetectorTest, AFragmentCutByANulIsLeftOutAndReported) {
    using namespace std::string_literals;
    std::string utf16;
    for (const char c : std::string("2\r\nVID_1E0E\r\nPID_1404\r\n")) utf16 += std::string{c, '\0'};
    struct Case {
        const char* what;
        std::string list;
        Ids kept;
    } cases[] = {
        {"a NUL inside the first", "2\nVID_\0x1E0E PID_1404\n"s, {L"PID_1404"}},
        {"a NUL alone", "1\n\0\n"s, {}},
        {"UTF-16 without a mark", utf16, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReportLog::Clear();
        devices_.queries.clear();
        EXPECT_EQ(Search(c.list, {kMouse}), c.kept.empty() ? 0 : 1);
        EXPECT_EQ(found_, 0) << "a mouse is no modem";
        EXPECT_EQ(detector_.Fragments(), c.kept);
        EXPECT_NE(ReportLog::Text().find("in hsdpaModules.dat holds a NUL character"), std::string::npos)
            << ReportLog::Text();
    }
    // The sound fragment still finds its modem.
    EXPECT_EQ(Search("2\nVID_\0x1E0E PID_1404\n"s, {kMouse, kOtherModem}), 1);
    EXPECT_EQ(found_, 1);
}

TEST_F(HsdpaModuleDetectorTest, AnEmptyListAsksNoQuery) {
    EXPECT_EQ(Search("0\n", {kSpecialModem}), 0);
    EXPECT_EQ(found_, 0);
    EXPECT_TRUE(devices_.queries.empty());
}

TEST_F(HsdpaModuleDetectorTest, AsksForTheUsbDevicesOnce) {
    EXPECT_EQ(Search("1\nVID_1E0E\n", {}), 1);
    EXPECT_EQ(found_, 0);
    EXPECT_EQ(devices_.queries,
              (Ids{L"SELECT * FROM Win32_PNPEntity WHERE ClassGuid = '{36fc9e60-c465-11cf-8056-444553540000}'"}));
}

// Which device decides, and whether the module found is the special one.
TEST_F(HsdpaModuleDetectorTest, TheFirstPresentDeviceWithAListedFragmentDecides) {
    const std::string list = "3\nVID_1E0E&PID_6772\nVID_12D1&PID_1404\nVID_19D2&PID_1001\n";
    struct Case {
        const char* name;
        std::string list;
        Ids present;
        int found, special;
    } cases[] = {
        {"special modem", list, {kMouse, kSpecialModem}, 1, 1},
        {"other modem", list, {kOtherModem}, 1, 0},
        {"second special product number", list, {L"USB\\VID_19D2&PID_1001\\1"}, 1, 1},
        {"first device returned decides", list, {kOtherModem, kSpecialModem}, 1, 0},
        {"first device returned decides, special first", list, {kSpecialModem, kOtherModem}, 1, 1},
        {"no listed device", list, {kMouse}, 0, 0},
        {"chipset controller never counts", "1\nPID_3A34\n", {L"PCI\\VEN_8086&DEV_3A34\\3&21436425&0&E8"}, 0, 0},
        {"chipset controller skipped, the next decides", "1\nPID_6772\n",
         {L"USB\\VEN_8086&PID_6772\\1", kSpecialModem}, 1, 1},
        {"root hub never counts", "1\nUSB\n", {L"USB\\ROOT_HUB20\\4&1A2B&0"}, 0, 0},
        {"fragments are case-sensitive", "1\nvid_1e0e&pid_6772\n", {kSpecialModem}, 0, 0},
        {"a fragment is a substring anywhere", "1\n6772\\5&2A\n", {kSpecialModem}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CHsdpaModuleDetector detector{path_};
        WriteList(c.list);
        devices_.devices = c.present;
        detector.Init(&devices_);
        int found = -1;
        EXPECT_EQ(detector.Detect(&found), 1);
        EXPECT_EQ(found, c.found);
        EXPECT_EQ(detector.SpecialModule(), c.special);
    }
}

// Without a usable connection the search does not run and nothing is found.
TEST_F(HsdpaModuleDetectorTest, NoSearchWithoutAWorkingConnection) {
    struct Case {
        const char* name;
        bool initialized, connected;
        HRESULT answer;
        bool reported;
    } cases[] = {
        {"store not initialised", false, true, S_OK, true},
        {"no services connection", true, false, S_OK, false},
        {"query refused", true, true, static_cast<HRESULT>(0x80041001), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ReportLog::Clear();
        devices_.initialized = c.initialized;
        devices_.connected = c.connected;
        devices_.answer = c.answer;
        EXPECT_EQ(Search("1\nVID_1E0E\n", {kSpecialModem}), 0);
        EXPECT_EQ(found_, 0);
        EXPECT_EQ(detector_.SpecialModule(), 0);
        EXPECT_EQ(ReportLog::Has(L"CDisplayProfile is not initialized... "), c.reported) << ReportLog::Text();
    }
}

}  // namespace
