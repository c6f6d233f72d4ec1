// The user's own folders on a Linux desktop, after the XDG base directory
// rules, and the checks an installation needs to choose between them and
// the folder of its executable.
#pragma once

#include <string>

// $XDG_CONFIG_HOME, or ~/.config when it is unset, empty or relative; ends
// in '/'. Empty when neither it nor a home folder can be found.
std::string userConfigDirectory();
// $XDG_DATA_HOME, or ~/.local/share likewise.
std::string userDataDirectory();

// True when files can be created in `directory` by this process.
bool directoryWritable(const std::string& directory);
bool isDirectory(const std::string& path);

// Creates `directory` and the folders above it that are missing; true when
// it exists afterwards.
bool makeDirectories(const std::string& directory);
