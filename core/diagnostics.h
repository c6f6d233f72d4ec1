// Messages about what a run met on its way: a guest program's mistake, a
// service that the emulator does not provide, a failure of the host or a
// plugin. Each message has a category, the part of the machine it concerns,
// and a level.
//
// A message is passed on once per distinct cause: the reporting site puts
// what tells causes apart (the call number, the channel, the address) into
// the text, and a text already reported is not reported again until the
// machine is initialised anew. A guest loop that repeats one mistake a
// million times therefore says so once. The number of distinct causes kept
// is bounded too; past it, one last line says that messages are dropped.
//
// The sites that report are off the interpreter's hot path by nature (a
// system call, a DMA start, a cut piece of work); the text is formatted on
// the stack and causes are remembered in a fixed table, so reporting does
// not allocate until a message is new.
//
// The front end decides where messages go: by default they are lines in
// the debugger's message list; corvane-run sends them to standard error,
// filtered by its --log option. Log.txt is another thing and takes none.
#pragma once

#include <string_view>

#include "core/types.h"

enum class LogCategory : u8 { Cpu, Dma, Gif, Vif, Vu, Kernel, Iop, Pad, Disc, Plugins };
inline constexpr u32 kLogCategoryCount = 10;

enum class LogLevel : u8 {
    Error,       // the emulator or the host failed at something it should do
    GuestError,  // the guest program did something the console would not do as it meant
    Stub,        // the guest asked for something the emulator does not provide
    Info,
};

// "CPU", "DMA", "GIF", "VIF", "VU", "kernel", "IOP", "pad", "disc", "plugins".
const char* logCategoryName(LogCategory category);
// "error", "guest-error", "stub", "info".
const char* logLevelName(LogLevel level);

// A category named in any letter case; false when `name` names none.
bool parseLogCategory(std::string_view name, LogCategory& category);

// printf-style; the text carries no newline. A message whose category,
// level and text were all reported before is dropped.
void logReport(LogCategory category, LogLevel level, const char* format, ...) __attribute__((format(printf, 3, 4)));

// Where messages go: the line is "<category> <level>: <text>". Null, the
// default, appends the line to the debugger's message list.
using LogSink = void (*)(LogCategory category, LogLevel level, const char* line);
void setLogSink(LogSink sink);

// Every cause may be reported again: a new machine starts here.
void logForgetReported();
