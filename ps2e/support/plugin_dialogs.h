// Where a shipped plugin's configure entry point shows its Qt dialog. In
// the desktop program a QApplication exists already and the dialog uses it;
// in corvane-run or a test none does, and one is made for the dialog's
// lifetime. The dialogs open over the host's active window, if any.
// Without a display to show a window on, nothing is shown.
#pragma once

#include <functional>

// Runs `showDialog` (which makes its dialog, runs it modally and acts on
// the answer) with a QApplication at hand. When no dialog can be shown (no
// display, or a host whose application has no widgets) it writes one line
// naming `plugin` on standard error, does not call `showDialog`, and
// returns false.
bool runPluginDialog(const char* plugin, const std::function<void()>& showDialog);
