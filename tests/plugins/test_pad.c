/* The scripted PAD: logs every call; PADkeyEvent hands out the key events
   the test scripted for this library, one per call, and PADpoll answers the
   scripted bytes, then 0xFF. Built twice, as "pad" and "pad_b", so that a
   test can load a different file into each port. */
#include "plugin_record.h"

static keyEvent pending;

uint32_t PS2EgetLibType(void) { return PS2E_LT_PAD; }
const char* PS2EgetLibName(void) { return "Scripted PAD " PLUGIN_TAG; }
uint32_t PS2EgetLibVersion(void) { return 0x0300; }
void PADconfigure(void) { record0("PADconfigure"); }
void PADabout(void) { record0("PADabout"); }

int32_t PADinit(uint32_t port) {
    record1("PADinit", port);
    return 0;
}
void PADshutdown(void) { record0("PADshutdown"); }

int32_t PADopen(uint32_t* displayHandle) {
    record2("PADopen", pointerValue(displayHandle), *displayHandle);
    return 0;
}
void PADclose(void) { record0("PADclose"); }

keyEvent* PADkeyEvent(void) {
    record0("PADkeyEvent");
    return recorderNextKeyEvent(PLUGIN_TAG, &pending.key, &pending.event) ? &pending : 0;
}

uint8_t PADstartPoll(int32_t port) {
    record1("PADstartPoll", (uint64_t)port);
    return 0xFF;
}

uint8_t PADpoll(uint8_t value) {
    uint8_t answer = 0xFF;
    recorderNextPollAnswer(PLUGIN_TAG, &answer);
    record2("PADpoll", value, answer);
    return answer;
}
