// Fuzz target: a Quick Type text file typed against a scripted keyboard reader. The
// case bit (0x421C) and the colour bits (0x4282) follow a pattern taken from the
// input, so the case and colour keys sometimes work and sometimes do not. Whatever
// the text, typing ends: each character takes at most 12 press-hold-release cycles
// (2 case keys, 9 colour keys, itself), and at least one (a CR LF pair is one ENTER).
#include <memory>
#include <vector>

#include "fuzz_support.h"
#include "machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzScratch scratch;
    const std::string path = scratch.write("input.txt", data, size);

    auto m = std::make_unique<Machine>();
    FuzzHost host;
    m->host.messages = &host;
    m->host.debug = &host;
    initKeyTables(*m);
    m->settings.qtuselowerflag = size && (data[0] & 1);
    const bool started = startQuickTypeFile(*m, path);
    FUZZ_CHECK(started == (size > 0));
    const uint64_t typed = normaliseLineEnds(std::vector<uint8_t>(data, data + size)).size();
    const uint64_t limit = 3 * 12 * typed + 3;
    uint64_t reads = 0;
    for (; m->quickType.quickTypeActive; ++reads) {
        FUZZ_CHECK(reads <= limit);
        const uint8_t pattern = data[reads % size];
        m->mem.addressSpace[0x421C] = pattern & 1;
        m->mem.addressSpace[0x4282] = pattern;
        readPort2(*m, 0xFB);  // column 2 strobed: one Quick Type step
    }
    FUZZ_CHECK(reads >= 3 * typed);
    FUZZ_CHECK(m->quickType.text.empty());
    return 0;
}
