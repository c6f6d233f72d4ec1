// The SPU2 plugin shipped with Corvane: silent. It keeps the sound
// processor's register file so that a guest reading back a register (a
// voice's volume, a core's attribute word) sees what it wrote; nothing is
// ever played.
#include <array>
#include <cstdio>
#include <cstring>

#include "ps2e/ps2e.h"

namespace {

// The two cores' registers are 16 bits wide and fill 2 KB of the address
// space from 0x1F900000 (core 0 in the first 1 KB, core 1 in the second);
// any address is taken within that block.
constexpr uint32_t kRegisterBlockBytes = 0x800;
std::array<uint16_t, kRegisterBlockBytes / 2> registers{};

std::size_t registerIndex(uint32_t address) { return (address % kRegisterBlockBytes) / 2; }

}  // namespace

uint32_t PS2EgetLibType(void) { return PS2E_LT_SPU2; }
const char* PS2EgetLibName(void) { return "Corvane silent SPU2"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t SPU2init(void) {
    registers.fill(0);
    return 0;
}
void SPU2shutdown(void) {}
int32_t SPU2open(uint32_t* displayHandle) {
    (void)displayHandle;
    return 0;
}
void SPU2close(void) {}
void SPU2update(void) {}
void SPU2dma(void) {}
void SPU2write(uint32_t address, uint16_t value) { registers[registerIndex(address)] = value; }
uint16_t SPU2read(uint32_t address) { return registers[registerIndex(address)]; }
void SPU2configure(void) { std::fprintf(stderr, "%s: nothing to configure\n", PS2EgetLibName()); }
void SPU2about(void) {
    std::fprintf(stderr, "%s %d.%d: keeps the sound registers, plays nothing\n", PS2EgetLibName(),
                 PS2EgetLibVersion() >> 8 & 0xFF, PS2EgetLibVersion() & 0xFF);
}
int32_t SPU2test(void) { return 0; }

// The state is the register file as it stands, little-endian halfwords.
int32_t SPU2freeze(int32_t mode, freezeData* data) {
    constexpr int32_t kBytes = static_cast<int32_t>(sizeof registers);
    if (data == nullptr) return -1;
    if (mode == FREEZE_SIZE) {
        data->size = kBytes;
        return 0;
    }
    if ((mode != FREEZE_SAVE && mode != FREEZE_LOAD) || data->data == nullptr || data->size != kBytes) return -1;
    if (mode == FREEZE_SAVE) std::memcpy(data->data, registers.data(), kBytes);
    else std::memcpy(registers.data(), data->data, kBytes);
    return 0;
}
