// corvane-run: the headless front end over the same core as the GUI.
#include <cstdio>
#include <string>
#include <vector>

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
    return runProgram(commandLine.options);
}
