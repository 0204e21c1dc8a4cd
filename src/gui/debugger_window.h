// "Util > Debugger": registers and flags (editable), the disassembly around pc, a
// memory view (hex and screen characters, editable), breakpoints, watchpoints, the
// stepping commands, the cycle count and the timer registers. The window reads and
// drives m.debugger (debug/debugger.h); emulation pauses at a stop and the window says why.
//
//   auto* w = new DebuggerWindow(m, mainWindow);
//   w->show();
#pragma once
#include <QWidget>
#include <QTimer>

struct Machine;
class QLabel;
class QLineEdit;
class QCheckBox;
class QListWidget;
class QTableWidget;
class QPushButton;

class DebuggerWindow : public QWidget {
    Q_OBJECT
public:
    DebuggerWindow(Machine& m, QWidget* parent);

    // Reads everything shown back from the machine (fields being edited are kept).
    void refresh();
    void addBreakpoint(uint16_t address);
    void addWatchpoint(uint16_t first, uint16_t last, bool onRead, bool onWrite);
    QString statusText() const;
    QListWidget* disassemblyView() const { return disassembly_; }
    QTableWidget* memoryView() const { return memory_; }
    QLineEdit* registerField(int i) const { return regs_[i]; }

    // The commands of the buttons.
    void pauseOrContinue();
    void step();
    void stepOver();
    void runToCursor();

private:
    void applyRegister(int i);
    void applyFlags();
    void showMemory();
    void memoryEdited(int row, int column);
    void rebuildLists();
    void removeSelected(QListWidget* list, bool breakpoints);

    Machine& m_;
    QTimer timer_;
    QLabel* status_ = nullptr;
    QLabel* cycles_ = nullptr;
    QLabel* timer_regs_ = nullptr;
    QLineEdit* regs_[5] = {};  // PC A B X SP
    QCheckBox* flags_[6] = {};  // H I N Z V C
    QListWidget* disassembly_ = nullptr;
    QLineEdit* memoryAddress_ = nullptr;
    QTableWidget* memory_ = nullptr;
    QListWidget* breakList_ = nullptr;
    QListWidget* watchList_ = nullptr;
    QLineEdit* breakField_ = nullptr;
    QLineEdit* watchFirst_ = nullptr;
    QLineEdit* watchLast_ = nullptr;
    QCheckBox* watchRead_ = nullptr;
    QCheckBox* watchWrite_ = nullptr;
    QPushButton* runButton_ = nullptr;
    uint16_t memoryBase_ = 0x4000;
    uint16_t listedFrom_ = 0;
    bool filling_ = false;
};
