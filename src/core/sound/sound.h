// Sound output: every rising edge of the speaker bit stamps a click into the frame's
// mix buffer; once per frame the samples go to a looping 12-slot device buffer.
#pragma once
#include <cstdint>

struct Machine;

struct SoundOutput {
};

bool soundInit(Machine& m);
void soundShutdown(Machine& m);
void soundRestart(Machine& m);
void soundPause(Machine& m);
void soundFrameStart(Machine& m, uint32_t startCycles);
void soundFrameSubmit(Machine& m);
void speakerEdge(Machine& m, uint32_t cycles, uint8_t latchByte);
