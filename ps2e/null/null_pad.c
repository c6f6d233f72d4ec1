/* The bundled null PAD: no key events, and a digital pad with no button
   pressed on either port. After PADstartPoll the answers are the pad's id
   0x41 (digital, one halfword of buttons), the 0x5A that precedes the data,
   then 0xFF for every further byte: buttons are active low, so none is
   pressed. */
#include "ps2e/ps2e.h"

#define DIGITAL_PAD_ID 0x41
#define DATA_FOLLOWS 0x5A
#define NOTHING_PRESSED 0xFF

static uint32_t bytesSincePollStart;

uint32_t PS2EgetLibType(void) { return PS2E_LT_PAD; }
const char* PS2EgetLibName(void) { return "Corvane null PAD"; }
uint32_t PS2EgetLibVersion(void) { return 0x0100; }

int32_t PADinit(uint32_t port) {
    (void)port;
    return 0;
}
void PADshutdown(void) {}
int32_t PADopen(uint32_t* displayHandle) {
    (void)displayHandle;
    return 0;
}
void PADclose(void) {}
keyEvent* PADkeyEvent(void) { return 0; }

uint8_t PADstartPoll(int32_t port) {
    (void)port;
    bytesSincePollStart = 0;
    return NOTHING_PRESSED;
}

uint8_t PADpoll(uint8_t value) {
    (void)value;
    const uint32_t position = bytesSincePollStart;
    if (bytesSincePollStart < 2) ++bytesSincePollStart;
    if (position == 0) return DIGITAL_PAD_ID;
    if (position == 1) return DATA_FOLLOWS;
    return NOTHING_PRESSED;
}

uint32_t PADquery(void) { return 3; /* both ports */ }
void PADconfigure(void) {}
void PADabout(void) {}
int32_t PADtest(void) { return 0; }
