// The display history: every monitor the program has ever seen connected,
// kept in the file "dispHistory.dat" in the current directory (the program
// folder). The file is UTF-16 little-endian text with a byte-order mark: a
// count line "%d _\r\n" and one line "%s _\r\n" per monitor identifier,
// newest first (displayhistoryformat.h). It only grows.
#pragma once

#include <string>
#include <vector>

class CDisplayHistory {
public:
    static constexpr wchar_t kFileName[] = L"dispHistory.dat";
    // Far more than the file of any real machine holds (about 400,000
    // identifiers); a longer file is read up to here and never rewritten, so
    // that what lies beyond is not lost.
    static constexpr size_t kMaxFileBytes = 16 * 1024 * 1024;

    explicit CDisplayHistory(std::wstring path = kFileName) : m_path(std::move(path)) {}

    // Whether a monitor of `monitors` is missing from the history (`*isNew`);
    // the new ones are written into the file, first, in their order. Returns 0
    // when the file could not be read (missing or empty: nothing is written),
    // else 1. A file that cannot be written, or is too long to be rewritten
    // whole, is reported; the history in memory still takes the new monitors.
    int IsNewDisplay(const std::vector<std::wstring>& monitors, int* isNew);

    // Forgets what was read; the next question reads the file again.
    void Release() {
        m_entries.clear();
        m_bLoaded = false;
        m_bReadInPart = false;
    }
    bool Loaded() const { return m_bLoaded; }
    const std::vector<std::wstring>& Entries() const { return m_entries; }

private:
    enum class LoadResult { Unreadable, Loaded };
    LoadResult Load();
    bool Write(const std::vector<std::wstring>& entries);

    std::wstring m_path;
    bool m_bLoaded = false;
    bool m_bReadInPart = false;  // the file is longer than kMaxFileBytes: never rewritten
    std::vector<std::wstring> m_entries;
};
