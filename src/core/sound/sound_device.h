// SoundDevice: the audio back end behind sound output. It plays one looping buffer of
// 16-bit signed mono samples at 22 050 Hz; the sound logic writes frame slots into it
// ahead of the play position. The desktop program implements it with SDL; tests use a
// recording fake.
//
//   if (dev.open() && dev.createBuffer(12 * 736)) {
//       dev.write(3 * 736, samples, 736);   // byte offset, byte count
//       if (!dev.isPlaying()) dev.play();
//   }
#pragma once
#include <cstdint>

struct SoundDevice {
    virtual ~SoundDevice() = default;
    // Opens the default output device; false: no sound device can be used.
    virtual bool open() = 0;
    // Releases the buffer (if any) and the device.
    virtual void close() = 0;
    // Creates the looping buffer of `bytes` bytes, all silence, play position 0.
    virtual bool createBuffer(uint32_t bytes) = 0;
    virtual void releaseBuffer() = 0;
    // Copies `bytes` bytes of samples to byte offset `offset` of the buffer (wrapping at
    // its end); false: nothing was written.
    virtual bool write(uint32_t offset, const int16_t* samples, uint32_t bytes) = 0;
    // Starts looping playback at the current play position.
    virtual bool play() = 0;
    virtual void stop() = 0;
    // Zeroes the whole buffer.
    virtual void silence() = 0;
    // Moves the play position to the start of the buffer.
    virtual void resetPosition() = 0;
    virtual bool isPlaying() = 0;
};
