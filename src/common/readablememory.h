// Whether memory handed over by a message may be read: records that arrive
// as a pointer in lParam are read only where they lie in committed, readable
// memory of this process.
#pragma once

#include <cstddef>

// Bytes readable at `address`, up to `wanted`; 0 for null or unreadable memory.
size_t ReadableBytes(const void* address, size_t wanted);
