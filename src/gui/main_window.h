// The main window: the MC-10 picture (280s x 216s below the menu bar at start, s =
// windowscaling; resizable, keeping the 280:216 shape with black bars; full screen with
// "View > Full Screen" or Alt+Enter), the menu and its commands, the real-time loop,
// the keyboard and the sound pauses.
//
//   auto m = std::make_unique<Machine>();
//   m->iniPath = locateIniFile(std::filesystem::current_path());
//   loadSettings(*m);
//   recomputeFrameTiming(*m);
//   MainWindow w(*m);      // clock, display, sound, start-up reset; the loop starts
//   w.showAtStart();
//   app.exec();
#pragma once
#include <QElapsedTimer>
#include <QImage>
#include <QMainWindow>
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

// The client area: the picture in its border (280:216), as large as fits, centred
// between black bars. The surface is scaled while it is converted to RGB, once per
// change or resize, and then drawn unscaled.
class ScreenWidget : public QWidget {
    Q_OBJECT
public:
    ScreenWidget(QWidget* parent, Machine& m);
    // The preferred size: 280s x 216s.
    void setScale(int s);
    int scale() const { return s_; }
    QSize sizeHint() const override { return QSize(280 * s_, 216 * s_); }
    // Where the framed picture goes: the largest 280:216 rectangle that fits, centred.
    QRect pictureRect() const;
    // The surface changed (renderScreen ran): convert it again at the next paint.
    void surfaceChanged() { stale_ = true; }
    QImage picture;  // the framed picture at pictureRect's size, as last converted

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    bool focusNextPrevChild(bool) override { return false; }  // TAB is an emulated key

private:
    Machine& m_;
    int s_ = 1;
    bool stale_ = true;
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
    QAction* fullScreenAction() const { return fullScreen_; }
    void setFullScreen(bool on);
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
    void scheduleNextPass();
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
    QAction* fullScreen_ = nullptr;
    MediaActions* media_ = nullptr;  // cassette, Quick Type, drop and paste commands; the status bar
    QTimer loopTimer_;
    QElapsedTimer lastPaint_;  // unpaced running repaints at most at the display's rate
    int commandDepth_ = 0;
    bool inPass_ = false;
    bool shutDown_ = false;
};
