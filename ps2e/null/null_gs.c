/* The bundled null GS: accepts every call and draws nothing. It finishes
   every transfer before returning, so CSR always reports FINISH (no drawing
   pending); the other register reads answer 0. A program that waits for
   FINISH after writing CSR back as it read it (acknowledging FINISH) thus
   still finds it. */
#include "ps2e/ps2e.h"

#define GS_CSR 0x12001000u
#define CSR_FINISH 0x2u

uint32_t PS2EgetLibType(void) { return PS2E_LT_GS; }
const char* PS2EgetLibName(void) { return "Corvane null GS"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t GSinit(void) { return 0; }
void GSshutdown(void) {}
int32_t GSopen(uint32_t* displayHandle, const char* title) {
    (void)displayHandle;
    (void)title;
    return 0;
}
void GSclose(void) {}
void GSgifTransfer(const uint32_t* data, uint32_t quadwords) {
    (void)data;
    (void)quadwords;
}
void GSgifTransfer2(const uint32_t* packet) { (void)packet; }
void GSwrite32(uint32_t address, uint32_t value) {
    (void)address;
    (void)value;
}
void GSwrite64(uint32_t address, uint64_t value) {
    (void)address;
    (void)value;
}
uint32_t GSread32(uint32_t address) { return address == GS_CSR ? CSR_FINISH : 0; }
uint64_t GSread64(uint32_t address) { return address == GS_CSR ? CSR_FINISH : 0; }
void GSvsync(void) {}
void GSkeyEvent(keyEvent* event) { (void)event; }
void GSmakeSnapshot(const char* directory) { (void)directory; }
void GSconfigure(void) {}
void GSabout(void) {}
int32_t GStest(void) { return 0; }
