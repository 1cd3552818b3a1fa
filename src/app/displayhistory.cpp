#include "app/displayhistory.h"

#include <windows.h>

#include <algorithm>
#include <cwchar>

#include "common/commondefine.h"
#include "common/scopedhandle.h"
#include "common/utf16text.h"

namespace {

constexpr wchar_t kLineEnd[] = L" _";  // before CR LF on every line
constexpr size_t kLineEndChars = 2;

bool EndsWithSeparator(const std::wstring& line) {
    return line.size() >= kLineEndChars && line.compare(line.size() - kLineEndChars, kLineEndChars, kLineEnd) == 0;
}

// The lines of the text, split at CR LF; a last line without CR LF counts too.
std::vector<std::wstring> SplitLines(const std::wstring& text) {
    std::vector<std::wstring> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool IsInHistory(const std::vector<std::wstring>& history, const std::wstring& monitor) {
    return std::find(history.begin(), history.end(), monitor) != history.end();
}

}  // namespace

std::string CDisplayHistory::Serialize(const std::vector<std::wstring>& entries) {
    std::wstring text = FormatText(L"%d _\r\n", static_cast<int>(entries.size()));
    for (const std::wstring& entry : entries) {
        text += entry;  // as it was read: a NUL inside must not shorten it
        text += L" _\r\n";
    }
    return utf16::EncodeLittleEndian(text);
}

bool CDisplayHistory::Parse(const std::string& bytes, std::vector<std::wstring>* entries) {
    entries->clear();
    std::wstring text;
    bool intact = utf16::DecodeLittleEndian(bytes, &text) == utf16::DecodeResult::Decoded;
    const std::vector<std::wstring> lines = SplitLines(text);
    if (lines.empty() || !EndsWithSeparator(lines[0])) return false;

    // The count is only a promise: never more entries than there are lines.
    const std::wstring countText = lines[0].substr(0, lines[0].size() - kLineEndChars);
    wchar_t* end = nullptr;
    const long count = std::wcstol(countText.c_str(), &end, 10);
    if (countText.empty() || *end != L'\0' || count < 0) return false;
    for (size_t i = 1; i < lines.size() && entries->size() < static_cast<size_t>(count); ++i) {
        if (!EndsWithSeparator(lines[i])) return false;
        std::wstring identifier = lines[i].substr(0, lines[i].size() - kLineEndChars);
        if (identifier.size() > kMaxIdentifierChars) {
            identifier.resize(kMaxIdentifierChars);
            intact = false;
        }
        entries->push_back(std::move(identifier));
    }
    return intact && entries->size() == static_cast<size_t>(count);
}

CDisplayHistory::LoadResult CDisplayHistory::Load() {
    ScopedHandle file(CreateFileW(m_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return LoadResult::Unreadable;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart == 0) return LoadResult::Unreadable;
    m_entries.clear();
    m_bLoaded = true;
    if (size.QuadPart < 6) return LoadResult::Loaded;  // a byte-order mark at most: an empty history

    const DWORD wanted = static_cast<DWORD>(std::min<LONGLONG>(size.QuadPart, kMaxFileBytes));
    std::string bytes(wanted, '\0');
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data(), wanted, &read, nullptr)) {
        ReportError(L"fail: IsNewDisplay() - cannot read dispHistory.dat", GetLastError());
        return LoadResult::Loaded;
    }
    bytes.resize(read);
    file.reset();
    const bool intact = Parse(bytes, &m_entries);
    const int kept = static_cast<int>(m_entries.size());
    if (size.QuadPart > static_cast<LONGLONG>(kMaxFileBytes)) {
        m_bReadInPart = true;
        ReportError(FormatText(L"error: IsNewDisplay() - dispHistory.dat is longer than %d bytes; %d identifiers "
                               L"are read and the file is left as it is",
                               static_cast<int>(kMaxFileBytes), kept));
    } else if (!intact) {
        if (Write(m_entries)) {
            ReportError(FormatText(L"error: IsNewDisplay() - dispHistory.dat is damaged; rewritten with the %d "
                                   L"identifiers that could be read",
                                   kept));
        } else {
            ReportError(FormatText(L"error: IsNewDisplay() - dispHistory.dat is damaged; %d identifiers could be "
                                   L"read, the file is not rewritten",
                                   kept));
        }
    }
    return LoadResult::Loaded;
}

bool CDisplayHistory::Write(const std::vector<std::wstring>& entries) {
    const std::string bytes = Serialize(entries);
    ScopedHandle file(CreateFileW(m_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                  nullptr));
    DWORD written = 0;
    if (!file.valid() || !WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size()) {
        // Under a protected program folder the history stays in memory only.
        ReportError(L"fail: IsNewDisplay() - cannot write dispHistory.dat", GetLastError());
        return false;
    }
    return true;
}

int CDisplayHistory::IsNewDisplay(const std::vector<std::wstring>& monitors, int* isNew) {
    *isNew = 1;
    if (!m_bLoaded && Load() == LoadResult::Unreadable) return 0;
    std::vector<std::wstring> fresh;
    for (const std::wstring& monitor : monitors) {
        if (!IsInHistory(m_entries, monitor) && !IsInHistory(fresh, monitor)) fresh.push_back(monitor);
    }
    if (fresh.empty()) {
        *isNew = 0;
        Trace(L"Connected Display Device....\n");
        return 1;
    }
    Trace(L"New Display Device....\n");
    fresh.insert(fresh.end(), m_entries.begin(), m_entries.end());
    m_entries = std::move(fresh);
    if (m_bReadInPart) {
        ReportError(L"error: IsNewDisplay() - dispHistory.dat is too long to be rewritten; the new monitors are "
                    L"kept in memory only");
    } else {
        Write(m_entries);
    }
    return 1;
}
