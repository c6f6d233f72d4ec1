/* Shared by the scheduling programs: an event log that threads and
   handlers append to, in the order things happened, and threads created on
   stacks of their own. */
#ifndef THREAD_LOG_H
#define THREAD_LOG_H

#include "kernel.h"

#define MAX_EVENTS 64

unsigned events[MAX_EVENTS];
volatile unsigned eventCount;

static inline void note(unsigned event) {
    if (eventCount < MAX_EVENTS) events[eventCount] = event;
    eventCount = eventCount + 1;
}

/* An event that says whether a call answered what it should. */
static inline void noteIf(int answer, int expected, unsigned event) { note(answer == expected ? event : 0xBAD00000 | event); }

static unsigned char stacks[8][2048] __attribute__((aligned(16)));

static inline int makeThread(void (*entry)(void *), int priority, int stack) {
    struct ThreadParam param = {0, entry, stacks[stack], sizeof stacks[stack], 0, priority, 0, 0, 0};
    return CreateThread(&param);
}

static inline int threadStatus(int id) { return ReferThreadStatus(id, 0); }

#endif
