#include "vu/vu1_micro.h"

#include "core/diagnostics.h"
#include "core/work_budget.h"
#include "devices/gif.h"
#include "memory/host_access.h"
#include "vu/vu_lower.h"
#include "vu/vu_state.h"
#include "vu/vu_upper.h"

namespace {

u32 lastUpperWord = 0;

constexpr u32 kVu1DataQuadwords = kVu1MemoryBytes / 16;

// One more quadword than data memory for the EOP tag that ends a cut packet.
alignas(16) u32 kickedPacket[(kVu1DataQuadwords + 1) * 4];

// Pairs run between two charges to the work budget, so the budget is not
// looked at on every pair.
constexpr u32 kPairsPerCharge = 256;

}  // namespace

void vu1ExecPairInProgram() {
    const u32 at = vu1.tpc & kVu1MemoryMask;
    // tpc is stored before the fetch and code after it, so that the two
    // neighbouring words are not merged into one wide store that the
    // handlers' loads of code would stall on (see cpuStep).
    vu1.tpc = (at + 8) & kVu1MemoryMask;
    const u32 lower = hostLoad<u32>(vu1.microMem + at);
    const u32 upper = hostLoad<u32>(vu1.microMem + at + 4);
    lastUpperWord = upper;
    // The unit's tables are indexed here rather than through vu1RunUpper and
    // vu1RunLower, which would add a call level to every pair.
    vu1.code = upper;
    vu1UpperTable[upper & kVuUpperTableMask]();
    // The upper instruction of an I-bit pair has read I as it was before.
    if (upper & kVuUpperIBit) {
        vu1.vi[kViI] = lower;
        return;
    }
    vu1.code = lower;
    vu1LowerTable[lower >> 25]();
}

void vu1ExecPair() {
    vu1ExecPairInProgram();
    vuSettleFlags(vu1);
}

u32 vu1LastUpperWord() { return lastUpperWord; }

void vu1MicroReset() { lastUpperWord = 0; }

void vu1MicroRestore(u32 lastUpper) { lastUpperWord = lastUpper; }

// The pairs run are charged in batches; a program that ends pays for the
// pairs of its last batch, the pair after its end bit included. The batches
// are an outer loop so that the pair loop tests only the end bits.
static_assert(kVu1MaxPairsPerRun % kPairsPerCharge == 0);

namespace {

// Runs pairs until the program ends or is cut off; the flags of its last
// FMAC may still wait.
void vu1RunPairs() {
    const u32 start = vu1.tpc;
    for (u32 batch = 0; batch < kVu1MaxPairsPerRun / kPairsPerCharge; ++batch) {
        for (u32 pair = 1; pair <= kPairsPerCharge; ++pair) {
            vu1ExecPairInProgram();
            if (lastUpperWord & kVuUpperEndBits) {
                vu1ExecPairInProgram();
                workCharge(pair % kPairsPerCharge + 1, LogCategory::Vu, "VU1 micro-program");
                return;
            }
        }
        if (!workCharge(kPairsPerCharge, LogCategory::Vu, "VU1 micro-program")) return;
    }
    logReport(LogCategory::Vu, LogLevel::GuestError, "VU1 micro-program from 0x%04X ran %u pairs without an end bit; cut",
              start, kVu1MaxPairsPerRun);
}

}  // namespace

// The flags of the program's last FMAC are judged when the run ends, however
// it ends, so that whoever looks at VU1 afterwards (the EE, VIF, a saved
// state, the debugger) finds them settled.
void vu1Run() {
    WorkScope scope;
    vu1RunPairs();
    vuSettleFlags(vu1);
}

const u32* vu1KickedPacket(u32 byteOffset, u32& quadwords) {
    quadwords = copyGifPacket(vu1.dataMem, kVu1DataQuadwords, (byteOffset & kVu1MemoryMask) / 16, kickedPacket);
    return kickedPacket;
}
