// The mini UI's texts: one file per language in "minilng" below the program's
// folder, chosen by the language identifier. Despite the ".ini" a language
// file is UTF-16 little-endian text with a byte-order mark, in four sections
// (output, resolution, presentation and options panel), each a count line and
// that many text lines. Every line ends with a filler character (a blank), an
// underscore and CR LF; its text is what stands before the filler.
//
// A language file ships beside the program but is outside data all the same:
// it is read bounded and taken whole or not at all, so that a damaged file
// gives the caller's fallback texts, never half a table.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "common/boundedfile.h"

namespace miniui {

enum TextTable { kOutputTexts, kResolutionTexts, kPresentationTexts, kOptionTexts, kTextTables };

// The longest text a panel's buffer takes (260 characters with its end).
inline constexpr size_t kMaxTextChars = 259;
// Far more than any language file holds (they are a few kilobytes).
inline constexpr size_t kMaxLanguageFileBytes = 256 * 1024;

struct LanguageTexts {
    std::array<std::vector<std::wstring>, kTextTables> tables;
};

// The file of a language and its layout flags (bit 0 widens the options
// panel, bit 4 the presentation panel). `file` is null for Korean, whose
// texts are built in.
struct LanguageFile {
    const wchar_t* file;
    int layoutFlags;
};
LanguageFile LanguageFileOf(int languageId);

// Reads the four tables of a file's contents. False when the contents are
// damaged: `texts` is then left as it was and `problem` says what is wrong.
bool ParseLanguageTexts(std::string_view bytes, LanguageTexts* texts, std::wstring* problem);

// Reads and parses the file at `path` (at most kMaxLanguageFileBytes); false
// with `problem` set when it is missing, too large, unreadable or damaged.
inline bool ReadLanguageTexts(const std::wstring& path, LanguageTexts* texts, std::wstring* problem) {
    std::string bytes;
    return ReadBoundedFile(path, kMaxLanguageFileBytes, &bytes, problem) && ParseLanguageTexts(bytes, texts, problem);
}

}  // namespace miniui
