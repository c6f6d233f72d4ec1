// VU0 as the EE's coprocessor 2: the register moves and the macro-mode
// operations issued from the EE instruction stream.
#pragma once

void opQmfc2();
void opCfc2();
void opQmtc2();
void opCtc2();
// rs 16..31: runs one macro operation on vu0 through SPECIAL1/SPECIAL2.
void opVuMacro();
