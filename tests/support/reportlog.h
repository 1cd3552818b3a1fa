// The program's log file as a test sees it: emptied before a case, then
// searched for the reports the case expects.
#pragma once

#include <string>

class ReportLog {
public:
    // Deletes the log file, so that only this case's reports are in it, and
    // turns the debug setting off, so that reports go to the file only.
    static void Clear();
    // The whole file as written (ANSI code page).
    static std::string Text();
    // How many times exactly this report was written (whole reports, compared
    // as written to the file).
    static int Count(const std::wstring& report);
    static bool Has(const std::wstring& report) { return Count(report) > 0; }
    // Number of log lines: one per report (a report that holds line breaks counts once per line).
    static int Lines();
};
