// Frame pacing, the speed meter and the timing table, with a hand-driven clock.
#include <gtest/gtest.h>

#include <memory>

#include "machine.h"

namespace {

struct FakeClock : HostClock {
    uint32_t ms = 0;
    int64_t counter = 0;
    bool hasCounter = true, failReads = false;
    uint32_t milliseconds() override { return ms; }
    bool counterFrequency(int64_t& f) override {
        f = 600000;  // 10 000 ticks a frame at 60 frames per second
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

    // shortSlices: for tests that run many frames; pacing does not depend on the budgets.
    void start(bool counter = true, bool shortSlices = false) {
        clock.hasCounter = counter;
        m->host.clock = &clock;
        recomputeFrameTiming(*m);
        setupHostClock(*m);
        startupReset(*m);
        if (shortSlices) m->timing.activeScanCycles = m->timing.borderVblankCycles = 8;
    }
    uint64_t frames() const { return m->scheduler.framesRun; }
    int passes(int n, int64_t step) {
        int repaints = 0;
        for (int i = 0; i < n; ++i, clock.counter += step) repaints += frameStep(*m);
        return repaints;
    }
};

TEST_F(SchedulerTest, TimingTable) {
    struct Case {
        int opt, pct, fps, active, vblank;
    } cases[] = {{0, 100, 60, 11364, 3551}, {0, 150, 60, 17046, 5326}, {1, 100, 50, 13637, 4261},
                 {1, 10, 50, 1363, 426},    {3, 150, 60, 11364, 3551}, {7, 100, 60, 11364, 3551}};
    for (const Case& c : cases) {
        m->settings.cpuspeedopt = static_cast<int8_t>(c.opt);
        m->settings.ntscmultiplierpct = m->settings.palmultiplierpct = c.pct;
        recomputeFrameTiming(*m);
        SCOPED_TRACE(c.opt);
        EXPECT_EQ(m->timing.framesPerSecond, c.fps);
        EXPECT_EQ(m->timing.activeScanCycles, c.active);
        EXPECT_EQ(m->timing.borderVblankCycles, c.vblank);
    }
    EXPECT_EQ(m->settings.cpuspeedopt, 0);  // 7 was replaced in the settings record

    // Custom counts typed into the timing dialog are not bounded until the next start.
    m->settings.cpuspeedopt = 2;
    m->settings.activescancust = 3000000000u;
    m->settings.vblankcust = 500;
    recomputeFrameTiming(*m);
    EXPECT_EQ(m->timing.activeScanCycles, INT32_MAX);
    EXPECT_EQ(m->timing.borderVblankCycles, 500);
}

TEST_F(SchedulerTest, CounterPacesFramesRepaintsAndTheDelay) {
    start(true, true);
    EXPECT_EQ(m->scheduler.ticksPerFrame, 10000);
    clock.counter = 1000000;
    EXPECT_TRUE(frameStep(*m));  // deadlines start at 0: due at once
    EXPECT_EQ(frameStepDelayMs(*m), 16);  // 16.67 ms, rounded down
    EXPECT_EQ(frameStepDelayUs(*m), 16666);
    clock.counter += 9950;
    EXPECT_EQ(frameStepDelayMs(*m), 0);  // the last fraction of a millisecond...
    EXPECT_EQ(frameStepDelayUs(*m), 83);  // ...which the loop sleeps rather than polls
    clock.counter += 49;
    EXPECT_FALSE(frameStep(*m));
    EXPECT_EQ(frames(), 1u);
    clock.counter += 1;
    EXPECT_EQ(frameStepDelayMs(*m), 0);
    EXPECT_EQ(passes(6000, 100), 60);  // one second polled every 100 ticks
    EXPECT_EQ(frames(), 61u);
    m->settings.cpuspeedopt = 1;  // PAL: the frame period follows even without sound output
    recomputeFrameTiming(*m);
    EXPECT_EQ(m->scheduler.ticksPerFrame, 12000);
}

TEST_F(SchedulerTest, FailedReadsAndTheFileSpeedUp) {
    start();
    m->settings.usevideoupdatepsflag = 1;
    clock.failReads = true;
    EXPECT_FALSE(frameStep(*m));
    EXPECT_EQ(frames(), 0u);
    EXPECT_EQ(frameStepDelayMs(*m), 1);
    m->cassetteIn.cassettePlaying = true;  // forces frames, never repaints
    EXPECT_EQ(passes(5, 0), 0);
    EXPECT_EQ(frames(), 5u);
    clock.failReads = false;
    clock.counter = 5000000;
    EXPECT_TRUE(frameStep(*m));  // due by the clock
    EXPECT_EQ(passes(5, 0), 0);
    EXPECT_EQ(frames(), 11u);
    EXPECT_EQ(frameStepDelayMs(*m), 0);
    m->settings.speedupfilesflag = 0;
    passes(5, 0);
    EXPECT_EQ(frames(), 11u);
}

TEST_F(SchedulerTest, VideoUpdateClockRepaintsTenTimesASecondAlsoInFastMode) {
    for (int fast = 0; fast < 2; ++fast) {
        m = std::make_unique<Machine>();
        m->settings.cpuspeedopt = static_cast<int8_t>(fast ? 3 : 0);
        start(true, true);
        clock.counter = 100000000;
        EXPECT_EQ(passes(600, 1000), fast ? 600 : 60);  // without the option: one repaint a frame
        m->settings.usevideoupdatepsflag = 1;
        m->settings.videoupdatesps = 10;
        EXPECT_EQ(passes(600, 1000), 10);
        EXPECT_EQ(frames(), fast ? 1200u : 120u);
    }
}

TEST_F(SchedulerTest, MillisecondClockAndItsWrap) {
    start(false);
    clock.ms = 0xFFFFFFE0u;
    frameStep(*m);
    clock.ms += 15;
    EXPECT_EQ(frameStepDelayMs(*m), 1);
    clock.ms = 0xFFFFFFF5u;
    frameStep(*m);  // the next frame is due at 5, past the wrap
    clock.ms = 0xFFFFFFF8u;
    frameStep(*m);
    EXPECT_EQ(frames(), 2u);
    clock.ms = 5;
    frameStep(*m);
    EXPECT_EQ(frames(), 3u);
    // A pass late enough to skip over deadlines just below the wrap: neither stalls.
    m->settings.usevideoupdatepsflag = 1;
    m->settings.videoupdatesps = 10;
    m->scheduler.nextFrameMs = m->scheduler.nextVideoMs = 0xFFFFFFFEu;
    clock.ms = 3;
    EXPECT_TRUE(frameStep(*m));
    EXPECT_EQ(frames(), 4u);
    EXPECT_EQ(m->scheduler.nextVideoMs, 103u);
}


TEST_F(SchedulerTest, SpeedMeter) {
    start(false);
    m->timing.speedPercent = -1;
    for (int k = 0; k < 16; ++k) {
        clock.ms = 1000 + static_cast<uint32_t>(k * 1000 / 60);
        ASSERT_TRUE(frameStep(*m));
        EXPECT_EQ(m->timing.speedPercent, k < 15 ? -1 : 100);  // 15 frames of 14 915 cycles in 250 ms
    }
    // Sixteen Fast frames inside one millisecond keep the previous figure.
    m->settings.cpuspeedopt = 3;
    m->timing.speedPercent = 77;
    for (int k = 0; k < 32; ++k) frameStep(*m);
    EXPECT_EQ(m->timing.speedPercent, 77);
}

TEST_F(SchedulerTest, SpeedMeterUsesTheCounterWhereThereIsOne) {
    start(true);
    m->settings.cpuspeedopt = 3;  // Fast: about 35 000 frames a second, all in one millisecond
    for (int k = 0; k < 32; ++k, clock.counter += 17) frameStep(*m);
    // 15 frames of 14 915 cycles (a few more: the last instruction of a slice finishes)
    // in 15 x 17 ticks of 1/600 000 s: 58 823 %.
    EXPECT_NEAR(m->timing.speedPercent, 58823, 60);
    m->settings.cpuspeedopt = 0;
    for (int k = 0; k < 40; ++k, clock.counter += 10000) frameStep(*m);
    EXPECT_NEAR(m->timing.speedPercent, 100, 1);
}

}  // namespace
