// tovrin-cli's machine I/O options: typing, held keys, cassettes, the printer file and
// binary loading. Each handler records what it needs in CliRun and registers steps;
// the rows are in the option table (options.cpp).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "host/host.h"

struct CliRun;

// The host keyboard of a headless run: keys held for given frames (1 = the first
// emulated frame; a frame sees what was held when it started).
struct CliKeyboard : HostKeyboard {
    struct Hold {
        std::vector<uint8_t> keys;
        long long firstFrame = 1;
        long long frames = 1;
    };
    std::vector<Hold> holds;
    const CliRun* run = nullptr;
    bool beforeFirstFrame = true;
    void readState(uint8_t state[256]) override;
    uint8_t keyForCharacter(char c) override { return usLayoutKeyForCharacter(c); }
};

// Answers the recording's save chooser with --cassette-out; cancels everything else.
struct CliChooser : FileChooser {
    std::string savePath;
    bool chooseFile(std::string& path, const std::vector<FileFilter>&, const std::string&, ChooseMode mode,
                    int* selectedFilter) override;
};

// "SHIFT", "A", "F9", "0x41" ...: the virtual-key code, false for an unknown name.
bool parseKeyName(const std::string& name, uint8_t& vk);

std::string optKeyboard(CliRun& run, const std::string& mode);
std::string optKey(CliRun& run, const std::string& arg);
std::string optPrinter(CliRun& run, const std::string& file);
std::string optCassetteOut(CliRun& run, const std::string& file);
std::string optExec(CliRun& run, const std::string& address);
std::string optLoadBinary(CliRun& run, const std::string& arg);
std::string optCassette(CliRun& run, const std::string& file);
std::string optCassetteOutRate(CliRun& run, const std::string& rate);
std::string optRun(CliRun& run, const std::string& file);
std::string optType(CliRun& run, const std::string& file);
std::string optTypeText(CliRun& run, const std::string& text);
