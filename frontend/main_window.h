// The main window: the menu that loads, runs, stops and resets the machine,
// takes screenshots, configures and chooses the plugins, and opens the
// debugger and the memory view.
//
// A run (Start, or the debugger's "Set Break") holds the window's thread,
// as the machine has one thread; at each vertical blank it lets the window
// handle pending input, so the window stays alive and Stop can end the run.
// While a run is in progress the commands that would re-enter the machine
// are disabled.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <vector>

#include "plugins/plugin_host.h"

class DebuggerWindow;
class MemoryView;

// "CORvane Engine - v0.1 - Linux"
QString mainWindowTitle();

class MainWindow : public QMainWindow {
public:
    MainWindow();

    // Opens `path` as the File menu would: an ELF executable (after a reset
    // when a program is loaded), or else a disc image booted through the
    // CDVD plugin. A failure is shown in the status bar.
    void openFile(const QString& path);

    bool runInProgress() const { return running_; }
    DebuggerWindow* debugger() const;
    MemoryView* memoryView() const;

    // The menu commands.
    void openElf();
    void openIso();
    void screenshot();
    void exitProgram();
    void start();
    void stop();
    void reset();
    void choosePlugins();
    void configure(PluginSlot slot);
    void about();
    void toggleDebugger();
    void toggleMemoryView();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void setRunInProgress(bool running);
    void loadElf(const QString& path);

    std::vector<QAction*> machineCommands_;  // disabled during a run
    QPointer<DebuggerWindow> debugger_;
    QPointer<MemoryView> memoryView_;
    bool running_ = false;
};
