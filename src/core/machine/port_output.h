// Port 2 bit 0 output: cassette recordings decoded into .C10 files and the serial
// printer decoded into a text file, told apart by the time between writes.
#pragma once
#include <cstdint>

struct Machine;

struct PortOutput {
    bool portOutputArmed = false;
};

void writePort2(Machine& m, uint8_t value);
void portOutputIdleCheck(Machine& m);
// Called by resetMachine after the cycle count restarts at 0: closes output files.
void portOutputAfterReset(Machine& m);
