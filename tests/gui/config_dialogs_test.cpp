// The configuration dialogs' widgets reach their handlers, and the openers commit (or
// drop) the working copy. Runs on the offscreen platform.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

#include "config/settings_file.h"
#include "dialogs.h"
#include "keyboard_dialog.h"
#include "load_binary_dialog.h"
#include "machine.h"
#include "memory_dialog.h"
#include "printer_dialog.h"
#include "sound_dialog.h"
#include "timing_dialog.h"
#include "video_dialog.h"

namespace {
// Click a radio button or check box inside its indicator (its centre may be past the text).
void clickIndicator(QAbstractButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(6, b->height() / 2)); }
void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

// Runs an opener; once its dialog is up, act() drives it.
template <typename View>
bool runWith(bool (*opener)(QWidget*, Machine&), Machine& m, std::function<void(View&)> act) {
    bool reached = false;
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<View*>(QApplication::activeModalWidget());
        QVERIFY(dlg);
        reached = true;
        act(*dlg);
        if (dlg->isVisible()) dlg->reject();
    });
    bool ok = opener(nullptr, m);
    if (!reached) qFatal("dialog did not open");
    return ok;
}

// A machine whose settings file lives in a fresh temporary directory.
struct Fixture {
    QTemporaryDir dir;
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    Fixture() { m->iniPath = (dir.path() + "/foo.ini").toStdString(); }
    std::string path(const char* name) const { return (dir.path() + "/" + name).toStdString(); }
    // What the next start-up would read back.
    std::unique_ptr<Machine> reloaded() const {
        auto r = std::make_unique<Machine>();
        r->iniPath = m->iniPath;
        loadSettings(*r);
        return r;
    }
};

struct HeldKeys : HostKeyboard {
    uint8_t state[256] = {};
    void readState(uint8_t out[256]) override { std::copy(state, state + 256, out); }
    uint8_t keyForCharacter(char c) override { return usLayoutKeyForCharacter(c); }
};
}  // namespace

class ConfigDialogsTest : public QObject {
    Q_OBJECT
private slots:
    void memoryRadiosEnableTheirControlsAndOkCommits() {
        Fixture f;
        auto& m = f.m;
        bool ok = runWith<MemoryDialogView>(runMemoryDialog, *m, [](MemoryDialogView& d) {
            QVERIFY(d.expander->isEnabled() && !d.ramAtC000->isEnabled());
            QVERIFY(!d.browse[0]->isEnabled());
            QCOMPARE(d.fileName[0]->text(), QString("PALUDIN.BIN"));
            clickIndicator(d.enhanced);
            QVERIFY(!d.expander->isEnabled() && d.ramAtC000->isEnabled());
            clickIndicator(d.ramAtC000);
            clickIndicator(d.fromFile[0]);
            QVERIFY(d.browse[0]->isEnabled() && d.fileName[0]->isEnabled());
            click(d.ok);
        });
        QVERIFY(ok);
        QCOMPARE(m->settings.enhancedflag, 1);
        QCOMPARE(m->settings.RAMatC000flag, 1);
        QCOMPARE(m->settings.expanderflag, 1);
        QCOMPARE(m->settings.usebuiltinromflag, 0);
        QCOMPARE(f.reloaded()->settings.RAMatC000flag, 1);
    }

    void cancelLeavesSettingsUntouched() {
        Fixture f;
        auto& m = f.m;
        bool ok = runWith<SoundDialogView>(runSoundDialog, *m, [](SoundDialogView& d) {
            QVERIFY(d.cancel->isDefault());
            clickIndicator(d.clicker);
            d.volume->setValue(80);
            QCOMPARE(d.volumeText->text(), QString("80% Volume"));
            click(d.cancel);
        });
        QVERIFY(!ok);
        QCOMPARE(m->settings.clickervolpct, 50);
        QCOMPARE(m->settings.clickerflag, 1);
        QVERIFY(!QFile::exists(QString::fromStdString(m->iniPath.string())));
    }

    void printerWidthFieldFollowsItsRadio() {
        auto m = std::make_unique<Machine>();
        bool ok = runWith<PrinterDialogView>(runPrinterDialog, *m, [](PrinterDialogView& d) {
            QVERIFY(!d.width->isEnabled());
            clickIndicator(d.fixed);
            QVERIFY(d.width->isEnabled());
            d.width->selectAll();
            QTest::keyClicks(d.width, "1");
            click(d.ok);
        });
        QVERIFY(ok);
        QCOMPARE(m->settings.fixedwidthflag, 1);
        QCOMPARE(m->settings.width, 32);
    }

    void timingControlsAndFastOk() {
        Fixture f;
        auto& m = f.m;
        bool ok = runWith<TimingDialogView>(runTimingDialog, *m, [](TimingDialogView& d) {
            QVERIFY(d.speed[0]->isChecked() && d.speedup->isChecked());
            d.speedSlider->setValue(150);
            QCOMPARE(d.fields[0]->text(), QString("17046"));
            QCOMPARE(d.speedText->text(), QString("NTSC * 150%"));
            clickIndicator(d.videoCheck);
            QVERIFY(d.videoSlider->isEnabled());
            click(d.defaults);
            QCOMPARE(d.speedSlider->value(), 100);
            QVERIFY(!d.videoCheck->isChecked() && !d.speedup->isChecked());
            clickIndicator(d.speed[2]);
            QVERIFY(d.fields[2]->isEnabled() && !d.speed[0]->isChecked());
            d.fields[2]->selectAll();
            QTest::keyClicks(d.fields[2], "0");
            click(d.ok);
            QVERIFY(d.isVisible());  // refused
            QCOMPARE(d.fields[2]->text(), QString("1"));
            clickIndicator(d.speed[3]);
            click(d.ok);
        });
        QVERIFY(ok);
        QCOMPARE(m->settings.cpuspeedopt, 3);
        QCOMPARE(m->settings.clickerflag, 0);
        QCOMPARE(m->settings.ntscmultiplierpct, 100);
        QCOMPARE(m->settings.fpscust, 60);
        auto r = f.reloaded();
        QCOMPARE(r->settings.cpuspeedopt, 3);
        QCOMPARE(r->settings.clickerflag, 1);  // the SOUND section on disk is not rewritten
    }

    void videoSwatchAndSize() {
        auto m = std::make_unique<Machine>();
        bool ok = runWith<VideoDialogView>(runVideoDialog, *m, [](VideoDialogView& d) {
            QVERIFY(d.sizes[1]->isChecked());
            d.chooseColour = [](Rgb& c) { c = {1, 2, 3}; return true; };
            click(d.swatches[14]);
            clickIndicator(d.sizes[2]);
            click(d.ok);
        });
        QVERIFY(ok);
        QCOMPARE(m->settings.colours[14], (Rgb{1, 2, 3}));
        QCOMPARE(m->settings.windowscaling, 3);
        QVERIFY(m->dialogs.customColoursSeeded);
    }

    void keyboardCaptureAndDelete() {
        Fixture f;
        auto& m = f.m;
        HeldKeys keys;
        m->host.keyboard = &keys;
        bool ok = runWith<KeyboardDialogView>(runKeyboardDialog, *m, [&](KeyboardDialogView& d) {
            clickIndicator(d.sensible);
            clickIndicator(d.modes[1]);
            QCOMPARE(d.mc10Keys->item(1)->text(), QString("Graphic 6\tShift a"));
            d.mc10Keys->setCurrentRow(1);
            QCOMPARE(d.capture->text(), QString(captureSelectText));
            keys.state[vkShift] = keys.state['A'] = 0x80;
            click(d.capture);
            QCOMPARE(d.capture->text(), QString("Shift a"));
            QCOMPARE(d.pcKeys->count(), 1);
            keys.state['A'] = 0;
            keys.state['Z'] = 0x80;
            click(d.capture);
            QCOMPARE(d.pcKeys->count(), 2);
            QTest::keyClick(d.capture, Qt::Key_Escape);  // swallowed by the capture field
            QVERIFY(d.isVisible());
            QPoint second = d.pcKeys->visualItemRect(d.pcKeys->item(1)).center();
            // A real double-click: a click, then the double-click event.
            QTest::mousePress(d.pcKeys->viewport(), Qt::LeftButton, {}, second);
            QTest::mouseRelease(d.pcKeys->viewport(), Qt::LeftButton, {}, second);
            QTest::mouseDClick(d.pcKeys->viewport(), Qt::LeftButton, {}, second);
            QCOMPARE(d.pcKeys->count(), 1);
            std::fill(std::begin(keys.state), std::end(keys.state), 0);
            QTest::keyPress(d.capture, Qt::Key_B);  // seen by the dialog itself
            click(d.capture);
            QCOMPARE(d.capture->text(), QString("b"));
            QTest::keyRelease(d.capture, Qt::Key_B);
            click(d.ok);
        });
        QVERIFY(ok);
        QCOMPARE(m->settings.emulatedflag, 0);
        QCOMPARE(m->settings.keyShift['A'], 0x41);
        QCOMPARE(m->settings.keyShift['Z'], 0xFF);
        QCOMPARE(f.reloaded()->settings.keyShift['A'], 0x41);
    }

    void loadBinaryErrorKeepsTheDialogOpenThenLoads() {
        Fixture f;
        auto& m = f.m;
        std::string file = f.path("prog.bin");
        QFile out(QString::fromStdString(file));
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("\x01\x02\x03", 3);
        out.close();
        m->settings.bloadfilename = file;
        std::vector<std::string> shown;
        bool ok = runWith<LoadBinaryDialogView>(runLoadBinaryDialog, *m, [&](LoadBinaryDialogView& d) {
            QCOMPARE(d.loadAddress->text(), QString("$4c00"));
            d.showErrors = [&](const std::string& text) { shown.push_back(text); };
            d.loadAddress->selectAll();
            QTest::keyClicks(d.loadAddress, "$4G00");
            click(d.ok);
            QVERIFY(d.isVisible());
            d.loadAddress->selectAll();
            QTest::keyClicks(d.loadAddress, "20000");
            clickIndicator(d.setExec);
            click(d.ok);
        });
        QVERIFY(ok);
        QCOMPARE(shown, std::vector<std::string>{"ERROR: \nProblem with load address\n"});
        QCOMPARE(m->mem.addressSpace[20002], 3);
        QCOMPARE(m->mem.addressSpace[0x421F], 0x4C);
        auto r = f.reloaded();
        QCOMPARE(r->settings.bloadaddr, 20000);
        QCOMPARE(r->settings.loadaddrishex, 0);
        QCOMPARE(r->settings.pokeexecaddr, 1);
    }
};

QTEST_MAIN(ConfigDialogsTest)
#include "config_dialogs_test.moc"
