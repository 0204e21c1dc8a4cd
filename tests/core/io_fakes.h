// Scripted host services for the machine I/O tests: held keys, a file chooser that
// answers with a given path, and recorders for messages and debug output.
#pragma once
#include <cstdint>
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
    void hold(uint8_t vk) { state[vk] = 0x80; }
};

struct FakeChooser : FileChooser {
    bool answer = true;
    std::string reply;      // the chosen path; empty: keep the proposed one
    int filter = 1;
    std::vector<std::string> proposed;
    std::vector<ChooseMode> modes;
    bool chooseFile(std::string& path, const std::vector<FileFilter>&, const std::string&, ChooseMode mode,
                    int* selectedFilter) override {
        proposed.push_back(path);
        modes.push_back(mode);
        if (!answer) return false;
        if (!reply.empty()) path = reply;
        if (selectedFilter) *selectedFilter = filter;
        return true;
    }
};

struct FakeMessages : MessageBoxes {
    std::vector<std::string> texts, titles;
    void show(const std::string& text, const std::string& title, MessageIcon) override {
        texts.push_back(text);
        titles.push_back(title);
    }
};

struct FakeDebug : DebugLog {
    std::vector<std::string> lines;
    void write(const std::string& text) override { lines.push_back(text); }
};

inline std::filesystem::path testTmp(const std::string& name) {
    std::filesystem::path dir = std::filesystem::path(TOVRIN_TEST_TMP) / "io";
    std::filesystem::create_directories(dir);
    return dir / name;
}

inline void writeBytes(const std::filesystem::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<uint8_t> readBytes(const std::filesystem::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}
