// sjdf-pack ARCHIVE FILE...: packs the files into an SJDF data archive.
// Each entry is named after its file's name without the folders; give
// NAME=FILE to choose the entry's name.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "iop/sjdf_archive.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: sjdf-pack ARCHIVE [NAME=]FILE...\n");
        return 2;
    }
    std::vector<SjdfEntry> entries;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        const size_t equals = argument.find('=');
        const std::string path = equals == std::string::npos ? argument : argument.substr(equals + 1);
        const size_t slash = path.rfind('/');
        const std::string name = equals != std::string::npos ? argument.substr(0, equals)
                                 : slash == std::string::npos ? path
                                                              : path.substr(slash + 1);
        std::ifstream file(path, std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "sjdf-pack: cannot read '%s'\n", path.c_str());
            return 1;
        }
        entries.push_back({name, std::string(std::istreambuf_iterator<char>(file), {})});
    }
    const std::string archive = packSjdfArchive(entries);
    if (archive.empty()) {
        std::fprintf(stderr, "sjdf-pack: entry names must be 1 to 55 characters\n");
        return 1;
    }
    std::ofstream out(argv[1], std::ios::binary);
    out << archive;
    if (!out) {
        std::fprintf(stderr, "sjdf-pack: cannot write '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
