// corvane-run: the headless front end over the same core as the GUI.
#include <cstdio>
#include <string>
#include <vector>

#include "debugger/debug_log.h"
#include "runner/options.h"
#include "runner/run.h"

int main(int argc, char** argv) {
    const CommandLine commandLine = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!commandLine.error.empty()) {
        std::fprintf(stderr, "corvane-run: %s\n%s", commandLine.error.c_str(), kUsageText);
        return kExitUsage;
    }
    if (commandLine.options.showHelp) {
        std::fputs(kUsageText, stdout);
        return kExitRan;
    }
    // Without a debugger window, its plain message lines (the archive
    // module load) go to stderr; categorised messages are chosen by --log.
    setDebugLogHook([](const std::string& line) { std::fprintf(stderr, "corvane-run: %s\n", line.c_str()); });
    return runProgram(commandLine.options);
}
