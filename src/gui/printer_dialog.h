// The "Configure Serial Printer" dialog: a thin Qt view over PrinterDialog.
//
//   PrinterDialogView dlg(owner, m);
//   dlg.exec();   // OK: the PRINTER fields of m.workingSettings are set
#pragma once
#include <QDialog>

#include "config/printer_dialog_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct Machine;

class PrinterDialogView : public QDialog {
    Q_OBJECT
public:
    PrinterDialogView(QWidget* parent, Machine& m);

    PrinterDialog d;
    QCheckBox* autoLinefeed;
    QRadioButton *unlimited, *fixed;
    QLineEdit* width;
    QPushButton* browse;
    QLabel* fileName;
    QPushButton *ok, *cancel;

private:
    void refresh();
    Machine& m_;
};
