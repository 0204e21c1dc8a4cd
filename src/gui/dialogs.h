// The configuration dialogs and the binary loader dialog, as the main window opens
// them. Each copies Settings into WorkingSettings, runs modally, and on OK copies back,
// saves its section and does the core follow-ups (ROM reload and display rebuild,
// timing recompute and sound restart, ...). It returns true on OK; the window-level
// follow-ups (the posted hard reset after Memory, the resize after Video) are the
// caller's.
#pragma once

class QWidget;
struct Machine;

bool runMemoryDialog(QWidget* owner, Machine& m);
bool runPrinterDialog(QWidget* owner, Machine& m);
bool runKeyboardDialog(QWidget* owner, Machine& m);
bool runVideoDialog(QWidget* owner, Machine& m);
bool runSoundDialog(QWidget* owner, Machine& m);
bool runTimingDialog(QWidget* owner, Machine& m);
bool runLoadBinaryDialog(QWidget* owner, Machine& m);
