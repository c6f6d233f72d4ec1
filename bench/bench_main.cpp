// corvane-bench: guest instructions per second of host time for an integer
// workload compiled by GCC for the EE, run through the interpreter with
// emuRunWithLimits. Reports figures; never fails on a time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/ee_state.h"
#include "core/emulation.h"
#include "disc/elf_loader.h"
#include "integer_workload.h"
#include "memory/bus.h"

namespace {

bool loadProgram(const std::string& path) {
    if (memory.ram == nullptr) {
        emuInit();
    } else {
        emuReset();
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return false;
    HostFileSource source(file);
    loadElfImage(source, path);
    std::fclose(file);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string path = std::string(CORVANE_BENCH_GUEST_DIR) + "/bench_integer.elf";
    const unsigned expected = integerWorkload(INTEGER_WORKLOAD_ROUNDS);

    double best = 0;
    for (int run = 1; run <= repetitions; ++run) {
        if (!loadProgram(path)) {
            std::fprintf(stderr, "corvane-bench: cannot open %s\n", path.c_str());
            return 1;
        }
        // The counter is 32 bits wide; the workload stays well below 2^32.
        const auto start = std::chrono::steady_clock::now();
        const StopReason reason = emuRunWithLimits(RunLimits{});
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        const double instructions = ee.cycle;
        const double perSecond = instructions / elapsed.count();
        best = std::max(best, perSecond);
        const bool correct = reason == StopReason::IdleLoop && ee.gpr[kGprV0].w[0] == expected;
        std::printf("run %d: %.0f instructions in %.3f s: %.1f million per second%s\n", run, instructions,
                    elapsed.count(), perSecond / 1e6, correct ? "" : " (WRONG RESULT)");
        if (!correct) return 1;
    }
    std::printf("integer workload: best %.1f million guest instructions per second\n", best / 1e6);
    return 0;
}
