// The state file's layout and the probe program's registers are checked end
// to end; here, the fields that the probe leaves at zero.
#include <gtest/gtest.h>

#include "cop/fpu.h"
#include "core/ee_state.h"
#include "json_reader.h"
#include "memory/bus.h"
#include "runner/run.h"
#include "runner/state_json.h"
#include "support/guest_machine.h"
#include "vu/vu_state.h"

TEST(RunnerStateJson, AccumulatorsAndVu1HaveFieldsOfTheirOwn) {
    resetMachine();
    ee.lo.d[1] = 5;
    fpu.fpuAcc.u = 0x7F800000;
    vu0.vuAcc.u[0] = 0xAAAA;
    vu0.vi[21] = 0x3F800000;
    vu1.tpc = 0x1238;
    const auto json = parseJson(machineStateJson(StopReason::Until));
    ASSERT_TRUE(json.has_value());
    const std::pair<const char*, const char*> expected[] = {
        {"stop", "until"},           {"lo", "00000000000000050000000000000000"},
        {"fpuAcc", "7f800000"},      {"vu0.acc.0", "0000aaaa"},
        {"vu0.vi.21", "3f800000"},   {"vu0.tpc", "00000000"},
        {"vu1.tpc", "00001238"},
    };
    for (const auto& [path, value] : expected) EXPECT_EQ((*json)[path], value) << path;
}

// The dump masks its address like the bus and wraps from the end of RAM to
// its start rather than reading past the block.
TEST(RunnerMemoryDump, MasksTheAddressAndWrapsAtTheEndOfRam) {
    resetMachine();
    for (u8 i = 0; i < 4; ++i) {
        memory.ram[kRamSize - 4 + i] = static_cast<u8>(0xF0 + i);
        memory.ram[i] = static_cast<u8>(0x10 + i);
    }
    EXPECT_EQ(guestRamBytes(0x83FFFFFE, 4), (std::vector<u8>{0xF2, 0xF3, 0x10, 0x11}));
    EXPECT_TRUE(guestRamBytes(0x100000, 0).empty());
    const std::vector<u8> whole = guestRamBytes(0x01FFFFFC, kRamSize);
    ASSERT_EQ(whole.size(), kRamSize);
    EXPECT_EQ(whole[4], 0x10);
    EXPECT_EQ(whole[kRamSize - 1], memory.ram[kRamSize - 5]);
}
