#include "miniui/languagetexts.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/utf16text.h"

namespace {

using miniui::LanguageTexts;

// A language file's text: each section a count line and its lines.
std::wstring FileText(const std::vector<std::vector<std::wstring>>& sections) {
    std::wstring text;
    for (const auto& section : sections) {
        text += std::to_wstring(section.size()) + L" _\r\n";
        for (const std::wstring& line : section) text += line + L" _\r\n";
    }
    return text;
}

const std::vector<std::vector<std::wstring>> kSections = {
    {L"Panel", L"External", L"Clone"},
    {L"Resolution", L"Best resolution"},
    {},
    {L"Options", L"Press Win+F4 to show the mini UI again"},
};

std::string Bytes(const std::wstring& text) { return utf16::EncodeLittleEndian(text); }

TEST(LanguageTexts, AWellFormedFileGivesItsFourTablesInOrder) {
    LanguageTexts texts;
    std::wstring problem;
    ASSERT_TRUE(miniui::ParseLanguageTexts(Bytes(FileText(kSections)), &texts, &problem)) << problem;
    for (int t = 0; t < miniui::kTextTables; ++t) EXPECT_EQ(texts.tables[t], kSections[t]) << t;
    // The filler is any one character; a text may hold blanks and line breaks.
    ASSERT_TRUE(miniui::ParseLanguageTexts(Bytes(L"1X_\r\n a\r\nb  _\r\n0 _\r\n0 _\r\n1 _\r\nhint _\r\ntrailing"),
                                           &texts, &problem))
        << problem;
    EXPECT_EQ(texts.tables[miniui::kOutputTexts], std::vector<std::wstring>{L" a\r\nb "});
    EXPECT_EQ(texts.tables[miniui::kOptionTexts], std::vector<std::wstring>{L"hint"});
    // The longest text a panel's buffer holds.
    const std::wstring longest(miniui::kMaxTextChars, L'x');
    ASSERT_TRUE(miniui::ParseLanguageTexts(Bytes(FileText({{longest}, {}, {}, {L"hint"}})), &texts, &problem));
    EXPECT_EQ(texts.tables[0][0], longest);
}

TEST(LanguageTexts, ADamagedFileIsRefusedWholeAndSaysWhy) {
    const std::wstring good = FileText(kSections);
    const std::string goodBytes = Bytes(good);
    std::wstring noEnding = good;
    noEnding.resize(noEnding.size() - 4);  // the last line without " _\r\n"
    std::wstring noFiller = good;
    noFiller.replace(noFiller.find(L"Clone _"), 7, L"_");  // a line that is only "_\r\n"
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"empty", ""},
        {"byte-order mark only", Bytes(L"")},
        {"no byte-order mark", goodBytes.substr(2)},
        {"odd byte count", goodBytes + "x"},
        {"count above the lines present", Bytes(FileText({{L"a"}, {}, {}, {L"hint"}}).replace(0, 1, L"7"))},
        {"count that is no number", Bytes(L"seven _\r\n")},
        {"negative count", Bytes(L"-1 _\r\n0 _\r\n0 _\r\n0 _\r\n")},
        {"huge count", Bytes(L"99999999999999999999 _\r\n")},
        {"last line without its ending", Bytes(noEnding)},
        {"underscore without CR LF", Bytes(L"1 _\r\nabc _")},
        {"underscore without a filler", Bytes(noFiller)},
        {"a line longer than a panel's buffer", Bytes(FileText({{std::wstring(miniui::kMaxTextChars + 1, L'x')}, {}, {}, {L"h"}}))},
        {"a 10 kB line", Bytes(FileText({{std::wstring(5000, L'x')}, {}, {}, {L"h"}}))},
        {"three sections", Bytes(FileText({{L"a"}, {L"b"}, {L"c"}}))},
        {"UTF-16 big-endian", std::string("\xFE\xFF\x00" "1\x00 \x00_\x00\r\x00\n", 12)},
    };
    for (const auto& c : cases) {
        LanguageTexts texts;
        texts.tables[0] = {L"kept"};
        std::wstring problem;
        EXPECT_FALSE(miniui::ParseLanguageTexts(c.bytes, &texts, &problem)) << c.name;
        EXPECT_FALSE(problem.empty()) << c.name;
        EXPECT_EQ(texts.tables[0], std::vector<std::wstring>{L"kept"}) << c.name << ": nothing half-read is taken";
    }
}

TEST(LanguageTexts, LanguagesPickTheirFileAndLayoutAndOthersFallBackToEnglish) {
    const struct {
        int language;
        const wchar_t* file;
        int flags;
    } cases[] = {
        {1033, L"minilng/lngEng.ini", 0}, {1031, L"minilng/lngGER.ini", 1},  {1032, L"minilng/lngGRE.ini", 17},
        {1040, L"minilng/lngITA.ini", 16}, {2068, L"minilng/lngNOR.ini", 0}, {1044, L"minilng/lngNOR.ini", 0},
        {2077, L"minilng/lngSWE.ini", 0}, {1046, L"minilng/lngEng.ini", 0}, {0, L"minilng/lngEng.ini", 0},
        {1042, nullptr, 0},
    };
    for (const auto& c : cases) {
        const miniui::LanguageFile file = miniui::LanguageFileOf(c.language);
        if (c.file) {
            ASSERT_NE(file.file, nullptr) << c.language;
            EXPECT_STREQ(file.file, c.file) << c.language;
        } else {
            EXPECT_EQ(file.file, nullptr) << c.language;
        }
        EXPECT_EQ(file.layoutFlags, c.flags) << c.language;
    }
}

class LanguageFileOnDisk : public ::testing::Test {
protected:
    void TearDown() override { DeleteFileW(path_.c_str()); }
    void Write(const std::string& bytes) {
        HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    const std::wstring path_ = L"languagetexts_test.ini";
};

TEST_F(LanguageFileOnDisk, IsReadWholeWhenSoundAndRefusedWhenMissingOrOversize) {
    LanguageTexts texts;
    std::wstring problem;
    EXPECT_FALSE(miniui::ReadLanguageTexts(path_, &texts, &problem));
    EXPECT_EQ(problem, L"cannot be opened");

    Write(Bytes(FileText(kSections)));
    ASSERT_TRUE(miniui::ReadLanguageTexts(path_, &texts, &problem)) << problem;
    EXPECT_EQ(texts.tables[miniui::kOptionTexts].back(), L"Press Win+F4 to show the mini UI again");

    // A well-formed start followed by more than a language file can hold.
    std::string oversize = Bytes(FileText(kSections));
    oversize.resize(miniui::kMaxLanguageFileBytes + 2, ' ');
    Write(oversize);
    EXPECT_FALSE(miniui::ReadLanguageTexts(path_, &texts, &problem));
    EXPECT_EQ(problem, L"is larger than " + std::to_wstring(miniui::kMaxLanguageFileBytes) + L" bytes");
}

}  // namespace
