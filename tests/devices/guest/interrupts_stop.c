/* interrupts_vblank.c with causes 2 and 3 unmasked and a first handler
   call that returns -1. */
#define STOP_AT_FIRST_CALL
#include "interrupts_vblank.c"
