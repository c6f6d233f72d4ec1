/* The bundled null SPU2: accepts every call and plays nothing. */
#include "ps2e/ps2e.h"

uint32_t PS2EgetLibType(void) { return PS2E_LT_SPU2; }
const char* PS2EgetLibName(void) { return "Corvane null SPU2"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t SPU2init(void) { return 0; }
void SPU2shutdown(void) {}
int32_t SPU2open(uint32_t* displayHandle) {
    (void)displayHandle;
    return 0;
}
void SPU2close(void) {}
void SPU2update(void) {}
void SPU2dma(void) {}
void SPU2write(uint32_t address, uint16_t value) {
    (void)address;
    (void)value;
}
uint16_t SPU2read(uint32_t address) {
    (void)address;
    return 0;
}
void SPU2configure(void) {}
void SPU2about(void) {}
int32_t SPU2test(void) { return 0; }
