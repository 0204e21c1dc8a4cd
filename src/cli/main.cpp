// tovrin-cli: the headless runner. Hard-resets a machine, runs frames unpaced and
// prints the text screen.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "machine.h"

namespace {

void usage() {
    std::fprintf(stderr, "usage: tovrin-cli [--frames N] [--text] [--rom FILE]\n");
}

// Screen code to ASCII: normal text as upper case, inverse text as lower case,
// semigraphics as '#'.
char cellChar(uint8_t code) {
    if (code >= 0x80) return '#';
    char c = static_cast<char>(code & 0x3F);
    if (c < 0x20) c = static_cast<char>(c + 0x40);
    if (code < 0x40 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    long frames = 60;
    bool text = false;
    std::string rom;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--frames" && i + 1 < argc) {
            frames = std::strtol(argv[++i], nullptr, 10);
        } else if (a == "--text") {
            text = true;
        } else if (a == "--rom" && i + 1 < argc) {
            rom = argv[++i];
        } else {
            usage();
            return 2;
        }
    }
    auto m = std::make_unique<Machine>();
    if (!rom.empty()) {
        m->settings.usebuiltinromflag = 0;
        m->settings.ROMfilename = rom;
    }
    loadRomImages(*m);
    recomputeFrameTiming(*m);
    startupReset(*m);
    for (long f = 0; f < frames; ++f) {
        cpuExecute(*m, m->timing.activeScanCycles);
        cpuExecute(*m, m->timing.borderVblankCycles);
    }
    if (text) {
        for (int r = 0; r < 16; ++r) {
            std::string line;
            for (int c = 0; c < 32; ++c) line += cellChar(m->mem.addressSpace[0x4000 + r * 32 + c]);
            std::cout << line << '\n';
        }
    }
    return 0;
}
