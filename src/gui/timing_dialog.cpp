#include "timing_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "machine.h"

TimingDialogView::TimingDialogView(QWidget* parent, Machine& m) : QDialog(parent), m_(m) {
    setWindowTitle("Configure CPU Timing");
    auto* top = new QVBoxLayout(this);
    Settings& w = m.workingSettings;

    auto* timingBox = new QGroupBox("CPU Timing");
    auto* timing = new QGridLayout(timingBox);
    for (int i = 0; i < 4; ++i) {
        speed[i] = new QRadioButton(speedOptionLabels[i]);
        speed[i]->setAutoExclusive(false);  // checked only through the handlers
        timing->addWidget(speed[i], i, 0, 1, 3);
        auto option = static_cast<SpeedOption>(i);
        connect(speed[i], &QRadioButton::clicked, this, [this, option] {
            timingClickSpeed(d, m_.workingSettings, option);
            refresh();
        });
    }
    new ArrowKeySelection({speed[0], speed[1], speed[2], speed[3]}, this);
    speedSlider = makeTrackbar(speedSliderMin, speedSliderMax, speedSliderPage);
    speedText = new QLabel;
    hundred = new QPushButton("100%");
    timing->addWidget(speedSlider, 4, 0, 1, 2);
    timing->addWidget(hundred, 4, 2);
    timing->addWidget(speedText, 5, 0, 1, 3);
    for (int i = 0; i < 3; ++i) {
        fields[i] = new QLineEdit;
        fieldLabels[i] = new QLabel(timingFieldLabels[i]);
        timing->addWidget(fields[i], 6 + i, 0);
        timing->addWidget(fieldLabels[i], 6 + i, 1, 1, 2);
        connect(fields[i], &QLineEdit::textEdited, this, [this, i](const QString& t) { d.fields[i] = ss(t); });
    }
    top->addWidget(timingBox);

    auto* videoBox = new QGroupBox("Video Updating");
    auto* video = new QVBoxLayout(videoBox);
    videoCheck = new QCheckBox("Try to update this many times per second:");
    videoSlider = makeTrackbar(videoSliderMin, videoSliderMax, videoSliderPage);
    videoText = new QLabel;
    video->addWidget(videoCheck);
    video->addWidget(videoSlider);
    video->addWidget(videoText);
    top->addWidget(videoBox);

    auto* otherBox = new QGroupBox("Other");
    auto* other = new QVBoxLayout(otherBox);
    speedup = new QCheckBox("Speed up when accessing files");
    other->addWidget(speedup);
    top->addWidget(otherBox);

    ok = addOkCancel(this, top, &cancel, true);
    defaults = new QPushButton("Default");
    defaults->setObjectName("default");
    if (auto* row = qobject_cast<QHBoxLayout*>(top->itemAt(top->count() - 1)->layout()))
        row->insertWidget(row->indexOf(ok) + 1, defaults);

    d = openTimingDialog(w);
    connect(speedSlider, &QSlider::valueChanged, this, [this](int pos) {
        timingScrollSpeed(d, m_.workingSettings, pos);
        refresh();
    });
    connect(videoSlider, &QSlider::valueChanged, this, [this](int pos) {
        timingScrollVideo(d, m_.workingSettings, pos);
        refresh();
    });
    connect(hundred, &QPushButton::clicked, this, [this] { timingClick100(d, m_.workingSettings); refresh(); });
    connect(speedup, &QCheckBox::clicked, this, [this] { timingClickSpeedup(d); refresh(); });
    connect(videoCheck, &QCheckBox::clicked, this, [this] { timingClickVideo(d); refresh(); });
    connect(defaults, &QPushButton::clicked, this, [this] { timingDefault(d, m_.workingSettings); refresh(); });
    connect(ok, &QPushButton::clicked, this, [this] {
        if (timingOk(d, m_.workingSettings)) {
            accept();
            return;
        }
        refresh();
        if (!d.message.empty()) {
            QMessageBox box(QMessageBox::Warning, QStringLiteral("Configure CPU Timing"), qs(d.message),
                            QMessageBox::Ok, this);
            box.exec();
        }
    });
    refresh();
}

void TimingDialogView::refresh() {
    for (int i = 0; i < 4; ++i) setChecked(speed[i], static_cast<int>(d.selected) == i);
    speedSlider->setEnabled(d.speedEnabled);
    speedText->setEnabled(d.speedEnabled);
    hundred->setEnabled(d.speedEnabled);
    setSliderValue(speedSlider, d.speedPosition);
    speedText->setText(qs(d.speedText));
    for (int i = 0; i < 3; ++i) {
        fields[i]->setEnabled(d.fieldsEnabled);
        fieldLabels[i]->setEnabled(d.fieldsEnabled);
        setFieldText(fields[i], d.fields[i]);
    }
    setChecked(videoCheck, d.videoChecked);
    videoSlider->setEnabled(d.videoEnabled);
    videoText->setEnabled(d.videoEnabled);
    setSliderValue(videoSlider, d.videoPosition);
    videoText->setText(qs(d.videoText));
    setChecked(speedup, d.speedupChecked);
}
