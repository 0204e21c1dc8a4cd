// Arithmetic, logic, shifts and 16-bit operations against their flag rules,
// exhaustively where the input space is small.
#include "cpu_fixture.h"

namespace {

// Reference flags written from the textbook definitions (not the XOR formula the
// processor uses).
uint8_t nz(unsigned r) { return ((r & 0x80) ? CC_N : 0) | ((r & 0xFF) == 0 ? CC_Z : 0); }

struct Op8 {
    uint8_t opcode;  // immediate form, accumulator A
    bool subtract, withCarry;
};

TEST(CpuAlu, ExhaustiveAddSubWithAndWithoutCarry) {
    CpuFixture f;
    for (Op8 op : {Op8{0x8B, false, false}, Op8{0x89, false, true}, Op8{0x80, true, false}, Op8{0x82, true, true}}) {
        for (unsigned a = 0; a < 256; ++a)
            for (unsigned b = 0; b < 256; ++b)
                for (unsigned cin = 0; cin < 2; ++cin) {
                    f.setA(static_cast<uint8_t>(a));
                    f.c.cc = static_cast<uint8_t>(cin ? CC_C | CC_H : CC_V);  // H survives subtraction
                    f.run1({op.opcode, static_cast<uint8_t>(b)});
                    unsigned carry = op.withCarry ? cin : 0;
                    unsigned r;
                    uint8_t want;
                    if (op.subtract) {
                        r = (a - b - carry) & 0xFF;
                        want = nz(r) | (((a ^ b) & (a ^ r) & 0x80) ? CC_V : 0) | (a < b + carry ? CC_C : 0) |
                               (cin ? CC_H : 0);
                    } else {
                        r = (a + b + carry) & 0xFF;
                        want = nz(r) | ((~(a ^ b) & (a ^ r) & 0x80) ? CC_V : 0) | (a + b + carry > 0xFF ? CC_C : 0) |
                               (((a & 15) + (b & 15) + carry) > 15 ? CC_H : 0);
                    }
                    ASSERT_EQ(f.a(), r) << std::hex << op.opcode << " " << a << " " << b << " " << cin;
                    ASSERT_EQ(f.c.cc, want) << std::hex << op.opcode << " " << a << " " << b << " " << cin;
                }
    }
}

TEST(CpuAlu, EveryDaaInput) {
    CpuFixture f;
    for (unsigned a = 0; a < 256; ++a)
        for (int flags : {0, int{CC_H}, int{CC_C}, CC_H | CC_C}) {
            f.setA(static_cast<uint8_t>(a));
            f.c.cc = static_cast<uint8_t>(flags | CC_V);
            f.run1({0x19});
            unsigned lo = a & 15, hi = a & 0xF0, corr = 0;
            if (lo > 9 || (flags & CC_H)) corr += 6;
            if ((hi >= 0x90 && lo > 9) || hi >= 0xA0 || (flags & CC_C)) corr += 0x60;
            unsigned t = a + corr;
            ASSERT_EQ(f.a(), t & 0xFF) << a;
            ASSERT_EQ(f.c.cc, nz(t) | (flags & CC_H) | ((flags & CC_C) || t > 0xFF ? CC_C : 0)) << a;
        }
    // 0x19 + 0x28 = 0x41 with H; DAA makes it 0x47.
    f.setA(0x19);
    f.c.cc = 0;
    f.load(0x4000, {0x8B, 0x28, 0x19});
    f.c.pc = 0x4000;
    f.step();
    EXPECT_TRUE(f.c.cc & CC_H);
    f.step();
    EXPECT_EQ(f.a(), 0x47);
    EXPECT_FALSE(f.c.cc & CC_C);
}

// Every single-operand operation, in all four forms (A, B, indexed, extended).
TEST(CpuAlu, SingleOperandOperationsInEveryForm) {
    struct Case {
        uint8_t column;
        uint8_t (*result)(uint8_t v, bool cin);
        uint8_t (*flags)(uint8_t v, bool cin, uint8_t r);  // N Z V C (H untouched)
    };
    const Case cases[] = {
        {0x0, [](uint8_t v, bool) { return uint8_t(-v); },
         [](uint8_t v, bool, uint8_t r) { return uint8_t(nz(r) | (v == 0x80 ? CC_V : 0) | (v ? CC_C : 0)); }},
        {0x3, [](uint8_t v, bool) { return uint8_t(~v); }, [](uint8_t, bool, uint8_t r) { return uint8_t(nz(r) | CC_C); }},
        {0x4, [](uint8_t v, bool) { return uint8_t(v >> 1); },
         [](uint8_t v, bool, uint8_t r) { return uint8_t(nz(r) | CC_V | (v & 1)); }},  // V kept (set before)
        {0x6, [](uint8_t v, bool cin) { return uint8_t(v >> 1 | cin << 7); },
         [](uint8_t v, bool, uint8_t r) { return uint8_t(nz(r) | CC_V | (v & 1)); }},
        {0x7, [](uint8_t v, bool) { return uint8_t(v >> 1 | (v & 0x80)); },
         [](uint8_t v, bool, uint8_t r) { return uint8_t(nz(r) | CC_V | (v & 1)); }},
        {0x8, [](uint8_t v, bool) { return uint8_t(v << 1); },
         [](uint8_t v, bool, uint8_t r) { return uint8_t(nz(r) | (((r >> 7) ^ (v >> 7)) ? CC_V : 0) | (v >> 7)); }},
        {0x9, [](uint8_t v, bool cin) { return uint8_t(v << 1 | cin); },
         [](uint8_t v, bool, uint8_t r) { return uint8_t(nz(r) | (((r >> 7) ^ (v >> 7)) ? CC_V : 0) | (v >> 7)); }},
        {0xA, [](uint8_t v, bool) { return uint8_t(v - 1); },
         [](uint8_t, bool cin, uint8_t r) { return uint8_t(nz(r) | (r == 0x7F ? CC_V : 0) | cin); }},
        {0xC, [](uint8_t v, bool) { return uint8_t(v + 1); },
         [](uint8_t, bool cin, uint8_t r) { return uint8_t(nz(r) | (r == 0x80 ? CC_V : 0) | cin); }},
        {0xD, [](uint8_t v, bool) { return v; }, [](uint8_t, bool, uint8_t r) { return nz(r); }},
        {0xF, [](uint8_t, bool) { return uint8_t(0); }, [](uint8_t, bool, uint8_t) { return uint8_t(CC_Z); }},
    };
    CpuFixture f;
    for (const Case& k : cases)
        for (unsigned v = 0; v < 256; ++v)
            for (bool cin : {false, true}) {
                uint8_t r = k.result(uint8_t(v), cin);
                uint8_t want = k.flags(uint8_t(v), cin, r) | CC_H;
                for (int form = 0; form < 4; ++form) {
                    uint8_t op = uint8_t(0x40 + form * 0x10 + k.column);
                    f.c.cc = uint8_t(CC_V | CC_H | (cin ? CC_C : 0));
                    f.setA(uint8_t(v));
                    f.setB(uint8_t(v));
                    f.mem(0x4123) = uint8_t(v);
                    f.c.x = 0x4100;
                    if (form < 2) f.run1({op});
                    else if (form == 2) f.run1({op, 0x23});
                    else f.run1({op, 0x41, 0x23});
                    uint8_t got = form == 0 ? f.a() : form == 1 ? f.b() : f.mem(0x4123);
                    ASSERT_EQ(got, r) << std::hex << int(op) << " " << v << " " << cin;
                    ASSERT_EQ(f.c.cc, want) << std::hex << int(op) << " " << v << " " << cin;
                }
            }
}

TEST(CpuAlu, NegEdgesAndLogicKeepsCarry) {
    CpuFixture f;
    f.setA(0x80);
    f.c.cc = 0;
    f.run1({0x40});
    EXPECT_EQ(f.a(), 0x80);
    EXPECT_EQ(f.c.cc, CC_N | CC_V | CC_C);
    f.setA(0x00);
    f.run1({0x40});
    EXPECT_EQ(f.c.cc, CC_Z);
    // AND/BIT/EOR/ORA/LDA clear V and leave C.
    for (uint8_t op : {0x84, 0x85, 0x88, 0x8A, 0x86}) {
        f.setA(0xF0);
        f.c.cc = CC_V | CC_C;
        f.run1({op, 0x80});
        EXPECT_EQ(f.c.cc & (CC_V | CC_C), CC_C) << int(op);
    }
    EXPECT_EQ(f.a(), 0x80);
}

uint8_t nz16(unsigned r) { return ((r & 0x8000) ? CC_N : 0) | ((r & 0xFFFF) == 0 ? CC_Z : 0); }

TEST(CpuAlu, SixteenBitArithmetic) {
    CpuFixture f;
    const uint16_t values[] = {0x0000, 0x0001, 0x00FF, 0x0100, 0x7FFF, 0x8000, 0x8001, 0xFFFF, 0x1234, 0xEDCB};
    for (uint16_t a : values)
        for (uint16_t b : values) {
            uint8_t hi = uint8_t(b >> 8), lo = uint8_t(b);
            // ADDD
            f.c.d = a;
            f.c.cc = CC_H;
            f.run1({0xC3, hi, lo});
            unsigned r = (a + b) & 0xFFFF;
            ASSERT_EQ(f.c.d, r);
            ASSERT_EQ(f.c.cc, nz16(r) | ((~(a ^ b) & (a ^ r) & 0x8000) ? CC_V : 0) | (a + b > 0xFFFF ? CC_C : 0) | CC_H);
            // SUBD and CPX (6803 CPX sets all four flags like SUBD)
            r = (a - b) & 0xFFFF;
            uint8_t want = nz16(r) | (((a ^ b) & (a ^ r) & 0x8000) ? CC_V : 0) | (a < b ? CC_C : 0);
            f.c.d = a;
            f.c.cc = 0;
            f.run1({0x83, hi, lo});
            ASSERT_EQ(f.c.d, r);
            ASSERT_EQ(f.c.cc, want);
            f.c.x = a;
            f.c.cc = 0;
            f.run1({0x8C, hi, lo});
            ASSERT_EQ(f.c.x, a);
            ASSERT_EQ(f.c.cc, want);
        }
    f.c.x = 0x1000;
    f.c.cc = 0;
    f.run1({0x8C, 0x20, 0x00});
    EXPECT_EQ(f.c.cc, CC_N | CC_C);
}

TEST(CpuAlu, SixteenBitShiftsMulAbxIncrements) {
    CpuFixture f;
    f.c.d = 0x8001;
    f.c.cc = CC_V;
    f.run1({0x04});  // LSRD: V unchanged
    EXPECT_EQ(f.c.d, 0x4000);
    EXPECT_EQ(f.c.cc, CC_V | CC_C);
    f.c.d = 0x0001;
    f.c.cc = 0;
    f.run1({0x04});
    EXPECT_EQ(f.c.cc, CC_Z | CC_C);
    f.c.d = 0xC000;
    f.c.cc = 0;
    f.run1({0x05});  // ASLD: N=1, C=1, V=0
    EXPECT_EQ(f.c.d, 0x8000);
    EXPECT_EQ(f.c.cc, CC_N | CC_C);
    f.c.d = 0x4000;
    f.run1({0x05});
    EXPECT_EQ(f.c.cc, CC_N | CC_V);

    f.c.d = 0xFFFF;
    f.c.cc = CC_C;
    f.run1({0x3D});
    EXPECT_EQ(f.c.d, 0xFE01);
    EXPECT_EQ(f.c.cc, 0);
    f.c.d = 0x8001;
    f.run1({0x3D});
    EXPECT_EQ(f.c.d, 0x0080);
    EXPECT_EQ(f.c.cc, CC_C);

    f.c.x = 0xFFFF;
    f.c.d = 0x0002;
    f.c.cc = 0x2F;
    f.run1({0x3A});
    EXPECT_EQ(f.c.x, 0x0001);
    EXPECT_EQ(f.c.cc, 0x2F);
    f.c.x = 0xFFFF;
    f.c.cc = CC_N | CC_C;
    f.run1({0x08});  // INX sets only Z
    EXPECT_EQ(f.c.x, 0);
    EXPECT_EQ(f.c.cc, CC_N | CC_C | CC_Z);
    f.run1({0x09});
    EXPECT_EQ(f.c.x, 0xFFFF);
    EXPECT_EQ(f.c.cc, CC_N | CC_C);
}

TEST(CpuAlu, RegisterTransfersAndLoadsStores) {
    CpuFixture f;
    f.c.d = 0x8000;
    f.c.cc = CC_V | CC_C;
    f.run1({0x16});  // TAB
    EXPECT_EQ(f.c.d, 0x8080);
    EXPECT_EQ(f.c.cc, CC_N | CC_C);
    // LDD extended, STD indexed, LDX direct (0xFF wraps to 0x100 for the low byte is not RAM here)
    f.load(0x4200, {0x00, 0x00});
    f.c.cc = CC_V;
    f.run1({0xFC, 0x42, 0x00});
    EXPECT_EQ(f.c.d, 0);
    EXPECT_EQ(f.c.cc, CC_Z);
    f.c.d = 0xBEEF;
    f.c.x = 0x4300;
    f.run1({0xED, 0x10});
    EXPECT_EQ(f.mem(0x4310), 0xBE);
    EXPECT_EQ(f.mem(0x4311), 0xEF);
    EXPECT_EQ(f.c.cc, CC_N);
    // Indexed addresses wrap: x = 0xFFF0 + 0x20 reads 0x0010.
    f.mem(0x0010) = 0x5A;
    f.c.x = 0xFFF0;
    f.run1({0xA6, 0x20});
    EXPECT_EQ(f.a(), 0x5A);
}

}  // namespace
