#include "miniui/languagetexts.h"

#include <cwctype>
#include <optional>

#include "common/utf16text.h"

namespace miniui {

namespace {

constexpr int kKorean = 1042;
constexpr LanguageFile kEnglish{L"minilng/lngEng.ini", 0};

struct LanguageRow {
    int languageId;
    LanguageFile file;
};

constexpr LanguageRow kLanguages[] = {
    {1028, {L"minilng/lngCHT.ini", 0}},  {1030, {L"minilng/lngDAN.ini", 0}},  {1031, {L"minilng/lngGER.ini", 1}},
    {1032, {L"minilng/lngGRE.ini", 17}}, {1033, kEnglish},                     {1035, {L"minilng/lngFIN.ini", 0}},
    {1036, {L"minilng/lngFRN.ini", 17}}, {1040, {L"minilng/lngITA.ini", 16}}, {kKorean, {nullptr, 0}},
    {1043, {L"minilng/lngDUT.ini", 0}},  {1044, {L"minilng/lngNOR.ini", 0}},  {2068, {L"minilng/lngNOR.ini", 0}},
    {1045, {L"minilng/lngPOL.ini", 0}},  {1049, {L"minilng/lngRUS.ini", 1}},  {1053, {L"minilng/lngSWE.ini", 0}},
    {2077, {L"minilng/lngSWE.ini", 0}},  {1054, {L"minilng/lngTHA.ini", 0}},  {1055, {L"minilng/lngTUR.ini", 0}},
    {2052, {L"minilng/lngCHS.ini", 0}},  {2070, {L"minilng/lngPOR.ini", 17}}, {3082, {L"minilng/lngSPA.ini", 0}},
};

// More lines than any panel reads: a count above it is damage, not a table.
constexpr long kMaxTableEntries = 1000;

// Steps through the lines of a language file's text.
class LineReader {
public:
    explicit LineReader(const std::wstring& text) : m_text(text) {}

    // The next line's text; none when the line has no filler and underscore
    // ending in CR LF, or is longer than a panel's buffer.
    std::optional<std::wstring> Next() {
        const size_t underscore = m_text.find(L'_', m_at);
        if (underscore == std::wstring::npos || underscore == m_at) return std::nullopt;
        if (m_text.compare(underscore + 1, 2, L"\r\n") != 0) return std::nullopt;
        const size_t length = underscore - 1 - m_at;  // the filler before the underscore is no text
        if (length > kMaxTextChars) return std::nullopt;
        std::wstring line = m_text.substr(m_at, length);
        m_at = underscore + 3;
        return line;
    }

    size_t LineNumber() const { return m_line; }
    void CountLine() { ++m_line; }

private:
    const std::wstring& m_text;
    size_t m_at = 0;
    size_t m_line = 0;
};

std::optional<long> CountOf(const std::wstring& line) {
    size_t digits = 0;
    long count = 0;
    for (wchar_t c : line) {
        if (c < L'0' || c > L'9') return std::nullopt;
        count = count * 10 + (c - L'0');
        if (count > kMaxTableEntries) return std::nullopt;
        ++digits;
    }
    if (digits == 0) return std::nullopt;
    return count;
}

std::wstring DamagedLine(size_t line, const wchar_t* what) {
    return L"line " + std::to_wstring(line) + L" " + what;
}

}  // namespace

LanguageFile LanguageFileOf(int languageId) {
    for (const LanguageRow& row : kLanguages) {
        if (row.languageId == languageId) return row.file;
    }
    return kEnglish;
}

bool ParseLanguageTexts(std::string_view bytes, LanguageTexts* texts, std::wstring* problem) {
    std::wstring text;
    switch (utf16::DecodeLittleEndian(bytes, &text)) {
    case utf16::DecodeResult::NoByteOrderMark:
        *problem = L"no UTF-16 byte-order mark";
        return false;
    case utf16::DecodeResult::OddLength:
        *problem = L"an odd number of bytes";
        return false;
    case utf16::DecodeResult::Decoded:
        break;
    }
    LanguageTexts read;
    LineReader lines(text);
    for (std::vector<std::wstring>& table : read.tables) {
        lines.CountLine();
        const std::optional<std::wstring> countLine = lines.Next();
        if (!countLine) {
            *problem = DamagedLine(lines.LineNumber(), L"has no \" _\" ending or is too long");
            return false;
        }
        const std::optional<long> count = CountOf(*countLine);
        if (!count) {
            *problem = DamagedLine(lines.LineNumber(), L"is no count of lines");
            return false;
        }
        for (long i = 0; i < *count; ++i) {
            lines.CountLine();
            std::optional<std::wstring> entry = lines.Next();
            if (!entry) {
                *problem = DamagedLine(lines.LineNumber(), L"is missing, has no \" _\" ending or is too long");
                return false;
            }
            table.push_back(std::move(*entry));
        }
    }
    *texts = std::move(read);
    return true;
}

}  // namespace miniui
