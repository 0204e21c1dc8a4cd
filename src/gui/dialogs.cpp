// The openers: copy in, run modally, and on OK copy back whole, save the section and do
// the core follow-ups.
#include "dialogs.h"

#include "app/scheduler.h"
#include "config/settings_file.h"
#include "keyboard_dialog.h"
#include "load_binary_dialog.h"
#include "machine.h"
#include "memory_dialog.h"
#include "printer_dialog.h"
#include "sound/sound.h"
#include "sound_dialog.h"
#include "timing_dialog.h"
#include "video/renderer.h"
#include "video_dialog.h"

namespace {
template <typename View>
bool runDialog(QWidget* owner, Machine& m, void (*save)(Machine&)) {
    m.workingSettings = m.settings;
    View dlg(owner, m);
    if (dlg.exec() != QDialog::Accepted) return false;
    m.settings = m.workingSettings;
    save(m);
    return true;
}
}  // namespace

bool runMemoryDialog(QWidget* owner, Machine& m) {
    if (!runDialog<MemoryDialogView>(owner, m, saveMemorySection)) return false;
    loadRomImages(m);
    rebuildDisplay(m);
    return true;
}

bool runPrinterDialog(QWidget* owner, Machine& m) {
    return runDialog<PrinterDialogView>(owner, m, savePrinterSection);
}

bool runKeyboardDialog(QWidget* owner, Machine& m) {
    return runDialog<KeyboardDialogView>(owner, m, saveKeyboardSection);
}

bool runVideoDialog(QWidget* owner, Machine& m) {
    if (!runDialog<VideoDialogView>(owner, m, saveVideoSection)) return false;
    rebuildDisplay(m);
    return true;
}

bool runSoundDialog(QWidget* owner, Machine& m) {
    if (!runDialog<SoundDialogView>(owner, m, saveSoundSection)) return false;
    soundRestart(m);
    return true;
}

bool runTimingDialog(QWidget* owner, Machine& m) {
    if (!runDialog<TimingDialogView>(owner, m, saveSpeedSection)) return false;
    recomputeFrameTiming(m);
    soundRestart(m);
    return true;
}

bool runLoadBinaryDialog(QWidget* owner, Machine& m) {
    return runDialog<LoadBinaryDialogView>(owner, m, saveLoadBinarySection);
}
