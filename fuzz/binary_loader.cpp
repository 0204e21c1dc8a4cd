// Fuzz target: Load Binary File. The input is the dialog's content and the file:
// one flag byte (bit 0: "Set EXEC address to: "), the load field up to a newline, the
// EXEC field up to a newline, then the file's bytes. A load either copies the file to
// the load address (and pokes the EXEC cell) or changes no byte of memory.
#include <cstring>
#include <memory>

#include "fuzz_support.h"
#include "machine.h"
#include "machine/binary_loader.h"

namespace {

std::string field(const uint8_t*& p, const uint8_t* end) {
    const uint8_t* nl = static_cast<const uint8_t*>(std::memchr(p, '\n', static_cast<size_t>(end - p)));
    if (!nl) nl = end;
    std::string text(p, nl);
    p = nl == end ? end : nl + 1;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static FuzzScratch scratch;
    if (size == 0) return 0;
    const uint8_t *p = data + 1, *end = data + size;
    LoadBinaryForm form;
    form.pokeExec = data[0] & 1;
    form.loadText = field(p, end);
    form.execText = field(p, end);
    const size_t fileSize = static_cast<size_t>(end - p);
    form.fileName = scratch.write("input.bin", p, fileSize);

    auto m = std::make_unique<Machine>();
    for (size_t a = 0; a < 65536; ++a) m->mem.addressSpace[a] = static_cast<uint8_t>(a * 13 + 7);
    auto before = std::make_unique<MachineMemory>(m->mem);
    const std::string errors = loadBinaryFile(*m, form);
    if (!errors.empty()) {
        FUZZ_CHECK(errors.rfind("ERROR: \n", 0) == 0 && errors.size() > 8);
        FUZZ_CHECK(std::memcmp(before->addressSpace, m->mem.addressSpace, 65536) == 0);
        return 0;
    }
    bool hex;
    const int load = parseAddress(form.loadText.substr(0, 7), hex);
    FUZZ_CHECK(load >= 0 && static_cast<size_t>(load) + fileSize <= 65536 && fileSize > 0);
    FUZZ_CHECK(m->workingSettings.bloadaddr == load);
    for (size_t a = 0; a < 65536; ++a) {
        uint8_t want = before->addressSpace[a];
        if (a >= static_cast<size_t>(load) && a < load + fileSize) want = p[a - static_cast<size_t>(load)];
        if (form.pokeExec && a == 0x421F) want = static_cast<uint8_t>(m->workingSettings.bexecaddr >> 8);
        if (form.pokeExec && a == 0x4220) want = static_cast<uint8_t>(m->workingSettings.bexecaddr);
        FUZZ_CHECK(m->mem.addressSpace[a] == want);
    }
    return 0;
}
