#include "machine/emulation.h"

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/cpu.h"
#include "core/diagnostics.h"
#include "core/ee_state.h"
#include "core/run_control.h"
#include "core/work_budget.h"
#include "debugger/debug_log.h"
#include "devices/hw_registers.h"
#include "devices/timers.h"
#include "disc/elf_loader.h"
#include "disc/iso9660.h"
#include "frontend/log.h"
#include "iop/iop_services.h"
#include "kernel/objects.h"
#include "kernel/scheduler.h"
#include "machine/run_end_hook.h"
#include "machine/vblank.h"
#include "memory/bus.h"
#include "plugins/config.h"
#include "plugins/plugin_host.h"
#include "vu/vif1.h"
#include "vu/vu1_micro.h"
#include "vu/vu_state.h"

void emuInit() {
    logForgetReported();
    readConfig();
    memAlloc();
    hwRegistersInit();
    loadAllPlugins();
    ee.pc = elfHeader.entry;
    initPlugins();
    cpuReset();
    vuReset();
    vifReset();
    vu1MicroReset();
    vblankInit();
    timersInit();
    iopServicesReset();
    isoReset();
}

// HI, LO, SA and the instruction word survive a reset; the PC was just set
// from the last loaded executable's entry.
void cpuReset() {
    for (Reg128& reg : ee.gpr) reg = Reg128{};
    cop0 = Cop0State{};
    fpu = FpuState{};
    ee.gpr[kGprGp].d[0] = 0x81F80000;
    ee.gpr[kGprSp].d[0] = 0x81F00000;
    cop0.r[kCop0Status] = kStatusAtReset;
    cop0.r[kCop0PRId] = kPRIdAtReset;
    fpu.fcr[0] = kFcr0AtReset;
    fpu.fcr[31] = kFcr31AtReset;
    logOpen();
    ee.cycle = 0;
    kernelReset();
}

void emuShutdown() {
    memFree();
    shutdownPlugins();
}

void emuStop() {
    raiseStopFlag();
    if (pluginsOpened == 1) closePlugins();
    pluginsOpened = 0;
}

void emuReset() {
    emuStop();
    emuShutdown();
    emuInit();
}

namespace {
// A program that has ended stays ended: a run after it stops at once.
bool beginRun() {
    if (programLoaded == 0) return false;
    if (pluginsOpened == 0) openPlugins();
    pluginsOpened = 1;
    stopFlag = kernel.end == KernelEnd::None ? 0 : 1;
    return true;
}

// Why the stop flag ended a run: the kernel's end of the program, or else
// the vertical-blank limit or Escape.
StopReason reasonForStopFlag(bool vblankLimitReached) {
    switch (kernel.end) {
    case KernelEnd::Exit: return StopReason::Exit;
    case KernelEnd::Deadlock: return StopReason::Deadlock;
    case KernelEnd::None: break;
    }
    return vblankLimitReached ? StopReason::MaxVblanks : StopReason::Escape;
}
}  // namespace

namespace {
RunPauseHook runPauseHook = nullptr;
}  // namespace

void setRunPauseHook(RunPauseHook hook) { runPauseHook = hook; }

// A run that begins, or goes on after a pause, while no thread can run goes
// on idling first. A program that ended, or a state loaded in the pause
// where it had, ends the run.
void emuRun() {
    if (!beginRun()) return;
    setIdleCycleLimit(false, 0);
    for (;;) {
        resumeIdle();
        while (stopFlag != 1) cpuStep();
        if (runPauseHook == nullptr || !runPauseHook() || kernel.end != KernelEnd::None) break;
        stopFlag = 0;
    }
    emuStop();
}

namespace {

// Why a chunk of steps ended (MaxCycles when it ran to its length), and how
// many steps it ran.
struct ChunkEnd {
    StopReason reason;
    u32 ran;
};

// Runs at most `chunk` steps. A copy of the loop without the --until test
// serves the runs that do not ask for it. The idle loop costs the loop
// nothing per step: the delay-slot step notes it and moves the stop check
// forward.
template <bool checkUntil>
ChunkEnd runChunk(u32 chunk, u32 until) {
    const u32 chunkStart = ee.cycle;
    const u32 chunkEnd = chunkStart + chunk;
    stopCheckCycle = stopFlag == 1 ? chunkStart : chunkEnd;
    takeIdleLoop();
    const u8* const ram = memory.ram;
    for (;;) {
        if (static_cast<s32>(ee.cycle - stopCheckCycle) >= 0) {
            const u32 ran = ee.cycle - chunkStart;
            if (takeIdleLoop()) return {StopReason::IdleLoop, ran};
            if (ran >= chunk) return {StopReason::MaxCycles, ran};
            if (stopFlag == 1) return {StopReason::Escape, ran};
            // Raised and lowered again within one step, or an idle loop
            // that is not where the program now is: nothing to stop for.
            stopCheckCycle = chunkEnd;
        }
        if (checkUntil && ee.pc == until) return {StopReason::Until, ee.cycle - chunkStart};
        cpuStepIn(ram);
    }
}

using ChunkRunner = ChunkEnd (*)(u32 chunk, u32 until);

ChunkRunner chunkRunnerFor(const RunLimits& limits) {
    return limits.hasUntil ? runChunk<true> : runChunk<false>;
}

}  // namespace

// The vertical blank raises the stop flag when it reaches the limit, so the
// loop tests nothing more per step; after the stop, the count tells the
// limit from Escape.
namespace {
RunEndHook runEndHook = nullptr;
}  // namespace

void setRunEndHook(RunEndHook hook) { runEndHook = hook; }

StopReason emuRunWithLimits(const RunLimits& limits) {
    if (!beginRun()) return StopReason::NotLoaded;
    const u64 vblanksBefore = vblankCount;
    const auto vblankLimitReached = [&] { return vblankCount - vblanksBefore >= limits.maxVblanks; };
    vblankStopAt = limits.maxVblanks > kVblankNever - vblankCount ? kVblankNever : vblankCount + limits.maxVblanks;
    if (limits.maxVblanks == 0) raiseStopFlag();
    const ChunkRunner runChunkWithLimits = chunkRunnerFor(limits);
    idleLoopStopsRun = limits.stopAtIdleLoop;
    // The cycle counter wraps at 2^32, so the limit is counted in chunks that
    // a 32-bit difference can measure.
    u64 remaining = limits.maxCycles;
    StopReason reason = StopReason::MaxCycles;
    while (remaining > 0) {
        const u32 chunk = remaining > 0x80000000u ? 0x80000000u : static_cast<u32>(remaining);
        // Interrupt handlers run inside one step; they stop at the run's
        // limit too, once it lies within this chunk.
        const u32 chunkStart = ee.cycle;
        if (remaining == chunk) workSetCycleLimit(chunkStart, chunk);
        // A machine stopped while idle idles on first, within the chunk.
        setIdleCycleLimit(true, chunkStart + chunk);
        resumeIdle();
        const u32 idled = ee.cycle - chunkStart;
        ChunkEnd end = runChunkWithLimits(chunk - idled, limits.until);
        end.ran += idled;
        reason = end.reason;
        if (reason == StopReason::Escape) reason = reasonForStopFlag(vblankLimitReached());
        if (reason != StopReason::MaxCycles) break;
        remaining -= end.ran < remaining ? end.ran : remaining;
    }
    vblankStopAt = kVblankNever;
    idleLoopStopsRun = false;
    workClearCycleLimit();
    if (runEndHook != nullptr) runEndHook();
    emuStop();
    return reason;
}

const char* stopReasonName(StopReason reason) {
    switch (reason) {
    case StopReason::NotLoaded: return "not-loaded";
    case StopReason::IdleLoop: return "idle-loop";
    case StopReason::Until: return "until";
    case StopReason::MaxCycles: return "max-cycles";
    case StopReason::Escape: return "escape";
    case StopReason::MaxVblanks: return "max-vblanks";
    case StopReason::Exit: return "exit";
    case StopReason::Deadlock: return "deadlock";
    }
    return "unknown";
}

s32 programExitCode() { return kernel.exitCode; }

std::string programEndText() {
    switch (kernel.end) {
    case KernelEnd::Exit: return "exit, exit code " + std::to_string(kernel.exitCode);
    case KernelEnd::Deadlock: return "deadlock";
    case KernelEnd::None: break;
    }
    return {};
}

namespace {
constexpr u32 kDebugStepIdleCycles = 60 * kFrameCycles;
}  // namespace

// The stop flag that a finished run left raised would end idling at once,
// so it is lowered while stepping; Escape or the kernel ending the program
// raise it again. Each change of the running thread is said in the message
// list, so the user sees why the code being stepped jumped elsewhere.
u32 emuStepForDebugger(u32 count) {
    const u32 stopFlagBefore = stopFlag;
    stopFlag = 0;
    u32 ran = 0;
    while (ran < count && kernel.end == KernelEnd::None) {
        const u32 threadBefore = kernel.currentThreadId;
        const bool wasIdle = kernel.idle;
        setIdleCycleLimit(true, ee.cycle + kDebugStepIdleCycles);
        if (kernel.idle) {
            resumeIdle();
            if (kernel.idle || stopFlag == 1) break;
        }
        cpuStep();
        ++ran;
        if (kernel.currentThreadId != threadBefore || (wasIdle && !kernel.idle)) {
            debugLogLine("thread " + std::to_string(kernel.currentThreadId) + " runs");
        }
    }
    if (stopFlag != 1) stopFlag = stopFlagBefore;
    return ran;
}
