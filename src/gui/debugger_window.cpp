// The debugger window: a view of the processor and memory, and the controls of
// m.debugger. It refreshes itself a few times a second while it is shown.
#include "debugger_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "cpu/opcodes.h"
#include "machine.h"

namespace {

constexpr int memoryRows = 16, memoryColumns = 8;
constexpr int listedInstructions = 24;
const char* const registerNames[5] = {"PC", "A", "B", "X", "SP"};
const char* const flagNames[6] = {"H", "I", "N", "Z", "V", "C"};
constexpr uint8_t flagBits[6] = {CC_H, CC_I, CC_N, CC_Z, CC_V, CC_C};

// "$4010", "4010", "0x4010": hexadecimal.
bool parseHex(QString text, uint16_t& out) {
    text = text.trimmed();
    if (text.startsWith('$')) text.remove(0, 1);
    else if (text.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) text.remove(0, 2);
    bool ok = false;
    const uint v = text.toUInt(&ok, 16);
    if (!ok || v > 0xFFFF) return false;
    out = static_cast<uint16_t>(v);
    return true;
}

QString hex(unsigned v, int digits) { return QStringLiteral("%1").arg(v, digits, 16, QLatin1Char('0')).toUpper(); }

// The character the text screen shows for a byte: inverse letters in lower case,
// semigraphic cells as '#'.
QChar screenChar(uint8_t c) {
    if (c >= 0x80) return QLatin1Char('#');
    const uint8_t code = c & 0x3F;
    char ch = static_cast<char>(code < 0x20 ? code + 0x40 : code);
    if (c < 0x40 && ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
    return QLatin1Char(ch);
}

// Writes a byte where the processor would read it, without any device side effect.
void pokeMemory(Machine& m, uint16_t address, uint8_t value) {
    const int16_t page = m.mem.readPage[address >> 8];
    if (page >= 0) m.mem.addressSpace[(static_cast<unsigned>(page) << 8) | (address & 0xFFu)] = value;
    else m.mem.addressSpace[address] = value;
}

}  // namespace

DebuggerWindow::DebuggerWindow(Machine& m, QWidget* parent) : QWidget(parent, Qt::Window), m_(m) {
    setWindowTitle(QStringLiteral("Debugger"));
    auto* top = new QVBoxLayout(this);

    status_ = new QLabel(this);
    status_->setWordWrap(true);
    top->addWidget(status_);

    auto* buttons = new QHBoxLayout;
    runButton_ = new QPushButton(QStringLiteral("Break"), this);
    auto* stepButton = new QPushButton(QStringLiteral("Step"), this);
    auto* overButton = new QPushButton(QStringLiteral("Step Over"), this);
    auto* cursorButton = new QPushButton(QStringLiteral("Run to Cursor"), this);
    for (QPushButton* b : {runButton_, stepButton, overButton, cursorButton}) buttons->addWidget(b);
    buttons->addStretch();
    top->addLayout(buttons);
    connect(runButton_, &QPushButton::clicked, this, &DebuggerWindow::pauseOrContinue);
    connect(stepButton, &QPushButton::clicked, this, &DebuggerWindow::step);
    connect(overButton, &QPushButton::clicked, this, &DebuggerWindow::stepOver);
    connect(cursorButton, &QPushButton::clicked, this, &DebuggerWindow::runToCursor);

    auto* middle = new QHBoxLayout;
    top->addLayout(middle);

    // Registers, flags, cycles and timer.
    auto* regBox = new QGroupBox(QStringLiteral("Registers"), this);
    auto* regGrid = new QGridLayout(regBox);
    for (int i = 0; i < 5; ++i) {
        regGrid->addWidget(new QLabel(QString::fromLatin1(registerNames[i]), regBox), i, 0);
        regs_[i] = new QLineEdit(regBox);
        regs_[i]->setMaximumWidth(70);
        regGrid->addWidget(regs_[i], i, 1);
        connect(regs_[i], &QLineEdit::editingFinished, this, [this, i] { applyRegister(i); });
    }
    auto* flagRow = new QHBoxLayout;
    for (int i = 0; i < 6; ++i) {
        flags_[i] = new QCheckBox(QString::fromLatin1(flagNames[i]), regBox);
        flagRow->addWidget(flags_[i]);
        connect(flags_[i], &QCheckBox::clicked, this, &DebuggerWindow::applyFlags);
    }
    regGrid->addLayout(flagRow, 5, 0, 1, 2);
    cycles_ = new QLabel(regBox);
    timer_regs_ = new QLabel(regBox);
    regGrid->addWidget(cycles_, 6, 0, 1, 2);
    regGrid->addWidget(timer_regs_, 7, 0, 1, 2);
    regGrid->setRowStretch(8, 1);
    middle->addWidget(regBox);

    // Disassembly: double-click toggles a breakpoint.
    disassembly_ = new QListWidget(this);
    disassembly_->setFont(QFont(QStringLiteral("Monospace")));
    disassembly_->setMinimumWidth(260);
    connect(disassembly_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const uint16_t a = static_cast<uint16_t>(item->data(Qt::UserRole).toUInt());
        auto& bps = m_.debugger.breakpoints;
        auto it = std::find(bps.begin(), bps.end(), a);
        if (it != bps.end()) bps.erase(it);
        else bps.push_back(a);
        debuggerChanged(m_);
        rebuildLists();
        refresh();
    });
    middle->addWidget(disassembly_, 1);

    // Memory.
    auto* memBox = new QGroupBox(QStringLiteral("Memory"), this);
    auto* memLayout = new QVBoxLayout(memBox);
    memoryAddress_ = new QLineEdit(QStringLiteral("$4000"), memBox);
    memLayout->addWidget(memoryAddress_);
    connect(memoryAddress_, &QLineEdit::editingFinished, this, [this] {
        uint16_t a = 0;
        if (parseHex(memoryAddress_->text(), a)) memoryBase_ = static_cast<uint16_t>(a & 0xFFF8);
        showMemory();
    });
    memory_ = new QTableWidget(memoryRows, memoryColumns + 1, memBox);
    memory_->setFont(QFont(QStringLiteral("Monospace")));
    memory_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    memory_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    QStringList heads;
    for (int c = 0; c < memoryColumns; ++c) heads << QString::number(c);
    heads << QStringLiteral("Text");
    memory_->setHorizontalHeaderLabels(heads);
    connect(memory_, &QTableWidget::cellChanged, this, &DebuggerWindow::memoryEdited);
    memLayout->addWidget(memory_);
    middle->addWidget(memBox);

    // Breakpoints and watchpoints.
    auto* lists = new QHBoxLayout;
    top->addLayout(lists);
    auto* breakBox = new QGroupBox(QStringLiteral("Breakpoints"), this);
    auto* breakLayout = new QGridLayout(breakBox);
    breakList_ = new QListWidget(breakBox);
    breakField_ = new QLineEdit(breakBox);
    breakField_->setPlaceholderText(QStringLiteral("$4010"));
    auto* breakAdd = new QPushButton(QStringLiteral("Add"), breakBox);
    auto* breakRemove = new QPushButton(QStringLiteral("Remove"), breakBox);
    breakLayout->addWidget(breakList_, 0, 0, 1, 3);
    breakLayout->addWidget(breakField_, 1, 0);
    breakLayout->addWidget(breakAdd, 1, 1);
    breakLayout->addWidget(breakRemove, 1, 2);
    connect(breakAdd, &QPushButton::clicked, this, [this] {
        uint16_t a = 0;
        if (parseHex(breakField_->text(), a)) addBreakpoint(a);
    });
    connect(breakRemove, &QPushButton::clicked, this, [this] { removeSelected(breakList_, true); });
    lists->addWidget(breakBox);

    auto* watchBox = new QGroupBox(QStringLiteral("Watchpoints"), this);
    auto* watchLayout = new QGridLayout(watchBox);
    watchList_ = new QListWidget(watchBox);
    watchFirst_ = new QLineEdit(watchBox);
    watchFirst_->setPlaceholderText(QStringLiteral("from $4000"));
    watchLast_ = new QLineEdit(watchBox);
    watchLast_->setPlaceholderText(QStringLiteral("to $41FF"));
    watchRead_ = new QCheckBox(QStringLiteral("Read"), watchBox);
    watchWrite_ = new QCheckBox(QStringLiteral("Write"), watchBox);
    watchWrite_->setChecked(true);
    auto* watchAdd = new QPushButton(QStringLiteral("Add"), watchBox);
    auto* watchRemove = new QPushButton(QStringLiteral("Remove"), watchBox);
    watchLayout->addWidget(watchList_, 0, 0, 1, 6);
    watchLayout->addWidget(watchFirst_, 1, 0);
    watchLayout->addWidget(watchLast_, 1, 1);
    watchLayout->addWidget(watchRead_, 1, 2);
    watchLayout->addWidget(watchWrite_, 1, 3);
    watchLayout->addWidget(watchAdd, 1, 4);
    watchLayout->addWidget(watchRemove, 1, 5);
    connect(watchAdd, &QPushButton::clicked, this, [this] {
        uint16_t first = 0, last = 0;
        if (!parseHex(watchFirst_->text(), first)) return;
        if (!parseHex(watchLast_->text(), last)) last = first;
        addWatchpoint(std::min(first, last), std::max(first, last), watchRead_->isChecked(), watchWrite_->isChecked());
    });
    connect(watchRemove, &QPushButton::clicked, this, [this] { removeSelected(watchList_, false); });
    lists->addWidget(watchBox);

    rebuildLists();
    refresh();
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (isVisible()) refresh();
    });
    timer_.start(200);
}

QString DebuggerWindow::statusText() const { return status_->text(); }

void DebuggerWindow::refresh() {
    const CpuState& c = m_.cpu;
    const Debugger& d = m_.debugger;
    status_->setText(d.paused ? QString::fromStdString(d.stopText) : QStringLiteral("Running"));
    runButton_->setText(d.paused ? QStringLiteral("Continue") : QStringLiteral("Break"));

    const unsigned values[5] = {c.pc, c.a(), c.b(), c.x, c.sp};
    const int digits[5] = {4, 2, 2, 4, 4};
    for (int i = 0; i < 5; ++i)
        if (!regs_[i]->hasFocus()) regs_[i]->setText(hex(values[i], digits[i]));
    for (int i = 0; i < 6; ++i) flags_[i]->setChecked((c.cc & flagBits[i]) != 0);
    cycles_->setText(QStringLiteral("Cycles %1").arg(currentCycles(m_.cycles)));
    timer_regs_->setText(QStringLiteral("Counter %1  Compare %2\nTCSR %3")
                             .arg(hex(c.counter & 0xFFFF, 4), hex(c.outputCompare & 0xFFFF, 4), hex(c.tcsr, 2)));

    // The listing follows pc: it stays put while pc is inside it, else starts a little
    // before pc at an address whose instructions lead exactly to pc.
    bool inside = false;
    for (int i = 0; i < disassembly_->count() - 4; ++i)
        if (disassembly_->item(i)->data(Qt::UserRole).toUInt() == c.pc) inside = true;
    if (!inside) {
        listedFrom_ = c.pc;
        for (int back = 12; back > 0; --back) {
            uint16_t a = static_cast<uint16_t>(c.pc - back);
            while (static_cast<uint16_t>(c.pc - a) <= 12 && a != c.pc) a = static_cast<uint16_t>(a + disassemble(m_, a).length);
            if (a == c.pc) {
                listedFrom_ = static_cast<uint16_t>(c.pc - back);
                break;
            }
        }
    }
    const int selected = disassembly_->currentRow();
    disassembly_->clear();
    uint16_t a = listedFrom_;
    for (int i = 0; i < listedInstructions; ++i) {
        const Disassembly dis = disassemble(m_, a);
        const bool bp = !d.breakMap.empty() && d.breakMap[a];
        QString line = QStringLiteral("%1%2 %3  %4")
                           .arg(a == c.pc ? QStringLiteral(">") : QStringLiteral(" "),
                                bp ? QStringLiteral("*") : QStringLiteral(" "), hex(a, 4),
                                QString::fromStdString(dis.text));
        auto* item = new QListWidgetItem(line, disassembly_);
        item->setData(Qt::UserRole, a);
        a = static_cast<uint16_t>(a + dis.length);
    }
    if (selected >= 0 && selected < disassembly_->count()) disassembly_->setCurrentRow(selected);
    showMemory();
}

void DebuggerWindow::showMemory() {
    // A cell being edited keeps what is typed into it.
    QWidget* focus = QApplication::focusWidget();
    if (focus && memory_->viewport()->isAncestorOf(focus)) return;
    filling_ = true;
    QStringList rows;
    for (int r = 0; r < memoryRows; ++r) {
        const uint16_t rowBase = static_cast<uint16_t>(memoryBase_ + r * memoryColumns);
        rows << hex(rowBase, 4);
        QString text;
        for (int col = 0; col < memoryColumns; ++col) {
            const uint8_t v = peekMemory(m_, static_cast<uint16_t>(rowBase + col));
            auto* item = memory_->item(r, col);
            if (!item) memory_->setItem(r, col, item = new QTableWidgetItem);
            item->setText(hex(v, 2));
            text += screenChar(v);
        }
        auto* item = memory_->item(r, memoryColumns);
        if (!item) {
            memory_->setItem(r, memoryColumns, item = new QTableWidgetItem);
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        }
        item->setText(text);
    }
    memory_->setVerticalHeaderLabels(rows);
    filling_ = false;
}

void DebuggerWindow::memoryEdited(int row, int column) {
    if (filling_ || column >= memoryColumns) return;
    bool ok = false;
    const uint v = memory_->item(row, column)->text().trimmed().toUInt(&ok, 16);
    if (ok && v <= 0xFF)
        pokeMemory(m_, static_cast<uint16_t>(memoryBase_ + row * memoryColumns + column), static_cast<uint8_t>(v));
    showMemory();
}

void DebuggerWindow::applyRegister(int i) {
    uint16_t v = 0;
    CpuState& c = m_.cpu;
    if (parseHex(regs_[i]->text(), v)) {
        switch (i) {
            case 0: c.pc = v; break;
            case 1: c.d = static_cast<uint16_t>((v & 0xFF) << 8 | (c.d & 0xFF)); break;
            case 2: c.d = static_cast<uint16_t>((c.d & 0xFF00) | (v & 0xFF)); break;
            case 3: c.x = v; break;
            default: c.sp = v; break;
        }
        if (i == 0) m_.debugger.resumeQuietly = false;  // a stop at the new pc counts again
    }
    regs_[i]->clearFocus();
    refresh();
}

void DebuggerWindow::applyFlags() {
    uint8_t cc = m_.cpu.cc;
    for (int i = 0; i < 6; ++i) cc = flags_[i]->isChecked() ? (cc | flagBits[i]) : (cc & ~flagBits[i]);
    m_.cpu.cc = cc;
    refresh();
}

void DebuggerWindow::rebuildLists() {
    breakList_->clear();
    for (uint16_t a : m_.debugger.breakpoints) breakList_->addItem(QStringLiteral("$") + hex(a, 4));
    watchList_->clear();
    for (const Watchpoint& w : m_.debugger.watchpoints)
        watchList_->addItem(QStringLiteral("$%1-$%2 %3%4")
                                .arg(hex(w.first, 4), hex(w.last, 4), w.onRead ? QStringLiteral("R") : QString(),
                                     w.onWrite ? QStringLiteral("W") : QString()));
}

void DebuggerWindow::addBreakpoint(uint16_t address) {
    auto& bps = m_.debugger.breakpoints;
    if (std::find(bps.begin(), bps.end(), address) == bps.end()) bps.push_back(address);
    debuggerChanged(m_);
    rebuildLists();
    refresh();
}

void DebuggerWindow::addWatchpoint(uint16_t first, uint16_t last, bool onRead, bool onWrite) {
    if (!onRead && !onWrite) return;
    m_.debugger.watchpoints.push_back({first, last, onRead, onWrite});
    debuggerChanged(m_);
    rebuildLists();
}

void DebuggerWindow::removeSelected(QListWidget* list, bool breakpoints) {
    const int row = list->currentRow();
    if (row < 0) return;
    if (breakpoints) {
        auto& v = m_.debugger.breakpoints;
        if (row < static_cast<int>(v.size())) v.erase(v.begin() + row);
    } else {
        auto& v = m_.debugger.watchpoints;
        if (row < static_cast<int>(v.size())) v.erase(v.begin() + row);
    }
    debuggerChanged(m_);
    rebuildLists();
    refresh();
}

void DebuggerWindow::pauseOrContinue() {
    if (m_.debugger.paused) debuggerContinue(m_);
    else debuggerPause(m_);
    refresh();
}

void DebuggerWindow::step() {
    if (!m_.debugger.paused) debuggerPause(m_);
    else debuggerStep(m_);
    refresh();
}

void DebuggerWindow::stepOver() {
    if (!m_.debugger.paused) debuggerPause(m_);
    else debuggerStepOver(m_);
    refresh();
}

void DebuggerWindow::runToCursor() {
    QListWidgetItem* item = disassembly_->currentItem();
    if (!item) return;
    debuggerRunTo(m_, static_cast<uint16_t>(item->data(Qt::UserRole).toUInt()));
    refresh();
}
