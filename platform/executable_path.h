// Where the running executable lies, from /proc/self/exe.
#pragma once

#include <string>

// The executable's full path, or empty when it cannot be read.
std::string executablePath();

// The directory part of `path` with its final '/', or empty when the path
// has no '/'.
std::string directoryOf(const std::string& path);
