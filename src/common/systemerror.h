// The system's own words for a Win32 error number, added to the log after a
// report's text so that the log says what the number means.
#pragma once

#include <string>

// " (text)" with the system's description of `error`, its line breaks turned
// into spaces and the trailing ones dropped; empty for 0 (no error) and for a
// number the system has no text for.
std::wstring SystemErrorText(unsigned long error);
