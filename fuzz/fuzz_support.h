// Shared pieces of the fuzz targets: a scratch file holding the input (the machine
// reads its inputs from files, as the menu commands do), and a host that swallows
// message boxes and debug output but counts them.
//
//   static FuzzScratch scratch;                       // one folder per process
//   std::string path = scratch.write("tape.c10", data, size);
//   FuzzHost host;  m->host.messages = m->host.debug = &host;
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "host/host.h"

struct FuzzScratch {
    std::filesystem::path dir;
    FuzzScratch() {
        // In memory where there is a tmpfs: the settings saver syncs every write.
        std::filesystem::path base = "/dev/shm";
        if (const char* t = std::getenv("TOVRIN_FUZZ_TMP")) base = t;
        std::error_code ec;
        if (!std::filesystem::is_directory(base, ec) || ::access(base.c_str(), W_OK) != 0)
            base = std::filesystem::temp_directory_path();
        dir = base / ("tovrin-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
    }
    ~FuzzScratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    std::string write(const std::string& name, const uint8_t* data, size_t size) const {
        const std::string p = path(name);
        std::FILE* f = std::fopen(p.c_str(), "wb");
        if (!f) std::abort();
        if (size && std::fwrite(data, 1, size, f) != size) std::abort();
        std::fclose(f);
        return p;
    }
};

struct FuzzHost : MessageBoxes, DebugLog {
    int messages = 0;
    int debugLines = 0;
    void show(const std::string&, const std::string&, MessageIcon) override { ++messages; }
    void write(const std::string&) override { ++debugLines; }
};

// A property of the input that does not hold: report it as a crash, with the reason.
#define FUZZ_CHECK(cond)                                                                        \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);       \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)
