// The on-chip register block at 0x00-0x14: data direction registers, the timer
// (control and status, free-running counter, output compare, input capture) and the
// RAM control register, with the side effects of each access.
#include "cpu/timer.h"
#include "machine.h"

uint8_t readOnChipRegister(Machine& m, uint16_t address) {
    CpuState& c = m.cpu;
    switch (address) {
        case 0x00: return c.ddr1;
        case 0x01: return c.ddr2;
        case 0x08:
            c.tcsrWasRead = true;
            c.pendingFlags = 0;
            return c.tcsr;
        case 0x09:
            // Reading the counter's high byte clears TOF, unless TOF was raised again
            // since the status register was last read.
            if (!(c.pendingFlags & TCSR_TOF)) {
                c.tcsr &= static_cast<uint8_t>(~TCSR_TOF);
                recomputeIrqSources(c);
                c.tcsrWasRead = false;
            }
            return static_cast<uint8_t>(c.counter >> 8);
        case 0x0A: return static_cast<uint8_t>(c.counter);
        case 0x0B: return static_cast<uint8_t>(c.outputCompare >> 8);
        case 0x0C: return static_cast<uint8_t>(c.outputCompare);
        case 0x0D:
            if (!(c.pendingFlags & TCSR_ICF)) {
                c.tcsr &= static_cast<uint8_t>(~TCSR_ICF);
                recomputeIrqSources(c);
            }
            return static_cast<uint8_t>(c.inputCapture >> 8);
        case 0x0E: return static_cast<uint8_t>(c.inputCapture);
        case 0x14: return c.ramControl;
        default: return m.mem.addressSpace[address];  // not a register of this block
    }
}

namespace {

void counterMoved(CpuState& c) {
    setOverflowPeriod(c);
    setOutputComparePeriod(c);
    chooseNextEvent(c);
}

// A write to either compare byte clears OCF when it follows a status register read.
void writeCompareByte(CpuState& c, int shift, uint8_t value) {
    uint32_t mask = 0xFFu << shift;
    if (((c.outputCompare & mask) >> shift) != value) {
        c.outputCompare = (c.outputCompare & ~mask) | (uint32_t{value} << shift);
        setOutputComparePeriod(c);
        chooseNextEvent(c);
    }
    if (c.tcsrWasRead) {
        c.tcsrWasRead = false;
        c.tcsr &= static_cast<uint8_t>(~TCSR_OCF);
        recomputeIrqSources(c);
    }
}

}  // namespace

void writeOnChipRegister(Machine& m, uint16_t address, uint8_t value) {
    CpuState& c = m.cpu;
    switch (address) {
        case 0x00: c.ddr1 = value; break;
        case 0x01: c.ddr2 = value; break;
        case 0x08:
            c.tcsr = value;
            c.pendingFlags &= value;
            recomputeIrqSources(c);
            // The one place outside the instruction set where a pending interrupt is taken.
            if (!(c.cc & CC_I) && c.irqSources) {
                uint16_t vector = c.irqSources & TCSR_ICF ? 0xFFF6 : c.irqSources & TCSR_OCF ? 0xFFF4 : 0xFFF2;
                enterInterrupt(m, vector);
            }
            break;
        case 0x09:
            c.counterHighLatch = value;
            c.counter = (c.counter & 0xFFFF0000) | 0xFFF8;
            counterMoved(c);
            break;
        case 0x0A:
            c.counter = (c.counter & 0xFFFF0000) | uint32_t{c.counterHighLatch} << 8 | value;
            counterMoved(c);
            break;
        case 0x0B: writeCompareByte(c, 8, value); break;
        case 0x0C: writeCompareByte(c, 0, value); break;
        case 0x14: c.ramControl = value; break;
        default: break;  // input capture and the absent serial/port 3 registers: storage only
    }
}
