#include "config/video_dialog_model.h"

#include "config/dialog_state.h"

const std::array<const char*, swatchRows> swatchRowLabels = {
    "2-color graphics border", "4-Color Graphics Border", "Alpha Semigraphics Border",
    "Text 0 color", "Text 1 color", "Inverse text 0 color", "Inverse Text 1 color",
    "Black", "Green", "Yellow", "Blue", "Red", "Buff", "Cyan", "Magenta", "Orange"};

const std::array<std::array<const char*, 3>, swatchColumns> swatchColumnHeadings = {{
    {"Color", "Set", "0"}, {"Color", "Set", "1"}, {"4", "color", "graph"}, {"2", "color", "graph"}}};

const std::array<Rgb, 12> standardPalette = {{{16, 16, 16},   {40, 224, 40},  {240, 240, 112},
                                               {32, 32, 216},  {168, 32, 32},  {240, 240, 240},
                                               {40, 168, 168}, {211, 97, 250}, {240, 136, 40},
                                               {16, 96, 16},   {128, 48, 16},  {240, 176, 64}}};

const std::array<const char*, maximumWindowScale> windowSizeLabels = {"100%", "200% (best)", "300%", "400%"};

namespace {
enum Row { Border2, Border4, BorderAlpha, Text0, Text1, Inverse0, Inverse1, Black, Green, Yellow };
constexpr int buffRow = 12;
}  // namespace

SwatchPlace swatchPlace(int slot) {
    if (slot < 6) return {slot % 2, Border2 + slot / 2, -1};           // borders, set 0 / set 1
    if (slot < 10) return {0, Text0 + (slot - 6), -1};                 // set 0 text colours
    if (slot < 19) return {0, Black + (slot - 10), -1};                // set 0 semigraphics
    if (slot < 23) return {1, Text0 + (slot - 19), -1};                // set 1 text colours
    if (slot < 32) return {1, Black + (slot - 23), -1};                // set 1 semigraphics
    if (slot < 41) return {2, Black + (slot - 32), -1};                // 4 colour graphics
    switch (slot) {                                                    // 2 colour graphics
        case 41: return {3, Black, 0};
        case 42: return {3, Green, 0};
        case 43: return {3, Black, 1};
        default: return {3, buffRow, 1};
    }
}

void seedCustomColours(DialogRunState& s) {
    if (s.customColoursSeeded) return;
    s.customColoursSeeded = true;
    for (size_t i = 0; i < s.customColours.size(); ++i)
        s.customColours[i] = i < standardPalette.size() ? standardPalette[i] : Rgb{0, 0, 0};
}

void videoSetColour(Settings& w, int slot, Rgb colour) {
    if (slot >= 0 && slot < colourSlotCount) w.colours[static_cast<size_t>(slot)] = colour;
}

void videoSelectScale(Settings& w, int scale) {
    if (scale >= 1 && scale <= maximumWindowScale) w.windowscaling = scale;
}
