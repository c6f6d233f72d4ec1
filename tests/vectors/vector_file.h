// Instruction vector files: one row per case,
//
//     code | inputs | expected
//
// `code` is assembler source for the EE (statements separated by ';'),
// run from its first word until the PC reaches the word after it. `inputs`
// and `expected` are space-separated `name=value` pairs; the names are the
// machine's registers and `[N]`, the quadword at byte N of the data area
// (see vector_machine.h). A line `@before name=value ...` sets inputs for
// every row after it; `#` starts a comment. Nothing here depends on the
// emulator: the build's source generator reads the same files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct VectorAssignment {
    std::string name;
    std::string value;  // as written; vector_machine.h gives it its meaning
};

struct VectorRow {
    unsigned line = 0;  // 1-based line in the file, for messages
    std::string code;   // statements joined by newlines
    std::vector<VectorAssignment> defaults;  // the @before lines above the row
    std::vector<VectorAssignment> inputs;
    std::vector<VectorAssignment> expected;
};

struct VectorFile {
    std::vector<VectorRow> rows;
    std::string error;  // empty when every line was understood
};

VectorFile readVectorFile(const std::string& path);

// The assembler source of every row of FILE: `main` returns at once, each
// row sits between `vectorRowN` and `vectorRowNEnd`, and `vectorRows` lists
// those pairs of addresses, `vectorRowCount` words long.
std::string vectorAssembly(const VectorFile& file);
