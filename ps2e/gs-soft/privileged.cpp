#include "ps2e/gs-soft/privileged.h"

#include "ps2e/gs-soft/gs_state.h"

namespace gs {
namespace {

uint64_t* registerAt(uint32_t address) {
    const uint32_t offset = (address - kPrivilegedBase) & ~7u;
    PrivilegedRegisters& regs = state.privileged;
    if (offset < 0x100) return (offset & 0xF) == 0 ? &regs.display[offset >> 4] : nullptr;
    switch (offset + kPrivilegedBase) {
    case kCsrAddress:
        return &regs.csr;
    case kImrAddress:
        return &regs.imr;
    case kBusdirAddress:
        return &regs.busdir;
    case kSiglblidAddress:
        return &regs.siglblid;
    default:
        return nullptr;
    }
}

// The plugin finishes all drawing before each call returns, so FINISH
// always reads as set.
uint64_t csrValue() {
    return (state.privileged.csr & kCsrEventBits) | kCsrFinish | kCsrFifoEmpty | (kCsrRevision << 16) |
           (kCsrId << 24);
}

// A CSR write clears each event bit written as 1; RESET brings the GS back
// to its power-on registers without touching local memory.
void writeCsr(uint64_t value) {
    state.privileged.csr &= ~(value & kCsrEventBits);
    if (value & kCsrReset) {
        const PrivilegedRegisters kept = state.privileged;
        state.reg.fill(0);
        state.queued = 0;
        state.transfer = HostTransfer{};
    state.readback = LocalTransfer{};
        state.privileged = PrivilegedRegisters{};
        state.privileged.imr = kept.imr;
        ++state.generation;
    }
}

}  // namespace

void writePrivileged(uint32_t address, uint64_t value, unsigned bytes) {
    uint64_t* reg = registerAt(address);
    if (reg == nullptr) return;
    if (reg == &state.privileged.csr) {
        // Only the low word holds bits a write acts on.
        if (bytes == 8 || (address & 4) == 0) writeCsr(value & 0xFFFFFFFF);
        return;
    }
    if (bytes == 4) {
        const unsigned shift = (address & 4) * 8;
        value = (*reg & ~(uint64_t{0xFFFFFFFF} << shift)) | ((value & 0xFFFFFFFF) << shift);
    }
    *reg = value;
    if (address - kPrivilegedBase < 0x100) ++state.generation;
}

uint64_t readPrivileged(uint32_t address, unsigned bytes) {
    const uint64_t* reg = registerAt(address);
    if (reg == nullptr) return 0;
    const uint64_t value = reg == &state.privileged.csr ? csrValue() : *reg;
    if (bytes == 4) return (value >> ((address & 4) * 8)) & 0xFFFFFFFF;
    return value;
}

}  // namespace gs
