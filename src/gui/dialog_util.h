// Small helpers shared by the configuration dialog views: string conversion, setting a
// control's state without firing its handlers (the views mirror their model after every
// handler), and the OK/Cancel row.
//
//   setChecked(radio, d.enhanced);    // no clicked/toggled signal
//   auto* ok = addOkCancel(dlg, layout, &cancel, /*cancelIsDefault=*/true);
#pragma once
#include <QAbstractButton>
#include <QBoxLayout>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <string>

inline QString qs(const std::string& s) { return QString::fromStdString(s); }
inline std::string ss(const QString& s) { return s.toStdString(); }

inline void setChecked(QAbstractButton* b, bool on) {
    QSignalBlocker block(b);
    b->setChecked(on);
}

inline void setFieldText(QLineEdit* e, const std::string& text) {
    if (e->text() == qs(text)) return;
    QSignalBlocker block(e);
    e->setText(qs(text));
}

inline void setSliderValue(QSlider* s, int value) {
    QSignalBlocker block(s);
    s->setValue(value);
}

inline QSlider* makeTrackbar(int min, int max, int page) {
    auto* s = new QSlider(Qt::Horizontal);
    s->setRange(min, max);
    s->setPageStep(page);
    return s;
}

// OK and Cancel at the bottom right; closing the window counts as Cancel (QDialog's reject).
inline QPushButton* addOkCancel(QDialog* dlg, QBoxLayout* layout, QPushButton** cancelOut,
                                bool cancelIsDefault) {
    auto* row = new QHBoxLayout;
    auto* ok = new QPushButton("OK");
    auto* cancel = new QPushButton("Cancel");
    ok->setObjectName("ok");
    cancel->setObjectName("cancel");
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    layout->addLayout(row);
    (cancelIsDefault ? cancel : ok)->setDefault(true);
    QObject::connect(cancel, &QPushButton::clicked, dlg, &QDialog::reject);
    *cancelOut = cancel;
    return ok;
}
