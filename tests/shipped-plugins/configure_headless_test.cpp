// The configure entry points in a process without a QApplication, as in
// corvane-run: with no display they say so and return; with one they make
// a QApplication for the dialog and remove it afterwards, so they can be
// called again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>

#include "ps2e/cdvd-image/cdvd_settings.h"
#include "ps2e/gs-soft/settings.h"
#include "ps2e/pad-sdl/pad_settings.h"
#include "ps2e/support/settings_file.h"
#include "shipped_plugin.h"

namespace {

// Sets or clears an environment variable for one test.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        set(value);
    }
    ~ScopedVariable() { set(old_ ? old_->c_str() : nullptr); }

private:
    void set(const char* value) { value ? setenv(name_, value, 1) : unsetenv(name_); }
    const char* name_;
    std::optional<std::string> old_;
};

bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

struct ConfigureEntry {
    const char* library;
    const char* entry;
    const char* settingsFile;
};

constexpr ConfigureEntry kConfigureEntries[] = {
    {"pad-sdl.so", "PADconfigure", kPadSettingsFile},
    {"cdvd-image.so", "CDVDconfigure", kCdvdSettingsFile},
    {"gs-soft.so", "GSconfigure", kGsSettingsFile},
};

TEST(ConfigureWithoutHostApplication, WithoutADisplayEachEntrySaysSoAndWritesNothing) {
    ScopedVariable noX("DISPLAY", nullptr), noWayland("WAYLAND_DISPLAY", nullptr), noPlatform("QT_QPA_PLATFORM", nullptr);
    for (const ConfigureEntry& configure : kConfigureEntries) {
        const std::string settings = pluginSettingsPath(configure.settingsFile);
        std::remove(settings.c_str());
        ShippedPlugin plugin(configure.library);
        ASSERT_TRUE(plugin.loaded());
        testing::internal::CaptureStderr();
        plugin.entry<void()>(configure.entry)();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("cannot show the configuration dialog: there is no display"), std::string::npos)
            << configure.entry << " said: " << said;
        EXPECT_FALSE(fileExists(settings)) << configure.entry;
        EXPECT_EQ(QCoreApplication::instance(), nullptr);
    }

    // A display named but not answering would end the process inside Qt.
    ScopedVariable deadX("DISPLAY", "unix:97");
    ShippedPlugin plugin("pad-sdl.so");
    testing::internal::CaptureStderr();
    plugin.entry<void()>("PADconfigure")();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the display named by DISPLAY does not answer"), std::string::npos);
}

// Each QApplication the plugin makes gets a timer that cancels the dialog
// once it shows, and counts it.
int dialogsCancelled = 0;
bool cancelEachDialog = false;

void cancelTheDialogWhenShown() {
    if (!cancelEachDialog) return;
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        timer->stop();
        ++dialogsCancelled;
        dialog->reject();
    });
    timer->start();
}

TEST(ConfigureWithoutHostApplication, WithADisplayEachEntryShowsItsDialogInAnApplicationOfItsOwn) {
    ScopedVariable platform("QT_QPA_PLATFORM", "offscreen");
    qAddPreRoutine(cancelTheDialogWhenShown);
    cancelEachDialog = true;
    for (const ConfigureEntry& configure : kConfigureEntries) {
        const std::string settings = pluginSettingsPath(configure.settingsFile);
        std::remove(settings.c_str());
        ShippedPlugin plugin(configure.library);
        ASSERT_TRUE(plugin.loaded());
        const int before = dialogsCancelled;
        plugin.entry<void()>(configure.entry)();
        plugin.entry<void()>(configure.entry)();
        EXPECT_EQ(dialogsCancelled, before + 2) << configure.entry << ": shown twice";
        EXPECT_EQ(QCoreApplication::instance(), nullptr) << configure.entry << ": its application is gone";
        EXPECT_FALSE(fileExists(settings)) << configure.entry << ": cancelled";
    }
    cancelEachDialog = false;
}

}  // namespace
