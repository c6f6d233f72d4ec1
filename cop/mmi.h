// The R5900 multimedia instructions (primary opcode 28): the MMI table's
// own multiply/divide pipeline-1 forms and shifts, and the parallel
// instructions of the MMI0..MMI3 sub-tables, which treat a 128-bit register
// as sixteen bytes, eight halfwords, four words or two doublewords.
#pragma once

// MMI table: the multiply-add forms, the second multiply/divide pipeline
// (HI1/LO1) and the shifts by the sa field. PMFHL and PMTHL carry their
// format in the sa field.
void opMadd();
void opMaddu();
void opPlzcw();
void opMfhi1();
void opMthi1();
void opMflo1();
void opMtlo1();
void opMult1();
void opMultu1();
void opDiv1();
void opDivu1();
void opMadd1();
void opMaddu1();
void opPmfhl();
void opPmthl();
void opPsllh();
void opPsrlh();
void opPsrah();
void opPsllw();
void opPsrlw();
void opPsraw();

// MMI0.
void opPaddw();
void opPsubw();
void opPcgtw();
void opPmaxw();
void opPaddh();
void opPsubh();
void opPcgth();
void opPmaxh();
void opPaddb();
void opPsubb();
void opPcgtb();
void opPaddsw();
void opPsubsw();
void opPextlw();
void opPpacw();
void opPaddsh();
void opPsubsh();
void opPextlh();
void opPpach();
void opPaddsb();
void opPsubsb();
void opPextlb();
void opPpacb();
void opPext5();
void opPpac5();

// MMI1.
void opPabsw();
void opPceqw();
void opPminw();
void opPadsbh();
void opPabsh();
void opPceqh();
void opPminh();
void opPceqb();
void opPadduw();
void opPsubuw();
void opPextuw();
void opPadduh();
void opPsubuh();
void opPextuh();
void opPaddub();
void opPsubub();
void opPextub();
void opQfsrv();

// MMI2.
void opPmaddw();
void opPsllvw();
void opPsrlvw();
void opPmsubw();
void opPmfhi();
void opPmflo();
void opPinth();
void opPmultw();
void opPdivw();
void opPcpyld();
void opPmaddh();
void opPhmadh();
void opPand();
void opPxor();
void opPmsubh();
void opPhmsbh();
void opPexeh();
void opPrevh();
void opPmulth();
void opPdivbw();
void opPexew();
void opProt3w();

// MMI3.
void opPmadduw();
void opPsravw();
void opPmthi();
void opPmtlo();
void opPinteh();
void opPmultuw();
void opPdivuw();
void opPcpyud();
void opPor();
void opPnor();
void opPexch();
void opPcpyh();
void opPexcw();
