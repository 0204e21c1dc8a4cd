// The main window, its menu commands and the real-time loop.
#include "main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>

#include "app/commands.h"
#include "dialogs.h"
#include "state_actions.h"
#include "media_actions.h"
#include "video/screenshot.h"
#include "machine.h"

namespace {

constexpr int suspendedPollMs = 20;

QColor slotColour(const Machine& m, int slot) {
    if (slot < 0 || slot >= colourSlotCount) slot = 0;
    const Rgb& c = m.renderer.palette[static_cast<size_t>(slot)];
    return QColor(c.r, c.g, c.b);
}

}  // namespace

ScreenWidget::ScreenWidget(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setScale(1);
}

void ScreenWidget::setScale(int s) {
    s_ = s;
    setFixedSize(280 * s, 216 * s);
}

void ScreenWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const int s = s_;
    p.fillRect(QRect(0, 0, 280 * s, 12 * s), border);
    p.fillRect(QRect(0, 204 * s, 280 * s, 12 * s), border);
    p.fillRect(QRect(0, 12 * s, 12 * s, 192 * s), border);
    p.fillRect(QRect(268 * s, 12 * s, 12 * s, 192 * s), border);
    QRect target(12 * s, 12 * s, 256 * s, 192 * s);
    if (picture.isNull())
        p.fillRect(target, border);
    else
        p.drawImage(target, picture);  // no smoothing: nearest neighbour
}

MainWindow::MainWindow(Machine& m) : m_(m) {
    m_.host.clock = &clock_;
    m_.host.files = &files_;
    m_.host.messages = &boxes_;
    m_.host.debug = &debugLog_;
    m_.host.keyboard = &keys_;
    m_.host.sound = &soundDevice_;

    setWindowTitle(QStringLiteral("tovrin"));
    buildMenus();
    screen_ = new ScreenWidget(this);
    screen_->installEventFilter(this);
    setCentralWidget(screen_);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
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
    int s = m_.settings.windowscaling;
    if (s < 1) s = 1;
    if (s > 3) s = 3;
    screen_->setScale(s);
    adjustSize();
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
    inPass_ = true;
    bool repaint = m_.scheduler.emulationStarted && frameStep(m_);
    inPass_ = false;
    if (shutDown_) return;
    if (repaint) paintScreen();
    loopTimer_.start(frameStepDelayMs(m_));
}

void MainWindow::paintScreen() {
    if (shutDown_) return;
    if (paintSkip(m_)) return;  // typing and cassette playback draw every sixteenth request
    renderScreen(m_);
    const std::vector<uint8_t>& px = m_.renderer.pixels;
    if (px.size() < static_cast<size_t>(surfaceWidth * surfaceHeight)) return;
    QRgb palette[256];
    for (int i = 0; i < 256; ++i) palette[i] = slotColour(m_, i < colourSlotCount ? i : 0).rgb();
    if (screen_->picture.isNull()) screen_->picture = QImage(surfaceWidth, surfaceHeight, QImage::Format_RGB32);
    for (int y = 0; y < surfaceHeight; ++y) {
        auto* line = reinterpret_cast<QRgb*>(screen_->picture.scanLine(y));
        const uint8_t* src = px.data() + y * surfaceWidth;
        for (int x = 0; x < surfaceWidth; ++x) line[x] = palette[src[x]];
    }
    screen_->border = slotColour(m_, m_.renderer.borderColourIndex);
    QString title = QStringLiteral("tovrin ") + QString::fromStdString(speedText(m_.timing.speedPercent)).trimmed();
    if (windowTitle() != title) setWindowTitle(title);
    screen_->update();
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
