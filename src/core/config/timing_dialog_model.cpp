#include "config/timing_dialog_model.h"

#include <algorithm>

#include "config/printer_dialog_model.h"
#include "config/settings.h"

const std::array<const char*, 4> speedOptionLabels = {"NTSC", "Pal", "Custom", "Fast!  (turns off sound)"};
const std::array<const char*, 3> timingFieldLabels = {"cycles Active Scan", "cycles border + VBlank",
                                                      "frames per second"};

const std::string customTimingLimitMessage =
    "Custom timing allows at most " + std::to_string(maximumActiveScanCycles) + " cycles of active scan and " +
    std::to_string(maximumBorderCycles) + " cycles of border + VBlank a frame (100 times the NTSC values). " +
    "The fields now show the largest values allowed.";

namespace {
constexpr uint32_t ntscActive = 11364, ntscBorder = 3551, palActive = 13637, palBorder = 4261;
constexpr uint32_t minimumFrameCycles = 24;

int32_t* editedMultiplier(const TimingDialog& d, Settings& w) {
    switch (d.editing) {
        case EditedMultiplier::Ntsc: return &w.ntscmultiplierpct;
        case EditedMultiplier::Pal: return &w.palmultiplierpct;
        case EditedMultiplier::None: break;
    }
    return nullptr;
}

std::string scaled(uint32_t base, int32_t pct) {
    return std::to_string(static_cast<int64_t>(base) * pct / 100);
}

std::string speedText(SpeedOption selected, int32_t pct) {
    if (selected == SpeedOption::Ntsc) return "NTSC * " + std::to_string(pct) + "%";
    if (selected == SpeedOption::Pal) return "PAL * " + std::to_string(pct) + "%";
    return " ";
}

void showMultiplier(TimingDialog& d, int32_t pct) {
    d.speedText = speedText(d.selected, pct);
    d.fields[0] = scaled(d.baseActive, pct);
    d.fields[1] = scaled(d.baseBorder, pct);
}

void selectStandard(TimingDialog& d, Settings& w, SpeedOption option) {
    bool ntsc = option == SpeedOption::Ntsc;
    d.selected = option;
    d.speedEnabled = true;
    d.fieldsEnabled = false;
    d.editing = ntsc ? EditedMultiplier::Ntsc : EditedMultiplier::Pal;
    d.baseActive = ntsc ? ntscActive : palActive;
    d.baseBorder = ntsc ? ntscBorder : palBorder;
    int32_t pct = *editedMultiplier(d, w);
    d.speedPosition = std::clamp<int32_t>(pct, speedSliderMin, speedSliderMax);
    showMultiplier(d, pct);
    d.fields[2] = ntsc ? "60" : "50";
}
}  // namespace

TimingDialog openTimingDialog(Settings& w) {
    TimingDialog d;
    d.videoPosition = std::clamp<int32_t>(w.videoupdatesps, videoSliderMin, videoSliderMax);
    timingClickSpeed(d, w, static_cast<SpeedOption>(std::clamp<int>(w.cpuspeedopt, 0, 3)));
    if (w.speedupfilesflag) timingClickSpeedup(d);
    if (w.usevideoupdatepsflag) timingClickVideo(d);
    d.videoText = std::to_string(w.videoupdatesps) + " fps ";
    return d;
}

void timingClickSpeed(TimingDialog& d, Settings& w, SpeedOption option) {
    switch (option) {
        case SpeedOption::Ntsc:
        case SpeedOption::Pal:
            selectStandard(d, w, option);
            break;
        case SpeedOption::Custom:
            d.selected = option;
            d.speedEnabled = false;
            d.fieldsEnabled = true;
            d.fields = {std::to_string(w.activescancust), std::to_string(w.vblankcust),
                        std::to_string(w.fpscust)};
            break;
        case SpeedOption::Fast:
            d.selected = option;
            d.speedEnabled = false;
            d.fieldsEnabled = false;
            d.fields = {"n/a", "n/a", "n/a"};
            break;
        case SpeedOption::None:
            break;
    }
}

void timingScrollSpeed(TimingDialog& d, Settings& w, int position) {
    d.speedPosition = position;
    int32_t* pct = editedMultiplier(d, w);
    if (!pct) return;
    *pct = position;
    showMultiplier(d, position);
}

void timingScrollVideo(TimingDialog& d, Settings& w, int position) {
    d.videoPosition = position;
    w.videoupdatesps = position;
    d.videoText = std::to_string(position) + " fps ";
}

void timingClick100(TimingDialog& d, Settings& w) { timingScrollSpeed(d, w, 100); }

void timingClickSpeedup(TimingDialog& d) { d.speedupChecked = !d.speedupChecked; }

void timingClickVideo(TimingDialog& d) {
    d.videoChecked = !d.videoChecked;
    d.videoEnabled = d.videoChecked;
}

void timingDefault(TimingDialog& d, Settings& w) {
    timingClickSpeed(d, w, SpeedOption::Ntsc);
    timingClick100(d, w);
    if (d.videoChecked) timingClickVideo(d);
    if (d.speedupChecked) timingClickSpeedup(d);
}

bool timingOk(TimingDialog& d, Settings& w) {
    d.message.clear();
    w.speedupfilesflag = d.speedupChecked;
    w.usevideoupdatepsflag = d.videoChecked;
    switch (d.selected) {
        case SpeedOption::Ntsc: w.cpuspeedopt = 0; break;
        case SpeedOption::Pal: w.cpuspeedopt = 1; break;
        case SpeedOption::Fast:
            w.cpuspeedopt = 3;
            w.clickerflag = 0;
            break;
        case SpeedOption::Custom: {
            w.cpuspeedopt = 2;
            uint32_t active = readUnsignedField(d.fields[0]);
            uint32_t border = readUnsignedField(d.fields[1]);
            uint32_t fps = readUnsignedField(d.fields[2]);
            bool refused = false;
            if (fps == 0) {
                d.fields[2] = "1";
                refused = true;
            }
            if (uint64_t{active} + border < minimumFrameCycles) {
                d.fields[0] = d.fields[1] = std::to_string(minimumFrameCycles);
                refused = true;
            }
            // A frame far longer than the machine's would freeze the window for seconds
            // per frame, at every start-up.
            if (active > maximumActiveScanCycles || border > maximumBorderCycles) {
                d.fields[0] = std::to_string(std::min(active, maximumActiveScanCycles));
                d.fields[1] = std::to_string(std::min(border, maximumBorderCycles));
                d.message = customTimingLimitMessage;
                refused = true;
            }
            if (refused) return false;
            w.activescancust = active;
            w.vblankcust = border;
            w.fpscust = static_cast<int32_t>(std::min<uint32_t>(fps, INT32_MAX));
            break;
        }
        case SpeedOption::None: break;
    }
    return true;
}
