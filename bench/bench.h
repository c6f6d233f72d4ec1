// The pieces every corvane-bench workload provides, and the helpers they
// share. A workload runs a fixed amount of guest work, timed in processor
// time of the benchmark's own thread, so that other work on the machine
// counts as little as possible; it checks its answer against the host's.
#pragma once

#include <ctime>
#include <string>

#include "core/types.h"

struct BenchRun {
    double units = 0;    // guest instructions, pairs, vectors or frames done
    double seconds = 0;  // thread processor time they took
    bool correct = false;
};

struct BenchWorkload {
    const char* name;
    const char* unit;                // what `units` counts, for the table
    BenchRun (*run)();               // the full workload, once
    double (*countRun)();            // a shorter run for callgrind; its units
    double (*nativeSeconds)();       // the same work compiled for the host, or null
};

// Processor time of the calling thread, in seconds.
inline double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Host instructions are counted only between these two calls when the
// benchmark runs under callgrind with collection off at start.
void beginCounting();
void endCounting();

// Loads a guest program from the benchmark's guest folder into a freshly
// initialised machine; false when it cannot be opened.
bool loadBenchProgram(const std::string& name);

const BenchWorkload& vifUnpackWorkload();
const BenchWorkload& vu1TransformWorkload();
