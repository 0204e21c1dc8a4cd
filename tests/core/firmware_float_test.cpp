// The built-in ROM's floating-point package, called routine by routine on the real
// CPU: operands go into memory in the packed 5-byte format, the routine runs until it
// returns to a sentinel address (or reaches an error entry), and the result is read
// back and checked against host arithmetic. Worst errors and cycle counts are printed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <sstream>
#include <string>

#include "firmware_harness.h"
#include "machine/memory_access.h"

namespace {

// Routine and cell addresses from the assembler's symbol file. TOVRIN_FLOAT_ROM and
// TOVRIN_FLOAT_SYM name another image and its symbols to try the routines in: while
// the ROM has no room for the optional functions (FPFUNCS 0 in float.asm), assemble
// float.asm alone with FPFUNCS 1 in a directory of its own, from a file such as
//     processor 6803
//   T_PLUS equ $A7
//   T_MINUS equ $A8
//     org $E000
//   overr bra overr
//   dzerr bra dzerr
//   fcerr bra fcerr
//     include "float.asm"
//   reset bra reset
//     org $FFFE
//     dc.w reset
// (dasm it.asm -f3 -oit.bin -sit.sym), and run these tests with the two variables set.
std::map<std::string, uint16_t> loadSymbols() {
    std::map<std::string, uint16_t> syms;
    const char* other = std::getenv("TOVRIN_FLOAT_SYM");
    std::ifstream in(other ? other : TOVRIN_ROM_SYM);
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream ls(line);
        std::string name, value;
        if (ls >> name >> value && value.size() <= 5 && value.find_first_not_of("0123456789abcdef") == std::string::npos)
            syms[name] = static_cast<uint16_t>(std::stoul(value, nullptr, 16));
    }
    return syms;
}

using Packed = std::array<uint8_t, 5>;

// Exact value of a packed number.
long double unpack(const Packed& p) {
    if (p[0] == 0) return 0;
    uint32_t m = (uint32_t(p[1] | 0x80) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 8) | p[4];
    long double v = std::ldexp(static_cast<long double>(m), p[0] - 128 - 32);
    return (p[1] & 0x80) ? -v : v;
}

// Nearest packed number (halves away from zero); the value must be in range.
Packed pack(long double v) {
    if (v == 0) return {0, 0, 0, 0, 0};
    bool neg = v < 0;
    int e;
    long double f = std::frexp(std::fabs(v), &e);  // [0.5, 1)
    uint64_t m = static_cast<uint64_t>(std::floor(std::ldexp(f, 32) + 0.5L));
    if (m == (uint64_t(1) << 32)) { m >>= 1; ++e; }
    return {static_cast<uint8_t>(e + 128), static_cast<uint8_t>(((m >> 24) & 0x7F) | (neg ? 0x80 : 0)),
            static_cast<uint8_t>(m >> 16), static_cast<uint8_t>(m >> 8), static_cast<uint8_t>(m)};
}

// Error of got against want in units of the last place of want's 32-bit mantissa.
double ulps(long double got, long double want) {
    if (want == 0) return got == 0 ? 0 : 1e9;
    int e;
    std::frexp(want, &e);
    return static_cast<double>(std::fabs(got - want) / std::ldexp(1.0L, e - 32));
}

// A random packed number with a binary exponent in [lo, hi].
long double randomValue(std::mt19937& rng, int lo, int hi) {
    std::uniform_int_distribution<uint32_t> mant(0, 0x7FFFFFFF);
    std::uniform_int_distribution<int> ex(lo, hi);
    std::uniform_int_distribution<int> sign(0, 1);
    uint32_t m = 0x80000000u | mant(rng);
    long double v = std::ldexp(static_cast<long double>(m), ex(rng) - 32);
    return sign(rng) ? -v : v;
}

constexpr uint16_t kSentinel = 0x4F00;  // return address; never executed
constexpr uint16_t kOpA = 0x4E00, kOpB = 0x4E08, kRes = 0x4E10, kText = 0x4E20;

struct FloatRom {
    BasicMachine b;
    std::map<std::string, uint16_t> sym = loadSymbols();
    uint32_t lastCycles = 0, parseCycles = 0;
    int deepestStack = 0;  // bytes below the return address, over all calls

    FloatRom() {
        if (const char* other = std::getenv("TOVRIN_FLOAT_ROM")) {
            std::ifstream in(other, std::ios::binary);
            in.read(reinterpret_cast<char*>(b.m->mem.addressSpace + 0xE000), 0x2000);
        }
    }
    // SQR, LOG, EXP, SIN, COS, TAN are assembled only when the ROM has room for them.
    bool hasFunctions() const { return sym.count("fpsint") != 0; }

    uint16_t at(const std::string& name) const {
        auto it = sym.find(name);
        if (it == sym.end()) ADD_FAILURE() << "no symbol " << name;
        return it == sym.end() ? 0 : it->second;
    }
    uint8_t peek(uint16_t a) { return readMemory(*b.m, a); }
    void poke(uint16_t a, uint8_t v) { writeMemory(*b.m, a, v); }
    void put(uint16_t a, const Packed& p) {
        for (int i = 0; i < 5; ++i) poke(static_cast<uint16_t>(a + i), p[i]);
    }
    Packed get(uint16_t a) {
        Packed p;
        for (int i = 0; i < 5; ++i) p[i] = peek(static_cast<uint16_t>(a + i));
        return p;
    }
    // Calls a routine with X and D set; returns where it ended: "" when it returned,
    // else the error entry it reached.
    std::string call(const std::string& name, uint16_t x = 0, uint16_t d = 0) {
        CpuState& c = b.m->cpu;
        c.sp = 0x4EFF;
        poke(c.sp, kSentinel & 0xFF);
        poke(static_cast<uint16_t>(c.sp - 1), kSentinel >> 8);
        c.sp = static_cast<uint16_t>(c.sp - 2);
        c.pc = at(name);
        c.x = x;
        c.d = d;
        const uint16_t ov = at("overr"), dz = at("dzerr"), fc = at("fcerr");
        uint32_t start = currentCycles(b.m->cycles);
        for (int n = 0; n < 2000000; ++n) {
            deepestStack = std::max(deepestStack, 0x4EFD - c.sp);
            if (c.pc == kSentinel) {
                lastCycles = currentCycles(b.m->cycles) - start;
                return "";
            }
            if (c.pc == ov) return "overr";
            if (c.pc == dz) return "dzerr";
            if (c.pc == fc) return "fcerr";
            cpuExecute(*b.m, 1);
        }
        return "hung";
    }
    // FAC = v (through fpld), ARG = a (through fpldarg).
    void setFac(long double v) { put(kOpB, pack(v)); call("fpld", kOpB); }
    void setArg(long double v) { put(kOpA, pack(v)); call("fpldarg", kOpA); }
    long double fac() {
        call("fpst", kRes);
        return unpack(get(kRes));
    }
    // FAC = op(a, b) with ARG = a, FAC = b; returns the end ("" or an error entry).
    std::string binop(const std::string& op, long double a, long double bv) {
        setArg(a);
        setFac(bv);
        return call(op);
    }
    std::string text() {
        std::string s;
        for (uint16_t a = at("FPBUF"); peek(a) != 0 && s.size() < 40; ++a) s += static_cast<char>(peek(a));
        return s;
    }
    std::string str(long double v) {
        setFac(v);
        call("fpstr");
        return text();
    }
    // Parses text (ASCII; '\xA7'/'\xA8' stand for the plus/minus tokens); returns
    // the value and how many characters were used.
    long double parse(const std::string& t, int* used = nullptr) {
        for (size_t i = 0; i <= t.size(); ++i) poke(static_cast<uint16_t>(kText + i), i < t.size() ? uint8_t(t[i]) : 0);
        call("fpparse", kText);
        parseCycles = lastCycles;
        if (used) *used = b.m->cpu.x - kText;
        return fac();
    }
};

FloatRom& rom() {
    static FloatRom r;
    return r;
}

}  // namespace

TEST(FirmwareFloat, ArithmeticIsWithinHalfAnUlpOfTheExactResult) {
    FloatRom& f = rom();
    std::mt19937 rng(1234);
    struct Op {
        const char* name;
        long double (*exact)(long double, long double);
    } ops[] = {
        {"fpadd", [](long double a, long double b) { return a + b; }},
        {"fpsub", [](long double a, long double b) { return a - b; }},
        {"fpmul", [](long double a, long double b) { return a * b; }},
        {"fpdiv", [](long double a, long double b) { return a / b; }},
    };
    for (const Op& op : ops) {
        double worst = 0;
        uint64_t cycles = 0;
        const int n = 3000;
        for (int i = 0; i < n; ++i) {
            // close exponents most of the time, so that sums cancel and carry
            long double a = randomValue(rng, -40, 40);
            int ea;
            std::frexp(a, &ea);
            long double b = i % 3 ? randomValue(rng, ea - 3, ea + 3) : randomValue(rng, -40, 40);
            if (i % 50 == 0) b = -a;  // exact cancellation
            ASSERT_EQ(f.binop(op.name, a, b), "") << op.name;
            cycles += f.lastCycles;
            long double want = op.exact(a, b);
            double e = ulps(f.fac(), want);
            ASSERT_LE(e, 0.51) << op.name << " " << double(a) << " " << double(b);
            worst = std::max(worst, e);
        }
        std::cout << "[ float ] " << op.name << ": worst " << worst << " ulp, " << cycles / n << " cycles on average\n";
    }
}

TEST(FirmwareFloat, ExactCasesAndZeros) {
    FloatRom& f = rom();
    struct Case {
        const char* op;
        long double a, b, want;
    } cases[] = {
        {"fpadd", 1, 2, 3},       {"fpadd", 0, 5, 5},      {"fpadd", 5, 0, 5},       {"fpadd", 1.5, -1.5, 0},
        {"fpsub", 1, 3, -2},      {"fpsub", 0, 0, 0},      {"fpmul", 3, -4, -12},    {"fpmul", 0, 7, 0},
        {"fpmul", 7, 0, 0},       {"fpdiv", 1, 4, 0.25},   {"fpdiv", -9, 3, -3},     {"fpdiv", 0, 3, 0},
        {"fpadd", 1e30L, 1, 1e30L}, {"fpmul", 65536, 65536, 4294967296.0L},
        // rounding carries out of all 32 mantissa bits
        {"fpadd", 1 - std::ldexp(1.0L, -32), std::ldexp(1.0L, -33), 1},
        {"fpsub", -1 + std::ldexp(1.0L, -32), std::ldexp(1.0L, -33), -1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(f.binop(c.op, c.a, c.b), "") << c.op;
        EXPECT_EQ(f.fac(), unpack(pack(c.want))) << c.op << " " << double(c.a) << " " << double(c.b);
    }
    // a zero result is stored as plain zero
    f.binop("fpsub", 2, 2);
    f.call("fpst", kRes);
    EXPECT_EQ(f.get(kRes), (Packed{0, 0, 0, 0, 0}));
}

TEST(FirmwareFloat, OverflowDivisionByZeroAndUnderflow) {
    FloatRom& f = rom();
    EXPECT_EQ(f.binop("fpdiv", 1, 0), "dzerr");
    EXPECT_EQ(f.binop("fpdiv", 0, 0), "dzerr");
    EXPECT_EQ(f.binop("fpmul", 1e38L, 10), "overr");
    EXPECT_EQ(f.binop("fpadd", 1.7e38L, 1.7e38L), "overr");
    EXPECT_EQ(f.binop("fpdiv", 1e38L, 1e-10L), "overr");
    EXPECT_EQ(f.binop("fpmul", 1e-30L, 1e-30L), "");
    EXPECT_EQ(f.fac(), 0);
    EXPECT_EQ(f.binop("fpdiv", 1e-30L, 1e30L), "");
    EXPECT_EQ(f.fac(), 0);
}

TEST(FirmwareFloat, SignsAndCompare) {
    FloatRom& f = rom();
    f.setFac(-2.5);
    f.call("fpneg");
    EXPECT_EQ(f.fac(), 2.5);
    f.setFac(-2.5);
    f.call("fpabs");
    EXPECT_EQ(f.fac(), 2.5);
    for (long double v : {-7.25L, 0.0L, 1e-20L}) {
        f.setFac(v);
        f.call("fpsgn");
        EXPECT_EQ(f.fac(), (v > 0) - (v < 0));
    }
    f.setFac(0);
    f.call("fpneg");
    EXPECT_EQ(f.peek(f.at("FACSGN")), 0);  // no minus zero

    std::mt19937 rng(99);
    for (int i = 0; i < 3000; ++i) {
        long double a = randomValue(rng, -3, 3), b = i % 4 ? randomValue(rng, -3, 3) : a;
        if (i % 7 == 0) a = 0;
        if (i % 11 == 0) b = 0;
        if (i % 13 == 0) b = -a;
        f.setArg(a);
        f.setFac(b);
        f.call("fpcmp");
        uint8_t r = f.b.m->cpu.b();
        uint8_t want = a > b ? 1 : a < b ? 0xFF : 0;
        ASSERT_EQ(r, want) << double(a) << " vs " << double(b);
        ASSERT_EQ((f.b.m->cpu.cc & CC_Z) != 0, r == 0);
        ASSERT_EQ((f.b.m->cpu.cc & CC_N) != 0, r == 0xFF);
    }
}

TEST(FirmwareFloat, IntegerConversionsOverEverySixteenBitValue) {
    FloatRom& f = rom();
    uint64_t cycFrom = 0, cycTo = 0;
    for (int v = -32768; v <= 32767; ++v) {
        ASSERT_EQ(f.call("fpfromd", 0, static_cast<uint16_t>(v)), "");
        cycFrom += f.lastCycles;
        ASSERT_EQ(f.fac(), v);
        ASSERT_EQ(f.call("fptod"), "");
        cycTo += f.lastCycles;
        ASSERT_EQ(static_cast<int16_t>(f.b.m->cpu.d), v);
    }
    std::cout << "[ float ] fpfromd " << cycFrom / 65536 << " cycles, fptod " << cycTo / 65536 << " cycles on average\n";
    for (int v = 0; v < 256; ++v) {
        f.call("fpfromb", 0, static_cast<uint16_t>(0xAB00 | v));
        ASSERT_EQ(f.fac(), v);
    }
    // truncation towards zero, and the ranges
    struct Case {
        long double v;
        const char* tod;
        int d;
        const char* toad;
        int ad;
    } cases[] = {
        {2.7L, "", 2, "", 2},           {-2.7L, "", -2, "", 0xFFFE},      {0.5L, "", 0, "", 0},
        {-0.5L, "", 0, "", 0},          {32767.9L, "", 32767, "", 32767}, {-32768.5L, "", -32768, "", 0x8000},
        {32768, "fcerr", 0, "", 32768}, {-32769, "fcerr", 0, "fcerr", 0}, {65535.5L, "fcerr", 0, "", 65535},
        {65536, "fcerr", 0, "fcerr", 0}, {1e10L, "fcerr", 0, "fcerr", 0}, {-1, "", -1, "", 0xFFFF},
    };
    for (const Case& c : cases) {
        f.setFac(c.v);
        ASSERT_EQ(f.call("fptod"), c.tod) << double(c.v);
        if (!*c.tod) {
            EXPECT_EQ(static_cast<int16_t>(f.b.m->cpu.d), c.d) << double(c.v);
        }
        f.setFac(c.v);
        ASSERT_EQ(f.call("fptoad"), c.toad) << double(c.v);
        if (!*c.toad) {
            EXPECT_EQ(f.b.m->cpu.d, c.ad) << double(c.v);
        }
    }
}

TEST(FirmwareFloat, IntIsFloor) {
    FloatRom& f = rom();
    std::mt19937 rng(7);
    for (int i = 0; i < 4000; ++i) {
        long double v = randomValue(rng, -4, 36);
        if (i < 40) v = (i - 20) / 4.0L;
        f.setFac(v);
        ASSERT_EQ(f.call("fpint"), "");
        ASSERT_EQ(f.fac(), std::floor(v)) << double(v);
    }
}

TEST(FirmwareFloat, NumbersPrintAsTheInterpreterShowsThem) {
    FloatRom& f = rom();
    struct Case {
        long double v;
        const char* text;
    } cases[] = {
        {5, " 5"},
        {-0.25L, "-.25"},
        {1.0L / 3, " .333333333"},
        {2147483648.0L, " 2.14748365E+09"},
        {0.001L, " 1E-03"},
        {1.5e-5L, " 1.5E-05"},
        {1e10L, " 1E+10"},
        {0, " 0"},
        {123456789, " 123456789"},
        {1e9L, " 1E+09"},
        {999999999, " 999999999"},
        {0.01L, " .01"},
        {0.05L, " .05"},
        {-1, "-1"},
        {100, " 100"},
        {3.14159265L, " 3.14159265"},
        {-12.5L, "-12.5"},
        {1e-20L, " 1E-20"},
        {1.7e38L, " 1.7E+38"},
        {65535, " 65535"},
        {0.1L, " .1"},
        {2.0L / 3, " .666666667"},
        {9999999999.0L, " 1E+10"},
        {1e-38L, " 1E-38"},
        {3e-39L, " 3E-39"},
        {123.456L, " 123.456"},
        {999999999.7L, " 1E+09"},
        {99999.99999999L, " 100000"},
        {0.09999999999L, " .1"},
        {0.0099999999999L, " .01"},
    };
    uint64_t cycles = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(f.str(c.v), c.text) << double(c.v);
        cycles += f.lastCycles;
    }
    std::cout << "[ float ] fpstr " << cycles / std::size(cases) << " cycles on average\n";
    f.put(kOpB, {0, 0x80, 0, 0, 0});  // a zero with the sign bit set
    f.call("fpld", kOpB);
    f.call("fpstr");
    EXPECT_EQ(f.text(), " 0");
    for (int k = -38; k <= 38; ++k) {
        char want[16];
        if (k >= 9 || k <= -3)
            std::snprintf(want, sizeof want, " 1E%c%02d", k < 0 ? '-' : '+', std::abs(k));
        else if (k >= 0)
            std::snprintf(want, sizeof want, " 1%s", std::string(static_cast<size_t>(k), '0').c_str());
        else
            std::snprintf(want, sizeof want, " .%s1", std::string(static_cast<size_t>(-k - 1), '0').c_str());
        EXPECT_EQ(f.str(std::pow(10.0L, k)), want) << k;
    }
}

TEST(FirmwareFloat, TextBecomesTheNearestNumber) {
    FloatRom& f = rom();
    struct Case {
        const char* text;
        long double want;
        int used;
    } cases[] = {
        {"5", 5, 1},
        {"123", 123, 3},
        {".5", 0.5L, 2},
        {".", 0, 1},
        {"1.5E-5", 1.5e-5L, 6},
        {"1E+10", 1e10L, 5},
        {"1E\xA7" "10", 1e10L, 5},
        {"2E\xA8" "3", 2e-3L, 4},
        {"1 2 3:", 123, 5},
        {"3.14159265", 3.14159265L, 10},
        {"2147483648", 2147483648.0L, 10},
        {"1.2.3", 1.2L, 3},
        {"12A", 12, 2},
        {"1E", 1, 2},
        {"0.000001", 1e-6L, 8},
        {"1E38", 1e38L, 4},
        {"1E-38", 1e-38L, 5},
        {"1E-50", 0, 5},
        {"123456789012", 123456789012.0L, 12},
        {".1", 0.1L, 2},
        {"00000000000000000000000000000007", 7, 32},
    };
    uint64_t cycles = 0;
    for (const Case& c : cases) {
        int used = 0;
        long double got = f.parse(c.text, &used);
        cycles += f.parseCycles;
        EXPECT_LE(ulps(got, unpack(pack(c.want))), 1.0) << c.text << " -> " << double(got);
        EXPECT_EQ(used, c.used) << c.text;
    }
    std::cout << "[ float ] fpparse " << cycles / std::size(cases) << " cycles on average";
    f.parse("2");
    std::cout << ", " << f.parseCycles << " for \"2\"\n";
    int used;
    f.parse("1E39", &used);
    EXPECT_EQ(f.call("fpparse", kText), "overr");
}

TEST(FirmwareFloat, PrintedNumbersAreTheValueToNineDigits) {
    FloatRom& f = rom();
    std::mt19937 rng(5);
    int off = 0;
    const int n = 1500;
    for (int i = 0; i < n; ++i) {
        long double v = randomValue(rng, -127, 127);
        std::string t = f.str(v);
        ASSERT_EQ(t[0], v < 0 ? '-' : ' ');
        long double back = std::strtold(t.c_str() + 1, nullptr);
        // the value rounded to nine digits, and one unit in the ninth digit
        char want[40];
        std::snprintf(want, sizeof want, "%.8Le", std::fabs(v));
        long double shown = std::strtold(want, nullptr);
        long double unit = std::pow(10.0L, std::atoi(std::strchr(want, 'e') + 1) - 8);
        long double d = std::fabs(back - shown);
        ASSERT_LE(d, unit * 1.01L) << double(v) << " " << t << " " << want;
        if (d > unit * 0.01L) ++off;
    }
    std::cout << "[ float ] printed: " << off << " of " << n
              << " random numbers differ from the correctly rounded nine digits by one in the last digit\n";
}

TEST(FirmwareFloat, FunctionsAgainstTheHostLibrary) {
    FloatRom& f = rom();
    if (!f.hasFunctions()) GTEST_SKIP() << "the functions are not assembled into this ROM";
    struct Fn {
        const char* name;
        long double (*exact)(long double);
        long double lo, hi;  // sample range (a log scale for SQR and LOG)
        bool logScale;
        double limit;        // worst error allowed, in ulps of the result
    } fns[] = {
        {"fpsqr", [](long double x) { return std::sqrt(x); }, -120, 120, true, 1.0},
        {"fplog", [](long double x) { return std::log(x); }, -120, 120, true, 3.0},
        {"fplog", [](long double x) { return std::log(x); }, 0.5L, 2, false, 3.0},
        {"fpexp", [](long double x) { return std::exp(x); }, -87, 87, false, 3.0},
        {"fpsin", [](long double x) { return std::sin(x); }, -100, 100, false, 3.0},
        {"fpcos", [](long double x) { return std::cos(x); }, -100, 100, false, 3.0},
        {"fptan", [](long double x) { return std::tan(x); }, -10, 10, false, 4.0},
    };
    std::mt19937 rng(2024);
    for (const Fn& fn : fns) {
        std::uniform_real_distribution<double> u(static_cast<double>(fn.lo), static_cast<double>(fn.hi));
        double worst = 0;
        long double worstAt = 0;
        uint64_t cycles = 0;
        const int n = 400;
        for (int i = 0; i < n; ++i) {
            long double x = unpack(pack(fn.logScale ? std::exp2(static_cast<long double>(u(rng))) : u(rng)));
            f.setFac(x);
            ASSERT_EQ(f.call(fn.name), "") << fn.name << " " << double(x);
            cycles += f.lastCycles;
            double e = ulps(f.fac(), fn.exact(x));
            if (e > worst) worst = e, worstAt = x;
        }
        std::cout << "[ float ] " << fn.name << " on " << double(fn.lo) << ".." << double(fn.hi) << (fn.logScale ? " (powers of 2)" : "")
                  << ": worst " << worst << " ulp at " << double(worstAt) << ", " << cycles / n << " cycles on average\n";
        EXPECT_LE(worst, fn.limit) << fn.name << " at " << double(worstAt);
    }
}

TEST(FirmwareFloat, PowersSquareExactlyAndFailAsTheInterpreterReports) {
    FloatRom& f = rom();
    struct Case {
        long double a, b, want;
        bool fractional;  // needs LOG and EXP
    } cases[] = {
        {3, 2, 9, false},        {2, 10, 1024, false},     {-2, 3, -8, false},
        {2, -1, 0.5L, false},    {0, 0, 1, false},         {7, 0, 1, false},
        {0, 3, 0, false},        {-3, 2, 9, false},        {10, 9, 1e9L, false},
        {1.5L, 2, 2.25L, false}, {2, 0.5L, std::sqrt(2.0L), true},
        {100, 0.5L, 10, true},   {8, 1.0L / 3, 2, true},   {2, 100000, 0, true},
    };
    for (const Case& c : cases) {
        if (c.fractional && !f.hasFunctions()) continue;
        std::string end = f.binop("fppow", c.a, c.b);
        if (c.want == 0 && c.a == 2) {
            EXPECT_EQ(end, "overr");
            continue;
        }
        ASSERT_EQ(end, "") << double(c.a) << "^" << double(c.b);
        EXPECT_LE(ulps(f.fac(), c.want), 4.0) << double(c.a) << "^" << double(c.b) << " = " << double(f.fac());
    }
    // A^2 is the rounded square, as A*A
    std::mt19937 rng(3);
    uint64_t cycles = 0;
    for (int i = 0; i < 500; ++i) {
        long double a = randomValue(rng, -60, 60);
        ASSERT_EQ(f.binop("fppow", a, 2), "");
        cycles += f.lastCycles;
        ASSERT_EQ(f.fac(), unpack(pack(a * a))) << double(a);
    }
    std::cout << "[ float ] fppow A^2: " << cycles / 500 << " cycles on average\n";
    EXPECT_EQ(f.binop("fppow", -8, 1.0L / 3), "fcerr");
    EXPECT_EQ(f.binop("fppow", 0, -1), "dzerr");
    EXPECT_EQ(f.binop("fppow", 0, -0.5L), "dzerr");
    EXPECT_EQ(f.binop("fppow", 10, 39), "overr");
    EXPECT_EQ(f.binop("fppow", 10, 38.5L), f.hasFunctions() ? "overr" : "fcerr");
}

TEST(FirmwareFloat, FunctionDomainsAndRanges) {
    FloatRom& f = rom();
    if (!f.hasFunctions()) GTEST_SKIP() << "the functions are not assembled into this ROM";
    struct Case {
        const char* fn;
        long double x;
        const char* end;
        long double want;
    } cases[] = {
        {"fplog", 0, "fcerr", 0},    {"fplog", -1, "fcerr", 0},  {"fpsqr", -1, "fcerr", 0},
        {"fpsqr", 0, "", 0},         {"fpexp", 89, "overr", 0},  {"fpexp", -100, "", 0},
        {"fpexp", 0, "", 1},         {"fplog", 1, "", 0},        {"fpsin", 0, "", 0},
        {"fpcos", 0, "", 1},         {"fptan", 0, "", 0},        {"fpsqr", 16, "", 4},
        {"fpexp", 1, "", std::exp(1.0L)},
        // far outside the reduced ranges, and the ends of the number range
        {"fpexp", 1e6L, "overr", 0}, {"fpexp", -1e6L, "", 0},    {"fpsin", 1e6L, "fcerr", 0},
        {"fpcos", -1e6L, "fcerr", 0},
        {"fplog", std::ldexp(0.6L, -127), "", std::log(std::ldexp(0.6L, -127))},
        {"fplog", std::ldexp(0.99L, 127), "", std::log(std::ldexp(0.99L, 127))},
        {"fpsqr", std::ldexp(0.6L, -127), "", std::sqrt(std::ldexp(0.6L, -127))},
        {"fpsqr", std::ldexp(0.99L, 127), "", std::sqrt(std::ldexp(0.99L, 127))},
    };
    for (const Case& c : cases) {
        f.setFac(c.x);
        ASSERT_EQ(f.call(c.fn), c.end) << c.fn << "(" << double(c.x) << ")";
        if (!*c.end) {
            EXPECT_LE(ulps(f.fac(), c.want), 1.0) << c.fn << "(" << double(c.x) << ") = " << double(f.fac());
        }
    }
}

TEST(FirmwareFloat, RandomNumbers) {
    FloatRom& f = rom();
    long double sum = 0;
    uint64_t cycles = 0;
    for (int i = 0; i < 2000; ++i) {
        f.setFac(0);
        ASSERT_EQ(f.call("fprnd"), "");
        cycles += f.lastCycles;
        long double r = f.fac();
        ASSERT_GT(r, 0);
        ASSERT_LT(r, 1);
        sum += r;
    }
    EXPECT_NEAR(static_cast<double>(sum / 2000), 0.5, 0.03);
    std::cout << "[ float ] fprnd(0): " << cycles / 2000 << " cycles on average\n";
    int seen[7] = {};
    cycles = 0;
    for (int i = 0; i < 600; ++i) {
        f.setFac(6.9L);
        ASSERT_EQ(f.call("fprnd"), "");
        cycles += f.lastCycles;
        long double r = f.fac();
        ASSERT_EQ(r, std::floor(r));
        ASSERT_GE(r, 1);
        ASSERT_LE(r, 6);
        ++seen[static_cast<int>(r)];
    }
    for (int k = 1; k <= 6; ++k) EXPECT_GT(seen[k], 60) << k;
    std::cout << "[ float ] fprnd(6.9): " << cycles / 600 << " cycles on average\n";
    f.setFac(1);
    f.call("fprnd");
    std::cout << "[ float ] fprnd(1): " << f.lastCycles << " cycles\n";
    EXPECT_EQ(f.fac(), 1);
    std::cout << "[ float ] deepest stack use so far: " << f.deepestStack << " bytes\n";
    // a negative argument restarts the sequence
    long double first[2];
    for (long double& v : first) {
        f.setFac(-3);
        f.call("fprnd");
        f.setFac(0);
        f.call("fprnd");
        v = f.fac();
    }
    EXPECT_EQ(first[0], first[1]);
}

TEST(FirmwareFloat, AnyBytesEndCleanly) {
    FloatRom& f = rom();
    std::mt19937 rng(77);
    std::uniform_int_distribution<int> byte(0, 255);
    // text: the parser stops inside what it was given and never runs away
    for (int i = 0; i < 400; ++i) {
        std::string t;
        int n = byte(rng) % 14;
        for (int k = 0; k < n; ++k) {
            const char pool[] = "0123456789.E+- \xA7\xA8:A";
            t += pool[byte(rng) % (sizeof pool - 1)];
        }
        for (size_t k = 0; k <= t.size(); ++k) f.poke(static_cast<uint16_t>(kText + k), k < t.size() ? uint8_t(t[k]) : 0);
        std::string end = f.call("fpparse", kText);
        ASSERT_TRUE(end == "" || end == "overr") << t << " -> " << end;
        if (end == "") {
            ASSERT_LE(f.b.m->cpu.x, kText + t.size()) << t;
        }
    }
    // numbers: every packed pattern goes through every operation to a result or an error
    const char* ops[] = {"fpadd", "fpsub", "fpmul", "fpdiv", "fppow", "fpcmp"};
    for (int i = 0; i < 600; ++i) {
        Packed a, b;
        for (auto& x : a) x = static_cast<uint8_t>(byte(rng));
        for (auto& x : b) x = static_cast<uint8_t>(byte(rng));
        f.put(kOpA, a);
        f.put(kOpB, b);
        f.call("fpldarg", kOpA);
        f.call("fpld", kOpB);
        std::string end = f.call(ops[i % 6]);
        ASSERT_NE(end, "hung") << ops[i % 6];
        f.call("fpld", kOpB);
        ASSERT_EQ(f.call("fpstr"), "");
        ASSERT_LE(f.text().size(), 15u);
    }
}
