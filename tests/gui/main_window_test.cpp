// The main window: menu, client size, painting, keyboard and the loop's pauses.
#include <QMenuBar>
#include <QStatusBar>
#include <QMessageBox>
#include <QtTest>
#include <memory>

#include "machine.h"
#include "main_window.h"

namespace {

std::unique_ptr<Machine> newMachine(int scale = 1) {
    auto m = std::make_unique<Machine>();
    m->settings.windowscaling = scale;
    recomputeFrameTiming(*m);
    return m;
}

QStringList texts(const QList<QAction*>& actions) {
    QStringList out;
    for (QAction* a : actions) out << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return out;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT
private slots:
    void menuHasEveryItemAndCommand() {
        auto m = newMachine();
        MainWindow w(*m);
        QCOMPARE(texts(w.menuBar()->actions()), QStringList({"&File", "&Edit", "&Machine", "&Configure", "Util"}));
        QCOMPARE(texts(w.helpBar()->actions()), QStringList({"&Help"}));
        QList<QAction*> top = w.menuBar()->actions();
        QCOMPARE(texts(top[0]->menu()->actions()),
                 QStringList({"E&xit", "Save Ram", "Soft Reset\tF4", "Hard Reset", "-", "Quick Type...",
                              "Play Cassette File...", "Run Cassette File...", "Rewind Cassette", "Stop Cassette",
                              "Cancel Quick Type", "-", "Recent Files", "-", "Save State...", "Load State...",
                              "Quick Save", "Quick Load"}));
        QCOMPARE(texts(top[1]->menu()->actions()), QStringList({"Paste Text"}));
        top.removeAt(1);
        QCOMPARE(texts(top[1]->menu()->actions()),
                 QStringList({"Rewind 5 Seconds", "-", "Record Input...", "Stop Recording", "Play Input Recording..."}));
        QCOMPARE(texts(top[2]->menu()->actions()),
                 QStringList({"Memory...", "Printer...", "Keyboard...", "Video and Colors...", "Sound...",
                              "System Timing..."}));
        QCOMPARE(texts(top[3]->menu()->actions()), QStringList({"Load Binary File", "Screenshot", "Debugger"}));
        QCOMPARE(texts(w.helpBar()->actions()[0]->menu()->actions()), QStringList({"&About ..."}));

        struct { int id; const char* text; } ids[] = {
            {104, "&About ..."}, {105, "E&xit"}, {32771, "Save Ram"}, {32772, "Memory..."},
            {32773, "Printer..."}, {32774, "Keyboard..."}, {32775, "Video and Colors..."},
            {32776, "Soft Reset\tF4"}, {32777, "Hard Reset"}, {32778, "Quick Type..."},
            {32779, "Play Cassette File..."}, {32782, "System Timing..."}, {32783, "Sound..."},
            {32784, "Load Binary File"}, {32785, "Screenshot"},
        };
        for (auto c : ids) {
            QAction* a = w.commandAction(c.id);
            QVERIFY2(a, c.text);
            QCOMPARE(a->text(), QString(c.text));
            QVERIFY(a->shortcut().isEmpty());  // F4 in the label binds nothing
        }
        QVERIFY(!w.runCommand(9999));
    }

    void clientAreaIsExactForEachScale() {
        for (int s = 1; s <= 3; ++s) {
            auto m = newMachine(s);
            MainWindow w(*m);
            w.showAtStart();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QCOMPARE(w.screen()->size(), QSize(280 * s, 216 * s));
            QCOMPARE(w.screen()->geometry().top(), w.menuBar()->geometry().bottom() + 1);
            QCOMPARE(w.size(), QSize(280 * s, w.menuBar()->height() + 216 * s + w.statusBar()->height()));
        }
    }

    void paintShowsTheRenderedPictureScaled() {
        auto m = newMachine(2);
        MainWindow w(*m);
        w.showAtStart();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        for (int i = 0; i < 512; ++i) m->mem.addressSpace[0x4000 + i] = static_cast<uint8_t>(0x60 + i % 96);
        m->mem.addressSpace[0x4000 + 33] = 0x9F;  // a full yellow semigraphics block
        w.paintScreen();
        QImage shot = w.screen()->grab().toImage();
        const auto& px = m->renderer.pixels;
        QCOMPARE(px.size(), size_t(256 * 192));
        auto colour = [&](int slot) {
            const Rgb& c = m->renderer.palette[static_cast<size_t>(slot)];
            return qRgb(c.r, c.g, c.b);
        };
        for (int y = 0; y < 192; y += 5)
            for (int x = 0; x < 256; x += 3)
                for (int d : {0, 1}) {
                    QRgb want = colour(px[static_cast<size_t>(y * 256 + x)]);
                    QCOMPARE(shot.pixel(24 + 2 * x + d, 24 + 2 * y + d), want);
                }
        QRgb border = colour(m->renderer.borderColourIndex);
        for (QPoint p : {QPoint(0, 0), QPoint(23, 100), QPoint(559, 431), QPoint(540, 20), QPoint(300, 420)})
            QCOMPARE(shot.pixel(p), border);
        QCOMPARE(w.windowTitle(), QString("tovrin 100%"));

        QVERIFY(w.runCommand(cmdExit));  // shut-down releases sound and the surface
        QVERIFY(!w.isVisible());
        QVERIFY(!m->sound.deviceOpen);
        QVERIFY(m->renderer.pixels.empty());
    }

    void menuOpenPausesEmulationAndSound() {
        auto m = newMachine();
        MainWindow w(*m);
        w.showAtStart();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTRY_VERIFY(m->scheduler.framesRun > 2);
        QVERIFY(!m->sound.paused);

        QMenu* file = w.menuBar()->actions()[0]->menu();
        file->popup(w.mapToGlobal(QPoint(0, 0)));
        QTRY_VERIFY(QApplication::activePopupWidget());
        QVERIFY(m->sound.paused);
        QVERIFY(w.emulationSuspended());
        uint64_t frames = m->scheduler.framesRun;
        QTest::qWait(200);
        QCOMPARE(m->scheduler.framesRun, frames);

        file->close();
        QTRY_VERIFY(m->scheduler.framesRun > frames);
        QVERIFY(!m->sound.paused);
    }

    void memoryDialogHardResetsOnlyWhenConfirmed() {
        auto m = newMachine();
        MainWindow w(*m);
        w.showAtStart();
        QTRY_VERIFY(m->scheduler.framesRun > 20);
        for (bool confirm : {false, true}) {
            QTimer::singleShot(100, [confirm] {
                if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                    confirm ? d->accept() : d->reject();
            });
            uint32_t before = currentCycles(m->cycles);
            w.runCommand(cmdMemory);
            QVERIFY(currentCycles(m->cycles) >= before);  // nothing yet: the reset is posted
            QCoreApplication::processEvents();
            QCOMPARE(currentCycles(m->cycles) < before, confirm);
        }
    }

    void keysReachTheKeyStateAndAltQuestionMarkOpensAbout() {
        auto m = newMachine();
        MainWindow w(*m);
        w.showAtStart();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTest::keyPress(w.screen(), Qt::Key_F4);
        QCOMPARE(w.keys().state[0x73], uint8_t(0x80));
        QTest::keyPress(w.screen(), Qt::Key_Shift);
        QTest::keyPress(w.screen(), Qt::Key_A);
        QCOMPARE(w.keys().state[0x10], uint8_t(0x80));
        QCOMPARE(w.keys().state[int('A')], uint8_t(0x80));
        QTest::keyRelease(w.screen(), Qt::Key_A);
        QCOMPARE(w.keys().state[int('A')], uint8_t(0));
        // Losing the focus releases everything.
        QTest::keyPress(w.screen(), Qt::Key_B);
        QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
        QApplication::sendEvent(w.screen(), &out);
        QCOMPARE(w.keys().state[int('B')], uint8_t(0));
        QCOMPARE(w.keys().state[0x10], uint8_t(0));

        // Alt + "?" and Alt + "/" open the About box.
        for (int key : {int(Qt::Key_Question), int(Qt::Key_Slash)}) {
            QString title;
            QTimer::singleShot(100, [&] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    title = box->windowTitle();
                    box->accept();
                }
            });
            QTest::keyClick(w.screen(), Qt::Key(key), Qt::AltModifier);
            QCOMPARE(title, QString("About"));
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
