// "Configure Sound": the clicker check box and the volume trackbar (0-100, page 10).
// Scrolling stores the volume in the working copy at once; OK stores the check box.
//
//   SoundDialog d = openSoundDialog(m.workingSettings);
//   soundScroll(d, m.workingSettings, 70);   // d.volumeText == "70% Volume"
//   soundOk(d, m.workingSettings);
#pragma once
#include <string>

struct Settings;

struct SoundDialog {
    bool clicker = false;
    int position = 0;
    std::string volumeText;
};

constexpr int soundVolumeMin = 0, soundVolumeMax = 100, soundVolumePage = 10;

SoundDialog openSoundDialog(const Settings& w);
void soundScroll(SoundDialog& d, Settings& w, int position);
void soundOk(const SoundDialog& d, Settings& w);
