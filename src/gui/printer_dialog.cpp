#include "printer_dialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "machine.h"

PrinterDialogView::PrinterDialogView(QWidget* parent, Machine& m) : QDialog(parent), m_(m) {
    setWindowTitle("Configure Serial Printer");
    d = openPrinterDialog(m.workingSettings);
    auto* top = new QVBoxLayout(this);
    auto* note = new QLabel(
        "NOTE:  This emulator sends all printer output to a file.  It does NOT attempt to print to a real printer.");
    note->setWordWrap(true);
    top->addWidget(note);
    autoLinefeed = new QCheckBox("Automatic linefeed following carriage return");
    top->addWidget(autoLinefeed);

    auto* widthBox = new QGroupBox("Printer Width");
    auto* widthLayout = new QVBoxLayout(widthBox);
    unlimited = new QRadioButton("Unlimited width");
    fixed = new QRadioButton("Fixed width at ");
    width = new QLineEdit;
    width->setMaximumWidth(80);
    auto* fixedRow = new QHBoxLayout;
    fixedRow->addWidget(fixed);
    fixedRow->addWidget(width);
    fixedRow->addWidget(new QLabel("characters"));
    fixedRow->addStretch();
    widthLayout->addWidget(unlimited);
    widthLayout->addLayout(fixedRow);
    top->addWidget(widthBox);

    auto* fileBox = new QGroupBox("Filename for Printer Output");
    auto* fileLayout = new QHBoxLayout(fileBox);
    browse = new QPushButton("Browse");
    fileName = new QLabel("(Under Construction)");
    fileLayout->addWidget(browse);
    fileLayout->addWidget(fileName, 1);
    top->addWidget(fileBox);
    ok = addOkCancel(this, top, &cancel, false);

    connect(autoLinefeed, &QCheckBox::toggled, this, [this](bool on) { d.autoLinefeed = on; });
    connect(unlimited, &QRadioButton::clicked, this, [this] { d.fixedWidth = false; refresh(); });
    connect(fixed, &QRadioButton::clicked, this, [this] { d.fixedWidth = true; refresh(); });
    connect(width, &QLineEdit::textEdited, this, [this](const QString& t) { d.widthText = ss(t); });
    connect(browse, &QPushButton::clicked, this, [this] { printerBrowse(m_, d); refresh(); });
    connect(ok, &QPushButton::clicked, this, [this] { printerOk(d, m_.workingSettings); accept(); });
    refresh();
}

void PrinterDialogView::refresh() {
    setChecked(autoLinefeed, d.autoLinefeed);
    setChecked(unlimited, !d.fixedWidth);
    setChecked(fixed, d.fixedWidth);
    setFieldText(width, d.widthText);
    width->setEnabled(printerWidthEnabled(d));
    setPathText(fileName, d.fileName);
}
