/* The side of the test recorder that the test plugin libraries call. The
   recorder is a shared library of its own, loaded by the test executable
   for its whole life, so what it holds survives the plugins being freed
   and loaded again. Each plugin names itself by a short tag ("gs", "pad",
   "pad_b", ...). */
#ifndef CORVANE_TEST_RECORDER_H
#define CORVANE_TEST_RECORDER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* One call: its arguments as integers and, for entry points that take a
   string (GSopen's title, GSmakeSnapshot's directory), the string. */
void recorderCall(const char* library, const char* entry, const uint64_t* args, unsigned argCount,
                  const char* text);
/* Data that came with the last recorded call (GIF quadwords). */
void recorderData(const uint32_t* words, uint32_t count);

/* Scripted answers; each returns 0 when nothing is scripted. */
int recorderNextKeyEvent(const char* library, uint32_t* key, uint32_t* event);
int recorderNextPollAnswer(const char* library, uint8_t* answer);
int recorderGsReadAnswer(uint32_t address, uint64_t* value);
/* 1 when the test asked that the read of this logical sector fail. */
int recorderCdvdReadFails(uint32_t lsn);

#ifdef __cplusplus
}
#endif

#endif
