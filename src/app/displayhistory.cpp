#include "app/displayhistory.h"

#include <windows.h>

#include <algorithm>

#include "common/commondefine.h"
#include "common/scopedhandle.h"
#include "app/displayhistoryformat.h"

namespace {

bool IsInHistory(const std::vector<std::wstring>& history, const std::wstring& monitor) {
    return std::find(history.begin(), history.end(), monitor) != history.end();
}

}  // namespace

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
    const bool intact = displayhistoryformat::Parse(bytes, &m_entries);
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
    const std::string bytes = displayhistoryformat::Serialize(entries);
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
