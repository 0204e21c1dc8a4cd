// The "Load a binary file to memory" dialog: a thin Qt view over LoadBinaryForm. OK runs
// the loader; on errors their one message box (owned by this dialog) appears and the
// dialog stays open.
//
//   LoadBinaryDialogView dlg(owner, m);
//   dlg.showErrors = [](const std::string&) {};   // tests
//   dlg.exec();   // Accepted only after a successful load
#pragma once
#include <QDialog>
#include <functional>
#include <string>

#include "config/load_binary_dialog_model.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
struct Machine;

class LoadBinaryDialogView : public QDialog {
    Q_OBJECT
public:
    LoadBinaryDialogView(QWidget* parent, Machine& m);

    LoadBinaryForm form;
    std::function<void(const std::string& text)> showErrors;
    QLabel* fileName;
    QPushButton* browse;
    QLineEdit *loadAddress, *execAddress;
    QCheckBox* setExec;
    QPushButton *ok, *cancel;

private:
    void okClicked();
    Machine& m_;
};
