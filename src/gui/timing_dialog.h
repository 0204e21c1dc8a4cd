// The "Configure CPU Timing" dialog: a thin Qt view over TimingDialog. Cancel is the
// default button; a refused OK leaves the dialog open with the corrected fields.
//
//   TimingDialogView dlg(owner, m);
//   dlg.exec();
#pragma once
#include <QDialog>
#include <array>

#include "config/timing_dialog_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
struct Machine;

class TimingDialogView : public QDialog {
    Q_OBJECT
public:
    TimingDialogView(QWidget* parent, Machine& m);

    TimingDialog d;
    std::array<QRadioButton*, 4> speed{};  // NTSC, Pal, Custom, Fast!
    QSlider* speedSlider;
    QLabel* speedText;
    QPushButton* hundred;
    std::array<QLineEdit*, 3> fields{};
    std::array<QLabel*, 3> fieldLabels{};
    QCheckBox* videoCheck;
    QSlider* videoSlider;
    QLabel* videoText;
    QCheckBox* speedup;
    QPushButton *ok, *defaults, *cancel;

private:
    void refresh();
    Machine& m_;
};
