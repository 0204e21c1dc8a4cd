// Placeholder until sound output lands.
#include "sound/sound.h"
#include "machine.h"

bool soundInit(Machine&) { return false; }
void soundShutdown(Machine&) {}
void soundRestart(Machine&) {}
void soundPause(Machine&) {}
void soundFrameStart(Machine&, uint32_t) {}
void soundFrameSubmit(Machine&) {}
void speakerEdge(Machine&, uint32_t, uint8_t) {}
