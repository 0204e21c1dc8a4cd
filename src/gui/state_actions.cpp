// State files, quick slots, rewind, input recordings and the debugger window, bound
// to the main window's menus.
#include "state_actions.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <filesystem>

#include "debugger_window.h"
#include "machine.h"
#include "main_window.h"
#include "state/state_file.h"

namespace {

const std::vector<FileFilter> stateFilters = {{"TOVRIN State Files (*.tvs)", "*.tvs"}, {"All Files (*.*)", "*.*"}};
const std::vector<FileFilter> recordingFilters = {{"TOVRIN Input Recordings (*.txt)", "*.txt"},
                                                  {"All Files (*.*)", "*.*"}};

template <class F>
void addItem(QMenu* menu, const QString& text, F&& f) {
    QAction* a = menu->addAction(text);
    QObject::connect(a, &QAction::triggered, menu, std::forward<F>(f));
}

QMenu* menuTitled(QMenuBar* bar, const QString& title) {
    for (QAction* a : bar->actions())
        if (a->menu() && a->text() == title) return a->menu();
    return nullptr;
}

}  // namespace

StateActions::StateActions(MainWindow& window, Machine& m) : QObject(&window), window_(window), m_(m) {
    addMenus();
    // Rewind states and the end of a playback are looked at between frames.
    connect(&timer_, &QTimer::timeout, this, &StateActions::tick);
    timer_.start(100);
}

StateActions::~StateActions() {
    // The window goes first and has let go of the host already; only a keyboard of
    // ours still in place is taken out.
    if (m_.host.keyboard && (m_.host.keyboard == recorder_.get() || m_.host.keyboard == player_.get()))
        m_.host.keyboard = nullptr;
}

void StateActions::addMenus() {
    QMenuBar* bar = window_.menuBar();
    if (QMenu* file = menuTitled(bar, QStringLiteral("&File"))) {
        file->addSeparator();
        addItem(file, QStringLiteral("Save State..."), [this] { saveStateAs(); });
        addItem(file, QStringLiteral("Load State..."), [this] { loadStateFrom(); });
        QMenu* save = file->addMenu(QStringLiteral("Quick Save"));
        QMenu* load = file->addMenu(QStringLiteral("Quick Load"));
        for (int slot = 1; slot <= 4; ++slot) {
            addItem(save, QStringLiteral("Slot %1").arg(slot), [this, slot] { saveQuickSlot(slot); });
            addItem(load, QStringLiteral("Slot %1").arg(slot), [this, slot] { loadQuickSlot(slot); });
        }
    }
    QMenu* machine = new QMenu(QStringLiteral("&Machine"), bar);
    QAction* before = nullptr;
    for (QAction* a : bar->actions())
        if (a->text() == QStringLiteral("&Configure")) before = a;
    bar->insertMenu(before, machine);
    addItem(machine, QStringLiteral("Rewind 5 Seconds"), [this] { rewind(5); });
    machine->addSeparator();
    addItem(machine, QStringLiteral("Record Input..."), [this] {
        std::string path = "session.txt";
        if (hostChooseFile(m_.host, path, recordingFilters, ".txt", ChooseMode::SaveAskOverwrite))
            startRecording(QString::fromStdString(path));
    });
    addItem(machine, QStringLiteral("Stop Recording"), [this] { stopRecording(); });
    addItem(machine, QStringLiteral("Play Input Recording..."), [this] {
        std::string path;
        if (hostChooseFile(m_.host, path, recordingFilters, ".txt", ChooseMode::Open))
            playRecording(QString::fromStdString(path));
    });
    connect(machine, &QMenu::aboutToShow, this, [this] { soundPause(m_); });

    if (QMenu* util = menuTitled(bar, QStringLiteral("Util")))
        addItem(util, QStringLiteral("Debugger"), [this] { showDebugger(); });
}

bool StateActions::loadBytesReport(bool ok, const std::string& why, const char* title) {
    if (!ok) {
        hostMessage(m_.host, why, title, MessageIcon::Exclamation);
        return false;
    }
    afterLoad();
    return true;
}

void StateActions::afterLoad() {
    // A loaded state is a new start for the rewind ring; the debugger's stop is over,
    // and a recording or playback (counted in frames from its start) ends here.
    rewindClear(ring_);
    endSession();
    if (m_.debugger.paused) debuggerContinue(m_);
    window_.paintScreen();
}

bool StateActions::saveStateAs() {
    std::string path = "tovrin.tvs";
    if (!hostChooseFile(m_.host, path, stateFilters, ".tvs", ChooseMode::SaveAskOverwrite)) return false;
    std::string why;
    if (saveStateFile(m_, path, why)) return true;
    hostMessage(m_.host, why, "Save State", MessageIcon::Exclamation);
    return false;
}

bool StateActions::loadStateFrom() {
    std::string path;
    if (!hostChooseFile(m_.host, path, stateFilters, ".tvs", ChooseMode::Open)) return false;
    std::string why;
    const bool ok = loadStateFile(m_, path, why);
    return loadBytesReport(ok, why, "Load State");
}

QString StateActions::quickSlotPath(int slot) const {
    std::filesystem::path dir = m_.startupDirectory.empty() ? std::filesystem::path(".") : m_.startupDirectory;
    return QString::fromStdString((dir / "states" / ("slot" + std::to_string(slot) + ".tvs")).string());
}

bool StateActions::saveQuickSlot(int slot) {
    const std::filesystem::path file = quickSlotPath(slot).toStdString();
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    std::string why;
    if (saveStateFile(m_, file, why)) return true;
    hostMessage(m_.host, why, "Quick Save", MessageIcon::Exclamation);
    return false;
}

bool StateActions::loadQuickSlot(int slot) {
    const std::filesystem::path file = quickSlotPath(slot).toStdString();
    std::error_code ec;
    if (!std::filesystem::exists(file, ec)) {
        hostMessage(m_.host, "Quick slot " + std::to_string(slot) + " is empty.", "Quick Load", MessageIcon::Exclamation);
        return false;
    }
    std::string why;
    const bool ok = loadStateFile(m_, file, why);
    return loadBytesReport(ok, why, "Quick Load");
}

bool StateActions::rewind(int seconds) {
    std::string why;
    if (!rewindSeconds(m_, ring_, seconds, why)) {
        hostMessage(m_.host, why, "Rewind", MessageIcon::Exclamation);
        return false;
    }
    if (m_.debugger.paused) debuggerContinue(m_);
    endSession();
    window_.paintScreen();
    return true;
}

bool StateActions::startRecording(const QString& file) {
    if (recorder_) stopRecording();
    if (player_) endPlayback();
    recordingFile_ = file;
    resetMachine(m_, 2);
    rewindClear(ring_);
    recorder_ = std::make_unique<RecordingKeyboard>(m_, &window_.keys());
    m_.host.keyboard = recorder_.get();
    recorder_->start(m_);
    return true;
}

bool StateActions::stopRecording() {
    if (!recorder_) return false;
    recorder_->finish();
    std::string why;
    const bool ok = writeInputRecordingFile(recordingFile_.toStdString(), recorder_->recording, why);
    m_.host.keyboard = &window_.keys();
    recorder_.reset();
    if (!ok) hostMessage(m_.host, why, "Stop Recording", MessageIcon::Exclamation);
    return ok;
}

bool StateActions::playRecording(const QString& file) {
    InputRecording rec;
    std::string why;
    if (!readInputRecordingFile(file.toStdString(), rec, why)) {
        hostMessage(m_.host, why, "Play Input Recording", MessageIcon::Exclamation);
        return false;
    }
    if (recorder_) stopRecording();
    if (player_) endPlayback();
    resetMachine(m_, 2);
    rewindClear(ring_);
    player_ = std::make_unique<ReplayKeyboard>(m_, std::move(rec));
    m_.host.keyboard = player_.get();
    player_->start(m_);
    return true;
}

void StateActions::endSession() {
    if (recorder_) stopRecording();
    if (player_) endPlayback();
}

void StateActions::endPlayback() {
    m_.host.keyboard = &window_.keys();
    player_.reset();
}

void StateActions::tick() {
    if (m_.debugger.paused) {
        // A stop with the debugger window closed brings it back, saying why.
        if (debugger_ && !debugger_->isVisible()) showDebugger();
        return;
    }
    if (!m_.scheduler.emulationStarted) return;
    rewindTick(m_, ring_);
    if (player_ && player_->finished()) endPlayback();
}

DebuggerWindow* StateActions::showDebugger() {
    if (!debugger_) debugger_ = new DebuggerWindow(m_, &window_);
    debugger_->show();
    debugger_->raise();
    debugger_->activateWindow();
    return debugger_;
}
