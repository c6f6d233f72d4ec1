// Branches and jumps. A taken one runs its delay slot itself through
// cpuStepDelaySlot, which then moves the PC to the target computed before.
#pragma once

void opBeq();
void opBne();
void opBlez();
void opBgtz();
void opBeql();
void opBnel();
void opBlezl();
void opBgtzl();

// REGIMM table.
void opBltz();
void opBgez();
void opBltzl();
void opBgezl();
void opBltzal();
void opBgezal();
void opBltzall();
void opBgezall();

void opJ();
void opJal();
void opJr();
void opJalr();

// Shared by every branch family (the COP1 branches included).
void branchIf(bool taken);
void branchLikelyIf(bool taken);
