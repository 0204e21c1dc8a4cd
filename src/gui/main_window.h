// The main window: the MC-10 picture (280s x 216s below the menu bar, s = windowscaling),
// the menu and its commands, the real-time loop, the keyboard and the sound pauses.
//
//   auto m = std::make_unique<Machine>();
//   m->iniPath = locateIniFile(std::filesystem::current_path());
//   loadSettings(*m);
//   recomputeFrameTiming(*m);
//   MainWindow w(*m);      // clock, display, sound, start-up reset; the loop starts
//   w.showAtStart();
//   app.exec();
#pragma once
#include <QMainWindow>
#include <QImage>
#include <QTimer>
#include <memory>

#include "host/steady_clock.h"
#include "host_keys.h"
#include "qt_host.h"
#include "sdl_sound_device.h"

struct Machine;
class MediaActions;
class QMenu;
class QMenuBar;

// Menu command identifiers.
enum MenuCommand : int {
    cmdAbout = 104, cmdExit = 105, cmdSaveRam = 32771, cmdMemory = 32772, cmdPrinter = 32773,
    cmdKeyboard = 32774, cmdVideo = 32775, cmdSoftReset = 32776, cmdHardReset = 32777,
    cmdQuickType = 32778, cmdPlayCassette = 32779, cmdTiming = 32782, cmdSound = 32783,
    cmdLoadBinary = 32784, cmdScreenshot = 32785,
};

// The 280s x 216s client area: the border in the border slot's colour, the picture
// scaled nearest-neighbour inside it.
class ScreenWidget : public QWidget {
    Q_OBJECT
public:
    explicit ScreenWidget(QWidget* parent);
    void setScale(int s);
    int scale() const { return s_; }
    QImage picture;   // 256 x 192, what the last paint request rendered
    QColor border;

protected:
    void paintEvent(QPaintEvent*) override;
    bool focusNextPrevChild(bool) override { return false; }  // TAB is an emulated key

private:
    int s_ = 1;
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(Machine& m);
    ~MainWindow() override;

    // Shows the window at (10, 10) with the client area at its exact size.
    void showAtStart();
    // Runs one menu command by identifier; false for unknown identifiers.
    bool runCommand(int id);
    // One idle pass of the loop: a frame step (and paint) unless emulation is suspended.
    void idlePass();
    // Renders the current screen and asks for the window to be repainted.
    void paintScreen();
    // Emulation is suspended while a menu, a modal dialog or a menu command runs.
    bool emulationSuspended() const;
    QAction* commandAction(int id) const;
    QMenuBar* helpBar() const { return helpBar_; }
    ScreenWidget* screen() const { return screen_; }
    HostKeyState& keys() { return keys_; }
    MediaActions* media() const { return media_; }

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool focusNextPrevChild(bool) override { return false; }
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildMenus();
    QMenu* addMenu(QMenuBar* bar, const char* title);
    void addCommand(QMenu* menu, const char* text, int id);
    void applyScale();
    void about();
    void shutDown();

    Machine& m_;
    SteadyHostClock clock_;
    SdlSoundDevice soundDevice_;
    HostKeyState keys_;
    QtFileChooser files_{this};
    QtMessageBoxes boxes_{this};
    StderrDebugLog debugLog_;
    ScreenWidget* screen_ = nullptr;
    QMenuBar* helpBar_ = nullptr;
    MediaActions* media_ = nullptr;  // cassette, Quick Type, drop and paste commands; the status bar
    QTimer loopTimer_;
    int commandDepth_ = 0;
    bool inPass_ = false;
    bool shutDown_ = false;
};
