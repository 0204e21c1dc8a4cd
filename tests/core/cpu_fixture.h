// Test machine for the processor: code at 0x4000 (RAM in every memory layout),
// vectors written straight into the address space, stack in the 4 KiB RAM.
//
//   CpuFixture f;
//   f.load(0x4000, {0x86, 0x12});   // LDAA #$12
//   f.step();                       // one instruction, returns its cycles
#pragma once
#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>

#include "cpu/opcodes.h"
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
    void vector(uint16_t at, uint16_t target) {
        mem(at) = static_cast<uint8_t>(target >> 8);
        mem(static_cast<uint16_t>(at + 1)) = static_cast<uint8_t>(target);
    }
    // Runs exactly one instruction at pc (a budget of 0 still runs one).
    int32_t step() { return cpuExecute(m, 0); }
    // Loads the bytes at 0x4000, runs one instruction from there.
    int32_t run1(std::initializer_list<uint8_t> bytes) {
        load(0x4000, bytes);
        c.pc = 0x4000;
        return step();
    }
    uint8_t a() const { return c.a(); }
    uint8_t b() const { return c.b(); }
    void setA(uint8_t v) { c.d = static_cast<uint16_t>(v << 8 | (c.d & 0xFF)); }
    void setB(uint8_t v) { c.d = static_cast<uint16_t>((c.d & 0xFF00) | v); }
};
