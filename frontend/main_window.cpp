#include "frontend/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QVBoxLayout>
#include <chrono>
#include <cstdlib>

#include "debugger/debug_log.h"
#include "debugger/debugger_window.h"
#include "debugger/memory_view.h"
#include "devices/timers.h"
#include "disc/disc_boot.h"
#include "disc/elf_loader.h"
#include "machine/emulation.h"
#include "machine/run_end_hook.h"
#include "machine/vblank.h"
#include "plugins/config.h"
#include "plugins/plugin_dialog.h"

namespace {

constexpr const char* kProductName = "CORvane Engine";
constexpr int kVersionMajor = 0;
constexpr int kVersionMinor = 1;
constexpr const char* kTag = "Linux";

// Handling input costs far more than a vertical blank's worth of
// instructions, so the window gets its turn at most this often.
constexpr auto kEventInterval = std::chrono::milliseconds(15);

// The vertical-blank hook of a run. A bus read from the memory view can
// itself raise a vertical blank; that one does not handle events again.
void handlePendingEvents() {
    static bool handling = false;
    static auto last = std::chrono::steady_clock::time_point{};
    const auto now = std::chrono::steady_clock::now();
    if (handling || now - last < kEventInterval) return;
    handling = true;
    QApplication::processEvents(QEventLoop::AllEvents);
    last = std::chrono::steady_clock::now();
    handling = false;
}

// The About box: texts only, no buttons; Enter closes it. The last two say
// where this copy keeps its settings and its pictures.
class AboutDialog : public QDialog {
public:
    explicit AboutDialog(QWidget* parent) : QDialog(parent) {
        setWindowTitle("About");
        setObjectName("103");
        auto* layout = new QVBoxLayout(this);
        const auto addText = [layout](const QString& text, const char* name = "") {
            auto* label = new QLabel(text);
            label->setObjectName(name);
            label->setWordWrap(true);
            label->setTextInteractionFlags(Qt::TextSelectableByMouse);
            layout->addWidget(label);
        };
        addText("CORvane Engine v0.1");
        addText("A PS2 emulator for Linux.");
        addText("It interprets the EE and hands graphics, controllers, sound and the disc drive to plugin libraries.");
        addText("Settings (Config.ini and the plugins' own files): " + QString::fromStdString(settingsDirectory()),
                "aboutSettings");
        addText("Escape ends a run; F8 takes a snapshot into " + QString::fromStdString(screenshotDirectory()),
                "aboutScreens");
        addText("F1 saves the machine to the current slot, F3 loads it, F2 chooses the next slot; states are kept in " +
                    QString::fromStdString(saveStateDirectory()),
                "aboutStates");
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            accept();
            return;
        }
        QDialog::keyPressEvent(event);
    }
};

}  // namespace

QString mainWindowTitle() {
    return QString::asprintf("%s - v%i.%i - %s", kProductName, kVersionMajor, kVersionMinor, kTag);
}

MainWindow::MainWindow() {
    setWindowTitle(mainWindowTitle());
    setObjectName("mainWindow");
    setWindowIcon(QIcon::fromTheme("corvane"));
    move(50, 50);
    resize(300, 200);
    auto* screen = new QWidget;
    screen->setAutoFillBackground(true);
    QPalette palette = screen->palette();
    palette.setColor(QPalette::Window, Qt::black);
    screen->setPalette(palette);
    setCentralWidget(screen);
    buildMenus();
    slotLabel_ = new QLabel;
    slotLabel_->setObjectName("stateSlot");
    statusBar()->addPermanentWidget(slotLabel_);
    showStateSlot();
}

DebuggerWindow* MainWindow::debugger() const { return debugger_; }
MemoryView* MainWindow::memoryView() const { return memoryView_; }

void MainWindow::buildMenus() {
    const auto add = [this](QMenu* menu, const char* label, const char* id, auto command, bool machine = true) {
        QAction* action = menu->addAction(label);
        action->setObjectName(id);
        connect(action, &QAction::triggered, this, command);
        if (machine) machineCommands_.push_back(action);
        return action;
    };
    QMenu* file = menuBar()->addMenu("File");
    file->setObjectName("menuFile");
    QMenu* open = file->addMenu("Open");
    open->setObjectName("menuOpen");
    add(open, "ELF", "103", &MainWindow::openElf);
    add(open, "ISO", "141", &MainWindow::openIso);
    add(file, "Screenshot", "104", &MainWindow::screenshot, false);
    file->addSeparator();
    add(file, "Exit", "105", &MainWindow::exitProgram, false);

    QMenu* emulation = menuBar()->addMenu("Emulation");
    emulation->setObjectName("menuEmulation");
    add(emulation, "Start", "106", &MainWindow::start);
    add(emulation, "Pause", "108", [] {}, false);
    add(emulation, "Stop", "107", &MainWindow::stop, false);
    emulation->addSeparator();
    add(emulation, "Reset", "109", &MainWindow::reset);
    emulation->addSeparator();
    add(emulation, "Save State...", "stateSave", &MainWindow::saveStateAs);
    add(emulation, "Load State...", "stateLoad", &MainWindow::loadStateFrom);
    add(emulation, "Quick Save", "stateQuickSave", &MainWindow::quickSave)->setShortcut(Qt::Key_F1);
    add(emulation, "Quick Load", "stateQuickLoad", &MainWindow::quickLoad)->setShortcut(Qt::Key_F3);
    add(emulation, "Next Slot", "stateNextSlot", &MainWindow::nextStateSlot, false)->setShortcut(Qt::Key_F2);

    QMenu* options = menuBar()->addMenu("Options");
    options->setObjectName("menuOptions");
    QMenu* config = options->addMenu("Config");
    config->setObjectName("menuConfig");
    add(config, "GS", "112", [this] { configure(PluginSlot::Gs); });
    add(config, "SPU", "113", [this] { configure(PluginSlot::Spu2); });
    add(config, "PAD1", "114", [this] { configure(PluginSlot::Pad1); });
    add(config, "PAD2", "115", [this] { configure(PluginSlot::Pad2); });
    add(config, "CDVD", "116", [this] { configure(PluginSlot::Cdvd); });
    add(options, "Plugins", "111", &MainWindow::choosePlugins);

    QMenu* debug = menuBar()->addMenu("Debug");
    debug->setObjectName("menuDebug");
    add(debug, "Debug", "101", &MainWindow::toggleDebugger, false);
    add(debug, "Memory Map", "127", &MainWindow::toggleMemoryView, false);

    QAction* aboutAction = menuBar()->addAction("About");
    aboutAction->setObjectName("117");
    connect(aboutAction, &QAction::triggered, this, &MainWindow::about);
}

void MainWindow::setRunInProgress(bool running) {
    running_ = running;
    for (QAction* action : machineCommands_) action->setEnabled(!running);
    setVblankHook(running ? handlePendingEvents : nullptr);
    if (debugger_) {
        debugger_->setRunInProgress(running);
        if (running) debugger_->handPluginsToRun();
        // The end of a Start run closed the plugins; stepping wants them
        // open. The run moved the PC the listing is centred on.
        else if (!debugger_->busy()) {
            debugger_->acquirePlugins();
            debugger_->refreshListing();
        }
    }
}

void MainWindow::openElf() {
    if (programLoaded == 1) emuReset();
    QFileDialog chooser(this, "Open Image", "/", "ELF ROMs (*.ELF *.elf);;All Files (*.*)");
    chooser.setFileMode(QFileDialog::ExistingFile);
    chooser.setOption(QFileDialog::DontUseNativeDialog);
    chooser.setDefaultSuffix("TXT");
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty()) return;
    loadElf(chooser.selectedFiles().first());
}

void MainWindow::loadElf(const QString& path) {
    const std::string problem = loadElfFile(path.toStdString());
    if (!problem.empty()) {
        statusBar()->showMessage("Cannot load " + path + ": " + QString::fromStdString(problem));
        return;
    }
    statusBar()->showMessage("Loaded " + path);
}

void MainWindow::openIso() {
    const DiscBootResult result = bootFromDisc();
    if (result == DiscBootResult::Booted)
        statusBar()->showMessage(QString("Booted ") + bootPath.c_str());
    else
        statusBar()->showMessage(QString("Disc boot failed: ") + discBootResultText(result));
}

void MainWindow::openFile(const QString& path) {
    if (fileHasElfMagic(path.toStdString())) {
        if (programLoaded == 1) emuReset();
        loadElf(path);
        return;
    }
    // The CDVD plugins built with Corvane serve the image named here.
    setenv("CORVANE_CDVD_IMAGE", path.toLocal8Bit().constData(), 1);
    openIso();
}

void MainWindow::screenshot() { gsMakeSnapshot(screenshotDirectory().c_str()); }

void MainWindow::exitProgram() {
    stopAsked_ = true;
    if (running_) emuStop();
    QApplication::quit();
}

// A run that the program ended (Exit, its last thread ending, or a
// deadlock) says so in the status bar and the debugger's message list.
void MainWindow::start() {
    if (running_ || programLoaded == 0) return;
    setRunInProgress(true);
    startedRun_ = this;
    pendingState_ = StateRequest::None;
    stopAsked_ = false;
    setKeyPressHook(takeRunKey);
    setRunPauseHook(pauseRun);
    emuRun();
    setRunPauseHook(nullptr);
    setKeyPressHook(nullptr);
    startedRun_ = nullptr;
    setRunInProgress(false);
    const std::string end = programEndText();
    if (end.empty()) return;
    statusBar()->showMessage(QString::fromStdString("Stopped: " + end));
    debugLogLine("stopped: " + end);
}

void MainWindow::stop() {
    stopAsked_ = true;
    emuStop();
}

void MainWindow::reset() { emuReset(); }

void MainWindow::choosePlugins() { runPluginDialog(nullptr); }

void MainWindow::configure(PluginSlot slot) { pluginConfigure(slot); }

void MainWindow::about() {
    AboutDialog dialog(this);
    dialog.exec();
}

void MainWindow::toggleDebugger() {
    if (debugger_ && debugger_->busy()) return;
    if (debugger_ && debugger_->isVisible()) {
        delete debugger_;
        return;
    }
    delete debugger_;  // one closed by its own button, not yet deleted
    debugger_ = new DebuggerWindow(this);
    connect(debugger_, &DebuggerWindow::runStarted, this, [this] { setRunInProgress(true); });
    connect(debugger_, &DebuggerWindow::runEnded, this, [this] { setRunInProgress(false); });
    debugger_->setRunInProgress(running_);
    debugger_->show();
    debugger_->activateWindow();
}

void MainWindow::toggleMemoryView() {
    if (memoryView_ && memoryView_->isVisible()) {
        delete memoryView_;
        return;
    }
    delete memoryView_;
    memoryView_ = new MemoryView(this);
    memoryView_->setAttribute(Qt::WA_DeleteOnClose);
    memoryView_->show();
    memoryView_->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    stopAsked_ = true;
    if (running_) emuStop();
    QMainWindow::closeEvent(event);
}
