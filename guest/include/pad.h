/* The guest side of the IOP's controller service. A program opens a port
   by handing the service an area of EE RAM (256 bytes, 64-byte aligned);
   from the next vertical blank on the IOP keeps the port's buttons there.
   Two protocols of the same service exist; the first keeps the buttons in
   bytes 2 and 3 of the area, the second at bytes 10 and 11. */
#ifndef CORVANE_GUEST_PAD_H
#define CORVANE_GUEST_PAD_H

#define PAD_SERVER_FIRST 0x80000100u
#define PAD_SERVER_SECOND 0x8000010Fu

#define PAD_AREA_BYTES 256

/* Opens `port` (0 or 1) with the given protocol (PAD_SERVER_FIRST or
   PAD_SERVER_SECOND); reply word 3: 1 when opened. */
unsigned padOpen(unsigned server, unsigned port, void *area);

/* Sends any command (w0) with `port` as w1 and `area` as w4, and copies
   the service's 8 reply words into `reply`, preset to `marker` so that
   words the service left alone show. 0, or -1 when the call was not taken. */
int padCommand(unsigned server, unsigned command, unsigned port, void *area, unsigned reply[8], unsigned marker);

/* Sends the request words w0-w7 as they stand and copies the 8 reply
   words into `reply`: 0, or -1 when the call was not taken. */
int padCall(unsigned server, const unsigned request[8], unsigned reply[8]);

/* The two button bytes of an opened area, byte 2 in bits 0-7 and byte 3 in
   bits 8-15 of the status part. */
unsigned padButtons(unsigned server, const void *area);

#endif
