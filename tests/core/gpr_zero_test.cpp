// GPR 0 reads as 128 zero bits after every instruction: each assigned
// encoding of every opcode table runs once with GPR 0 as its rt and rd and
// random values everywhere else. The step puts back only GPR 0's low 64
// bits, so an instruction that writes a whole 128-bit register and forgets
// the upper half fails here.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/cpu.h"
#include "core/opcode_entries.h"
#include "memory/guest_ram.h"
#include "support/guest_machine.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 kCodeAddress = 0x01D00000;
// Every register's low word is an address in this block, filled with random
// bytes, so loads and stores through any register stay in RAM and a load
// into GPR 0 brings nonzero upper bits.
constexpr u32 kScratchAddress = 0x01C00000;
constexpr u32 kScratchBytes = 0x10000;
constexpr u32 kSyscallNoOperation = 0xFF;  // a kernel call that changes nothing
constexpr unsigned kFieldRs = 21, kFieldRt = 16, kFieldSa = 6;

struct Encoding {
    u32 word;
    const char* name;
};

template <std::size_t Count>
void addEntries(std::vector<Encoding>& encodings, const std::array<OpcodeEntry, Count>& entries, u32 rowBits,
                unsigned fieldShift) {
    for (const OpcodeEntry& entry : entries) encodings.push_back({rowBits | (entry.index << fieldShift), entry.name});
}

// Every slot the entry lists assign, with rt and rd 0; the fields that pick
// a row or a sub-table carry the row. The VU0 macro operations have no list
// of their own here: all 2048 values of bits 10..0 run.
std::vector<Encoding> everyAssignedEncoding() {
    constexpr u32 kSpecial = 0u << 26, kRegimm = 1u << 26, kCop0 = 16u << 26, kCop1 = 17u << 26,
                  kCop2 = 18u << 26, kMmi = 28u << 26;
    std::vector<Encoding> encodings;
    addEntries(encodings, kPrimaryEntries, 0, 26);
    addEntries(encodings, kSpecialEntries, kSpecial, 0);
    addEntries(encodings, kRegimmEntries, kRegimm, kFieldRt);
    addEntries(encodings, kCop0Entries, kCop0, kFieldRs);
    addEntries(encodings, kC0Entries, kCop0 | (16u << kFieldRs), 0);
    addEntries(encodings, kCop1Entries, kCop1, kFieldRs);
    addEntries(encodings, kBc1Entries, kCop1 | (8u << kFieldRs), kFieldRt);
    addEntries(encodings, kCop1SEntries, kCop1 | (16u << kFieldRs), 0);
    addEntries(encodings, kCop2Entries, kCop2, kFieldRs);
    for (u32 low = 0; low < 2048; ++low) encodings.push_back({kCop2 | (16u << kFieldRs) | low, "VU0 macro"});
    addEntries(encodings, kMmiEntries, kMmi, 0);
    addEntries(encodings, kMmi0Entries, kMmi | 0x08, kFieldSa);
    addEntries(encodings, kMmi1Entries, kMmi | 0x28, kFieldSa);
    addEntries(encodings, kMmi2Entries, kMmi | 0x09, kFieldSa);
    addEntries(encodings, kMmi3Entries, kMmi | 0x29, kFieldSa);
    return encodings;
}

class GprZero : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(loadGuestProgram("cpu_entries"));
        for (u32 offset = 0; offset < kScratchBytes; offset += 4) setRamWord(kScratchAddress + offset, random());
        // No interrupt is delivered after a taken branch's delay slot.
        cop0.r[kCop0Status] &= ~kStatusIE;
        status_ = cop0.r[kCop0Status];
    }

    u32 random() { return static_cast<u32>(generator_()); }

    // Random registers everywhere; the low word of each GPR a quadword in
    // the scratch block. The source register is random too, never v1, which
    // holds the kernel call number for SYSCALL.
    void randomiseState() {
        for (unsigned i = 1; i < 32; ++i) {
            for (unsigned w = 1; w < 4; ++w) ee.gpr[i].w[w] = random();
            ee.gpr[i].w[0] = kScratchAddress + (random() % kScratchBytes & ~15u);
        }
        ee.gpr[kGprV1].d[0] = kSyscallNoOperation;
        for (unsigned w = 0; w < 4; ++w) {
            ee.hi.w[w] = random();
            ee.lo.w[w] = random();
        }
        ee.sa = random() & 127;
        for (FpuRegister& reg : fpu.fpr) reg.u = random();
        for (VuVector& reg : vu0.vf) {
            for (u32& lane : reg.u) lane = random();
        }
        vu0.vf[0] = VuVector{.f = {0, 0, 0, 1}};
        cop0.r[kCop0Status] = status_;
    }

    unsigned randomSourceRegister() {
        for (;;) {
            const unsigned reg = 1 + random() % 31;
            if (reg != kGprV1) return reg;
        }
    }

    std::mt19937 generator_{20261208};
    u32 status_ = 0;
};

// Each encoding runs twice: with rt 0, where rt is the destination (loads,
// the moves from coprocessors), and with a random rt, where rt is a source
// that, left at zero, would make many results zero whether or not the
// handler puts GPR 0 back.
TEST_F(GprZero, EveryAssignedEncodingLeavesGprZeroZeroInAll128Bits) {
    const std::vector<Encoding> encodings = everyAssignedEncoding();
    ASSERT_GT(encodings.size(), 2048u + 250u);
    for (const Encoding& encoding : encodings) {
        const unsigned opcode = encoding.word >> 26;
        // COP0, COP1 and COP2 words carry their row in rs, REGIMM and BC1
        // words in rt.
        const bool rowInRs = opcode >= 16 && opcode <= 18;
        const bool rowInRt = opcode == 1 || (encoding.word & 0xFFE00000u) == ((17u << 26) | (8u << kFieldRs));
        for (bool randomRt : {false, true}) {
            if (randomRt && rowInRt) continue;
            randomiseState();
            u32 code = encoding.word;
            if (!rowInRs) code |= randomSourceRegister() << kFieldRs;
            if (randomRt) code |= randomSourceRegister() << kFieldRt;
            setRamWord(kCodeAddress, code);
            setRamWord(kCodeAddress + 4, 0);  // a NOP in the delay slot
            ee.pc = kCodeAddress;
            ee.gpr[0] = Reg128{};
            cpuStep();
            const Reg128& zero = ee.gpr[0];
            EXPECT_TRUE(zero.d[0] == 0 && zero.d[1] == 0)
                << encoding.name << " (" << std::hex << code << ") left GPR 0 = " << zero.d[1] << ":" << zero.d[0];
        }
    }
}

}  // namespace
