// "Configure CPU Timing": the state of every control and the handlers behind them.
// The radio buttons and check boxes change only through these handlers, so the
// simulated clicks of opening and "Default" act like real ones. Scrolling stores the
// multiplier being edited and the screen-update rate in the working copy at once.
//
//   TimingDialog d = openTimingDialog(m.workingSettings);
//   timingClickSpeed(d, m.workingSettings, SpeedOption::Ntsc);
//   timingScrollSpeed(d, m.workingSettings, 150);   // fields "17046" and "5326"
//   if (timingOk(d, m.workingSettings)) { /* dialog ends with OK */ }
#pragma once
#include <array>
#include <cstdint>
#include <string>

struct Settings;

enum class SpeedOption { None = -1, Ntsc = 0, Pal = 1, Custom = 2, Fast = 3 };
enum class EditedMultiplier { None, Ntsc, Pal };

// Custom frames are bounded at 100 times the NTSC cycle budgets.
constexpr uint32_t maximumActiveScanCycles = 100 * 11364, maximumBorderCycles = 100 * 3551;
extern const std::string customTimingLimitMessage;

constexpr int speedSliderMin = 1, speedSliderMax = 800, speedSliderPage = 20;
constexpr int videoSliderMin = 1, videoSliderMax = 600, videoSliderPage = 5;
extern const std::array<const char*, 4> speedOptionLabels;  // "NTSC" ... "Fast!  (turns off sound)"
extern const std::array<const char*, 3> timingFieldLabels;  // "cycles Active Scan" ...

struct TimingDialog {
    SpeedOption selected = SpeedOption::None;
    EditedMultiplier editing = EditedMultiplier::None;
    uint32_t baseActive = 0, baseBorder = 0;  // cycle counts of the selected standard

    bool speedEnabled = false;  // the speed trackbar, its text and "100%"
    int speedPosition = speedSliderMin;
    std::string speedText = "speed * 800%";

    bool fieldsEnabled = false;  // the three number fields and their labels
    std::array<std::string, 3> fields;  // active scan, border + VBlank, frames per second

    bool videoChecked = false;  // "Try to update this many times per second:"
    bool videoEnabled = false;  // the video trackbar and its text
    int videoPosition = videoSliderMin;
    std::string videoText = "800%";

    bool speedupChecked = false;  // "Speed up when accessing files"

    std::string message;  // set when OK refuses custom values above the bounds: show it
};

TimingDialog openTimingDialog(Settings& w);
void timingClickSpeed(TimingDialog& d, Settings& w, SpeedOption option);
void timingScrollSpeed(TimingDialog& d, Settings& w, int position);
void timingScrollVideo(TimingDialog& d, Settings& w, int position);
void timingClick100(TimingDialog& d, Settings& w);
void timingClickSpeedup(TimingDialog& d);
void timingClickVideo(TimingDialog& d);
void timingDefault(TimingDialog& d, Settings& w);
// False when a Custom entry is refused: the corrected fields are shown and none of the
// three custom values is stored; counts above the bounds also set d.message.
bool timingOk(TimingDialog& d, Settings& w);
