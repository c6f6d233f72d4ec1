/* The recording GS: logs every call with its arguments and the GIF data it
   receives, and answers register reads as the test scripts them. GSopen
   stores 0x600D into the display handle, as a plugin stores its window
   there. */
#include "plugin_record.h"

/* A GIF packet handed over without a size is walked tag by tag; VU1 data
   memory holds at most 1024 quadwords, so a packet never runs longer. */
#define MAX_PACKET_QUADWORDS 1024u

uint32_t PS2EgetLibType(void) { return PS2E_LT_GS; }
const char* PS2EgetLibName(void) { return "Recording GS"; }
uint32_t PS2EgetLibVersion(void) { return 0x0102; }
void GSconfigure(void) { record0("GSconfigure"); }
void GSabout(void) { record0("GSabout"); }

int32_t GSinit(void) {
    record0("GSinit");
    return 0;
}
void GSshutdown(void) { record0("GSshutdown"); }

int32_t GSopen(uint32_t* displayHandle, const char* title) {
    const uint64_t handle = pointerValue(displayHandle);
    recorderCall(PLUGIN_TAG, "GSopen", &handle, 1, title);
    *displayHandle = 0x600D;
    return 0;
}

void GSclose(void) { record0("GSclose"); }

void GSgifTransfer(const uint32_t* data, uint32_t quadwords) {
    record1("GSgifTransfer", quadwords);
    recorderData(data, quadwords * 4);
}

/* The quadwords of a packet up to and including the one that ends the tag
   with the end-of-packet bit: PACKED data is NLOOP*NREG quadwords, REGLIST
   NLOOP*NREG doublewords, IMAGE NLOOP quadwords. */
static uint32_t packetQuadwords(const uint32_t* packet) {
    uint32_t at = 0;
    while (at < MAX_PACKET_QUADWORDS) {
        const uint32_t* tag = packet + at * 4;
        const uint32_t loops = tag[0] & 0x7FFF;
        const uint32_t endOfPacket = (tag[0] >> 15) & 1;
        const uint32_t format = (tag[1] >> 26) & 3;
        uint32_t registers = (tag[1] >> 28) & 0xF;
        if (registers == 0) registers = 16;
        at += 1;
        if (format == 0) at += loops * registers;
        else if (format == 1) at += (loops * registers + 1) / 2;
        else at += loops;
        if (endOfPacket) break;
    }
    return at < MAX_PACKET_QUADWORDS ? at : MAX_PACKET_QUADWORDS;
}

void GSgifTransfer2(const uint32_t* packet) {
    const uint32_t quadwords = packetQuadwords(packet);
    record1("GSgifTransfer2", quadwords);
    recorderData(packet, quadwords * 4);
}

void GSwrite32(uint32_t address, uint32_t value) { record2("GSwrite32", address, value); }
void GSwrite64(uint32_t address, uint64_t value) { record2("GSwrite64", address, value); }

static uint64_t recordRead(const char* entry, uint32_t address) {
    record1(entry, address);
    uint64_t value = 0;
    recorderGsReadAnswer(address, &value);
    return value;
}
uint32_t GSread32(uint32_t address) { return (uint32_t)recordRead("GSread32", address); }
uint64_t GSread64(uint32_t address) { return recordRead("GSread64", address); }

void GSvsync(void) { record0("GSvsync"); }
void GSkeyEvent(keyEvent* event) { record2("GSkeyEvent", event->key, event->event); }
void GSmakeSnapshot(const char* directory) { recorderCall(PLUGIN_TAG, "GSmakeSnapshot", 0, 0, directory); }
