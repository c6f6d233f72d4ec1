#include "platform/dynamic_library.h"

#include <dlfcn.h>

LibraryHandle libraryOpen(const std::string& path, std::string& error) {
    LibraryHandle library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* reason = dlerror();
        error = reason ? reason : "the library could not be loaded";
    }
    return library;
}

void* librarySymbol(LibraryHandle library, const char* name) {
    if (!library) return nullptr;
    return dlsym(library, name);
}

void libraryClose(LibraryHandle library) {
    if (library) dlclose(library);
}
