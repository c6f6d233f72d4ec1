#include "vu/cop2.h"

#include "core/ee_state.h"
#include "core/tables.h"
#include "vu/vu_lower.h"
#include "vu/vu_upper.h"

void opQmfc2() {
    const VuVector& source = vu0.vf[fieldRd()];
    Reg128& dest = rtReg();
    for (unsigned lane = 0; lane < 4; ++lane) dest.w[lane] = source.u[lane];
    putBackGprZeroUpperHalf();
}

// Bits 64..127 of the GPR stay as they were.
void opCfc2() { rtReg().d[0] = vu0.vi[fieldRd()]; }

void opQmtc2() {
    const Reg128& source = rtReg();
    VuVector& dest = vu0.vf[fieldRd()];
    for (unsigned lane = 0; lane < 4; ++lane) dest.u[lane] = source.w[lane];
}

// A plain store for every index: writing the flags or the VU0 control
// registers starts, resets or clears nothing.
void opCtc2() { vu0.vi[fieldRd()] = rtReg().w[0]; }

namespace {

void dispatchSpecial2();

constexpr auto kSpecial1Upper = vuUpperFunctionEntries<vu0>();
constexpr auto kSpecial1Lower = vuLowerFunctionEntries<vu0>();
constexpr std::array kSpecial1Dispatch = {
    OpcodeEntry{0x3C, dispatchSpecial2, "SPECIAL2"},
    OpcodeEntry{0x3D, dispatchSpecial2, "SPECIAL2"},
    OpcodeEntry{0x3E, dispatchSpecial2, "SPECIAL2"},
    OpcodeEntry{0x3F, dispatchSpecial2, "SPECIAL2"},
};
constexpr auto special1Table = buildOpcodeTable<64>(joinEntries(joinEntries(kSpecial1Upper, kSpecial1Lower), kSpecial1Dispatch));
constexpr auto special2Table = buildOpcodeTable<128>(joinEntries(vuUpperAccumulatorEntries<vu0>(), vuLowerSpecial2Entries<vu0>()));

void dispatchSpecial2() { special2Table[((vu0.code >> 6) & 31) * 4 + (vu0.code & 3)](); }

}  // namespace

void opVuMacro() {
    vu0.code = ee.code;
    special1Table[vu0.code & 63]();
}
