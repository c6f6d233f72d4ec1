// The COP2 slots of the EE opcode table, by rs: the register moves between
// the EE and VU0, and the macro operations (rs 16..31), which go on to the
// SPECIAL1 table in vu/cop2.cpp. The BC2 branches (rs 8) stay no-ops.
#pragma once

#include <array>

#include "core/tables.h"
#include "vu/cop2.h"

inline constexpr std::array kCop2Entries = {
    OpcodeEntry{1, opQmfc2, "QMFC2"},    OpcodeEntry{2, opCfc2, "CFC2"},
    OpcodeEntry{5, opQmtc2, "QMTC2"},    OpcodeEntry{6, opCtc2, "CTC2"},
    OpcodeEntry{16, opVuMacro, "VU0"},   OpcodeEntry{17, opVuMacro, "VU0"},
    OpcodeEntry{18, opVuMacro, "VU0"},   OpcodeEntry{19, opVuMacro, "VU0"},
    OpcodeEntry{20, opVuMacro, "VU0"},   OpcodeEntry{21, opVuMacro, "VU0"},
    OpcodeEntry{22, opVuMacro, "VU0"},   OpcodeEntry{23, opVuMacro, "VU0"},
    OpcodeEntry{24, opVuMacro, "VU0"},   OpcodeEntry{25, opVuMacro, "VU0"},
    OpcodeEntry{26, opVuMacro, "VU0"},   OpcodeEntry{27, opVuMacro, "VU0"},
    OpcodeEntry{28, opVuMacro, "VU0"},   OpcodeEntry{29, opVuMacro, "VU0"},
    OpcodeEntry{30, opVuMacro, "VU0"},   OpcodeEntry{31, opVuMacro, "VU0"},
};
