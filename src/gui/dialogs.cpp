// Placeholder until the dialogs land.
#include "dialogs.h"

bool runMemoryDialog(QWidget*, Machine&) { return false; }
bool runPrinterDialog(QWidget*, Machine&) { return false; }
bool runKeyboardDialog(QWidget*, Machine&) { return false; }
bool runVideoDialog(QWidget*, Machine&) { return false; }
bool runSoundDialog(QWidget*, Machine&) { return false; }
bool runTimingDialog(QWidget*, Machine&) { return false; }
bool runLoadBinaryDialog(QWidget*, Machine&) { return false; }
