/* The recording SPU2: logs the life-cycle calls, the only ones the host
   makes. */
#include "plugin_record.h"

uint32_t PS2EgetLibType(void) { return PS2E_LT_SPU2; }

int32_t SPU2init(void) {
    record0("SPU2init");
    return 0;
}
void SPU2shutdown(void) { record0("SPU2shutdown"); }

int32_t SPU2open(uint32_t* displayHandle) {
    record2("SPU2open", pointerValue(displayHandle), *displayHandle);
    return 0;
}
void SPU2close(void) { record0("SPU2close"); }
