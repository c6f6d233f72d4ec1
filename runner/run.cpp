#include "runner/run.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/diagnostics.h"
#include "core/ee_state.h"
#include "devices/timers.h"
#include "disc/disc_boot.h"
#include "disc/elf_loader.h"
#include "iop/file_service.h"
#include "machine/run_end_hook.h"
#include "memory/bus.h"
#include "memory/guest_ram.h"
#include "plugins/config.h"
#include "runner/state_json.h"
#include "state/save_state.h"

u32 vblanksSoFar() { return static_cast<u32>(vblankCount); }

std::string pluginFailureReport(const std::vector<PluginSlotStatus>& failedSlots) {
    std::string report;
    for (const PluginSlotStatus& status : failedSlots) {
        report += std::string("corvane-run: plugin slot ") + pluginSlotName(status.slot) + ": " +
                  pluginLoadFailureName(status.failure) + ": '" + status.path + "'";
        if (!status.detail.empty()) report += " (" + status.detail + ")";
        report += "\n";
    }
    report += "corvane-run: choose the plugins with --plugin-dir, --gs, --pad, --spu2 and --cdvd\n";
    return report;
}

std::string summaryLine(StopReason reason, u32 pc, u32 cycles, u32 vblanks, s32 exitCode) {
    char line[160];
    std::snprintf(line, sizeof line, "stopped: %s at 0x%08x after %u cycles, %u vblanks", stopReasonName(reason), pc,
                  cycles, vblanks);
    std::string text = line;
    if (reason == StopReason::Exit) text += ", exit code " + std::to_string(exitCode);
    return text;
}

std::vector<u8> guestRamBytes(u32 address, u32 length) {
    return ramBytesWrapping(address, length);
}

namespace {

// The runner's answer to slots that failed: it has no dialog to offer, so
// it keeps the failures for runProgram to report.
std::vector<PluginSlotStatus> failedPluginSlots;
void keepFailedSlots(const std::vector<PluginSlotStatus>& failedSlots) { failedPluginSlots = failedSlots; }

void reportError(const std::string& message) { std::fprintf(stderr, "corvane-run: %s\n", message.c_str()); }

std::string describeErrno() { return std::strerror(errno); }

// Writes the whole file, or explains why it could not in `error`.
bool writeFile(const std::string& path, const void* data, std::size_t size, std::string& error) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = describeErrno();
        return false;
    }
    bool written = std::fwrite(data, 1, size, file) == size;
    if (!written) error = describeErrno();
    // A full disk may only show when the buffer is flushed at close.
    if (std::fclose(file) != 0 && written) {
        written = false;
        error = describeErrno();
    }
    return written;
}

// Opens and loads the program; false (after saying why) when it cannot be
// read or is no ELF file that has something to run.
bool loadProgram(const std::string& path) {
    const std::string problem = loadElfFile(path);
    if (problem.empty()) return true;
    reportError("cannot load program '" + path + "': " + problem);
    return false;
}

// The image must be a readable file before the plugins are loaded: the
// CDVD plugins built here serve CORVANE_CDVD_IMAGE, set for them here.
bool prepareDiscImage(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        reportError("cannot open disc image '" + path + "': " + describeErrno());
        return false;
    }
    struct stat status {};
    const bool isDirectory = fstat(fileno(file), &status) == 0 && S_ISDIR(status.st_mode);
    std::fclose(file);
    if (isDirectory) {
        reportError("cannot open disc image '" + path + "': it is a directory");
        return false;
    }
    setenv("CORVANE_CDVD_IMAGE", path.c_str(), 1);
    return true;
}

bool bootDisc(const std::string& path) {
    const DiscBootResult result = bootFromDisc();
    if (result == DiscBootResult::Booted) return true;
    reportError("cannot boot disc image '" + path + "': " + discBootResultText(result));
    return false;
}

// The saved machine goes over the program just loaded; a state that cannot
// be loaded leaves the machine as the program load left it, and the run
// does not start.
bool loadSavedState(const std::string& path) {
    if (path.empty()) return true;
    const std::string problem = loadStateFile(path);
    if (problem.empty()) return true;
    reportError("cannot load the machine state '" + path + "': " + problem);
    return false;
}

// Writes the state and memory files; false when any of them failed.
bool writeOutputs(const RunnerOptions& options, StopReason reason) {
    bool allWritten = true;
    std::string error;
    if (!options.stateOut.empty()) {
        const std::string json = machineStateJson(reason);
        if (!writeFile(options.stateOut, json.data(), json.size(), error)) {
            reportError("cannot write the state to '" + options.stateOut + "': " + error + " (the run itself completed)");
            allWritten = false;
        }
    }
    if (!options.saveState.empty()) {
        const std::string problem = saveStateFile(options.saveState);
        if (!problem.empty()) {
            reportError("cannot save the machine: " + problem + " (the run itself completed)");
            allWritten = false;
        }
    }
    for (const MemoryDumpRequest& dump : options.memoryDumps) {
        const std::vector<u8> bytes = guestRamBytes(dump.address, dump.length);
        if (!writeFile(dump.path, bytes.data(), bytes.size(), error)) {
            reportError("cannot write guest memory to '" + dump.path + "': " + error + " (the run itself completed)");
            allWritten = false;
        }
    }
    return allWritten;
}

// The directory the host hands to GSmakeSnapshot, as for F8.
void snapshotIntoScreens() { gsMakeSnapshot(screenshotDirectory().c_str()); }

std::FILE* ttyFile = nullptr;

void writeTty(const char* bytes, std::size_t count) {
    std::fwrite(bytes, 1, count, ttyFile);
    std::fflush(ttyFile);
}

// Opens the --tty destination and points the file service's standard
// streams at it; without --tty guest console writes are dropped.
bool openTty(const std::string& path) {
    if (path.empty()) return true;
    ttyFile = path == "-" ? stdout : std::fopen(path.c_str(), "wb");
    if (ttyFile == nullptr) {
        reportError("cannot open the tty file '" + path + "': " + describeErrno());
        return false;
    }
    setTtySink(writeTty);
    return true;
}

// Messages of the categories --log chose, and every error, go to stderr.
u32 shownLogCategories = 0;

void reportLogMessage(LogCategory category, LogLevel level, const char* line) {
    if (level != LogLevel::Error && (shownLogCategories & (1u << static_cast<u32>(category))) == 0) return;
    std::fprintf(stderr, "corvane-run: %s\n", line);
}

void closeTty() {
    setTtySink(nullptr);
    if (ttyFile != nullptr && ttyFile != stdout) std::fclose(ttyFile);
    ttyFile = nullptr;
}

}  // namespace

int runProgram(const RunnerOptions& options) {
    if (!options.disc.empty() && !prepareDiscImage(options.disc)) return kExitLoadFailed;
    PluginConfig plugins = options.plugins;
    if (plugins.dir.empty()) plugins.dir = shippedPluginDir();
    overridePluginConfig(plugins);
    shownLogCategories = options.logCategories;
    setLogSink(reportLogMessage);
    failedPluginSlots.clear();
    setPluginChoiceHook(keepFailedSlots);
    emuInit();
    setPluginChoiceHook(nullptr);
    if (!failedPluginSlots.empty()) {
        std::fputs(pluginFailureReport(failedPluginSlots).c_str(), stderr);
        return kExitLoadFailed;
    }
    const bool loaded = options.disc.empty() ? loadProgram(options.program) : bootDisc(options.disc);
    if (!loaded || !loadSavedState(options.loadState) || !openTty(options.tty)) return kExitLoadFailed;
    setRunEndHook(options.snapshotAtEnd ? snapshotIntoScreens : nullptr);
    const StopReason reason = emuRunWithLimits(options.limits);
    setRunEndHook(nullptr);
    closeTty();
    std::printf("%s\n", summaryLine(reason, ee.pc, ee.cycle, vblanksSoFar(), programExitCode()).c_str());
    std::fflush(stdout);
    return writeOutputs(options, reason) ? kExitRan : kExitLoadFailed;
}
