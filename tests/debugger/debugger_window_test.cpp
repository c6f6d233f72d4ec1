// The debugger and memory view windows, driven through their controls on
// a guest program, with the test plugins recording what the plugins saw.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>

#include "cop/fpu.h"
#include "core/cpu.h"
#include "core/ee_state.h"
#include "debugger/debug_log.h"
#include "debugger/debugger_window.h"
#include "debugger/disassembler.h"
#include "debugger/disassembly_listing.h"
#include "debugger/memory_view.h"
#include "devices/timers.h"
#include "machine/vblank.h"
#include "memory/bus.h"
#include "memory/host_access.h"
#include "plugins/plugin_host.h"
#include "plugins/recording.h"
#include "support/guest_machine.h"
#include "support/gui_test.h"
#include "support/test_plugins.h"
#include "vu/vu_state.h"

namespace {

constexpr const char* kProgram = "demo";

QString rowText(const QWidget* window, int id) {
    const auto* row = window->findChild<QLineEdit*>(QString::number(id));
    return row ? row->text() : QString("<no row %1>").arg(id);
}

QStringList listLines(const QWidget* window, const char* id) {
    QStringList lines;
    const auto* list = control<QListWidget>(window, id);
    for (int i = 0; list && i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
}

void click(const QWidget* window, const char* id) {
    auto* button = control<QPushButton>(window, id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

void typeInto(const QWidget* window, const char* id, const QString& text) {
    auto* edit = control<QLineEdit>(window, id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(text);
}

class DebuggerWindowTest : public testing::Test {
protected:
    void SetUp() override {
        useTestPlugins();
        ASSERT_TRUE(loadGuestProgram(kProgram));
        clearRecording();
    }
};

TEST_F(DebuggerWindowTest, RegisterPagesShowEachUnitInItsFormat) {
    ee.gpr[5] = Reg128{.w = {0x11111111, 0x22222222, 0x33333333, 0x44444444}};
    ee.hi.d[1] = 0x0123456789ABCDEF;
    ee.hi.d[0] = 0xFEDCBA9876543210;
    ee.lo.d[0] = 0x42;
    fpu.fpr[3].f = 1.5f;
    vu0.vi[2] = 0x1F;
    vu1.vi[31] = 0xABC;
    vu0.vf[4].f[0] = 1.0f, vu0.vf[4].f[1] = -2.0f, vu0.vf[4].f[2] = 0.25f, vu0.vf[4].f[3] = 4.0f;
    vu1.vf[31].f[3] = 8.5f;

    DebuggerWindow window;
    window.show();
    EXPECT_EQ(window.windowTitle(), "Debug");
    EXPECT_EQ(rowText(&window, 1002), "00000000 00000000 00000000 00000000");
    EXPECT_EQ(rowText(&window, 1007), "44444444 33333333 22222222 11111111") << "most significant word first";
    EXPECT_EQ(rowText(&window, 1040), "0123456789ABCDEF FEDCBA9876543210") << "HI, upper half first";
    EXPECT_EQ(rowText(&window, 1041), "0000000000000000 0000000000000042");
    EXPECT_EQ(rowText(&window, 1121), "1.500000");
    EXPECT_EQ(rowText(&window, 1220), "1f");
    EXPECT_EQ(rowText(&window, 1281), "abc") << "VU1's last slot";
    EXPECT_EQ(rowText(&window, 1355), "1.000000 -2.000000 0.250000 4.000000");
    EXPECT_EQ(rowText(&window, 1482), "0.000000 0.000000 0.000000 8.500000");
    EXPECT_EQ(rowText(&window, 1039), QString::asprintf("%08X", ee.pc));

    // Pictures with a trace line and a message in the lists.
    click(&window, "1037");
    debugLogLine("SJDATA.IRX");
    auto* pages = control<QTabWidget>(&window, "1051");
    ASSERT_NE(pages, nullptr);
    const char* tabs[] = {"GPR", "FPU", "VI", "VF0", "VF1"};
    const char* pageIds[] = {"127", "105", "138", "139", "140"};
    ASSERT_EQ(pages->count(), 5);
    for (int tab = 0; tab < 5; ++tab) {
        EXPECT_EQ(pages->tabText(tab), tabs[tab]);
        pages->setCurrentIndex(tab);
        for (int other = 0; other < 5; ++other) {
            EXPECT_EQ(control<QWidget>(&window, pageIds[other])->isVisible(), other == tab) << tabs[tab];
        }
        EXPECT_TRUE(saveScreenshot(&window, QString("debugger_") + tabs[tab]));
    }
}

// The line of the code listing marked as the PC's, or an empty string.
QString listedPcLine(const QWidget* window) {
    for (const QString& line : listLines(window, "disassembly")) {
        if (line.startsWith("> ")) return line;
    }
    return {};
}

TEST_F(DebuggerWindowTest, StepAndStepBatchRunTheGuest) {
    DebuggerWindow window;
    window.show();
    const QString pcShown = rowText(&window, 1039);
    const u32 cycleBefore = ee.cycle;
    const u32 pcBefore = ee.pc;
    EXPECT_EQ(listLines(&window, "disassembly").size(), qsizetype{2 * DebuggerWindow::kListingContext + 1});
    EXPECT_TRUE(listedPcLine(&window).startsWith(QString::asprintf("> %08X  %08X  ", ee.pc, guestWord(ee.pc))))
        << listedPcLine(&window).toStdString();
    click(&window, "1035");
    EXPECT_EQ(ee.cycle, cycleBefore + 1);
    EXPECT_NE(ee.pc, pcBefore);
    EXPECT_EQ(rowText(&window, 1039), pcShown) << "Step redraws no register";
    EXPECT_TRUE(listLines(&window, "1034").isEmpty());
    EXPECT_TRUE(listedPcLine(&window).startsWith(QString::asprintf("> %08X", ee.pc))) << "the listing follows";

    click(&window, "1037");
    EXPECT_GE(ee.cycle - cycleBefore, 5001u) << "5000 steps, delay slots counting as well";
    const QStringList trace = listLines(&window, "1034");
    ASSERT_EQ(trace.size(), 1);
    EXPECT_EQ(trace[0].toStdString(), disasmLine(ee.code, ee.pc));
    EXPECT_EQ(rowText(&window, 1039), QString::asprintf("%08X", ee.pc)) << "the batch redraws";
    EXPECT_EQ(listedPcLine(&window).toStdString(), disassemblyAround(ee.pc, 0, 0).front());

    // A PC moved elsewhere (a run from the main window) shows after Refresh.
    const u32 pcNow = ee.pc;
    ee.pc = 0x00100000;
    EXPECT_TRUE(listedPcLine(&window).startsWith(QString::asprintf("> %08X", pcNow)));
    click(&window, "disassemblyRefresh");
    EXPECT_EQ(listedPcLine(&window).toStdString(), disassemblyAround(0x00100000, 0, 0).front());
    ee.pc = pcNow;
    EXPECT_FALSE(control<QListWidget>(&window, "1034")->item(0)->toolTip().isEmpty())
        << "the line's operands are in its tool tip";
}

TEST_F(DebuggerWindowTest, SetBreakStopsAtTheAddressOrSaysWhyNot) {
    // An address the program reaches: where 300 steps lead.
    for (int i = 0; i < 300; ++i) cpuStep();
    const u32 reached = ee.pc;
    ASSERT_TRUE(loadGuestProgram(kProgram));

    DebuggerWindow window;
    window.show();
    typeInto(&window, "1038", QString::asprintf("%08X", ee.pc));
    const u32 cycleBefore = ee.cycle;
    click(&window, "1036");
    EXPECT_EQ(ee.cycle, cycleBefore) << "the PC is already there";
    EXPECT_EQ(listLines(&window, "1034").size(), 1);

    typeInto(&window, "1038", QString::asprintf("%08x", reached));
    click(&window, "1036");
    EXPECT_EQ(ee.pc, reached);
    EXPECT_LE(ee.cycle - cycleBefore, 300u);
    EXPECT_TRUE(listLines(&window, "1001").isEmpty()) << "a reached break says nothing";
    EXPECT_EQ(listLines(&window, "1034").size(), 2);

    // Escape from the PAD plugin at the next vertical blank ends it.
    scriptKeyEvents("pad", {{kKeyEscape, KEYPRESS}});
    scriptKeyEvents("pad_b", {{kKeyEscape, KEYPRESS}});
    typeInto(&window, "1038", "0");
    click(&window, "1036");
    QStringList messages = listLines(&window, "1001");
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].startsWith("Set Break: stopped at")) << messages[0].toStdString();

    // Fewer than eight digits mean address 0, which this program never
    // reaches: the step limit ends it.
    const u32 cycleAtLimitStart = ee.cycle;
    typeInto(&window, "1038", "100000");
    click(&window, "1036");
    EXPECT_GE(ee.cycle - cycleAtLimitStart, static_cast<u32>(DebuggerWindow::kSetBreakStepLimit))
        << "a step may also run a delay slot";
    messages = listLines(&window, "1001");
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[1].toStdString(),
              "Set Break: 100000000 steps without reaching 00000000; gave up at " +
                  QString::asprintf("%08X", ee.pc).toStdString());
}

// With every thread waiting and nothing left to wake them, Step runs none
// of their code and says why.
TEST_F(DebuggerWindowTest, StepRunsNoWaitingThreadsCode) {
    ASSERT_TRUE(loadGuestProgram("sched_ends"));
    hostStore<u32>(memory.ram + guestSymbol("mode"), 1);
    ASSERT_EQ(runGuest(), StopReason::Deadlock);
    const u32 pc = ee.pc;
    const u32 cycle = ee.cycle;
    DebuggerWindow window;
    window.show();
    click(&window, "1035");
    click(&window, "1037");
    EXPECT_EQ(ee.pc, pc);
    EXPECT_EQ(ee.cycle, cycle);
    EXPECT_EQ(listLines(&window, "1001"),
              (QStringList{"the program has ended: deadlock", "the program has ended: deadlock"}));
}

TEST_F(DebuggerWindowTest, MessageListShowsLinesOnlyWhileOpen) {
    debugLogLine("before");
    {
        DebuggerWindow window;
        debugLogLine("SJDATA.IRX");
        EXPECT_EQ(listLines(&window, "1001"), QStringList{"SJDATA.IRX"});
    }
    debugLogLine("after the window closed");  // goes nowhere, and must not crash
    DebuggerWindow again;
    EXPECT_TRUE(listLines(&again, "1001").isEmpty());
}

TEST_F(DebuggerWindowTest, OpensThePluginsOnlyWhenClosedAndClosesOnlyWhatItOpened) {
    {
        DebuggerWindow window;
        EXPECT_EQ(pluginsOpened, 1u);
    }
    EXPECT_EQ(pluginsOpened, 0u);
    EXPECT_EQ(recordedEntries("gs"), (std::vector<std::string>{"gs:GSopen", "gs:GSclose"}));

    clearRecording();
    openPlugins();
    pluginsOpened = 1;
    {
        DebuggerWindow window;
    }
    EXPECT_EQ(pluginsOpened, 1u) << "the run's plugins stay open";
    EXPECT_EQ(recordedEntries("gs"), (std::vector<std::string>{"gs:GSopen"}));
    emuStop();
}

QString memoryLine(u32 address) {
    QString line = QString::asprintf("%08X:  ", address);
    for (int i = 0; i < 4; ++i) line += QString::asprintf("%08X ", memRead32(address + 4 * i));
    return line;
}

TEST_F(DebuggerWindowTest, MemoryViewShowsSixteenLinesFromTheTypedAddress) {
    MemoryView view;
    view.show();
    EXPECT_EQ(view.windowTitle(), "Memory Map");
    QStringList lines = listLines(&view, "1048");
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(lines[0], memoryLine(ee.pc)) << "it opens at the PC";
    EXPECT_EQ(lines[15], memoryLine(ee.pc + 15 * 16));

    typeInto(&view, "1050", "00100000");
    click(&view, "1045");
    const QStringList low = listLines(&view, "1048");
    EXPECT_TRUE(low[0].startsWith("00100000:  "));
    EXPECT_EQ(low[3], memoryLine(0x00100030));
    EXPECT_TRUE(saveScreenshot(&view, "memory_view"));

    typeInto(&view, "1050", "80100000");
    click(&view, "1045");
    const QStringList high = listLines(&view, "1048");
    for (int i = 0; i < 16; ++i) EXPECT_EQ(high[i].mid(10), low[i].mid(10)) << "the segments alias";

    typeInto(&view, "1050", "1000");
    click(&view, "1045");
    EXPECT_TRUE(listLines(&view, "1048")[0].startsWith("00000000:  ")) << "four digits read as address 0";

    typeInto(&view, "1050", "00100002");
    click(&view, "1045");
    EXPECT_EQ(listLines(&view, "1048")[0], memoryLine(0x00100002)) << "no alignment";
}

}  // namespace
