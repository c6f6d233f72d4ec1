// The thin OS layer under the plugin host: dynamic libraries and the path
// of the running executable.
#pragma once

#include <string>

// An opened shared library; null when nothing is open.
using LibraryHandle = void*;

// Opens the library at `path` with its symbols resolved now and kept local
// to it; null on failure, with the loader's reason in `error`.
LibraryHandle libraryOpen(const std::string& path, std::string& error);

// The address of the exported symbol `name`, or null when the library does
// not export it.
void* librarySymbol(LibraryHandle library, const char* name);

void libraryClose(LibraryHandle library);
