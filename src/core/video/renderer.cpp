// Placeholder until the renderer lands.
#include "video/renderer.h"
#include "machine.h"

void rebuildDisplay(Machine&) {}
void destroyDisplaySurface(Machine&) {}
void renderScreen(Machine&) {}
