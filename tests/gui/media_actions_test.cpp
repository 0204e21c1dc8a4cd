// The media commands in the window: the new menu items, drops reaching the right
// command (run, Quick Type, Load Binary with the file filled in), Paste Text, and the
// status bar.
#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>

#include "machine.h"
#include "main_window.h"
#include "media_actions.h"

namespace {

std::string tmpFile(const std::string& name) {
    auto dir = std::filesystem::path(TOVRIN_TEST_TMP) / "media";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

void drop(QWidget& w, const std::string& path) {
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent ev(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&w, &ev);
}

std::string typed(const Machine& m) { return std::string(m.quickType.text.begin(), m.quickType.text.end()); }

}  // namespace

class MediaActionsTest : public QObject {
    Q_OBJECT
private slots:
    void menuItemsAndStatusBar() {
        auto m = std::make_unique<Machine>();
        recomputeFrameTiming(*m);
        MainWindow w(*m);
        QStringList tops;
        for (QAction* a : w.menuBar()->actions()) tops << a->text();
        QCOMPARE(tops.mid(0, 2), QStringList({"&File", "&Edit"}));
        for (int id : {cmdRunCassette, cmdRewindCassette, cmdStopCassette, cmdPasteText, cmdCancelQuickType})
            QVERIFY(w.commandAction(id));
        QCOMPARE(w.commandAction(cmdRunCassette)->text(), QString("Run Cassette File..."));
        QCOMPARE(w.commandAction(cmdPasteText)->text(), QString("Paste Text"));
        QVERIFY(w.media()->statusText().startsWith("Tape: none"));
    }

    void dropsReachTheRightCommand() {
        auto m = std::make_unique<Machine>();
        recomputeFrameTiming(*m);
        MainWindow w(*m);

        // A BASIC tape: leader, then the name block (type 0, 15 bytes, file type 0).
        std::string tape(128, '\x55');
        tape += std::string("\x55\x3C\x00\x0F", 4) + "PROG    " + std::string(7, '\0') + "\x01\x55";
        writeText(tmpFile("drop.c10"), tape);
        drop(w, tmpFile("drop.c10"));
        QVERIFY(m->cassetteIn.waitingForLoad);
        QCOMPARE(typed(*m), std::string("CLOAD\r"));
        QVERIFY(m->media.runPending);
        w.media()->refreshStatus();
        QVERIFY(w.media()->statusText().contains("waiting for CLOAD"));
        QVERIFY(w.media()->statusText().contains("Typing 0%"));
        QVERIFY(w.runCommand(cmdCancelQuickType));
        QVERIFY(!m->quickType.quickTypeActive);
        QVERIFY(w.runCommand(cmdStopCassette));
        QVERIFY(!m->cassetteIn.waitingForLoad && !m->media.runPending);

        writeText(tmpFile("drop.bas"), "10 PRINT 1\n20 END\n");
        drop(w, tmpFile("drop.bas"));
        QCOMPARE(typed(*m), std::string("10 PRINT 1\r20 END\r"));
        cancelQuickType(*m);

        // Any other file: the Load Binary dialog, with the file filled in.
        writeText(tmpFile("drop.obj"), "\x01\x02");
        QString shown;
        QTimer::singleShot(100, [&] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                for (QLabel* l : d->findChildren<QLabel*>())
                    if (l->text().endsWith("drop.obj")) shown = l->text();
                d->reject();
            }
        });
        const std::string before = m->settings.bloadfilename;
        drop(w, tmpFile("drop.obj"));
        QCOMPARE(shown, QString::fromStdString(tmpFile("drop.obj")));
        QCOMPARE(m->settings.bloadfilename, before);  // cancelled: the old name stays
    }

    void pasteTypesTheClipboard() {
        auto m = std::make_unique<Machine>();
        recomputeFrameTiming(*m);
        MainWindow w(*m);
        QApplication::clipboard()->setText("PRINT 1\r\nPRINT 2\n");
        QVERIFY(w.runCommand(cmdPasteText));
        QCOMPARE(typed(*m), std::string("PRINT 1\rPRINT 2\r"));
    }
};

QTEST_MAIN(MediaActionsTest)
#include "media_actions_test.moc"
