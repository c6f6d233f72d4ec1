// A front end's last word on a run of emuRunWithLimits: called when the
// run has stopped, before the plugins close, so the plugins can still be
// asked for what the run left (the headless runner's end-of-run snapshot).
#pragma once

using RunEndHook = void (*)();
void setRunEndHook(RunEndHook hook);  // null: nothing is called
