// The state commands of the desktop program and the debugger window.
#include <QListWidget>
#include <QMessageBox>
#include <QTableWidget>
#include <QLineEdit>
#include <QtTest>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <memory>

#include "debugger_window.h"
#include "machine.h"
#include "main_window.h"
#include "state/state_file.h"
#include "state_actions.h"

namespace {

std::unique_ptr<Machine> newMachine() {
    auto m = std::make_unique<Machine>();
    recomputeFrameTiming(*m);
    return m;
}

// Messages recorded instead of shown.
struct Boxes : MessageBoxes {
    QStringList shown;
    void show(const std::string& text, const std::string&, MessageIcon) override {
        shown << QString::fromStdString(text);
    }
};

void runFrames(Machine& m, int n) {
    for (int i = 0; i < n; ++i) runFrame(m, currentCycles(m.cycles));
}

}  // namespace

class StateActionsTest : public QObject {
    Q_OBJECT
private slots:
    void quickSlotsRoundTripAndAnEmptySlotSaysSo() {
        auto m = newMachine();
        MainWindow w(*m);
        auto* states = w.findChild<StateActions*>();
        QVERIFY(states);
        Boxes boxes;
        m->host.messages = &boxes;
        const std::filesystem::path dir = std::filesystem::path(TOVRIN_TEST_TMP) / ("slots-" + std::to_string(getpid()));
        std::filesystem::remove_all(dir);
        m->startupDirectory = dir;

        runFrames(*m, 20);
        QVERIFY(states->saveQuickSlot(2));
        const std::vector<uint8_t> saved = saveStateToBytes(*m);
        runFrames(*m, 20);
        QVERIFY(saveStateToBytes(*m) != saved);
        QVERIFY(states->loadQuickSlot(2));
        QCOMPARE(saveStateToBytes(*m), saved);
        QVERIFY(boxes.shown.isEmpty());

        QVERIFY(!states->loadQuickSlot(3));
        QCOMPARE(boxes.shown, QStringList({"Quick slot 3 is empty."}));
        m->host.messages = nullptr;
    }

    void rewindNeedsStatesAndThenStepsBack() {
        auto m = newMachine();
        MainWindow w(*m);
        auto* states = w.findChild<StateActions*>();
        Boxes boxes;
        m->host.messages = &boxes;
        QVERIFY(!states->rewind(5));
        QCOMPARE(boxes.shown.size(), 1);
        for (int s = 0; s < 8; ++s) {
            states->tick();
            runFrames(*m, 60);
        }
        QVERIFY(states->rewind(5));
        QCOMPARE(m->scheduler.framesRun, uint64_t(180));
        m->host.messages = nullptr;
    }

    void recordingThenPlaybackSwapTheKeyboard() {
        auto m = newMachine();
        MainWindow w(*m);
        auto* states = w.findChild<StateActions*>();
        const QString file = QString::fromStdString(
            (std::filesystem::path(TOVRIN_TEST_TMP) / ("rec-" + std::to_string(getpid()) + ".txt")).string());
        QVERIFY(states->startRecording(file));
        QVERIFY(m->host.keyboard != &w.keys());
        w.keys().press(0x41);
        runFrames(*m, 3);
        w.keys().release(0x41);
        runFrames(*m, 3);
        QVERIFY(states->stopRecording());
        QCOMPARE(m->host.keyboard, static_cast<HostKeyboard*>(&w.keys()));
        InputRecording rec;
        std::string why;
        QVERIFY(readInputRecordingFile(file.toStdString(), rec, why));
        QCOMPARE(rec.frames, uint64_t(6));
        QCOMPARE(rec.events.size(), size_t(2));

        QVERIFY(states->playRecording(file));
        QVERIFY(states->playing());
        runFrames(*m, 6);
        states->tick();
        QVERIFY(!states->playing());
        QCOMPARE(m->host.keyboard, static_cast<HostKeyboard*>(&w.keys()));
    }

    void debuggerWindowStopsAtABreakpointAndSaysWhy() {
        auto m = newMachine();
        MainWindow w(*m);
        auto* states = w.findChild<StateActions*>();
        // A loop in RAM: INCA; BRA back.
        const uint8_t code[] = {0x4C, 0x20, 0xFD};
        std::memcpy(m->mem.addressSpace + 0x4300, code, sizeof code);
        m->cpu.pc = 0x4300;
        DebuggerWindow* d = states->showDebugger();
        QVERIFY(d->isVisible());
        d->addBreakpoint(0x4301);
        runFrames(*m, 1);
        QVERIFY(m->debugger.paused);
        d->refresh();
        QCOMPARE(d->statusText(), QStringLiteral("Breakpoint at $4301"));
        QCOMPARE(d->registerField(0)->text(), QStringLiteral("4301"));
        QVERIFY(d->disassemblyView()->count() > 0);
        bool marked = false;
        for (int i = 0; i < d->disassemblyView()->count(); ++i)
            if (d->disassemblyView()->item(i)->text().startsWith(QStringLiteral(">* 4301"))) marked = true;
        QVERIFY(marked);

        // Edit A, step, and the window follows.
        d->registerField(1)->setText(QStringLiteral("7F"));
        emit d->registerField(1)->editingFinished();
        QCOMPARE(m->cpu.a(), uint8_t(0x7F));
        d->step();  // BRA back to INCA
        QCOMPARE(m->cpu.pc, uint16_t(0x4300));
        d->step();
        QCOMPARE(m->cpu.a(), uint8_t(0x80));
        QCOMPARE(d->registerField(1)->text(), QStringLiteral("80"));

        // A byte edited in the memory view reaches memory.
        d->memoryView()->item(0, 0)->setText(QStringLiteral("5A"));
        QCOMPARE(m->mem.addressSpace[0x4000], uint8_t(0x5A));
        d->pauseOrContinue();
        QVERIFY(!m->debugger.paused);
    }
};

QTEST_MAIN(StateActionsTest)
#include "state_actions_test.moc"
