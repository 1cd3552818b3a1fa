#include "hardware/kestdatablock.h"

#include <cstring>

namespace kest {

std::string FindRecordText(const unsigned char* block, size_t size, const RecordLayout& layout, bool* found) {
    *found = false;
    const size_t span = layout.contentOffset + layout.contentLength;
    if (!block || layout.tag.size() > span || size < span) return {};
    for (size_t at = 0; at + span <= size; ++at) {
        if (std::memcmp(block + at, layout.tag.data(), layout.tag.size()) != 0) continue;
        *found = true;
        const char* content = reinterpret_cast<const char*>(block + at + layout.contentOffset);
        return std::string(content, strnlen(content, layout.contentLength));
    }
    return {};
}

}  // namespace kest
