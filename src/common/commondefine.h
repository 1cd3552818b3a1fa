// Diagnostic log shared by every part of the program, and the error report
// that every failure goes through.
#pragma once

#include <ctime>
#include <string>

// Appends one line "Www Mmm dd hh:mm:ss AM: text" to
// <common application data>\KORVANE\Valmora\2.0\vqlg.log. Never throws.
void WriteLog(std::wstring text);

// Shows the text in a message box first when the setting vqdg is not 0,
// then writes it to the log. Never throws.
void ReportError(std::wstring text);
// The same for a failure with a system error number: the message box shows
// the text alone, the log line adds the system's description of the number.
void ReportError(std::wstring text, unsigned long systemError);

// Inside a catch handler at a boundary the program does not own (a vendor
// library, COM, the system calling back): reports the text, then what was
// caught ("caught: " and the exception's own text). Never throws.
void ReportCaught(const wchar_t* text);

// printf-style helpers for reports that carry numbers.
std::wstring FormatText(const wchar_t* format, ...);
std::wstring Widen(const char* text);

// The lighter trace channel: debugger output only, seen by a debugger or a
// debug-output viewer and never written to the log.
void Trace(std::wstring text);

namespace logfile {

constexpr unsigned long kRolloverBytes = 1000000;
constexpr size_t kMaxTextBytes = 259;

// Full path of the log file; empty when the common folder is not available.
std::wstring LogFilePath();

// The 19-character time text with the hour in 12-hour form, and "AM"/"PM".
struct TimeText {
    std::string clock;  // "Www Mmm dd hh:mm:ss"
    const char* half;   // "AM" or "PM"
};
TimeText FormatTime(const std::tm& localTime);

// The text in the ANSI code page, cut to at most 259 bytes.
std::string ToAnsiCut(const std::wstring& text);

}  // namespace logfile
