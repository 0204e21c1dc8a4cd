// Placeholder until cassette input lands.
#include "machine/cassette_in.h"
#include "machine.h"

void playCassetteFile(Machine&) {}
void updateCassetteInput(Machine&) {}
void stopCassette(Machine&) {}
void cassetteAfterReset(Machine&) {}
