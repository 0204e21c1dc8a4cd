// Quick Type: types a host text file into the MC-10, paced by the ROM's keyboard polls.
#pragma once
#include <cstdint>
#include <vector>

struct Machine;

struct QuickType {
    bool quickTypeActive = false;
};

void startQuickType(Machine& m);  // the "Quick Type..." menu command
void quickTypeStep(Machine& m);
