// VIF1 command words and the VU1 memories as the VIF tests build and read
// them.
#pragma once

#include <array>
#include <vector>

#include "core/types.h"
#include "memory/host_access.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"

inline constexpr u32 vifCode(u32 command, u32 num = 0, u32 imm16 = 0) { return command << 24 | num << 16 | imm16; }

enum VifCommand : u32 {
    Nop = 0x00, Stcycl = 0x01, Offset = 0x02, Base = 0x03, Itop = 0x04, Stmod = 0x05, Mark = 0x07,
    Mscal = 0x14, Mscalf = 0x15, Mscnt = 0x17, Stmask = 0x20, Strow = 0x30, Stcol = 0x31,
    Mpg = 0x4A, Direct = 0x50, DirectHl = 0x51, MaskedUnpack = 0x70,
};

inline constexpr u32 kUnsigned = 0x4000;
inline constexpr u32 kFlg = 0x8000;

// UNPACK of `num` vectors of format (vn, vl) to quadword `address` (with
// the flag bits in its upper bits).
inline constexpr u32 unpackCode(u32 vn, u32 vl, u32 num, u32 address) {
    return vifCode(0x60 | vn << 2 | vl, num, address);
}

inline void sendToVif(std::vector<u32> words) { vifCommandStream(words.data(), static_cast<u32>(words.size())); }

using Quadword = std::array<u32, 4>;

inline Quadword dataQuadword(u32 index) {
    Quadword lanes;
    for (unsigned lane = 0; lane < 4; ++lane) lanes[lane] = hostLoad<u32>(vu1.dataMem + index * 16 + 4 * lane);
    return lanes;
}

inline u32 microWord(u32 byteOffset) { return hostLoad<u32>(vu1.microMem + byteOffset); }

inline constexpr u32 kUntouched = 0xDDDDDDDD;

inline void fillVu1Memories() {
    for (u32 at = 0; at < 0x4000; at += 4) {
        hostStore<u32>(vu1.dataMem + at, kUntouched);
        hostStore<u32>(vu1.microMem + at, kUntouched);
    }
}
