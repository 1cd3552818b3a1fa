#include "common/systemerror.h"

#include <windows.h>

std::wstring SystemErrorText(unsigned long error) {
    if (error == ERROR_SUCCESS) return {};
    wchar_t buffer[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                        buffer, sizeof buffer / sizeof buffer[0], nullptr);
    std::wstring text(buffer, length < sizeof buffer / sizeof buffer[0] ? length : 0);
    // One log line per report: no line breaks inside, none at the end.
    for (wchar_t& c : text) {
        if (c == L'\r' || c == L'\n') c = L' ';
    }
    while (!text.empty() && (text.back() == L' ' || text.back() == L'\t')) text.pop_back();
    while (!text.empty() && text.front() == L' ') text.erase(text.begin());
    return text.empty() ? std::wstring() : L" (" + text + L")";
}
