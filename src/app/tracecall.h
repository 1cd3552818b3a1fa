// A trace line "call <operation> <arguments>", so that the road of a call can
// be followed: the key as it reaches the key handling, the calls to the
// hardware side, and every call to a subsystem that is not built yet.
#pragma once

#include <string>

#include "common/commondefine.h"

template <typename... Args>
void TraceCall(const wchar_t* operation, Args... args) {
    std::wstring line = L"call ";
    line += operation;
    ((line += L" " + std::to_wstring(static_cast<long long>(args))), ...);
    Trace(line);
}
