// The main window driven through its menu commands, found by their ids,
// with the recording test plugins standing in for the real ones.
#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "core/ee_state.h"
#include "debugger/debugger_window.h"
#include "debugger/memory_view.h"
#include "devices/timers.h"
#include "disc/disc_boot.h"
#include "disc/elf_loader.h"
#include "frontend/main_window.h"
#include "machine/vblank.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "platform/executable_path.h"
#include "plugins/plugin_host.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/gui_test.h"
#include "support/test_plugins.h"

namespace {

// A program that ends in an idle loop: a run only ends at Escape or Stop.
constexpr const char* kProgram = "demo";

QAction* command(MainWindow& window, const char* id) {
    QAction* action = window.findChild<QAction*>(id);
    EXPECT_NE(action, nullptr) << "no menu command " << id;
    return action;
}

void trigger(MainWindow& window, const char* id) {
    if (QAction* action = command(window, id)) action->trigger();
}

long countOf(const std::vector<std::string>& entries, const std::string& entry) {
    return std::count(entries.begin(), entries.end(), entry);
}

// GSopen and GSclose alternate, starting with an open: nothing was opened
// twice or closed while closed.
bool opensAndClosesAlternate(const std::vector<std::string>& gsEntries) {
    bool open = false;
    for (const std::string& entry : gsEntries) {
        if (entry == "gs:GSopen" && open) return false;
        if (entry == "gs:GSclose" && !open) return false;
        if (entry == "gs:GSopen" || entry == "gs:GSclose") open = entry == "gs:GSopen";
    }
    return true;
}

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override {
        useTestPlugins();
        resetMachine();
        clearRecording();
        window.show();
    }
    void TearDown() override { emuStop(); }

    // Loads the program as File, Open, "ELF" does, through its file chooser.
    void openThroughMenu(const std::string& path) {
        onNextModal([path](QWidget* modal) {
            auto* chooser = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(chooser, nullptr);
            chooser->selectFile(QString::fromStdString(path));
            static_cast<QDialog*>(chooser)->accept();
        });
        trigger(window, "103");
    }

    MainWindow window;
};

TEST_F(MainWindowTest, TitleAndMenuCommands) {
    EXPECT_EQ(window.windowTitle(), "CORvane Engine - v0.1 - Linux");
    const std::pair<const char*, const char*> items[] = {
        {"103", "ELF"},     {"141", "ISO"},  {"104", "Screenshot"}, {"105", "Exit"}, {"106", "Start"},
        {"108", "Pause"},   {"107", "Stop"}, {"109", "Reset"},      {"112", "GS"},   {"113", "SPU"},
        {"114", "PAD1"},    {"115", "PAD2"}, {"116", "CDVD"},       {"111", "Plugins"},
        {"101", "Debug"},   {"127", "Memory Map"}, {"117", "About"},
    };
    for (const auto& [id, label] : items) {
        if (QAction* action = command(window, id)) {
            EXPECT_EQ(action->text(), label) << id;
        }
    }
    QStringList menus;
    for (QAction* action : window.menuBar()->actions()) menus << action->text();
    EXPECT_EQ(menus, (QStringList{"File", "Emulation", "Options", "Debug", "About"}));
    EXPECT_TRUE(saveScreenshot(&window, "main_window"));
}

TEST_F(MainWindowTest, OpenElfRunsUntilEscapeOrStopWithTheWindowAlive) {
    trigger(window, "106");
    EXPECT_TRUE(recordedEntries("gs").empty()) << "Start with nothing loaded does nothing";

    // The chooser's title, filters and folder, then the load.
    onNextModal([](QWidget* modal) {
        auto* chooser = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->windowTitle(), "Open Image");
        EXPECT_EQ(chooser->nameFilters(), (QStringList{"ELF ROMs (*.ELF *.elf)", "All Files (*.*)"}));
        EXPECT_EQ(chooser->directory().absolutePath(), "/");
        chooser->reject();
    });
    trigger(window, "103");
    EXPECT_EQ(programLoaded, 0u) << "a cancelled chooser loads nothing";
    openThroughMenu(guestProgramPath(kProgram));
    ASSERT_EQ(programLoaded, 1u);
    EXPECT_EQ(ee.pc, elfHeader.entry);

    // Stop from the menu while the run is in progress: the window handles it
    // at a vertical blank, with the re-entering commands disabled meanwhile.
    bool ranDuringRun = false;
    std::vector<std::pair<std::string, bool>> enabledDuringRun;
    QTimer::singleShot(0, [&] {
        ranDuringRun = window.runInProgress();
        for (const char* id : {"103", "141", "106", "109", "111", "112", "116", "107", "101"})
            enabledDuringRun.emplace_back(id, command(window, id)->isEnabled());
        trigger(window, "108");  // Pause does nothing
        trigger(window, "107");
    });
    trigger(window, "106");
    EXPECT_TRUE(ranDuringRun);
    for (const auto& [id, enabled] : enabledDuringRun) {
        const bool staysEnabled = std::string(id) == "107" || std::string(id) == "101";
        EXPECT_EQ(enabled, staysEnabled) << "command " << id << " during the run";
    }
    EXPECT_FALSE(window.runInProgress());
    EXPECT_TRUE(command(window, "106")->isEnabled());
    EXPECT_EQ(pluginsOpened, 0u);
    EXPECT_GT(vblankCount, 0u);
    EXPECT_EQ(recordedEntries("gs").front(), "gs:GSopen");
    EXPECT_EQ(recordedEntries("gs").back(), "gs:GSclose");

    // Escape from the PAD plugin ends the next run; it opens the plugins again.
    clearRecording();
    scriptKeyEvents("pad", {{kKeyEscape, KEYPRESS}});
    scriptKeyEvents("pad_b", {{kKeyEscape, KEYPRESS}});
    trigger(window, "106");
    EXPECT_EQ(countOf(recordedEntries("gs"), "gs:GSvsync"), 1);
    EXPECT_EQ(recordedEntries("gs").front(), "gs:GSopen");
    EXPECT_EQ(recordedEntries("gs").back(), "gs:GSclose");

    // A second load from the menu resets the machine first: RAM is cleared.
    hostStore<u32>(memory.ram + 0x01000000, 0xDEADBEEF);
    openThroughMenu(guestProgramPath(kProgram));
    EXPECT_EQ(hostLoad<u32>(memory.ram + 0x01000000), 0u);
    EXPECT_EQ(programLoaded, 1u);
}

TEST_F(MainWindowTest, ExitDuringARunStopsItFirst) {
    openThroughMenu(guestProgramPath(kProgram));
    QTimer::singleShot(0, [&] { trigger(window, "105"); });
    trigger(window, "106");
    EXPECT_FALSE(window.runInProgress());
    EXPECT_EQ(stopFlag, 1u);
    EXPECT_EQ(recordedEntries("gs").back(), "gs:GSclose");
}

TEST_F(MainWindowTest, ConfigAndScreenshotCallOnlyLoadedLibraries) {
    for (const char* id : {"112", "113", "114", "115", "116", "104"}) trigger(window, id);
    EXPECT_EQ(recordedEntries(), (std::vector<std::string>{"gs:GSconfigure", "spu2:SPU2configure",
                                                           "pad:PADconfigure", "pad:PADconfigure",
                                                           "cdvd:CDVDconfigure", "gs:GSmakeSnapshot"}));
    EXPECT_EQ(recordedCalls().back().text, "Screens/");

    // A GS slot whose library is missing, and a library of the wrong kind in
    // the SPU2 slot: their commands do nothing.
    PluginConfig broken = testPluginConfig();
    broken.gs = "missing_gs.so";
    broken.spu = "wrong_kind.so";
    useTestPlugins(broken);
    resetMachine();
    clearRecording();
    for (const char* id : {"112", "113", "104", "114"}) trigger(window, id);
    EXPECT_EQ(recordedEntries(), (std::vector<std::string>{"pad:PADconfigure"}));
}

TEST_F(MainWindowTest, AboutClosesOnEnter) {
    bool seen = false;
    onNextModal([&](QWidget* modal) {
        seen = true;
        EXPECT_EQ(modal->windowTitle(), "About");
        EXPECT_TRUE(modal->findChildren<QPushButton*>().isEmpty()) << "no buttons";
        // Where this copy keeps its files: beside the test, as a build tree does.
        const auto* settings = control<QLabel>(modal, "aboutSettings");
        const auto* screens = control<QLabel>(modal, "aboutScreens");
        ASSERT_TRUE(settings && screens);
        EXPECT_TRUE(settings->text().endsWith(QString::fromStdString(directoryOf(executablePath()))));
        EXPECT_TRUE(screens->text().endsWith("Screens/"));
        EXPECT_TRUE(saveScreenshot(modal, "about"));
        QTest::keyClick(modal, Qt::Key_Return);
    });
    trigger(window, "117");
    EXPECT_TRUE(seen);
}

TEST_F(MainWindowTest, DebugAndMemoryMapToggleAndShareThePlugins) {
    openThroughMenu(guestProgramPath(kProgram));
    trigger(window, "101");
    ASSERT_NE(window.debugger(), nullptr);
    EXPECT_TRUE(window.debugger()->isVisible());
    EXPECT_EQ(pluginsOpened, 1u) << "the debugger opens the plugins for stepping";
    trigger(window, "101");
    EXPECT_EQ(window.debugger(), nullptr);
    trigger(window, "101");
    ASSERT_NE(window.debugger(), nullptr) << "a third choice opens it again";

    // A run while the debugger holds the plugins opens nothing twice; its
    // Step buttons are off during the run.
    bool stepEnabledDuringRun = true;
    QTimer::singleShot(0, [&] {
        stepEnabledDuringRun = control<QPushButton>(window.debugger(), "1035")->isEnabled();
        trigger(window, "107");
    });
    trigger(window, "106");
    EXPECT_FALSE(stepEnabledDuringRun);
    EXPECT_TRUE(control<QPushButton>(window.debugger(), "1035")->isEnabled());
    const auto* listing = control<QListWidget>(window.debugger(), "disassembly");
    ASSERT_NE(listing, nullptr);
    ASSERT_NE(listing->currentItem(), nullptr);
    EXPECT_TRUE(listing->currentItem()->text().startsWith(QString::asprintf("> %08X", ee.pc)))
        << "the listing shows where the run stopped";
    trigger(window, "101");
    EXPECT_EQ(pluginsOpened, 0u);
    const std::vector<std::string> gs = recordedEntries("gs");
    EXPECT_TRUE(opensAndClosesAlternate(gs));
    EXPECT_EQ(countOf(gs, "gs:GSopen"), countOf(gs, "gs:GSclose"));

    trigger(window, "127");
    ASSERT_NE(window.memoryView(), nullptr);
    EXPECT_TRUE(window.memoryView()->isVisible());
    trigger(window, "127");
    EXPECT_EQ(window.memoryView(), nullptr);
}

TEST_F(MainWindowTest, CommandLineFileOpensAnElfOrBootsADisc) {
    window.openFile(QString::fromStdString(guestProgramPath(kProgram)));
    EXPECT_EQ(programLoaded, 1u);
    EXPECT_EQ(ee.pc, elfHeader.entry);

    // A disc image with the program as its boot executable, served by the
    // bundled CDVD plugin.
    useTestPlugins(PluginConfig{CORVANE_BUNDLED_PLUGIN_DIR, "null_gs.so", "null_spu2.so", "null_pad.so",
                                "null_cdvd.so"});
    resetMachine();
    ASSERT_EQ(std::system("rm -rf disc.tree && mkdir disc.tree"), 0);
    std::ofstream("disc.tree/SYSTEM.CNF") << "BOOT2 = cdrom0:\\GAME.ELF;1\r\nVER = 1.00\r\n";
    ASSERT_EQ(std::system(("cp '" + guestProgramPath(kProgram) + "' disc.tree/GAME.ELF").c_str()), 0);
    ASSERT_EQ(std::system("xorriso -as mkisofs -quiet -o disc.iso disc.tree >xorriso.log 2>&1"), 0);
    window.openFile("disc.iso");
    EXPECT_EQ(programLoaded, 1u);
    EXPECT_EQ(bootPath, "cdrom0:\\GAME.ELF;1");

    resetMachine();
    window.openFile("no-such-file.iso");
    EXPECT_EQ(programLoaded, 0u);
    EXPECT_TRUE(window.statusBar()->currentMessage().startsWith("Disc boot failed"));

    // An ELF header with nothing to load is refused, with the reason, and
    // leaves no program to start.
    resetMachine();
    std::string headerOnly(52, '\0');
    headerOnly.replace(0, 6, "\x7F" "ELF\x01\x01");
    const std::string path = std::filesystem::absolute("header-only.elf").string();
    std::ofstream(path, std::ios::binary) << headerOnly;
    openThroughMenu(path);
    EXPECT_EQ(programLoaded, 0u);
    EXPECT_EQ(window.statusBar()->currentMessage().toStdString(),
              "Cannot load " + path + ": it has no segment or section to load");
}

// A run that the program ends says how, in the status bar and the
// debugger's message list.
TEST_F(MainWindowTest, ARunThatTheProgramEndsSaysExitOrDeadlock) {
    ASSERT_TRUE(loadGuestProgram("sched_ends"));
    const u32 mode = guestSymbol("mode");
    window.openFile(QString::fromStdString(guestProgramPath("sched_ends")));
    ASSERT_EQ(programLoaded, 1u);
    trigger(window, "101");
    ASSERT_NE(window.debugger(), nullptr);
    trigger(window, "106");
    EXPECT_EQ(window.statusBar()->currentMessage(), "Stopped: exit, exit code 0");

    window.openFile(QString::fromStdString(guestProgramPath("sched_ends")));
    hostStore<u32>(memory.ram + mode, 1);  // waits for a signal that never comes
    trigger(window, "106");
    EXPECT_EQ(window.statusBar()->currentMessage(), "Stopped: deadlock");
    const auto* messages = control<QListWidget>(window.debugger(), "1001");
    ASSERT_NE(messages, nullptr);
    QStringList lines;
    for (int i = 0; i < messages->count(); ++i) lines << messages->item(i)->text();
    EXPECT_EQ(lines.filter("stopped: "), (QStringList{"stopped: exit, exit code 0", "stopped: deadlock"}));
    trigger(window, "101");
}

}  // namespace
