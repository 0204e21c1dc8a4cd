// Golden traces: our own machine-code programs (tests/golden/*.asm, assembled at build
// time) run for a number of frames, and must leave exactly the RAM, registers, timer
// and cycle counts recorded here. They cover every documented opcode, the timer and
// its interrupts, the keyboard with keys held, and port 2; they do not use the BASIC
// ROM. A change to the execution loop that alters any of it fails here.
//
// After a deliberate change of behaviour, the failure message shows the new line to
// record.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "machine.h"

namespace {

std::vector<uint8_t> goldenProgram(const std::string& name) {
    std::ifstream in(std::string(TOVRIN_GOLDEN_DIR) + "/" + name + ".bin", std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A machine without ROM: the program at 0x4000 starts with six jumps (reset, output
// compare, overflow, SWI, input capture, IRQ1) that the vectors point at.
std::unique_ptr<Machine> goldenMachine(const std::string& program) {
    auto m = std::make_unique<Machine>();
    initMemory(*m);
    std::vector<uint8_t> code = goldenProgram(program);
    EXPECT_GT(code.size(), 18u) << program;
    std::copy(code.begin(), code.end(), m->mem.addressSpace + 0x4000);
    const uint16_t vectors[][2] = {{0xFFFE, 0x4000}, {0xFFF4, 0x4003}, {0xFFF2, 0x4006},
                                   {0xFFFA, 0x4009}, {0xFFF6, 0x400C}, {0xFFF8, 0x400F}};
    for (const auto& v : vectors) {
        m->mem.addressSpace[v[0]] = uint8_t(v[1] >> 8);
        m->mem.addressSpace[v[0] + 1] = uint8_t(v[1]);
    }
    for (int k = 0; k < 48; ++k) m->keyboard.matrixKeyTable[k] = uint8_t(0x80 + k);  // a host-free key map
    cpuInit(*m);
    cpuReset(*m);
    resetCycleCount(m->cycles);
    return m;
}

// Different keys in different frames: two matrix keys and now and then SHIFT, CTRL
// and BREAK.
void holdKeys(Machine& m, int frame) {
    uint8_t* keys = m.keyboard.emulatedKeyState;
    std::fill(keys, keys + 256, 0);
    keys[m.keyboard.matrixKeyTable[(frame * 5) % 48]] = 0x80;
    keys[m.keyboard.matrixKeyTable[(frame * 11 + 3) % 48]] = 0x81;
    if (frame % 3 == 0) keys[vkShift] = 0x80;
    if (frame % 5 == 0) keys[vkControl] = 0x80;
    if (frame % 7 == 0) keys[vkEscape] = 0x80;
}

std::string summary(const Machine& m, int64_t ran) {
    uint64_t hash = 0xcbf29ce484222325ull;  // FNV-1a over the whole address space
    for (uint8_t b : m.mem.addressSpace) hash = (hash ^ b) * 0x100000001b3ull;
    const CpuState& c = m.cpu;
    char t[256];
    std::snprintf(t, sizeof t, "ram %016llx pc %04X sp %04X d %04X x %04X cc %02X counter %08X tcsr %02X ocr %08X "
                  "cycles %u ran %lld",
                  static_cast<unsigned long long>(hash), c.pc, c.sp, c.d, c.x, c.cc, c.counter, c.tcsr,
                  c.outputCompare, m.cycles.count, static_cast<long long>(ran));
    std::string s = t;
    s += " dp";
    for (int a = 0x80; a < 0x90; ++a) s += (std::snprintf(t, sizeof t, " %02X", m.mem.addressSpace[a]), t);
    s += " 4F80";
    for (int a = 0x4F80; a < 0x4F84; ++a) s += (std::snprintf(t, sizeof t, " %02X", m.mem.addressSpace[a]), t);
    return s;
}

struct Golden {
    const char* program;
    int frames;    // whole frames of 11 364 + 3 551 cycles; or
    int steps;     // calls of cpuExecute with budget stepBudget, as a debugger steps
    int stepBudget;
    const char* expected;
};

TEST(CpuGolden, ProgramsLeaveTheRecordedMachineState) {
    const Golden cases[] = {
        {"opcodes", 200, 0, 0,
         "ram 471139b50e3c00f6 pc 405D sp 4FEE d 4761 x 4A00 cc 10 counter 000086C1 tcsr 60 ocr 0000FFFF cycles 2905257 ran 2983617 dp 4A 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 4F80 86 61 00 45"},
        {"timer", 300, 0, 0,
         "ram 495508ea182deb42 pc 4066 sp 4FF0 d 01E0 x 483E cc 01 counter 000101FC tcsr 0C ocr 000106B2 cycles 899833 ran 4482821 dp 48 3E 02 5C 00 54 00 10 01 01 1F 33 00 01 01 11 4F80 00 00 00 00"},
        {"io", 120, 0, 0,
         "ram 0b7ab98976f954a4 pc 4017 sp 4FEE d 2410 x 499E cc 10 counter 0000509A tcsr 60 ocr 0000FFFF cycles 1790106 ran 1790106 dp 49 9D 02 27 00 7F 93 00 00 00 00 00 00 00 00 00 4F80 00 00 00 00"},
        {"opcodes", 0, 30000, 0,
         "ram f0d4d17991487f55 pc 4030 sp 4FEE d 0F0F x 4E42 cc 11 counter 0000D748 tcsr 60 ocr 0000FFFF cycles 117476 ran 120648 dp 4E 42 00 00 00 00 00 00 00 00 00 00 00 00 00 00 4F80 66 62 00 02"},
        {"timer", 0, 150000, 1,
         "ram ae358c769a78dc22 pc 4087 sp 4FF0 d 4D32 x 00AC cc 10 counter 0000637A tcsr 0C ocr 0000750A cycles 65642 ran 201402 dp 4A D0 00 21 00 04 00 01 00 0E 14 CA 00 00 0E 00 4F80 00 00 00 00"},
        {"io", 0, 20000, -5,
         "ram 5f19b58aff0e68b2 pc 403C sp 4FF0 d F7FF x 480E cc 19 counter 00000C70 tcsr 60 ocr 0000FFFF cycles 68720 ran 68720 dp 48 0E 00 15 00 1B 73 00 00 00 00 00 00 00 00 00 4F80 00 00 00 00"},
    };
    for (const Golden& g : cases) {
        auto m = goldenMachine(g.program);
        int64_t ran = 0;
        for (int f = 0; f < g.frames; ++f) {
            holdKeys(*m, f);
            ran += cpuExecute(*m, 11364);
            ran += cpuExecute(*m, 3551);
        }
        for (int s = 0; s < g.steps; ++s) {
            if (s % 1000 == 0) holdKeys(*m, s / 1000);
            ran += cpuExecute(*m, g.stepBudget);
        }
        EXPECT_EQ(summary(*m, ran), g.expected) << g.program << " " << g.frames << " frames, " << g.steps << " steps";
    }
}

}  // namespace
