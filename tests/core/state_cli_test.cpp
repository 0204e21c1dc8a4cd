// tovrin-cli's state and debugging options, on a small ROM of its own.
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

fs::path dir() {
    fs::path d = fs::path(TOVRIN_TEST_TMP) / ("statecli-" + std::to_string(getpid()));
    fs::create_directories(d);
    return d;
}

CliRun run(std::vector<std::string> args) { return runCliIn(dir(), std::move(args)); }

// Fills the text screen with 'A' and waits:
//   E000 8E 4F 00  LDS  #$4F00
//   E003 CE 40 00  LDX  #$4000
//   E006 86 41     LDAA #$41
//   E008 A7 00     STAA 0,X
//   E00A 08        INX
//   E00B 8C 42 00  CPX  #$4200
//   E00E 26 F6     BNE  $E006
//   E010 20 FE     BRA  $E010
void writeRom() {
    std::vector<char> rom(8192, 0);
    const unsigned char code[] = {0x8E, 0x4F, 0x00, 0xCE, 0x40, 0x00, 0x86, 0x41, 0xA7, 0x00,
                                  0x08, 0x8C, 0x42, 0x00, 0x26, 0xF6, 0x20, 0xFE};
    std::copy(std::begin(code), std::end(code), rom.begin());
    rom[0x1FFE] = static_cast<char>(0xE0);
    std::ofstream(dir() / "fill.rom", std::ios::binary).write(rom.data(), static_cast<std::streamsize>(rom.size()));
}

}  // namespace

TEST(StateCli, TraceBreakAndUntilPc) {
    writeRom();
    CliRun r = run({"--rom", "fill.rom", "--trace", "trace.txt", "--frames", "1"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string trace = slurpFile(dir() / "trace.txt");
    EXPECT_EQ(trace.substr(0, trace.find('\n')),
              "         0  E000  8E 4F 00  LDS #$4F00        A=00 B=00 X=0000 SP=4F00 CC=10");
    EXPECT_NE(trace.find("         8  E008  A7 00     STAA $00,X        A=41 B=00 X=4000 SP=4F00 CC=10\n"),
              std::string::npos);
    EXPECT_NE(trace.find("  E010  20 FE     BRA $E010         A=41 B=00 X=4200 SP=4F00 CC=14\n"), std::string::npos);

    r = run({"--rom", "fill.rom", "--break", "$E00A", "--frames", "100", "--speed"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("break at $E00A: PC=E00A A=41 B=00 X=4000 SP=4F00 CC=10 (...I....) CYCLES=12\n", 0), 0u)
        << r.out;

    r = run({"--rom", "fill.rom", "--until-pc", "0xE010", "--frames", "100", "--speed"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("cycles "), std::string::npos);
    r = run({"--rom", "fill.rom", "--until-pc", "$E020", "--frames", "3"});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find("--until-pc"), std::string::npos) << r.err;
    EXPECT_EQ(run({"--break", "$10000"}).status, 2);
}

TEST(StateCli, SaveAndLoadStateContinueTheRun) {
    writeRom();
    ASSERT_EQ(run({"--rom", "fill.rom", "--frames", "15", "--save-state", "a.tvs", "--save-ram", "a.bin"}).status, 0);
    ASSERT_EQ(run({"--rom", "fill.rom", "--frames", "10", "--save-state", "mid.tvs"}).status, 0);
    CliRun r = run({"--rom", "fill.rom", "--load-state", "mid.tvs", "--frames", "5", "--save-state", "b.tvs",
                    "--save-ram", "b.bin", "--text"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, 33), std::string(32, 'A') + "\n");
    EXPECT_EQ(slurpFile(dir() / "a.bin"), slurpFile(dir() / "b.bin"));
    EXPECT_EQ(slurpFile(dir() / "a.tvs"), slurpFile(dir() / "b.tvs"));

    std::string damaged = slurpFile(dir() / "mid.tvs");
    damaged[100] = static_cast<char>(damaged[100] ^ 1);
    std::ofstream(dir() / "bad.tvs", std::ios::binary) << damaged;
    r = run({"--rom", "fill.rom", "--load-state", "bad.tvs"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("checksum"), std::string::npos) << r.err;
}

TEST(StateCli, ReplayRunsTheRecordingsLength) {
    writeRom();
    std::ofstream(dir() / "keys.txt") << "tovrin input recording 1\n2 down 0x41\n4 up 0x41\nend 7\n";
    CliRun r = run({"--rom", "fill.rom", "--replay", "keys.txt", "--speed"});
    EXPECT_EQ(r.status, 0) << r.err;
    unsigned long long cycles = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "cycles %llu", &cycles), 1) << r.out;
    EXPECT_GE(cycles, 7u * 14915);
    EXPECT_LT(cycles, 8u * 14915);
    EXPECT_EQ(run({"--replay", "keys.txt", "--key", "A@1:1"}).status, 2);
    std::ofstream(dir() / "broken.txt") << "tovrin input recording 1\n2 down 0x41\n";
    r = run({"--rom", "fill.rom", "--replay", "broken.txt"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("incomplete"), std::string::npos) << r.err;
}
