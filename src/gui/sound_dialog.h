// The "Configure Sound" dialog: a thin Qt view over SoundDialog. Cancel is the default
// button.
//
//   SoundDialogView dlg(owner, m);
//   dlg.exec();
#pragma once
#include <QDialog>

#include "config/sound_dialog_model.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QSlider;
struct Machine;

class SoundDialogView : public QDialog {
    Q_OBJECT
public:
    SoundDialogView(QWidget* parent, Machine& m);

    SoundDialog d;
    QCheckBox* clicker;
    QSlider* volume;
    QLabel* volumeText;
    QPushButton *ok, *cancel;

private:
    void refresh();
    Machine& m_;
};
