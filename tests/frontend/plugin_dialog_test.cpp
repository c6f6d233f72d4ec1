// The plugin selection dialog over the test plugin directory: its lists,
// its buttons, what OK writes into Config.ini and reloads, that Cancel
// writes nothing, and the dialog that a failed load brings up at start-up.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "frontend/main_window.h"
#include "machine/emulation.h"
#include "plugins/config.h"
#include "plugins/plugin_dialog.h"
#include "plugins/plugin_host.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/gui_test.h"
#include "support/test_plugins.h"

namespace {

QStringList items(QWidget* dialog, const char* list) {
    QStringList texts;
    auto* combo = control<QComboBox>(dialog, list);
    for (int i = 0; combo && i < combo->count(); ++i) texts << combo->itemText(i);
    return texts;
}

QString selected(QWidget* dialog, const char* list) { return control<QComboBox>(dialog, list)->currentText(); }

void choose(QWidget* dialog, const char* list, const QString& text) {
    auto* combo = control<QComboBox>(dialog, list);
    combo->setCurrentIndex(combo->findText(text));
}

void click(QWidget* dialog, const char* id) { QTest::mouseClick(control<QPushButton>(dialog, id), Qt::LeftButton); }

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class PluginDialogTest : public testing::Test {
protected:
    void SetUp() override {
        std::remove(configFilePath().c_str());
        useTestPlugins();
        resetMachine();
        // The dialog works on the configuration in force and on Config.ini.
        clearPluginConfigOverride();
        pluginConfig = testPluginConfig();
        pluginConfig.gs = "TEST_GS.SO";  // chosen without regard to case
        clearRecording();
        window.show();
    }
    void TearDown() override {
        setPluginChoiceHook(nullptr);
        std::remove(configFilePath().c_str());
    }

    MainWindow window;
};

TEST_F(PluginDialogTest, ListsChooseAndOkWritesConfigAndReloads) {
    const std::string dir = testPluginDir();
    bool handled = false;
    onNextModal([&](QWidget* dialog) {
        handled = true;
        EXPECT_EQ(dialog->windowTitle(), "Plugin Config");
        EXPECT_EQ(items(dialog, "1052"), (QStringList{"Recording GS 1.2", "Two kinds 0.1"}));
        EXPECT_EQ(items(dialog, "1053"), (QStringList{"Recording SPU2 0.1"}));
        EXPECT_EQ(items(dialog, "1054"), (QStringList{"Scripted PAD pad 3.0", "Scripted PAD pad_b 3.0", "Two kinds 0.1"}));
        EXPECT_EQ(items(dialog, "1055"), (QStringList{"Recording CDVD 10.11"}));
        EXPECT_EQ(selected(dialog, "1052"), "Recording GS 1.2");
        EXPECT_EQ(selected(dialog, "1054"), "Scripted PAD pad 3.0");
        EXPECT_TRUE(saveScreenshot(dialog, "plugin_dialog"));

        clearRecording();
        click(dialog, "1058");
        click(dialog, "1061");
        EXPECT_EQ(recordedEntries(), (std::vector<std::string>{"gs:GSabout", "cdvd:CDVDabout"}));

        // The directory chooser, handed the same folder without its slash.
        onNextModal(
            [&](QWidget* chooser) {
                auto* files = qobject_cast<QFileDialog*>(chooser);
                ASSERT_NE(files, nullptr);
                EXPECT_EQ(files->windowTitle(), "Select Plugins Directory");
                files->selectFile(QString::fromStdString(dir.substr(0, dir.size() - 1)));
                static_cast<QDialog*>(files)->accept();
            },
            dialog);
        click(dialog, "1046");
        EXPECT_EQ(items(dialog, "1052").size(), 2) << "filled again";

        choose(dialog, "1054", "Scripted PAD pad_b 3.0");
        control<QComboBox>(dialog, "1055")->setCurrentIndex(-1);
        clearRecording();
        click(dialog, "1");
    });
    window.findChild<QAction*>("111")->trigger();
    ASSERT_TRUE(handled);

    const PluginConfig written = readConfigFile(configFilePath());
    EXPECT_EQ(written.dir, dir) << "one slash at the end";
    EXPECT_EQ(written.gs, "test_gs.so");
    EXPECT_EQ(written.pad, "test_pad_b.so");
    EXPECT_EQ(written.spu, "test_spu2.so");
    EXPECT_EQ(written.cdvd, "test_cdvd.so") << "a list without a choice keeps the name";
    const std::vector<std::string> calls = recordedEntries();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "gs:GSshutdown"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "pad_b:PADinit"), calls.end());
    EXPECT_EQ(pluginSlotStatus(PluginSlot::Pad1).path, dir + "test_pad_b.so");
}

TEST_F(PluginDialogTest, CancelWritesNothing) {
    writeConfig();
    const std::string before = fileText(configFilePath());
    onNextModal([](QWidget* dialog) {
        choose(dialog, "1052", "Two kinds 0.1");
        click(dialog, "2");
    });
    window.findChild<QAction*>("111")->trigger();
    EXPECT_EQ(fileText(configFilePath()), before);
    EXPECT_EQ(pluginConfig.gs, "TEST_GS.SO");
}

TEST_F(PluginDialogTest, AFailedLoadAtStartUpAsksOnceAndInitialisesOnce) {
    PluginConfig missingGs = testPluginConfig();
    missingGs.gs = "missing_gs.so";
    useTestPlugins(missingGs);
    installPluginDialogAsChoiceHook();
    int shown = 0;
    onNextModal([&](QWidget* dialog) {
        ++shown;
        EXPECT_EQ(selected(dialog, "1052"), "") << "the configured library is not there";
        choose(dialog, "1052", "Recording GS 1.2");
        click(dialog, "1");
    });
    emuReset();
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(pluginSlotStatus(PluginSlot::Gs).failure, PluginLoadFailure::None);
    const std::vector<std::string> gs = recordedEntries("gs");
    EXPECT_EQ(std::count(gs.begin(), gs.end(), "gs:GSinit"), 1);
}

}  // namespace
