// Small helpers shared by the configuration dialog views: string conversion, setting a
// control's state without firing its handlers (the views mirror their model after every
// handler), and the OK/Cancel row.
//
//   setChecked(radio, d.enhanced);    // no clicked/toggled signal
//   auto* ok = addOkCancel(dlg, layout, &cancel, /*cancelIsDefault=*/true);
//   setPathText(label, "/a/very/long/path/.../GAME.C10");   // middle elided, whole in the tool tip
#pragma once
#include <QAbstractButton>
#include <QBoxLayout>
#include <QDialog>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

inline void setChecked(QAbstractButton* b, bool on) {
    QSignalBlocker block(b);
    b->setChecked(on);
}

inline void setFieldText(QLineEdit* e, const std::string& text) {
    if (e->text() == qs(text)) return;
    QSignalBlocker block(e);
    e->setText(qs(text));
}

inline void setSliderValue(QSlider* s, int value) {
    QSignalBlocker block(s);
    s->setValue(value);
}

// Widest a file name label gets: long paths lose their middle so the dialog stays
// within the screen; the tool tip shows the whole path.
inline int pathLabelWidth() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int screenWidth = screen ? screen->availableGeometry().width() : 1024;
    return std::max(160, std::min(480, screenWidth / 2));
}

inline void setPathText(QLabel* label, const std::string& path) {
    const QString full = qs(path);
    label->setText(QFontMetrics(label->font()).elidedText(full, Qt::ElideMiddle, pathLabelWidth()));
    label->setToolTip(full);
}

// Radio buttons that are checked only through their handlers (not auto-exclusive) do
// not select when the arrow keys move between them. This gives a group that behaviour:
// an arrow key moves to the next or previous button (wrapping) and clicks it, so its
// handler runs as for a mouse click. Owned by parent.
class ArrowKeySelection : public QObject {
public:
    ArrowKeySelection(std::initializer_list<QAbstractButton*> buttons, QObject* parent)
        : QObject(parent), buttons_(buttons) {
        for (QAbstractButton* b : buttons_) b->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(e)->key();
        const int step = key == Qt::Key_Down || key == Qt::Key_Right ? 1 : key == Qt::Key_Up || key == Qt::Key_Left ? -1 : 0;
        const int count = static_cast<int>(buttons_.size());
        int at = 0;
        while (at < count && buttons_[static_cast<size_t>(at)] != watched) ++at;
        if (step == 0 || at == count) return false;
        for (int k = 1; k < count; ++k) {
            QAbstractButton* next = buttons_[static_cast<size_t>((at + step * k + count * k) % count)];
            if (!next->isEnabled()) continue;
            next->setFocus(Qt::TabFocusReason);
            next->click();
            break;
        }
        return true;
    }

private:
    std::vector<QAbstractButton*> buttons_;
};

inline QSlider* makeTrackbar(int min, int max, int page) {
    auto* s = new QSlider(Qt::Horizontal);
    s->setRange(min, max);
    s->setPageStep(page);
    return s;
}

// OK and Cancel at the bottom right; closing the window counts as Cancel (QDialog's reject).
inline QPushButton* addOkCancel(QDialog* dlg, QBoxLayout* layout, QPushButton** cancelOut,
                                bool cancelIsDefault) {
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton("OK");
    auto* cancel = new QPushButton("Cancel");
    ok->setObjectName("ok");
    cancel->setObjectName("cancel");
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    (cancelIsDefault ? cancel : ok)->setDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    *cancelOut = cancel;
    return ok;
}
