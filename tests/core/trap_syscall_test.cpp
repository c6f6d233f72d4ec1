// The conditional traps and SYSCALL, each started at its own label in
// guest/entry_points.S with the operands set from the host.

#include <gtest/gtest.h>

#include "entry_runner.h"
#include "kernel/syscalls.h"

namespace {

// ExcCode (bits 2..6) holds 18 here, with bits 3 and 6 set, which a trap
// must clear; the bits around it must survive.
constexpr u32 kCauseBefore = 0x80007F4B;
constexpr u32 kCauseAfterTrap = 0x80007F37;  // ExcCode 13, other bits kept

struct TrapCase {
    const char* entry;
    u64 rs, rt;
    bool fires;
};

constexpr TrapCase kTrapCases[] = {
    {"trapTge", 1, 1, true},
    {"trapTge", 0, 0xFFFFFFFFFFFFFFFF, true},
    {"trapTge", 0xFFFFFFFFFFFFFFFF, 0, false},
    {"trapTgeu", 0xFFFFFFFFFFFFFFFF, 0, true},
    {"trapTgeu", 0, 0xFFFFFFFFFFFFFFFF, false},
    {"trapTlt", 0xFFFFFFFFFFFFFFFF, 0, true},
    {"trapTlt", 0x80000000, 0, false},  // positive as a 64-bit number
    {"trapTltu", 0, 0xFFFFFFFFFFFFFFFF, true},
    {"trapTltu", 0xFFFFFFFFFFFFFFFF, 0, false},
    {"trapTeq", 5, 5, true},
    {"trapTeq", 0x100000005, 5, false},  // equal low words, different bits 32..63
    {"trapTne", 0x100000005, 5, true},
    {"trapTne", 7, 7, false},
};

TEST(Traps, WriteOnlyExcCodeAndExecutionContinues) {
    ASSERT_TRUE(loadGuestProgram("cpu_entries"));
    for (const TrapCase& c : kTrapCases) {
        SCOPED_TRACE(testing::Message() << c.entry << " " << std::hex << c.rs << ", " << c.rt);
        cop0.r[kCop0Cause] = kCauseBefore;
        cop0.r[kCop0Epc] = 0x12345678;
        ee.gpr[kGprA0].d[0] = c.rs;
        ee.gpr[kGprA1].d[0] = c.rt;
        ee.gpr[kGprT9].d[0] = 0;
        const u32 status = cop0.r[kCop0Status];
        runFromToIdle(c.entry);
        EXPECT_EQ(cop0.r[kCop0Cause], c.fires ? kCauseAfterTrap : kCauseBefore);
        EXPECT_EQ(cop0.r[kCop0Epc], 0x12345678u);
        EXPECT_EQ(cop0.r[kCop0Status], status);
        EXPECT_EQ(ee.gpr[kGprT9].d[0], 1u) << "the instruction after the trap did not run";
    }
}

struct SyscallRun {
    Reg128 v0;
    bool continued;
};

SyscallRun runSyscall(u32 v1) {
    fillGprs();
    ee.gpr[kGprV1].d[0] = v1;
    ee.gpr[kGprA0].d[0] = 5;
    ee.gpr[kGprA1].d[0] = 0x100000000;
    ee.gpr[kGprT9].d[0] = 0;
    runFromToIdle("syscallEntry");
    return {ee.gpr[kGprV0], ee.gpr[kGprT9].d[0] == 1};
}

// The kernel table is indexed by the low byte of v1 alone. Number 61
// (RFU061) returns a0 + a1 in all 64 bits of v0; 0xFF and 189 are no-ops.
TEST(Syscall, DispatchesOnTheLowByteOfV1) {
    ASSERT_TRUE(loadGuestProgram("cpu_entries"));
    fillGprs();
    const Reg128 v0Before = ee.gpr[kGprV0];

    for (u32 v1 : {0x3Du, 0x13Du, 0xFFFFFF3Du}) {
        SCOPED_TRACE(testing::Message() << "v1 = " << std::hex << v1);
        const SyscallRun run = runSyscall(v1);
        EXPECT_TRUE(run.continued);
        EXPECT_EQ(run.v0.d[0], 0x100000005u);
        EXPECT_EQ(run.v0.d[1], v0Before.d[1]);
    }
    for (u32 v1 : {0xFFu, 0x1FFu, 0xFFFFFFBDu /* -67: number 189 */}) {
        SCOPED_TRACE(testing::Message() << "v1 = " << std::hex << v1);
        const SyscallRun run = runSyscall(v1);
        EXPECT_TRUE(run.continued);
        EXPECT_TRUE(sameReg(run.v0, v0Before));
    }
}

}  // namespace
