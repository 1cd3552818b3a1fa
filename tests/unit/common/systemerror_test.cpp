// The system's text of an error number, and the reports that carry it in the
// log while their own text stays as it is.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "boxcloser.h"
#include "common/commondefine.h"
#include "common/systemerror.h"
#include "reportlog.h"

namespace {

TEST(SystemErrorText, KnownNumbersGiveOneLineInParentheses) {
    const unsigned long errors[] = {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_NOT_READY, ERROR_MOD_NOT_FOUND,
                                    static_cast<unsigned long>(E_OUTOFMEMORY)};
    for (unsigned long error : errors) {
        SCOPED_TRACE(error);
        const std::wstring text = SystemErrorText(error);
        ASSERT_GT(text.size(), 4u);
        EXPECT_EQ(text.substr(0, 2), L" (");
        EXPECT_EQ(text.back(), L')');
        EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos);
        EXPECT_NE(text[text.size() - 2], L' ') << "trailing blanks are trimmed";
        EXPECT_NE(text[2], L' ');
    }
    EXPECT_NE(SystemErrorText(ERROR_FILE_NOT_FOUND), SystemErrorText(ERROR_ACCESS_DENIED));
}

TEST(SystemErrorText, NoErrorAndNumbersWithoutATextGiveNothing) {
    EXPECT_EQ(SystemErrorText(ERROR_SUCCESS), L"") << "\"completed successfully\" would contradict the report";
    EXPECT_EQ(SystemErrorText(0x2000ABCDul), L"");  // a customer-defined number
    EXPECT_EQ(SystemErrorText(0xFFFFFFFFul), L"");
}

class SystemErrorReportTest : public ::testing::Test {
protected:
    void SetUp() override { ReportLog::Clear(); }
    void TearDown() override { settings::WriteInt(settings::kDebug, 0); }
};

TEST_F(SystemErrorReportTest, TheLogLineAddsTheSystemTextAfterTheReport) {
    ReportError(L"Can't register device notification", ERROR_ACCESS_DENIED);
    EXPECT_EQ(ReportLog::Count(L"Can't register device notification" + SystemErrorText(ERROR_ACCESS_DENIED)), 1)
        << ReportLog::Text();
    ReportError(L"fail: GetBatteryCapacityStatus(), GetLastError()=0", ERROR_SUCCESS);
    EXPECT_EQ(ReportLog::Count(L"fail: GetBatteryCapacityStatus(), GetLastError()=0"), 1) << "nothing added";
    EXPECT_EQ(ReportLog::Lines(), 2);
}

TEST_F(SystemErrorReportTest, TheBoxShowsTheReportAlone) {
    settings::WriteInt(settings::kDebug, 1);
    MessageBoxCloser closer;
    ReportError(L"ERROR : Cannot access to Registry", ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(closer.Text(), L"ERROR : Cannot access to Registry");
    EXPECT_EQ(ReportLog::Count(L"ERROR : Cannot access to Registry" + SystemErrorText(ERROR_FILE_NOT_FOUND)), 1);
}

TEST_F(SystemErrorReportTest, ALongReportKeepsItsOwnTextWhenTheLineIsCut) {
    const std::wstring report(logfile::kMaxTextBytes - 3, L'r');
    ReportError(report, ERROR_FILE_NOT_FOUND);
    const std::string expected = logfile::ToAnsiCut(report + SystemErrorText(ERROR_FILE_NOT_FOUND));
    ASSERT_EQ(expected.size(), logfile::kMaxTextBytes);
    EXPECT_EQ(expected.substr(0, report.size()), std::string(report.size(), 'r'));
    EXPECT_NE(ReportLog::Text().find("M: " + expected + "\r\n"), std::string::npos) << ReportLog::Text();
}

}  // namespace
