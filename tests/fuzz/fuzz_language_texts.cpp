// Any file contents parse without harm: taken whole, with every text within
// a panel's buffer, or refused with a reason.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "miniui/languagetexts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    miniui::LanguageTexts texts;
    texts.tables[0].push_back(L"fallback");
    std::wstring problem;
    if (miniui::ParseLanguageTexts(bytes, &texts, &problem)) {
        for (const auto& table : texts.tables) {
            for (const std::wstring& text : table) {
                if (text.size() > miniui::kMaxTextChars) std::abort();
            }
        }
    } else if (problem.empty() || texts.tables[0].size() != 1 || texts.tables[0][0] != L"fallback") {
        std::abort();  // a refusal says why and leaves the caller's texts alone
    }
    return 0;
}
