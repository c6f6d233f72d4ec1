// UNPACK: packed vectors from the VIF1 stream expanded into VU1 data
// memory, one quadword per vector. The payload may arrive in pieces; a
// vector split between two pieces is kept until its last byte comes.
#pragma once

#include "core/types.h"

struct UnpackTransfer {
    u32 quadword = 0;     // where the next vector goes, before wrapping
    u32 vectorsLeft = 0;  // vectors still to write; the payload's padding follows them
    u32 elements = 0;     // per vector: 1 (S), 2 (V2), 3 (V3), 4 (V4); 1 for V4-5
    u32 elementBytes = 0;
    bool fiveBitColour = false;  // V4-5: one 16-bit element gives all four lanes
    bool zeroExtend = false;     // 16- and 8-bit elements
    u8 partial[16] = {};         // the bytes of a vector split across pieces
    u32 partialBytes = 0;
};

// Sets up an UNPACK from its command word and the current ITOP; returns the
// payload length in words.
u32 unpackStart(UnpackTransfer& unpack, u32 commandWord, u32 itop);

// Expands the next `count` payload bytes. Bytes after the last vector are
// padding and are dropped.
void unpackBytes(UnpackTransfer& unpack, const u8* bytes, u32 count);
