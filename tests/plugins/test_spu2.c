/* The recording SPU2: logs the life-cycle calls, the only ones the host
   makes. */
#include "plugin_record.h"

uint32_t PS2EgetLibType(void) { return PS2E_LT_SPU2; }
const char* PS2EgetLibName(void) { return "Recording SPU2"; }
uint32_t PS2EgetLibVersion(void) { return 0x0001; }
void SPU2configure(void) { record0("SPU2configure"); }
void SPU2about(void) { record0("SPU2about"); }

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
