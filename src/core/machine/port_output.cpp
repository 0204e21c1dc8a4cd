// Placeholder until port output lands.
#include "machine/port_output.h"
#include "machine.h"

void writePort2(Machine&, uint8_t) {}
void portOutputIdleCheck(Machine&) {}
void portOutputAfterReset(Machine&) {}
