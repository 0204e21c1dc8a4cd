// Fuzz target: a .C10 byte stream played into the built-in BASIC's CLOAD. The machine
// is booted and CLOAD typed once; every input starts from a copy of that machine and
// runs a bounded number of frames (about three tape bytes pass per frame).
#include <algorithm>
#include <memory>

#include "fuzz_support.h"
#include "machine.h"

namespace {

void runFrames(Machine& m, int n) {
    for (int i = 0; i < n; ++i) {
        cpuExecute(m, m.timing.activeScanCycles);
        cpuExecute(m, m.timing.borderVblankCycles);
        portOutputIdleCheck(m);
    }
}

// A machine waiting in CLOAD for a tape.
std::unique_ptr<Machine> bootIntoCload() {
    auto m = std::make_unique<Machine>();
    loadRomImages(*m);
    recomputeFrameTiming(*m);
    startupReset(*m);
    runFrames(*m, 30);
    startQuickTypeText(*m, "CLOAD\r");
    for (int i = 0; i < 2000 && m->quickType.quickTypeActive; ++i) runFrames(*m, 1);
    runFrames(*m, 5);
    return m;
}

// The plain-data parts of a machine; the rest (open files, sound, the picture) stays fresh.
void copyMachine(const Machine& from, Machine& to) {
    to.settings = from.settings;
    to.cpu = from.cpu;
    to.cycles = from.cycles;
    to.mem = from.mem;
    to.keyboard = from.keyboard;
    to.quickType = from.quickType;
    to.timing = from.timing;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzScratch scratch;
    static const std::unique_ptr<Machine> waiting = bootIntoCload();
    const std::string path = scratch.write("input.c10", data, size);

    auto m = std::make_unique<Machine>();
    FuzzHost host;
    copyMachine(*waiting, *m);
    m->settings.filename = scratch.path("LPRINT.TXT");  // a loaded program may print
    m->host.messages = &host;
    m->host.debug = &host;
    const bool playing = playCassettePath(*m, path, false);
    FUZZ_CHECK(playing == (size > 0));
    const int frames = static_cast<int>(std::min<size_t>(20 + size / 2, 300));
    const CassetteIn& c = m->cassetteIn;
    for (int i = 0; i < frames && (c.cassettePlaying || c.waitingForLoad); ++i) runFrames(*m, 1);
    runFrames(*m, 10);  // what the program makes of the end of the tape
    return 0;
}
