#include "load_binary_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "machine.h"

LoadBinaryDialogView::LoadBinaryDialogView(QWidget* parent, Machine& m) : QDialog(parent), m_(m) {
    setWindowTitle("Load a binary file to memory");
    form = openLoadBinaryDialog(m.workingSettings);
    showErrors = [this](const std::string& text) {
        QMessageBox box(QMessageBox::Warning, loadBinaryErrorTitle, qs(text), QMessageBox::Ok, this);
        box.exec();
    };
    auto* top = new QVBoxLayout(this);
    fileName = new QLabel;
    setPathText(fileName, form.fileName);
    browse = new QPushButton("Browse");
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(fileName, 1);
    fileRow->addWidget(browse);
    top->addLayout(fileRow);
    top->addWidget(new QLabel("Addresses below are assumed decimal - precede hex entry with a $ "));
    auto* grid = new QGridLayout;
    // An address is read from its first seven characters; the fields take no more, so
    // what is typed is what is used.
    loadAddress = new QLineEdit(qs(form.loadText));
    loadAddress->setMaxLength(loadBinaryAddressLength);
    setExec = new QCheckBox("Set EXEC address to: ");
    execAddress = new QLineEdit(qs(form.execText));
    execAddress->setMaxLength(loadBinaryAddressLength);
    grid->addWidget(new QLabel("Load to address: "), 0, 0);
    grid->addWidget(loadAddress, 0, 1);
    grid->addWidget(setExec, 1, 0);
    grid->addWidget(execAddress, 1, 1);
    top->addLayout(grid);
    setChecked(setExec, form.pokeExec);
    ok = addOkCancel(this, top, &cancel, false);

    connect(browse, &QPushButton::clicked, this, [this] {
        if (loadBinaryBrowse(m_, form)) setPathText(fileName, form.fileName);
    });
    connect(setExec, &QCheckBox::toggled, this, [this](bool on) { form.pokeExec = on; });
    connect(loadAddress, &QLineEdit::textEdited, this, [this](const QString& t) { form.loadText = ss(t); });
    connect(execAddress, &QLineEdit::textEdited, this, [this](const QString& t) { form.execText = ss(t); });
    connect(ok, &QPushButton::clicked, this, [this] { okClicked(); });
    // The dialog opens ready for the load address to be typed.
    loadAddress->setFocus();
    loadAddress->selectAll();
}

void LoadBinaryDialogView::okClicked() {
    std::string errors = loadBinaryFile(m_, form);
    if (errors.empty())
        accept();
    else
        showErrors(errors);
}
