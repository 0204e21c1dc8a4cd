// Cassette input: the .C10 player with its section gaps, and WAV replay.
#include "machine/cassette_in.h"

#include <algorithm>

#include "machine.h"

namespace {

constexpr uint16_t port2 = 0x0003;
constexpr uint8_t inputBit = 0x10;
constexpr char appTitle[] = "tovrin";

void setLine(Machine& m, bool high) {
    uint8_t& p = m.mem.addressSpace[port2];
    p = high ? static_cast<uint8_t>(p | inputBit) : static_cast<uint8_t>(p & ~inputBit);
}

// Next section length: the block whose first byte is at tapePos, if its length byte
// is in the file.
uint32_t blockSection(const CassetteIn& c) {
    int64_t at = c.tapePos + 3;
    if (at < static_cast<int64_t>(c.tapeData.size())) return c.tapeData[static_cast<size_t>(at)] + 6u;
    return 0;
}

// The gap that replaces the last low half of a section; moves to the next section.
uint32_t sectionGap(CassetteIn& c) {
    static constexpr uint32_t gaps[4] = {690, 10000, 3605, 2893};
    const int state = c.sectionState;
    c.sectionLength = state == 1 ? 128 : blockSection(c);
    c.sectionState = state == 0 ? 1 : state == 1 ? 2 : 3;
    return gaps[state];
}

void wavStep(Machine& m, uint32_t elapsed) {
    CassetteIn& c = m.cassetteIn;
    if (wavIsOpen(c.wav)) {
        const uint64_t target = static_cast<uint64_t>(c.sampleRate) * elapsed / cpuCyclesPerSecond;
        while (c.sampleIndex < target && wavIsOpen(c.wav)) {
            uint8_t sample;
            const bool ended = !wavNextByte(c.wav, sample);
            if (!ended) c.sampleLevel = sample;
            c.sampleIndex += 1;
            if (c.sampleIndex >= c.sampleCount || ended) {
                stopCassette(m);
                c.sampleLevel = 128;
            }
        }
    }
    setLine(m, c.sampleLevel > 128);
}

}  // namespace

bool openWavInput(Machine& m, const std::string& path) {
    CassetteIn& c = m.cassetteIn;
    WavFormat format;
    switch (openWav(c.wav, path, format)) {
        case WavOpenResult::Ok: break;
        case WavOpenResult::CannotRead:
            hostMessage(m.host, "Cannot read input WAV file", appTitle, MessageIcon::Exclamation);
            return false;
        case WavOpenResult::NotMono8:
            hostMessage(m.host, "Input file must be an 8-bit Mono WAV file", appTitle, MessageIcon::Exclamation);
            return false;
        case WavOpenResult::UnknownError:
            hostMessage(m.host, "Unknown error while handling input WAV file", appTitle, MessageIcon::Exclamation);
            return false;
    }
    c.sampleRate = format.sampleRate;
    c.sampleCount = format.dataSize;
    c.sampleLevel = 128;
    c.wavMode = true;
    c.sampleIndex = 0;
    return true;
}

TapeProblem insertCassette(Machine& m, const std::string& path, bool wav) {
    CassetteIn& c = m.cassetteIn;
    if (c.cassettePlaying) return TapeProblem::Busy;
    FileHandle f(std::fopen(path.c_str(), "rb"));
    if (!f) return TapeProblem::CannotOpen;
    std::vector<uint8_t> data;
    if (!wav) {
        if (std::fseek(f.get(), 0, SEEK_END) != 0) return TapeProblem::CannotOpen;
        const long length = std::ftell(f.get());
        if (length > maxTapeSize) {
            hostDebug(m.host, "Cassette file is too big\n");
            return TapeProblem::TooBig;
        }
        if (length <= 0) return TapeProblem::Empty;
        if (std::fseek(f.get(), 0, SEEK_SET) != 0) return TapeProblem::CannotOpen;
        data.resize(static_cast<size_t>(length));
        if (std::fread(data.data(), 1, data.size(), f.get()) != data.size()) return TapeProblem::CannotOpen;
    }
    f.reset();
    stopCassette(m);
    if (wav) {
        if (!openWavInput(m, path)) return TapeProblem::BadWav;
    } else {
        c.wavMode = false;
        c.tapeData = std::move(data);
    }
    c.tapePath = path;
    c.tapeWav = wav;
    c.started = false;
    c.quickReads = 0;
    c.waitingForLoad = true;
    return TapeProblem::None;
}

bool playCassettePath(Machine& m, const std::string& path, bool wav) {
    return insertCassette(m, path, wav) == TapeProblem::None;
}

bool rewindCassette(Machine& m) {
    CassetteIn& c = m.cassetteIn;
    if (c.tapePath.empty()) return false;
    c.cassettePlaying = false;  // rewinding a playing tape stops it first
    const std::string path = c.tapePath;
    return insertCassette(m, path, c.tapeWav) == TapeProblem::None;
}

int cassettePercent(const Machine& m) {
    const CassetteIn& c = m.cassetteIn;
    uint64_t at = 0, total = 0;
    if (c.wavMode) {
        at = c.sampleIndex;
        total = c.sampleCount;
    } else {
        at = static_cast<uint64_t>(c.tapePos);
        total = c.tapeData.size();
    }
    if (!c.cassettePlaying || total == 0) return 0;
    return static_cast<int>(std::min<uint64_t>(100, at * 100 / total));
}

void updateCassetteInput(Machine& m) {
    CassetteIn& c = m.cassetteIn;
    if (c.port2Reads != UINT32_MAX) c.port2Reads += 1;
    if (!c.cassettePlaying) {
        if (!c.waitingForLoad) return;
        const uint32_t now = currentCycles(m.cycles);
        const uint32_t gap = now - c.lastReadCycle;
        c.lastReadCycle = now;
        c.quickReads = gap <= loadPollGap ? c.quickReads + 1 : 0;
        if (c.quickReads < loadPollReads) return;
        // The program is reading the tape: start it from the top at this read.
        c.waitingForLoad = false;
        c.cassettePlaying = true;
        c.started = false;
    }
    const uint32_t now = currentCycles(m.cycles);
    c.lastUpdateCycle = now;
    if (!c.started) {
        setLine(m, true);
        c.lineLow = false;
        c.sectionState = 0;
        c.started = true;
        if (!c.tapeData.empty()) c.shiftByte = c.tapeData[0];
        c.tapePos = 0;
        c.sectionCount = 0;
        c.sectionLength = 128;
        c.bitIndex = 0;
        c.bitValue = c.shiftByte & 1;
        c.startCycle = now;
        c.nextEdgeCycle = now + c10HighHalf[c.bitValue];
        return;
    }
    if (c.wavMode) {
        wavStep(m, now - c.startCycle);
        return;
    }
    // Signed difference: the count wraps at 2^32.
    if (static_cast<int32_t>(now - c.nextEdgeCycle) < 0) return;
    if (c.lineLow) {
        setLine(m, true);
        c.lineLow = false;
        c.nextEdgeCycle = now + c10HighHalf[c.bitValue];
        return;
    }
    setLine(m, false);
    c.lineLow = true;
    uint32_t d = c.bitIndex == 7 ? c10LowHalfLast[c.bitValue] : c10LowHalf[c.bitValue];
    c.bitIndex += 1;
    if (c.bitIndex < 8) {
        c.shiftByte >>= 1;
        c.bitValue = c.shiftByte & 1;
        c.nextEdgeCycle = now + d;
        return;
    }
    c.bitIndex = 0;
    c.tapePos += 1;
    if (c.tapePos < static_cast<int64_t>(c.tapeData.size())) {
        c.shiftByte = c.tapeData[static_cast<size_t>(c.tapePos)];
        c.bitValue = c.shiftByte & 1;
    } else {
        stopCassette(m);  // the line rests low; no further edges
    }
    c.sectionCount += 1;
    if (c.sectionCount == c.sectionLength) {
        c.sectionCount = 0;
        d = sectionGap(c);
    }
    c.nextEdgeCycle = now + d;
}

void stopCassette(Machine& m) {
    CassetteIn& c = m.cassetteIn;
    c.cassettePlaying = false;
    c.waitingForLoad = false;
    c.started = false;
    c.tapeData.clear();
    c.tapeData.shrink_to_fit();
    if (wavIsOpen(c.wav)) {
        closeWav(c.wav);
        c.wavMode = false;
    }
    setLine(m, false);
}

void cassetteAfterReset(Machine& m) {
    CassetteIn& c = m.cassetteIn;
    if (!c.cassettePlaying || !c.started) return;
    // Keep the signal where it was at the last update, measured from the new count,
    // and put back the level a hard reset's memory fill has cleared.
    const uint32_t now = currentCycles(m.cycles);
    const uint32_t elapsed = c.lastUpdateCycle - c.startCycle;
    const int32_t toEdge = static_cast<int32_t>(c.nextEdgeCycle - c.lastUpdateCycle);
    c.startCycle = now - elapsed;
    c.nextEdgeCycle = now + static_cast<uint32_t>(toEdge > 0 ? toEdge : 0);
    c.lastUpdateCycle = now;
    setLine(m, c.wavMode ? c.sampleLevel > 128 : !c.lineLow);
}
