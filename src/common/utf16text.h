// Text files of the program's own kinds (the display history, the language
// files) are UTF-16 little-endian with a byte-order mark.
#pragma once

#include <string>
#include <string_view>

namespace utf16 {

enum class DecodeResult { Decoded, OddLength, NoByteOrderMark };

// The text after the byte-order mark. An odd last byte is left out and a
// missing byte-order mark keeps the first character; either is reported in
// the result, and `text` then holds what could be read.
DecodeResult DecodeLittleEndian(std::string_view bytes, std::wstring* text);

// The bytes of `text`, byte-order mark first.
std::string EncodeLittleEndian(std::wstring_view text);

}  // namespace utf16
