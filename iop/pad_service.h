// The controller service: the guest tells the IOP where in EE RAM to keep
// each port's state, and the ports are polled into those areas at every
// vertical blank.
#pragma once

#include "core/types.h"

// 0 until a guest opens a controller port; it then chooses PAD1 over PAD2
// as the source of key events at the vertical blank. Cleared when the
// timers are initialised.
extern u32 padServiceOpened;

// Polls ports 0 and 1 into their registered areas. No port can be opened
// yet, so there is nothing to poll.
void pollControllers();
