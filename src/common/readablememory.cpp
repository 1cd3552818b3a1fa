#include "common/readablememory.h"

#include <windows.h>

#include <algorithm>

size_t ReadableBytes(const void* address, size_t wanted) {
    MEMORY_BASIC_INFORMATION info{};
    if (!address || VirtualQuery(address, &info, sizeof info) != sizeof info) return 0;
    const DWORD readable = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                           PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;
    if (info.State != MEM_COMMIT || (info.Protect & readable) == 0 || (info.Protect & PAGE_GUARD)) return 0;
    const auto begin = reinterpret_cast<ULONG_PTR>(address);
    const auto end = reinterpret_cast<ULONG_PTR>(info.BaseAddress) + info.RegionSize;
    return std::min<size_t>(wanted, end - begin);
}
