/* The test plugins' side of the recorder, and helpers for the plugin
   sources, each built with PLUGIN_TAG naming it in the log. The recorder is
   a shared library of its own, loaded by the test executable for its whole
   life, so what it holds survives the plugins being freed and loaded again. */
#ifndef CORVANE_TEST_PLUGIN_RECORD_H
#define CORVANE_TEST_PLUGIN_RECORD_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif
/* `text` is the string argument of GSopen and GSmakeSnapshot, else null. */
void recorderCall(const char* library, const char* entry, const uint64_t* args, unsigned argCount,
                  const char* text);
/* The GIF words that came with the last recorded call. */
void recorderData(const uint32_t* words, uint32_t count);
/* Scripted answers; each returns 0 when nothing is scripted. */
int recorderNextKeyEvent(const char* library, uint32_t* key, uint32_t* event);
int recorderNextPollAnswer(const char* library, uint8_t* answer);
int recorderGsReadAnswer(uint32_t address, uint64_t* value);
#ifdef __cplusplus
}
#endif

#ifdef PLUGIN_TAG
#include "ps2e/ps2e.h"

static inline void record0(const char* entry) { recorderCall(PLUGIN_TAG, entry, 0, 0, 0); }
static inline void record1(const char* entry, uint64_t a) { recorderCall(PLUGIN_TAG, entry, &a, 1, 0); }
static inline void record2(const char* entry, uint64_t a, uint64_t b) {
    recorderCall(PLUGIN_TAG, entry, (const uint64_t[]){a, b}, 2, 0);
}
static inline uint64_t pointerValue(const void* pointer) { return (uint64_t)(uintptr_t)pointer; }

__attribute__((constructor)) static void recordLoad(void) { record0("load"); }
__attribute__((destructor)) static void recordUnload(void) { record0("unload"); }
#endif

#endif
