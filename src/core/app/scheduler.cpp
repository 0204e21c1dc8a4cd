// The frame scheduler: decides on each idle pass whether an emulated frame and a
// repaint are due, runs frames in two cycle slices, and measures the speed.
#include "app/scheduler.h"

#include <algorithm>

#include "machine.h"

namespace {

uint32_t hostMilliseconds(Machine& m) { return m.host.clock ? m.host.clock->milliseconds() : 0; }

bool hostReadCounter(Machine& m, int64_t& now) { return m.host.clock && m.host.clock->readCounter(now); }

int32_t atLeastOne(int32_t v) { return v < 1 ? 1 : v; }

// The millisecond clock wraps at 2^32. A deadline counts as reached once a whole
// period has passed since the frame that set it (deadline - period), measured
// modulo 2^32, so a wrap neither stalls frames nor runs them back to back.
bool msDeadlineReached(uint32_t nowMs, uint32_t deadline, uint32_t period) {
    return nowMs - (deadline - period) >= period;
}

// The paced repaint on the millisecond clock: also due when the clock has wrapped
// to a value below two repaint periods while the old deadline still lies ahead.
bool msVideoDue(uint32_t nowMs, uint32_t deadline, int32_t updatesPerSecond) {
    return nowMs >= deadline || nowMs < 2000u / static_cast<uint32_t>(updatesPerSecond);
}

bool tickVideoDue(int64_t now, int64_t deadline, int64_t frequency, int32_t updatesPerSecond) {
    return now >= deadline || now < (frequency * 2) / updatesPerSecond;
}

// After sixteen frames: cycles of the fifteen frames before the newest over the time
// from the oldest frame's start to the newest one's, as a percentage of 894 900/s.
void feedSpeedMeter(Machine& m, uint32_t nowMs, uint32_t ran) {
    SpeedMeter& meter = m.scheduler.meter;
    uint32_t i = meter.ringIndex;
    meter.frameStartMs[i] = nowMs;
    meter.frameCycles[i] = ran;
    uint32_t sum = 0;
    for (uint32_t k = 1; k < 16; ++k) sum += meter.frameCycles[(i + k) % 16];
    meter.ringIndex = (i + 1) % 16;
    uint32_t elapsedMs = nowMs - meter.frameStartMs[meter.ringIndex];
    // Sixteen frames inside one millisecond (Fast mode on a quick host) measure
    // nothing: the previous figure stays.
    if (meter.ringIndex == 0 && elapsedMs != 0) {
        int64_t cyclesPerSecond = (static_cast<int64_t>(sum) * 1000) / elapsedMs;
        m.timing.speedPercent = static_cast<int32_t>(cyclesPerSecond * 100 / nominalCyclesPerSecond);
    }
}

}  // namespace

void recomputeFrameTiming(Machine& m) {
    Settings& s = m.settings;
    if (s.cpuspeedopt < 0 || s.cpuspeedopt > 3) s.cpuspeedopt = 0;
    FrameTiming& t = m.timing;
    switch (s.cpuspeedopt) {
        case 0:
            t.framesPerSecond = 60;
            t.activeScanCycles = s.ntscmultiplierpct * 11364 / 100;
            t.borderVblankCycles = s.ntscmultiplierpct * 3551 / 100;
            break;
        case 1:
            t.framesPerSecond = 50;
            t.activeScanCycles = s.palmultiplierpct * 13637 / 100;
            t.borderVblankCycles = s.palmultiplierpct * 4261 / 100;
            break;
        case 2:
            t.framesPerSecond = s.fpscust;
            // The timing dialog stores what was typed; a count past the signed range
            // would turn into a negative budget, so it is held at the largest one.
            t.activeScanCycles = static_cast<int32_t>(std::min<uint32_t>(s.activescancust, INT32_MAX));
            t.borderVblankCycles = static_cast<int32_t>(std::min<uint32_t>(s.vblankcust, INT32_MAX));
            break;
        default:
            t.framesPerSecond = 60;
            t.activeScanCycles = 11364;
            t.borderVblankCycles = 3551;
            break;
    }
    // The frame period follows the new rate at once; a working sound output then
    // replaces it with the sound card's period (soundRestart after the timing dialog).
    // Without sound output the old rate would otherwise stay in force.
    FrameScheduler& sch = m.scheduler;
    if (sch.highResAvailable) sch.ticksPerFrame = sch.counterFrequency / atLeastOne(t.framesPerSecond);
}

void setupHostClock(Machine& m) {
    FrameScheduler& s = m.scheduler;
    int64_t frequency = 0;
    s.highResAvailable = m.host.clock && m.host.clock->counterFrequency(frequency) && frequency > 0;
    s.counterFrequency = s.highResAvailable ? frequency : 0;
    s.ticksPerFrame = s.highResAvailable ? s.counterFrequency / atLeastOne(m.timing.framesPerSecond) : 0;
}

void resetMachine(Machine& m, int kind) {
    if (kind > 0) initMemory(m);
    cpuInit(m);
    cpuReset(m);
    resetCycleCount(m.cycles);
    cassetteAfterReset(m);
    portOutputAfterReset(m);
    m.scheduler.emulationStarted = true;
}

void startupReset(Machine& m) {
    initKeyTables(m);
    resetMachine(m, 2);
}

bool fileSpeedUpActive(const Machine& m) {
    return m.settings.speedupfilesflag &&
           (m.quickType.quickTypeActive || m.cassetteIn.cassettePlaying || m.portOutput.portOutputArmed);
}

uint32_t runFrame(Machine& m, uint32_t cyclesAtEntry) {
    soundFrameStart(m, cyclesAtEntry);
    // A debugger stop ends the frame where it happened.
    uint32_t ran = static_cast<uint32_t>(executeSlice(m, m.timing.activeScanCycles));
    if (!m.debugger.paused) ran += static_cast<uint32_t>(executeSlice(m, m.timing.borderVblankCycles));
    soundFrameSubmit(m);
    scanHostKeyboard(m);
    portOutputIdleCheck(m);
    mediaFrameTick(m);
    m.scheduler.framesRun += 1;
    m.scheduler.cyclesRun += ran;
    return ran;
}

bool frameStep(Machine& m) {
    FrameScheduler& s = m.scheduler;
    const Settings& set = m.settings;
    bool frameDue = false, repaint = false, counterRead = false;

    uint32_t cyclesAtEntry = currentCycles(m.cycles);
    uint32_t nowMs = hostMilliseconds(m);
    int64_t now = 0;

    if (!s.highResAvailable) {
        uint32_t period = 1000u / static_cast<uint32_t>(atLeastOne(m.timing.framesPerSecond));
        if (msDeadlineReached(nowMs, s.nextFrameMs, period)) {
            frameDue = true;
            s.nextFrameMs = nowMs + period;
        }
    } else if (hostReadCounter(m, now)) {
        counterRead = true;
        if (now >= s.nextFrameTick) {
            frameDue = true;
            s.nextFrameTick = now + s.ticksPerFrame;
        }
    }

    if (set.cpuspeedopt == 3) frameDue = true;

    if (!set.usevideoupdatepsflag) {
        repaint = frameDue;
    } else {
        int32_t ups = atLeastOne(set.videoupdatesps);
        if (!s.highResAvailable) {
            if (msVideoDue(nowMs, s.nextVideoMs, ups)) {
                repaint = true;
                s.nextVideoMs = nowMs + 1000u / static_cast<uint32_t>(ups);
            }
        } else if (counterRead && tickVideoDue(now, s.nextVideoTick, s.counterFrequency, ups)) {
            repaint = true;
            s.nextVideoTick = now + s.counterFrequency / ups;
        }
    }

    if (!frameDue && !fileSpeedUpActive(m)) return repaint;
    if (m.debugger.paused) {  // the debugger holds the machine: no frames, no sound
        if (!m.sound.paused) soundPause(m);
        return repaint;
    }

    uint32_t ran = runFrame(m, cyclesAtEntry);
    feedSpeedMeter(m, nowMs, ran);
    return repaint;
}

int32_t frameStepDelayMs(Machine& m) {
    const FrameScheduler& s = m.scheduler;
    const Settings& set = m.settings;
    constexpr int32_t pausedPollMs = 20;  // a machine held by the debugger has no frames to run
    if (m.debugger.paused && (set.cpuspeedopt == 3 || fileSpeedUpActive(m))) return pausedPollMs;
    if (set.cpuspeedopt == 3 || fileSpeedUpActive(m)) return 0;
    constexpr int64_t longestWait = 1000;
    int32_t ups = atLeastOne(set.videoupdatesps);

    if (!s.highResAvailable) {
        uint32_t nowMs = hostMilliseconds(m);
        uint32_t period = 1000u / static_cast<uint32_t>(atLeastOne(m.timing.framesPerSecond));
        int64_t wait = msDeadlineReached(nowMs, s.nextFrameMs, period) ? 0 : s.nextFrameMs - nowMs;
        if (set.usevideoupdatepsflag) {
            int64_t videoWait = msVideoDue(nowMs, s.nextVideoMs, ups) ? 0 : s.nextVideoMs - nowMs;
            wait = std::min(wait, videoWait);
        }
        return static_cast<int32_t>(std::min(wait, longestWait));
    }

    int64_t now = 0;
    // A failed read leaves frameStep nothing to do; try again shortly.
    if (!hostReadCounter(m, now)) return 1;
    int64_t ticks = now >= s.nextFrameTick ? 0 : s.nextFrameTick - now;
    if (set.usevideoupdatepsflag) {
        int64_t videoTicks =
            tickVideoDue(now, s.nextVideoTick, s.counterFrequency, ups) ? 0 : s.nextVideoTick - now;
        ticks = std::min(ticks, videoTicks);
    }
    // Ticks beyond a second are capped before scaling, so the product cannot overflow.
    ticks = std::min(ticks, s.counterFrequency * longestWait / 1000);
    return static_cast<int32_t>(std::min(ticks * 1000 / s.counterFrequency, longestWait));
}
