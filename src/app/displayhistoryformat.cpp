#include "app/displayhistoryformat.h"

#include <cwchar>

#include "common/utf16text.h"

namespace displayhistoryformat {

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

}  // namespace

std::string Serialize(const std::vector<std::wstring>& entries) {
    std::wstring text = std::to_wstring(entries.size()) + L" _\r\n";
    for (const std::wstring& entry : entries) {
        text += entry;  // as it was read: a NUL inside must not shorten it
        text += L" _\r\n";
    }
    return utf16::EncodeLittleEndian(text);
}

bool Parse(const std::string& bytes, std::vector<std::wstring>* entries) {
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

}  // namespace displayhistoryformat
