// Test machine for the processor: code at 0x4000 (RAM in every memory layout),
// vectors written straight into the address space, stack at 0x4F00.
//
//   CpuFixture f;
//   f.run1({0x86, 0x12});             // LDAA #$12 at 0x4000, one instruction
//   EXPECT_EQ(f.regs(), "4002 4F00 1200 0000 10");   // pc sp d x cc
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

#include "cpu/opcodes.h"
#include "cpu/timer.h"
#include "machine.h"

struct CpuFixture {
    std::unique_ptr<Machine> machine = std::make_unique<Machine>();
    Machine& m = *machine;
    CpuState& c = m.cpu;

    CpuFixture() {
        vector(0xFFFE, 0x4000);
        cpuInit(m);
        cpuReset(m);
        c.sp = 0x4F00;
    }
    uint8_t& mem(uint16_t a) { return m.mem.addressSpace[a]; }
    void load(uint16_t at, std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes) mem(at++) = b;
    }
    void vector(uint16_t at, uint16_t target) { load(at, {uint8_t(target >> 8), uint8_t(target)}); }
    // One instruction at pc (a budget of 0 still runs one); returns the cycles.
    int32_t step() { return cpuExecute(m, 0); }
    // Loads code at 0x4000 and runs its first instruction.
    int32_t run1(std::initializer_list<uint8_t> code) {
        load(0x4000, code);
        c.pc = 0x4000;
        return step();
    }
    // "pc sp d x cc" in hex, so one comparison checks every register.
    std::string regs() const {
        char t[32];
        std::snprintf(t, sizeof t, "%04X %04X %04X %04X %02X", c.pc, c.sp, c.d, c.x, c.cc);
        return t;
    }
    // n bytes upwards from sp + 1, in hex.
    std::string stack(int n) {
        std::string s;
        char t[4];
        for (int i = 1; i <= n; ++i) s += (std::snprintf(t, sizeof t, "%02X", mem(uint16_t(c.sp + i))), t);
        return s;
    }
    uint8_t a() const { return c.a(); }
    uint8_t b() const { return c.b(); }
    void setA(uint8_t v) { c.d = uint16_t(v << 8 | (c.d & 0xFF)); }
};
