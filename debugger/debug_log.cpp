#include "debugger/debug_log.h"

namespace {
DebugLogHook debugLogHook;
}  // namespace

void debugLogLine(const std::string& text) {
    if (debugLogHook) debugLogHook(text);
}

void setDebugLogHook(DebugLogHook hook) { debugLogHook = std::move(hook); }
