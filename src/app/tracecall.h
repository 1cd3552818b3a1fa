// Calls whose owners are not part of the program yet leave a trace line
// "call <operation> <arguments>", so that their routing can be followed.
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
