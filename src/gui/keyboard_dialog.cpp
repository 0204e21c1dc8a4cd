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

namespace {
// Linux evdev key numbers (X keycode - 8) to Windows virtual-key codes, US positions.
uint8_t virtualKeyOfEvdev(uint32_t k) {
    static const uint8_t table[128] = {
        0,    0x1B, '1',  '2',  '3',  '4',  '5',  '6',  '7',  '8',  '9',  '0',  0xBD, 0xBB, 0x08, 0x09,  // 0
        'Q',  'W',  'E',  'R',  'T',  'Y',  'U',  'I',  'O',  'P',  0xDB, 0xDD, 0x0D, 0x11, 'A',  'S',   // 16
        'D',  'F',  'G',  'H',  'J',  'K',  'L',  0xBA, 0xDE, 0xC0, 0x10, 0xDC, 'Z',  'X',  'C',  'V',   // 32
        'B',  'N',  'M',  0xBC, 0xBE, 0xBF, 0x10, 0x6A, 0x12, 0x20, 0x14, 0x70, 0x71, 0x72, 0x73, 0x74,  // 48
        0x75, 0x76, 0x77, 0x78, 0x79, 0x90, 0x91, 0x67, 0x68, 0x69, 0x6D, 0x64, 0x65, 0x66, 0x6B, 0x61,  // 64
        0x62, 0x63, 0x60, 0x6E, 0,    0,    0xE2, 0x7A, 0x7B, 0,    0,    0,    0,    0,    0,    0,     // 80
        0x0D, 0x11, 0x6F, 0x2C, 0x12, 0,    0x24, 0x26, 0x21, 0x25, 0x27, 0x23, 0x28, 0x22, 0x2D, 0x2E,  // 96
        0,    0,    0,    0,    0,    0,    0,    0x13, 0,    0,    0,    0,    0,    0,    0,    0};    // 112
    return k < 128 ? table[k] : 0;
}

uint8_t virtualKeyOfQtKey(int key, bool keypad) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z) return static_cast<uint8_t>(key);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) return static_cast<uint8_t>(keypad ? 0x60 + (key - Qt::Key_0) : key);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return static_cast<uint8_t>(0x70 + (key - Qt::Key_F1));
    switch (key) {
        case Qt::Key_Escape: return 0x1B;
        case Qt::Key_Backspace: return 0x08;
        case Qt::Key_Tab: return 0x09;
        case Qt::Key_Return: case Qt::Key_Enter: return 0x0D;
        case Qt::Key_Space: return 0x20;
        case Qt::Key_Shift: return vkShift;
        case Qt::Key_Control: return vkControl;
        case Qt::Key_Insert: return 0x2D;
        case Qt::Key_Delete: return 0x2E;
        case Qt::Key_Home: return 0x24;
        case Qt::Key_End: return 0x23;
        case Qt::Key_PageUp: return 0x21;
        case Qt::Key_PageDown: return 0x22;
        case Qt::Key_Left: return 0x25;
        case Qt::Key_Up: return 0x26;
        case Qt::Key_Right: return 0x27;
        case Qt::Key_Down: return 0x28;
        case Qt::Key_ScrollLock: return 0x91;
        case Qt::Key_Pause: return 0x13;
        case Qt::Key_Asterisk: return keypad ? 0x6A : 0;
        case Qt::Key_Plus: return keypad ? 0x6B : 0xBB;
        case Qt::Key_Minus: return keypad ? 0x6D : 0xBD;
        case Qt::Key_Period: return keypad ? 0x6E : 0xBE;
        case Qt::Key_Slash: return keypad ? 0x6F : 0xBF;
        default: return 0;
    }
}
}  // namespace

uint8_t virtualKeyOf(const QKeyEvent& e) {
    quint32 scan = e.nativeScanCode();
    if (scan > 8 && QGuiApplication::platformName().startsWith("xcb")) {
        if (uint8_t vk = virtualKeyOfEvdev(scan - 8)) return vk;
    }
    if (uint8_t vk = virtualKeyOfQtKey(e.key(), e.modifiers() & Qt::KeypadModifier)) return vk;
    QString t = e.text();
    if (t.size() == 1 && t[0].unicode() < 128) return usLayoutKeyForCharacter(static_cast<char>(t[0].unicode()));
    return 0;
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

    connect(emulated, &QRadioButton::clicked, this, [this] { d.emulated = true; refresh(); });
    connect(sensible, &QRadioButton::clicked, this, [this] { d.emulated = false; refresh(); });
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
    connect(ok, &QPushButton::clicked, this, [this] { keyboardOk(d, m_.workingSettings); accept(); });
    qApp->installEventFilter(this);
    refresh();
}

bool KeyboardDialogView::eventFilter(QObject* watched, QEvent* e) {
    if ((e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) && watched->isWidgetType()) {
        auto* k = static_cast<QKeyEvent*>(e);
        if (!k->isAutoRepeat()) {
            uint8_t vk = virtualKeyOf(*k);
            if (vk) seen_[vk] = e->type() == QEvent::KeyPress ? 0x80 : 0;
        }
    } else if (e->type() == QEvent::ApplicationDeactivate) {
        std::fill(std::begin(seen_), std::end(seen_), 0);
    }
    return QDialog::eventFilter(watched, e);
}

void KeyboardDialogView::captureClicked() {
    uint8_t held[256];
    hostReadKeyboard(m_.host, held);
    for (int i = 0; i < 256; ++i) held[i] |= seen_[i];
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
