// corvane-bench: guest instructions per second of host time for workloads
// compiled for the EE, each run through the interpreter with
// emuRunWithLimits and checked against the answer the host computes.
// A last section measures VIF1 UNPACK throughput (vif_bench.cpp). Reports
// figures; never fails on a time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/ee_state.h"
#include "core/emulation.h"
#include "disc/elf_loader.h"
#include "float_workload.h"
#include "integer_workload.h"
#include "memory/bus.h"
#include "mmi_workload.h"

namespace {

// A workload is a guest program that leaves its answer in v0, and the
// host's computation of that answer.
struct Workload {
    const char* name;
    const char* guestProgram;
    unsigned (*expectedAnswer)();
};

unsigned integerAnswer() { return integerWorkload(INTEGER_WORKLOAD_ROUNDS); }
unsigned mmiAnswer() { return mmiWorkloadAnswer(MMI_WORKLOAD_ROUNDS); }
unsigned floatAnswer() { return floatWorkload(FLOAT_WORKLOAD_ROUNDS); }

constexpr Workload kWorkloads[] = {
    {"integer", "bench_integer", integerAnswer},
    {"mmi", "bench_mmi", mmiAnswer},
    {"float", "bench_float", floatAnswer},
};

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

// Runs the workload `repetitions` times; returns false when it cannot be
// loaded or gives a wrong answer.
bool measure(const Workload& workload, int repetitions) {
    const std::string path = std::string(CORVANE_BENCH_GUEST_DIR) + "/" + workload.guestProgram + ".elf";
    const unsigned expected = workload.expectedAnswer();
    double best = 0;
    for (int run = 1; run <= repetitions; ++run) {
        if (!loadProgram(path)) {
            std::fprintf(stderr, "corvane-bench: cannot open %s\n", path.c_str());
            return false;
        }
        // The counter is 32 bits wide; every workload stays well below 2^32.
        const auto start = std::chrono::steady_clock::now();
        const StopReason reason = emuRunWithLimits(RunLimits{});
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        const double instructions = ee.cycle;
        const double perSecond = instructions / elapsed.count();
        best = std::max(best, perSecond);
        const bool correct = reason == StopReason::IdleLoop && ee.gpr[kGprV0].w[0] == expected;
        std::printf("%s run %d: %.0f instructions in %.3f s: %.1f million per second%s\n", workload.name, run,
                    instructions, elapsed.count(), perSecond / 1e6, correct ? "" : " (WRONG RESULT)");
        if (!correct) return false;
    }
    std::printf("%s workload: best %.1f million guest instructions per second\n", workload.name, best / 1e6);
    return true;
}

}  // namespace

// VIF1 UNPACK throughput, in vif_bench.cpp.
bool vifUnpackBench(int repetitions);
// VU1 micro-program throughput, in vu1_bench.cpp.
bool vu1MicroBench(int repetitions);

// corvane-bench [REPETITIONS] [WORKLOAD]
int main(int argc, char** argv) {
    const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const char* only = argc > 2 ? argv[2] : nullptr;
    for (const Workload& workload : kWorkloads) {
        if (only && std::strcmp(only, workload.name) != 0) continue;
        if (!measure(workload, repetitions)) return 1;
    }
    if ((!only || std::strcmp(only, "vif") == 0) && !vifUnpackBench(repetitions)) return 1;
    if ((!only || std::strcmp(only, "vu1") == 0) && !vu1MicroBench(repetitions)) return 1;
    return 0;
}
