// The multimedia instructions run as guest code (guest/mmi_ops.S). Each
// record is a 128-bit register stored with SQ: a destination primed with
// the pattern, or HI and LO read back with PMFHI and PMFLO. The expected
// values are worked out lane by lane from the instructions' rules and
// given as words w0..w3.

#include <gtest/gtest.h>

#include <array>
#include <span>

#include "core/types.h"
#include "support/guest_machine.h"

namespace {

struct MmiRecord {
    const char* what;
    std::array<u32, 4> words;
};

constexpr MmiRecord kWordsRecords[] = {
    {"PADDW wraps each word on its own", {0x80000000, 0x00000000, 0x00000003, 0x00000000}},
    {"PSUBW wraps each word on its own", {0xFFFFFFFF, 0x7FFFFFFF, 0x00000002, 0xFFFFFFFE}},
    {"PCGTW compares signed words", {0xFFFFFFFF, 0x00000000, 0x00000000, 0xFFFFFFFF}},
    {"PMAXW signed maximum", {0x00000001, 0x00000001, 0x00000008, 0x7FFFFFFF}},
    {"PMINW signed minimum", {0xFFFFFFFF, 0xFFFFFFFF, 0x00000007, 0x80000000}},
    {"PCEQW", {0xFFFFFFFF, 0x00000000, 0xFFFFFFFF, 0x00000000}},
    {"PADDSW saturates at both limits", {0x7FFFFFFF, 0x00000000, 0x80000000, 0x00000032}},
    {"PSUBSW saturates at both limits", {0x80000000, 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFE}},
    {"PADDUW saturates at 0xFFFFFFFF", {0xFFFFFFFF, 0xFFFFFFFF, 0x00000003, 0xFFFFFFFF}},
    {"PSUBUW stops at zero", {0x00000000, 0x00000001, 0x80000000, 0x00000000}},
    {"PABSW keeps 0x80000000", {0x00000001, 0x80000000, 0x00000005, 0x7FFFFFFF}},
    {"PLZCW of 0x40000000 and 0; upper doubleword kept", {0x00000000, 0x0000001F, 0x89ABCDEF, 0x01234567}},
    {"PLZCW of 0xFFFFFFFF and 0x80000000", {0x0000001F, 0x00000000, 0x89ABCDEF, 0x01234567}},
    {"PLZCW of 0xC0000000 and 1", {0x00000001, 0x0000001E, 0x89ABCDEF, 0x01234567}},
};

constexpr MmiRecord kHalfwordsRecords[] = {
    {"PADDH wraps without carrying into the next lane", {0x80000000, 0x00000003, 0x00070000, 0x2345FFFE}},
    {"PSUBH borrows within the lane", {0x7FFFFFFF, 0xFFFE0002, 0x00010000, 0xFFFE0000}},
    {"PCGTH compares signed halfwords", {0x0000FFFF, 0xFFFF0000, 0x00000000, 0x0000FFFF}},
    {"PMAXH", {0x00010001, 0x7FFF0007, 0x7FFF0000, 0x00040002}},
    {"PMINH", {0xFFFFFFFF, 0x80000007, 0x80000000, 0x00030001}},
    {"PCEQH", {0x0000FFFF, 0x0000FFFF, 0xFFFFFFFF, 0xFFFF0000}},
    {"PADDSH saturates at both limits", {0x00007FFF, 0x00328000, 0x80007FFF, 0x7FFF0000}},
    {"PSUBSH saturates at both limits", {0x7FFF8000, 0xFFFE7FFF, 0x7FFF8000, 0x80000000}},
    {"PADDUH saturates at 0xFFFF", {0xFFFFFFFF, 0xFFFF0003, 0xFFFF0000, 0x000BFFFF}},
    {"PSUBUH stops at zero", {0x00010000, 0x00008000, 0x00010000, 0x00000000}},
    {"PABSH keeps 0x8000", {0x80000001, 0x7FFF0005, 0x7FFF0000, 0x00010002}},
    {"PADSBH: differences low, sums high", {0xFFFF0007, 0x00007FFF, 0x0000000D, 0x000E8000}},
};

constexpr MmiRecord kBytesRecords[] = {
    {"PADDB wraps each byte", {0x00038000, 0x23FE0700, 0xFF000000, 0xFFFFFF12}},
    {"PSUBB borrows within the byte", {0xFE027FFF, 0xFE000100, 0x01E11EFF, 0xFFAB5500}},
    {"PCGTB compares signed bytes", {0xFF0000FF, 0x00FF0000, 0xFF00FF00, 0xFFFF00FF}},
    {"PCEQB", {0x0000FFFF, 0xFF00FFFF, 0x00FF00FF, 0x00FF00FF}},
    {"PADDSB saturates at both limits", {0x7F007F80, 0x00FFFF80, 0x807F0000, 0x807FFE03}},
    {"PSUBSB saturates at both limits", {0x7F7F7F80, 0x00807F80, 0x807FEC00, 0x807F00FF}},
    {"PADDUB saturates at 0xFF", {0xFF03FFFF, 0x0BFFFF00, 0xFFFFFFFF, 0xFFFFFFFF}},
    {"PSUBUB stops at zero", {0x00800100, 0x00000100, 0x00E0E100, 0x01000080}},
};

constexpr MmiRecord kLogicAndShiftsRecords[] = {
    {"PAND", {0x0F000F00, 0x12345678, 0x0000F0F0, 0x00000000}},
    {"POR", {0xFF0FFF0F, 0xFFFFFFFF, 0xF0F0FFFF, 0x80000001}},
    {"PXOR", {0xF00FF00F, 0xEDCBA987, 0xF0F00F0F, 0x80000001}},
    {"PNOR", {0x00F000F0, 0x00000000, 0x0F0F0000, 0x7FFFFFFE}},
    {"PSLLH by 0", {0x7FFF8000, 0xFFFF0001, 0x12348001, 0xC0004000}},
    {"PSRLH by 0", {0x7FFF8000, 0xFFFF0001, 0x12348001, 0xC0004000}},
    {"PSRAH by 0", {0x7FFF8000, 0xFFFF0001, 0x12348001, 0xC0004000}},
    {"PSLLH by 1", {0xFFFE0000, 0xFFFE0002, 0x24680002, 0x80008000}},
    {"PSRLH by 1", {0x3FFF4000, 0x7FFF0000, 0x091A4000, 0x60002000}},
    {"PSRAH by 1", {0x3FFFC000, 0xFFFF0000, 0x091AC000, 0xE0002000}},
    {"PSLLH by 15", {0x80000000, 0x80008000, 0x00008000, 0x00000000}},
    {"PSRLH by 15", {0x00000001, 0x00010000, 0x00000001, 0x00010000}},
    {"PSRAH by 15", {0x0000FFFF, 0xFFFF0000, 0x0000FFFF, 0xFFFF0000}},
    {"PSLLH by 16", {0x00000000, 0x00000000, 0x00000000, 0x00000000}},
    {"PSRLH by 16", {0x00000000, 0x00000000, 0x00000000, 0x00000000}},
    {"PSRAH by 16", {0x0000FFFF, 0xFFFF0000, 0x0000FFFF, 0xFFFF0000}},
    {"PSLLH by 20", {0x00000000, 0x00000000, 0x00000000, 0x00000000}},
    {"PSRLH by 20", {0x00000000, 0x00000000, 0x00000000, 0x00000000}},
    {"PSRAH by 20", {0x0000FFFF, 0xFFFF0000, 0x0000FFFF, 0xFFFF0000}},
    {"PSLLH by 31", {0x00000000, 0x00000000, 0x00000000, 0x00000000}},
    {"PSRLH by 31", {0x00000000, 0x00000000, 0x00000000, 0x00000000}},
    {"PSRAH by 31", {0x0000FFFF, 0xFFFF0000, 0x0000FFFF, 0xFFFF0000}},
    {"PSLLW by 0", {0x80000000, 0x7FFFFFFF, 0x00000001, 0xC0000001}},
    {"PSRLW by 0", {0x80000000, 0x7FFFFFFF, 0x00000001, 0xC0000001}},
    {"PSRAW by 0", {0x80000000, 0x7FFFFFFF, 0x00000001, 0xC0000001}},
    {"PSLLW by 1", {0x00000000, 0xFFFFFFFE, 0x00000002, 0x80000002}},
    {"PSRLW by 1", {0x40000000, 0x3FFFFFFF, 0x00000000, 0x60000000}},
    {"PSRAW by 1", {0xC0000000, 0x3FFFFFFF, 0x00000000, 0xE0000000}},
    {"PSLLW by 16", {0x00000000, 0xFFFF0000, 0x00010000, 0x00010000}},
    {"PSRLW by 16", {0x00008000, 0x00007FFF, 0x00000000, 0x0000C000}},
    {"PSRAW by 16", {0xFFFF8000, 0x00007FFF, 0x00000000, 0xFFFFC000}},
    {"PSLLW by 31", {0x00000000, 0x80000000, 0x80000000, 0x80000000}},
    {"PSRLW by 31", {0x00000001, 0x00000000, 0x00000000, 0x00000001}},
    {"PSRAW by 31", {0xFFFFFFFF, 0x00000000, 0x00000000, 0xFFFFFFFF}},
    {"PSLLVW by 0 and 31", {0x80000001, 0xFFFFFFFF, 0x00000000, 0x00000000}},
    {"PSRLVW by 0 and 31", {0x80000001, 0x00000000, 0x00000001, 0x00000000}},
    {"PSRAVW by 0 and 31", {0x80000001, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}},
    {"PSLLVW by 33 and -12 use their low five bits", {0x00000002, 0x00000000, 0x00000000, 0x00000000}},
    {"PSRLVW by 33 and -12 use their low five bits", {0x40000000, 0x00000000, 0x00000C00, 0x00000000}},
    {"PSRAVW by 33 and -12 use their low five bits", {0xC0000000, 0xFFFFFFFF, 0xFFFFFC00, 0xFFFFFFFF}},
    {"PSLLVW by 1 and 16", {0x00000002, 0x00000000, 0x00000000, 0x00000000}},
    {"PSRLVW by 1 and 16", {0x40000000, 0x00000000, 0x0000C000, 0x00000000}},
    {"PSRAVW by 1 and 16", {0xC0000000, 0xFFFFFFFF, 0xFFFFC000, 0xFFFFFFFF}},
};

constexpr MmiRecord kRearrangementsRecords[] = {
    {"PEXTLW", {0xB3B2B1B0, 0xA3A2A1A0, 0xB7B6B5B4, 0xA7A6A5A4}},
    {"PEXTUW", {0xBBBAB9B8, 0xABAAA9A8, 0xBFBEBDBC, 0xAFAEADAC}},
    {"PPACW", {0xB3B2B1B0, 0xBBBAB9B8, 0xA3A2A1A0, 0xABAAA9A8}},
    {"PEXTLH", {0xA1A0B1B0, 0xA3A2B3B2, 0xA5A4B5B4, 0xA7A6B7B6}},
    {"PEXTUH", {0xA9A8B9B8, 0xABAABBBA, 0xADACBDBC, 0xAFAEBFBE}},
    {"PPACH", {0xB5B4B1B0, 0xBDBCB9B8, 0xA5A4A1A0, 0xADACA9A8}},
    {"PEXTLB", {0xA1B1A0B0, 0xA3B3A2B2, 0xA5B5A4B4, 0xA7B7A6B6}},
    {"PEXTUB", {0xA9B9A8B8, 0xABBBAABA, 0xADBDACBC, 0xAFBFAEBE}},
    {"PPACB", {0xB6B4B2B0, 0xBEBCBAB8, 0xA6A4A2A0, 0xAEACAAA8}},
    {"PINTH", {0xA9A8B1B0, 0xABAAB3B2, 0xADACB5B4, 0xAFAEB7B6}},
    {"PINTEH", {0xA1A0B1B0, 0xA5A4B5B4, 0xA9A8B9B8, 0xADACBDBC}},
    {"PCPYLD", {0xB3B2B1B0, 0xB7B6B5B4, 0xA3A2A1A0, 0xA7A6A5A4}},
    {"PCPYUD", {0xABAAA9A8, 0xAFAEADAC, 0xBBBAB9B8, 0xBFBEBDBC}},
    {"PEXEH", {0xB3B2B5B4, 0xB7B6B1B0, 0xBBBABDBC, 0xBFBEB9B8}},
    {"PREVH", {0xB5B4B7B6, 0xB1B0B3B2, 0xBDBCBFBE, 0xB9B8BBBA}},
    {"PEXCH", {0xB5B4B1B0, 0xB7B6B3B2, 0xBDBCB9B8, 0xBFBEBBBA}},
    {"PCPYH", {0xB1B0B1B0, 0xB1B0B1B0, 0xB9B8B9B8, 0xB9B8B9B8}},
    {"PEXEW", {0xBBBAB9B8, 0xB7B6B5B4, 0xB3B2B1B0, 0xBFBEBDBC}},
    {"PROT3W", {0xB7B6B5B4, 0xBBBAB9B8, 0xB3B2B1B0, 0xBFBEBDBC}},
    {"PEXCW", {0xB3B2B1B0, 0xBBBAB9B8, 0xB7B6B5B4, 0xBFBEBDBC}},
    {"PEXT5 spreads 1-5-5-5 colours and ignores the upper halfword", {0x80F8F8F8, 0x80000008, 0x0000F800, 0x00F80000}},
    {"PPAC5 packs the top five bits of each component", {0x0000FFFF, 0x00000000, 0x00000001, 0x0000AE9E}},
};

constexpr MmiRecord kMultiplyAddRecords[] = {
    {"MADD adds a negative product to HI0:LO0: rd", {0x55555546, 0x00000000, 0x89ABCDEF, 0x01234567}},
    {"MADD adds a negative product to HI0:LO0: HI", {0x11111111, 0x00000000, 0x33333333, 0x44444444}},
    {"MADD adds a negative product to HI0:LO0: LO", {0x55555546, 0x00000000, 0x77777777, 0x88888888}},
    {"MADDU carries from LO into HI: rd", {0xFFFFFFFD, 0xFFFFFFFF, 0x89ABCDEF, 0x01234567}},
    {"MADDU carries from LO into HI: HI", {0x00000002, 0x00000000, 0xAAAAAAAA, 0xBBBBBBBB}},
    {"MADDU carries from LO into HI: LO", {0xFFFFFFFD, 0xFFFFFFFF, 0xCCCCCCCC, 0xDDDDDDDD}},
    {"MADD1 works on HI1:LO1: rd", {0x77777778, 0x00000000, 0x89ABCDEF, 0x01234567}},
    {"MADD1 works on HI1:LO1: HI", {0x11111111, 0x22222222, 0x73333332, 0x00000000}},
    {"MADD1 works on HI1:LO1: LO", {0x55555555, 0x66666666, 0x77777778, 0x00000000}},
    {"MADDU1 unsigned product on HI1:LO1: rd", {0x77777778, 0x00000000, 0x89ABCDEF, 0x01234567}},
    {"MADDU1 unsigned product on HI1:LO1: HI", {0x11111111, 0x22222222, 0x33333331, 0x00000000}},
    {"MADDU1 unsigned product on HI1:LO1: LO", {0x55555555, 0x66666666, 0x77777778, 0x00000000}},
    {"MULT1 signed product into HI1/LO1: rd", {0xFFFFFFF1, 0xFFFFFFFF, 0x89ABCDEF, 0x01234567}},
    {"MULT1 signed product into HI1/LO1: HI", {0x11111111, 0x22222222, 0xFFFFFFFF, 0xFFFFFFFF}},
    {"MULT1 signed product into HI1/LO1: LO", {0x55555555, 0x66666666, 0xFFFFFFF1, 0xFFFFFFFF}},
    {"MULTU1 unsigned product into HI1/LO1: rd", {0x00000001, 0x00000000, 0x89ABCDEF, 0x01234567}},
    {"MULTU1 unsigned product into HI1/LO1: HI", {0x11111111, 0x22222222, 0xFFFFFFFE, 0xFFFFFFFF}},
    {"MULTU1 unsigned product into HI1/LO1: LO", {0x55555555, 0x66666666, 0x00000001, 0x00000000}},
    {"MADD with rd = 0: HI", {0x11111111, 0x00000000, 0x33333333, 0x44444444}},
    {"MADD with rd = 0: LO", {0x5555555B, 0x00000000, 0x77777777, 0x88888888}},
    {"MFHI1 reads HI1 into rd's low doubleword", {0x33333333, 0x44444444, 0x89ABCDEF, 0x01234567}},
    {"MFLO1 reads LO1 into rd's low doubleword", {0x77777777, 0x88888888, 0x89ABCDEF, 0x01234567}},
    {"MTHI1 and MTLO1 write only the upper doublewords: HI", {0x11111111, 0x22222222, 0x76543210, 0x01234567}},
    {"MTHI1 and MTLO1 write only the upper doublewords: LO", {0x55555555, 0x66666666, 0xFEDCBA98, 0x89ABCDEF}},
};

constexpr MmiRecord kDivisionsRecords[] = {
    {"DIV1 -7 / 2 truncates toward zero: HI", {0x11111111, 0x22222222, 0xFFFFFFFF, 0xFFFFFFFF}},
    {"DIV1 -7 / 2 truncates toward zero: LO", {0x55555555, 0x66666666, 0xFFFFFFFD, 0xFFFFFFFF}},
    {"DIV1 0x80000000 / -1: HI", {0x11111111, 0x22222222, 0x00000000, 0x00000000}},
    {"DIV1 0x80000000 / -1: LO", {0x55555555, 0x66666666, 0x80000000, 0xFFFFFFFF}},
    {"DIV1 by zero changes nothing: HI", {0x11111111, 0x22222222, 0x33333333, 0x44444444}},
    {"DIV1 by zero changes nothing: LO", {0x55555555, 0x66666666, 0x77777777, 0x88888888}},
    {"DIV1 by a low word of zero in a non-zero doubleword: HI", {0x11111111, 0x22222222, 0xFFFFFB2E, 0xFFFFFFFF}},
    {"DIV1 by a low word of zero in a non-zero doubleword: LO", {0x55555555, 0x66666666, 0x00000001, 0x00000000}},
    {"DIVU1 0xFFFFFFFF / 2 zero-extended: HI", {0x11111111, 0x22222222, 0x00000001, 0x00000000}},
    {"DIVU1 0xFFFFFFFF / 2 zero-extended: LO", {0x55555555, 0x66666666, 0x7FFFFFFF, 0x00000000}},
    {"DIVU1 by zero changes nothing: HI", {0x11111111, 0x22222222, 0x33333333, 0x44444444}},
    {"DIVU1 by zero changes nothing: LO", {0x55555555, 0x66666666, 0x77777777, 0x88888888}},
    {"PDIVW signed quotients and remainders: HI", {0xFFFFFFFF, 0xFFFFFFFF, 0x00000001, 0x00000000}},
    {"PDIVW signed quotients and remainders: LO", {0xFFFFFFFD, 0xFFFFFFFF, 0xFFFFFFFD, 0xFFFFFFFF}},
    {"PDIVW by zero: HI", {0x00000005, 0x00000000, 0xFFFFFFFB, 0xFFFFFFFF}},
    {"PDIVW by zero: LO", {0xFFFFFFFF, 0xFFFFFFFF, 0x00000001, 0x00000000}},
    {"PDIVW 0x80000000 / -1 and 0 / 0: HI", {0x00000000, 0x00000000, 0x00000000, 0x00000000}},
    {"PDIVW 0x80000000 / -1 and 0 / 0: LO", {0x80000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF}},
    {"PDIVUW zero-extended: HI", {0x00000001, 0x00000000, 0x00000002, 0x00000000}},
    {"PDIVUW zero-extended: LO", {0x7FFFFFFF, 0x00000000, 0x2AAAAAAA, 0x00000000}},
    {"PDIVUW by zero: HI", {0x00000005, 0x00000000, 0x80000000, 0x00000000}},
    {"PDIVUW by zero: LO", {0xFFFFFFFF, 0x00000000, 0xFFFFFFFF, 0x00000000}},
    {"PDIVBW by -7 from rt's low halfword: HI", {0x00000006, 0xFFFFFFFA, 0x00000000, 0x00000000}},
    {"PDIVBW by -7 from rt's low halfword: LO", {0xFFFFFF72, 0x0000008E, 0xFFFFFFFF, 0x00000001}},
    {"PDIVBW by -32768: HI", {0x00007FFF, 0x00000000, 0x000006A0, 0xFFFFF960}},
    {"PDIVBW by -32768: LO", {0xFFFF0001, 0x00010000, 0xFFFFFFFD, 0x00000003}},
    {"PDIVBW by zero: HI", {0x00000005, 0xFFFFFFFB, 0x00002345, 0xFFFF8765}},
    {"PDIVBW by zero: LO", {0xFFFFFFFF, 0x00000001, 0xFFFFFFFF, 0x00000001}},
    {"PDIVBW 0x80000000 / -1: HI", {0x00000000, 0x00000000, 0x00000000, 0x00000000}},
    {"PDIVBW 0x80000000 / -1: LO", {0x80000000, 0xFFFFFFFF, 0x00000000, 0x00000009}},
};

constexpr MmiRecord kParallelMultipliesRecords[] = {
    {"PMULTW: rd", {0x00000000, 0x00000001, 0x80000003, 0xFFFFFFFE}},
    {"PMULTW: HI", {0x00000001, 0x00000000, 0xFFFFFFFE, 0xFFFFFFFF}},
    {"PMULTW: LO", {0x00000000, 0x00000000, 0x80000003, 0xFFFFFFFF}},
    {"PMULTUW: rd", {0x00000000, 0x00000001, 0x80000003, 0x7FFFFFFD}},
    {"PMULTUW: HI", {0x00000001, 0x00000000, 0x7FFFFFFD, 0x00000000}},
    {"PMULTUW: LO", {0x00000000, 0x00000000, 0x80000003, 0x00000000}},
    {"PMADDW: rd", {0xFFFFFFFF, 0x00000002, 0x80000002, 0x7FFFFFFE}},
    {"PMADDW: HI", {0x00000002, 0x00000000, 0x7FFFFFFE, 0x00000000}},
    {"PMADDW: LO", {0xFFFFFFFF, 0xFFFFFFFF, 0x80000002, 0xFFFFFFFF}},
    {"PMSUBW: rd", {0xFFFFFFFF, 0x00000000, 0x7FFFFFFC, 0x80000001}},
    {"PMSUBW: HI", {0x00000000, 0x00000000, 0x80000001, 0xFFFFFFFF}},
    {"PMSUBW: LO", {0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFC, 0x00000000}},
    {"PMADDUW: rd", {0xFFFFFFFF, 0x00000002, 0x80000002, 0x7FFFFFFD}},
    {"PMADDUW: HI", {0x00000002, 0x00000000, 0x7FFFFFFD, 0x00000000}},
    {"PMADDUW: LO", {0xFFFFFFFF, 0x00000000, 0x80000002, 0x00000000}},
    {"PMULTH: rd", {0x3FFF0001, 0xFFFFFFFB, 0xC0008000, 0x00012340}},
    {"PMULTH: HI", {0xFFFFFFFB, 0xFFFFFFF7, 0x00012340, 0xFFFFFFF2}},
    {"PMULTH: LO", {0x3FFF0001, 0x40000000, 0xC0008000, 0x00008000}},
    {"PMADDH: rd", {0xBFFF0001, 0x1111110C, 0xC0008001, 0x33345673}},
    {"PMADDH: HI", {0x1111110C, 0x22222219, 0x33345673, 0x44444436}},
    {"PMADDH: LO", {0xBFFF0001, 0x3FFFFFFF, 0xC0008001, 0x00008002}},
    {"PMSUBH: rd", {0x4000FFFF, 0x11111116, 0x3FFF8001, 0x33320FF3}},
    {"PMSUBH: HI", {0x11111116, 0x2222222B, 0x33320FF3, 0x44444452}},
    {"PMSUBH: LO", {0x4000FFFF, 0xBFFFFFFF, 0x3FFF8001, 0xFFFF8002}},
    {"PHMADH: rd", {0x7FFF0001, 0xFFFFFFF2, 0xC0010000, 0x00012332}},
    {"PHMADH: HI", {0xFFFFFFF2, 0x00000000, 0x00012332, 0x00000000}},
    {"PHMADH: LO", {0x7FFF0001, 0x00000000, 0xC0010000, 0x00000000}},
    {"PHMSBH: rd", {0x0000FFFF, 0xFFFFFFFC, 0x40000000, 0xFFFEDCB2}},
    {"PHMSBH: HI", {0xFFFFFFFC, 0x00000000, 0xFFFEDCB2, 0x00000000}},
    {"PHMSBH: LO", {0x0000FFFF, 0x00000000, 0x40000000, 0x00000000}},
};

constexpr MmiRecord kHiLoMovesRecords[] = {
    {"PMTHI and PMTLO set all 128 bits: HI", {0x00000001, 0x00000000, 0x80000000, 0xFFFFFFFF}},
    {"PMTHI and PMTLO set all 128 bits: LO", {0x00000002, 0x00000003, 0x00001234, 0xFFFFFFFF}},
    {"PMFHL.LW of small and negative values", {0x00000002, 0x00000001, 0x00001234, 0x80000000}},
    {"PMFHL.UW of small and negative values", {0x00000003, 0x00000000, 0xFFFFFFFF, 0xFFFFFFFF}},
    {"PMFHL.SLW of small and negative values", {0x7FFFFFFF, 0x00000000, 0x80000000, 0xFFFFFFFF}},
    {"PMFHL.LH of small and negative values", {0x00030002, 0x00000001, 0xFFFF1234, 0xFFFF0000}},
    {"PMFHL.SH of small and negative values", {0x00030002, 0x00000001, 0xFFFF1234, 0xFFFF8000}},
    {"PMFHL.SLW saturates", {0x7FFFFFFF, 0x00000000, 0x80000000, 0xFFFFFFFF}},
    {"PMFHL.SH saturates", {0x80007FFF, 0x7FFF7FFF, 0x7FFF7FFF, 0x0000FFFF}},
    {"PMFHL.SLW of values inside the word range", {0x12345678, 0x00000000, 0xFFFFFFFE, 0xFFFFFFFF}},
    {"PMFHL with format 5 leaves rd alone", {0xCAFEF00D, 0xDEADBEEF, 0x89ABCDEF, 0x01234567}},
    {"PMTHL.LW writes the even words of LO and HI: HI", {0xB1B1B1B1, 0x22222222, 0xD3D3D3D3, 0x44444444}},
    {"PMTHL.LW writes the even words of LO and HI: LO", {0xA0A0A0A0, 0x66666666, 0xC2C2C2C2, 0x88888888}},
    {"PMTHL with format 1 leaves HI and LO alone: HI", {0xB1B1B1B1, 0x22222222, 0xD3D3D3D3, 0x44444444}},
    {"PMTHL with format 1 leaves HI and LO alone: LO", {0xA0A0A0A0, 0x66666666, 0xC2C2C2C2, 0x88888888}},
};

// The record tables in the program's order.
const std::span<const MmiRecord> kGroups[] = {
    kWordsRecords,        kHalfwordsRecords,         kBytesRecords,
    kLogicAndShiftsRecords, kRearrangementsRecords,  kMultiplyAddRecords,
    kDivisionsRecords,    kParallelMultipliesRecords, kHiLoMovesRecords,
};

unsigned firstRecordOf(std::span<const MmiRecord> group) {
    unsigned first = 0;
    for (std::span<const MmiRecord> earlier : kGroups) {
        if (earlier.data() == group.data()) return first;
        first += earlier.size();
    }
    ADD_FAILURE() << "record table not listed in kGroups";
    return 0;
}

unsigned tableRecordCount() {
    unsigned count = 0;
    for (std::span<const MmiRecord> group : kGroups) count += group.size();
    return count;
}

constexpr unsigned kQfsrvSweep = 128;

std::array<u32, 4> recordWords(unsigned index) {
    const u32 address = guestSymbol("results") + 16 * index;
    return {guestWord(address), guestWord(address + 4), guestWord(address + 8), guestWord(address + 12)};
}

class MmiOps : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(loadGuestProgram("mmi_ops"));
        ASSERT_EQ(runGuest(1'000'000), StopReason::IdleLoop);
    }

    void SetUp() override {
        ASSERT_EQ(guestWord(guestSymbol("resultCount")), tableRecordCount() + kQfsrvSweep);
    }

    static void expectRecords(std::span<const MmiRecord> group) {
        const unsigned first = firstRecordOf(group);
        for (unsigned i = 0; i < group.size(); ++i) {
            SCOPED_TRACE(testing::Message() << "record " << first + i << ": " << group[i].what);
            EXPECT_EQ(recordWords(first + i), group[i].words);
        }
    }
};

TEST_F(MmiOps, WordArithmeticAndLeadingBits) { expectRecords(kWordsRecords); }
TEST_F(MmiOps, HalfwordArithmetic) { expectRecords(kHalfwordsRecords); }
TEST_F(MmiOps, ByteArithmetic) { expectRecords(kBytesRecords); }
TEST_F(MmiOps, LogicAndShifts) { expectRecords(kLogicAndShiftsRecords); }
TEST_F(MmiOps, Rearrangements) { expectRecords(kRearrangementsRecords); }
TEST_F(MmiOps, MultiplyAddAndPipelineOne) { expectRecords(kMultiplyAddRecords); }
TEST_F(MmiOps, DivisionsAndTheirCornerCases) { expectRecords(kDivisionsRecords); }
TEST_F(MmiOps, ParallelMultiplies) { expectRecords(kParallelMultipliesRecords); }
TEST_F(MmiOps, HiLoMoves) { expectRecords(kHiLoMovesRecords); }

// QFSRV against the host's own 256-bit shift of rs:rt, built from two
// 128-bit halves.
TEST_F(MmiOps, QfsrvFunnelsEveryShiftAmount) {
    using u128 = unsigned __int128;
    const u128 rs = (u128{0x0F0E0D0C0B0A0908} << 64) | 0x0706050403020100;
    const u128 rt = (u128{0xB4A59687F0E1D2C3} << 64) | 0x0123456789ABCDEF;
    const unsigned first = tableRecordCount();
    for (unsigned sa = 0; sa < kQfsrvSweep; ++sa) {
        const u128 expected = sa == 0 ? rt : (rt >> sa) | (rs << (128 - sa));
        const std::array<u32, 4> words = recordWords(first + sa);
        const u128 actual = (u128{words[3]} << 96) | (u128{words[2]} << 64) | (u128{words[1]} << 32) | words[0];
        EXPECT_TRUE(actual == expected) << "SA " << sa;
    }
}

}  // namespace
