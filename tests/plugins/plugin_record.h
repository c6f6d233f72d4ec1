/* Small helpers the test plugin sources share: each plugin is built with
   PLUGIN_TAG naming it in the log, and records its load and unload. */
#ifndef CORVANE_TEST_PLUGIN_RECORD_H
#define CORVANE_TEST_PLUGIN_RECORD_H

#include "ps2e/ps2e.h"
#include "recorder.h"

static inline void record0(const char* entry) { recorderCall(PLUGIN_TAG, entry, 0, 0, 0); }

static inline void record1(const char* entry, uint64_t a) {
    const uint64_t args[1] = {a};
    recorderCall(PLUGIN_TAG, entry, args, 1, 0);
}

static inline void record2(const char* entry, uint64_t a, uint64_t b) {
    const uint64_t args[2] = {a, b};
    recorderCall(PLUGIN_TAG, entry, args, 2, 0);
}

static inline void record3(const char* entry, uint64_t a, uint64_t b, uint64_t c) {
    const uint64_t args[3] = {a, b, c};
    recorderCall(PLUGIN_TAG, entry, args, 3, 0);
}

static inline uint64_t pointerValue(const void* pointer) { return (uint64_t)(uintptr_t)pointer; }

__attribute__((constructor)) static void recordLoad(void) { record0("load"); }
__attribute__((destructor)) static void recordUnload(void) { record0("unload"); }

#endif
