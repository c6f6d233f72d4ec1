// The VIF1 command stream: the data that the VIF1 DMA channel delivers,
// in 32-bit words. A chain's data may arrive in several pieces (each tag's
// upper half, each data block, and a block that wraps at the end of RAM or
// the scratchpad comes as two), so a command can span calls: a payload that
// runs past the end of one piece continues at the start of the next, and
// nothing is read past a piece.
#pragma once

#include "core/types.h"
#include "vu/vif1_unpack.h"

// What the words after the last command are.
enum class VifPhase : u32 { Command, MicroProgram, Direct, Unpack, RegisterWords };

struct PendingPayload {
    VifPhase phase = VifPhase::Command;
    u32 remaining = 0;    // payload words still to come
    u32 destination = 0;  // MPG: byte offset in micro memory; register words: register offset
};

// DIRECT hands the GS whole quadwords; a quadword split between two pieces
// of the stream is gathered here first.
struct DirectQuadword {
    u32 words[4] = {};
    u32 count = 0;  // 0-3 between pieces
};

// What the stream carries from one piece to the next: a command whose
// payload has not all come yet.
struct VifStreamState {
    PendingPayload pending;
    DirectQuadword directPart;
    UnpackTransfer unpack;
};

extern VifStreamState vifStream;

void vifCommandStream(const u32* data, u32 words);

// Forgets a payload left pending, so that the next word is read as a
// command. The settings live in the hardware register block and are cleared
// with it.
void vifReset();

// The VIF1 settings: 32-bit words in the hardware register block from this
// offset on.
inline constexpr u32 kVif1Registers = 0x3C00;

enum Vif1Register : u32 {
    kVif1Row = 0x00,   // four words
    kVif1Col = 0x10,   // four words
    kVif1Cl = 0x20,
    kVif1Wl = 0x24,
    kVif1Mask = 0x28,
    kVif1Mode = 0x2C,
    kVif1Itop = 0x30,
    kVif1Base = 0x38,
    kVif1Ofst = 0x3C,
    kVif1Top = 0x40,
    kVif1Tops = 0x44,  // copied to BASE by OFFSET
    kVif1Mark = 0x48,
    kVif1Stat = 0x54,
};

u32 vif1Register(Vif1Register reg);
