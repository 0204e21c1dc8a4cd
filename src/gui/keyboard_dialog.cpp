#include "keyboard_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "host_keys.h"
#include "machine.h"

CaptureField::CaptureField(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::ClickFocus);
    setMinimumHeight(fontMetrics().height() + 6);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet("CaptureField { border: 1px solid palette(mid); background: palette(base); }");
}

void CaptureField::setText(const QString& text) {
    text_ = text;
    update();
}

bool CaptureField::event(QEvent* e) {
    switch (e->type()) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
            e->accept();
            return true;
        default:
            return QWidget::event(e);
    }
}

void CaptureField::paintEvent(QPaintEvent* e) {
    QWidget::paintEvent(e);
    QPainter painter(this);
    painter.drawText(rect().adjusted(3, 2, 0, 0), Qt::AlignLeft | Qt::AlignTop, text_);
}

void CaptureField::mousePressEvent(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton && onClick) onClick();
    setFocus(Qt::MouseFocusReason);
}

KeyboardDialogView::KeyboardDialogView(QWidget* parent, Machine& m) : QDialog(parent), m_(m) {
    setWindowTitle("Configure Keyboard");
    d = openKeyboardDialog(m);
    auto* top = new QVBoxLayout(this);
    auto* kind = new QHBoxLayout;
    emulated = new QRadioButton("Emulated");
    sensible = new QRadioButton("Sensible");
    for (auto* b : {emulated, sensible}) b->setAutoExclusive(false);
    kind->addWidget(emulated);
    kind->addWidget(sensible);
    kind->addStretch();
    top->addLayout(kind);

    auto* assign = new QGroupBox("Assign Sensible Keys");
    auto* grid = new QGridLayout(assign);
    static const char* const modeTexts[3] = {"Assign PC keys to normal MC-10 keyboard",
                                             "Assign PC keys to SHIFT MC-10 keyboard",
                                             "Assign PC keys to CTRL MC-10 keyboard"};
    static const uint8_t modeValues[3] = {modeNormal, modeShift, modeCtrl};
    for (int i = 0; i < 3; ++i) {
        modes[i] = new QRadioButton(modeTexts[i]);
        modes[i]->setAutoExclusive(false);
        grid->addWidget(modes[i], i, 0, 1, 2);
        uint8_t mode = modeValues[i];
        connect(modes[i], &QRadioButton::clicked, this, [this, mode] { keyboardSelectMode(d, mode); refresh(); });
    }
    grid->addWidget(new QLabel("MC-10 keys (double click to edit)"), 3, 0);
    grid->addWidget(new QLabel("PC keys (double click to delete)"), 3, 1);
    mc10Keys = new QListWidget;
    pcKeys = new QListWidget;
    mc10Keys->setMinimumSize(220, 240);
    grid->addWidget(mc10Keys, 4, 0);
    grid->addWidget(pcKeys, 4, 1);
    capture = new CaptureField;
    grid->addWidget(capture, 5, 0, 1, 2);
    top->addWidget(assign);
    quicktypeLower = new QCheckBox("Quicktype can input lower case as lower case");
    top->addWidget(quicktypeLower);
    ok = addOkCancel(this, top, &cancel, false);

    connect(emulated, &QRadioButton::clicked, this, [this] {
        keyboardSelectKind(d, m_.workingSettings, true, m_.keyboard);
        refresh();
    });
    connect(sensible, &QRadioButton::clicked, this, [this] {
        keyboardSelectKind(d, m_.workingSettings, false, m_.keyboard);
        refresh();
    });
    // Arrow keys select within each group, as they move the focus.
    new ArrowKeySelection({emulated, sensible}, this);
    new ArrowKeySelection({modes[0], modes[1], modes[2]}, this);
    connect(quicktypeLower, &QCheckBox::toggled, this, [this](bool on) { d.quicktypeLower = on; });
    connect(mc10Keys, &QListWidget::currentRowChanged, this, [this](int row) {
        keyboardSelectMc10Key(d, m_.workingSettings, row);
        refresh();
    });
    connect(mc10Keys, &QListWidget::itemDoubleClicked, this, [this] {
        keyboardDoubleClickMc10(d);
        capture->setFocus(Qt::OtherFocusReason);
        refresh();
    });
    connect(pcKeys, &QListWidget::currentRowChanged, this, [this](int row) { keyboardSelectPcKey(d, row); });
    connect(pcKeys, &QListWidget::itemDoubleClicked, this, [this] {
        keyboardDeletePcKey(d, m_.workingSettings);
        refresh();
    });
    capture->onClick = [this] { captureClicked(); };
    connect(ok, &QPushButton::clicked, this, [this] {
        // A dialog opened in Sensible mode with an empty map is filled the same way.
        keyboardSelectKind(d, m_.workingSettings, d.emulated, m_.keyboard);
        keyboardOk(d, m_.workingSettings);
        accept();
    });
    qApp->installEventFilter(this);
    refresh();
}

bool KeyboardDialogView::eventFilter(QObject* watched, QEvent* e) {
    if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && watched->isWidgetType()) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (!k->isAutoRepeat()) {
            uint8_t vk = virtualKeyFor(*k);
            if (e->type() == QEvent::KeyPress)
                seen_.press(vk);
            else
                seen_.release(vk);
        }
    } else if (e->type() == QEvent::ApplicationDeactivate) {
        seen_.releaseAll();
    }
    return QDialog::eventFilter(watched, e);
}

void KeyboardDialogView::captureClicked() {
    uint8_t held[256];
    hostReadKeyboard(m_.host, held);
    for (int i = 0; i < 256; ++i) held[i] |= seen_.state[i];
    Qt::KeyboardModifiers mods = QGuiApplication::queryKeyboardModifiers();
    if (mods & Qt::ShiftModifier) held[vkShift] |= 0x80;
    if (mods & Qt::ControlModifier) held[vkControl] |= 0x80;
    keyboardCapture(d, m_.workingSettings, held);
    refresh();
}

void KeyboardDialogView::refresh() {
    setChecked(emulated, d.emulated);
    setChecked(sensible, !d.emulated);
    for (int i = 0; i < 3; ++i) setChecked(modes[i], d.mode == (i == 0 ? modeNormal : i == 1 ? modeShift : modeCtrl));
    setChecked(quicktypeLower, d.quicktypeLower);
    auto fill = [](QListWidget* list, const std::vector<std::string>& items, int selection) {
        QSignalBlocker block(list);
        bool same = list->count() == static_cast<int>(items.size());
        for (int i = 0; same && i < list->count(); ++i) same = list->item(i)->text() == qs(items[static_cast<size_t>(i)]);
        if (!same) {
            list->clear();
            for (const auto& s : items) list->addItem(qs(s));
        }
        list->setCurrentRow(selection);
    };
    fill(mc10Keys, d.mc10List, d.mc10Selection);
    fill(pcKeys, d.pcList, d.pcSelection);
    capture->setText(qs(d.captureText));
}
