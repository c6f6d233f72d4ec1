#include "vu/vu1_micro.h"

// VU1 does not execute micro-programs yet: a started program returns at
// once and leaves vu1.tpc where MSCAL put it or where MSCNT found it.
void vu1Run() {}
