// Scripted host services for the machine I/O tests, and small file helpers.
#pragma once

#include <unistd.h>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "host/host.h"

struct FakeKeys : HostKeyboard {
    uint8_t state[256] = {};
    void readState(uint8_t out[256]) override { std::memcpy(out, state, 256); }
    uint8_t keyForCharacter(char c) override { return usLayoutKeyForCharacter(c); }
    void hold(std::initializer_list<uint8_t> vks) {
        std::memset(state, 0, 256);
        for (uint8_t vk : vks) state[vk] = 0x80;
    }
};

// Answers with `reply` (or the proposed path) unless `answer` is false.
struct FakeChooser : FileChooser {
    bool answer = true;
    std::string reply;
    int filter = 1;
    std::vector<std::string> proposed;
    bool chooseFile(std::string& path, const std::vector<FileFilter>&, const std::string&, ChooseMode,
                    int* selected) override {
        proposed.push_back(path);
        if (!answer) return false;
        if (!reply.empty()) path = reply;
        if (selected) *selected = filter;
        return true;
    }
};

// Message boxes ("title|text") and debug output, in order.
struct FakeLog : MessageBoxes, DebugLog {
    std::vector<std::string> lines;
    void show(const std::string& text, const std::string& title, MessageIcon) override {
        lines.push_back(title + "|" + text);
    }
    void write(const std::string& text) override { lines.push_back(text); }
};

using FakeDebug = FakeLog;

inline std::filesystem::path testTmp(const std::string& name) {
    // One folder per process: ctest runs the tests of this binary in parallel.
    auto dir = std::filesystem::path(TOVRIN_TEST_TMP) / ("io-" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    return dir / name;
}
inline std::string tmpFile(const std::string& name) { return testTmp(name).string(); }

inline void writeBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> readBytes(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
