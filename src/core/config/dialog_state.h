// What the configuration dialogs remember between openings for the rest of the run:
// the colour chooser's 16 custom colours (seeded at the first opening of "Colors") and
// the PC key codes of the keyboard dialog's punctuation keys (resolved through the host
// keyboard layout at its first opening). Lives in Machine::dialogs.
//
//   seedCustomColours(m.dialogs);          // no-op after the first call
//   resolvePcKeyCodes(m.dialogs, m.host);  // likewise
#pragma once
#include <array>
#include <cstdint>

#include "config/settings.h"

constexpr int pcKeyCount = 91;

struct DialogRunState {
    bool customColoursSeeded = false;
    std::array<Rgb, 16> customColours{};
    bool pcKeyCodesResolved = false;
    std::array<uint8_t, pcKeyCount> pcKeyCodes{};  // code per entry of the PC key table
};
