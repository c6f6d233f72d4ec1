#include "core/emulation.h"

#include "cop/cop0.h"
#include "cop/fpu.h"
#include "core/cpu.h"
#include "core/ee_state.h"
#include "core/work_budget.h"
#include "disc/elf_loader.h"
#include "frontend/log.h"
#include "iop/module_loader.h"
#include "kernel/objects.h"
#include "memory/bus.h"
#include "memory/timers.h"
#include "plugins/config.h"
#include "plugins/plugin_host.h"
#include "vu/vif1.h"
#include "vu/vu_state.h"

u32 programLoaded;
u32 pluginsOpened;
u32 stopFlag;

void emuInit() {
    readConfig();
    memAlloc();
    loadAllPlugins();
    ee.pc = elfHeader.entry;
    initPlugins();
    cpuReset();
    vuReset();
    vifReset();
    timersInit();
    resetModuleIds();
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
    stopFlag = 1;
    if (pluginsOpened == 1) closePlugins();
    pluginsOpened = 0;
}

void emuReset() {
    emuStop();
    emuShutdown();
    emuInit();
}

namespace {
bool beginRun() {
    if (programLoaded == 0) return false;
    if (pluginsOpened == 0) openPlugins();
    pluginsOpened = 1;
    stopFlag = 0;
    return true;
}
}  // namespace

void emuRun() {
    if (!beginRun()) return;
    while (stopFlag != 1) cpuStep();
    emuStop();
}

// The vertical blank raises the stop flag when it reaches the limit, so the
// loop below tests nothing more per step; after the stop, the count tells
// the limit from Escape.
StopReason emuRunWithLimits(const RunLimits& limits) {
    if (!beginRun()) return StopReason::NotLoaded;
    const u64 vblanksBefore = vblankCount;
    const auto vblankLimitReached = [&] { return vblankCount - vblanksBefore >= limits.maxVblanks; };
    vblankStopAt = limits.maxVblanks > kVblankNever - vblankCount ? kVblankNever : vblankCount + limits.maxVblanks;
    if (limits.maxVblanks == 0) stopFlag = 1;
    // The cycle counter wraps at 2^32, so the limit is counted in chunks that
    // a 32-bit difference can measure.
    u64 remaining = limits.maxCycles;
    StopReason reason = StopReason::MaxCycles;
    while (remaining > 0) {
        const u32 chunk = remaining > 0x80000000u ? 0x80000000u : static_cast<u32>(remaining);
        const u32 chunkStart = ee.cycle;
        // Interrupt handlers run inside one step; they stop at the run's
        // limit too, once it lies within this chunk.
        if (remaining == chunk) workSetCycleLimit(chunkStart, chunk);
        u32 ran = 0;
        for (;;) {
            ran = ee.cycle - chunkStart;
            if (ran >= chunk) break;
            if (stopFlag == 1) {
                reason = vblankLimitReached() ? StopReason::MaxVblanks : StopReason::Escape;
                break;
            }
            if (limits.hasUntil && ee.pc == limits.until) {
                reason = StopReason::Until;
                break;
            }
            const u32 pcBefore = ee.pc;
            cpuStep();
            if (limits.stopAtIdleLoop && ee.pc == pcBefore) {
                reason = StopReason::IdleLoop;
                break;
            }
        }
        if (reason != StopReason::MaxCycles) break;
        remaining -= ran < remaining ? ran : remaining;
    }
    vblankStopAt = kVblankNever;
    workClearCycleLimit();
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
    }
    return "unknown";
}
