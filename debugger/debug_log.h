// The debugger window's message list. The core appends lines to it; the
// window, when a front end has one open, shows them. With no window the
// lines go nowhere.
#pragma once

#include <functional>
#include <string>

void debugLogLine(const std::string& text);

// The front end's receiver of message lines; an empty one drops them.
using DebugLogHook = std::function<void(const std::string&)>;
void setDebugLogHook(DebugLogHook hook);
