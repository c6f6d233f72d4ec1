// VU1 micro-program execution, started by the VIF1 commands MSCAL, MSCALF
// and MSCNT.
#pragma once

#include "core/types.h"

// Both VU1 memories, micro and data, are 16 KB; every access wraps inside
// them.
inline constexpr u32 kVu1MemoryBytes = 0x4000;
inline constexpr u32 kVu1MemoryMask = kVu1MemoryBytes - 1;

// Upper-word control bits: I (the lower word is an immediate for I), and
// the end bits E, D and T, which all end the program.
inline constexpr u32 kVuUpperIBit = 0x80000000;
inline constexpr u32 kVuUpperEndBits = 0x58000000;

// A program that never sets an end bit is cut off after this many pairs,
// or earlier when it spends the work budget of the guest instruction that
// started it (core/work_budget.h), so the host cannot hang.
inline constexpr u32 kVu1MaxPairsPerRun = 16777216;

// Fetches the pair at vu1.tpc (wrapped to micro memory), advances tpc by 8
// and executes it, with the flags settled afterwards.
void vu1ExecPair();

// The same step leaving the flags of its FMAC waiting (see VuPendingFlags):
// for the run loop and the delay slot of a taken branch, inside a program
// whose end settles them.
void vu1ExecPairInProgram();

// The upper word of the most recently fetched pair.
u32 vu1LastUpperWord();

// Forgets the last pair fetched (machine initialisation), or puts back the
// one a saved state recorded.
void vu1MicroReset();
void vu1MicroRestore(u32 lastUpper);

// Runs VU1 from vu1.tpc until its program ends: the pair after the first
// pair carrying an end bit is the last one executed.
void vu1Run();

// XGKICK: the GIF packet that starts at byteOffset of VU1 data memory, copied
// so that it reads straight on where the console's GIF wraps at the end of
// the 16 KB (see copyGifPacket), and its length in quadwords.
const u32* vu1KickedPacket(u32 byteOffset, u32& quadwords);
