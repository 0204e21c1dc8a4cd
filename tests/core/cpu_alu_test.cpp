// Arithmetic, logic, shifts and 16-bit operations against their flag rules,
// exhaustively where the input space is small. Reference flags use the textbook
// definitions, not the XOR formula of the processor.
#include <vector>

#include "cpu_fixture.h"

namespace {

uint8_t nz(unsigned r) { return ((r & 0x80) ? CC_N : 0) | ((r & 0xFF) == 0 ? CC_Z : 0); }
// ASL and ROL: result r of v; V = N xor C.
unsigned shl(unsigned v, unsigned r) { return r | (nz(r) | ((r ^ v) & 0x80 ? CC_V : 0) | (v >> 7)) << 8; }

TEST(CpuAlu, ExhaustiveAddSubWithAndWithoutCarry) {
    CpuFixture f;
    for (uint8_t op : {0x8B, 0x89, 0x80, 0x82})  // ADDA ADCA SUBA SBCA immediate
        for (unsigned a = 0; a < 256; ++a)
            for (unsigned b = 0; b < 256; ++b)
                for (unsigned cin = 0; cin < 2; ++cin) {
                    f.setA(uint8_t(a));
                    f.c.cc = uint8_t(cin ? CC_C | CC_H : CC_V);
                    f.run1({op, uint8_t(b)});
                    unsigned k = (op == 0x89 || op == 0x82) ? cin : 0, r;
                    uint8_t want;
                    if (op <= 0x82) {  // H is not touched by subtraction
                        r = (a - b - k) & 0xFF;
                        want = nz(r) | (((a ^ b) & (a ^ r) & 0x80) ? CC_V : 0) | (a < b + k) | (cin ? CC_H : 0);
                    } else {
                        r = (a + b + k) & 0xFF;
                        want = nz(r) | ((~(a ^ b) & (a ^ r) & 0x80) ? CC_V : 0) | (a + b + k > 0xFF) |
                               (((a & 15) + (b & 15) + k) > 15 ? CC_H : 0);
                    }
                    ASSERT_EQ(f.a(), r) << std::hex << int(op) << " " << a << " " << b << " " << cin;
                    ASSERT_EQ(f.c.cc, want) << std::hex << int(op) << " " << a << " " << b << " " << cin;
                }
}

TEST(CpuAlu, EveryDaaInput) {
    CpuFixture f;
    for (unsigned a = 0; a < 256; ++a)
        for (int flags : {0, int{CC_H}, int{CC_C}, CC_H | CC_C}) {
            f.setA(uint8_t(a));
            f.c.cc = uint8_t(flags | CC_V);
            f.run1({0x19});
            unsigned lo = a & 15, hi = a & 0xF0, corr = 0;
            if (lo > 9 || (flags & CC_H)) corr += 6;
            if ((hi >= 0x90 && lo > 9) || hi >= 0xA0 || (flags & CC_C)) corr += 0x60;
            unsigned t = a + corr;
            ASSERT_EQ(f.a(), t & 0xFF) << a;
            ASSERT_EQ(f.c.cc, nz(t) | (flags & CC_H) | ((flags & CC_C) || t > 0xFF ? CC_C : 0)) << a;
        }
}

// Each single-operand operation in all four forms (A, B, indexed, extended), for every
// value and carry in. V is set beforehand, so the right shifts must keep it.
TEST(CpuAlu, SingleOperandOperationsInEveryForm) {
    using Fn = unsigned (*)(unsigned v, unsigned cin);  // result | flags << 8
    struct Case { uint8_t column; Fn fn; };
    const Case cases[] = {
        {0x0, [](unsigned v, unsigned) { unsigned r = -v & 0xFF; return r | (nz(r) | (v == 0x80 ? CC_V : 0) | (v != 0)) << 8; }},
        {0x3, [](unsigned v, unsigned) { unsigned r = ~v & 0xFF; return r | (nz(r) | CC_C) << 8; }},
        {0x4, [](unsigned v, unsigned) { return (v >> 1) | (nz(v >> 1) | CC_V | (v & 1)) << 8; }},
        {0x6, [](unsigned v, unsigned c) { unsigned r = v >> 1 | c << 7; return r | (nz(r) | CC_V | (v & 1)) << 8; }},
        {0x7, [](unsigned v, unsigned) { unsigned r = v >> 1 | (v & 0x80); return r | (nz(r) | CC_V | (v & 1)) << 8; }},
        {0x8, [](unsigned v, unsigned) { return shl(v, (v << 1) & 0xFF); }},
        {0x9, [](unsigned v, unsigned c) { return shl(v, (v << 1 | c) & 0xFF); }},
        {0xA, [](unsigned v, unsigned c) { unsigned r = (v - 1) & 0xFF; return r | (nz(r) | (r == 0x7F ? CC_V : 0) | c) << 8; }},
        {0xC, [](unsigned v, unsigned c) { unsigned r = (v + 1) & 0xFF; return r | (nz(r) | (r == 0x80 ? CC_V : 0) | c) << 8; }},
        {0xD, [](unsigned v, unsigned) { return v | nz(v) << 8; }},
        {0xF, [](unsigned, unsigned) { return unsigned{CC_Z} << 8; }},
    };
    CpuFixture f;
    f.c.x = 0x4100;
    for (const Case& k : cases)
        for (unsigned v = 0; v < 256; ++v)
            for (unsigned cin = 0; cin < 2; ++cin) {
                unsigned want = k.fn(v, cin);
                for (int form = 0; form < 4; ++form) {
                    uint8_t op = uint8_t(0x40 + form * 0x10 + k.column);
                    f.c.cc = uint8_t(CC_V | CC_H | cin);
                    f.c.d = uint16_t(v << 8 | v);
                    f.mem(0x4123) = uint8_t(v);
                    f.run1({op, uint8_t(form == 2 ? 0x23 : 0x41), 0x23});
                    uint8_t got = form == 0 ? f.a() : form == 1 ? f.b() : f.mem(0x4123);
                    ASSERT_EQ(got, want & 0xFF) << std::hex << int(op) << " " << v << " " << cin;
                    ASSERT_EQ(f.c.cc, (want >> 8) | CC_H) << std::hex << int(op) << " " << v << " " << cin;
                }
            }
}

TEST(CpuAlu, SixteenBitArithmetic) {
    CpuFixture f;
    const uint16_t values[] = {0x0000, 0x0001, 0x00FF, 0x0100, 0x7FFF, 0x8000, 0x8001, 0xFFFF, 0x1234, 0xEDCB};
    auto nz16 = [](unsigned r) { return uint8_t(((r & 0x8000) ? CC_N : 0) | ((r & 0xFFFF) == 0 ? CC_Z : 0)); };
    for (uint16_t a : values)
        for (uint16_t b : values) {
            uint8_t hi = uint8_t(b >> 8), lo = uint8_t(b);
            unsigned sum = (a + b) & 0xFFFF, diff = (a - b) & 0xFFFF;
            uint8_t subFlags = nz16(diff) | (((a ^ b) & (a ^ diff) & 0x8000) ? CC_V : 0) | (a < b);
            f.c.d = a, f.c.cc = CC_H;
            f.run1({0xC3, hi, lo});  // ADDD: H untouched
            ASSERT_EQ(f.c.d, sum);
            ASSERT_EQ(f.c.cc, nz16(sum) | ((~(a ^ b) & (a ^ sum) & 0x8000) ? CC_V : 0) | (a + b > 0xFFFF) | CC_H);
            f.c.d = a, f.c.cc = 0;
            f.run1({0x83, hi, lo});  // SUBD
            ASSERT_EQ(f.c.d, diff);
            ASSERT_EQ(f.c.cc, subFlags);
            f.c.x = a, f.c.cc = 0;
            f.run1({0x8C, hi, lo});  // CPX sets all four flags like SUBD
            ASSERT_EQ(f.c.x, a);
            ASSERT_EQ(f.c.cc, subFlags);
        }
}

// One row: registers before, code run to its end, registers after.
struct Row {
    uint16_t d, x;
    uint8_t cc;
    std::vector<uint8_t> code;
    uint16_t wantD, wantX;
    uint8_t wantCc;
};

TEST(CpuAlu, InstructionRows) {
    const Row rows[] = {
        {0x8000, 0, 0, {0x40}, 0x8000, 0, CC_N | CC_V | CC_C},                 // NEGA 0x80
        {0x0000, 0, 0, {0x40}, 0x0000, 0, CC_Z},                               // NEGA 0
        {0x0100, 0, CC_V, {0x44}, 0x0000, 0, CC_V | CC_Z | CC_C},              // LSRA keeps V
        {0x8001, 0, CC_V, {0x04}, 0x4000, 0, CC_V | CC_C},                     // LSRD keeps V
        {0xC000, 0, 0, {0x05}, 0x8000, 0, CC_N | CC_C},                        // ASLD
        {0x4000, 0, 0, {0x05}, 0x8000, 0, CC_N | CC_V},
        {0xFFFF, 0, CC_C, {0x3D}, 0xFE01, 0, 0},                               // MUL
        {0x8001, 0, 0, {0x3D}, 0x0080, 0, CC_C},
        {0x0002, 0xFFFF, 0x2F, {0x3A}, 0x0002, 0x0001, 0x2F},                  // ABX, no flags
        {0, 0xFFFF, CC_N | CC_C, {0x08}, 0, 0x0000, CC_N | CC_C | CC_Z},        // INX: Z only
        {0, 0x0000, CC_Z, {0x09}, 0, 0xFFFF, 0},                               // DEX
        {0, 0x1000, 0, {0x8C, 0x20, 0x00}, 0, 0x1000, CC_N | CC_C},            // CPX borrow
        {0x8000, 0, CC_V | CC_C, {0x16}, 0x8080, 0, CC_N | CC_C},              // TAB
        {0xF000, 0, CC_V | CC_C, {0x84, 0x80}, 0x8000, 0, CC_N | CC_C},        // ANDA
        {0xF000, 0, CC_V | CC_C, {0x85, 0x0F}, 0xF000, 0, CC_Z | CC_C},        // BITA stores nothing
        {0xF000, 0, CC_V, {0x88, 0xFF}, 0x0F00, 0, 0},                         // EORA
        {0x0001, 0, CC_V, {0x10}, 0xFF01, 0, CC_N | CC_C},                     // SBA 0 - 1
        {0x0101, 0, 0, {0x11}, 0x0101, 0, CC_Z},                               // CBA
        {0x1234, 0, CC_V, {0xCC, 0x00, 0x00}, 0x0000, 0, CC_Z},                // LDD #0
        {0x1900, 0, 0, {0x8B, 0x28, 0x19}, 0x4700, 0, CC_H},                      // ADDA with H, DAA
        {0x9A00, 0, 0, {0x19}, 0x0000, 0, CC_Z | CC_C},                        // DAA 0x9A
        {0x0000, 0xFFF0, 0, {0xA6, 0x20}, 0x5A00, 0xFFF0, 0},                  // 0xFFF0+0x20 = 0x0010
        {0xBEEF, 0x4300, 0, {0xED, 0x10, 0xEC, 0x10}, 0xBEEF, 0x4300, CC_N},   // STD/LDD indexed
    };
    CpuFixture f;
    f.mem(0x0010) = 0x5A;
    for (const Row& r : rows) {
        for (size_t i = 0; i < r.code.size(); ++i) f.mem(uint16_t(0x4000 + i)) = r.code[i];
        f.c.d = r.d, f.c.x = r.x, f.c.cc = r.cc, f.c.pc = 0x4000;
        while (f.c.pc < 0x4000 + r.code.size()) f.step();
        EXPECT_EQ(f.c.d, r.wantD) << std::hex << int(r.code[0]);
        EXPECT_EQ(f.c.x, r.wantX) << std::hex << int(r.code[0]);
        EXPECT_EQ(f.c.cc, r.wantCc) << std::hex << int(r.code[0]);
    }
}

}  // namespace
