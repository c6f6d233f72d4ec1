// The "Debug" window: the EE, FPU and VU registers on five pages, the PC,
// the code around the PC, a trace of disassembled instructions, the
// message list, and stepping by one instruction, by 5000, or up to a typed
// address.
#pragma once

#include <QDialog>

#include "core/types.h"

class QLineEdit;
class QListWidget;
class QPushButton;
class QTabWidget;

class DebuggerWindow : public QDialog {
    Q_OBJECT
public:
    // "Set Break" gives up after this many steps without reaching its address.
    static constexpr u64 kSetBreakStepLimit = 100'000'000;
    // The code listing shows this many instructions before and after the PC.
    static constexpr u32 kListingContext = 16;

    explicit DebuggerWindow(QWidget* parent = nullptr);
    ~DebuggerWindow() override;

    // Redraws every register row and the PC.
    void refreshRegisters();
    // Lists the code around the current PC again.
    void refreshListing();
    // Appends the trace line of `word` with `pc`, then redraws the registers.
    void appendTrace(u32 word, u32 pc);
    // While a run is in progress the stepping buttons are disabled.
    void setRunInProgress(bool running);
    // Opens the plugins for stepping unless they are open already; the
    // window then closes them again when it closes. Called when the window
    // opens and after a run that closed them.
    void acquirePlugins();
    // A run that starts takes the plugins over: its end closes them.
    void handPluginsToRun() { ownsPlugins_ = false; }

    // True while "Set Break" runs: the window is on the call stack and must
    // not close.
    bool busy() const { return busy_; }

    void done(int result) override;

protected:
    void closeEvent(QCloseEvent* event) override;

signals:
    // "Set Break" runs the machine: the main window disables what would
    // re-enter it and lets input through at each vertical blank.
    void runStarted();
    void runEnded();

private:
    void step();
    void stepBatch();
    void setBreak();
    void releasePlugins();

    QTabWidget* pages_;
    QLineEdit* gprRows_[34];  // GPR 0-31, HI, LO
    QLineEdit* fpuRows_[32];
    QLineEdit* viRows_[64];   // VU0's 32 slots, then VU1's
    QLineEdit* vf0Rows_[32];
    QLineEdit* vf1Rows_[32];
    QListWidget* listing_;
    QListWidget* trace_;
    QListWidget* messages_;
    QLineEdit* pc_;
    QLineEdit* breakAddress_;
    QPushButton* stepButtons_[3];
    QPushButton* closeButton_;
    bool ownsPlugins_ = false;
    bool released_ = false;
    bool busy_ = false;
};
