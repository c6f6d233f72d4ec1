#include <gtest/gtest.h>

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/ee_state.h"
#include "json_reader.h"
#include "memory/bus.h"
#include "runner/run.h"
#include "runner/state_json.h"
#include "support/guest_machine.h"
#include "vu/vu_state.h"

TEST(RunnerStateJson, HexIsLowercasePaddedMostSignificantFirst) {
    EXPECT_EQ(hexDigits(0xABC, 8), "00000abc");
    EXPECT_EQ(hexDigits(0xFEDCBA9876543210ull, 16), "fedcba9876543210");
    EXPECT_EQ(hexDigits(0x1234, 2), "34");
    Reg128 reg{};
    reg.w[0] = 0x00000001;
    reg.w[1] = 0x22222222;
    reg.w[2] = 0x0000dead;
    reg.w[3] = 0xF0000000;
    EXPECT_EQ(hexReg128(reg), "f00000000000dead2222222200000001");
}

TEST(RunnerStateJson, FieldsInOrderWithTheirWidths) {
    resetMachine();
    ee.pc = 0x00100090;
    ee.cycle = 4000000000u;
    ee.gpr[7] = Reg128{{0x44444444, 0x33333333, 0x22222222, 0x11111111}};
    ee.hi = Reg128{};
    ee.lo = Reg128{};
    ee.hi.d[0] = 0x0123456789ABCDEFull;
    ee.lo.d[1] = 0x5ull;
    ee.sa = 0x500000048ull;
    cop0.r[31] = 0xC0C0;
    fpu.fpr[7].f = 1.5f;
    fpu.fpuAcc.u = 0x7F800000;
    vu0.vf[5].f[3] = 4.0f;
    vu0.vuAcc.u[0] = 0xAAAA;
    vu0.vi[21] = 0x3F800000;
    vu1.tpc = 0x1238;

    const auto state = parseJson(machineStateJson(StopReason::Until));
    ASSERT_TRUE(state.has_value()) << machineStateJson(StopReason::Until);
    const JsonValue& json = *state;

    const char* order[] = {"stop", "pc", "cycle", "gpr", "hi", "lo", "sa", "cop0",
                           "fpr", "fpuAcc", "fcr0", "fcr31", "vu0", "vu1"};
    ASSERT_EQ(json.members.size(), std::size(order));
    for (std::size_t i = 0; i < std::size(order); ++i) EXPECT_EQ(json.members[i].first, order[i]);

    EXPECT_EQ(json["stop"].text, "until");
    EXPECT_EQ(json["pc"].text, "00100090");
    EXPECT_EQ(json["cycle"].kind, JsonValue::Kind::Number);
    EXPECT_EQ(json["cycle"].text, "4000000000");
    ASSERT_EQ(json["gpr"].items.size(), 32u);
    EXPECT_EQ(json["gpr"][7].text, "11111111222222223333333344444444");
    EXPECT_EQ(json["gpr"][29].text, "00000000000000000000000081f00000");
    EXPECT_EQ(json["hi"].text, "00000000000000000123456789abcdef");
    EXPECT_EQ(json["lo"].text, "00000000000000050000000000000000");
    EXPECT_EQ(json["sa"].text, "0000000500000048");
    ASSERT_EQ(json["cop0"].items.size(), 32u);
    EXPECT_EQ(json["cop0"][12].text, "10900001");
    EXPECT_EQ(json["cop0"][31].text, "0000c0c0");
    ASSERT_EQ(json["fpr"].items.size(), 32u);
    EXPECT_EQ(json["fpr"][7].text, "3fc00000");
    EXPECT_EQ(json["fpuAcc"].text, "7f800000");
    EXPECT_EQ(json["fcr0"].text, "00002e00");
    EXPECT_EQ(json["fcr31"].text, "01000001");

    for (const char* unit : {"vu0", "vu1"}) {
        const JsonValue& vu = json[unit];
        ASSERT_EQ(vu.members.size(), 4u) << unit;
        EXPECT_EQ(vu.members[0].first, "vf");
        EXPECT_EQ(vu.members[1].first, "acc");
        EXPECT_EQ(vu.members[2].first, "vi");
        EXPECT_EQ(vu.members[3].first, "tpc");
        ASSERT_EQ(vu["vf"].items.size(), 32u) << unit;
        EXPECT_EQ(vu["vf"][0][3].text, "3f800000") << unit;  // VF0.w reads 1.0
        EXPECT_EQ(vu["acc"].items.size(), 4u) << unit;
        EXPECT_EQ(vu["vi"].items.size(), 32u) << unit;
    }
    EXPECT_EQ(json["vu0"]["vf"][5][0].text, "00000000");
    EXPECT_EQ(json["vu0"]["vf"][5][3].text, "40800000");  // x, y, z, w order
    EXPECT_EQ(json["vu0"]["acc"][0].text, "0000aaaa");
    EXPECT_EQ(json["vu0"]["vi"][21].text, "3f800000");
    EXPECT_EQ(json["vu1"]["tpc"].text, "00001238");
}

TEST(RunnerSummary, ExactLine) {
    EXPECT_EQ(summaryLine(StopReason::IdleLoop, 0x00100090, 1234, 0),
              "stopped: idle-loop at 0x00100090 after 1234 cycles, 0 vblanks");
    EXPECT_EQ(summaryLine(StopReason::MaxCycles, 0xFFFFFFFF, 4294967295u, 7),
              "stopped: max-cycles at 0xffffffff after 4294967295 cycles, 7 vblanks");
}

// The dump masks its address like the bus and wraps from the end of RAM to
// its start rather than reading past the block.
TEST(RunnerMemoryDump, MasksTheAddressAndWrapsAtTheEndOfRam) {
    resetMachine();
    for (u32 i = 0; i < 8; ++i) {
        memory.ram[kRamSize - 4 + (i % 4)] = static_cast<u8>(0xF0 + i % 4);
        memory.ram[i] = static_cast<u8>(0x10 + i);
    }
    memory.ram[0x100000] = 0x5A;
    EXPECT_EQ(guestRamBytes(0x80100000, 1), std::vector<u8>{0x5A});
    EXPECT_EQ(guestRamBytes(0x01FFFFFE, 4), (std::vector<u8>{0xF2, 0xF3, 0x10, 0x11}));
    EXPECT_EQ(guestRamBytes(0x03FFFFFF, 2), (std::vector<u8>{0xF3, 0x10}));
    EXPECT_TRUE(guestRamBytes(0x100000, 0).empty());
    const std::vector<u8> whole = guestRamBytes(0x01FFFFFC, kRamSize);
    ASSERT_EQ(whole.size(), kRamSize);
    EXPECT_EQ(whole[3], 0xF3);
    EXPECT_EQ(whole[4], 0x10);
    EXPECT_EQ(whole[kRamSize - 1], memory.ram[kRamSize - 5]);
}
