/* The PS2E plugin interface: the entry points that GS, PAD, SPU2 and CDVD
   plugin libraries export with C linkage, and the records passed across
   it. The host and the plugins both include this header. */
#ifndef CORVANE_PS2E_H
#define CORVANE_PS2E_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Kind mask answered by PS2EgetLibType. */
#define PS2E_LT_GS 0x01
#define PS2E_LT_PAD 0x02
#define PS2E_LT_SPU2 0x04
#define PS2E_LT_CDVD 0x08

/* The environment variable the host sets before it loads plugins: the
   folder, ending in '/', where it keeps Config.ini. A plugin keeps its own
   settings file there too. */
#define CORVANE_SETTINGS_DIR_VARIABLE "CORVANE_SETTINGS_DIR"

/* Key events: a Windows virtual-key code and what happened to the key. */
#define KEYPRESS 1
#define KEYRELEASE 2

typedef struct {
    uint32_t key;
    uint32_t event;
} keyEvent;

/* An absolute disc sector address in binary minute, second and frame. */
typedef struct {
    uint8_t minute;
    uint8_t second;
    uint8_t frame;
    uint8_t type; /* not set by the host */
} cdvdLoc;

/* What CDVDgetTN writes: the first and the last track number. */
typedef struct {
    uint8_t strack;
    uint8_t etrack;
} cdvdTN;

/* What CDVDgetTD writes: the track's first logical sector (for track 0,
   the sector just past the end of the disc) and the track's kind. */
typedef struct {
    uint32_t lsn;
    uint8_t type;
} cdvdTD;

#define CDVD_AUDIO_TRACK 0x01
#define CDVD_MODE1_TRACK 0x41
#define CDVD_MODE2_TRACK 0x61

/* Optional in every kind: the plugin's own state, for saved machine
   states. FREEZE_SIZE sets size to the bytes a save needs; FREEZE_SAVE
   fills data, which the host has allocated with that size; FREEZE_LOAD
   takes back size bytes that a save gave. 0 on success, -1 on failure
   (a load that fails leaves the plugin as it was). */
#define FREEZE_LOAD 0
#define FREEZE_SAVE 1
#define FREEZE_SIZE 2

typedef struct {
    int32_t size;
    char* data;
} freezeData;

/* Identity, exported by every plugin. Version: bits 8-15 major, 0-7 minor. */
uint32_t PS2EgetLibType(void);
const char* PS2EgetLibName(void);
uint32_t PS2EgetLibVersion(void);

/* GS */
int32_t GSinit(void);
void GSshutdown(void);
int32_t GSopen(uint32_t* displayHandle, const char* title);
void GSclose(void);
void GSgifTransfer(const uint32_t* data, uint32_t quadwords);
void GSgifTransfer2(const uint32_t* packet);
void GSwrite32(uint32_t address, uint32_t value);
void GSwrite64(uint32_t address, uint64_t value);
uint32_t GSread32(uint32_t address);
uint64_t GSread64(uint32_t address);
void GSvsync(void);
void GSkeyEvent(keyEvent* event);
void GSmakeSnapshot(const char* directory);
void GSconfigure(void);
void GSabout(void);
int32_t GStest(void);
int32_t GSfreeze(int32_t mode, freezeData* data);
/* Optional: copies the next quadwords of a pending local-to-host transfer
   (TRXDIR 1) into memory. */
void GSreadFIFO2(uint64_t* memory, int quadwords);

/* PAD: one library serves both ports, each through its own table. */
int32_t PADinit(uint32_t port);
void PADshutdown(void);
int32_t PADopen(uint32_t* displayHandle);
void PADclose(void);
keyEvent* PADkeyEvent(void);
uint8_t PADstartPoll(int32_t port);
uint8_t PADpoll(uint8_t value);
uint32_t PADquery(void);
void PADconfigure(void);
void PADabout(void);
int32_t PADtest(void);
int32_t PADfreeze(int32_t mode, freezeData* data);

/* SPU2 */
int32_t SPU2init(void);
void SPU2shutdown(void);
int32_t SPU2open(uint32_t* displayHandle);
void SPU2close(void);
void SPU2update(void);
void SPU2dma(void);
void SPU2write(uint32_t address, uint16_t value);
uint16_t SPU2read(uint32_t address);
void SPU2configure(void);
void SPU2about(void);
int32_t SPU2test(void);
int32_t SPU2freeze(int32_t mode, freezeData* data);

/* CDVD */
int32_t CDVDinit(void);
int32_t CDVDopen(void);
void CDVDshutdown(void);
void CDVDclose(void);
/* 0xFFFFFFFF (-1) when the read failed. */
uint32_t CDVDreadTrack(cdvdLoc* location);
/* The sector just read as a 2352-byte raw sector, or null on failure. */
uint8_t* CDVDgetBuffer(void);
/* 0 on success, -1 when there is no disc or no such track; the buffer is a
   cdvdTN or a cdvdTD. */
int32_t CDVDgetTN(void* buffer);
int32_t CDVDgetTD(uint8_t track, void* buffer);
void CDVDconfigure(void);
void CDVDabout(void);
int32_t CDVDtest(void);
int32_t CDVDfreeze(int32_t mode, freezeData* data);

#ifdef __cplusplus
}
#endif

#endif
