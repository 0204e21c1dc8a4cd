// The desktop program's state commands: "File > Save State..." / "Load State..." and
// four quick slots, "Machine > Rewind 5 Seconds", input recording and playback, and
// "Util > Debugger". Everything here adds itself to the main window's menus.
//
//   auto* states = new StateActions(window, m);   // after the window built its menus
//   states->saveQuickSlot(1);                      // the menu items call these
#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "state/input_recording.h"
#include "state/rewind.h"

struct Machine;
class MainWindow;
class QMenu;
class DebuggerWindow;

class StateActions : public QObject {
    Q_OBJECT
public:
    StateActions(MainWindow& window, Machine& m);
    ~StateActions() override;

    bool saveStateAs();
    bool loadStateFrom();
    bool saveQuickSlot(int slot);
    bool loadQuickSlot(int slot);
    bool rewind(int seconds);
    bool startRecording(const QString& file);  // hard reset, then records
    bool stopRecording();
    bool playRecording(const QString& file);   // hard reset, then plays it
    bool recording() const { return recorder_ != nullptr; }
    bool playing() const { return player_ != nullptr; }
    DebuggerWindow* showDebugger();
    QString quickSlotPath(int slot) const;
    const RewindRing& rewindRing() const { return ring_; }

    // Between frames: a rewind state once a second, the end of a playback.
    void tick();

private:
    void addMenus();
    bool loadBytesReport(bool ok, const std::string& why, const char* title);
    void afterLoad();
    void endPlayback();
    void endSession();

    MainWindow& window_;
    Machine& m_;
    RewindRing ring_;
    QTimer timer_;
    std::unique_ptr<RecordingKeyboard> recorder_;
    std::unique_ptr<ReplayKeyboard> player_;
    QString recordingFile_;
    DebuggerWindow* debugger_ = nullptr;
};
