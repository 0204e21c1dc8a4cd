// The Qt answer to the core's file requests: filters, proposed file, default
// extension, selected filter and cancel.
#include <QFileDialog>
#include <QtTest>
#include <filesystem>

#include "qt_host.h"

namespace {

// Runs `act` on the file dialog once it is open.
template <class F>
void onDialog(F act) {
    QTimer::singleShot(50, [act] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) act(d);
    });
}

}  // namespace

class FileChooserTest : public QObject {
    Q_OBJECT
private slots:
    void filtersKeepTheirTextAndMatchAnyName() {
        QStringList got = qtNameFilters({{"MC-10 Cassette Files (*.C10)", "*.c10"},
                                         {"Text and Basic", "*.txt;*.bas"}, {"All Files (*.*)", "*.*"}});
        QCOMPARE(got, QStringList({"MC-10 Cassette Files (*.C10)", "Text and Basic (*.txt *.bas)", "All Files (*)"}));
    }

    void saveProposesTheNameAndAddsTheExtension() {
        std::filesystem::path dir = std::filesystem::path(TOVRIN_TEST_TMP) / "chooser";
        std::filesystem::create_directories(dir);
        QtFileChooser chooser(nullptr);
        std::string path = (dir / "cassav").string();
        QStringList seen;
        onDialog([&](QFileDialog* d) {
            seen = d->selectedFiles();
            seen << d->nameFilters();
            d->selectNameFilter(d->nameFilters().at(1));
            QMetaObject::invokeMethod(d, "accept");
        });
        int filter = 0;
        QVERIFY(chooser.chooseFile(path, {{"MC-10 Cassette Files (*.C10)", "*.c10"}, {"All Files (*.*)", "*.*"}},
                                   "c10", ChooseMode::Save, &filter));
        QCOMPARE(seen.value(0), QString::fromStdString((dir / "cassav.c10").string()));  // proposed
        QCOMPARE(path, (dir / "cassav.c10").string());
        QCOMPARE(filter, 2);

        std::string kept = path;
        onDialog([](QFileDialog* d) { d->reject(); });
        QVERIFY(!chooser.chooseFile(path, {{"Text (*.TXT)", "*.txt"}}, "txt", ChooseMode::Open, nullptr));
        QCOMPARE(path, kept);
    }
};

QTEST_MAIN(FileChooserTest)
#include "file_chooser_test.moc"
