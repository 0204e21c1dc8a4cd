// Menu items, drops, paste and the status bar of the media commands.
#include "media_actions.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolButton>

#include "app/media_commands.h"
#include "dialogs.h"
#include "machine.h"

namespace {

constexpr int refreshMs = 250;
constexpr int saveRamId = 32771, screenshotId = 32785;  // the window's own command ids

QStringList localFiles(const QMimeData* data) {
    QStringList out;
    if (!data) return out;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) out << url.toLocalFile();
    return out;
}

}  // namespace

MediaActions::MediaActions(QMainWindow* window, Machine& m, QMenu* file, std::function<bool(int)> run)
    : QObject(window), window_(window), m_(m), run_(std::move(run)) {
    auto add = [this](QMenu* menu, const char* text, int id) {
        QAction* a = menu->addAction(QString::fromUtf8(text));
        a->setData(id);
        connect(a, &QAction::triggered, this, [this, id] { run_(id); });
        return a;
    };
    add(file, "Run Cassette File...", cmdRunCassette);
    add(file, "Rewind Cassette", cmdRewindCassette);
    add(file, "Stop Cassette", cmdStopCassette);
    add(file, "Cancel Quick Type", cmdCancelQuickType);
    file->addSeparator();
    recent_ = file->addMenu(QStringLiteral("Recent Files"));
    rebuildRecentMenu();

    // "&Edit" right after "&File".
    QMenuBar* bar = window->menuBar();
    QList<QAction*> tops = bar->actions();
    auto* edit = new QMenu(QStringLiteral("&Edit"), bar);
    bar->insertMenu(tops.size() > 1 ? tops[1] : nullptr, edit);
    add(edit, "Paste Text", cmdPasteText);

    QStatusBar* status = window->statusBar();
    status->setSizeGripEnabled(false);
    tape_ = new QLabel(status);
    printer_ = new QLabel(status);
    typing_ = new QLabel(status);
    cancel_ = new QToolButton(status);
    cancel_->setText(QStringLiteral("Cancel"));
    cancel_->setToolTip(QStringLiteral("Stop Quick Type"));
    connect(cancel_, &QToolButton::clicked, this, [this] { run_(cmdCancelQuickType); });
    status->addWidget(tape_);
    status->addWidget(printer_);
    status->addPermanentWidget(typing_);
    status->addPermanentWidget(cancel_);

    window->setAcceptDrops(true);
    window->installEventFilter(this);
    connect(&refresh_, &QTimer::timeout, this, &MediaActions::refreshStatus);
    refresh_.start(refreshMs);
    refreshStatus();
}

bool MediaActions::runCommand(int id) {
    switch (id) {
        case cmdRunCassette: runCassetteFileCommand(m_); break;
        case cmdRewindCassette: rewindCassetteCommand(m_); break;
        case cmdStopCassette: stopCassetteCommand(m_); break;
        case cmdCancelQuickType: cancelQuickType(m_); break;
        case cmdPasteText: pasteText(m_, QApplication::clipboard()->text().toStdString()); break;
        case saveRamId: saveRamCommand(m_); break;
        case screenshotId: screenshotCommand(m_); break;
        default: return false;
    }
    refreshStatus();
    return true;
}

void MediaActions::dropFiles(const QStringList& paths) {
    if (paths.isEmpty()) return;
    const std::string path = QFileInfo(paths.first()).absoluteFilePath().toStdString();
    if (dropFile(m_, path) == DropAction::LoadBinary) {
        // The Load Binary dialog with the file filled in; cancelling keeps the old name.
        const std::string before = m_.settings.bloadfilename;
        m_.settings.bloadfilename = path;
        if (!runLoadBinaryDialog(window_, m_)) m_.settings.bloadfilename = before;
    }
    refreshStatus();
}

bool MediaActions::eventFilter(QObject* watched, QEvent* e) {
    if (watched == window_) {
        if (e->type() == QEvent::DragEnter || e->type() == QEvent::DragMove) {
            auto* d = static_cast<QDropEvent*>(e);
            if (!localFiles(d->mimeData()).isEmpty()) {
                d->acceptProposedAction();
                return true;
            }
        } else if (e->type() == QEvent::Drop) {
            auto* d = static_cast<QDropEvent*>(e);
            const QStringList files = localFiles(d->mimeData());
            if (!files.isEmpty()) {
                d->acceptProposedAction();
                dropFiles(files);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, e);
}

void MediaActions::rebuildRecentMenu() {
    shownRecent_ = m_.media.recentFiles;
    recent_->clear();
    for (const std::string& path : shownRecent_) {
        QAction* a = recent_->addAction(QString::fromStdString(path));
        connect(a, &QAction::triggered, this, [this, path] {
            openRecentFile(m_, path);
            refreshStatus();
        });
    }
    recent_->setEnabled(!shownRecent_.empty());
}

void MediaActions::refreshStatus() {
    tape_->setText(QString::fromStdString(tapeStatus(m_)));
    QString right = QString::fromStdString(printerStatus(m_));
    if (!m_.media.notice.empty()) right += QStringLiteral("   ") + QString::fromStdString(m_.media.notice);
    printer_->setText(right);
    const std::string typing = quickTypeStatus(m_);
    typing_->setText(QString::fromStdString(typing));
    typing_->setVisible(!typing.empty());
    cancel_->setVisible(!typing.empty());
    if (m_.media.recentFiles != shownRecent_) rebuildRecentMenu();
}

QString MediaActions::statusText() const {
    return tape_->text() + QStringLiteral(" | ") + printer_->text() + QStringLiteral(" | ") + typing_->text();
}
