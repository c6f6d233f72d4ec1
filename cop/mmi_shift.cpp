// Parallel shifts: halfwords and words by the sa field, words by a count in
// each lane of rs, and the 256-bit funnel shift QFSRV by the SA register.
#include "cop/mmi.h"
#include "cop/mmi_lanes.h"

namespace {

// Every count is 0..31, so the shifts are done on 32-bit values, where all
// of them are defined: halfword shifts by 16..31 leave 0 or a lane of sign
// bits.
template <typename Lane>
Lane shiftLeft(Lane value, unsigned count) {
    return static_cast<Lane>(static_cast<u32>(value) << count);
}
template <typename Lane>
Lane shiftRightLogical(Lane value, unsigned count) {
    return static_cast<Lane>(static_cast<u32>(value) >> count);
}
template <typename Lane>
Lane shiftRightArithmetic(Lane value, unsigned count) {
    return static_cast<Lane>(static_cast<s32>(value) >> count);
}

// rd = each lane of rt shifted by the five-bit sa field.
template <typename Lane, Lane (*shift)(Lane, unsigned)>
void shiftLanesBySa() {
    const unsigned count = fieldSa();
    const Lanes<Lane> source = lanesOf<Lane>(rtReg());
    Lanes<Lane> result;
    for (std::size_t i = 0; i < result.size(); ++i) result[i] = shift(source[i], count);
    writeWholeRd(fromLanes<Lane>(result));
}

// Words 0 and 2 of rt, each shifted by the low five bits of the same word
// of rs; each 32-bit result fills a doubleword of rd, sign- or
// zero-extended.
template <u32 (*shift)(u32, unsigned), u64 (*extend)(u32)>
void shiftEvenWordsVariable() {
    const Reg128 counts = rsReg();
    const Reg128 source = rtReg();
    Reg128& destination = rdReg();
    destination.d[0] = extend(shift(source.w[0], counts.w[0] & 31));
    destination.d[1] = extend(shift(source.w[2], counts.w[2] & 31));
    putBackGprZeroUpperHalf();
}

u64 zeroExtend32(u32 value) { return value; }

}  // namespace

void opPsllh() { shiftLanesBySa<u16, shiftLeft<u16>>(); }
void opPsrlh() { shiftLanesBySa<u16, shiftRightLogical<u16>>(); }
void opPsrah() { shiftLanesBySa<s16, shiftRightArithmetic<s16>>(); }
void opPsllw() { shiftLanesBySa<u32, shiftLeft<u32>>(); }
void opPsrlw() { shiftLanesBySa<u32, shiftRightLogical<u32>>(); }
void opPsraw() { shiftLanesBySa<s32, shiftRightArithmetic<s32>>(); }

void opPsllvw() { shiftEvenWordsVariable<shiftLeft<u32>, signExtend32>(); }
void opPsrlvw() { shiftEvenWordsVariable<shiftRightLogical<u32>, zeroExtend32>(); }
void opPsravw() { shiftEvenWordsVariable<shiftRightArithmetic<u32>, signExtend32>(); }

// rd = the low 128 bits of the 256-bit value rs:rt shifted right by SA
// bits. SA holds a bit count; only its low seven bits are meaningful.
void opQfsrv() {
    const unsigned count = static_cast<unsigned>(ee.sa & 127);
    const u64 funnel[4] = {rtReg().d[0], rtReg().d[1], rsReg().d[0], rsReg().d[1]};
    const unsigned first = count / 64;
    const unsigned bits = count % 64;
    Reg128 result;
    for (unsigned k = 0; k < 2; ++k) {
        const u64 low = funnel[first + k];
        const u64 high = funnel[first + k + 1];
        result.d[k] = bits == 0 ? low : (low >> bits) | (high << (64 - bits));
    }
    writeWholeRd(result);
}
