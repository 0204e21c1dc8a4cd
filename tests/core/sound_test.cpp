// Sound output against a recording device: slot writes, click positions, spill-over.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "machine.h"
#include "sound/sound_device.h"

namespace {

struct FakeSoundDevice : SoundDevice {
    bool openOk = true, createOk = true, playing = false;
    uint32_t bufferBytes = 0;
    std::vector<int16_t> buffer;
    std::vector<uint32_t> writeOffsets;
    int plays = 0, stops = 0, resets = 0;

    bool open() override { return openOk; }
    void close() override { buffer.clear(); }
    bool createBuffer(uint32_t bytes) override {
        if (!createOk) return false;
        bufferBytes = bytes;
        buffer.assign(bytes / 2, 0x5555);  // silence() must clear it
        return true;
    }
    void releaseBuffer() override { buffer.clear(); }
    bool write(uint32_t offset, const int16_t* samples, uint32_t bytes) override {
        writeOffsets.push_back(offset);
        for (uint32_t i = 0; i < bytes / 2; ++i) buffer[(offset / 2 + i) % buffer.size()] = samples[i];
        return true;
    }
    bool play() override { ++plays; return playing = true; }
    void stop() override { ++stops; playing = false; }
    void silence() override { std::fill(buffer.begin(), buffer.end(), 0); }
    void resetPosition() override { ++resets; }
    bool isPlaying() override { return playing; }
};

struct SoundTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeSoundDevice dev;
    void SetUp() override {
        m->host.sound = &dev;
        m->settings.clickervolpct = 100;
    }
    // Sample `i` of the frame that went to the device in slot `slot`.
    int16_t slotSample(int slot, int i) { return dev.buffer[slot * m->sound.bytesPerFrame / 2 + i]; }
};

TEST_F(SoundTest, FramesGoThreeSlotsAheadAndWrap) {
    m->timing.framesPerSecond = 50;
    ASSERT_TRUE(soundInit(*m));
    EXPECT_EQ(dev.bufferBytes, 12u * 882);
    soundRestart(*m);
    m->timing.framesPerSecond = 60;
    soundRestart(*m);
    EXPECT_EQ(dev.bufferBytes, 12u * 736);
    for (int f = 0; f < 14; ++f) {
        soundFrameStart(*m, 0);
        soundFrameSubmit(*m);
    }
    ASSERT_EQ(dev.writeOffsets.size(), 14u);
    EXPECT_EQ(dev.writeOffsets[0], 3u * 736);
    EXPECT_EQ(dev.writeOffsets[8], 11u * 736);
    EXPECT_EQ(dev.writeOffsets[9], 0u);
    EXPECT_EQ(dev.plays, 1);

    // A pause stops, silences and rewinds; nothing is written until the next frame
    // starts, and writing resumes at slot 3.
    soundPause(*m);
    EXPECT_FALSE(dev.playing);
    EXPECT_EQ(dev.resets, 1);
    soundFrameSubmit(*m);
    EXPECT_EQ(dev.writeOffsets.size(), 14u);
    soundFrameStart(*m, 0);
    soundFrameSubmit(*m);
    EXPECT_EQ(dev.writeOffsets.back(), 3u * 736);
    EXPECT_TRUE(dev.playing);
    EXPECT_EQ(dev.plays, 2);
}

TEST_F(SoundTest, ClickLandsAtTheSampleOfItsCycle) {
    ASSERT_TRUE(soundInit(*m));
    struct { uint32_t cycles; int sample; } cases[] = {{7458, 184}, {7457, 183}, {0, 0}};
    for (auto c : cases) {
        soundFrameStart(*m, 1000);
        speakerEdge(*m, 1000 + c.cycles, 0x81);
        int slot = m->sound.writeSlot;
        soundFrameSubmit(*m);
        EXPECT_EQ(slotSample(slot, c.sample), m->sound.clickUp[0]) << c.cycles;
        if (c.sample > 0) {
            EXPECT_EQ(slotSample(slot, c.sample - 1), 0) << c.cycles;
        }
    }
}

TEST_F(SoundTest, ClickTablesFollowVolumeAndPolarity) {
    ASSERT_TRUE(soundInit(*m));
    EXPECT_EQ(m->sound.clickUp[3], -14080);  // the deepest value, 18, at 100 %
    EXPECT_EQ(m->sound.clickDown[3], 14080);
    soundFrameStart(*m, 0);
    speakerEdge(*m, 0, 0x81);
    speakerEdge(*m, 406, 0x80);  // sample 10: the later click replaces the rest
    EXPECT_EQ(m->sound.mixBuffer[9], m->sound.clickUp[9]);
    EXPECT_EQ(m->sound.mixBuffer[10], m->sound.clickDown[0]);

    m->settings.clickervolpct = 0;
    soundRestart(*m);
    for (int i = 0; i < clickLength; ++i) ASSERT_EQ(m->sound.clickUp[i] | m->sound.clickDown[i], 0);
    EXPECT_TRUE(m->sound.bufferCreated);
}

TEST_F(SoundTest, ClickNearTheEndSpillsIntoTheNextFrame) {
    ASSERT_TRUE(soundInit(*m));
    // Sample 300 of 368: cycles = 300 * 2 * 14915 / 736 rounded up.
    soundFrameStart(*m, 0);
    speakerEdge(*m, 12159, 0x81);
    int slot = m->sound.writeSlot;
    soundFrameSubmit(*m);
    EXPECT_EQ(slotSample(slot, 300), m->sound.clickUp[0]);
    EXPECT_EQ(slotSample(slot, 367), m->sound.clickUp[67]);

    soundFrameStart(*m, 14915);
    soundFrameSubmit(*m);
    EXPECT_EQ(slotSample(slot + 1, 0), m->sound.clickUp[68]);
    EXPECT_EQ(slotSample(slot + 1, 43), m->sound.clickUp[111]);
    EXPECT_EQ(slotSample(slot + 1, 44), 0);

    // Without a new click the frame after that is silent again.
    soundFrameStart(*m, 29830);
    soundFrameSubmit(*m);
    EXPECT_EQ(slotSample(slot + 2, 0), 0);
}

TEST_F(SoundTest, HighFrameRatesClipClicksInsideTheMixBuffer) {
    m->timing.framesPerSecond = 600;  // 74 bytes: 37 samples a frame, 74 entries
    m->timing.activeScanCycles = 1000;
    m->timing.borderVblankCycles = 491;
    ASSERT_TRUE(soundInit(*m));
    soundFrameStart(*m, 0);
    speakerEdge(*m, 1400, 0x81);      // sample 34: 40 samples fit
    speakerEdge(*m, 50000, 0x81);     // far past the frame: dropped
    EXPECT_EQ(m->sound.mixBuffer.size(), 74u);
    EXPECT_EQ(m->sound.mixBuffer[73], m->sound.clickUp[39]);
    soundFrameStart(*m, 1491);        // spill-over of the 37 tail entries
    EXPECT_EQ(m->sound.mixBuffer[0], m->sound.clickUp[3]);
    EXPECT_EQ(m->sound.mixBuffer[37], 0);
}

TEST_F(SoundTest, ClickerOffOrNoDeviceRunsWithoutABuffer) {
    m->settings.clickerflag = 0;
    m->scheduler.highResAvailable = true;
    m->scheduler.counterFrequency = 1000000000;
    m->scheduler.ticksPerFrame = 1;
    EXPECT_TRUE(soundInit(*m));
    EXPECT_EQ(m->scheduler.ticksPerFrame, 16689342);  // 736 bytes at 44 100 a second
    EXPECT_EQ(dev.bufferBytes, 0u);
    soundFrameStart(*m, 0);
    speakerEdge(*m, 100, 0x81);
    soundFrameSubmit(*m);
    EXPECT_TRUE(dev.writeOffsets.empty());
    EXPECT_EQ(dev.plays, 0);
    soundShutdown(*m);

    dev.openOk = false;
    m->settings.clickerflag = 1;
    m->scheduler.ticksPerFrame = 1;
    EXPECT_FALSE(soundInit(*m));
    EXPECT_EQ(m->scheduler.ticksPerFrame, 1);  // without sound the frame clock keeps its period
    m->host.sound = nullptr;
    EXPECT_FALSE(soundInit(*m));
    EXPECT_EQ(m->sound.clickUp[3], -14080);  // tables are built anyway
}

}  // namespace

namespace {

// The largest custom active scan plus the border and blanking: the frame's cycles
// stop at the largest count instead of wrapping negative and dropping every click.
TEST_F(SoundTest, LargestCustomFrameStillStampsClicks) {
    ASSERT_TRUE(soundInit(*m));
    m->timing.activeScanCycles = 2147483647;
    m->timing.borderVblankCycles = 3551;
    soundFrameStart(*m, 0);
    EXPECT_EQ(m->sound.cyclesPerFrame, 2147483647);
    speakerEdge(*m, 10, 0x81);
    int slot = m->sound.writeSlot;
    soundFrameSubmit(*m);
    EXPECT_EQ(slotSample(slot, 0), m->sound.clickUp[0]);
}

}  // namespace
