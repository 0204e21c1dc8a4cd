// SdlSoundDevice: the looping sound buffer on SDL's audio subsystem (22 050 Hz,
// signed 16-bit, mono). SDL's audio thread pulls samples from the buffer in its
// callback and advances the play position while playing; everything else runs on the
// GUI thread under SDL's device lock. Without a usable output device it falls back to
// SDL's "dummy" driver (which consumes samples in real time), and failing that
// open() reports false and the program runs silent.
//
//   SdlSoundDevice dev;
//   m.host.sound = &dev;
//   soundInit(m);
#pragma once
#include <cstdint>
#include <vector>

#include "sound/sound_device.h"

struct SdlSoundDevice : SoundDevice {
    ~SdlSoundDevice() override;

    bool open() override;
    void close() override;
    bool createBuffer(uint32_t bytes) override;
    void releaseBuffer() override;
    bool write(uint32_t offset, const int16_t* samples, uint32_t bytes) override;
    bool play() override;
    void stop() override;
    void silence() override;
    void resetPosition() override;
    bool isPlaying() override;

    // Called on SDL's audio thread.
    void fill(uint8_t* out, int bytes);

    uint32_t device = 0;        // SDL_AudioDeviceID; 0 when closed
    bool subsystemUp = false;
    std::vector<uint8_t> ring;  // the looping buffer
    uint32_t playPosition = 0;  // byte offset of the next byte to play
    bool playing = false;
};
