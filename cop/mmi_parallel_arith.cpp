// Lane-wise arithmetic of the multimedia instructions: wrapping and
// saturating add and subtract, compares, maximum and minimum, absolute
// values, leading-bit counts and the 128-bit logic operations.
#include <limits>

#include "cop/mmi.h"
#include "cop/mmi_lanes.h"
#include "cop/mmi_saturating.h"

namespace {

// Wrapping arithmetic is done on unsigned lanes, where it is defined.
template <typename Lane>
Lane addWrapping(Lane a, Lane b) {
    return static_cast<Lane>(a + b);
}
template <typename Lane>
Lane subtractWrapping(Lane a, Lane b) {
    return static_cast<Lane>(a - b);
}

// Compares give a lane of all ones for true; the lanes are signed, so
// all ones is -1.
template <typename Lane>
Lane greaterThanMask(Lane a, Lane b) {
    return a > b ? Lane{-1} : Lane{0};
}
template <typename Lane>
Lane equalMask(Lane a, Lane b) {
    return a == b ? Lane{-1} : Lane{0};
}

template <typename Lane>
Lane maximum(Lane a, Lane b) {
    return a > b ? a : b;
}
template <typename Lane>
Lane minimum(Lane a, Lane b) {
    return a < b ? a : b;
}

// The most negative value has no positive counterpart and stays as it is.
template <typename Lane>
Lane absolute(Lane a) {
    if (a == std::numeric_limits<Lane>::min()) return a;
    return a < 0 ? static_cast<Lane>(-a) : a;
}

u64 andDoubles(u64 a, u64 b) { return a & b; }
u64 orDoubles(u64 a, u64 b) { return a | b; }
u64 xorDoubles(u64 a, u64 b) { return a ^ b; }
u64 norDoubles(u64 a, u64 b) { return ~(a | b); }

// Bits below bit 31 that repeat the sign bit, before the first that differs.
u32 leadingSignBits(u32 word) {
    const u32 signFilled = (word & 0x80000000u) ? ~word : word;
    return static_cast<u32>(std::countl_zero(signFilled)) - 1;
}

}  // namespace

void opPaddw() { lanewise<u32, addWrapping<u32>>(); }
void opPaddh() { lanewise<u16, addWrapping<u16>>(); }
void opPaddb() { lanewise<u8, addWrapping<u8>>(); }
void opPsubw() { lanewise<u32, subtractWrapping<u32>>(); }
void opPsubh() { lanewise<u16, subtractWrapping<u16>>(); }
void opPsubb() { lanewise<u8, subtractWrapping<u8>>(); }

void opPaddsw() { vectorSaturated<s32, SaturatingOp::add>(); }
void opPaddsh() { vectorSaturated<s16, SaturatingOp::add>(); }
void opPaddsb() { vectorSaturated<s8, SaturatingOp::add>(); }
void opPsubsw() { vectorSaturated<s32, SaturatingOp::subtract>(); }
void opPsubsh() { vectorSaturated<s16, SaturatingOp::subtract>(); }
void opPsubsb() { vectorSaturated<s8, SaturatingOp::subtract>(); }

void opPadduw() { vectorSaturated<u32, SaturatingOp::add>(); }
void opPadduh() { vectorSaturated<u16, SaturatingOp::add>(); }
void opPaddub() { vectorSaturated<u8, SaturatingOp::add>(); }
void opPsubuw() { vectorSaturated<u32, SaturatingOp::subtract>(); }
void opPsubuh() { vectorSaturated<u16, SaturatingOp::subtract>(); }
void opPsubub() { vectorSaturated<u8, SaturatingOp::subtract>(); }

void opPcgtw() { lanewise<s32, greaterThanMask<s32>>(); }
void opPcgth() { lanewise<s16, greaterThanMask<s16>>(); }
void opPcgtb() { lanewise<s8, greaterThanMask<s8>>(); }
void opPceqw() { lanewise<s32, equalMask<s32>>(); }
void opPceqh() { lanewise<s16, equalMask<s16>>(); }
void opPceqb() { lanewise<s8, equalMask<s8>>(); }

void opPmaxw() { lanewise<s32, maximum<s32>>(); }
void opPmaxh() { lanewise<s16, maximum<s16>>(); }
void opPminw() { lanewise<s32, minimum<s32>>(); }
void opPminh() { lanewise<s16, minimum<s16>>(); }

void opPabsw() { lanewiseOfRt<s32, absolute<s32>>(); }
void opPabsh() { lanewiseOfRt<s16, absolute<s16>>(); }

void opPand() { lanewise<u64, andDoubles>(); }
void opPor() { lanewise<u64, orDoubles>(); }
void opPxor() { lanewise<u64, xorDoubles>(); }
void opPnor() { lanewise<u64, norDoubles>(); }

// The low four halfwords take the difference, the high four the sum.
void opPadsbh() {
    const Lanes<u16> a = lanesOf<u16>(rsReg());
    const Lanes<u16> b = lanesOf<u16>(rtReg());
    Lanes<u16> result;
    for (unsigned i = 0; i < 4; ++i) {
        result[i] = subtractWrapping<u16>(a[i], b[i]);
        result[i + 4] = addWrapping<u16>(a[i + 4], b[i + 4]);
    }
    writeWholeRd(fromLanes<u16>(result));
}

// Only the low two words are counted; the upper doubleword of rd is kept.
void opPlzcw() {
    const Reg128 source = rsReg();
    Reg128& destination = rdReg();
    destination.w[0] = leadingSignBits(source.w[0]);
    destination.w[1] = leadingSignBits(source.w[1]);
}
