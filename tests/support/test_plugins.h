// Loading the test plugins (tests/plugins) into the machine. Call
// useTestPlugins() before resetMachine() or loadGuestProgram(): the next
// machine initialisation loads the recording GS, the scripted PAD (both
// ports), the recording SPU2 and the recording CDVD, and the recording log
// starts empty. Read and script them through plugins/recording.h.
#pragma once

#include <string>

#include "plugins/config.h"

// The directory holding the test plugin libraries, ending in '/'.
std::string testPluginDir();

// The four recording plugins in the test plugin directory.
PluginConfig testPluginConfig();

// Makes the next initialisation load testPluginConfig() (or `config`) and
// empties the recording log and its scripts.
void useTestPlugins();
void useTestPlugins(const PluginConfig& config);

// Makes the next initialisation load no plugin at all, whatever Config.ini
// beside the test executable says.
void useNoPlugins();
