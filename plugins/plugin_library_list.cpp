#include "plugins/plugin_library_list.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/dynamic_library.h"
#include "ps2e/ps2e.h"

namespace {

// Opens a library by path; a bare file name would be looked up in the
// system's library directories instead of the current one.
LibraryHandle openByPath(const std::string& path) {
    std::string error;
    return libraryOpen(path.find('/') == std::string::npos ? "./" + path : path, error);
}

std::string versionLabel(const char* name, u32 version) {
    char text[320];
    std::snprintf(text, sizeof text, "%s %u.%u", name ? name : "", (version >> 8) & 0xFF, version & 0xFF);
    return text;
}

}  // namespace

std::vector<PluginLibraryInfo> listPluginLibraries(const std::string& dir) {
    std::vector<std::string> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir.empty() ? "." : dir, error)) {
        if (entry.path().extension() == ".so" && entry.is_regular_file(error)) files.push_back(entry.path().filename());
    }
    std::sort(files.begin(), files.end());

    std::vector<PluginLibraryInfo> libraries;
    for (const std::string& file : files) {
        LibraryHandle library = openByPath(dir + file);
        if (!library) continue;
        const auto getType = reinterpret_cast<decltype(&PS2EgetLibType)>(librarySymbol(library, "PS2EgetLibType"));
        const auto getName = reinterpret_cast<decltype(&PS2EgetLibName)>(librarySymbol(library, "PS2EgetLibName"));
        const auto getVersion =
            reinterpret_cast<decltype(&PS2EgetLibVersion)>(librarySymbol(library, "PS2EgetLibVersion"));
        if (getType && getName && getVersion) {
            const u32 version = getVersion();
            const std::string label = versionLabel(getName(), version);
            libraries.push_back({file, label, getType()});
        }
        libraryClose(library);
    }
    return libraries;
}

void showPluginAbout(const std::string& dir, const std::string& file, u32 kind) {
    const char* entry = kind == PS2E_LT_GS     ? "GSabout"
                        : kind == PS2E_LT_PAD  ? "PADabout"
                        : kind == PS2E_LT_SPU2 ? "SPU2about"
                        : kind == PS2E_LT_CDVD ? "CDVDabout"
                                               : nullptr;
    if (!entry || file.empty()) return;
    LibraryHandle library = openByPath(dir + file);
    if (!library) return;
    if (const auto about = reinterpret_cast<void (*)()>(librarySymbol(library, entry))) about();
    libraryClose(library);
}
