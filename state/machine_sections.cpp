#include "state/machine_sections.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstring>

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/ee_state.h"
#include "devices/timers.h"
#include "disc/disc_boot.h"
#include "disc/elf_loader.h"
#include "disc/iso9660.h"
#include "iop/cdvd_service.h"
#include "iop/file_service.h"
#include "iop/host_root.h"
#include "iop/module_loader.h"
#include "iop/pad_service.h"
#include "iop/sif_rpc.h"
#include "kernel/objects.h"
#include "kernel/syscalls.h"
#include "machine/emulation.h"
#include "memory/bus.h"
#include "plugins/plugin_host.h"
#include "vu/vif1.h"
#include "vu/vu1_micro.h"
#include "vu/vu_lower.h"
#include "vu/vu_state.h"

namespace {

constexpr u32 kPageBytes = 4096;
constexpr size_t kPathMax = 1024;
constexpr u32 kVif1RegisterWordsEnd = 0x40;  // ROW, COL, MASK: the registers a payload fills

// The values of a timer record; its register pointers stay where the
// hardware block puts them.
struct TimerValues {
    u32 interval;
    u32 start;
    u32 rate;
    u32 flag;
};

// A guest host file as a state records it.
struct SavedHostFile {
    bool open = false;
    std::string path;
    u32 flags = 0;
    u64 offset = 0;
};

struct VuRegisters {
    VuVector vf[32];
    VuVector acc;
    u32 vi[32];
    u32 tpc;
    u32 code;
};

}  // namespace

struct MachineImage {
    EeCpuState ee;
    u32 programLoaded;
    Cop0State cop0;
    FpuState fpu;

    std::vector<u8> ram, rom, hw, scratchpad;

    TimerValues timers[5];
    u32 eventBase, eventDelta, csrVblankCount;
    u64 vblankCount;

    KernelObjects kernel;
    KernelCallState kernelCalls;

    VuRegisters vu0, vu1;
    u32 vuRandomState;
    u32 vu1LastUpperWord;
    VifStreamState vifStream;

    std::array<SavedHostFile, kHostHandleLimit> hostFiles;
    ArchiveState archive;
    u32 openNotifyAddress, openNotifyExtra;
    std::array<PadPortAreas, kPadPortCount> padPorts;
    u32 padServiceOpened;
    std::array<char, 4> iopVersion;
    std::string archivePath;
    u32 discMediaType, trayChanged, nextModuleId;

    DiscFileTable discFiles;
    u8 volumeDescriptor[kIsoSectorSize];
    ElfHeader elfHeader;
    ElfProgramHeader elfProgramHeaders[kElfHeaderTableCapacity];
    ElfSectionHeader elfSectionHeaders[kElfHeaderTableCapacity];
    u64 elfProgramId;
    char systemCnfText[kSystemCnfBytes + 1];
    std::string bootPath;
    u32 bootedFromDisc;
};

void MachineImageDeleter::operator()(MachineImage* image) const { delete image; }

MachineImagePointer newMachineImage() { return MachineImagePointer(new MachineImage{}); }

namespace {

// ---- Field lists, one per record: the same list saves and loads --------

template <typename Io>
void fieldsOf(Io& io, Reg128& reg) {
    io.field(reg.w);
}

template <typename Io>
void fieldsOf(Io& io, EeCpuState& cpu) {
    for (Reg128& reg : cpu.gpr) fieldsOf(io, reg);
    fieldsOf(io, cpu.hi);
    fieldsOf(io, cpu.lo);
    io.field(cpu.sa);
    io.field(cpu.pc);
    io.field(cpu.code);
    io.field(cpu.cycle);
}

template <typename Io>
void fieldsOf(Io& io, FpuState& unit) {
    for (FpuRegister& reg : unit.fpr) io.field(reg.u);
    io.field(unit.fpuAcc.u);
    io.field(unit.fcr);
}

template <typename Io>
void fieldsOf(Io& io, TimerValues& timer) {
    io.field(timer.interval);
    io.field(timer.start);
    io.field(timer.rate);
    io.field(timer.flag);
}

template <typename Io>
void fieldsOf(Io& io, ThreadContext& context) {
    for (Reg128& reg : context.gpr) fieldsOf(io, reg);
    fieldsOf(io, context.hi);
    fieldsOf(io, context.lo);
    io.field(context.sa);
    io.field(context.pc);
    for (FpuRegister& reg : context.fpr) io.field(reg.u);
    io.field(context.fpuAcc.u);
    io.field(context.fcr31);
}

template <typename Io>
void fieldsOf(Io& io, ThreadQueue& queue) {
    io.field(queue.head);
    io.field(queue.tail);
}

template <typename Io>
void fieldsOf(Io& io, ThreadRecord& thread) {
    io.field(thread.status);
    io.field(thread.entry);
    io.field(thread.stack);
    io.field(thread.stackSize);
    io.field(thread.gp);
    io.field(thread.initPriority);
    io.field(thread.priority);
    io.field(thread.attr);
    io.field(thread.option);
    io.field(thread.waitType);
    io.field(thread.waitId);
    io.field(thread.wakeupCount);
    io.field(thread.next);
    io.field(thread.previous);
    fieldsOf(io, thread.context);
}

template <typename Io>
void fieldsOf(Io& io, SemaRecord& sema) {
    io.field(sema.inUse);
    io.field(sema.count);
    io.field(sema.maxCount);
    io.field(sema.initCount);
    io.field(sema.attr);
    io.field(sema.option);
    io.field(sema.waiterCount);
    fieldsOf(io, sema.waiters);
}

template <typename Io>
void fieldsOf(Io& io, AlarmRecord& alarm) {
    io.field(alarm.inUse);
    io.field(alarm.expired);
    io.field(alarm.time);
    io.field(alarm.start);
    io.field(alarm.interval);
    io.field(alarm.handler);
    io.field(alarm.common);
}

template <typename Io>
void fieldsOf(Io& io, KernelObjects& objects) {
    for (IntcHandlerSlot& slot : objects.intcHandlers) {
        io.field(slot.enabled);
        io.field(slot.address);
    }
    for (DmacHandlerSlot& slot : objects.dmacHandlers) {
        io.field(slot.enabled);
        io.field(slot.address);
    }
    for (ThreadRecord& thread : objects.threads) fieldsOf(io, thread);
    for (SemaRecord& sema : objects.semaphores) fieldsOf(io, sema);
    for (AlarmRecord& alarm : objects.alarms) fieldsOf(io, alarm);
    for (ThreadQueue& queue : objects.readyQueues) fieldsOf(io, queue);
    io.field(objects.currentThreadId);
    io.field(objects.switchPending);
    io.field(objects.dispatchDisabled);
    io.field(objects.idle);
    io.field(objects.idleStepCounted);
    io.field(objects.alarmExpired);
    io.field(objects.idleCycles);
    io.field(objects.end);
    io.field(objects.exitCode);
}

template <typename Io>
void fieldsOf(Io& io, KernelCallState& calls) {
    io.field(calls.sifReg4);
    io.field(calls.sifToggle);
    io.field(calls.deci2.registered);
    io.field(calls.deci2.buffer);
    io.field(calls.deci2.extra);
}

template <typename Io>
void fieldsOf(Io& io, VuRegisters& unit) {
    for (VuVector& vector : unit.vf) io.field(vector.u);
    io.field(unit.acc.u);
    io.field(unit.vi);
    io.field(unit.tpc);
    io.field(unit.code);
}

template <typename Io>
void fieldsOf(Io& io, VifStreamState& stream) {
    io.field(stream.pending.phase);
    io.field(stream.pending.remaining);
    io.field(stream.pending.destination);
    io.field(stream.directPart.words);
    io.field(stream.directPart.count);
    UnpackTransfer& unpack = stream.unpack;
    io.field(unpack.quadword);
    io.field(unpack.vectorsLeft);
    io.field(unpack.elements);
    io.field(unpack.elementBytes);
    io.field(unpack.fiveBitColour);
    io.field(unpack.zeroExtend);
    io.field(unpack.partial);
    io.field(unpack.partialBytes);
}

template <typename Io>
void fieldsOf(Io& io, ArchiveState& archive) {
    io.field(archive.handle);
    io.field(archive.ready);
    io.field(archive.buffer);
    io.field(archive.table);
    io.field(archive.entryCount);
    io.field(archive.openCount);
    for (ArchiveSlot& slot : archive.slots) {
        io.field(slot.inUse);
        io.field(slot.size);
        io.field(slot.offset);
        io.field(slot.pos);
    }
}

template <typename Io>
void fieldsOf(Io& io, std::optional<u32>& value) {
    bool present = value.has_value();
    u32 stored = value.value_or(0);
    io.field(present);
    io.field(stored);
    value = present ? std::optional<u32>(stored) : std::nullopt;
}

template <typename Io>
void fieldsOf(Io& io, PadPortAreas& port) {
    fieldsOf(io, port.first);
    fieldsOf(io, port.second);
    fieldsOf(io, port.status);
    io.field(port.modeOffset);
}

template <typename Io>
void fieldsOf(Io& io, DiscFileTable& table) {
    for (IsoFileSlot& slot : table.slots) {
        io.field(slot.inUse);
        io.field(slot.size);
        io.field(slot.lsn);
        io.field(slot.pos);
    }
    io.field(table.openCount);
    io.field(table.prepared);
}

template <typename Io>
void fieldsOf(Io& io, ElfHeader& header) {
    io.field(header.ident);
    io.field(header.type);
    io.field(header.machine);
    io.field(header.version);
    io.field(header.entry);
    io.field(header.phoff);
    io.field(header.shoff);
    io.field(header.flags);
    io.field(header.ehsize);
    io.field(header.phentsize);
    io.field(header.phnum);
    io.field(header.shentsize);
    io.field(header.shnum);
    io.field(header.shstrndx);
}

template <typename Io>
void fieldsOf(Io& io, ElfProgramHeader& header) {
    io.field(header.type);
    io.field(header.offset);
    io.field(header.vaddr);
    io.field(header.paddr);
    io.field(header.filesz);
    io.field(header.memsz);
    io.field(header.flags);
    io.field(header.align);
}

template <typename Io>
void fieldsOf(Io& io, ElfSectionHeader& header) {
    io.field(header.name);
    io.field(header.type);
    io.field(header.flags);
    io.field(header.addr);
    io.field(header.offset);
    io.field(header.size);
    io.field(header.link);
    io.field(header.info);
    io.field(header.addralign);
    io.field(header.entsize);
}

// ---- Ranges: every value that indexes a host table is checked ----------

bool isThread(u32 id) { return id < kThreadCount; }

void checkKernel(StateReader& reader, const KernelObjects& objects) {
    for (const ThreadRecord& thread : objects.threads) {
        reader.require(isThread(thread.next) && isThread(thread.previous));
        reader.require(thread.priority < kPriorityCount && thread.initPriority < kPriorityCount);
        if (thread.waitType == kWaitSema) reader.require(thread.waitId < kSemaCount);
        reader.require(thread.context.gpr[0].d[0] == 0 && thread.context.gpr[0].d[1] == 0);
    }
    for (const SemaRecord& sema : objects.semaphores) reader.require(isThread(sema.waiters.head) && isThread(sema.waiters.tail));
    for (const ThreadQueue& queue : objects.readyQueues) reader.require(isThread(queue.head) && isThread(queue.tail));
    reader.require(isThread(objects.currentThreadId));
    reader.require(objects.end == KernelEnd::None || objects.end == KernelEnd::Exit || objects.end == KernelEnd::Deadlock);
}

void checkVifStream(StateReader& reader, const VifStreamState& stream) {
    const PendingPayload& pending = stream.pending;
    reader.require(static_cast<u32>(pending.phase) <= static_cast<u32>(VifPhase::RegisterWords));
    if (pending.phase == VifPhase::MicroProgram) reader.require(pending.destination < kVu1MemoryBytes && pending.destination % 4 == 0);
    if (pending.phase == VifPhase::RegisterWords) {
        reader.require(pending.destination <= kVif1RegisterWordsEnd &&
                       pending.remaining <= (kVif1RegisterWordsEnd - pending.destination) / 4);
    }
    reader.require(stream.directPart.count < 4);
    const UnpackTransfer& unpack = stream.unpack;
    const bool shapeKnown = unpack.elements >= 1 && unpack.elements <= 4 &&
                            (unpack.elementBytes == 1 || unpack.elementBytes == 2 || unpack.elementBytes == 4);
    reader.require(pending.phase != VifPhase::Unpack || shapeKnown);
    reader.require(unpack.partialBytes < 16 && (!shapeKnown || unpack.partialBytes < unpack.elements * unpack.elementBytes));
}

void checkDiscFiles(StateReader& reader, const DiscFileTable& table) {
    for (const IsoFileSlot& slot : table.slots) reader.require(slot.pos >= 0 && static_cast<u32>(slot.pos) <= slot.size);
    reader.require(table.openCount <= kIsoFileSlots);
}

// ---- Guest memory: pages of zeros are one byte ------------------------

void saveBlock(StateWriter& writer, const u8* block, u32 size) {
    static const std::array<u8, kPageBytes> zeros{};
    for (u32 page = 0; page < size; page += kPageBytes) {
        const bool zero = std::memcmp(block + page, zeros.data(), kPageBytes) == 0;
        writer.field(static_cast<u8>(zero ? 0 : 1));
        if (!zero) writer.bytes(block + page, kPageBytes);
    }
}

void loadBlock(StateReader& reader, std::vector<u8>& block, u32 size) {
    block.assign(size, 0);
    for (u32 page = 0; page < size && !reader.failed(); page += kPageBytes) {
        u8 kind = 0;
        reader.field(kind);
        reader.require(kind <= 1);
        if (kind == 1) reader.bytes(block.data() + page, kPageBytes);
    }
}

// ---- The sections -------------------------------------------------------

void saveCpu(StateWriter& writer) {
    fieldsOf(writer, ee);
    writer.field(programLoaded);
    writer.field(cop0.r);
    fieldsOf(writer, fpu);
}

void loadCpu(StateReader& reader, MachineImage& image) {
    fieldsOf(reader, image.ee);
    reader.field(image.programLoaded);
    reader.field(image.cop0.r);
    fieldsOf(reader, image.fpu);
    reader.require(image.programLoaded <= 1);
    // GPR 0 is zero between any two instructions, and the step keeps only
    // its low half at zero: a state with any other GPR 0, here or in a
    // thread's saved registers, is not one this machine wrote.
    reader.require(image.ee.gpr[0].d[0] == 0 && image.ee.gpr[0].d[1] == 0);
}

void saveMemory(StateWriter& writer) {
    saveBlock(writer, memory.ram, kRamSize);
    saveBlock(writer, memory.rom, kRomSize);
    saveBlock(writer, memory.hw, kHwSize);
    saveBlock(writer, memory.scratchpad, kScratchpadSize);
}

void loadMemory(StateReader& reader, MachineImage& image) {
    loadBlock(reader, image.ram, kRamSize);
    loadBlock(reader, image.rom, kRomSize);
    loadBlock(reader, image.hw, kHwSize);
    loadBlock(reader, image.scratchpad, kScratchpadSize);
}

void saveTimers(StateWriter& writer) {
    for (TimerRecord& record : timers) {
        TimerValues values{record.interval, record.start, record.rate, record.flag};
        fieldsOf(writer, values);
    }
    writer.field(eventBase);
    writer.field(eventDelta);
    writer.field(csrVblankCount);
    writer.field(vblankCount);
}

void loadTimers(StateReader& reader, MachineImage& image) {
    for (TimerValues& values : image.timers) {
        fieldsOf(reader, values);
        reader.require(values.rate != 0);
    }
    reader.field(image.eventBase);
    reader.field(image.eventDelta);
    reader.field(image.csrVblankCount);
    reader.field(image.vblankCount);
}

void saveKernel(StateWriter& writer) {
    fieldsOf(writer, kernel);
    fieldsOf(writer, kernelCalls);
}

void loadKernel(StateReader& reader, MachineImage& image) {
    fieldsOf(reader, image.kernel);
    fieldsOf(reader, image.kernelCalls);
    checkKernel(reader, image.kernel);
}

VuRegisters registersOf(const VuState& unit) {
    VuRegisters registers{};
    std::memcpy(registers.vf, unit.vf, sizeof registers.vf);
    registers.acc = unit.vuAcc;
    std::memcpy(registers.vi, unit.vi, sizeof registers.vi);
    registers.tpc = unit.tpc;
    registers.code = unit.code;
    return registers;
}

void putRegisters(VuState& unit, const VuRegisters& registers) {
    // The loaded flags replace any that still wait for their judgement.
    unit.pendingFlags.judge = nullptr;
    std::memcpy(unit.vf, registers.vf, sizeof unit.vf);
    unit.vuAcc = registers.acc;
    std::memcpy(unit.vi, registers.vi, sizeof unit.vi);
    unit.tpc = registers.tpc;
    unit.code = registers.code;
}

void saveVectorUnits(StateWriter& writer) {
    // A micro-program's end has settled the flags already; settling here
    // keeps a state saved from anywhere else exact as well.
    vuSettleFlags(vu0);
    vuSettleFlags(vu1);
    VuRegisters units[2] = {registersOf(vu0), registersOf(vu1)};
    for (VuRegisters& unit : units) fieldsOf(writer, unit);
    writer.field(vuRandomState);
    writer.field(vu1LastUpperWord());
    fieldsOf(writer, vifStream);
}

void loadVectorUnits(StateReader& reader, MachineImage& image) {
    fieldsOf(reader, image.vu0);
    fieldsOf(reader, image.vu1);
    reader.field(image.vuRandomState);
    reader.field(image.vu1LastUpperWord);
    fieldsOf(reader, image.vifStream);
    checkVifStream(reader, image.vifStream);
}

// A host file is recorded by the guest's path, its open flags and its
// offset; no host descriptor or host path goes into the file.
void saveIop(StateWriter& writer) {
    for (const HostFile& file : fileService.hostFiles) {
        writer.field(!file.isFree());
        writer.text(file.path, kPathMax);
        writer.field(file.flags);
        const off_t offset = file.descriptor >= 0 ? ::lseek(file.descriptor, 0, SEEK_CUR) : 0;
        writer.field(static_cast<u64>(offset < 0 ? 0 : offset));
    }
    fieldsOf(writer, fileService.archive);
    writer.field(fileService.openNotifyAddress);
    writer.field(fileService.openNotifyExtra);
    for (PadPortAreas& port : padPorts) fieldsOf(writer, port);
    writer.field(padServiceOpened);
    writer.field(iopVersion);
    writer.text(archivePath, kPathMax);
    writer.field(discMediaType);
    writer.field(trayChanged);
    writer.field(nextModuleId);
}

void loadIop(StateReader& reader, MachineImage& image) {
    for (SavedHostFile& file : image.hostFiles) {
        reader.field(file.open);
        reader.text(file.path, kPathMax);
        reader.field(file.flags);
        reader.field(file.offset);
        reader.require(file.open || file.path.empty());
    }
    for (u32 handle = 0; handle < kFirstHostHandle; ++handle) reader.require(!image.hostFiles[handle].open);
    fieldsOf(reader, image.archive);
    reader.field(image.openNotifyAddress);
    reader.field(image.openNotifyExtra);
    for (PadPortAreas& port : image.padPorts) {
        fieldsOf(reader, port);
        reader.require(port.modeOffset <= 1);
    }
    reader.field(image.padServiceOpened);
    reader.field(image.iopVersion);
    reader.text(image.archivePath, kPathMax);
    reader.field(image.discMediaType);
    reader.field(image.trayChanged);
    reader.field(image.nextModuleId);
}

void saveDisc(StateWriter& writer) {
    fieldsOf(writer, discFiles);
    writer.field(volumeDescriptor);
    fieldsOf(writer, elfHeader);
    for (ElfProgramHeader& header : elfProgramHeaders) fieldsOf(writer, header);
    for (ElfSectionHeader& header : elfSectionHeaders) fieldsOf(writer, header);
    writer.field(elfProgramId);
    writer.field(systemCnfText);
    writer.text(bootPath, kPathMax);
    writer.field(bootedFromDisc);
}

void loadDisc(StateReader& reader, MachineImage& image) {
    fieldsOf(reader, image.discFiles);
    reader.field(image.volumeDescriptor);
    fieldsOf(reader, image.elfHeader);
    for (ElfProgramHeader& header : image.elfProgramHeaders) fieldsOf(reader, header);
    for (ElfSectionHeader& header : image.elfSectionHeaders) fieldsOf(reader, header);
    reader.field(image.elfProgramId);
    reader.field(image.systemCnfText);
    reader.text(image.bootPath, kPathMax);
    reader.field(image.bootedFromDisc);
    checkDiscFiles(reader, image.discFiles);
    image.systemCnfText[kSystemCnfBytes] = '\0';
}

// A file that cannot be opened again stays a handle that answers -1. The
// create and truncate flags are dropped: the file is there already, and
// its contents are what the guest wrote.
HostFile reopen(const SavedHostFile& saved) {
    HostFile file{-1, saved.path, saved.flags};
    const auto hostPath = resolveHostPath(saved.path);
    if (!hostPath) return file;
    const u32 flags = saved.flags & ~(kHostOpenCreate | kHostOpenTruncate);
    const int descriptor = ::open(hostPath->c_str(), hostOpenFlags(flags));
    if (descriptor < 0) return file;
    if (::lseek(descriptor, static_cast<off_t>(saved.offset), SEEK_SET) < 0) {
        ::close(descriptor);
        return file;
    }
    file.descriptor = descriptor;
    return file;
}

}  // namespace

const std::vector<MachineSection>& machineSections() {
    static const std::vector<MachineSection> sections = {
        {sectionTag("CPU "), "EE core, COP0 and FPU", saveCpu, loadCpu},
        {sectionTag("MEM "), "guest memory", saveMemory, loadMemory},
        {sectionTag("TIME"), "timers", saveTimers, loadTimers},
        {sectionTag("KERN"), "kernel", saveKernel, loadKernel},
        {sectionTag("VU  "), "vector units and VIF1", saveVectorUnits, loadVectorUnits},
        {sectionTag("IOP "), "IOP services", saveIop, loadIop},
        {sectionTag("DISC"), "disc and executable", saveDisc, loadDisc},
    };
    return sections;
}

void applyMachineImage(const MachineImage& image) {
    ee = image.ee;
    programLoaded = image.programLoaded;
    cop0 = image.cop0;
    fpu = image.fpu;

    std::memcpy(memory.ram, image.ram.data(), kRamSize);
    std::memcpy(memory.rom, image.rom.data(), kRomSize);
    std::memcpy(memory.hw, image.hw.data(), kHwSize);
    std::memcpy(memory.scratchpad, image.scratchpad.data(), kScratchpadSize);

    for (unsigned n = 0; n < std::size(timers); ++n) {
        timers[n].interval = image.timers[n].interval;
        timers[n].start = image.timers[n].start;
        timers[n].rate = image.timers[n].rate;
        timers[n].flag = image.timers[n].flag;
    }
    eventBase = image.eventBase;
    eventDelta = image.eventDelta;
    csrVblankCount = image.csrVblankCount;
    vblankCount = image.vblankCount;

    kernel = image.kernel;
    kernelCalls = image.kernelCalls;

    putRegisters(vu0, image.vu0);
    putRegisters(vu1, image.vu1);
    vuRandomState = image.vuRandomState;
    vu1MicroRestore(image.vu1LastUpperWord);
    vifStream = image.vifStream;

    fileServiceReset();
    for (u32 handle = 0; handle < kHostHandleLimit; ++handle) {
        if (image.hostFiles[handle].open) fileService.hostFiles[handle] = reopen(image.hostFiles[handle]);
    }
    fileService.archive = image.archive;
    fileService.openNotifyAddress = image.openNotifyAddress;
    fileService.openNotifyExtra = image.openNotifyExtra;
    padPorts = image.padPorts;
    padServiceOpened = image.padServiceOpened;
    iopVersion = image.iopVersion;
    archivePath = image.archivePath;
    discMediaType = image.discMediaType;
    trayChanged = image.trayChanged;
    nextModuleId = image.nextModuleId;

    discFiles = image.discFiles;
    std::memcpy(volumeDescriptor, image.volumeDescriptor, sizeof volumeDescriptor);
    elfHeader = image.elfHeader;
    std::memcpy(elfProgramHeaders, image.elfProgramHeaders, sizeof elfProgramHeaders);
    std::memcpy(elfSectionHeaders, image.elfSectionHeaders, sizeof elfSectionHeaders);
    elfProgramId = image.elfProgramId;
    std::memcpy(systemCnfText, image.systemCnfText, sizeof systemCnfText);
    bootPath = image.bootPath;
    bootedFromDisc = image.bootedFromDisc;
}
