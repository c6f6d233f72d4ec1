// The COP2 macro operations (the VU0 instructions the EE issues itself) in
// assembler syntax: "vadd.xyzw $vf1xyzw,$vf2xyzw,$vf3xyzw", with the
// destination field mask after the mnemonic and on every vector operand it
// applies to, the broadcast component on the broadcast operand, and $ACC,
// $Q, $I and $R for the accumulator and the special registers.
#pragma once

#include <string>

#include "core/types.h"

// `word` is a COP2 word with bit 25 set; `traceName` is the trace's name
// for it. Empty for the codes that name no operation.
std::string vuMacroInstruction(u32 word, const char* traceName);
