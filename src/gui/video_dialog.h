// The "Colors" dialog: 45 swatch buttons in the four-column grid, the colour chooser
// (Qt's, sharing the run's 16 custom colours) and the window-size buttons. A thin view
// over the video dialog model; swatches and sizes change the working copy at once.
//
//   VideoDialogView dlg(owner, m);
//   dlg.chooseColour = [](Rgb& c) { c = {1, 2, 3}; return true; };  // tests
//   dlg.exec();
#pragma once
#include <QDialog>
#include <QPushButton>
#include <array>
#include <functional>

#include "config/video_dialog_model.h"

class QRadioButton;
struct Machine;

// A swatch: a rectangle over the whole button, filled with the slot's colour and
// outlined with the current pen.
class SwatchButton : public QPushButton {
    Q_OBJECT
public:
    SwatchButton(const Settings& w, int slot);
    const int slot;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    const Settings& w_;
};

class VideoDialogView : public QDialog {
    Q_OBJECT
public:
    VideoDialogView(QWidget* parent, Machine& m);

    // The colour chooser, starting from c; true and c set when the user confirms.
    std::function<bool(Rgb& c)> chooseColour;
    std::array<SwatchButton*, colourSlotCount> swatches{};
    std::array<QRadioButton*, maximumWindowScale> sizes{};
    QPushButton *ok, *cancel;

private:
    bool runColourDialog(Rgb& c);
    void refresh();
    Machine& m_;
};
