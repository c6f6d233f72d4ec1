// The main window's machine-state commands, through its menu actions and
// keys, with the recording test plugins: outside a run through the menu
// and F1/F2/F3, during a run through the PAD plugin's key events, which
// pause the run between two instructions.
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QStatusBar>
#include <QTest>
#include <algorithm>
#include <filesystem>
#include <fstream>

#include "devices/timers.h"
#include "frontend/main_window.h"
#include "iop/host_root.h"
#include "machine/machine_workout.h"
#include "machine/vblank.h"
#include "plugins/config.h"
#include "plugins/recording.h"
#include "state/save_state.h"
#include "support/guest_machine.h"
#include "support/gui_test.h"
#include "support/scratch_folder.h"
#include "support/test_plugins.h"

namespace {

const std::pair<u32, u32> kNoKey = {0, 0};

class StateCommands : public testing::Test {
protected:
    void SetUp() override {
        std::filesystem::remove_all(slotFolder());
        writeWorkoutInput(folder.path());
        setHostRoot(folder.path());
        useTestPlugins();
        resetMachine();
        window.show();
    }
    void TearDown() override {
        emuStop();
        setHostRoot(".");
        std::filesystem::remove_all(slotFolder());
    }

    static std::filesystem::path slotFolder() { return std::filesystem::path(saveStateDirectory()).parent_path(); }

    void trigger(const char* id) {
        QAction* action = window.findChild<QAction*>(id);
        ASSERT_NE(action, nullptr) << id;
        action->trigger();
    }
    // A key pressed in the main window, which the file choosers leave.
    void press(Qt::Key key) {
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QTest::keyClick(&window, key);
    }
    QString status() const { return window.statusBar()->currentMessage(); }

    // Start, with the PAD plugin's key events one per vertical blank; the
    // last one given ends the run with Escape.
    void runWithKeys(std::vector<std::pair<u32, u32>> keys) {
        keys.push_back({kKeyEscape, KEYPRESS});
        scriptKeyEvents("pad", keys);
        scriptKeyEvents("pad_b", keys);
        trigger("106");
        ASSERT_FALSE(window.runInProgress());
    }
    std::vector<std::pair<u32, u32>> quietFrames(int count) { return std::vector<std::pair<u32, u32>>(count, kNoKey); }

    // Chooses `path` in the next file chooser.
    void choose(const std::string& path) {
        onNextModal([path](QWidget* modal) {
            auto* chooser = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(chooser, nullptr);
            chooser->selectFile(QString::fromStdString(path));
            static_cast<QDialog*>(chooser)->accept();
        });
    }

    const ScratchFolder folder{"states"};
    MainWindow window;
};

TEST_F(StateCommands, MenuAndKeysSaveAndLoadAndEveryRefusalLeavesTheMachineAsItWas) {
    for (const char* id : {"stateQuickLoad", "stateLoad"}) {
        trigger(id);  // no file chooser opens
        EXPECT_EQ(status(), "Cannot load the state: no program is loaded; open the program it was saved from first");
    }
    trigger("stateQuickSave");
    EXPECT_EQ(status(), "Cannot save the state: no program is loaded");

    window.openFile(QString::fromStdString(guestProgramPath("machine_workout")));
    ASSERT_EQ(programLoaded, 1u);
    runWithKeys(quietFrames(2));
    const auto* slot = control<QLabel>(&window, "stateSlot");
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->text(), "Slot 0");

    // Every register and all of memory, as a state holds them.
    press(Qt::Key_F1);
    EXPECT_EQ(status(), "Saved the state to slot 0");
    const std::vector<u8> saved = saveStateBytes();

    runWithKeys(quietFrames(2));
    std::vector<u8> before = saveStateBytes();
    ASSERT_FALSE(before == saved);
    press(Qt::Key_F2);
    EXPECT_EQ(slot->text(), "Slot 1");
    EXPECT_EQ(status(), "State slot 1");
    press(Qt::Key_F3);
    EXPECT_EQ(status(), "Cannot load the state: slot 1 is empty");
    EXPECT_TRUE(saveStateBytes() == before);
    for (int i = 0; i < 9; ++i) press(Qt::Key_F2);
    EXPECT_EQ(slot->text(), "Slot 0") << "ten slots, then round again";
    press(Qt::Key_F3);
    EXPECT_EQ(status(), "Loaded the state from slot 0");
    EXPECT_TRUE(saveStateBytes() == saved);

    // Save State... and Load State... through the file chooser.
    const std::string named = (folder.path() / "named.state").string();
    choose(named);
    trigger("stateSave");
    EXPECT_EQ(status().toStdString(), "Saved the state to " + named);
    runWithKeys(quietFrames(1));
    choose(named);
    trigger("stateLoad");
    EXPECT_EQ(status().toStdString(), "Loaded the state from " + named);
    EXPECT_TRUE(saveStateBytes() == saved);

    // Files that are no state of this program: refused with the state
    // module's reason, the machine untouched.
    runWithKeys(quietFrames(1));
    std::ofstream(folder.path() / "garbage.state") << "not a state";
    before = saveStateBytes();
    choose((folder.path() / "garbage.state").string());
    trigger("stateLoad");
    EXPECT_EQ(status(), "Cannot load the state: not a Corvane machine state");
    EXPECT_TRUE(saveStateBytes() == before);
    window.openFile(QString::fromStdString(guestProgramPath("demo")));
    before = saveStateBytes();
    choose(named);
    trigger("stateLoad");
    EXPECT_EQ(status(), "Cannot load the state: the state was saved for another program");
    EXPECT_TRUE(saveStateBytes() == before);
    press(Qt::Key_F3);
    EXPECT_EQ(status(), "Cannot load the state: slot 0 is empty") << "the slots are the program's own";

    // A slot folder that cannot be made: a file stands where it would be.
    std::filesystem::remove_all(slotFolder());
    std::ofstream(slotFolder()) << "in the way";
    press(Qt::Key_F1);
    EXPECT_TRUE(status().startsWith("Cannot save the state: cannot write " + MainWindow::quickSlotPath(0)))
        << status().toStdString();
    press(Qt::Key_F3);
    EXPECT_EQ(status(), "Cannot load the state: slot 0 is empty");
    EXPECT_TRUE(saveStateBytes() == before);
}

// A state key during a run pauses it after the instruction in progress,
// with the plugins still open; the run then goes on as though nothing had
// happened, and a state loaded in such a pause continues as the run it
// was saved from.
TEST_F(StateCommands, KeysDuringARunSaveAndLoadBetweenInstructionsAndTheRunGoesOn) {
    window.openFile(QString::fromStdString(guestProgramPath("machine_workout")));
    runWithKeys(quietFrames(5));
    const std::vector<u8> whole = saveStateBytes();

    window.openFile(QString::fromStdString(guestProgramPath("machine_workout")));
    clearRecording();
    runWithKeys({kNoKey, kNoKey, {kKeyF1, KEYPRESS}, kNoKey, kNoKey});
    EXPECT_EQ(status(), "Saved the state to slot 0");
    EXPECT_TRUE(saveStateBytes() == whole) << "the pause changed nothing";
    const std::vector<std::string> gs = recordedEntries("gs");
    EXPECT_EQ(std::count(gs.begin(), gs.end(), "gs:GSopen"), 1) << "the plugins stayed open";
    EXPECT_EQ(std::count(gs.begin(), gs.end(), "gs:GSkeyEvent"), 0) << "F1 went no further";

    window.openFile(QString::fromStdString(guestProgramPath("machine_workout")));
    runWithKeys({{kKeyF3, KEYPRESS}, kNoKey, kNoKey});
    EXPECT_EQ(vblankCount, 6u) << "loaded at the third vertical blank, Escape at the sixth";
    EXPECT_TRUE(saveStateBytes() == whole) << "continued exactly";

    // F2 during a run moves the slot; F3 on an empty slot says so, and the
    // run goes on unchanged.
    window.openFile(QString::fromStdString(guestProgramPath("machine_workout")));
    runWithKeys({kNoKey, {kKeyF2, KEYPRESS}, {kKeyF3, KEYPRESS}, kNoKey, kNoKey});
    EXPECT_EQ(window.stateSlot(), 1);
    EXPECT_EQ(status(), "Cannot load the state: slot 1 is empty");
    EXPECT_TRUE(saveStateBytes() == whole);
}

}  // namespace
