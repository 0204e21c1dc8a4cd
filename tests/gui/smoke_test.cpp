// Starts the desktop program under Xvfb, waits until its window shows the start-up
// banner, and saves a screenshot of it (build/tests/gui/tmp/smoke.png). Skipped when
// Xvfb is not installed.
//
// The test re-runs itself inside xvfb-run with "--inside-xvfb"; that inner run starts
// tovrin on the same display and grabs the screen until the banner is there.
#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QtTest>
#include <cstring>
#include <filesystem>

namespace {

const char* const insideFlag = "--inside-xvfb";

QString shotPath() { return QString(TOVRIN_TEST_TMP) + "/smoke.png"; }

// The booted screen: mostly the green background (40, 224, 40) with some dark text
// (16, 96, 16). An unset screen is all dark '@' cells.
bool showsBanner(const QImage& img) {
    int green = 0, dark = 0;
    for (int y = 0; y < img.height(); y += 2)
        for (int x = 0; x < img.width(); x += 2) {
            QRgb p = img.pixel(x, y);
            if (p == qRgb(40, 224, 40)) ++green;
            if (p == qRgb(16, 96, 16)) ++dark;
        }
    return dark > 50 && green > 10 * dark;
}

// Inside Xvfb: run tovrin, grab the screen until the banner shows, save it.
int runInside(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    std::filesystem::path dir = std::filesystem::path(TOVRIN_TEST_TMP) / "smoke";
    std::filesystem::create_directories(dir);
    QProcess tovrin;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("SDL_AUDIODRIVER", "dummy");
    tovrin.setProcessEnvironment(env);
    tovrin.setWorkingDirectory(QString::fromStdString(dir.string()));
    tovrin.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tovrin.start(TOVRIN_GUI_BIN, {});
    if (!tovrin.waitForStarted(10000)) {
        std::fprintf(stderr, "tovrin did not start\n");
        return 1;
    }
    QElapsedTimer t;
    t.start();
    bool seen = false;
    QImage img;
    while (!seen && t.elapsed() < 30000 && tovrin.state() == QProcess::Running) {
        QTest::qWait(250);
        img = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
        seen = showsBanner(img);
    }
    bool running = tovrin.state() == QProcess::Running;
    tovrin.terminate();
    if (!tovrin.waitForFinished(5000)) {
        tovrin.kill();
        tovrin.waitForFinished(5000);
    }
    if (!running) {
        std::fprintf(stderr, "tovrin ended early (exit code %d)\n", tovrin.exitCode());
        return 1;
    }
    if (!img.isNull()) img.save(shotPath());
    if (!seen) std::fprintf(stderr, "no banner within 30 s (screen saved to %s)\n", qPrintable(shotPath()));
    return seen ? 0 : 1;
}

}  // namespace

class SmokeTest : public QObject {
    Q_OBJECT
public:
    QString self;
private slots:
    void startsAndShowsTheBanner() {
        QString xvfbRun = QStandardPaths::findExecutable("xvfb-run");
        if (xvfbRun.isEmpty() || QStandardPaths::findExecutable("Xvfb").isEmpty())
            QSKIP("Xvfb is not installed");
        std::filesystem::create_directories(TOVRIN_TEST_TMP);
        QFile::remove(shotPath());
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(xvfbRun, {"-a", "-s", "-screen 0 800x600x24", self, insideFlag});
        QVERIFY(p.waitForFinished(90000));
        QCOMPARE(p.exitCode(), 0);
        QVERIFY(QFile::exists(shotPath()));
    }
};

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], insideFlag) == 0) return runInside(1, argv);
    QApplication app(argc, argv);
    SmokeTest test;
    test.self = QCoreApplication::applicationFilePath();
    return QTest::qExec(&test, argc, argv);
}
#include "smoke_test.moc"
