#include "config/sound_dialog_model.h"

#include <algorithm>

#include "config/settings.h"

namespace {
std::string volumeText(int pct) { return std::to_string(pct) + "% Volume"; }
}  // namespace

SoundDialog openSoundDialog(const Settings& w) {
    SoundDialog d;
    d.clicker = w.clickerflag != 0;
    d.position = std::clamp<int>(w.clickervolpct, soundVolumeMin, soundVolumeMax);
    d.volumeText = volumeText(w.clickervolpct);
    return d;
}

void soundScroll(SoundDialog& d, Settings& w, int position) {
    d.position = position;
    w.clickervolpct = position;
    d.volumeText = volumeText(position);
}

void soundOk(const SoundDialog& d, Settings& w) { w.clickerflag = d.clicker; }
