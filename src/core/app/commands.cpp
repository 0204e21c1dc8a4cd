#include "app/commands.h"

#include <cstdio>

#include "machine.h"
#include "machine/file_handle.h"

bool saveRamTo(const Machine& m, const std::string& path) {
    FileHandle f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    const size_t n = sizeof m.mem.addressSpace;
    const bool wrote = std::fwrite(m.mem.addressSpace, 1, n, f.get()) == n;
    return std::fclose(f.release()) == 0 && wrote;
}

void saveRam(const Machine& m) { saveRamTo(m, "ram.bin"); }
