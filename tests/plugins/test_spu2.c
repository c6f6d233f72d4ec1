/* The recording SPU2: logs every call. */
#include "plugin_record.h"

uint32_t PS2EgetLibType(void) { return PS2E_LT_SPU2; }
const char* PS2EgetLibName(void) { return "Recording SPU2"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

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
void SPU2update(void) { record0("SPU2update"); }
void SPU2dma(void) { record0("SPU2dma"); }
void SPU2write(uint32_t address, uint16_t value) { record2("SPU2write", address, value); }
uint16_t SPU2read(uint32_t address) {
    record1("SPU2read", address);
    return 0;
}
void SPU2configure(void) { record0("SPU2configure"); }
void SPU2about(void) { record0("SPU2about"); }
int32_t SPU2test(void) {
    record0("SPU2test");
    return 0;
}
