#include "memory_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "machine.h"

namespace {
const char* const pairTexts[3][2] = {
    {"Use built-in 8K BASIC ROM", "Load 8K BASIC ROM from file"},
    {"Use built-in 768 byte Character  ROM", "Load 768 byte Character ROM from file"},
    {"No external character definition ROM", "Load external 4K Character ROM from file"}};

QCheckBox* indented(QVBoxLayout* layout, const char* text) {
    auto* box = new QCheckBox(text);
    auto* row = new QHBoxLayout;
    row->addSpacing(20);
    row->addWidget(box);
    layout->addLayout(row);
    return box;
}
}  // namespace

MemoryDialogView::MemoryDialogView(QWidget* parent, Machine& m) : QDialog(parent), m_(m) {
    setWindowTitle("Configure MC-10 Memory");
    d = openMemoryDialog(m.workingSettings);
    auto* top = new QVBoxLayout(this);

    auto* ram = new QGroupBox("RAM");
    auto* ramLayout = new QVBoxLayout(ram);
    normal = new QRadioButton("Normal (as sold in stores) 4000-4FFF");
    ramLayout->addWidget(normal);
    expander = indented(ramLayout, "+ 16K RAM Expansion (As sold in stores) 5000-8FFF");
    enhanced = new QRadioButton("Enhanced 0100-BEFF");
    ramLayout->addWidget(enhanced);
    ramAtC000 = indented(ramLayout, "+ RAM at C000-DFFF");
    writeRom = indented(ramLayout, "Make ROM writeable E000-FFFF");
    top->addWidget(ram);

    auto* rom = new QGroupBox("ROM (Emulator only)");
    auto* romLayout = new QGridLayout(rom);
    for (int i = 0; i < 3; ++i) {
        auto* group = new QButtonGroup(this);
        builtin[i] = new QRadioButton(pairTexts[i][0]);
        fromFile[i] = new QRadioButton(pairTexts[i][1]);
        group->addButton(builtin[i]);
        group->addButton(fromFile[i]);
        browse[i] = new QPushButton("Browse");
        fileName[i] = new QLabel("(none)");
        romLayout->addWidget(builtin[i], i * 3, 0, 1, 2);
        romLayout->addWidget(fromFile[i], i * 3 + 1, 0, 1, 2);
        romLayout->addWidget(browse[i], i * 3 + 2, 0);
        romLayout->addWidget(fileName[i], i * 3 + 2, 1);
        auto pair = static_cast<RomPair>(i);
        connect(builtin[i], &QRadioButton::clicked, this, [this, pair] { memorySelectRom(d, pair, true); refresh(); });
        connect(fromFile[i], &QRadioButton::clicked, this, [this, pair] { memorySelectRom(d, pair, false); refresh(); });
        connect(browse[i], &QPushButton::clicked, this, [this, pair] { memoryBrowse(m_, pair); refresh(); });
    }
    top->addWidget(rom);
    top->addWidget(new QLabel("NOTE:  Clicking \"OK\" will hard reset the emulator."));
    ok = addOkCancel(this, top, &cancel, false);

    connect(normal, &QRadioButton::clicked, this, [this] { memorySelectLayout(d, false); refresh(); });
    connect(enhanced, &QRadioButton::clicked, this, [this] { memorySelectLayout(d, true); refresh(); });
    connect(expander, &QCheckBox::toggled, this, [this](bool on) { d.expander = on; });
    connect(ramAtC000, &QCheckBox::toggled, this, [this](bool on) { d.ramAtC000 = on; });
    connect(writeRom, &QCheckBox::toggled, this, [this](bool on) { d.writeRom = on; });
    connect(ok, &QPushButton::clicked, this, [this] { memoryOk(d, m_.workingSettings); accept(); });
    refresh();
}

void MemoryDialogView::refresh() {
    setChecked(normal, !d.enhanced);
    setChecked(enhanced, d.enhanced);
    setChecked(expander, d.expander);
    setChecked(ramAtC000, d.ramAtC000);
    setChecked(writeRom, d.writeRom);
    expander->setEnabled(memoryExpanderEnabled(d));
    ramAtC000->setEnabled(memoryEnhancedOptionsEnabled(d));
    writeRom->setEnabled(memoryEnhancedOptionsEnabled(d));
    for (int i = 0; i < 3; ++i) {
        auto pair = static_cast<RomPair>(i);
        setChecked(builtin[i], d.builtin[i]);
        setChecked(fromFile[i], !d.builtin[i]);
        browse[i]->setEnabled(memoryRomFileEnabled(d, pair));
        fileName[i]->setEnabled(memoryRomFileEnabled(d, pair));
        setPathText(fileName[i], memoryRomFileName(m_.workingSettings, pair));
    }
}
