// Frame pacing, the speed meter, the timing table and the resets, with a hand-driven clock.
#include <gtest/gtest.h>

#include <memory>

#include "machine.h"

namespace {

struct FakeClock : HostClock {
    uint32_t ms = 0;
    int64_t counter = 0;
    int64_t frequency = 600000;  // 10 000 ticks a frame at 60 frames per second
    bool hasCounter = true;
    bool failReads = false;
    uint32_t milliseconds() override { return ms; }
    bool counterFrequency(int64_t& f) override {
        f = frequency;
        return hasCounter;
    }
    bool readCounter(int64_t& now) override {
        now = counter;
        return !failReads;
    }
};

struct SchedulerTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeClock clock;

    void start(bool counter = true) {
        clock.hasCounter = counter;
        m->host.clock = &clock;
        recomputeFrameTiming(*m);
        setupHostClock(*m);
        startupReset(*m);
    }
    uint64_t frames() const { return m->scheduler.framesRun; }
    // For tests that run many frames: the pacing does not depend on the slice sizes.
    void shortSlices() {
        m->timing.activeScanCycles = 8;
        m->timing.borderVblankCycles = 8;
    }
};

TEST_F(SchedulerTest, TimingTable) {
    struct Case {
        int opt, ntsc, pal, fps, active, vblank;
    } cases[] = {
        {0, 100, 100, 60, 11364, 3551}, {0, 150, 100, 60, 17046, 5326}, {1, 100, 100, 50, 13637, 4261},
        {1, 100, 10, 50, 1363, 426},    {3, 150, 150, 60, 11364, 3551}, {7, 100, 100, 60, 11364, 3551},
        {-1, 100, 100, 60, 11364, 3551},
    };
    for (const Case& c : cases) {
        m->settings.cpuspeedopt = static_cast<int8_t>(c.opt);
        m->settings.ntscmultiplierpct = c.ntsc;
        m->settings.palmultiplierpct = c.pal;
        recomputeFrameTiming(*m);
        SCOPED_TRACE(c.opt);
        EXPECT_EQ(m->timing.framesPerSecond, c.fps);
        EXPECT_EQ(m->timing.activeScanCycles, c.active);
        EXPECT_EQ(m->timing.borderVblankCycles, c.vblank);
        if (c.opt > 3 || c.opt < 0) {
            EXPECT_EQ(m->settings.cpuspeedopt, 0);
        }
    }
    m->settings.cpuspeedopt = 2;
    m->settings.fpscust = 25;
    m->settings.activescancust = 30000;
    m->settings.vblankcust = 24;
    recomputeFrameTiming(*m);
    EXPECT_EQ(m->timing.framesPerSecond, 25);
    EXPECT_EQ(m->timing.activeScanCycles, 30000);
    EXPECT_EQ(m->timing.borderVblankCycles, 24);
}

TEST_F(SchedulerTest, HostClockSetup) {
    start();
    EXPECT_TRUE(m->scheduler.highResAvailable);
    EXPECT_EQ(m->scheduler.ticksPerFrame, 10000);
    auto other = std::make_unique<Machine>();
    clock.hasCounter = false;
    other->host.clock = &clock;
    setupHostClock(*other);
    EXPECT_FALSE(other->scheduler.highResAvailable);
}

TEST_F(SchedulerTest, CounterPacesFramesAndRepaints) {
    start();
    shortSlices();
    clock.counter = 1000000;
    EXPECT_TRUE(frameStep(*m));  // deadlines start at 0: due at once
    EXPECT_EQ(frames(), 1u);
    clock.counter += 9999;
    EXPECT_FALSE(frameStep(*m));
    EXPECT_EQ(frames(), 1u);
    clock.counter += 1;
    EXPECT_TRUE(frameStep(*m));
    EXPECT_EQ(frames(), 2u);
    // 60 frames in one second of counter time, polled every 100 ticks.
    uint64_t before = frames();
    int repaints = 0;
    for (int i = 0; i < 6000; ++i) {
        clock.counter += 100;
        repaints += frameStep(*m);
    }
    EXPECT_EQ(frames() - before, 60u);
    EXPECT_EQ(repaints, 60);
}

TEST_F(SchedulerTest, FailedCounterReadSkipsThePassUnlessFilesForceIt) {
    start();
    m->settings.usevideoupdatepsflag = 1;
    clock.failReads = true;
    EXPECT_FALSE(frameStep(*m));
    EXPECT_EQ(frames(), 0u);
    m->cassetteIn.cassettePlaying = true;
    EXPECT_FALSE(frameStep(*m));
    EXPECT_EQ(frames(), 1u);
    clock.failReads = false;
    clock.counter = 5000000;
    EXPECT_TRUE(frameStep(*m));
}

TEST_F(SchedulerTest, FastModeRunsAFrameEveryPass) {
    m->settings.cpuspeedopt = 3;
    start();
    shortSlices();
    for (int i = 0; i < 50; ++i) EXPECT_TRUE(frameStep(*m));
    EXPECT_EQ(frames(), 50u);
    EXPECT_EQ(frameStepDelayMs(*m), 0);
}

TEST_F(SchedulerTest, VideoUpdateClockRepaintsTenTimesASecond) {
    for (int fast = 0; fast < 2; ++fast) {
        m = std::make_unique<Machine>();
        m->settings.cpuspeedopt = static_cast<int8_t>(fast ? 3 : 0);
        m->settings.usevideoupdatepsflag = 1;
        m->settings.videoupdatesps = 10;
        start();
        shortSlices();
        clock.counter = 100000000;
        int repaints = 0;
        for (int i = 0; i < 6000; ++i) {
            repaints += frameStep(*m);
            clock.counter += 100;
        }
        SCOPED_TRACE(fast);
        EXPECT_EQ(repaints, 10);
        EXPECT_EQ(frames(), fast ? 6000u : 60u);
    }
}

TEST_F(SchedulerTest, FileSpeedUpForcesFramesButNotRepaints) {
    start();
    clock.counter = 1000000;
    frameStep(*m);
    m->cassetteIn.cassettePlaying = true;
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(frameStep(*m));
    EXPECT_EQ(frames(), 21u);
    EXPECT_EQ(frameStepDelayMs(*m), 0);
    clock.counter += 10000;
    EXPECT_TRUE(frameStep(*m));  // due by the clock: repaint
    m->settings.speedupfilesflag = 0;
    uint64_t before = frames();
    frameStep(*m);
    EXPECT_EQ(frames(), before);
}

TEST_F(SchedulerTest, MillisecondClockWithoutCounter) {
    start(false);
    clock.ms = 5000;
    EXPECT_TRUE(frameStep(*m));
    clock.ms += 15;
    EXPECT_FALSE(frameStep(*m));
    EXPECT_EQ(frameStepDelayMs(*m), 1);
    clock.ms += 1;
    EXPECT_TRUE(frameStep(*m));
    EXPECT_EQ(frames(), 2u);
}

TEST_F(SchedulerTest, MillisecondClockWrapNeitherStallsNorBursts) {
    start(false);
    m->settings.usevideoupdatepsflag = 1;
    m->settings.videoupdatesps = 10;
    clock.ms = 0xFFFFFFE0u;
    frameStep(*m);
    clock.ms = 0xFFFFFFF5u;
    frameStep(*m);  // next frame due at 0xFFFFFFF5 + 16 = 5 (wrapped)
    clock.ms = 0xFFFFFFF8u;
    frameStep(*m);
    EXPECT_EQ(frames(), 2u);  // not yet: the wrapped deadline is still 13 ms away
    clock.ms = 5;
    frameStep(*m);
    EXPECT_EQ(frames(), 3u);
    // A deadline just below the wrap, passed over by a late pass after the wrap.
    m->scheduler.nextFrameMs = 0xFFFFFFFEu;
    m->scheduler.nextVideoMs = 0xFFFFFFFEu;
    clock.ms = 3;
    EXPECT_TRUE(frameStep(*m));  // the paced repaint resumes
    EXPECT_EQ(frames(), 4u);
    EXPECT_EQ(m->scheduler.nextVideoMs, 103u);
}

TEST_F(SchedulerTest, CounterVideoClockRecoversFromAFarDeadline) {
    m->settings.usevideoupdatepsflag = 1;
    m->settings.videoupdatesps = 10;
    start();
    m->scheduler.nextVideoTick = int64_t(1) << 50;
    clock.counter = 100000;  // below two repaint periods (120 000 ticks)
    EXPECT_TRUE(frameStep(*m));
    EXPECT_EQ(m->scheduler.nextVideoTick, 160000);
}

TEST_F(SchedulerTest, SpeedMeterAfterSixteenFrames) {
    start(false);
    m->timing.speedPercent = -1;
    for (int k = 0; k < 16; ++k) {
        clock.ms = 1000 + static_cast<uint32_t>(k * 1000 / 60);
        ASSERT_TRUE(frameStep(*m));
        if (k < 15) {
            EXPECT_EQ(m->timing.speedPercent, -1);
        }
    }
    EXPECT_EQ(m->timing.speedPercent, 100);  // 15 frames of 14 915 cycles in 250 ms
}

TEST_F(SchedulerTest, SpeedMeterKeepsItsValueWhenNoTimePassed) {
    m->settings.cpuspeedopt = 3;
    start();
    m->timing.speedPercent = 77;
    for (int k = 0; k < 32; ++k) frameStep(*m);
    EXPECT_EQ(m->timing.speedPercent, 77);
}

TEST_F(SchedulerTest, DelayUntilTheNextFrameOrRepaint) {
    start();
    clock.counter = 1000000;
    frameStep(*m);
    EXPECT_EQ(frameStepDelayMs(*m), 16);  // 10 000 ticks = 16.67 ms, rounded down
    clock.counter += 6000;
    EXPECT_EQ(frameStepDelayMs(*m), 6);
    clock.counter += 4000;
    EXPECT_EQ(frameStepDelayMs(*m), 0);
    clock.failReads = true;
    EXPECT_EQ(frameStepDelayMs(*m), 1);
    clock.failReads = false;
    m->settings.cpuspeedopt = 2;
    m->settings.fpscust = 1;
    recomputeFrameTiming(*m);
    setupHostClock(*m);
    frameStep(*m);
    EXPECT_EQ(frameStepDelayMs(*m), 1000);
}

TEST_F(SchedulerTest, ResetsKeepDeadlinesAndClearMemoryOnlyWhenHard) {
    start();
    clock.counter = 1000000;
    frameStep(*m);
    m->mem.addressSpace[0xE000] = static_cast<uint8_t>(~m->mem.romImage[0]);
    m->cycles.count = 1234;
    resetMachine(*m, 0);
    EXPECT_NE(m->mem.addressSpace[0xE000], m->mem.romImage[0]);
    EXPECT_EQ(currentCycles(m->cycles), 0u);
    EXPECT_EQ(m->scheduler.nextFrameTick, 1010000);
    resetMachine(*m, 2);
    EXPECT_EQ(m->mem.addressSpace[0xE000], m->mem.romImage[0]);
    EXPECT_TRUE(m->scheduler.emulationStarted);
}

}  // namespace
