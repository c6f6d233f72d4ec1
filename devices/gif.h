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

// The GS draws as it reads, and one quadword can ask for primitives as
// large as the scissor allows (a REGLIST quadword of two XYZ2 writes kicks
// two triangles of up to 2048 x 2048 pixels), so one transfer of a megabyte
// can keep a software GS busy for hours. A PATH2 or PATH3 transfer is
// therefore handed to "GSgifTransfer" in slices of at most
// kGifSliceQuadwords, each charged to the work budget of the guest
// instruction before the GS gets it (kGsUnitsPerQuadword a quadword, on top
// of what the DMA or VIF1 charged for moving it). A stop of the run, a
// spent budget or the host time limit (kHostTimeLimitMilliseconds) cuts
// the transfer between two slices, with one line under
// GIF; the GS keeps the packet it was reading, as it does between any two
// transfers. Between slices the host's keys are read now and then
// (workPollStop), so that Escape can raise that stop.
//
// The slice is short because the worst quadword is slow: two full-size
// triangles take gs-soft about 6 ms flat, 35 ms Gouraud shaded and 120 to
// 175 ms textured (bilinear, blended), so a slice of 4 quadwords stays
// under a second whatever it draws. Handing over is cheap, since the GS
// reads packets cut anywhere: a megabyte of image data in 4-quadword slices
// costs a few tenths of a millisecond more than in one call.
inline constexpr u32 kGifSliceQuadwords = 4;
inline constexpr u64 kGsUnitsPerQuadword = 4;

// Hands PATH2 or PATH3 data to the GS in slices; a length of 0 is one call.
void gifTransferToGs(const u32* data, u32 quadwords);

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
// Returns the quadwords copied, the added EOP tag included.
u32 copyGifPacket(const u8* ring, u32 ringQuadwords, u32 start, u32* out);

// Hands a packet copied by copyGifPacket to "GSgifTransfer2" (PATH1, the
// scratchpad drain) in pieces of about a slice, each a packet of its own
// made of one tag (or some of its loops) ending the packet. Pieces are
// charged and cut as PATH2 and PATH3 slices are; the GS draws the same as
// from the whole packet.
void gifPacketToGs(const u32* packet, u32 quadwords);
