// The "Configure Keyboard" dialog: a thin Qt view over KeyboardDialog, with the capture
// field. The held keys come from the host key state, together with the keys the dialog
// itself saw go down while it is open (the main window does not see them then).
//
//   KeyboardDialogView dlg(owner, m);
//   dlg.exec();   // OK: emulatedflag, qtuselowerflag and the KeyMap edits stay in m.workingSettings
#pragma once
#include <QDialog>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>

#include "config/keyboard_dialog_model.h"
#include "host_keys.h"

class QCheckBox;
class QKeyEvent;
class QListWidget;
class QPushButton;
class QRadioButton;
struct Machine;

// The one-line capture field: paints its text at the top-left corner, swallows every
// key and focus event (so Enter, Escape and Tab do nothing while it has the focus) and
// reports left-button clicks.
class CaptureField : public QWidget {
    Q_OBJECT
public:
    explicit CaptureField(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const { return text_; }
    std::function<void()> onClick;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;

private:
    QString text_;
};

class KeyboardDialogView : public QDialog {
    Q_OBJECT
public:
    KeyboardDialogView(QWidget* parent, Machine& m);

    KeyboardDialog d;
    QRadioButton *emulated, *sensible;
    std::array<QRadioButton*, 3> modes{};
    QListWidget *mc10Keys, *pcKeys;
    CaptureField* capture;
    QCheckBox* quicktypeLower;
    QPushButton *ok, *cancel;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void refresh();
    void captureClicked();
    Machine& m_;
    HostKeyState seen_;  // keys this dialog saw go down and not yet up
};
