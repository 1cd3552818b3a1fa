#include "reportlog.h"

#include <windows.h>

#include "common/settingsindex.h"
#include "common/settingsstore.h"
#include "common/commondefine.h"
#include "vqdrive.h"

void ReportLog::Clear() {
    // With the debug setting on, every report would wait in a message box.
    settings::WriteInt(settings::kDebug, 0);
    DeleteFileW(logfile::LogFilePath().c_str());
}

std::string ReportLog::Text() { return vqdrive::ReadFileBytes(logfile::LogFilePath()); }

int ReportLog::Count(const std::wstring& report) {
    const std::string text = Text();
    if (report.empty()) return 0;
    // Whole reports only: "AM: " or "PM: " before, the line end after.
    // The file is written in text mode: every line feed became CR LF.
    std::string written;
    for (char c : logfile::ToAnsiCut(report)) {
        if (c == '\n') written += '\r';
        written += c;
    }
    const std::string needle = "M: " + written + "\r\n";
    int count = 0;
    for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
    return count;
}

int ReportLog::Lines() {
    const std::string text = Text();
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}
