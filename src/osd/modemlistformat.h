// The list of built-in 3G modems ("hsdpaModules.dat") apart from the file:
// ANSI text, a decimal count, then that many identifier fragments separated
// by blanks or line ends, each at most 127 characters. A pure function of the
// bytes (no system call), so that it can be tried on any input outside the
// program too; it reads the text as the C runtime's text mode would (a
// Ctrl-Z ends it).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace modemlistformat {

inline constexpr size_t kMaxFragmentChars = 127;
// More fragments than any list of modems needs; the rest of a file is left unread.
inline constexpr int kMaxFragments = 4096;
// More bytes than a list of kMaxFragments full-length fragments takes.
inline constexpr size_t kMaxFileBytes = 1024 * 1024;

struct ModemList {
    std::vector<std::string> fragments;  // in the file's order, each non-empty and without NUL
    std::vector<std::wstring> problems;  // one report per damage met, in order
};

ModemList Parse(std::string_view bytes);

}  // namespace modemlistformat
