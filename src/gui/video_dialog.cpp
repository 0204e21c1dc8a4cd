#include "video_dialog.h"

#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "machine.h"

namespace {
constexpr int swatchSize = 18;
QColor toQColor(Rgb c) { return QColor(c.r, c.g, c.b); }
Rgb toRgb(const QColor& c) {
    return Rgb{static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()), static_cast<uint8_t>(c.blue())};
}
}  // namespace

SwatchButton::SwatchButton(const Settings& w, int s) : slot(s), w_(w) {
    SwatchPlace p = swatchPlace(s);
    setFixedSize(p.half < 0 ? swatchSize * 2 : swatchSize, swatchSize);
    setToolTip(QString("%1, %2").arg(p.column == 3 ? (p.half == 0 ? "Color Set 0" : "Color Set 1")
                                                   : QString(swatchColumnHeadings[p.column][0]) + " " +
                                                         swatchColumnHeadings[p.column][1] + " " +
                                                         swatchColumnHeadings[p.column][2],
                                     swatchRowLabels[p.row]));
}

void SwatchButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBrush(toQColor(w_.colours[static_cast<size_t>(slot)]));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        // The keyboard focus: a dotted frame inside the swatch, black or white,
        // whichever stands out against the colour.
        const Rgb c = w_.colours[static_cast<size_t>(slot)];
        const bool light = c.r * 299 + c.g * 587 + c.b * 114 > 128000;
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(light ? Qt::black : Qt::white, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(2, 2, -3, -3));
    }
}

VideoDialogView::VideoDialogView(QWidget* parent, Machine& m) : QDialog(parent), m_(m) {
    setWindowTitle("Colors");
    seedCustomColours(m.dialogs);
    chooseColour = [this](Rgb& c) { return runColourDialog(c); };
    auto* top = new QVBoxLayout(this);

    auto* grid = new QGridLayout;
    for (int col = 0; col < swatchColumns; ++col) {
        auto* heading = new QLabel(QString("%1\n%2\n%3")
                                       .arg(swatchColumnHeadings[col][0], swatchColumnHeadings[col][1],
                                            swatchColumnHeadings[col][2]));
        heading->setAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        grid->addWidget(heading, 0, col + 1);
    }
    std::array<std::array<QHBoxLayout*, swatchColumns>, swatchRows> cells{};
    for (int row = 0; row < swatchRows; ++row) {
        grid->addWidget(new QLabel(swatchRowLabels[row]), row + 1, 0);
        for (int col = 0; col < swatchColumns; ++col) {
            cells[row][col] = new QHBoxLayout;
            cells[row][col]->setSpacing(0);
            grid->addLayout(cells[row][col], row + 1, col + 1, Qt::AlignCenter);
        }
    }
    for (int slot = 0; slot < colourSlotCount; ++slot) {
        auto* b = new SwatchButton(m.workingSettings, slot);
        SwatchPlace p = swatchPlace(slot);
        QHBoxLayout* cell = cells[p.row][p.column];
        if (p.half == 1 && cell->count() == 0) cell->addSpacing(swatchSize);  // right half alone
        cell->addWidget(b);
        if (p.half == 0 && slot != 41) cell->addSpacing(swatchSize);           // left half alone
        swatches[slot] = b;
        connect(b, &QPushButton::clicked, this, [this, slot] {
            Rgb c = m_.workingSettings.colours[static_cast<size_t>(slot)];
            if (chooseColour(c)) videoSetColour(m_.workingSettings, slot, c);
            swatches[slot]->update();
        });
    }
    top->addLayout(grid);

    auto* sizeBox = new QGroupBox("Window size");
    auto* sizeLayout = new QHBoxLayout(sizeBox);
    for (int i = 0; i < maximumWindowScale; ++i) {
        sizes[i] = new QRadioButton(windowSizeLabels[i]);
        sizeLayout->addWidget(sizes[i]);
        connect(sizes[i], &QRadioButton::clicked, this, [this, i] {
            videoSelectScale(m_.workingSettings, i + 1);
            refresh();
        });
    }
    top->addWidget(sizeBox);
    ok = addOkCancel(this, top, &cancel, false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    refresh();
}

bool VideoDialogView::runColourDialog(Rgb& c) {
    auto& custom = m_.dialogs.customColours;
    for (int i = 0; i < static_cast<int>(custom.size()); ++i)
        QColorDialog::setCustomColor(i, toQColor(custom[static_cast<size_t>(i)]));
    QColorDialog chooser(toQColor(c), this);
    bool confirmed = chooser.exec() == QDialog::Accepted;
    for (int i = 0; i < static_cast<int>(custom.size()); ++i)
        custom[static_cast<size_t>(i)] = toRgb(QColorDialog::customColor(i));
    if (confirmed) c = toRgb(chooser.selectedColor());
    return confirmed;
}

void VideoDialogView::refresh() {
    for (int i = 0; i < maximumWindowScale; ++i) setChecked(sizes[i], m_.workingSettings.windowscaling == i + 1);
}
