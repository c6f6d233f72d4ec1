#include "debugger/debugger_window.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <cstdio>
#include <functional>

#include "cop/fpu.h"
#include "core/cpu.h"
#include "debugger/debug_log.h"
#include "debugger/disassembler.h"
#include "debugger/disassembly_listing.h"
#include "debugger/hex_address.h"
#include "machine/emulation.h"
#include "plugins/plugin_host.h"
#include "vu/vu_state.h"

namespace {

constexpr int kBatchSteps = 5000;

constexpr const char* kGprLabels[34] = {"zero", "at", "v0", "v1", "a0", "a1", "a2", "a3", "t0", "t1", "t2", "t3",
                                        "t4",   "t5", "t6", "t7", "s0", "s1", "s2", "s3", "s4", "s5", "s6", "s7",
                                        "t8",   "t9", "k0", "k1", "gp", "sp", "s8", "ra", "HI", "LO"};

QString formatted(const char* pattern, auto... args) {
    char text[160];
    std::snprintf(text, sizeof text, pattern, args...);
    return QString::fromLatin1(text);
}

QString quadText(const Reg128& reg) {
    return formatted("%08X %08X %08X %08X", reg.w[3], reg.w[2], reg.w[1], reg.w[0]);
}

QString halvesText(const Reg128& reg) {
    return formatted("%016llX %016llX", static_cast<unsigned long long>(reg.d[1]),
                     static_cast<unsigned long long>(reg.d[0]));
}

QString vectorText(const VuVector& v) {
    return formatted("%f %f %f %f", static_cast<double>(v.f[0]), static_cast<double>(v.f[1]),
                     static_cast<double>(v.f[2]), static_cast<double>(v.f[3]));
}

QLineEdit* readOnlyRow(int id) {
    auto* row = new QLineEdit;
    row->setObjectName(QString::number(id));
    row->setReadOnly(true);
    row->setFont(QFont("Monospace"));
    return row;
}

// A register page: `count` labelled rows in `columns` columns, their
// control ids counting up from `firstId` unless `ids` names them.
QWidget* registerPage(int templateId, QLineEdit** rows, int count, int columns, int firstId,
                      const std::function<QString(int)>& label, const int* ids = nullptr) {
    auto* page = new QWidget;
    page->setObjectName(QString::number(templateId));
    auto* grid = new QGridLayout(page);
    grid->setSpacing(2);
    const int perColumn = (count + columns - 1) / columns;
    for (int i = 0; i < count; ++i) {
        rows[i] = readOnlyRow(ids ? ids[i] : firstId + i);
        const int column = i / perColumn;
        grid->addWidget(new QLabel(label(i)), i % perColumn, column * 2);
        grid->addWidget(rows[i], i % perColumn, column * 2 + 1);
    }
    return page;
}

// Why a step executed fewer instructions than asked.
void reportStepsNotRun() {
    const std::string end = programEndText();
    debugLogLine(end.empty() ? "no thread can run: the machine idles" : "the program has ended: " + end);
}

QPushButton* button(const char* text, const char* id) {
    auto* b = new QPushButton(text);
    b->setObjectName(id);
    return b;
}

}  // namespace

DebuggerWindow::DebuggerWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Debug");
    setObjectName("121");
    setAttribute(Qt::WA_DeleteOnClose);

    pages_ = new QTabWidget;
    pages_->setObjectName("1051");
    int gprIds[34];
    for (int i = 0; i < 32; ++i) gprIds[i] = 1002 + i;
    gprIds[32] = 1040;
    gprIds[33] = 1041;
    pages_->addTab(registerPage(127, gprRows_, 34, 2, 0, [](int i) { return QString(kGprLabels[i]); }, gprIds),
                   "GPR");
    pages_->addTab(registerPage(105, fpuRows_, 32, 4, 1118, [](int i) { return QString("f%1").arg(i); }), "FPU");
    pages_->addTab(registerPage(138, viRows_, 64, 4, 1218,
                                [](int i) { return QString("%1 vi%2").arg(i < 32 ? "VU0" : "VU1").arg(i % 32); }),
                   "VI");
    pages_->addTab(registerPage(139, vf0Rows_, 32, 2, 1351, [](int i) { return QString("vf%1").arg(i); }), "VF0");
    pages_->addTab(registerPage(140, vf1Rows_, 32, 2, 1451, [](int i) { return QString("vf%1").arg(i); }), "VF1");

    listing_ = new QListWidget;
    listing_->setObjectName("disassembly");
    listing_->setFont(QFont("Monospace"));
    listing_->setMinimumWidth(380);
    QPushButton* refreshListingButton = button("Refresh", "disassemblyRefresh");
    connect(refreshListingButton, &QPushButton::clicked, this, &DebuggerWindow::refreshListing);
    trace_ = new QListWidget;
    trace_->setObjectName("1034");
    trace_->setFont(QFont("Monospace"));
    messages_ = new QListWidget;
    messages_->setObjectName("1001");
    pc_ = readOnlyRow(1039);
    breakAddress_ = new QLineEdit;
    breakAddress_->setObjectName("1038");
    breakAddress_->setMaxLength(9);
    breakAddress_->setFont(QFont("Monospace"));
    stepButtons_[0] = button("Step", "1035");
    stepButtons_[1] = button("Step(50)", "1037");
    stepButtons_[2] = button("Set Break", "1036");
    QPushButton* close = closeButton_ = button("Close", "1");
    connect(stepButtons_[0], &QPushButton::clicked, this, &DebuggerWindow::step);
    connect(stepButtons_[1], &QPushButton::clicked, this, &DebuggerWindow::stepBatch);
    connect(stepButtons_[2], &QPushButton::clicked, this, &DebuggerWindow::setBreak);
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("PC"));
    controls->addWidget(pc_);
    controls->addWidget(stepButtons_[0]);
    controls->addWidget(stepButtons_[1]);
    controls->addWidget(breakAddress_);
    controls->addWidget(stepButtons_[2]);
    controls->addStretch();
    controls->addWidget(close);
    auto* lists = new QVBoxLayout;
    lists->addWidget(trace_, 3);
    lists->addWidget(messages_, 1);
    auto* code = new QVBoxLayout;
    code->addWidget(new QLabel("Code around the PC"));
    code->addWidget(listing_);
    code->addWidget(refreshListingButton, 0, Qt::AlignLeft);
    auto* top = new QHBoxLayout;
    top->addWidget(pages_, 5);
    top->addLayout(code, 3);
    top->addLayout(lists, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(controls);
    // Room for the register rows, the listing's operands and the trace
    // lines side by side.
    resize(1280, 620);

    setDebugLogHook([this](const std::string& text) { messages_->addItem(QString::fromStdString(text)); });
    refreshRegisters();
    refreshListing();
    acquirePlugins();
}

DebuggerWindow::~DebuggerWindow() { releasePlugins(); }

void DebuggerWindow::closeEvent(QCloseEvent* event) {
    if (busy_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void DebuggerWindow::done(int result) {
    if (busy_) return;
    releasePlugins();
    QDialog::done(result);
}

void DebuggerWindow::acquirePlugins() {
    if (pluginsOpened == 1) return;
    openPlugins();
    pluginsOpened = 1;
    ownsPlugins_ = true;
}

// Closes only what this window opened, and nothing that a run has since
// taken over or already closed.
void DebuggerWindow::releasePlugins() {
    if (released_) return;
    released_ = true;
    setDebugLogHook(nullptr);
    if (ownsPlugins_ && pluginsOpened == 1) {
        closePlugins();
        pluginsOpened = 0;
    }
    ownsPlugins_ = false;
}

void DebuggerWindow::refreshRegisters() {
    for (int i = 0; i < 32; ++i) gprRows_[i]->setText(quadText(ee.gpr[i]));
    gprRows_[32]->setText(halvesText(ee.hi));
    gprRows_[33]->setText(halvesText(ee.lo));
    for (int i = 0; i < 32; ++i) {
        fpuRows_[i]->setText(formatted("%f", static_cast<double>(fpu.fpr[i].f)));
        viRows_[i]->setText(formatted("%x", vu0.vi[i]));
        viRows_[32 + i]->setText(formatted("%x", vu1.vi[i]));
        vf0Rows_[i]->setText(vectorText(vu0.vf[i]));
        vf1Rows_[i]->setText(vectorText(vu1.vf[i]));
    }
    pc_->setText(formatted("%08X", ee.pc));
}

void DebuggerWindow::refreshListing() {
    listing_->clear();
    const std::vector<std::string> lines = disassemblyAround(ee.pc, kListingContext, kListingContext);
    int pcRow = 0;
    for (const std::string& line : lines) {
        if (line.starts_with('>')) pcRow = listing_->count();
        listing_->addItem(QString::fromStdString(line));
    }
    listing_->setCurrentRow(pcRow);
    listing_->scrollToItem(listing_->item(pcRow), QAbstractItemView::PositionAtCenter);
}

void DebuggerWindow::appendTrace(u32 word, u32 pc) {
    auto* item = new QListWidgetItem(QString::fromStdString(disasmLine(word, pc)));
    item->setToolTip(QString::fromStdString(disasmInstruction(word, pc - 4)));
    trace_->addItem(item);
    trace_->scrollToBottom();
    refreshRegisters();
    refreshListing();
}

void DebuggerWindow::setRunInProgress(bool running) {
    for (QPushButton* b : stepButtons_) b->setEnabled(!running);
    closeButton_->setEnabled(!busy_);
}

// One instruction; the register rows and the PC are not redrawn until a
// batch or a break, but the code listing follows the PC. While no thread
// can run, the steps wait for one as a run would.
void DebuggerWindow::step() {
    if (emuStepForDebugger(1) == 0) reportStepsNotRun();
    refreshListing();
}

void DebuggerWindow::stepBatch() {
    if (emuStepForDebugger(kBatchSteps) < kBatchSteps) reportStepsNotRun();
    appendTrace(ee.code, ee.pc);
}

// Steps until the PC reaches the typed address, the stop flag rises
// (Escape, or Stop in the main window) or the step limit is reached; the
// last two say so in the message list.
void DebuggerWindow::setBreak() {
    const u32 target = parseHex8(breakAddress_->text().left(9).toStdString());
    busy_ = true;
    emit runStarted();
    const u32 stopFlagBefore = stopFlag;
    stopFlag = 0;
    u64 steps = 0;
    bool stepped = true;
    while (ee.pc != target && stopFlag != 1 && steps < kSetBreakStepLimit && stepped) {
        stepped = emuStepForDebugger(1) == 1;
        ++steps;
    }
    if (!stepped && stopFlag != 1) {
        reportStepsNotRun();
    } else if (ee.pc != target) {
        const QString line =
            stopFlag == 1 ? formatted("Set Break: stopped at %08X before reaching %08X", ee.pc, target)
                          : formatted("Set Break: %llu steps without reaching %08X; gave up at %08X",
                                      static_cast<unsigned long long>(kSetBreakStepLimit), target, ee.pc);
        debugLogLine(line.toStdString());
    }
    if (stopFlag != 1) stopFlag = stopFlagBefore;
    busy_ = false;
    emit runEnded();
    appendTrace(ee.code, ee.pc);
}
