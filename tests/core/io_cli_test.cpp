// tovrin-cli's I/O options against the built-in BASIC: typing, held keys, a CSAVE
// recording played back with CLOAD, the printer file and binary loading.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <memory>
#include <string>

#include "io_fakes.h"

namespace {

struct CliResult {
    std::string out;
    int status = -1;
};

CliResult runCli(const std::string& args) {
    auto ini = testTmp("cli.ini");
    if (!std::filesystem::exists(ini)) writeBytes(ini, {});
    std::string command = std::string(TOVRIN_CLI) + " --ini " + ini.string() + " " + args + " 2>&1";
    CliResult r;
    FILE* p = popen(command.c_str(), "r");
    if (!p) return r;
    std::array<char, 256> buf;
    while (fgets(buf.data(), buf.size(), p)) r.out += buf.data();
    int raw = pclose(p);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

TEST(IoCli, TypeTextAndHeldKeys) {
    CliResult r = runCli("--type-text 'PRINT 2+3\\n' --frames 300 --text");
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("\n 5 "), std::string::npos) << r.out;
    r = runCli("--key P@60:3 --key SHIFT+1@70:3 --frames 100 --text");
    EXPECT_NE(r.out.find("\nP!"), std::string::npos) << r.out;
}

TEST(IoCli, RecordingPlaysBackAndPrinterWrites) {
    auto rec = testTmp("cli_rec.c10");
    auto lp = testTmp("cli_lp.txt");
    std::filesystem::remove(rec);
    std::filesystem::remove(lp);
    CliResult r = runCli("--type-text '10 PRINT 7\\nCSAVE\"AB\"\\n' --cassette-out " + rec.string() + " --frames 600");
    EXPECT_EQ(r.status, 0) << r.out;
    auto bytes = readBytes(rec);
    ASSERT_GT(bytes.size(), 140u);
    EXPECT_EQ(bytes[132], 'A');
    r = runCli("--cassette " + rec.string() + " --type-text 'CLOAD\\nLIST\\n' --frames 900 --text");
    EXPECT_NE(r.out.find("FOUND AB"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\n10 PRINT 7"), std::string::npos) << r.out;
    r = runCli("--type-text 'LPRINT \"HI\"\\n' --printer " + lp.string() + " --frames 300");
    auto printed = readBytes(lp);
    EXPECT_EQ(std::string(printed.begin(), printed.end()), "HI\r\n");
}

TEST(IoCli, LoadBinaryAndUsageErrors) {
    auto bin = testTmp("cli.bin");
    auto ram = testTmp("cli_ram.bin");
    writeBytes(bin, {1, 2, 3});
    CliResult r = runCli("--load-binary " + bin.string() + "@\\$7000 --exec 28672 --frames 0 --save-ram " +
                         ram.string());
    EXPECT_EQ(r.status, 0) << r.out;
    auto mem = readBytes(ram);
    ASSERT_EQ(mem.size(), 65536u);
    EXPECT_EQ(mem[0x7000], 1);
    EXPECT_EQ(mem[0x7002], 3);
    EXPECT_EQ(mem[0x421F], 0x70);
    EXPECT_EQ(mem[0x4220], 0x00);

    r = runCli("--load-binary " + testTmp("nothing.bin").string() + "@0 --frames 1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find("Util Load Binary errors: ERROR: Could not open input file"), std::string::npos) << r.out;
    for (const char* bad : {"--key A@0:1", "--key NOPE@1:1", "--key A", "--exec 70000", "--exec 1 --frames 1",
                            "--load-binary x@\\$g", "--keyboard qwerty"})
        EXPECT_EQ(runCli(bad).status, 2) << bad;
    EXPECT_EQ(runCli("--cassette " + testTmp("none.c10").string()).status, 1);
    EXPECT_EQ(runCli("--type " + testTmp("none.txt").string()).status, 1);
}

}  // namespace
