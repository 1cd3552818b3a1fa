// Any file contents parse without harm into at most kMaxFragments fragments,
// each non-empty, without NUL or white space, at most kMaxFragmentChars long.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "osd/modemlistformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const modemlistformat::ModemList list = modemlistformat::Parse(bytes);
    if (list.fragments.size() > static_cast<size_t>(modemlistformat::kMaxFragments)) std::abort();
    for (const std::string& fragment : list.fragments) {
        if (fragment.empty() || fragment.size() > modemlistformat::kMaxFragmentChars) std::abort();
        if (fragment.find_first_of(std::string_view(" \t\n\v\f\r\0", 7)) != std::string::npos) std::abort();
    }
    return 0;
}
