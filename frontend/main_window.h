// The main window: the menu that loads, runs, stops and resets the machine,
// takes screenshots, configures and chooses the plugins, and opens the
// debugger and the memory view.
//
// A run (Start, or the debugger's "Set Break") holds the window's thread,
// as the machine has one thread; at each vertical blank it lets the window
// handle pending input, so the window stays alive and Stop can end the run.
// While a run is in progress the commands that would re-enter the machine
// are disabled.
//
// Machine states: Save State... and Load State... (Emulation menu) go
// through a file chooser; F1 saves to the current quick slot, F3 loads it
// and F2 moves to the next of ten slots, shown in the status bar. During
// a run the same keys arrive from the PAD plugin at the vertical blank;
// saving or loading there waits until the instruction in progress has
// ended (the run pauses between two instructions, the plugins stay open)
// and the run then goes on.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <vector>

#include "core/types.h"
#include "plugins/plugin_host.h"

class DebuggerWindow;
class MemoryView;
class QLabel;

inline constexpr int kStateSlotCount = 10;

// Virtual-key codes of the state keys.
inline constexpr u32 kKeyF1 = 0x70;
inline constexpr u32 kKeyF2 = 0x71;
inline constexpr u32 kKeyF3 = 0x72;

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
    void saveStateAs();
    void loadStateFrom();
    void quickSave();
    void quickLoad();
    void nextStateSlot();

    int stateSlot() const { return stateSlot_; }
    // The file of quick slot `slot` for the program loaded now.
    static QString quickSlotPath(int slot);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    enum class StateRequest { None, QuickSave, QuickLoad };

    void buildMenus();
    void buildStateCommands(QMenu* menu);
    void setRunInProgress(bool running);
    void loadElf(const QString& path);
    bool programLoadedFor(const char* verb);
    void saveStateTo(const QString& path, const QString& name);
    void loadStateFromPath(const QString& path, const QString& name);
    void honourStateRequest(StateRequest request);
    void showStateSlot();

    // During Start: the state keys from the PAD plugin, and the pause in
    // which the run loop lets a request be honoured.
    static bool takeRunKey(u32 key);
    static bool pauseRun();
    static MainWindow* startedRun_;  // the window whose Start run is in progress

    std::vector<QAction*> machineCommands_;  // disabled during a run
    QPointer<DebuggerWindow> debugger_;
    QPointer<MemoryView> memoryView_;
    QLabel* slotLabel_ = nullptr;
    bool running_ = false;
    int stateSlot_ = 0;
    StateRequest pendingState_ = StateRequest::None;
    bool stopAsked_ = false;  // Stop, Exit or Escape during the run
};
