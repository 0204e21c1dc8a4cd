// The "Configure MC-10 Memory" dialog: a thin Qt view over MemoryDialog. OK stores the
// seven MEMORY flags in the working copy and accepts.
//
//   MemoryDialogView dlg(owner, m);   // m.workingSettings already copied from m.settings
//   if (dlg.exec() == QDialog::Accepted) { ... }
#pragma once
#include <QDialog>
#include <array>

#include "config/memory_dialog_model.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QRadioButton;
struct Machine;

class MemoryDialogView : public QDialog {
    Q_OBJECT
public:
    MemoryDialogView(QWidget* parent, Machine& m);

    MemoryDialog d;
    QRadioButton *normal, *enhanced;
    QCheckBox *expander, *ramAtC000, *writeRom;
    std::array<QRadioButton*, 3> builtin{}, fromFile{};
    std::array<QPushButton*, 3> browse{};
    std::array<QLabel*, 3> fileName{};
    QPushButton *ok, *cancel;

private:
    void refresh();
    Machine& m_;
};
