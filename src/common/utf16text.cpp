#include "common/utf16text.h"

namespace utf16 {

namespace {

constexpr wchar_t kByteOrderMark = 0xFEFF;

}  // namespace

DecodeResult DecodeLittleEndian(std::string_view bytes, std::wstring* text) {
    text->clear();
    text->reserve(bytes.size() / 2);
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        text->push_back(static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    if (text->empty() || (*text)[0] != kByteOrderMark) return DecodeResult::NoByteOrderMark;
    text->erase(0, 1);
    return bytes.size() % 2 == 0 ? DecodeResult::Decoded : DecodeResult::OddLength;
}

std::string EncodeLittleEndian(std::wstring_view text) {
    std::string bytes;
    bytes.reserve((text.size() + 1) * 2);
    auto put = [&bytes](wchar_t c) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    };
    put(kByteOrderMark);
    for (wchar_t c : text) put(c);
    return bytes;
}

}  // namespace utf16
