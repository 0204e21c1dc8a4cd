// The desktop program as a user meets it: resizing and full screen, the Alt key, and the
// dialogs' keyboard and layout traps. Runs on the offscreen platform.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleFactory>
#include <QtTest>
#include <memory>
#include <string>

#include "keyboard_dialog.h"
#include "load_binary_dialog.h"
#include "machine.h"
#include "main_window.h"
#include "memory_dialog.h"
#include "printer_dialog.h"
#include "timing_dialog.h"
#include "video_dialog.h"

namespace {

std::unique_ptr<Machine> newMachine(int scale = 1) {
    auto m = std::make_unique<Machine>();
    m->settings.windowscaling = scale;
    recomputeFrameTiming(*m);
    m->workingSettings = m->settings;
    return m;
}

QRgb slotRgb(const Machine& m, int slot) {
    const Rgb& c = m.renderer.palette[static_cast<size_t>(slot)];
    return qRgb(c.r, c.g, c.b);
}

}  // namespace

class DesktopTest : public QObject {
    Q_OBJECT
private slots:
    void resizingKeepsTheShapeWithBlackBars() {
        auto m = newMachine(1);
        MainWindow w(*m);
        w.showAtStart();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.screen()->size(), QSize(280, 216));
        struct { QSize window; QRect picture; } cases[] = {
            {QSize(900, 300), QRect(0, 0, 0, 0)},  // wide: bars left and right
            {QSize(300, 900), QRect(0, 0, 0, 0)},  // tall: bars above and below
        };
        for (auto& c : cases) {
            w.resize(c.window);
            QTRY_COMPARE(w.size(), c.window);
            const QSize area = w.screen()->size();
            const QRect r = w.screen()->pictureRect();
            QVERIFY(r.width() == area.width() || r.height() == area.height());
            QVERIFY(qAbs(r.width() * 216 - r.height() * 280) <= 280);  // 280:216 to a pixel
            QVERIFY(qAbs(r.left() - (area.width() - r.right() - 1)) <= 1);  // centred
            QVERIFY(qAbs(r.top() - (area.height() - r.bottom() - 1)) <= 1);
            w.paintScreen();
            const QImage shot = w.screen()->grab().toImage();
            const QRgb border = slotRgb(*m, m->renderer.borderColourIndex);
            QCOMPARE(shot.pixel(r.topLeft()), border);
            QCOMPARE(shot.pixel(r.bottomRight()), border);
            const QPoint bar = r.left() > 0 ? QPoint(r.left() / 2, area.height() / 2) : QPoint(area.width() / 2, r.top() / 2);
            QCOMPARE(shot.pixel(bar), qRgb(0, 0, 0));
            QCOMPARE(w.screen()->picture.size(), r.size());  // converted at its size, drawn unscaled
        }
    }

    void anUnchangedScreenIsNotRepainted() {
        auto m = newMachine(1);
        MainWindow w(*m);
        w.showAtStart();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.paintScreen();
        m->renderer.borderColourIndex = 99;  // renderScreen would set it again
        w.paintScreen();
        QCOMPARE(m->renderer.borderColourIndex, 99);
        for (auto change : {+[](Machine& x) { x.mem.addressSpace[0x4000 + 6143] ^= 1; },
                            +[](Machine& x) { x.mem.addressSpace[0xBFFF] ^= 0x40; },
                            +[](Machine& x) { rebuildDisplay(x); }}) {
            m->renderer.borderColourIndex = 99;
            change(*m);
            w.paintScreen();
            QVERIFY(m->renderer.borderColourIndex != 99);
        }
    }

    void fullScreenKeepsTheMenuAndAltEnterLeavesIt() {
        auto m = newMachine(2);
        MainWindow w(*m);
        w.showAtStart();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QAction* full = w.fullScreenAction();
        QVERIFY(full);
        QCOMPARE(full->text(), QString("Full Screen"));
        QCOMPARE(w.menuBar()->actions().last()->text(), QString("&View"));
        QTest::keyClick(w.screen(), Qt::Key_Return, Qt::AltModifier);
        QTRY_VERIFY(w.isFullScreen());
        QVERIFY(full->isChecked());
        QVERIFY(w.menuBar()->isVisible());
        QCOMPARE(w.keys().state[0x0D], uint8_t(0));  // ENTER did not reach the machine
        full->trigger();
        QTRY_VERIFY(!w.isFullScreen());
        QVERIFY(!full->isChecked());
        QTRY_COMPARE(w.screen()->size(), QSize(560, 432));
    }

    void altAloneLeavesTheFocusWithTheMachine() {
        // A style that moves the focus into the menu bar when Alt is tapped.
        const QString before = QApplication::style()->name();  // setStyle deletes the old style
        QApplication::setStyle(QStyleFactory::create("Windows"));
        QVERIFY(QApplication::style()->styleHint(QStyle::SH_MenuBar_AltKeyNavigation));
        {
            auto m = newMachine(1);
            MainWindow w(*m);
            w.showAtStart();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.screen()));
            QTest::keyPress(w.screen(), Qt::Key_Alt, Qt::AltModifier);
            QTest::keyRelease(w.screen(), Qt::Key_Alt);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(w.screen()));
            QVERIFY(!QApplication::activePopupWidget());
            QTest::keyPress(QApplication::focusWidget(), Qt::Key_Return);
            QCOMPARE(w.keys().state[0x0D], uint8_t(0x80));  // ENTER reaches the machine
            QTest::keyRelease(QApplication::focusWidget(), Qt::Key_Return);
        }
        QApplication::setStyle(QStyleFactory::create(before));
    }

    void loadBinaryTakesSevenCharactersAndStartsInTheAddress() {
        auto m = newMachine();
        LoadBinaryDialogView d(nullptr, *m);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.loadAddress));
        QTest::keyClicks(d.loadAddress, "00019456");  // typed over the selected old address
        QCOMPARE(d.loadAddress->text(), QString("0001945"));
        QCOMPARE(d.form.loadText, std::string("0001945"));
        d.execAddress->clear();
        QTest::keyClicks(d.execAddress, "$00004cff");
        QCOMPARE(d.execAddress->text(), QString("$00004c"));
    }

    void sensibleWithAnEmptyMapStartsWithTheEmulatedLayout() {
        auto m = newMachine();
        initKeyTables(*m);
        QVERIFY(keyMapEmpty(m->workingSettings));
        {
            KeyboardDialogView d(nullptr, *m);
            d.sensible->click();
            QVERIFY(d.sensible->isChecked());
            QCOMPARE(m->workingSettings.keyNormal['A'], uint8_t(1));        // MC-10 key a
            QCOMPARE(m->workingSettings.keyShift['A'], uint8_t(0x40 | 1));  // with MC-10 SHIFT
            QCOMPARE(m->workingSettings.keyCtrl[0x0D], uint8_t(0x80 | 30)); // Ctrl+Enter: CTRL ENTER
            QCOMPARE(m->workingSettings.keyNormal[0x7A], uint8_t(27));      // F11, a spare matrix key
            QCOMPARE(m->workingSettings.keyNormal[0x1B], uint8_t(0xFF));    // Esc stays BREAK
        }
        // A map with any assignment is the user's: it stays as it is.
        m->workingSettings.keyNormal.fill(0xFF);
        m->workingSettings.keyShift.fill(0xFF);
        m->workingSettings.keyCtrl.fill(0xFF);
        m->workingSettings.keyNormal['Q'] = 5;
        KeyboardDialogView d(nullptr, *m);
        d.sensible->click();
        QCOMPARE(m->workingSettings.keyNormal['A'], uint8_t(0xFF));
        QCOMPARE(m->workingSettings.keyNormal['Q'], uint8_t(5));
    }

    void arrowKeysSelectInTheRadioGroups() {
        auto m = newMachine();
        {
            TimingDialogView d(nullptr, *m);
            d.show();
            QVERIFY(QTest::qWaitForWindowActive(&d));
            d.speed[0]->setFocus();
            QTest::keyClick(d.speed[0], Qt::Key_Down);
            QVERIFY(d.speed[1]->isChecked() && !d.speed[0]->isChecked());
            QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(d.speed[1]));
            QTest::keyClick(d.speed[1], Qt::Key_Down);
            QVERIFY(d.speed[2]->isChecked());
            QVERIFY(d.fields[0]->isEnabled());  // the Custom handler ran
            QTest::keyClick(d.speed[2], Qt::Key_Up);
            QTest::keyClick(d.speed[1], Qt::Key_Up);
            QTest::keyClick(d.speed[0], Qt::Key_Up);  // wraps round to "Fast!"
            QVERIFY(d.speed[3]->isChecked());
        }
        KeyboardDialogView d(nullptr, *m);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.emulated->setFocus();
        QTest::keyClick(d.emulated, Qt::Key_Right);
        QVERIFY(d.sensible->isChecked() && !d.emulated->isChecked());
        d.modes[0]->setFocus();
        QTest::keyClick(d.modes[0], Qt::Key_Down);
        QVERIFY(d.modes[1]->isChecked() && !d.modes[0]->isChecked());
        QCOMPARE(d.mc10Keys->item(1)->text(), QString("Graphic 6\tShift a"));  // SHIFT column listed
    }

    void swatchesShowTheFocus() {
        auto m = newMachine();
        VideoDialogView d(nullptr, *m);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        for (int slot : {0, 4, 41}) {  // light green, near black, a half cell
            SwatchButton* s = d.swatches[static_cast<size_t>(slot)];
            d.ok->setFocus();
            const QImage plain = s->grab().toImage();
            s->setFocus(Qt::TabFocusReason);
            QVERIFY(s->hasFocus());
            QVERIFY2(s->grab().toImage() != plain, "no focus mark");
        }
        QCOMPARE(d.sizes.size(), size_t(4));
        QCOMPARE(d.sizes[3]->text(), QString("400%"));
        d.sizes[3]->click();
        QCOMPARE(m->workingSettings.windowscaling, 4);
    }

    void longPathsAreElidedInTheMiddle() {
        auto m = newMachine();
        std::string path = "/home/user";
        while (path.size() < 1500) path += "/a-folder-with-a-long-name";
        path += "/GAME.BIN";
        m->workingSettings.ROMfilename = m->workingSettings.filename = m->workingSettings.bloadfilename = path;
        m->workingSettings.usebuiltinromflag = 0;
        const int screenWidth = QGuiApplication::primaryScreen()->availableGeometry().width();
        MemoryDialogView memory(nullptr, *m);
        PrinterDialogView printer(nullptr, *m);
        LoadBinaryDialogView load(nullptr, *m);
        QLabel* labels[] = {memory.fileName[0], printer.fileName, load.fileName};
        QDialog* dialogs[] = {&memory, &printer, &load};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(dialogs[i]->sizeHint().width() <= screenWidth);
            QCOMPARE(labels[i]->toolTip(), QString::fromStdString(path));
            QVERIFY(labels[i]->text().startsWith("/home/user"));
            QVERIFY(labels[i]->text().endsWith("GAME.BIN"));
            QVERIFY(labels[i]->text().contains(QChar(0x2026)));  // the ellipsis
        }
    }
};

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
