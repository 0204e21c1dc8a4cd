// Menu commands that are a few lines of core logic.
//
//   saveRam(m);                      // "Save Ram": ram.bin in the current directory
//   saveRamTo(m, "/tmp/dump.bin");   // the same to a chosen path
#pragma once
#include <string>

struct Machine;

// Writes the 65 536-byte address space as the memory array holds it. A file that
// cannot be written is skipped silently (false).
bool saveRamTo(const Machine& m, const std::string& path);
void saveRam(const Machine& m);
