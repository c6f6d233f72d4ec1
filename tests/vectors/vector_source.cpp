// Build tool: writes the guest assembler source of an instruction vector
// file, one block of code per row.
#include <cstdio>
#include <fstream>

#include "vector_file.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: vector_source VECTORS.vec OUTPUT.S\n");
        return 2;
    }
    const VectorFile file = readVectorFile(argv[1]);
    if (!file.error.empty()) {
        std::fprintf(stderr, "%s\n", file.error.c_str());
        return 1;
    }
    std::ofstream out(argv[2]);
    out << vectorAssembly(file);
    if (!out) {
        std::fprintf(stderr, "%s: cannot be written\n", argv[2]);
        return 1;
    }
    return 0;
}
