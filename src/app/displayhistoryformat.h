// The display history file's format, apart from the file: UTF-16
// little-endian text with a byte-order mark, a count line "%d _\r\n" and one
// line "%s _\r\n" per monitor identifier. Pure functions of bytes (no system
// call), so that they can be tried on any input outside the program too.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace displayhistoryformat {

// An identifier is cut at the size of the monitor identifiers' buffer.
inline constexpr size_t kMaxIdentifierChars = 259;

// The file's contents for `entries`, byte-order mark first; each identifier
// whole, whatever characters it holds.
std::string Serialize(const std::vector<std::wstring>& entries);

// Reads the entries of a file's contents; false when the contents are
// damaged (then `entries` holds what could be read).
bool Parse(const std::string& bytes, std::vector<std::wstring>* entries);

}  // namespace displayhistoryformat
