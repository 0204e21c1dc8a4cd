// The main window, its menu commands and the real-time loop.
#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <algorithm>
#include <chrono>
#include <thread>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>

#include "app/commands.h"
#include "config/video_dialog_model.h"
#include "dialogs.h"
#include "state_actions.h"
#include "media_actions.h"
#include "video/screenshot.h"
#include "machine.h"

namespace {

constexpr int suspendedPollMs = 20;
// Unpaced running ("Fast!", files sped up) runs frames back to back for this long
// before the event loop gets its turn.
constexpr int64_t unpacedSliceNs = 5'000'000;

}  // namespace

ScreenWidget::ScreenWidget(QWidget* parent, Machine& m) : QWidget(parent), m_(m) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(framedWidth / 2, framedHeight / 2);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void ScreenWidget::setScale(int s) {
    s_ = s;
    updateGeometry();
}

QRect ScreenWidget::pictureRect() const {
    const int w = width(), h = height();
    // The widest picture that fits: full width unless that is too tall.
    int pw = w, ph = static_cast<int>(int64_t{w} * framedHeight / framedWidth);
    if (ph > h) {
        ph = h;
        pw = static_cast<int>(int64_t{h} * framedWidth / framedHeight);
    }
    return QRect((w - pw) / 2, (h - ph) / 2, pw, ph);
}

bool ScreenWidget::event(QEvent* e) {
    // Alt pressed and released alone puts the keyboard focus into the menu bar with some
    // styles, and the next keys then open menus instead of reaching the machine. The
    // menu bar learns of a lone Alt from its shortcut check; taking that check here
    // keeps the focus with the machine. Alt with another key (Alt+Enter, the menus'
    // Alt+letter) is checked as before.
    if (e->type() == QEvent::ShortcutOverride) {
        const int key = static_cast<QKeyEvent*>(e)->key();
        if (key == Qt::Key_Alt || key == Qt::Key_Meta || key == Qt::Key_AltGr) {
            e->accept();
            return true;
        }
    }
    return QWidget::event(e);
}

void ScreenWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect target = pictureRect();
    // Black bars beside or above and below the picture.
    const QRegion bars = QRegion(rect()) - QRegion(target);
    for (const QRect& r : bars) p.fillRect(r, Qt::black);
    if (m_.renderer.pixels.empty()) {
        p.fillRect(target, Qt::black);
        return;
    }
    if (stale_ || picture.size() != target.size()) {
        if (picture.size() != target.size()) picture = QImage(target.size(), QImage::Format_RGB32);
        convertFramedToRgb(m_, reinterpret_cast<uint32_t*>(picture.bits()), picture.width(), picture.height(),
                           picture.bytesPerLine() / 4);
        stale_ = false;
    }
    p.drawImage(target.topLeft(), picture);  // already at its size: no scaling here
}

MainWindow::MainWindow(Machine& m) : m_(m) {
    m_.host.clock = &clock_;
    m_.host.files = &files_;
    m_.host.messages = &boxes_;
    m_.host.debug = &debugLog_;
    m_.host.keyboard = &keys_;
    m_.host.sound = &soundDevice_;

    setWindowTitle(QStringLiteral("tovrin"));
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1x%1/io.github.tovrin.Tovrin.png").arg(size));
    setWindowIcon(icon);
    buildMenus();
    screen_ = new ScreenWidget(this, m_);
    screen_->installEventFilter(this);
    setCentralWidget(screen_);
    applyScale();
    screen_->setFocus();

    // What the window's creation brings up, in this order.
    setupHostClock(m_);
    rebuildDisplay(m_);
    soundInit(m_);
    startupReset(m_);
    paintScreen();
    new StateActions(*this, m_);  // state files, rewind, input recording, the debugger

    loopTimer_.setSingleShot(true);
    loopTimer_.setTimerType(Qt::PreciseTimer);
    connect(&loopTimer_, &QTimer::timeout, this, &MainWindow::idlePass);
    loopTimer_.start(0);
    lastPaint_.start();
}

MainWindow::~MainWindow() {
    shutDown();
    m_.host = Host{};
}

void MainWindow::showAtStart() {
    move(10, 10);
    show();
}

void MainWindow::shutDown() {
    if (shutDown_) return;
    shutDown_ = true;
    loopTimer_.stop();
    soundShutdown(m_);
    destroyDisplaySurface(m_);
}

QMenu* MainWindow::addMenu(QMenuBar* bar, const char* title) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(title));
    // Opening a menu stops the sound; it restarts with the next frame.
    connect(menu, &QMenu::aboutToShow, this, [this] { soundPause(m_); });
    return menu;
}

void MainWindow::addCommand(QMenu* menu, const char* text, int id) {
    QAction* a = menu->addAction(QString::fromUtf8(text));
    a->setData(id);
    connect(a, &QAction::triggered, this, [this, id] { runCommand(id); });
}

void MainWindow::buildMenus() {
    QMenu* file = addMenu(menuBar(), "&File");
    addCommand(file, "E&xit", cmdExit);
    addCommand(file, "Save Ram", cmdSaveRam);
    addCommand(file, "Soft Reset\tF4", cmdSoftReset);  // the label only: F4 is not bound
    addCommand(file, "Hard Reset", cmdHardReset);
    file->addSeparator();
    addCommand(file, "Quick Type...", cmdQuickType);
    addCommand(file, "Play Cassette File...", cmdPlayCassette);
    media_ = new MediaActions(this, m_, file, [this](int id) { return runCommand(id); });

    QMenu* configure = addMenu(menuBar(), "&Configure");
    addCommand(configure, "Memory...", cmdMemory);
    addCommand(configure, "Printer...", cmdPrinter);
    addCommand(configure, "Keyboard...", cmdKeyboard);
    addCommand(configure, "Video and Colors...", cmdVideo);
    addCommand(configure, "Sound...", cmdSound);
    addCommand(configure, "System Timing...", cmdTiming);

    QMenu* util = addMenu(menuBar(), "Util");
    addCommand(util, "Load Binary File", cmdLoadBinary);
    addCommand(util, "Screenshot", cmdScreenshot);

    // Alt+Enter: no MC-10 key mapping uses Alt, so the machine never misses it.
    QMenu* view = addMenu(menuBar(), "&View");
    fullScreen_ = view->addAction(QStringLiteral("Full Screen"));
    fullScreen_->setCheckable(true);
    fullScreen_->setShortcuts({QKeySequence(Qt::ALT | Qt::Key_Return), QKeySequence(Qt::ALT | Qt::Key_Enter)});
    fullScreen_->setShortcutContext(Qt::WindowShortcut);
    connect(fullScreen_, &QAction::triggered, this, [this](bool on) { setFullScreen(on); });

    // "&Help" sits at the right end of the menu bar.
    helpBar_ = new QMenuBar(menuBar());
    QMenu* help = addMenu(helpBar_, "&Help");
    addCommand(help, "&About ...", cmdAbout);
    menuBar()->setCornerWidget(helpBar_, Qt::TopRightCorner);
}

QAction* MainWindow::commandAction(int id) const {
    for (QMenuBar* bar : {menuBar(), helpBar_})
        for (QAction* top : bar->actions())
            if (top->menu())
                for (QAction* a : top->menu()->actions())
                    if (!a->isSeparator() && a->data().toInt() == id) return a;
    return nullptr;
}

void MainWindow::applyScale() {
    const int s = std::clamp<int>(m_.settings.windowscaling, 1, maximumWindowScale);
    screen_->setScale(s);
    if (isFullScreen() || isMaximized()) return;  // the new size applies when the window is restored
    // The picture area exactly 280s x 216s, whatever surrounds it; then free to resize.
    const QSize minimum = screen_->minimumSize();
    screen_->setFixedSize(screen_->sizeHint());
    adjustSize();
    screen_->setMinimumSize(minimum);
    screen_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

void MainWindow::setFullScreen(bool on) {
    if (on == isFullScreen()) return;
    if (on) {
        showFullScreen();  // the menu bar stays, so the menu is still reachable
    } else {
        showNormal();
        applyScale();
    }
    {
        QSignalBlocker block(fullScreen_);
        fullScreen_->setChecked(on);
    }
    screen_->setFocus();
}

void MainWindow::about() {
    ++commandDepth_;
    QMessageBox box(QMessageBox::Information, QStringLiteral("About"),
                    QStringLiteral("tovrin %1\n\n"
                                   "An emulator of the MC-10 home computer: MC6803 processor, "
                                   "MC6847 display, speaker, cassette and printer.\n\n"
                                   "Comes with its own BASIC and character ROM.\n"
                                   "Written by the tovrin developers.")
                        .arg(QStringLiteral(TOVRIN_VERSION)),
                    QMessageBox::Ok, this);
    box.exec();
    --commandDepth_;
}

bool MainWindow::runCommand(int id) {
    if (shutDown_) return false;
    ++commandDepth_;
    bool handled = true;
    switch (id) {
        case cmdAbout: about(); break;
        case cmdExit: close(); break;
        case cmdSaveRam: media_->runCommand(id); break;
        case cmdMemory:
            // The hard reset runs once the dialog has closed.
            if (runMemoryDialog(this, m_))
                QMetaObject::invokeMethod(this, [this] { runCommand(cmdHardReset); }, Qt::QueuedConnection);
            break;
        case cmdPrinter: runPrinterDialog(this, m_); break;
        case cmdKeyboard: runKeyboardDialog(this, m_); break;
        case cmdVideo: {
            int before = m_.settings.windowscaling;
            if (runVideoDialog(this, m_) && m_.settings.windowscaling != before) applyScale();
            break;
        }
        case cmdSoftReset: resetMachine(m_, 0); break;
        case cmdHardReset: resetMachine(m_, 2); break;
        case cmdQuickType: startQuickType(m_); break;
        case cmdPlayCassette: playCassetteFile(m_); break;
        case cmdTiming: runTimingDialog(this, m_); break;
        case cmdSound: runSoundDialog(this, m_); break;
        case cmdLoadBinary: runLoadBinaryDialog(this, m_); break;
        case cmdScreenshot: media_->runCommand(id); break;
        default: handled = media_->runCommand(id); break;
    }
    --commandDepth_;
    if (handled && !shutDown_) paintScreen();
    return handled;
}

bool MainWindow::emulationSuspended() const {
    return shutDown_ || inPass_ || commandDepth_ > 0 || QApplication::activePopupWidget() ||
           QApplication::activeModalWidget();
}

void MainWindow::idlePass() {
    if (emulationSuspended()) {
        if (!shutDown_) loopTimer_.start(suspendedPollMs);
        return;
    }
    // The timer wakes the loop on whole milliseconds; the last fraction of the wait is
    // slept here, so a paced frame costs one pass rather than a run of empty ones.
    if (const int64_t us = frameStepDelayUs(m_); us > 0 && us < 1000)
        std::this_thread::sleep_for(std::chrono::microseconds(us));
    inPass_ = true;
    bool repaint = false;
    // Unpaced, frames run back to back for a slice of time; paced, one pass at a time.
    QElapsedTimer slice;
    slice.start();
    bool unpaced;
    do {
        repaint = (m_.scheduler.emulationStarted && frameStep(m_)) || repaint;
        unpaced = m_.settings.cpuspeedopt == 3 || fileSpeedUpActive(m_);
    } while (unpaced && !shutDown_ && slice.nsecsElapsed() < unpacedSliceNs);
    inPass_ = false;
    if (shutDown_) return;
    if (repaint && unpaced) {
        // Repaints beyond the display's refresh rate would never be seen.
        const qreal hz = screen_->screen() ? screen_->screen()->refreshRate() : 60;
        repaint = lastPaint_.nsecsElapsed() >= static_cast<int64_t>(1e9 / std::max<qreal>(hz, 1));
    }
    if (repaint) {
        lastPaint_.restart();
        paintScreen();
    }
    scheduleNextPass();
}

void MainWindow::scheduleNextPass() {
    // Whole milliseconds on the timer (rounded down, so a frame is never overslept);
    // idlePass sleeps the rest.
    loopTimer_.start(static_cast<int>(frameStepDelayUs(m_) / 1000));
}

void MainWindow::paintScreen() {
    if (shutDown_) return;
    if (paintSkip(m_)) return;  // typing and cassette playback draw every sixteenth request
    QString title = QStringLiteral("tovrin ") + QString::fromStdString(speedText(m_.timing.speedPercent)).trimmed();
    if (windowTitle() != title) setWindowTitle(title);
    // Nothing the picture is drawn from has changed: nothing to send to the display.
    if (m_.renderer.pixels.empty() || screenUnchanged(m_)) return;
    renderScreen(m_);
    markScreenShown(m_);
    screen_->surfaceChanged();
    screen_->update(screen_->pictureRect());
}

void MainWindow::keyPressEvent(QKeyEvent* e) {
    // Alt + "?" and Alt + "/" open the About box.
    if ((e->modifiers() & Qt::AltModifier) && (e->key() == Qt::Key_Question || e->key() == Qt::Key_Slash)) {
        runCommand(cmdAbout);
        return;
    }
    if (!e->isAutoRepeat()) keys_.press(virtualKeyFor(*e));
}

void MainWindow::keyReleaseEvent(QKeyEvent* e) {
    if (!e->isAutoRepeat()) keys_.release(virtualKeyFor(*e));
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e) {
    if (watched == screen_ && e->type() == QEvent::FocusOut) keys_.releaseAll();
    return QMainWindow::eventFilter(watched, e);
}

void MainWindow::changeEvent(QEvent* e) {
    if (e->type() == QEvent::ActivationChange && !isActiveWindow()) {
        soundPause(m_);
        keys_.releaseAll();
    }
    QMainWindow::changeEvent(e);
}

void MainWindow::closeEvent(QCloseEvent* e) {
    shutDown();
    e->accept();
}
