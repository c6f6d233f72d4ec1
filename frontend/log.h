// Log.txt: the plain, unbuffered text log of the disc-reading code. Each
// message is appended in one write, so runs that share a folder mix whole
// messages, never parts of them.
#pragma once

#include <cstdio>

// Creates (or empties) Log.txt in the current directory, closing the stream
// of an earlier call first. When the file cannot be created the log stays
// closed and logPrintf writes nothing.
void logOpen();

// printf-style; adds no newline or prefix. Returns the characters written,
// 0 while the log is closed.
int logPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Where the log is created; tests point it elsewhere.
void logSetPath(const char* path);
