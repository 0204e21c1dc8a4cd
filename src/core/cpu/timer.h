// Small timer helpers shared by the execution loop and the on-chip register block.
//
//   recomputeIrqSources(c);   // after every change of tcsr
//   chooseNextEvent(c);       // after the counter or the compare register moved
#pragma once
#include "cpu/cpu.h"

enum : uint8_t {
    TCSR_ICF = 0x80, TCSR_OCF = 0x40, TCSR_TOF = 0x20,
    TCSR_EICI = 0x10, TCSR_EOCI = 0x08, TCSR_ETOI = 0x04,
};

inline void recomputeIrqSources(CpuState& c) {
    c.irqSources = static_cast<uint8_t>(c.tcsr & (c.tcsr << 3) & 0xE0);
}

// The nearer of the compare and overflow points, counted from the counter; ties go
// to the overflow.
inline void chooseNextEvent(CpuState& c) {
    c.nextEvent = (c.outputCompare - c.counter) < (c.overflowPoint - c.counter) ? c.outputCompare
                                                                                : c.overflowPoint;
}

// The next match of the compare register falls in this period if it is still ahead of
// the counter, else in the following one.
inline void setOutputComparePeriod(CpuState& c) {
    uint32_t ocr = c.outputCompare & 0xFFFF;
    uint32_t period = c.counter >> 16;
    if (ocr < (c.counter & 0xFFFF)) period = (period + 1) & 0xFFFF;
    c.outputCompare = period << 16 | ocr;
}

// Overflow at 0xFFFF of the counter's current period.
inline void setOverflowPeriod(CpuState& c) { c.overflowPoint = (c.counter & 0xFFFF0000) | 0xFFFF; }
