// The main window's commands for getting software in and out: Run Cassette File,
// Rewind and Stop Cassette, recent files, Edit > Paste Text, Quick Type cancel, files
// dropped on the window, Save Ram and Screenshot with their results, and the status
// bar (tape, printer, Quick Type). The logic is in app/media_commands.h; this binds it
// to menus, the clipboard, drops and labels.
//
//   media_ = new MediaActions(this, m_, fileMenu, [this](int id) { return runCommand(id); });
//   if (media_->runCommand(id)) ...;                 // from MainWindow::runCommand
#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

struct Machine;
class QLabel;
class QMainWindow;
class QMenu;
class QToolButton;

enum MediaCommand : int {
    cmdRunCassette = 32790, cmdRewindCassette = 32791, cmdStopCassette = 32792, cmdPasteText = 32793,
    cmdCancelQuickType = 32794,
};

class MediaActions : public QObject {
    Q_OBJECT
public:
    // Adds its items to the File menu, an Edit menu after it, and the status bar. Its
    // menu items go through run (the window's command runner, which suspends emulation).
    MediaActions(QMainWindow* window, Machine& m, QMenu* fileMenu, std::function<bool(int)> run);
    // Runs one of the commands above, Save Ram or Screenshot; false for other ids.
    bool runCommand(int id);
    // What a drop of these local files does (the first file counts).
    void dropFiles(const QStringList& paths);
    // The status bar's texts, refreshed from the machine.
    void refreshStatus();
    QString statusText() const;
    QMenu* recentMenu() const { return recent_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void rebuildRecentMenu();
    void showNotice();

    QMainWindow* window_;
    Machine& m_;
    QMenu* recent_ = nullptr;
    QLabel* tape_ = nullptr;
    QLabel* printer_ = nullptr;
    QLabel* typing_ = nullptr;
    QToolButton* cancel_ = nullptr;
    std::function<bool(int)> run_;
    QTimer refresh_;
    std::vector<std::string> shownRecent_;
};
