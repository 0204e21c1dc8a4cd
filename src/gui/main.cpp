// tovrin: the desktop emulator. Start-up: settings (with the ROM images they name),
// frame timing, then the window, which brings up the display, sound and the first
// hard reset. Nothing is saved at exit.
#include <QApplication>
#include <filesystem>
#include <memory>

#include "config/settings_file.h"
#include "machine.h"
#include "main_window.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tovrin"));
    auto m = std::make_unique<Machine>();
    // Missing ROM images are reported while the settings load, before the window exists.
    QtMessageBoxes earlyBoxes(nullptr);
    StderrDebugLog debugLog;
    m->host.messages = &earlyBoxes;
    m->host.debug = &debugLog;
    std::error_code ec;
    std::filesystem::path dir = std::filesystem::current_path(ec);
    m->iniPath = locateIniFile(dir);
    loadSettings(*m);
    recomputeFrameTiming(*m);
    int code;
    {
        MainWindow window(*m);
        window.showAtStart();
        m->startupDirectory = dir;
        code = app.exec();
    }
    return code;
}
