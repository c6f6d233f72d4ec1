// Disc images for the disc tests, made at test time by xorriso (Debian's
// ISO 9660 tool) from a tree of files the test writes, and served to the
// machine by the bundled CDVD plugin through CORVANE_CDVD_IMAGE.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "plugins/plugin_host.h"
#include "runner/run_corvane_run.h"
#include "support/guest_machine.h"
#include "support/test_plugins.h"

struct DiscFile {
    std::string path;  // relative to the disc's root, with '/' between folders
    std::string contents;
};

inline void writeFile(const std::string& path, const std::string& contents) {
    std::ofstream(path, std::ios::binary) << contents;
}

// Builds `image` from `files` (staged in the folder image + ".tree"); with
// `joliet` the image also carries a Joliet tree and its type-2 descriptor.
inline void buildDiscImage(const std::string& image, const std::vector<DiscFile>& files, bool joliet = false) {
    const std::string tree = image + ".tree";
    ASSERT_EQ(std::system(("rm -rf '" + tree + "' && mkdir '" + tree + "'").c_str()), 0);
    for (const DiscFile& file : files) {
        const std::string path = tree + "/" + file.path;
        const std::string folder = path.substr(0, path.rfind('/'));
        ASSERT_EQ(std::system(("mkdir -p '" + folder + "'").c_str()), 0);
        writeFile(path, file.contents);
    }
    const std::string command = std::string("xorriso -as mkisofs -quiet ") + (joliet ? "-J " : "") + "-o '" + image +
                                "' '" + tree + "' >xorriso.log 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << "xorriso failed (scripts/install-deps installs it):\n"
                                               << readFile("xorriso.log");
}

// Makes the next machine initialisation load the bundled null plugins,
// whose CDVD serves CORVANE_CDVD_IMAGE.
inline void useBundledPlugins() {
    useTestPlugins(PluginConfig{CORVANE_BUNDLED_PLUGIN_DIR, "null_gs.so", "null_spu2.so", "null_pad.so", "null_cdvd.so"});
}

// Points the CDVD at `image` and opens it.
inline void serveImage(const std::string& image) {
    setenv("CORVANE_CDVD_IMAGE", image.c_str(), 1);
    cdvdOpen();
}

inline std::string guestProgramBytes(const std::string& name) { return readFile(guestProgramPath(name)); }
