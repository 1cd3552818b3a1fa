// Any file contents parse without harm into identifiers of bounded length;
// what parses as intact is written back to the same identifiers.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/displayhistoryformat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::wstring> entries;
    const bool intact = displayhistoryformat::Parse(bytes, &entries);
    for (const std::wstring& entry : entries) {
        if (entry.size() > displayhistoryformat::kMaxIdentifierChars) std::abort();
    }
    if (entries.size() > size / 2) std::abort();  // never more entries than the file has lines
    std::vector<std::wstring> again;
    // A damaged file is rewritten from what was read: that must read back whole.
    if (!displayhistoryformat::Parse(displayhistoryformat::Serialize(entries), &again) || again != entries) {
        std::abort();
    }
    (void)intact;
    return 0;
}
