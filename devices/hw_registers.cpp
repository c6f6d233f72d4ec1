#include "devices/hw_registers.h"

#include <array>

#include "core/diagnostics.h"
#include "memory/bus.h"
#include "memory/host_access.h"

namespace {

// Registers sit at 16-byte boundaries, so one slot per 16 bytes of the
// block finds the row of an offset in one look; the slots are worked out
// from the maps when the program is built.
constexpr u32 kRegisterAlignment = 16;
constexpr u32 kSlotCount = kHwSize / kRegisterAlignment;
constexpr u16 kNoRow = 0xFFFF;

struct RowIndex {
    u8 map;
    u8 row;
};

// Every row lies inside the block, on a boundary of its own: two rows on
// one offset, or one between boundaries, would leave a register unrouted.
// A slot names its row by a byte, so a map holds at most 256 rows.
consteval bool mapsAreSound() {
    std::array<bool, kSlotCount> taken{};
    for (RegisterMap map : kHwRegisterMaps) {
        if (map.size() > 0x100) return false;
        for (const HwRegister& reg : map) {
            if (reg.offset >= kHwSize || reg.offset % kRegisterAlignment != 0) return false;
            if (taken[reg.offset / kRegisterAlignment]) return false;
            taken[reg.offset / kRegisterAlignment] = true;
        }
    }
    return true;
}
static_assert(mapsAreSound(),
              "a register map is too long or has a row outside the block, off a boundary, or on another's offset");

consteval std::array<u16, kSlotCount> rowSlots() {
    std::array<u16, kSlotCount> slots{};
    slots.fill(kNoRow);
    for (u32 map = 0; map < std::size(kHwRegisterMaps); ++map) {
        for (u32 row = 0; row < kHwRegisterMaps[map].size(); ++row) {
            slots[kHwRegisterMaps[map][row].offset / kRegisterAlignment] = static_cast<u16>(map << 8 | row);
        }
    }
    return slots;
}
constexpr std::array<u16, kSlotCount> kRowSlots = rowSlots();

// The SPR-from channel also starts from a byte store of its CHCR's STR
// byte, the one byte store to the block with an effect.
constexpr u32 kSprFromChcrStrByte = dmaRegisterOffset(kDmaSprFrom, DmaRegister::Chcr) + 1;
constexpr u32 kGifChcr = dmaRegisterOffset(kDmaGif, DmaRegister::Chcr);

constexpr u16 kDEnablerAtPowerOn = 0x1201;

u32 storedWord(u32 offset) { return hostLoad<u32>(memory.hw + offset); }

}  // namespace

const HwRegister* hwRegisterAt(u32 offset) {
    if (offset >= kHwSize || offset % kRegisterAlignment != 0) return nullptr;
    const u16 slot = kRowSlots[offset / kRegisterAlignment];
    if (slot == kNoRow) return nullptr;
    return &kHwRegisterMaps[slot >> 8][slot & 0xFF];
}

const HwRegister* hwRegisterNamed(std::string_view name) {
    for (RegisterMap map : kHwRegisterMaps) {
        for (const HwRegister& reg : map) {
            if (name == reg.name) return &reg;
        }
    }
    return nullptr;
}

void hwRegistersInit() {
    hostStore<u16>(memory.hw + kHwDEnabler, kDEnablerAtPowerOn);
    dmaSetUpChannels();
    memAttachDevices({hwRead32, hwWrite8, hwWrite32, hwWrite64, timersTakeCsrVblank, vif1FifoFromGs});
}

u32 hwRead32(u32 offset) {
    const HwRegister* reg = hwRegisterAt(offset);
    if (reg == nullptr) return storedWord(offset);
    switch (reg->access) {
    case RegisterAccess::TimerCount: return timerCountRead(*reg);
    case RegisterAccess::TimerMode: return timerModeRead(*reg);
    default: return storedWord(offset);
    }
}

// Byte stores to the register block are dropped, not even stored, except
// the one that starts the SPR-from channel.
void hwWrite8(u32 offset, u8 value) {
    if (offset == kSprFromChcrStrByte) dmaStartSprFrom(static_cast<u32>(value) << 8);
}

void hwWrite32(u32 offset, u32 value) {
    const HwRegister* reg = hwRegisterAt(offset);
    const RegisterAccess access = reg ? reg->access : RegisterAccess::Storage;
    switch (access) {
    case RegisterAccess::DmacStatus: return dmacStatusWritten(value);
    case RegisterAccess::IntcStatus: return intcStatusWritten(value);
    case RegisterAccess::IntcMask: return intcMaskWritten(value);
    case RegisterAccess::DmaStart:
        if (reg->unit == kDmaSprFrom) return dmaStartSprFrom(value);
        return dmaStartChannel(reg->unit, value);
    case RegisterAccess::TimerCount:
    case RegisterAccess::TimerMode:
    case RegisterAccess::TimerSetting: return timerRegisterWritten(*reg, value);
    case RegisterAccess::DmaNoHandler:
        if (value & kChcrStr) {
            logReport(LogCategory::Dma, LogLevel::Stub, "IPU channel at 0x%04X is not emulated: its start moves nothing",
                      offset);
        }
        break;
    case RegisterAccess::Storage: break;
    }
    hostStore<u32>(memory.hw + offset, value);
}

void hwWrite64(u32 offset, u32 low, u32 high) {
    hostStore<u32>(memory.hw + offset, low);
    hostStore<u32>(memory.hw + offset + 4, high);
    if (offset == kGifChcr) dmaStartGifFromDoubleword(low);
}
