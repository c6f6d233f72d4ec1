#include "vu/vif1.h"

#include <algorithm>

#include "core/diagnostics.h"
#include "core/work_budget.h"
#include "devices/gif.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "plugins/plugin_host.h"
#include "vu/vif1_unpack.h"
#include "vu/vu1_micro.h"
#include "vu/vu_state.h"

VifStreamState vifStream;

namespace {

using Phase = VifPhase;

PendingPayload& pending = vifStream.pending;
DirectQuadword& directPart = vifStream.directPart;
UnpackTransfer& unpack = vifStream.unpack;

constexpr u32 kStatusStall = 0x80;  // cleared by OFFSET

u8* registerAt(u32 offset) { return memory.hw + kVif1Registers + offset; }
void setRegister(u32 offset, u32 value) { hostStore<u32>(registerAt(offset), value); }

u32 loadWord(const u32* at) { return hostLoad<u32>(reinterpret_cast<const u8*>(at)); }

void copyMicroProgram(const u32* data, u32 words) {
    for (u32 i = 0; i < words; ++i) {
        hostStore<u32>(vu1.microMem + pending.destination, loadWord(data + i));
        pending.destination = (pending.destination + 4) & kVu1MemoryMask;
    }
}

void copyRegisterWords(const u32* data, u32 words) {
    for (u32 i = 0; i < words; ++i) {
        setRegister(pending.destination, loadWord(data + i));
        pending.destination += 4;
    }
}

void sendDirect(const u32* data, u32 words) {
    while (words > 0 && directPart.count > 0) {
        directPart.words[directPart.count++] = loadWord(data++);
        --words;
        if (directPart.count == 4) {
            gsGifTransfer(directPart.words, 1);
            directPart.count = 0;
        }
    }
    if (words >= 4) gifTransferToGs(data, words / 4);
    for (u32 i = words & ~3u; i < words; ++i) directPart.words[directPart.count++] = loadWord(data + i);
}

// Takes as much of the pending payload as this piece holds; returns the
// number of words taken.
u32 consumePayload(const u32* data, u32 words) {
    const u32 taken = std::min(pending.remaining, words);
    switch (pending.phase) {
    case Phase::MicroProgram:
        copyMicroProgram(data, taken);
        break;
    case Phase::Direct:
        sendDirect(data, taken);
        break;
    case Phase::Unpack:
        unpackBytes(unpack, reinterpret_cast<const u8*>(data), taken * 4);
        break;
    case Phase::RegisterWords:
        copyRegisterWords(data, taken);
        break;
    case Phase::Command:
        break;
    }
    pending.remaining -= taken;
    if (pending.remaining == 0) pending.phase = Phase::Command;
    return taken;
}

void expectPayload(Phase phase, u32 words, u32 destination) {
    if (words == 0) return;
    pending = {phase, words, destination};
}

void startDataCommand(u32 word, u32 command) {
    const u32 imm16 = word & 0xFFFF;
    const u32 num = (word >> 16) & 0xFF;
    switch (command >> 4) {
    case 0x4:  // MPG: num pairs of words at imm16 pairs into micro memory
        expectPayload(Phase::MicroProgram, (num == 0 ? 256 : num) * 2, (imm16 * 8) & kVu1MemoryMask);
        break;
    case 0x5:  // DIRECT, DIRECTHL: imm16 quadwords for the GS
        directPart.count = 0;
        expectPayload(Phase::Direct, (imm16 == 0 ? 65535 : imm16) * 4, 0);
        break;
    case 0x6:
        expectPayload(Phase::Unpack, unpackStart(unpack, word, vif1Register(kVif1Itop)), 0);
        break;
    default:  // masked UNPACK is not interpreted: its data is read as commands
        logReport(LogCategory::Vif, LogLevel::Stub, "masked UNPACK (code 0x%02X) is not interpreted: its data is read as VIF codes",
                  command);
        break;
    }
}

void runCommand(u32 word) {
    const u32 command = (word >> 24) & 0x7F;  // bit 31 asks for an interrupt, which VIF1 does not raise
    const u32 imm16 = word & 0xFFFF;
    if (command & 0x40) {
        startDataCommand(word, command);
        return;
    }
    switch (command) {
    case 0x01:  // STCYCL
        setRegister(kVif1Cl, word);
        setRegister(kVif1Wl, word >> 8);
        break;
    case 0x02:  // OFFSET
        setRegister(kVif1Ofst, imm16 & 0x1FF);
        setRegister(kVif1Stat, vif1Register(kVif1Stat) & ~kStatusStall);
        setRegister(kVif1Base, vif1Register(kVif1Tops));
        break;
    case 0x03:  // BASE
        setRegister(kVif1Base, imm16 & 0x1FF);
        break;
    case 0x04:  // ITOP
        setRegister(kVif1Itop, imm16 & 0x1FF);
        break;
    case 0x05:  // STMOD
        setRegister(kVif1Mode, imm16 & 1);
        break;
    case 0x07:  // MARK
        setRegister(kVif1Mark, imm16);
        break;
    case 0x14:  // MSCAL
    case 0x15:  // MSCALF
        vu1.tpc = imm16 * 8;
        vu1Run();
        break;
    case 0x17:  // MSCNT
        vu1Run();
        break;
    case 0x20:  // STMASK
        expectPayload(Phase::RegisterWords, 1, kVif1Mask);
        break;
    case 0x30:  // STROW
        expectPayload(Phase::RegisterWords, 4, kVif1Row);
        break;
    case 0x31:  // STCOL
        expectPayload(Phase::RegisterWords, 4, kVif1Col);
        break;
    case 0x00:  // NOP
    case 0x06:  // MSKPATH3
    case 0x10:  // FLUSHE
    case 0x11:  // FLUSH
    case 0x13:  // FLUSHA
        break;
    default:
        logReport(LogCategory::Vif, LogLevel::GuestError, "unknown VIF code 0x%02X ignored", command);
        break;
    }
}

}  // namespace

u32 vif1Register(Vif1Register reg) { return hostLoad<u32>(registerAt(reg)); }

// A VU1 program that spent the work budget cuts the rest of the stream too.
void vifCommandStream(const u32* data, u32 words) {
    WorkScope scope;
    u32 at = 0;
    while (at < words && !workCut()) {
        if (pending.phase != Phase::Command) {
            at += consumePayload(data + at, words - at);
        } else {
            runCommand(loadWord(data + at));
            ++at;
        }
    }
}

void vifReset() { vifStream = VifStreamState{}; }
