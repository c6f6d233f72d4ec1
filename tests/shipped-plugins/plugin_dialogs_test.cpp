// The shipped plugins' configuration dialogs driven as a person would, on
// Qt's offscreen platform: keys assigned in the PAD's dialog, OK writing
// the settings file and Cancel writing nothing, the CDVD's chosen image
// kept and offered again, the GS window settings. The entry points are
// called through the plugin libraries themselves, which use this process's
// QApplication as they would the desktop program's.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <cstdio>
#include <fstream>

#include "support/gui_test.h"
#include "ps2e/cdvd-image/cdvd_settings.h"
#include "ps2e/gs-soft/settings.h"
#include "ps2e/pad-sdl/key_map_dialog.h"
#include "ps2e/support/settings_file.h"
#include "shipped_plugin.h"

namespace {

bool fileExists(const std::string& path) { return std::ifstream(path).good(); }

void clickButton(QWidget* dialog, QDialogButtonBox::StandardButton which) {
    control<QDialogButtonBox>(dialog, "buttons")->button(which)->click();
}

// Selects the row of `control` and asks for its key, then presses `key`.
void assignKey(QWidget* dialog, PadControl padControl, int key, Qt::KeyboardModifiers modifiers = {}) {
    auto* table = control<QTableWidget>(dialog, "keys");
    table->setCurrentCell(static_cast<int>(padControl), 0);
    control<QPushButton>(dialog, "assign")->click();
    QTest::keyClick(table, static_cast<Qt::Key>(key), modifiers);
}

QString keyCell(QWidget* dialog, PadControl padControl) {
    return control<QTableWidget>(dialog, "keys")->item(static_cast<int>(padControl), 1)->text();
}

TEST(PadKeyMapDialog, AssignedKeysAreWrittenOnOk) {
    const std::string path = "pad-dialog.ini";
    std::remove(path.c_str());
    bool shown = false;
    onNextModal([&](QWidget* dialog) {
        shown = true;
        EXPECT_EQ(keyCell(dialog, PadControl::Cross), "Z") << "the defaults, with no file";
        auto* table = control<QTableWidget>(dialog, "keys");
        table->setCurrentCell(static_cast<int>(PadControl::Cross), 0);
        control<QPushButton>(dialog, "assign")->click();
        EXPECT_EQ(keyCell(dialog, PadControl::Cross), "press a key");
        EXPECT_TRUE(control<QLabel>(dialog, "prompt")->text().contains("Press a key for Cross"));
        // The table would take Space and letters for itself; the wait takes them first.
        QTest::keyClick(table, Qt::Key_Space);
        EXPECT_EQ(keyCell(dialog, PadControl::Cross), "Space");
        EXPECT_FALSE(control<QLabel>(dialog, "prompt")->text().contains("Press a key"));

        // A key taken from another control leaves it; Escape cancels a wait
        // and keeps the dialog open.
        assignKey(dialog, PadControl::L3, Qt::Key_Up);
        EXPECT_EQ(keyCell(dialog, PadControl::L3), "Up");
        EXPECT_EQ(keyCell(dialog, PadControl::Up), "");
        assignKey(dialog, PadControl::Start, Qt::Key_Escape);
        EXPECT_EQ(keyCell(dialog, PadControl::Start), "Return");
        EXPECT_TRUE(dialog->isVisible());
        table->setCurrentCell(static_cast<int>(PadControl::Select), 0);
        control<QPushButton>(dialog, "clear")->click();

        // Port 2, by a double click on the control, from the keypad.
        control<QComboBox>(dialog, "port")->setCurrentIndex(1);
        EXPECT_EQ(keyCell(dialog, PadControl::Cross), "");
        QTableWidgetItem* start = table->item(static_cast<int>(PadControl::Start), 0);
        table->scrollToItem(start);
        const QPoint onStart = table->visualItemRect(start).center();
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, onStart);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, onStart);
        QTest::keyClick(table, Qt::Key_8, Qt::KeypadModifier);
        EXPECT_EQ(keyCell(dialog, PadControl::Start), "Keypad 8");
        EXPECT_TRUE(saveScreenshot(dialog, "pad_key_map_dialog"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(editPadKeyMap(path));
    EXPECT_TRUE(shown);

    PadSettings expected = defaultPadSettings();
    expected.keys[0][static_cast<std::size_t>(PadControl::Cross)] = SDLK_SPACE;
    expected.keys[0][static_cast<std::size_t>(PadControl::L3)] = SDLK_UP;
    expected.keys[0][static_cast<std::size_t>(PadControl::Up)] = SDLK_UNKNOWN;
    expected.keys[0][static_cast<std::size_t>(PadControl::Select)] = SDLK_UNKNOWN;
    expected.keys[1][static_cast<std::size_t>(PadControl::Start)] = SDLK_KP_8;
    EXPECT_EQ(readPadSettings(path), expected);

    // Opened again, the dialog shows the file's map; Defaults brings the
    // documented keys back.
    onNextModal([](QWidget* dialog) {
        EXPECT_EQ(keyCell(dialog, PadControl::Cross), "Space");
        control<QPushButton>(dialog, "defaults")->click();
        EXPECT_EQ(keyCell(dialog, PadControl::Cross), "Z");
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    EXPECT_TRUE(editPadKeyMap(path));
    expected.keys[0] = defaultPadSettings().keys[0];
    EXPECT_EQ(readPadSettings(path), expected) << "port 2 keeps its key";
    std::remove(path.c_str());
}

// PADconfigure through the library: the dialog edits pad-sdl.ini in the
// settings folder the host names, and Cancel leaves it alone.
TEST(PluginConfigure, PadConfigureEditsTheSettingsFileOfTheHostsFolder) {
    const std::string path = pluginSettingsPath(kPadSettingsFile);
    std::remove(path.c_str());
    ShippedPlugin plugin("pad-sdl.so");
    ASSERT_TRUE(plugin.loaded());
    const auto configure = plugin.entry<void()>("PADconfigure");

    onNextModal([](QWidget* dialog) {
        assignKey(dialog, PadControl::R3, Qt::Key_Tab);
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    configure();
    EXPECT_FALSE(fileExists(path)) << "Cancel";

    onNextModal([](QWidget* dialog) {
        assignKey(dialog, PadControl::R3, Qt::Key_Tab);
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    configure();
    EXPECT_EQ(readSettingsFile(path).value("Port1", "R3"), "Tab");
    EXPECT_EQ(readSettingsFile(path).value("Port1", "Cross"), "Z");
    std::remove(path.c_str());
}

TEST(PluginConfigure, CdvdConfigureKeepsTheChosenImageAndOffersItAgain) {
    const std::string settings = pluginSettingsPath(kCdvdSettingsFile);
    std::remove(settings.c_str());
    const QString image = QDir::current().absoluteFilePath("chosen disc.iso");
    std::ofstream(image.toStdString()) << "not read by the chooser";
    ShippedPlugin plugin("cdvd-image.so");
    ASSERT_TRUE(plugin.loaded());
    const auto configure = plugin.entry<void()>("CDVDconfigure");

    onNextModal([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->windowTitle(), "Choose a disc image");
        EXPECT_EQ(chooser->nameFilters(), (QStringList{"Disc images (*.iso *.bin *.ISO *.BIN)", "All files (*)"}));
        chooser->selectFile(image);
        static_cast<QDialog*>(chooser)->accept();  // as its Open button does
    });
    configure();
    EXPECT_EQ(configuredImage(settings), image.toStdString());

    // Offered again, and kept when the chooser is cancelled.
    onNextModal([&](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->selectedFiles(), QStringList{image});
        chooser->reject();
    });
    configure();
    EXPECT_EQ(configuredImage(settings), image.toStdString());
    std::remove(settings.c_str());
    std::remove(image.toStdString().c_str());
}

TEST(PluginConfigure, GsConfigureEditsTheWindowSettings) {
    const std::string path = pluginSettingsPath(kGsSettingsFile);
    std::remove(path.c_str());
    ShippedPlugin plugin("gs-soft.so");
    ASSERT_TRUE(plugin.loaded());
    const auto configure = plugin.entry<void()>("GSconfigure");

    onNextModal([](QWidget* dialog) {
        EXPECT_EQ(control<QSpinBox>(dialog, "scale")->value(), 2);
        EXPECT_EQ(control<QComboBox>(dialog, "filter")->currentIndex(), 0);
        control<QSpinBox>(dialog, "scale")->setValue(3);
        control<QComboBox>(dialog, "filter")->setCurrentIndex(1);
        EXPECT_TRUE(saveScreenshot(dialog, "gs_settings_dialog"));
        clickButton(dialog, QDialogButtonBox::Ok);
    });
    configure();
    EXPECT_EQ(readGsSettings(path), (GsSettings{3, false}));

    onNextModal([](QWidget* dialog) {
        EXPECT_EQ(control<QSpinBox>(dialog, "scale")->value(), 3);
        EXPECT_EQ(control<QComboBox>(dialog, "filter")->currentIndex(), 1);
        control<QSpinBox>(dialog, "scale")->setValue(1);
        clickButton(dialog, QDialogButtonBox::Cancel);
    });
    configure();
    EXPECT_EQ(readGsSettings(path), (GsSettings{3, false}));
    std::remove(path.c_str());
}

}  // namespace
