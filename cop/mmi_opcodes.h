// The multimedia instructions' slots: the MMI table by function, and the
// MMI0..MMI3 tables by bits 10..6. The MMI table's slots 8, 9, 40 and 41
// lead to the sub-tables and are filled by the dispatcher itself.
#pragma once

#include <array>

#include "cop/mmi.h"
#include "core/tables.h"

inline constexpr std::array kMmiEntries = {
    OpcodeEntry{0x00, opMadd, "MADD"},
    OpcodeEntry{0x01, opMaddu, "MADDU"},
    OpcodeEntry{0x04, opPlzcw, "PLZCW"},
    OpcodeEntry{0x10, opMfhi1, "MFHI1"},
    OpcodeEntry{0x11, opMthi1, "MTHI1"},
    OpcodeEntry{0x12, opMflo1, "MFLO1"},
    OpcodeEntry{0x13, opMtlo1, "MTLO1"},
    OpcodeEntry{0x18, opMult1, "MULT1"},
    OpcodeEntry{0x19, opMultu1, "MULTU1"},
    OpcodeEntry{0x1A, opDiv1, "DIV1"},
    OpcodeEntry{0x1B, opDivu1, "DIVU1"},
    OpcodeEntry{0x20, opMadd1, "MADD1"},
    OpcodeEntry{0x21, opMaddu1, "MADDU1"},
    OpcodeEntry{0x30, opPmfhl, "PMFHL"},
    OpcodeEntry{0x31, opPmthl, "PMTHL"},
    OpcodeEntry{0x34, opPsllh, "PSLLH"},
    OpcodeEntry{0x36, opPsrlh, "PSRLH"},
    OpcodeEntry{0x37, opPsrah, "PSRAH"},
    OpcodeEntry{0x3C, opPsllw, "PSLLW"},
    OpcodeEntry{0x3E, opPsrlw, "PSRLW"},
    OpcodeEntry{0x3F, opPsraw, "PSRAW"},
};

inline constexpr std::array kMmi0Entries = {
    OpcodeEntry{0x00, opPaddw, "PADDW"},
    OpcodeEntry{0x01, opPsubw, "PSUBW"},
    OpcodeEntry{0x02, opPcgtw, "PCGTW"},
    OpcodeEntry{0x03, opPmaxw, "PMAXW"},
    OpcodeEntry{0x04, opPaddh, "PADDH"},
    OpcodeEntry{0x05, opPsubh, "PSUBH"},
    OpcodeEntry{0x06, opPcgth, "PCGTH"},
    OpcodeEntry{0x07, opPmaxh, "PMAXH"},
    OpcodeEntry{0x08, opPaddb, "PADDB"},
    OpcodeEntry{0x09, opPsubb, "PSUBB"},
    OpcodeEntry{0x0A, opPcgtb, "PCGTB"},
    OpcodeEntry{0x10, opPaddsw, "PADDSW"},
    OpcodeEntry{0x11, opPsubsw, "PSUBSW"},
    OpcodeEntry{0x12, opPextlw, "PEXTLW"},
    OpcodeEntry{0x13, opPpacw, "PPACW"},
    OpcodeEntry{0x14, opPaddsh, "PADDSH"},
    OpcodeEntry{0x15, opPsubsh, "PSUBSH"},
    OpcodeEntry{0x16, opPextlh, "PEXTLH"},
    OpcodeEntry{0x17, opPpach, "PPACH"},
    OpcodeEntry{0x18, opPaddsb, "PADDSB"},
    OpcodeEntry{0x19, opPsubsb, "PSUBSB"},
    OpcodeEntry{0x1A, opPextlb, "PEXTLB"},
    OpcodeEntry{0x1B, opPpacb, "PPACB"},
    OpcodeEntry{0x1E, opPext5, "PEXT5"},
    OpcodeEntry{0x1F, opPpac5, "PPAC5"},
};

inline constexpr std::array kMmi1Entries = {
    OpcodeEntry{0x01, opPabsw, "PABSW"},
    OpcodeEntry{0x02, opPceqw, "PCEQW"},
    OpcodeEntry{0x03, opPminw, "PMINW"},
    OpcodeEntry{0x04, opPadsbh, "PADSBH"},
    OpcodeEntry{0x05, opPabsh, "PABSH"},
    OpcodeEntry{0x06, opPceqh, "PCEQH"},
    OpcodeEntry{0x07, opPminh, "PMINH"},
    OpcodeEntry{0x0A, opPceqb, "PCEQB"},
    OpcodeEntry{0x10, opPadduw, "PADDUW"},
    OpcodeEntry{0x11, opPsubuw, "PSUBUW"},
    OpcodeEntry{0x12, opPextuw, "PEXTUW"},
    OpcodeEntry{0x14, opPadduh, "PADDUH"},
    OpcodeEntry{0x15, opPsubuh, "PSUBUH"},
    OpcodeEntry{0x16, opPextuh, "PEXTUH"},
    OpcodeEntry{0x18, opPaddub, "PADDUB"},
    OpcodeEntry{0x19, opPsubub, "PSUBUB"},
    OpcodeEntry{0x1A, opPextub, "PEXTUB"},
    OpcodeEntry{0x1B, opQfsrv, "QFSRV"},
};

inline constexpr std::array kMmi2Entries = {
    OpcodeEntry{0x00, opPmaddw, "PMADDW"},
    OpcodeEntry{0x02, opPsllvw, "PSLLVW"},
    OpcodeEntry{0x03, opPsrlvw, "PSRLVW"},
    OpcodeEntry{0x04, opPmsubw, "PMSUBW"},
    OpcodeEntry{0x08, opPmfhi, "PMFHI"},
    OpcodeEntry{0x09, opPmflo, "PMFLO"},
    OpcodeEntry{0x0A, opPinth, "PINTH"},
    OpcodeEntry{0x0C, opPmultw, "PMULTW"},
    OpcodeEntry{0x0D, opPdivw, "PDIVW"},
    OpcodeEntry{0x0E, opPcpyld, "PCPYLD"},
    OpcodeEntry{0x10, opPmaddh, "PMADDH"},
    OpcodeEntry{0x11, opPhmadh, "PHMADH"},
    OpcodeEntry{0x12, opPand, "PAND"},
    OpcodeEntry{0x13, opPxor, "PXOR"},
    OpcodeEntry{0x14, opPmsubh, "PMSUBH"},
    OpcodeEntry{0x15, opPhmsbh, "PHMSBH"},
    OpcodeEntry{0x1A, opPexeh, "PEXEH"},
    OpcodeEntry{0x1B, opPrevh, "PREVH"},
    OpcodeEntry{0x1C, opPmulth, "PMULTH"},
    OpcodeEntry{0x1D, opPdivbw, "PDIVBW"},
    OpcodeEntry{0x1E, opPexew, "PEXEW"},
    OpcodeEntry{0x1F, opProt3w, "PROT3W"},
};

inline constexpr std::array kMmi3Entries = {
    OpcodeEntry{0x00, opPmadduw, "PMADDUW"},
    OpcodeEntry{0x03, opPsravw, "PSRAVW"},
    OpcodeEntry{0x08, opPmthi, "PMTHI"},
    OpcodeEntry{0x09, opPmtlo, "PMTLO"},
    OpcodeEntry{0x0A, opPinteh, "PINTEH"},
    OpcodeEntry{0x0C, opPmultuw, "PMULTUW"},
    OpcodeEntry{0x0D, opPdivuw, "PDIVUW"},
    OpcodeEntry{0x0E, opPcpyud, "PCPYUD"},
    OpcodeEntry{0x12, opPor, "POR"},
    OpcodeEntry{0x13, opPnor, "PNOR"},
    OpcodeEntry{0x1A, opPexch, "PEXCH"},
    OpcodeEntry{0x1B, opPcpyh, "PCPYH"},
    OpcodeEntry{0x1E, opPexcw, "PEXCW"},
};
