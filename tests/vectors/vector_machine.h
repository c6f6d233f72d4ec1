// The machine state that instruction vector rows name, and the values they
// give it.
//
// Names: the GPRs by their conventional names (t0, ra, ...), hi and lo
// (HI1:HI0, LO1:LO0), sa; f0..f31, facc, fcr0..fcr31; cop0.0..cop0.31;
// vf0..vf31, vacc, vi0..vi31 (vi16 up also as status, mac, clip, R, I, Q),
// vurandom (the state behind VRNEXT); `[N]`, the quadword at byte N of the
// row's data area, and `vu0[N]`, the quadword at byte N of VU0 data memory.
//
// Values: sums of terms joined by '+': numbers (hex with '_' allowed
// between digits, or decimal with an optional '-'), `data` (the data
// area's address) and `@` (the address of the row's first word). A number
// of at most 16 hex digits gives only the low doubleword of a 128-bit
// register: its upper doubleword is left as it was, and must stay so. More
// digits, or `{x,y,z,w}` lanes (floats, or bit patterns written in hex),
// give all 128 bits. `nan` expects any single-precision NaN.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/types.h"

struct MachineField {
    const char* name;
    u8* bytes;
    unsigned size;  // 4, 8 or 16
};

// The field NAME stands for, with the memory windows resolved for a data
// area at DATAAREA; nullopt for an unknown name.
std::optional<MachineField> machineField(const std::string& name, u8* dataArea);

// Every register field, each storage once, for the check that nothing
// a row does not name has changed.
const std::vector<MachineField>& registerFields();

struct VectorValue {
    u8 bytes[16] = {};
    unsigned width = 0;   // leading bytes the value gives; the rest are left alone
    bool anyNaN = false;  // any single-precision NaN
};

struct ValueContext {
    u32 dataAddress;
    u32 rowAddress;
};

// Reads TEXT as a value for a field of SIZE bytes; nullopt when it cannot be
// read or does not fit.
std::optional<VectorValue> readValue(const std::string& text, unsigned size, const ValueContext& context);

// A field's bytes for messages: hex, 128-bit fields as upper_lower.
std::string formatField(const u8* bytes, unsigned size);
