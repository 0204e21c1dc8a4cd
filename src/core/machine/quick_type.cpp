// Placeholder until Quick Type lands.
#include "machine/quick_type.h"
#include "machine.h"

void startQuickType(Machine&) {}
void quickTypeStep(Machine&) {}
