// What a shipped plugin's configure entry point asks of the desktop. SDL
// has no dialogs, so the plugins hand the question to the desktop's own
// tools: a file chooser (zenity or kdialog) and the program that opens a
// text file (xdg-open). Each call waits until the tool has finished.
#pragma once

#include <optional>
#include <string>

// The file the user chose, or nothing when no chooser could run or the user
// cancelled.
std::optional<std::string> chooseFileOnDesktop(const std::string& title, const std::string& startPath);

// Opens `path` with the desktop's editor for it; false when no such program
// could be started.
bool openFileOnDesktop(const std::string& path);
