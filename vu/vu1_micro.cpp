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

void vu1ExecPair() {
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

u32 vu1LastUpperWord() { return lastUpperWord; }

void vu1MicroReset() { lastUpperWord = 0; }

void vu1MicroRestore(u32 lastUpper) { lastUpperWord = lastUpper; }

// The pairs run are charged in batches; a program that ends pays for the
// pairs of its last batch, the pair after its end bit included. The batches
// are an outer loop so that the pair loop tests only the end bits.
static_assert(kVu1MaxPairsPerRun % kPairsPerCharge == 0);

void vu1Run() {
    WorkScope scope;
    const u32 start = vu1.tpc;
    for (u32 batch = 0; batch < kVu1MaxPairsPerRun / kPairsPerCharge; ++batch) {
        for (u32 pair = 1; pair <= kPairsPerCharge; ++pair) {
            vu1ExecPair();
            if (lastUpperWord & kVuUpperEndBits) {
                vu1ExecPair();
                workCharge(pair % kPairsPerCharge + 1, LogCategory::Vu, "VU1 micro-program");
                return;
            }
        }
        if (!workCharge(kPairsPerCharge, LogCategory::Vu, "VU1 micro-program")) return;
    }
    logReport(LogCategory::Vu, LogLevel::GuestError, "VU1 micro-program from 0x%04X ran %u pairs without an end bit; cut",
              start, kVu1MaxPairsPerRun);
}

const u32* vu1KickedPacket(u32 byteOffset, u32& quadwords) {
    quadwords = copyGifPacket(vu1.dataMem, kVu1DataQuadwords, (byteOffset & kVu1MemoryMask) / 16, kickedPacket);
    return kickedPacket;
}
