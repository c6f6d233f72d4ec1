// The GIF channel (PATH3): the data of every transfer goes to the GS plugin
// as "GSgifTransfer"(host pointer, quadwords). The emulator keeps no GIF
// state of its own: no path arbitration and no GIFtag parsing.
#pragma once

#include "core/types.h"

// VIF1 CHCR bit 5. When it is set, a GIF chain started by a 32-bit CHCR
// store also sends, before each tag's data, two quadwords from the tag's
// upper half on: the upper half followed by what lies after the tag. No
// other part of the machine reads this bit.
inline constexpr u32 kVif1ChcrGifTagHalves = 0x20;

// The data of one GIF transfer.
void gifChannelData(const u8* data, u32 quadwords);

// Called for each tag of a GIF chain started by a 32-bit CHCR store, before
// the tag's data.
void gifChannelTag(u32 tagAddress);

// A GIF packet handed over without a length ("GSgifTransfer2"), read from a
// ring of `ringQuadwords` quadwords (VU1 data memory, the scratchpad) from
// quadword `start` on and wrapping at its end, copied into `out` straight.
// Its length comes from walking its GIF tags to the one with EOP. A packet
// longer than the ring is cut before the first tag that does not fit and
// ended there with an empty EOP tag, so a plugin that reads until EOP never
// reads past the copy. `out` has room for ringQuadwords + 1 quadwords.
void copyGifPacket(const u8* ring, u32 ringQuadwords, u32 start, u32* out);
