// tovrin-cli: exit statuses and what each option produces.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli_runner.h"

namespace {

namespace fs = std::filesystem;

struct CliResult : CliRun {
    unsigned long long cycles() const {
        unsigned long long n = 0;
        size_t at = out.find("cycles ");
        return at != std::string::npos && std::sscanf(out.c_str() + at, "cycles %llu", &n) == 1 ? n : 0;
    }
};

fs::path cliDir() {
    fs::path dir = fs::path(TOVRIN_TEST_TMP) / ("cli-" + std::to_string(getpid()));
    fs::create_directories(dir);
    return dir;
}


CliResult runCli(std::vector<std::string> args) { return {runCliIn(cliDir(), std::move(args))}; }

int lines(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

TEST(Cli, BadUsageExitsTwoWithTheUsage) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--frames"}, {"--frames", "x"}, {"--frames", "-3"}, {"--frames", "5", "--seconds", "1"},
             {"--seconds", "abc"}, {"--text=1"}, {"stray"}, {"--until-text", ""}}) {
        CliResult r = runCli(args);
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("tovrin-cli: ", 0), 0u);
        EXPECT_NE(r.err.find("usage: tovrin-cli"), std::string::npos);
    }
}

TEST(Cli, FailuresExitOneWithOneLine) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--rom", "no-such-rom.bin"}, {"--ini", "missing.ini"}, {"--screenshot", "no-such-dir/x.bmp"},
             {"--save-ram", "no-such-dir/ram.bin"}}) {
        CliResult r = runCli(args);
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(lines(r.err), 1);
    }
    EXPECT_NE(runCli({"--rom", "no-such-rom.bin"}).err.find("File Missing: Could not load in ROM OS file no-such-rom.bin"),
              std::string::npos);
}

TEST(Cli, FramesSecondsAndTheSettingsFile) {
    std::ofstream(cliDir() / "pal.ini") << "[SPEED]\ncpuspeedopt=1\n";
    struct Case {
        std::vector<std::string> args;
        unsigned long long frames, cyclesPerFrame;
    } cases[] = {{{"--speed"}, 60, 14915},
                 {{"--seconds", "0.5", "--speed"}, 30, 14915},
                 {{"--ini", "pal.ini", "--seconds", "1", "--speed"}, 50, 17898},
                 {{"--realtime", "--frames", "4", "--speed"}, 4, 14915}};
    for (const Case& c : cases) {
        unsigned long long cycles = runCli(c.args).cycles();
        SCOPED_TRACE(c.args[0]);
        EXPECT_GE(cycles, c.frames * c.cyclesPerFrame);
        EXPECT_LT(cycles, c.frames * (c.cyclesPerFrame + 48));  // a slice overshoots by an instruction
    }
}

TEST(Cli, RomAndUntilText) {
    // A ROM that writes "HI" to the top-left of the screen and waits.
    std::vector<char> rom(8192, 0);
    const unsigned char code[] = {0x86, 'H', 0xB7, 0x40, 0x00, 0x86, 'I', 0xB7, 0x40, 0x01, 0x20, 0xFE};
    std::copy(std::begin(code), std::end(code), rom.begin());
    rom[0x1FFE] = static_cast<char>(0xE0);
    std::ofstream(cliDir() / "hi.rom", std::ios::binary).write(rom.data(), static_cast<std::streamsize>(rom.size()));

    fs::path dir = cliDir();
    fs::remove(dir / "cli-shot.bmp");
    fs::remove(dir / "cli-ram.bin");
    CliResult r = runCli({"--rom", "hi.rom", "--until-text", "HI", "--frames", "1000", "--speed", "--text",
                          "--screenshot", "cli-shot.bmp", "--save-ram", "cli-ram.bin"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("HI"), 0u);
    EXPECT_EQ(r.out.find('\n'), 32u);
    EXPECT_EQ(lines(r.out), 17);  // 16 screen lines and the speed
    EXPECT_EQ(fs::file_size(dir / "cli-shot.bmp"), 61558u);
    EXPECT_EQ(fs::file_size(dir / "cli-ram.bin"), 65536u);
    EXPECT_FALSE(fs::exists(dir / "foo.ini"));  // the default settings file is not created
    EXPECT_GT(r.cycles(), 0u);
    EXPECT_LT(r.cycles(), 2u * 14915u);  // stopped after the first frame

    r = runCli({"--rom", "hi.rom", "--until-text", "HELLO", "--frames", "5", "--text"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(lines(r.out), 16);  // the other outputs are still produced
    EXPECT_NE(r.err.find("HELLO"), std::string::npos);
}

}  // namespace
