// Bringing the machine up, running, stopping, tearing down and resetting it.
#pragma once

#include <string>

#include "core/run_control.h"
#include "core/types.h"

void emuInit();
void emuShutdown();
void emuStop();
void emuReset();
void emuRun();
void cpuReset();

// Why a run with limits ended.
enum class StopReason {
    NotLoaded,  // nothing to run: no program is loaded
    IdleLoop,   // a taken branch or jump whose target is its own address
    Until,      // the PC reached the requested address
    MaxCycles,  // the requested number of instructions has run
    Escape,     // the stop flag was raised (Escape from the PAD plugin)
    MaxVblanks, // the requested number of vertical blanks has happened
    Exit,       // the program called Exit, or its last thread that could run has ended
    Deadlock,   // threads wait, and nothing could ever wake them
};

struct RunLimits {
    u64 maxCycles = UINT64_MAX;  // instructions to run at most
    u64 maxVblanks = UINT64_MAX; // vertical blanks of this run at most; the run stops after the last
    bool hasUntil = false;
    u32 until = 0;               // stop when the PC equals this
    bool stopAtIdleLoop = true;
};

// emuRun for the headless front end and the tests: the same opening and
// closing of the plugins, with the stops of `limits` checked between steps.
StopReason emuRunWithLimits(const RunLimits& limits);

const char* stopReasonName(StopReason reason);

// The exit code of a run that ended with StopReason::Exit: Exit's argument,
// or 0 when the last thread ended.
s32 programExitCode();

// How the kernel ended the program, named as the stop reasons name it:
// "exit, exit code 3" or "deadlock"; empty while it has not ended.
std::string programEndText();

// The debugger's steps: up to `count` instructions, each as the run loop
// runs it. While no thread can run, time first advances to the event that
// readies one, as in a run, rather than stepping the waiting thread's code;
// a step gives up when no thread is ready after a second of emulated time.
// Returns the instructions executed: fewer than `count` when the machine
// stayed idle or the program has ended.
u32 emuStepForDebugger(u32 count);
