// Shared by the machine tests: the workout program's host folder and runs
// counted in frames.
#pragma once

#include <dirent.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "machine/emulation.h"

// The file the workout program reads a little of each frame.
inline void writeWorkoutInput(const std::filesystem::path& root) {
    std::string bytes(4096, '\0');
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>(i * 7 + 3);
    std::ofstream(root / "input.bin", std::ios::binary) << bytes;
}

inline StopReason runFrames(u64 frames) {
    RunLimits limits;
    limits.maxVblanks = frames;
    return emuRunWithLimits(limits);
}

inline int openDescriptorCount() {
    DIR* folder = opendir("/proc/self/fd");
    int count = 0;
    while (readdir(folder) != nullptr) ++count;
    closedir(folder);
    return count;
}
