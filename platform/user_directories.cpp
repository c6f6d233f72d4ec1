#include "platform/user_directories.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace {

std::string homeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return home;
    const passwd* entry = getpwuid(getuid());
    return entry != nullptr && entry->pw_dir != nullptr ? entry->pw_dir : "";
}

std::string withSlash(std::string directory) {
    if (!directory.empty() && directory.back() != '/') directory += '/';
    return directory;
}

// The variable's value when it is an absolute path, as the base directory
// rules ask; else `fallback` under the home folder.
std::string baseDirectory(const char* variable, const char* fallback) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] == '/') return withSlash(value);
    const std::string home = homeDirectory();
    return home.empty() ? std::string() : withSlash(withSlash(home) + fallback);
}

}  // namespace

std::string userConfigDirectory() { return baseDirectory("XDG_CONFIG_HOME", ".config"); }

std::string userDataDirectory() { return baseDirectory("XDG_DATA_HOME", ".local/share"); }

bool directoryWritable(const std::string& directory) {
    return !directory.empty() && access(directory.c_str(), W_OK | X_OK) == 0;
}

bool isDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool makeDirectories(const std::string& directory) {
    if (directory.empty()) return false;
    for (std::size_t slash = directory.find('/', 1); slash != std::string::npos;
         slash = directory.find('/', slash + 1)) {
        const std::string prefix = directory.substr(0, slash);
        if (mkdir(prefix.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    if (mkdir(directory.c_str(), 0755) != 0 && errno != EEXIST) return false;
    return isDirectory(directory);
}
