#include "display/combinationcodes.h"

#include <cstddef>

namespace combinationcodes {
namespace {

struct MaskCode {
    int mask;
    int code;
};

constexpr MaskCode kConnected[] = {{19, 18}, {21, 19}, {23, 22}, {25, 20}, {27, 21}, {29, 23}, {31, 24},
                                   {32, 43}, {33, 25}, {34, 44}, {35, 26}, {36, 46}, {37, 28}, {40, 45},
                                   {41, 27}, {42, 48}, {43, 30}, {45, 39}, {47, 33}};

constexpr MaskCode kActive[] = {{19, 18}, {21, 19}, {32, 43}, {33, 25}, {34, 44}, {35, 26},
                                {36, 46}, {37, 28}, {40, 45}, {41, 27}, {42, 48}, {48, 47}};

template <std::size_t N>
int Lookup(const MaskCode (&table)[N], int mask) {
    for (const MaskCode& entry : table) {
        if (entry.mask == mask) return entry.code;
    }
    return kNone;
}

}  // namespace

int ConnectedCodeOfMask(int mask) {
    if (mask >= 1 && mask <= 17) return mask;
    return Lookup(kConnected, mask);
}

int ActiveCodeOfMask(int mask) {
    if ((mask >= 1 && mask <= 14) || mask == 16 || mask == 17) return mask;
    return Lookup(kActive, mask);
}

}  // namespace combinationcodes
