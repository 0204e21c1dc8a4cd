// The MC6847 display: tables built from the colours and character ROMs, and the
// 256x192 picture of palette slots (0-44 of the ColourTable).
#pragma once
#include <cstdint>

struct Machine;

struct Renderer {
};

void rebuildDisplay(Machine& m);
void destroyDisplaySurface(Machine& m);
void renderScreen(Machine& m);
