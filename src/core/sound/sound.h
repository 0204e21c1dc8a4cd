// Sound output: every rising edge of the speaker bit stamps a click into the frame's
// mix buffer; once per frame the samples go to a looping 12-slot device buffer, three
// slots ahead of the play position. The device comes from m.host.sound (none: silent).
//
//   soundInit(m);                       // at window creation; may set the frame period
//   soundFrameStart(m, currentCycles(m.cycles));
//   ... cpuExecute ..., the memory map calls speakerEdge on rising edges ...
//   soundFrameSubmit(m);
//   soundPause(m);                      // menu opened, window deactivated
#pragma once
#include <array>
#include <cstdint>
#include <vector>

struct Machine;

constexpr int soundSampleRate = 22050;
constexpr int soundBytesPerSecond = 44100;
constexpr int framesInBuffer = 12;
constexpr int clickLength = 112;

// The click every rising edge plays: unsigned 8-bit values centred on 128.
extern const std::array<uint8_t, clickLength> clickWaveform;

struct SoundOutput {
    uint32_t bytesPerFrame = 736;   // even; a frame holds bytesPerFrame / 2 samples
    uint8_t writeSlot = 3;          // slot (0..11) the next frame's samples go to
    bool paused = false;
    bool deviceOpen = false;        // the sound device was opened
    bool bufferCreated = false;     // the looping buffer exists
    // MixBuffer: bytesPerFrame entries; the frame's samples are the first half, the
    // second half catches the tails of clicks stamped near the end of the frame.
    std::vector<int16_t> mixBuffer;
    bool clickPending = false;
    uint32_t frameStartCycle = 0;
    int32_t cyclesPerFrame = 14915;
    std::array<int16_t, clickLength> clickUp{};
    std::array<int16_t, clickLength> clickDown{};
};

// (44100 / framesPerSecond + 1) rounded down to an even number.
uint32_t bytesPerFrameFor(int32_t framesPerSecond);

bool soundInit(Machine& m);  // true: the frame period may follow the sound rate
void soundShutdown(Machine& m);
void soundRestart(Machine& m);
void soundPause(Machine& m);
void soundFrameStart(Machine& m, uint32_t startCycles);
void soundFrameSubmit(Machine& m);
void speakerEdge(Machine& m, uint32_t cycles, uint8_t latchByte);
