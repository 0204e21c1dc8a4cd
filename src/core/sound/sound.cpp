// Sound output: click stamping into the MixBuffer and the three-slots-ahead writes into
// the looping device buffer.
#include "sound/sound.h"

#include <algorithm>
#include <cstdlib>

#include "machine.h"
#include "sound/sound_device.h"

const std::array<uint8_t, clickLength> clickWaveform = {
    101, 47,  28,  18,  18,  21,  26,  31,  38,  43,  49,  55,  60,  65,  70,  74,  78,  82,  85,
    89,  92,  95,  97,  100, 103, 105, 107, 109, 111, 113, 115, 117, 118, 120, 121, 122, 123, 124,
    125, 126, 127, 128, 129, 130, 131, 131, 132, 133, 133, 134, 135, 135, 136, 136, 137, 137, 137,
    138, 138, 139, 139, 139, 140, 140, 140, 140, 141, 141, 141, 141, 143, 143, 144, 145, 146, 146,
    147, 147, 148, 149, 149, 149, 150, 150, 151, 152, 152, 152, 153, 153, 153, 153, 153, 152, 152,
    152, 151, 150, 149, 148, 147, 146, 145, 144, 143, 142, 141, 140, 139, 138, 137, 136};

namespace {

void buildClickTables(SoundOutput& s, int32_t volumePct) {
    for (int i = 0; i < clickLength; ++i) {
        int32_t v = volumePct * (static_cast<int32_t>(clickWaveform[i]) - 128);
        s.clickUp[i] = static_cast<int16_t>((v * 128) / 100);
        s.clickDown[i] = static_cast<int16_t>((-v * 128) / 100);
    }
}

// The looping buffer, silent, plus the MixBuffer. False when the buffer could not be made.
bool createOutputBuffer(SoundDevice& dev, SoundOutput& s) {
    if (!dev.createBuffer(framesInBuffer * s.bytesPerFrame)) return false;
    s.bufferCreated = true;
    dev.silence();
    s.mixBuffer.assign(s.bytesPerFrame, 0);
    return true;
}

}  // namespace

uint32_t bytesPerFrameFor(int32_t framesPerSecond) {
    if (framesPerSecond < 1) framesPerSecond = 1;
    return static_cast<uint32_t>(soundBytesPerSecond / framesPerSecond + 1) & 0xFFFEu;
}

bool soundInit(Machine& m) {
    SoundOutput& s = m.sound;
    s.deviceOpen = false;
    s.bufferCreated = false;
    s.mixBuffer.clear();
    s.clickPending = false;
    bool result = false;
    SoundDevice* dev = m.host.sound;
    if (dev && dev->open()) {
        s.deviceOpen = true;
        s.bytesPerFrame = bytesPerFrameFor(m.timing.framesPerSecond);
        if (m.settings.clickerflag)
            result = createOutputBuffer(*dev, s);
        else
            result = true;
        // With the high-resolution counter, one frame lasts exactly as long as the
        // sound card takes to play its samples.
        if (result && m.scheduler.highResAvailable)
            m.scheduler.ticksPerFrame =
                static_cast<int64_t>(s.bytesPerFrame) * m.scheduler.counterFrequency / soundBytesPerSecond;
    }
    buildClickTables(s, m.settings.clickervolpct);
    s.writeSlot = 3;
    return result;
}

void soundShutdown(Machine& m) {
    SoundOutput& s = m.sound;
    SoundDevice* dev = m.host.sound;
    if (s.deviceOpen && dev) {
        if (s.bufferCreated) {
            if (dev->isPlaying()) dev->stop();
            dev->releaseBuffer();
        }
        dev->close();
    }
    s.deviceOpen = false;
    s.bufferCreated = false;
    s.mixBuffer.clear();
    s.mixBuffer.shrink_to_fit();
}

void soundRestart(Machine& m) {
    soundShutdown(m);
    soundInit(m);
}

void soundPause(Machine& m) {
    SoundOutput& s = m.sound;
    s.paused = true;
    if (s.bufferCreated && m.host.sound) {
        m.host.sound->stop();
        m.host.sound->silence();
        m.host.sound->resetPosition();
    }
    s.writeSlot = 3;
}

void soundFrameStart(Machine& m, uint32_t startCycles) {
    SoundOutput& s = m.sound;
    s.paused = false;
    if (!s.mixBuffer.empty()) {
        size_t size = s.mixBuffer.size();
        if (s.clickPending) {
            // The tail of a click stamped near the end of the last frame plays first.
            size_t half = s.bytesPerFrame / 2;
            size_t spill = half < size ? std::min<size_t>(clickLength, size - half) : 0;
            std::copy_n(s.mixBuffer.begin() + static_cast<std::ptrdiff_t>(half), spill, s.mixBuffer.begin());
            std::fill(s.mixBuffer.begin() + static_cast<std::ptrdiff_t>(spill), s.mixBuffer.end(), 0);
        } else {
            std::fill(s.mixBuffer.begin(), s.mixBuffer.end(), 0);
        }
    }
    // The largest custom active scan plus the border would not fit: hold the sum there.
    s.cyclesPerFrame = static_cast<int32_t>(std::min<int64_t>(
        int64_t{m.timing.activeScanCycles} + m.timing.borderVblankCycles, INT32_MAX));
    s.clickPending = false;
    s.frameStartCycle = startCycles;
    if (s.bufferCreated && m.host.sound && !m.host.sound->isPlaying()) m.host.sound->play();
}

void speakerEdge(Machine& m, uint32_t cycles, uint8_t latchByte) {
    SoundOutput& s = m.sound;
    if (!s.mixBuffer.empty() && s.cyclesPerFrame > 0) {
        int64_t elapsed = std::llabs(static_cast<int64_t>(static_cast<int32_t>(cycles - s.frameStartCycle)));
        uint64_t pos = (static_cast<uint64_t>(s.bytesPerFrame) * static_cast<uint64_t>(elapsed) /
                        static_cast<uint64_t>(s.cyclesPerFrame)) / 2;
        const auto& click = (latchByte & 1) ? s.clickUp : s.clickDown;
        // A click that would run past the MixBuffer (very high frame rates, or an edge
        // long after the frame start) is cut off at its end.
        if (pos < s.mixBuffer.size()) {
            size_t n = std::min<size_t>(clickLength, s.mixBuffer.size() - pos);
            std::copy_n(click.begin(), n, s.mixBuffer.begin() + static_cast<std::ptrdiff_t>(pos));
        }
    }
    s.clickPending = true;
}

void soundFrameSubmit(Machine& m) {
    SoundOutput& s = m.sound;
    if (s.paused) return;
    if (s.bufferCreated && !s.mixBuffer.empty() && m.host.sound)
        m.host.sound->write(s.writeSlot * s.bytesPerFrame, s.mixBuffer.data(), s.bytesPerFrame);
    s.writeSlot = static_cast<uint8_t>((s.writeSlot + 1) % framesInBuffer);
}
