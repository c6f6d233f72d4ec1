// corvane-bench: the interpreter's throughput on a set of workloads, as one
// table. Each guest workload is compiled for the EE, run through
// emuRunWithLimits and checked against the answer the host computes; the
// vector-unit rows drive VIF1 and VU1 directly, and the last row runs the
// cube demo whole, with the shipped plugins, for 2,000 vertical blanks.
// For each row the table gives the median rate of the runs, the host
// instructions spent per guest unit as callgrind counts them (when valgrind
// is installed), and how many times longer the interpreter takes than the
// same work compiled for the host. Reports figures; never fails on a time.
//
//   corvane-bench [RUNS [WORKLOAD]] [--no-callgrind]
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "bench.h"
#include "core/ee_state.h"
#include "devices/timers.h"
#include "disc/elf_loader.h"
#include "float_workload.h"
#include "integer_workload.h"
#include "machine/emulation.h"
#include "memory/bus.h"
#include "mmi_workload.h"
#include "platform/executable_path.h"
#include "plugins/config.h"
#include "smc_workload.h"

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define CORVANE_HAS_CALLGRIND 1
#endif

void beginCounting() {
#ifdef CORVANE_HAS_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
#endif
}

void endCounting() {
#ifdef CORVANE_HAS_CALLGRIND
    CALLGRIND_TOGGLE_COLLECT;
#endif
}

bool loadBenchProgram(const std::string& name) {
    if (memory.ram == nullptr) {
        emuInit();
    } else {
        emuReset();
    }
    const std::string path = std::string(CORVANE_BENCH_GUEST_DIR) + "/" + name + ".elf";
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        std::fprintf(stderr, "corvane-bench: cannot open %s\n", path.c_str());
        return false;
    }
    HostFileSource source(file);
    loadElfImage(source, path);
    std::fclose(file);
    return true;
}

namespace {

// Guest instructions counted under callgrind: enough to reach each
// workload's steady loop many times over.
constexpr u64 kCountedInstructions = 20000000;

// The rounds the host versions run are read through a volatile, so the
// compiler cannot fold the work away.
volatile unsigned integerRounds = INTEGER_WORKLOAD_ROUNDS;
volatile unsigned mmiRounds = MMI_WORKLOAD_ROUNDS;
volatile unsigned floatRounds = FLOAT_WORKLOAD_ROUNDS;

unsigned integerAnswer() { return integerWorkload(integerRounds); }
unsigned mmiAnswer() { return mmiWorkloadAnswer(mmiRounds); }
unsigned floatAnswer() { return floatWorkload(floatRounds); }
unsigned smcAnswer() { return smcWorkloadAnswer(SMC_WORKLOAD_ROUNDS); }

BenchRun runGuestProgram(const char* program, unsigned expected) {
    BenchRun run;
    if (!loadBenchProgram(program)) return run;
    const double start = threadSeconds();
    const StopReason reason = emuRunWithLimits(RunLimits{});
    run.seconds = threadSeconds() - start;
    run.units = ee.cycle;  // every workload stays well below 2^32
    run.correct = reason == StopReason::IdleLoop && ee.gpr[kGprV0].w[0] == expected;
    return run;
}

double countGuestProgram(const char* program) {
    if (!loadBenchProgram(program)) return 0;
    RunLimits limits;
    limits.maxCycles = kCountedInstructions;
    beginCounting();
    emuRunWithLimits(limits);
    endCounting();
    return ee.cycle;
}

template <unsigned (*answer)()>
double nativeSeconds() {
    const double start = threadSeconds();
    volatile unsigned result = answer();
    (void)result;
    return threadSeconds() - start;
}

// Each answer is worked out once, outside the timed runs.
template <unsigned (*answer)()>
unsigned expectedAnswer() {
    static const unsigned value = answer();
    return value;
}

BenchRun integerRun() { return runGuestProgram("bench_integer", expectedAnswer<integerAnswer>()); }
BenchRun mmiRun() { return runGuestProgram("bench_mmi", expectedAnswer<mmiAnswer>()); }
BenchRun floatRun() { return runGuestProgram("bench_float", expectedAnswer<floatAnswer>()); }
BenchRun smcRun() { return runGuestProgram("bench_smc", expectedAnswer<smcAnswer>()); }
double integerCount() { return countGuestProgram("bench_integer"); }
double mmiCount() { return countGuestProgram("bench_mmi"); }
double floatCount() { return countGuestProgram("bench_float"); }
double smcCount() { return countGuestProgram("bench_smc"); }

// The cube demo (VU1 transforms over VIF1, XGKICK, PATH3 uploads) with the
// plugins shipped beside corvane-run, as `make run` runs it headless: each
// frame's drawing is done by the software GS, and the rest of the frame is
// spent in the demo's wait for the vertical blank.
constexpr u64 kDemoFrames = 2000;
constexpr u64 kCountedDemoFrames = 50;

// Without a display the software GS draws without a window and never waits
// for the host's screen, so the row measures the emulator, not the screen's
// refresh.
void useShippedPlugins() {
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    PluginConfig plugins;
    plugins.dir = CORVANE_BENCH_PLUGIN_DIR "/";
    plugins.gs = "gs-soft.so";
    plugins.spu = "spu2-null.so";
    plugins.pad = "pad-sdl.so";
    plugins.cdvd = "cdvd-image.so";
    overridePluginConfig(plugins);
}

StopReason runDemo(u64 frames) {
    RunLimits limits;
    limits.maxVblanks = frames;
    limits.stopAtIdleLoop = false;
    return emuRunWithLimits(limits);
}

BenchRun demoRun() {
    BenchRun run;
    useShippedPlugins();
    if (!loadBenchProgram("cube")) return run;
    const u64 vblanksBefore = vblankCount;
    const double start = threadSeconds();
    const StopReason reason = runDemo(kDemoFrames);
    run.seconds = threadSeconds() - start;
    run.units = static_cast<double>(vblankCount - vblanksBefore);
    run.correct = reason == StopReason::MaxVblanks && run.units == kDemoFrames;
    return run;
}

double demoCount() {
    useShippedPlugins();
    if (!loadBenchProgram("cube")) return 0;
    const u64 vblanksBefore = vblankCount;
    beginCounting();
    runDemo(kCountedDemoFrames);
    endCounting();
    return static_cast<double>(vblankCount - vblanksBefore);
}

const BenchWorkload kIntegerWorkload{"integer", "instructions", integerRun, integerCount, nativeSeconds<integerAnswer>};
const BenchWorkload kMmiWorkload{"mmi", "instructions", mmiRun, mmiCount, nativeSeconds<mmiAnswer>};
const BenchWorkload kFloatWorkload{"float", "instructions", floatRun, floatCount, nativeSeconds<floatAnswer>};
// A self-modifying loop has no native counterpart.
const BenchWorkload kSmcWorkload{"smc", "instructions", smcRun, smcCount, nullptr};
const BenchWorkload kDemoWorkload{"demo", "frames", demoRun, demoCount, nullptr};

std::vector<const BenchWorkload*> allWorkloads() {
    return {&kIntegerWorkload, &kMmiWorkload,          &kFloatWorkload, &kSmcWorkload,
            &vifUnpackWorkload(), &vu1TransformWorkload(), &kDemoWorkload};
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool valgrindAvailable() { return std::system("valgrind --version >/dev/null 2>&1") == 0; }

// Runs this program again under callgrind for one workload's counted run;
// host instructions per guest unit, or 0 when the count failed.
double hostInstructionsPerUnit(const BenchWorkload& workload) {
    char base[] = "/tmp/corvane-bench-XXXXXX";
    const int fd = mkstemp(base);
    if (fd < 0) return 0;
    close(fd);
    const std::string profile = std::string(base) + ".callgrind";
    const std::string units = std::string(base) + ".units";
    const std::string command = "valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file=" + profile +
                                " '" + executablePath() + "' --count " + workload.name + " >" + units +
                                " 2>/dev/null";
    double hostInstructions = 0;
    double guestUnits = 0;
    if (std::system(command.c_str()) == 0) {
        std::ifstream unitsFile(units);
        unitsFile >> guestUnits;
        std::ifstream profileFile(profile);
        for (std::string line; std::getline(profileFile, line);)
            if (line.rfind("totals:", 0) == 0 || line.rfind("summary:", 0) == 0)
                hostInstructions = std::strtod(line.c_str() + line.find(':') + 1, nullptr);
    }
    std::remove(base);
    std::remove(profile.c_str());
    std::remove(units.c_str());
    return guestUnits > 0 ? hostInstructions / guestUnits : 0;
}

struct TableRow {
    const BenchWorkload* workload;
    std::vector<double> rates;
    double medianSeconds;
    double medianNativeSeconds;  // 0 without a native counterpart
    double hostPerUnit;          // 0 without a count
};

// A rate with an M for millions, as the table shows it.
std::string formatRate(double rate) {
    char text[32];
    if (rate >= 1e6) std::snprintf(text, sizeof text, "%.1f M", rate / 1e6);
    else std::snprintf(text, sizeof text, "%.1f", rate);
    return text;
}

void printTable(const std::vector<TableRow>& rows, int runs) {
    std::printf("\n%-8s %-13s %11s %23s %16s %9s\n", "workload", "unit", "median/s", "min..max/s",
                "host instr/unit", "x native");
    for (const TableRow& row : rows) {
        const auto [low, high] = std::minmax_element(row.rates.begin(), row.rates.end());
        const std::string spread = formatRate(*low) + " .. " + formatRate(*high);
        char perUnit[24] = "-";
        if (row.hostPerUnit > 0) std::snprintf(perUnit, sizeof perUnit, "%.1f", row.hostPerUnit);
        char native[24] = "-";
        if (row.medianNativeSeconds > 0)
            std::snprintf(native, sizeof native, "%.1f", row.medianSeconds / row.medianNativeSeconds);
        std::printf("%-8s %-13s %11s %23s %16s %9s\n", row.workload->name, row.workload->unit,
                    formatRate(median(row.rates)).c_str(), spread.c_str(), perUnit, native);
    }
    std::printf("(median of %d runs, in processor time of the benchmark thread)\n", runs);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 5;
    const char* only = nullptr;
    bool count = true;
    std::vector<const char*> positional;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--count") == 0 && i + 1 < argc) {
            // The counted run, as the parent under callgrind asks for it.
            for (const BenchWorkload* workload : allWorkloads())
                if (std::strcmp(workload->name, argv[i + 1]) == 0) {
                    std::printf("%.0f\n", workload->countRun());
                    return 0;
                }
            return 2;
        }
        if (std::strcmp(argv[i], "--no-callgrind") == 0) {
            count = false;
        } else {
            positional.push_back(argv[i]);
        }
    }
    if (!positional.empty()) runs = std::max(1, std::atoi(positional[0]));
    if (positional.size() > 1) only = positional[1];
    count = count && valgrindAvailable();

    std::vector<TableRow> rows;
    for (const BenchWorkload* workload : allWorkloads()) {
        if (only && std::strcmp(only, workload->name) != 0) continue;
        TableRow row{workload, {}, 0, 0, 0};
        std::vector<double> seconds, nativeSeconds;
        for (int run = 1; run <= runs; ++run) {
            const BenchRun result = workload->run();
            const double rate = result.units / result.seconds;
            std::printf("%s run %d: %.0f %s in %.3f s: %s per second%s\n", workload->name, run, result.units,
                        workload->unit, result.seconds, formatRate(rate).c_str(),
                        result.correct ? "" : " (WRONG RESULT)");
            std::fflush(stdout);
            if (!result.correct) return 1;
            row.rates.push_back(rate);
            seconds.push_back(result.seconds);
            if (workload->nativeSeconds) nativeSeconds.push_back(workload->nativeSeconds());
        }
        row.medianSeconds = median(seconds);
        if (!nativeSeconds.empty()) row.medianNativeSeconds = median(nativeSeconds);
        if (count) row.hostPerUnit = hostInstructionsPerUnit(*workload);
        rows.push_back(row);
    }
    printTable(rows, runs);
    return 0;
}
