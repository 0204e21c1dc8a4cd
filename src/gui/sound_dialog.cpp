#include "sound_dialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QVBoxLayout>

#include "dialog_util.h"
#include "machine.h"

SoundDialogView::SoundDialogView(QWidget* parent, Machine& m) : QDialog(parent), m_(m) {
    setWindowTitle("Configure Sound");
    d = openSoundDialog(m.workingSettings);
    auto* top = new QVBoxLayout(this);
    clicker = new QCheckBox("Speaker Clicker Sound");
    volume = makeTrackbar(soundVolumeMin, soundVolumeMax, soundVolumePage);
    volumeText = new QLabel("100% volume");
    top->addWidget(clicker);
    top->addWidget(volume);
    top->addWidget(volumeText);
    ok = addOkCancel(this, top, &cancel, true);

    connect(clicker, &QCheckBox::toggled, this, [this](bool on) { d.clicker = on; });
    connect(volume, &QSlider::valueChanged, this, [this](int pos) {
        soundScroll(d, m_.workingSettings, pos);
        refresh();
    });
    connect(ok, &QPushButton::clicked, this, [this] { soundOk(d, m_.workingSettings); accept(); });
    refresh();
}

void SoundDialogView::refresh() {
    setChecked(clicker, d.clicker);
    setSliderValue(volume, d.position);
    volumeText->setText(qs(d.volumeText));
}
