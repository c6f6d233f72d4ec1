// A front end's say at the end of a run. Both are called when the run has
// stopped, between two instructions and before the plugins close, so the
// machine is whole and the plugins can still be asked for their state.
#pragma once

// emuRunWithLimits' last word (the headless runner's end-of-run snapshot).
using RunEndHook = void (*)();
void setRunEndHook(RunEndHook hook);  // null: nothing is called

// emuRun's pause: a front end that raised the stop flag to do something
// with the whole machine (the desktop program's quick save and load) does
// it here, and answers true to let the run go on from where it is now, or
// false to let it end. Null: every stop ends the run.
using RunPauseHook = bool (*)();
void setRunPauseHook(RunPauseHook hook);
