#include "osd/modemlistformat.h"

#include <climits>

namespace modemlistformat {

namespace {

constexpr char kTextEnd = '\x1A';  // Ctrl-Z: the end of a text file

// The C locale's white space.
bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

std::wstring Problem(const std::wstring& what) { return L"error: Init() - hsdpaModules.dat " + what; }

class Reader {
public:
    explicit Reader(std::string_view bytes) : m_bytes(bytes.substr(0, bytes.find(kTextEnd))) {}

    void SkipSpace() {
        while (m_pos < m_bytes.size() && IsSpace(m_bytes[m_pos])) ++m_pos;
    }
    bool AtEnd() const { return m_pos >= m_bytes.size(); }

    // A decimal number with an optional sign, saturated to int; false when no digit stands here.
    bool Number(int* value) {
        size_t pos = m_pos;
        bool negative = false;
        if (pos < m_bytes.size() && (m_bytes[pos] == '+' || m_bytes[pos] == '-')) negative = m_bytes[pos++] == '-';
        const size_t digits = pos;
        long long magnitude = 0;
        while (pos < m_bytes.size() && IsDigit(m_bytes[pos])) {
            if (magnitude <= INT_MAX) magnitude = magnitude * 10 + (m_bytes[pos] - '0');
            ++pos;
        }
        if (pos == digits) return false;
        m_pos = pos;
        if (magnitude > INT_MAX) magnitude = static_cast<long long>(INT_MAX) + (negative ? 1 : 0);
        *value = static_cast<int>(negative ? -magnitude : magnitude);
        return true;
    }

    // The next run of non-blank characters, at most `limit` of them; `*longer`
    // when the run goes on beyond (the rest of it is then passed over).
    std::string_view Run(size_t limit, bool* longer) {
        const size_t start = m_pos;
        while (m_pos < m_bytes.size() && !IsSpace(m_bytes[m_pos]) && m_pos - start < limit) ++m_pos;
        const std::string_view run = m_bytes.substr(start, m_pos - start);
        *longer = m_pos < m_bytes.size() && !IsSpace(m_bytes[m_pos]);
        while (m_pos < m_bytes.size() && !IsSpace(m_bytes[m_pos])) ++m_pos;
        return run;
    }

private:
    std::string_view m_bytes;
    size_t m_pos = 0;
};

}  // namespace

ModemList Parse(std::string_view bytes) {
    ModemList list;
    Reader reader(bytes);
    reader.SkipSpace();
    int count = 0;
    if (!reader.Number(&count)) {
        list.problems.push_back(Problem(L"has no count of modules; no module is looked for"));
        return list;
    }
    if (count < 0) {
        list.problems.push_back(Problem(L"gives " + std::to_wstring(count) + L" modules; no module is looked for"));
        return list;
    }
    if (count > kMaxFragments) {
        list.problems.push_back(Problem(L"gives " + std::to_wstring(count) + L" modules; only the first " +
                                        std::to_wstring(kMaxFragments) + L" are read"));
        count = kMaxFragments;
    }
    for (int i = 0; i < count; ++i) {
        reader.SkipSpace();
        if (reader.AtEnd()) {
            list.problems.push_back(L"error: Init() - hsdpaModules.dat ends after " + std::to_wstring(i) + L" of " +
                                    std::to_wstring(count) + L" modules");
            return list;
        }
        bool longer = false;
        const std::string_view run = reader.Run(kMaxFragmentChars, &longer);
        if (longer) {
            // A longer run is no identifier part of ours: leave it out whole.
            list.problems.push_back(L"error: Init() - module " + std::to_wstring(i + 1) +
                                    L" in hsdpaModules.dat is longer than " + std::to_wstring(kMaxFragmentChars) +
                                    L" characters; it is left out");
            continue;
        }
        // A NUL inside the run (a damaged file, or UTF-16 text) would cut the
        // fragment short or to nothing, and an empty fragment is part of
        // every identifier: such a fragment is no fragment.
        if (run.find('\0') != std::string_view::npos) {
            list.problems.push_back(L"error: Init() - module " + std::to_wstring(i + 1) +
                                    L" in hsdpaModules.dat holds a NUL character (the file is not ANSI text?); it "
                                    L"is left out");
            continue;
        }
        list.fragments.emplace_back(run);
    }
    return list;
}

}  // namespace modemlistformat
