// The main window's machine-state commands: Save State... and Load State...
// through a file chooser, the ten quick slots of each program, and the
// state keys of a run.
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QStatusBar>
#include <string_view>
#include <utility>

#include "core/work_budget.h"
#include "debugger/debugger_window.h"
#include "devices/timers.h"
#include "disc/elf_loader.h"
#include "frontend/main_window.h"
#include "machine/emulation.h"
#include "machine/vblank.h"
#include "platform/user_directories.h"
#include "plugins/config.h"
#include "state/save_state.h"

namespace {

constexpr const char* kStateFilter = "Machine states (*.state);;All Files (*.*)";

QString slotName(int slot) { return QString("slot %1").arg(slot); }

// The folder the choosers open in; made first, so that they can.
QString stateFolder() {
    const std::string folder = saveStateDirectory();
    makeDirectories(folder);
    return QString::fromStdString(folder);
}

}  // namespace

MainWindow* MainWindow::startedRun_ = nullptr;

// Each program has slots of its own, named after the hash that tells
// programs apart in a state, so a slot never offers another program's state.
QString MainWindow::quickSlotPath(int slot) {
    return QString::fromStdString(saveStateDirectory()) +
           QString("%1.slot%2.state").arg(elfProgramId, 16, 16, QChar('0')).arg(slot);
}

void MainWindow::showStateSlot() {
    if (slotLabel_ != nullptr) slotLabel_->setText("Slot " + QString::number(stateSlot_));
}

void MainWindow::nextStateSlot() {
    stateSlot_ = (stateSlot_ + 1) % kStateSlotCount;
    showStateSlot();
    statusBar()->showMessage("State " + slotName(stateSlot_));
}

void MainWindow::saveStateAs() {
    if (running_ || !programLoadedFor("save")) return;
    QFileDialog chooser(this, "Save State", stateFolder(), kStateFilter);
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setDefaultSuffix("state");
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const QString path = chooser.selectedFiles().first();
    saveStateTo(path, path);
}

void MainWindow::loadStateFrom() {
    if (running_ || !programLoadedFor("load")) return;
    QFileDialog chooser(this, "Load State", stateFolder(), kStateFilter);
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    const QString path = chooser.selectedFiles().first();
    loadStateFromPath(path, path);
}

void MainWindow::quickSave() {
    if (!running_) honourStateRequest(StateRequest::QuickSave);
}

void MainWindow::quickLoad() {
    if (!running_) honourStateRequest(StateRequest::QuickLoad);
}

void MainWindow::honourStateRequest(StateRequest request) {
    if (request == StateRequest::QuickSave) {
        makeDirectories(saveStateDirectory());
        saveStateTo(quickSlotPath(stateSlot_), slotName(stateSlot_));
    } else if (request == StateRequest::QuickLoad) {
        const QString path = quickSlotPath(stateSlot_);
        if (programLoaded != 0 && !QFileInfo::exists(path)) {
            statusBar()->showMessage("Cannot load the state: " + slotName(stateSlot_) + " is empty");
            return;
        }
        loadStateFromPath(path, slotName(stateSlot_));
    }
}

// A state is the state of one program: without a program there is nothing
// to save, and nothing a state could be checked against.
bool MainWindow::programLoadedFor(const char* verb) {
    if (programLoaded != 0) return true;
    const QString why = std::string_view(verb) == "load" ? "; open the program it was saved from first" : "";
    statusBar()->showMessage(QString("Cannot %1 the state: no program is loaded").arg(verb) + why);
    return false;
}

void MainWindow::saveStateTo(const QString& path, const QString& name) {
    if (!programLoadedFor("save")) return;
    const std::string problem = saveStateFile(path.toStdString());
    statusBar()->showMessage(problem.empty() ? "Saved the state to " + name
                                             : "Cannot save the state: " + QString::fromStdString(problem));
}

void MainWindow::loadStateFromPath(const QString& path, const QString& name) {
    if (!programLoadedFor("load")) return;
    const std::string problem = loadStateFile(path.toStdString());
    if (!problem.empty()) {
        statusBar()->showMessage("Cannot load the state: " + QString::fromStdString(problem));
        return;
    }
    statusBar()->showMessage("Loaded the state from " + name);
    if (debugger_ && !running_ && !debugger_->busy()) debugger_->refreshListing();
}

// F1 and F3 only ask: the key arrives in the middle of an instruction (at
// the vertical blank, or between the pieces of long work), so the run
// stops once that work has ended whole, after the instruction, and the
// pause does the saving or loading. F2 touches no machine state and is
// done at once. Escape still stops the run; it is noted so that the pause
// does not go on.
bool MainWindow::takeRunKey(u32 key) {
    MainWindow* window = startedRun_;
    if (window == nullptr) return false;
    switch (key) {
    case kKeyF1: window->pendingState_ = StateRequest::QuickSave; break;
    case kKeyF3: window->pendingState_ = StateRequest::QuickLoad; break;
    case kKeyF2: window->nextStateSlot(); return true;
    case kKeyEscape: window->stopAsked_ = true; return false;
    default: return false;
    }
    workStopWhenDone();
    return true;
}

bool MainWindow::pauseRun() {
    MainWindow* window = startedRun_;
    if (window == nullptr) return false;
    const StateRequest request = std::exchange(window->pendingState_, StateRequest::None);
    if (request == StateRequest::None) return false;
    window->honourStateRequest(request);
    return !window->stopAsked_;
}
