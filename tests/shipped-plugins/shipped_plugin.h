// A shipped plugin library opened by the test itself, as the host opens it,
// with its entry points looked up by name.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/dynamic_library.h"

class ShippedPlugin {
public:
    explicit ShippedPlugin(const std::string& file) {
        std::string error;
        library_ = libraryOpen(std::string(CORVANE_BUNDLED_PLUGIN_DIR) + file, error);
        EXPECT_NE(library_, nullptr) << error;
    }
    ~ShippedPlugin() {
        if (library_ != nullptr) libraryClose(library_);
    }
    ShippedPlugin(const ShippedPlugin&) = delete;
    ShippedPlugin& operator=(const ShippedPlugin&) = delete;

    bool loaded() const { return library_ != nullptr; }

    // The entry point `name` as a function of type F; the test fails when
    // the library does not export it.
    template <typename F>
    F* entry(const char* name) const {
        void* address = library_ != nullptr ? librarySymbol(library_, name) : nullptr;
        EXPECT_NE(address, nullptr) << name;
        return reinterpret_cast<F*>(address);
    }

private:
    LibraryHandle library_ = nullptr;
};
