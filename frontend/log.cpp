#include "frontend/log.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdarg>
#include <string>
#include <vector>

namespace {
int logDescriptor = -1;
std::string logPath = "Log.txt";

// Every message goes out in one write on a descriptor opened for appending,
// so that runs sharing a folder interleave whole messages: none lands at a
// stale offset over another's, or past a truncation leaving a hole.
void writeWhole(const char* text, std::size_t length) {
    while (length > 0) {
        const ssize_t written = ::write(logDescriptor, text, length);
        if (written <= 0) return;
        text += written;
        length -= static_cast<std::size_t>(written);
    }
}
}  // namespace

void logSetPath(const char* path) { logPath = path; }

void logOpen() {
    if (logDescriptor >= 0) ::close(logDescriptor);
    logDescriptor = ::open(logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND | O_CLOEXEC, 0644);
}

int logPrintf(const char* format, ...) {
    if (logDescriptor < 0) return 0;
    va_list args;
    va_start(args, format);
    va_list measuring;
    va_copy(measuring, args);
    const int length = std::vsnprintf(nullptr, 0, format, measuring);
    va_end(measuring);
    if (length <= 0) {
        va_end(args);
        return 0;
    }
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    writeWhole(text.data(), static_cast<std::size_t>(length));
    return length;
}
