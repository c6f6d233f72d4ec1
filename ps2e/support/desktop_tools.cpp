#include "ps2e/support/desktop_tools.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

extern char** environ;

namespace {

struct ToolResult {
    bool started = false;
    int exitCode = -1;
    std::string output;  // what the tool wrote on its standard output
};

// Runs `arguments` (the first one searched on PATH) without a shell, so
// that no path is ever interpreted as a command.
ToolResult runTool(const std::vector<std::string>& arguments) {
    ToolResult result;
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return result;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);

    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeEnds[1]);
    if (spawned != 0) {
        close(pipeEnds[0]);
        return result;
    }
    char buffer[4096];
    ssize_t count = 0;
    while ((count = read(pipeEnds[0], buffer, sizeof buffer)) > 0) result.output.append(buffer, static_cast<std::size_t>(count));
    close(pipeEnds[0]);
    int status = 0;
    while (waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) return result;
    }
    // A tool that is not installed still spawns (the exec fails in the
    // child) and ends with 127.
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.started = result.exitCode != 127;
    return result;
}

std::string withoutTrailingNewline(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    return text;
}

}  // namespace

std::optional<std::string> chooseFileOnDesktop(const std::string& title, const std::string& startPath) {
    const std::vector<std::vector<std::string>> choosers = {
        {"zenity", "--file-selection", "--title=" + title, "--filename=" + startPath},
        {"kdialog", "--getopenfilename", startPath, "--title", title},
    };
    for (const std::vector<std::string>& chooser : choosers) {
        const ToolResult result = runTool(chooser);
        if (!result.started) continue;
        const std::string chosen = withoutTrailingNewline(result.output);
        if (result.exitCode != 0 || chosen.empty()) return std::nullopt;  // cancelled
        return chosen;
    }
    return std::nullopt;
}

bool openFileOnDesktop(const std::string& path) {
    const ToolResult result = runTool({"xdg-open", path});
    return result.started && result.exitCode == 0;
}
