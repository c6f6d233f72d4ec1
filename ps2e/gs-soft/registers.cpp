// General register writes and the vertex queue.
#include <cstring>

#include "ps2e/gs-soft/draw.h"
#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/gs-soft/texture.h"
#include "ps2e/gs-soft/transfer.h"

namespace gs {

GsState state;

namespace {

// CSR event bits that drawing raises.
constexpr uint64_t kCsrSignal = 1u << 0;

// Vertices each primitive type needs before it draws.
constexpr std::array<uint32_t, 8> kVerticesNeeded = {1, 2, 2, 3, 3, 3, 2, 1};

Vertex vertexFromRegisters(uint64_t xyz, bool withFog) {
    Vertex vertex;
    vertex.x = field(xyz, 0, 16);
    vertex.y = field(xyz, 16, 16);
    vertex.z = withFog ? field(xyz, 32, 24) : field(xyz, 32, 32);
    vertex.fog = withFog ? field(xyz, 56, 8) : field(state.reg[kRegFog], 56, 8);
    const uint64_t rgbaq = state.reg[kRegRgbaq];
    vertex.rgba = field(rgbaq, 0, 32);
    const uint32_t qBits = field(rgbaq, 32, 32);
    std::memcpy(&vertex.q, &qBits, 4);
    const uint32_t sBits = field(state.reg[kRegSt], 0, 32);
    const uint32_t tBits = field(state.reg[kRegSt], 32, 32);
    std::memcpy(&vertex.s, &sBits, 4);
    std::memcpy(&vertex.t, &tBits, 4);
    vertex.u = field(state.reg[kRegUv], 0, 14);
    vertex.v = field(state.reg[kRegUv], 16, 14);
    return vertex;
}

// An XYZ write queues a vertex; XYZ2/XYZF2 also draw once the primitive has
// all its vertices, XYZ3/XYZF3 only advance the queue. Strips keep their
// last two vertices, fans the first and the last, line strips the last.
void queueVertex(uint64_t xyz, bool withFog, bool kick) {
    const uint32_t type = field(state.reg[kRegPrim], 0, 3);
    state.queue[state.queued++] = vertexFromRegisters(xyz, withFog);
    if (state.queued < kVerticesNeeded[type]) return;
    if (kick && type <= kPrimSprite) drawPrimitive(type, state.queue.data());
    switch (type) {
    case kPrimLineStrip:
        state.queue[0] = state.queue[1];
        state.queued = 1;
        break;
    case kPrimTriangleStrip:
        state.queue[0] = state.queue[1];
        state.queue[1] = state.queue[2];
        state.queued = 2;
        break;
    case kPrimTriangleFan:
        state.queue[1] = state.queue[2];
        state.queued = 2;
        break;
    default:
        state.queued = 0;
        break;
    }
}

// SIGNAL and LABEL replace the bits of SIGLBLID's half that IDMSK selects.
uint64_t maskedId(uint64_t old, uint64_t value) {
    const uint32_t id = field(value, 0, 32);
    const uint32_t mask = field(value, 32, 32);
    return (static_cast<uint32_t>(old) & ~mask) | (id & mask);
}

// TEX2 sets the CLUT fields of TEX0 and keeps its address, width and size.
constexpr uint64_t kTex2Fields = (uint64_t{0x3F} << 20) | (uint64_t{0x7FFFFFF} << 37);

}  // namespace

void resetState() {
    state.memory.clear();
    state.reg.fill(0);
    state.packedQ = 1.0f;
    state.queued = 0;
    state.clut.fill(0);
    state.cbp0 = state.cbp1 = 0;
    state.transfer = HostTransfer{};
    state.readback = LocalTransfer{};
    state.privileged = PrivilegedRegisters{};
    ++state.generation;
}

void writeRegister(uint32_t address, uint64_t value) {
    address &= 0xFF;
    if (address >= kGeneralRegisterCount) return;
    switch (address) {
    case kRegPrim:
        state.reg[address] = value;
        state.queued = 0;
        return;
    case kRegXyzf2:
    case kRegXyz2:
    case kRegXyzf3:
    case kRegXyz3:
        state.reg[address] = value;
        queueVertex(value, address == kRegXyzf2 || address == kRegXyzf3, address == kRegXyzf2 || address == kRegXyz2);
        return;
    case kRegTex0_1:
    case kRegTex0_2:
        state.reg[address] = value;
        loadClut(value);
        return;
    case kRegTex2_1:
    case kRegTex2_2: {
        state.reg[address] = value;
        uint64_t& tex0 = state.reg[address == kRegTex2_1 ? kRegTex0_1 : kRegTex0_2];
        tex0 = (tex0 & ~kTex2Fields) | (value & kTex2Fields);
        loadClut(tex0);
        return;
    }
    case kRegTrxdir:
        state.reg[address] = value;
        startTransfer();
        return;
    case kRegHwreg: {
        uint8_t bytes[8];
        std::memcpy(bytes, &value, 8);
        transferHostData(bytes, 8);
        return;
    }
    case kRegSignal:
        state.privileged.siglblid = (state.privileged.siglblid & ~uint64_t{0xFFFFFFFF}) |
                                    maskedId(state.privileged.siglblid, value);
        state.privileged.csr |= kCsrSignal;
        return;
    case kRegLabel:
        state.privileged.siglblid = (state.privileged.siglblid & 0xFFFFFFFF) |
                                    (uint64_t{maskedId(state.privileged.siglblid >> 32, value)} << 32);
        return;
    default:
        state.reg[address] = value;
        return;
    }
}

}  // namespace gs
