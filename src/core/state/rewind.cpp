// The rewind ring.
#include "state/rewind.h"

#include <algorithm>

#include "machine.h"
#include "state/state_file.h"

void rewindTick(Machine& m, RewindRing& ring) {
    const uint64_t now = m.scheduler.framesRun;
    const uint64_t perSecond = static_cast<uint64_t>(std::max(1, m.timing.framesPerSecond));
    // A state load can move the frame count back: start over from there.
    if (!ring.entries.empty() && ring.entries.back().frame > now) rewindClear(ring);
    if (!ring.entries.empty() && now - ring.entries.back().frame < perSecond) return;
    RewindRing::Entry e{now, saveStateToBytes(m)};
    ring.bytes += e.state.size();
    ring.entries.push_back(std::move(e));
    while (ring.entries.size() > 1 && (ring.entries.size() > ring.maxEntries || ring.bytes > ring.maxBytes)) {
        ring.bytes -= ring.entries.front().state.size();
        ring.entries.pop_front();
    }
}

bool rewindSeconds(Machine& m, RewindRing& ring, int seconds, std::string& why) {
    if (ring.entries.empty()) {
        why = "There is nothing to rewind to yet.";
        return false;
    }
    // The newest state at least that long ago, else the oldest one.
    const uint64_t perSecond = static_cast<uint64_t>(std::max(1, m.timing.framesPerSecond));
    const uint64_t back = static_cast<uint64_t>(std::max(0, seconds)) * perSecond;
    const uint64_t now = m.scheduler.framesRun;
    size_t index = 0;
    for (size_t i = 0; i < ring.entries.size(); ++i)
        if (ring.entries[i].frame + back <= now) index = i;
    const RewindRing::Entry& e = ring.entries[index];
    if (!loadStateFromBytes(m, e.state.data(), e.state.size(), why)) return false;
    // The state just loaded stays, so that stepping back again goes further back.
    while (ring.entries.size() > index + 1) {
        ring.bytes -= ring.entries.back().state.size();
        ring.entries.pop_back();
    }
    return true;
}

void rewindClear(RewindRing& ring) {
    ring.entries.clear();
    ring.bytes = 0;
}
