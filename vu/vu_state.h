// The two vector units. VU0 is also the EE's coprocessor 2; VU1 runs
// micro-programs sent through VIF1. Their memories are windows into the
// first 64 KB of guest RAM (see memory/bus.h).
#pragma once

#include "core/types.h"

union VuVector {
    float f[4];  // x, y, z, w
    u32 u[4];
};
static_assert(sizeof(VuVector) == 16);

// The last flag-setting FMAC of a micro-program, recorded instead of judged.
// Every ADD, SUB, MUL, MADD and MSUB rewrites the whole MAC flag and status
// bits 0..3 (lanes outside its dest clear), so only the last one before a
// read of the flags counts: judging each result would mostly be wasted.
struct VuPendingFlags {
    VuVector s;    // fs
    VuVector t;    // the second operand, after any broadcast of a lane, I or Q
    VuVector acc;  // the accumulator MADD and MSUB read
    u32 word;      // the instruction, for its dest lanes
    // Judges the record into MAC and status; null when nothing waits.
    void (*judge)();
};

struct VuState {
    VuVector vf[32];
    VuVector vuAcc;
    u32 vi[32];  // VI0..VI15, then the control registers
    u32 tpc;     // byte offset of the next instruction pair in micro memory
    u32 code;    // the word the VU handlers decode: the COP2 word in macro
                 // mode, one half of the instruction pair in micro mode
    u8* microMem;
    u8* dataMem;
    VuPendingFlags pendingFlags;
};

extern VuState vu0;
extern VuState vu1;

// The unit a handler template serves, known when the template is
// instantiated: VU1 alone has 16 KB of data memory, the micro-mode branches
// and XGKICK. Matched by specialisation rather than by comparing addresses,
// which is not a constant expression once the compiler instruments pointers.
enum class VuUnit { vu0, vu1 };
template <VuState& unit>
inline constexpr VuUnit kVuUnitOf = VuUnit::vu0;
template <>
inline constexpr VuUnit kVuUnitOf<vu1> = VuUnit::vu1;

enum VuControlRegister : unsigned {
    kViStatus = 16,
    kViMac = 17,
    kViClip = 18,
    kViR = 20,
    kViI = 21,
    kViQ = 22,
    kViP = 23,
};

// Writes the flags of the FMAC that waits, if any, into MAC and status.
// Anything that reads or writes the flags other than the FMACs themselves
// calls this first; a micro-program's run calls it when the program ends, so
// outside a run the flags are always settled.
inline void vuSettleFlags(VuState& unit) {
    if (unit.pendingFlags.judge == nullptr) return;
    const auto judge = unit.pendingFlags.judge;
    unit.pendingFlags.judge = nullptr;
    judge();
}

void vuReset();

// Back to the state the emulator starts with: VU1's registers, which a
// reset keeps, cleared and the random generator's seed restored.
void vuPowerOn();
