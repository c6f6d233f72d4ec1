/* The core instruction-class programs record through the shared records.h;
   the link check is their own. */
#include "records.h"

/* A link register: the address of `site` + 8, bits 32..63 zero, the upper
   doubleword still the pattern's. */
.macro record_link reg, site, text
    sq      \reg, 0($s0)
    addiu   $s0, $s0, 16
    expect  ".word \site + 8, 0, 0x89ABCDEF, 0x01234567", "\text"
.endm
