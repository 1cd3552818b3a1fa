#include "common/commondefine.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdarg>
#include <cstdio>
#include <cwchar>
#include <exception>

#include "common/modalloop.h"
#include "common/settingsstore.h"
#include "common/settingsindex.h"
#include "common/systemerror.h"

namespace logfile {

namespace {
const wchar_t kLogRelativePath[] = L"\\KORVANE\\Valmora\\2.0\\vqlg.log";

std::wstring CommonAppDataFolder() {
    wchar_t folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, folder))) return {};
    return folder;
}

void CreateLogFolders(const std::wstring& base) {
    std::wstring path = base;
    for (const wchar_t* part : {L"\\KORVANE", L"\\Valmora", L"\\2.0"}) {
        path += part;
        CreateDirectoryW(path.c_str(), nullptr);  // an existing folder is fine
    }
}

HANDLE OpenExclusive(const std::wstring& path) {
    return CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Makes sure the file exists and starts afresh once it is past the limit.
void PrepareLogFile(const std::wstring& base, const std::wstring& path) {
    HANDLE file = OpenExclusive(path);
    if (file == INVALID_HANDLE_VALUE) {
        CreateLogFolders(base);
        file = OpenExclusive(path);
    }
    if (file == INVALID_HANDLE_VALUE) return;
    LARGE_INTEGER size{};
    const BOOL haveSize = GetFileSizeEx(file, &size);
    CloseHandle(file);
    if (haveSize && size.QuadPart > static_cast<LONGLONG>(kRolloverBytes)) DeleteFileW(path.c_str());
}
}  // namespace

std::wstring LogFilePath() {
    const std::wstring base = CommonAppDataFolder();
    if (base.empty()) return {};
    return base + kLogRelativePath;
}

TimeText FormatTime(const std::tm& localTime) {
    std::tm t = localTime;
    const bool afternoon = t.tm_hour >= 12;
    if (t.tm_hour > 12) t.tm_hour -= 12;
    if (t.tm_hour == 0) t.tm_hour = 12;
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    char clock[32];
    std::snprintf(clock, sizeof clock, "%s %s %02d %02d:%02d:%02d",
                  kDays[(t.tm_wday % 7 + 7) % 7], kMonths[(t.tm_mon % 12 + 12) % 12],
                  t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    return {std::string(clock, 19), afternoon ? "PM" : "AM"};
}

std::string ToAnsiCut(const std::wstring& text) {
    if (text.empty()) return {};
    const int needed = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string ansi(static_cast<size_t>(needed), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), ansi.data(), needed,
                        nullptr, nullptr);
    if (ansi.size() > kMaxTextBytes) ansi.resize(kMaxTextBytes);
    // The text ends at its first zero byte, as a C string would.
    const size_t zero = ansi.find('\0');
    if (zero != std::string::npos) ansi.resize(zero);
    return ansi;
}

}  // namespace logfile

void WriteLog(std::wstring text) {
    try {
        using namespace logfile;
        const std::wstring base = CommonAppDataFolder();
        if (base.empty()) return;
        const std::wstring path = base + kLogRelativePath;
        PrepareLogFile(base, path);

        FILE* file = _wfopen(path.c_str(), L"a");
        if (!file) return;
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        if (const std::tm* t = std::localtime(&now)) local = *t;
        const TimeText when = FormatTime(local);
        const std::string message = ToAnsiCut(text);
        std::fprintf(file, "%.19s %s: %s\n", when.clock.c_str(), when.half, message.c_str());
        std::fclose(file);

        char line[400];
        std::snprintf(line, sizeof line, "%s(%d): %.19s %s: %s\n", __FILE__, __LINE__,
                      when.clock.c_str(), when.half, message.c_str());
        OutputDebugStringA(line);
    } catch (...) {
        // The log never reports its own failures.
    }
}

namespace {
void ShowWhenDebugging(const std::wstring& text) {
    try {
        if (settings::ReadInt(settings::kDebug) != 0) {
            modal::ShowMessageBox(text);
        }
    } catch (...) {
    }
}
}  // namespace

void ReportError(std::wstring text) {
    ShowWhenDebugging(text);
    WriteLog(std::move(text));
}

void ReportError(std::wstring text, unsigned long systemError) {
    ShowWhenDebugging(text);
    try {
        text += SystemErrorText(systemError);
    } catch (...) {
    }
    WriteLog(std::move(text));
}

void ReportCaught(const wchar_t* text) {
    char caught[128] = "an unknown exception";
    try {
        throw;
    } catch (const std::exception& e) {
        std::snprintf(caught, sizeof caught, "%s", e.what());
    } catch (...) {
    }
    ReportError(text);
    wchar_t detail[160];
    std::swprintf(detail, sizeof detail / sizeof detail[0], L"caught: %hs", caught);
    ReportError(detail);
}

std::wstring FormatText(const wchar_t* format, ...) {
    wchar_t buffer[1024];
    va_list args;
    va_start(args, format);
    const int n = _vsnwprintf(buffer, sizeof buffer / sizeof buffer[0] - 1, format, args);
    va_end(args);
    buffer[sizeof buffer / sizeof buffer[0] - 1] = 0;
    return n < 0 ? std::wstring(buffer) : std::wstring(buffer, static_cast<size_t>(n));
}

std::wstring Widen(const char* text) {
    std::wstring wide;
    for (const char* p = text; p && *p; ++p) wide.push_back(static_cast<unsigned char>(*p));
    return wide;
}

void Trace(std::wstring text) { OutputDebugStringW(text.c_str()); }
