#include "core/diagnostics.h"

#include <array>
#include <cctype>
#include <cstdarg>
#include <cstdio>

#include "debugger/debug_log.h"

namespace {

constexpr const char* kCategoryNames[kLogCategoryCount] = {"CPU", "DMA",    "GIF", "VIF", "VU",
                                                           "kernel", "IOP", "pad", "disc", "plugins"};
constexpr const char* kLevelNames[] = {"error", "guest-error", "stub", "info"};

// Causes already reported, as hashes of their lines, in an open-addressed
// table. It is filled to three quarters at most, so a probe always ends at
// an empty slot.
constexpr u32 kCauseSlots = 4096;
constexpr u32 kMaxCauses = kCauseSlots / 4 * 3;
constexpr u64 kEmptySlot = 0;

struct ReportedCauses {
    std::array<u64, kCauseSlots> slots{};
    u32 count = 0;
    bool overflowReported = false;
};

ReportedCauses reported;
LogSink logSink = nullptr;

// FNV-1a, with 0 kept for empty slots.
u64 hashOf(const char* text) {
    u64 hash = 0xCBF29CE484222325;
    for (; *text != '\0'; ++text) hash = (hash ^ static_cast<u8>(*text)) * 0x100000001B3;
    return hash == kEmptySlot ? 1 : hash;
}

enum class Remembered { New, Known, Full };

Remembered remember(u64 hash) {
    u32 slot = static_cast<u32>(hash) % kCauseSlots;
    while (reported.slots[slot] != kEmptySlot) {
        if (reported.slots[slot] == hash) return Remembered::Known;
        slot = (slot + 1) % kCauseSlots;
    }
    if (reported.count == kMaxCauses) return Remembered::Full;
    reported.slots[slot] = hash;
    ++reported.count;
    return Remembered::New;
}

void deliver(LogCategory category, LogLevel level, const char* line) {
    if (logSink != nullptr) {
        logSink(category, level, line);
    } else {
        debugLogLine(line);
    }
}

}  // namespace

const char* logCategoryName(LogCategory category) { return kCategoryNames[static_cast<u32>(category)]; }

const char* logLevelName(LogLevel level) { return kLevelNames[static_cast<u32>(level)]; }

bool parseLogCategory(std::string_view name, LogCategory& category) {
    for (u32 i = 0; i < kLogCategoryCount; ++i) {
        const std::string_view known = kCategoryNames[i];
        if (known.size() != name.size()) continue;
        bool same = true;
        for (std::size_t c = 0; c < name.size() && same; ++c) {
            same = std::tolower(static_cast<unsigned char>(name[c])) == std::tolower(static_cast<unsigned char>(known[c]));
        }
        if (same) {
            category = static_cast<LogCategory>(i);
            return true;
        }
    }
    return false;
}

void logReport(LogCategory category, LogLevel level, const char* format, ...) {
    char line[256];
    const int prefix = std::snprintf(line, sizeof line, "%s %s: ", logCategoryName(category), logLevelName(level));
    va_list args;
    va_start(args, format);
    std::vsnprintf(line + prefix, sizeof line - prefix, format, args);
    va_end(args);

    switch (remember(hashOf(line))) {
    case Remembered::New:
        deliver(category, level, line);
        return;
    case Remembered::Known:
        return;
    case Remembered::Full:
        if (reported.overflowReported) return;
        reported.overflowReported = true;
        std::snprintf(line, sizeof line, "%s %s: too many distinct messages; the rest are dropped",
                      logCategoryName(category), logLevelName(LogLevel::Error));
        deliver(category, LogLevel::Error, line);
        return;
    }
}

void setLogSink(LogSink sink) { logSink = sink; }

void logForgetReported() { reported = ReportedCauses{}; }
