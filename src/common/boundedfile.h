// Reading a whole file of outside data with a bound on its size, so that a
// parser of bytes gets it in one piece or learns why not.
#pragma once

#include <cstddef>
#include <string>

// The whole file at `path` into `bytes`; false with the reason in `problem`
// ("cannot be opened", "is larger than ...") when it cannot be had whole
// within `maxBytes`.
bool ReadBoundedFile(const std::wstring& path, size_t maxBytes, std::string* bytes, std::wstring* problem);
