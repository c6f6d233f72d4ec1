// COP0 run as guest code (guest/cop0_ops.S): reset values, the moves, EI and
// DI, and the encodings that must do nothing. Records come in the program's
// order.

#include <gtest/gtest.h>

#include "cop_records.h"

namespace {

constexpr RecordCase kCop0Cases[] = {
    {"Status at reset: IE set, EIE clear", 0x10900001},
    {"PRId at reset", 0x2E20},
    {"Count keeps what MTC0 wrote; MFC0 zero-extends bit 31", 0x0000000080000000},
    {"register 0 is storage", 0x13572468},
    {"register 31 is storage, zero-extended", 0x00000000FEDCBA98},
    {"EI sets EIE", 0x10910001},
    {"delivery after a taken branch leaves IE set", 0x10910001},
    {"DI clears EIE and leaves IE", 0x10900001},
    {"EIE without IE: the taken branch does not deliver", 0x10910000},
    // bits 0, 1 from the words after ERET and TLBWI, 8 and 16 from the two
    // words BC0T would skip; bit 2 only if ERET jumped to EPC.
    {"ERET, TLBWI and BC0T are no-ops", 1 | 2 | 8 | 16},
};

TEST(Cop0, MovesEiDiAndNoOps) {
    ASSERT_NO_FATAL_FAILURE(runCopProgram("cop0_ops", std::size(kCop0Cases), 0));
    expectRecords(kCop0Cases, 0);
}

}  // namespace
