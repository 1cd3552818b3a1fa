// The firmware's data block: 64 KiB that the interface library copies out of
// the firmware, holding tagged records. A record's content starts a fixed
// distance after the start of its tag.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kest {

constexpr size_t kDataBlockBytes = 65536;

struct RecordLayout {
    std::string_view tag;   // ASCII, not terminated in the block
    size_t contentOffset;   // from the start of the tag
    size_t contentLength;
};

// The model identifier record and the signature record.
constexpr RecordLayout kModelRecord{"DiaG@", 11, 5};
constexpr RecordLayout kSignatureRecord{"$KORVANEPC", 11, 32};

// The content of the first record (searched from offset 0 upward) whose whole
// content lies inside the block, as a text that ends at its first zero byte;
// `found` tells whether there was such a record.
std::string FindRecordText(const unsigned char* block, size_t size, const RecordLayout& layout, bool* found);

}  // namespace kest
