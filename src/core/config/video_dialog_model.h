// "Colors": the 45 colour swatches with their places in the four-column grid, the
// colour chooser's custom colours (seeded once per run) and the window-size buttons.
// Swatch clicks and size buttons change the working copy at once.
//
//   seedCustomColours(m.dialogs);                 // at every opening
//   SwatchPlace p = swatchPlace(14);              // column 0 "Color Set 0", row "Red"
//   videoSetColour(m.workingSettings, 14, {200, 0, 0});
//   videoSelectScale(m.workingSettings, 3);       // "300%" (1-4: 100% to 400%)
#pragma once
#include <array>
#include <string>

#include "config/settings.h"

struct DialogRunState;

constexpr int swatchColumns = 4, swatchRows = 16;

// Where a slot's swatch sits. half is -1 for a whole cell; the "2 color graph" column
// holds colour set 0 in the left half of its cells (0) and colour set 1 in the right (1).
struct SwatchPlace {
    int column = 0;
    int row = 0;
    int half = -1;
};

extern const std::array<const char*, swatchRows> swatchRowLabels;
extern const std::array<std::array<const char*, 3>, swatchColumns> swatchColumnHeadings;
extern const std::array<Rgb, 12> standardPalette;
constexpr int maximumWindowScale = 4;
extern const std::array<const char*, maximumWindowScale> windowSizeLabels;  // for windowscaling 1-4

SwatchPlace swatchPlace(int slot);
// The first time in a run: the first 12 custom colours from the StandardPalette, the
// last four black. They then keep whatever the user does to them.
void seedCustomColours(DialogRunState& s);
void videoSetColour(Settings& w, int slot, Rgb colour);
void videoSelectScale(Settings& w, int scale);
