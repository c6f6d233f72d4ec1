// What the plugin selection offers: the plugin libraries of a directory
// with their names and versions, and each library's about box.
#pragma once

#include <string>
#include <vector>

#include "core/types.h"

struct PluginLibraryInfo {
    std::string file;   // the file name within the directory
    std::string label;  // "NAME MAJOR.MINOR"
    u32 kinds = 0;      // the PS2EgetLibType mask
};

// Every *.so file of `dir` (which ends in '/') that loads and exports
// PS2EgetLibType, PS2EgetLibName and PS2EgetLibVersion, by file name. Each
// is loaded for the question and unloaded again.
std::vector<PluginLibraryInfo> listPluginLibraries(const std::string& dir);

// Loads `file` from `dir`, calls the about entry of the kind `kind` (one of
// the PS2E_LT_ bits: GSabout, PADabout, SPU2about, CDVDabout) when it
// exports it, and unloads it.
void showPluginAbout(const std::string& dir, const std::string& file, u32 kind);
