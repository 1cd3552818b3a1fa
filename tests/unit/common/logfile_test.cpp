// The diagnostic log: line format, cut, rollover, folders, and the message box of vqdg.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/settingsstore.h"
#include "boxcloser.h"
#include "common/commondefine.h"
#include "debugoutput.h"
#include "vqdrive.h"

namespace {

std::tm At(int hour, int minute, int second = 0) {
    std::tm t{};
    t.tm_year = 126;
    t.tm_mon = 11;   // December
    t.tm_mday = 8;
    t.tm_wday = 2;   // Tuesday
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    return t;
}

struct TimeCase {
    int hour, minute;
    const char* clock;
    const char* half;
};

class LogTimeTest : public ::testing::TestWithParam<TimeCase> {};

TEST_P(LogTimeTest, HourIsWrittenInTwelveHourForm) {
    const TimeCase& c = GetParam();
    const logfile::TimeText text = logfile::FormatTime(At(c.hour, c.minute, 18));
    EXPECT_EQ(text.clock, c.clock);
    EXPECT_STREQ(text.half, c.half);
}

INSTANTIATE_TEST_SUITE_P(Hours, LogTimeTest,
                         ::testing::Values(TimeCase{0, 30, "Tue Dec 08 12:30:18", "AM"},
                                           TimeCase{11, 59, "Tue Dec 08 11:59:18", "AM"},
                                           TimeCase{12, 30, "Tue Dec 08 12:30:18", "PM"},
                                           TimeCase{13, 5, "Tue Dec 08 01:05:18", "PM"},
                                           TimeCase{21, 23, "Tue Dec 08 09:23:18", "PM"}));

TEST(LogText, LongTextIsCutAt259Bytes) {
    const std::wstring text(300, L'x');
    EXPECT_EQ(logfile::ToAnsiCut(text), std::string(259, 'x'));
    EXPECT_EQ(logfile::ToAnsiCut(L"fail: GetWiredLanStatus()"), "fail: GetWiredLanStatus()");
}

class LogFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = logfile::LogFilePath();
        ASSERT_FALSE(path_.empty());
        DeleteFileW(path_.c_str());
        settings::WriteInt(settings::kDebug, 0);
    }
    void TearDown() override { settings::WriteInt(settings::kDebug, 0); }

    std::string Content() const { return vqdrive::ReadFileBytes(path_); }

    void WriteFileOfSize(size_t bytes) {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::string data(bytes, 'a');
        DWORD written = 0;
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        CloseHandle(file);
    }

    std::wstring path_;
};

TEST_F(LogFileTest, FirstLineCreatesTheFoldersAndEndsWithCrLf) {
    // Remove the whole folder chain, as on a machine that never ran the program.
    const std::wstring folder = path_.substr(0, path_.rfind(L'\\'));
    RemoveDirectoryW(folder.c_str());
    RemoveDirectoryW(folder.substr(0, folder.rfind(L'\\')).c_str());
    ASSERT_EQ(GetFileAttributesW(folder.c_str()), INVALID_FILE_ATTRIBUTES);

    WriteLog(L"fail: GetWiredLanStatus()");
    const std::string content = Content();
    ASSERT_EQ(content.size(), 19u + 1 + 2 + 2 + 25 + 2) << content;
    EXPECT_EQ(content.substr(19), std::string(content[20] == 'A' ? " AM" : " PM") +
                                      ": fail: GetWiredLanStatus()\r\n");
}

TEST_F(LogFileTest, ExactlyTheLimitIsAppendedTo) {
    WriteFileOfSize(1000000);
    WriteLog(L"next");
    const std::string content = Content();
    EXPECT_GT(content.size(), 1000000u);
    EXPECT_EQ(content.substr(0, 10), std::string(10, 'a'));
}

TEST_F(LogFileTest, OneByteOverTheLimitStartsAFreshFile) {
    WriteFileOfSize(1000001);
    WriteLog(L"next");
    const std::string content = Content();
    EXPECT_LT(content.size(), 100u);
    EXPECT_NE(content.find(": next\r\n"), std::string::npos);
    EXPECT_EQ(content.find('a' + std::string(5, 'a')), std::string::npos);
}

TEST_F(LogFileTest, TextIsWrittenUnchangedWithItsOwnLineBreaks) {
    WriteLog(L"Valmora is already runned\r\nEnd Valmora runned previously");
    const std::string content = Content();
    EXPECT_NE(content.find("M: Valmora is already runned\r\r\nEnd Valmora runned previously\r\n"), std::string::npos)
        << "text mode turns each line feed into CR LF, the text's own CR stays";
}

TEST_F(LogFileTest, AFileHeldWithoutSharingDropsTheLine) {
    WriteLog(L"first");
    HANDLE held = CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    WriteLog(L"second");  // must neither block nor crash
    CloseHandle(held);
    const std::string content = Content();
    EXPECT_NE(content.find("first"), std::string::npos);
    EXPECT_EQ(content.find("second"), std::string::npos);
}

TEST_F(LogFileTest, DebugSettingShowsTheReportBeforeItIsLogged) {
    settings::WriteInt(settings::kDebug, 1);
    bool logHadLineWhileShown = true;
    MessageBoxCloser closer([&] {
        logHadLineWhileShown = vqdrive::ReadFileBytes(path_).find("shown first") != std::string::npos;
    });
    ReportError(L"error: shown first");
    EXPECT_EQ(closer.Text(), L"error: shown first");
    EXPECT_FALSE(logHadLineWhileShown);
    EXPECT_NE(Content().find(": error: shown first\r\n"), std::string::npos);
}

TEST_F(LogFileTest, WithoutTheDebugSettingOnlyTheLineIsWritten) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, (settings::ApplicationKeyPath() + L"\\Settings").c_str(), L"vqdg");
    ReportError(L"fail: quiet()");
    EXPECT_TRUE(vqdrive::FindMessageBoxes(GetCurrentProcessId()).empty());
    EXPECT_NE(Content().find(": fail: quiet()\r\n"), std::string::npos);
}

TEST_F(LogFileTest, TracesGoToTheDebuggerOutputOnly) {
    vqdrive::DebugOutputListener listener;
    ASSERT_TRUE(listener.Start()) << listener.Error();
    Trace(L"\n[Br: Stop] End Timer\n");
    const DWORD start = GetTickCount();
    while (listener.MessageCount() == 0 && GetTickCount() - start < 5000) Sleep(5);
    EXPECT_EQ(listener.Lines(GetCurrentProcessId()), std::vector<std::string>{"[Br: Stop] End Timer"});
    EXPECT_EQ(GetFileAttributesW(path_.c_str()), INVALID_FILE_ATTRIBUTES) << "no log file for a trace";
}

}  // namespace
