// Any bytes decode without harm; what decodes cleanly encodes back to the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/utf16text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::wstring text;
    if (utf16::DecodeLittleEndian(bytes, &text) == utf16::DecodeResult::Decoded) {
        if (utf16::EncodeLittleEndian(text) != bytes) std::abort();
    }
    return 0;
}
