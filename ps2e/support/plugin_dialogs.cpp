#include "ps2e/support/plugin_dialogs.h"

#include <dlfcn.h>

#include <QApplication>
#include <cstdio>
#include <cstdlib>

namespace {

bool environmentSet(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] != '\0';
}

// Asks the X server named by DISPLAY whether it takes a connection. Qt ends
// the process when its X platform cannot connect, so an unreachable display
// must be found out before a QApplication is made. libxcb comes with Qt's X
// platform; without it the display is taken on trust.
bool xDisplayReachable() {
    void* xcb = dlopen("libxcb.so.1", RTLD_LAZY | RTLD_LOCAL);
    if (xcb == nullptr) return true;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(dlsym(xcb, "xcb_disconnect"));
    bool reachable = true;
    if (connect != nullptr && hasError != nullptr && disconnect != nullptr) {
        void* connection = connect(nullptr, nullptr);
        reachable = hasError(connection) == 0;
        disconnect(connection);
    }
    dlclose(xcb);
    return reachable;
}

// Why no dialog can be shown in a process without a QApplication, or
// nullptr when one can.
const char* noDisplayReason() {
    if (environmentSet("QT_QPA_PLATFORM") || environmentSet("WAYLAND_DISPLAY")) return nullptr;
    if (!environmentSet("DISPLAY")) return "there is no display (DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM are unset)";
    if (!xDisplayReachable()) return "the display named by DISPLAY does not answer";
    return nullptr;
}

// Keeps Qt's libraries loaded for the rest of the process once a plugin
// that links them is loaded. The host may unload the plugin, and with it
// the Qt it pulled into a process that had none; but Qt keeps data it
// allocates as it loads, and once it has run, thread data and exit handlers
// that must not outlive its code.
void keepQtLoaded() {
    const void* inEachLibrary[] = {
        reinterpret_cast<const void*>(&qVersion),
        reinterpret_cast<const void*>(&QGuiApplication::platformName),
        reinterpret_cast<const void*>(&QApplication::exec),
    };
    for (const void* address : inEachLibrary) {
        Dl_info library{};
        if (dladdr(address, &library) == 0 || library.dli_fname == nullptr) continue;
        // RTLD_NOLOAD finds the library already there; RTLD_NODELETE pins it.
        if (void* handle = dlopen(library.dli_fname, RTLD_LAZY | RTLD_NOLOAD | RTLD_NODELETE)) dlclose(handle);
    }
}

// Runs as the plugin library is loaded.
[[gnu::constructor]] void keepQtLoadedFromTheStart() { keepQtLoaded(); }

}  // namespace

bool runPluginDialog(const char* plugin, const std::function<void()>& showDialog) {
    if (QCoreApplication::instance() != nullptr) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
            std::fprintf(stderr, "%s: cannot show the configuration dialog: the host's application has no windows\n", plugin);
            return false;
        }
        showDialog();
        return true;
    }
    if (const char* reason = noDisplayReason()) {
        std::fprintf(stderr, "%s: cannot show the configuration dialog: %s\n", plugin, reason);
        return false;
    }
    static int argc = 1;
    static char name[] = "corvane-plugin";
    static char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    showDialog();
    return true;
}
