// The GS plugin entry points for drawing and registers, and the library's
// identity. The window, snapshots and settings entry points live with the
// presentation code.
#include <cstring>

#include "ps2e/gs-soft/freeze.h"
#include "ps2e/gs-soft/gif_parser.h"
#include "ps2e/gs-soft/gs_state.h"
#include "ps2e/gs-soft/privileged.h"
#include "ps2e/gs-soft/transfer.h"
#include "ps2e/ps2e.h"

namespace {

// PATH3 (GIF DMA, VIF DIRECT) packets may arrive cut anywhere between
// calls; an XGKICK always hands over a whole packet, through its own
// parser so it cannot disturb a PATH3 packet left half read.
gs::GifParser path3;
gs::GifParser path1;

constexpr uint32_t kVersion = 0x0100;

// An XGKICK packet lies in VU1 data memory and a scratchpad packet in the
// scratchpad, 16 KB each: a packet that has not ended by then is cut, not
// read on past the memory it came from.
constexpr uint32_t kPath1PacketQuadwords = 16384 / 16;

}  // namespace

extern "C" {

uint32_t PS2EgetLibType(void) { return PS2E_LT_GS; }
const char* PS2EgetLibName(void) { return "Corvane software GS"; }
uint32_t PS2EgetLibVersion(void) { return kVersion; }

int32_t GSinit(void) {
    gs::resetState();
    path1 = gs::GifParser{};
    path3 = gs::GifParser{};
    return 0;
}

void GSshutdown(void) {}

void GSgifTransfer(const uint32_t* data, uint32_t quadwords) {
    if (data == nullptr) return;
    for (uint32_t i = 0; i < quadwords; ++i) path3.readQuadword(data + 4 * i);
}

// Reads one packet: GIF tags and their data until a tag with EOP set has
// been read to its end.
void GSgifTransfer2(const uint32_t* packet) {
    if (packet == nullptr) return;
    path1 = gs::GifParser{};
    for (uint32_t i = 0; i < kPath1PacketQuadwords; ++i) {
        if (path1.readQuadword(packet + 4 * i)) return;
    }
}

// Hands the host the next quadwords of a local-to-host transfer (TRXDIR 1);
// past its end, zeros.
void GSreadFIFO2(uint64_t* memory, int quadwords) {
    if (memory == nullptr || quadwords <= 0) return;
    gs::readLocalToHost(reinterpret_cast<uint8_t*>(memory), static_cast<size_t>(quadwords) * 16);
}

void GSwrite32(uint32_t address, uint32_t value) { gs::writePrivileged(address, value, 4); }
void GSwrite64(uint32_t address, uint64_t value) { gs::writePrivileged(address, value, 8); }
uint32_t GSread32(uint32_t address) { return static_cast<uint32_t>(gs::readPrivileged(address, 4)); }
uint64_t GSread64(uint32_t address) { return gs::readPrivileged(address, 8); }

int32_t GSfreeze(int32_t mode, freezeData* data) {
    if (data == nullptr) return -1;
    switch (mode) {
    case FREEZE_SIZE: data->size = static_cast<int32_t>(gs::saveState(path3).size()); return 0;
    case FREEZE_SAVE: {
        const std::vector<uint8_t> bytes = gs::saveState(path3);
        if (data->data == nullptr || data->size != static_cast<int32_t>(bytes.size())) return -1;
        std::memcpy(data->data, bytes.data(), bytes.size());
        return 0;
    }
    case FREEZE_LOAD:
        if (data->data == nullptr || data->size < 0) return -1;
        return gs::loadState(reinterpret_cast<const uint8_t*>(data->data), static_cast<size_t>(data->size), path3) ? 0 : -1;
    default: return -1;
    }
}

}  // extern "C"
