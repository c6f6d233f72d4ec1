#include "frontend/log.h"

#include <cstdarg>
#include <string>

namespace {
std::FILE* logFile = nullptr;
std::string logPath = "Log.txt";
}  // namespace

void logSetPath(const char* path) { logPath = path; }

void logOpen() {
    if (logFile) std::fclose(logFile);
    logFile = std::fopen(logPath.c_str(), "w");
    if (logFile) std::setvbuf(logFile, nullptr, _IONBF, 0);
}

int logPrintf(const char* format, ...) {
    if (!logFile) return 0;
    va_list args;
    va_start(args, format);
    const int written = std::vfprintf(logFile, format, args);
    va_end(args);
    return written < 0 ? 0 : written;
}
