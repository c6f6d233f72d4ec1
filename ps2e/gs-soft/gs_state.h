// The whole state of the GS: local memory, the general registers that GIF
// packets write, the vertex queue, the CLUT buffer, the transfer in
// progress and the privileged registers that the EE maps at 0x12000000.
#pragma once

#include <array>
#include <cstdint>

#include "ps2e/gs-soft/local_memory.h"

namespace gs {

// General register addresses (the A+D address space).
enum GeneralRegister : uint32_t {
    kRegPrim = 0x00,
    kRegRgbaq = 0x01,
    kRegSt = 0x02,
    kRegUv = 0x03,
    kRegXyzf2 = 0x04,
    kRegXyz2 = 0x05,
    kRegTex0_1 = 0x06,
    kRegTex0_2 = 0x07,
    kRegClamp_1 = 0x08,
    kRegClamp_2 = 0x09,
    kRegFog = 0x0A,
    kRegXyzf3 = 0x0C,
    kRegXyz3 = 0x0D,
    kRegTex1_1 = 0x14,
    kRegTex1_2 = 0x15,
    kRegTex2_1 = 0x16,
    kRegTex2_2 = 0x17,
    kRegXyoffset_1 = 0x18,
    kRegXyoffset_2 = 0x19,
    kRegPrmodecont = 0x1A,
    kRegPrmode = 0x1B,
    kRegTexclut = 0x1C,
    kRegScanmsk = 0x22,
    kRegMiptbp1_1 = 0x34,
    kRegMiptbp1_2 = 0x35,
    kRegMiptbp2_1 = 0x36,
    kRegMiptbp2_2 = 0x37,
    kRegTexa = 0x3B,
    kRegFogcol = 0x3D,
    kRegTexflush = 0x3F,
    kRegScissor_1 = 0x40,
    kRegScissor_2 = 0x41,
    kRegAlpha_1 = 0x42,
    kRegAlpha_2 = 0x43,
    kRegDimx = 0x44,
    kRegDthe = 0x45,
    kRegColclamp = 0x46,
    kRegTest_1 = 0x47,
    kRegTest_2 = 0x48,
    kRegPabe = 0x49,
    kRegFba_1 = 0x4A,
    kRegFba_2 = 0x4B,
    kRegFrame_1 = 0x4C,
    kRegFrame_2 = 0x4D,
    kRegZbuf_1 = 0x4E,
    kRegZbuf_2 = 0x4F,
    kRegBitbltbuf = 0x50,
    kRegTrxpos = 0x51,
    kRegTrxreg = 0x52,
    kRegTrxdir = 0x53,
    kRegHwreg = 0x54,
    kRegSignal = 0x60,
    kRegFinish = 0x61,
    kRegLabel = 0x62,
};

inline constexpr uint32_t kGeneralRegisterCount = 0x80;

// Field `count` bits wide starting at bit `low`.
constexpr uint32_t field(uint64_t value, unsigned low, unsigned count) {
    return static_cast<uint32_t>((value >> low) & ((uint64_t{1} << count) - 1));
}

enum PrimitiveType : uint32_t {
    kPrimPoint = 0,
    kPrimLine = 1,
    kPrimLineStrip = 2,
    kPrimTriangle = 3,
    kPrimTriangleStrip = 4,
    kPrimTriangleFan = 5,
    kPrimSprite = 6,
};

// A vertex as the XYZ write that queued it saw the other registers.
struct Vertex {
    uint32_t x = 0;  // 12.4 fixed point, before XYOFFSET
    uint32_t y = 0;
    uint32_t z = 0;
    uint32_t rgba = 0;  // R in the low byte
    float q = 1.0f;
    float s = 0.0f;
    float t = 0.0f;
    uint32_t u = 0;  // 12.4 texel coordinates
    uint32_t v = 0;
    uint32_t fog = 0;
};

// The TRXREG rectangle of one side of a transfer (the source or the
// destination half of BITBLTBUF and TRXPOS), walked row by row.
struct TransferArea {
    bool active = false;
    uint32_t psm = 0;
    uint32_t bp = 0;
    uint32_t bw = 0;
    uint32_t left = 0;
    uint32_t width = 0;
    uint32_t bottom = 0;  // the row after the last
    uint32_t x = 0;       // next pixel, relative to the rectangle's left
    uint32_t y = 0;       // its row

    // Moves to the next pixel; the area ends after its last one.
    void advance() {
        if (++x != width) return;
        x = 0;
        if (++y == bottom) active = false;
    }
};

// The host-to-local transfer that HWREG and IMAGE data are filling.
struct HostTransfer : TransferArea {
    uint32_t pendingBits = 0;  // bytes of a pixel that straddles two pieces
    uint32_t pendingCount = 0;  // how many of them, in bytes
};

// The local-to-host transfer that GSreadFIFO2 empties, packed as the source
// format's bits per pixel, first pixel in the lowest bits.
struct LocalTransfer : TransferArea {
    uint64_t pendingBits = 0;  // bits read from pixels, not yet handed out
    uint32_t pendingCount = 0;  // how many of them, in bits
};

// Privileged registers at 0x12000000 + 0x10 * index (PMODE up to BGCOLOR).
enum DisplayRegister : uint32_t {
    kPmode = 0x0,
    kSmode1 = 0x1,
    kSmode2 = 0x2,
    kSrfsh = 0x3,
    kSynch1 = 0x4,
    kSynch2 = 0x5,
    kSyncv = 0x6,
    kDispfb1 = 0x7,
    kDisplay1 = 0x8,
    kDispfb2 = 0x9,
    kDisplay2 = 0xA,
    kExtbuf = 0xB,
    kExtdata = 0xC,
    kExtwrite = 0xD,
    kBgcolor = 0xE,
};

struct PrivilegedRegisters {
    std::array<uint64_t, 16> display{};
    uint64_t csr = 0;  // the event bits SIGNAL, HSINT, VSINT, EDWINT
    uint64_t imr = 0;
    uint64_t busdir = 0;
    uint64_t siglblid = 0;
};

struct GsState {
    LocalMemory memory;
    std::array<uint64_t, kGeneralRegisterCount> reg{};
    float packedQ = 1.0f;  // the Q of the last PACKED ST, given to the next RGBAQ
    std::array<Vertex, 3> queue{};
    uint32_t queued = 0;
    std::array<uint16_t, 512> clut{};  // CLUT buffer: 32-bit entries keep their high halves at +256
    uint32_t cbp0 = 0;
    uint32_t cbp1 = 0;
    HostTransfer transfer;
    LocalTransfer readback;
    PrivilegedRegisters privileged;
    uint64_t generation = 0;
};

extern GsState state;

// Brings every register, the queue, the CLUT and local memory to power-on.
void resetState();

// A write to a general register, with its side effects: vertex kicks, CLUT
// loads, transfers, SIGNAL/FINISH/LABEL.
void writeRegister(uint32_t address, uint64_t value);

}  // namespace gs
