// The display history file: what is read, what is written, and damaged files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/displayhistory.h"
#include "app/displayhistoryformat.h"
#include "programtest.h"
#include "reportlog.h"
#include "vqdrive.h"

namespace {

using Ids = std::vector<std::wstring>;

const std::wstring kPanel = L"DISPLAY\\VQP1366";
const std::wstring kMonitorA = L"DISPLAY\\VQE2201";
const std::wstring kMonitorB = L"DISPLAY\\VQE1905";

// The file's bytes for a text: UTF-16 little-endian, with or without the mark.
std::string Utf16(const std::wstring& text, bool byteOrderMark = true) {
    std::string bytes;
    if (byteOrderMark) bytes += "\xFF\xFE";
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

class DisplayHistoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ReportLog::Clear();
        path_ = TempPath(L"dispHistory_test.dat");
        vqdrive::DeleteFileIfPresent(path_);
    }
    void TearDown() override {
        RemoveDirectoryW(path_.c_str());
        vqdrive::DeleteFileIfPresent(path_);
    }

    void WriteFile(const std::string& bytes) {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string FileBytes() const { return vqdrive::ReadFileBytes(path_); }
    bool FileExists() const { return GetFileAttributesW(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

    // Asks the history about `monitors`; the result, and is-new in `isNew`.
    int Ask(const Ids& monitors, int* isNew) {
        *isNew = -1;
        return history_.IsNewDisplay(monitors, isNew);
    }

    std::wstring path_;
    CDisplayHistory history_{TempPath(L"dispHistory_test.dat")};
};

TEST_F(DisplayHistoryTest, MissingOrEmptyFileCountsAsNewAndWritesNothing) {
    int isNew = 0;
    EXPECT_EQ(Ask({kMonitorA}, &isNew), 0);
    EXPECT_EQ(isNew, 1);
    EXPECT_FALSE(FileExists());

    WriteFile("");
    EXPECT_EQ(Ask({kMonitorA}, &isNew), 0);
    EXPECT_EQ(isNew, 1);
    EXPECT_EQ(FileBytes(), "");
}

TEST_F(DisplayHistoryTest, ByteOrderMarkOnlyStartsAnEmptyHistoryThatIsWritten) {
    WriteFile("\xFF\xFE");
    int isNew = 0;
    EXPECT_EQ(Ask({kPanel, kMonitorA}, &isNew), 1);
    EXPECT_EQ(isNew, 1);
    EXPECT_EQ(FileBytes(), Utf16(L"2 _\r\nDISPLAY\\VQP1366 _\r\nDISPLAY\\VQE2201 _\r\n"));
    EXPECT_EQ(ReportLog::Lines(), 0);
}

TEST_F(DisplayHistoryTest, KnownMonitorLeavesTheFileByteForByte) {
    const std::string file = Utf16(L"1 _\r\nDISPLAY\\VQE2201 _\r\n");
    WriteFile(file);
    int isNew = -1;
    EXPECT_EQ(Ask({kMonitorA}, &isNew), 1);
    EXPECT_EQ(isNew, 0);
    EXPECT_EQ(FileBytes(), file);
    // Asked again from memory: still known, still untouched.
    EXPECT_EQ(Ask({kMonitorA}, &isNew), 1);
    EXPECT_EQ(isNew, 0);
    EXPECT_EQ(FileBytes(), file);
}

TEST_F(DisplayHistoryTest, AnotherMonitorIsWrittenFirstWithTheNewCount) {
    WriteFile(Utf16(L"1 _\r\nDISPLAY\\VQE2201 _\r\n"));
    int isNew = 0;
    EXPECT_EQ(Ask({kMonitorB}, &isNew), 1);
    EXPECT_EQ(isNew, 1);
    EXPECT_EQ(FileBytes(), Utf16(L"2 _\r\nDISPLAY\\VQE1905 _\r\nDISPLAY\\VQE2201 _\r\n"));
    // The panel with the known one: only the panel is added, before the others.
    EXPECT_EQ(Ask({kPanel, kMonitorA}, &isNew), 1);
    EXPECT_EQ(isNew, 1);
    EXPECT_EQ(FileBytes(), Utf16(L"3 _\r\nDISPLAY\\VQP1366 _\r\nDISPLAY\\VQE1905 _\r\nDISPLAY\\VQE2201 _\r\n"));
}

struct DamagedCase {
    const char* name;
    std::string bytes;
    Ids readable;  // what the rewritten file keeps
};

class DamagedHistoryTest : public DisplayHistoryTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedHistoryTest, IsReportedAndRewrittenFromWhatCouldBeRead) {
    const DamagedCase& c = GetParam();
    WriteFile(c.bytes);
    int isNew = -1;
    // A monitor of the readable part stays known; an unreadable one counts as new.
    const Ids asked = c.readable.empty() ? Ids{kMonitorA} : Ids{c.readable.front()};
    EXPECT_EQ(Ask(asked, &isNew), 1);
    EXPECT_EQ(isNew, c.readable.empty() ? 1 : 0);
    EXPECT_EQ(ReportLog::Count(L"error: IsNewDisplay() - dispHistory.dat is damaged; rewritten with the " +
                               std::to_wstring(c.readable.size()) + L" identifiers that could be read"),
              1)
        << ReportLog::Text();
    Ids expected = c.readable;
    if (c.readable.empty()) expected = {kMonitorA};
    EXPECT_EQ(history_.Entries(), expected);
    EXPECT_EQ(FileBytes(), displayhistoryformat::Serialize(expected));
}

const std::wstring kLongLine(10 * 1024, L'M');

INSTANTIATE_TEST_SUITE_P(
    Files, DamagedHistoryTest,
    ::testing::Values(
        DamagedCase{"NoSeparator", Utf16(L"2 _\r\nDISPLAY\\VQE2201 _\r\nDISPLAY\\VQE1905\r\n"), {L"DISPLAY\\VQE2201"}},
        DamagedCase{"CountLargerThanLines", Utf16(L"40000 _\r\nDISPLAY\\VQE2201 _\r\n"), {L"DISPLAY\\VQE2201"}},
        DamagedCase{"TenKilobyteLine", Utf16(L"1 _\r\n" + kLongLine + L" _\r\n"),
                    {std::wstring(displayhistoryformat::kMaxIdentifierChars, L'M')}},
        DamagedCase{"CountNotANumber", Utf16(L"two _\r\nDISPLAY\\VQE2201 _\r\n"), {}},
        DamagedCase{"NegativeCount", Utf16(L"-3 _\r\nDISPLAY\\VQE2201 _\r\n"), {}},
        DamagedCase{"NoByteOrderMark", Utf16(L"1 _\r\nDISPLAY\\VQE2201 _\r\n", false), {L"DISPLAY\\VQE2201"}},
        DamagedCase{"OddLengthAndNoLineEnd", Utf16(L"1 _\r\nDISPLAY\\VQE2201 _") + "\x41", {L"DISPLAY\\VQE2201"}},
        DamagedCase{"BinaryNoise", std::string("\xFF\xFE\x00\xD8\x00\xDC\x0D\x00\x0A\x00\x20\x00", 12), {}}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return std::string(info.param.name); });

// A long history that is sound is read whole, left as it is while nothing
// is new, and rewritten whole when a monitor is new.
TEST_F(DisplayHistoryTest, ALongSoundHistoryIsReadAndRewrittenWhole) {
    Ids entries;
    for (int i = 0; i < 40000; ++i) entries.push_back(L"DISPLAY\\VQE" + std::to_wstring(100000 + i));
    const std::string original = displayhistoryformat::Serialize(entries);
    ASSERT_GT(original.size(), 1024u * 1024u);
    WriteFile(original);
    int isNew = -1;
    EXPECT_EQ(Ask({entries.back()}, &isNew), 1);
    EXPECT_EQ(isNew, 0);
    EXPECT_EQ(history_.Entries().size(), entries.size());
    EXPECT_EQ(FileBytes(), original);
    EXPECT_EQ(ReportLog::Text(), "");

    EXPECT_EQ(Ask({kPanel}, &isNew), 1);
    EXPECT_EQ(isNew, 1);
    entries.insert(entries.begin(), kPanel);
    EXPECT_EQ(FileBytes(), displayhistoryformat::Serialize(entries));
}

// Beyond the bound the file is read up to it and never rewritten: what lies
// beyond is not lost, and the new monitors are kept in memory.
TEST_F(DisplayHistoryTest, FileLargerThanTheBoundIsReadUpToItAndLeftAsItIs) {
    std::wstring text = L"1000000 _\r\n";
    while (text.size() * 2 < CDisplayHistory::kMaxFileBytes + 4096) text += L"DISPLAY\\VQE2201 _\r\n";
    const std::string original = Utf16(text);
    WriteFile(original);
    int isNew = -1;
    EXPECT_EQ(Ask({kMonitorA}, &isNew), 1);
    EXPECT_EQ(isNew, 0);
    EXPECT_LT(history_.Entries().size(), CDisplayHistory::kMaxFileBytes / 2);
    EXPECT_EQ(ReportLog::Lines(), 1) << ReportLog::Text().substr(0, 400);
    EXPECT_NE(ReportLog::Text().find("dispHistory.dat is longer than 16777216 bytes;"), std::string::npos);
    EXPECT_EQ(Ask({kMonitorB}, &isNew), 1);
    EXPECT_EQ(isNew, 1);
    EXPECT_EQ(Ask({kMonitorB}, &isNew), 1);
    EXPECT_EQ(isNew, 0) << "kept in memory";
    EXPECT_TRUE(FileBytes() == original) << "the file was changed";
}

// An identifier holding a NUL character is written back whole.
TEST_F(DisplayHistoryTest, AnIdentifierWithANulIsRewrittenWhole) {
    const std::wstring odd(L"DISPLAY\\VQ\0E2201", 16);
    WriteFile(Utf16(L"1 _\r\n" + odd + L" _\r\n"));
    int isNew = -1;
    EXPECT_EQ(Ask({kMonitorB}, &isNew), 1);
    EXPECT_EQ(isNew, 1);
    EXPECT_EQ(FileBytes(), Utf16(L"2 _\r\n" + kMonitorB + L" _\r\n" + odd + L" _\r\n"));
    EXPECT_EQ(ReportLog::Text(), "");
}

// A damaged file that cannot be rewritten says so, and not that it was rewritten.
TEST_F(DisplayHistoryTest, ADamagedFileThatCannotBeRewrittenIsReportedSo) {
    const std::string damaged = Utf16(L"2 _\r\nDISPLAY\\VQE2201 _\r\n");
    WriteFile(damaged);
    // Another reader that shares no writing holds the file open.
    HANDLE reader = CreateFileW(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    int isNew = -1;
    EXPECT_EQ(Ask({kMonitorA}, &isNew), 1);
    CloseHandle(reader);
    EXPECT_EQ(isNew, 0);
    const std::string log = ReportLog::Text();
    EXPECT_EQ(log.find("rewritten with"), std::string::npos) << log;
    EXPECT_NE(log.find("error: IsNewDisplay() - dispHistory.dat is damaged; 1 identifiers could be read, the file is "
                       "not rewritten"),
              std::string::npos)
        << log;
    EXPECT_EQ(FileBytes(), damaged);
}

TEST_F(DisplayHistoryTest, FileThatCannotBeWrittenIsReportedAndTheHistoryGoesOn) {
    WriteFile(Utf16(L"1 _\r\nDISPLAY\\VQE2201 _\r\n"));
    int isNew = -1;
    ASSERT_EQ(Ask({kMonitorA}, &isNew), 1);
    // Not writable now, as a program folder under Program Files is for the
    // user: a folder takes the file's name.
    vqdrive::DeleteFileIfPresent(path_);
    ASSERT_TRUE(CreateDirectoryW(path_.c_str(), nullptr));
    EXPECT_EQ(Ask({kMonitorB}, &isNew), 1);
    EXPECT_EQ(isNew, 1);
    EXPECT_TRUE(ReportLog::Text().find("fail: IsNewDisplay() - cannot write dispHistory.dat") != std::string::npos)
        << ReportLog::Text();
    // Kept in memory: the same monitor is not new a second time.
    EXPECT_EQ(Ask({kMonitorB}, &isNew), 1);
    EXPECT_EQ(isNew, 0);
    RemoveDirectoryW(path_.c_str());
}

}  // namespace
