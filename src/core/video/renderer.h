// The MC6847 display: tables built from the colours and character ROMs, and the
// 256x192 picture of palette slots (0-44 of the ColourTable).
#pragma once
#include <cstdint>
#include <vector>

struct Machine;

constexpr int surfaceWidth = 256, surfaceHeight = 192;

struct Renderer {
    // The DisplaySurface: row-major, 256 slots a row, top row first; empty when there is none.
    std::vector<uint8_t> pixels;
    int borderColourIndex = 0;  // the border slot chosen by the last renderScreen
};

void rebuildDisplay(Machine& m);
void destroyDisplaySurface(Machine& m);
void renderScreen(Machine& m);
