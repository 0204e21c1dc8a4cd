// Fuzz target: a machine state file. The file length field and the closing CRC-32 are
// set to match the input, so that mutations reach the sections instead of stopping at
// the checksum. A refused file leaves the machine as it was (with a reason); a loaded
// one runs, and saving it gives a file that loads to the same bytes again.
#include <cstring>
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "machine.h"
#include "state/state_file.h"

namespace {

void runFrames(Machine& m, int n) {
    for (int i = 0; i < n; ++i) {
        cpuExecute(m, m.timing.activeScanCycles);
        cpuExecute(m, m.timing.borderVblankCycles);
        portOutputIdleCheck(m);
    }
}

void putLe32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> bytes(data, data + size);
    if (bytes.size() >= 16) putLe32(bytes.data() + 12, static_cast<uint32_t>(bytes.size()));
    if (bytes.size() >= 4) putLe32(bytes.data() + bytes.size() - 4, crc32(bytes.data(), bytes.size() - 4));

    static FuzzScratch scratch;
    auto m = std::make_unique<Machine>();
    FuzzHost host;
    m->settings.filename = scratch.path("LPRINT.TXT");  // a loaded program may print
    m->host.messages = &host;
    m->host.debug = &host;
    loadRomImages(*m);
    recomputeFrameTiming(*m);
    startupReset(*m);
    const std::vector<uint8_t> before = saveStateToBytes(*m);
    std::string why;
    if (!loadStateFromBytes(*m, bytes.data(), bytes.size(), why)) {
        FUZZ_CHECK(!why.empty());
        FUZZ_CHECK(saveStateToBytes(*m) == before);  // untouched
        return 0;
    }
    const std::vector<uint8_t> saved = saveStateToBytes(*m);
    auto again = std::make_unique<Machine>();
    again->host.messages = &host;
    again->host.debug = &host;
    loadRomImages(*again);
    recomputeFrameTiming(*again);
    startupReset(*again);
    FUZZ_CHECK(loadStateFromBytes(*again, saved.data(), saved.size(), why));
    FUZZ_CHECK(saveStateToBytes(*again) == saved);
    runFrames(*m, 3);
    return 0;
}
