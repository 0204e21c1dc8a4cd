// tovrin-cli's I/O options against the built-in BASIC: typing, held keys, a CSAVE
// recording played back with CLOAD, the printer file, binary loading, bad usage.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "io_fakes.h"

namespace {

int runCli(const std::string& args, std::string* out = nullptr) {
    writeBytes(tmpFile("cli.ini"), {});
    FILE* p = popen((std::string(TOVRIN_CLI) + " --ini " + tmpFile("cli.ini") + " " + args + " 2>&1").c_str(), "r");
    char buf[256];
    while (p && fgets(buf, sizeof buf, p))
        if (out) *out += buf;
    int raw = p ? pclose(p) : -1;
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

TEST(IoCli, TypingKeysCassetteAndPrinter) {
    std::string out;
    EXPECT_EQ(runCli("--type-text 'PRINT 2+3\\n' --key P@300:3 --key SHIFT+1@310:3 --frames 330 --text", &out), 0);
    EXPECT_NE(out.find("\n 5 "), std::string::npos) << out;
    EXPECT_NE(out.find("\nP!"), std::string::npos) << out;
    const std::string rec = tmpFile("cli_rec.c10"), lp = tmpFile("cli_lp.txt");
    std::filesystem::remove(rec);
    std::filesystem::remove(lp);
    runCli("--type-text '10 PRINT 7\\nCSAVE\"AB\"\\n' --cassette-out " + rec + " --frames 600");
    runCli("--cassette " + rec + " --type-text 'CLOAD\\nLIST\\n' --frames 900 --text", &out);
    EXPECT_NE(out.find("FOUND AB"), std::string::npos) << out;
    EXPECT_NE(out.find("\n10 PRINT 7"), std::string::npos) << out;
    runCli("--type-text 'LPRINT \"HI\"\\n' --printer " + lp + " --frames 300");
    EXPECT_EQ(readBytes(lp), (std::vector<uint8_t>{'H', 'I', '\r', '\n'}));
}

TEST(IoCli, LoadBinaryAndUsageErrors) {
    writeBytes(tmpFile("cli.bin"), {1, 2, 3});
    EXPECT_EQ(runCli("--load-binary " + tmpFile("cli.bin") + "@\\$7000 --exec 28672 --frames 60 --save-ram " +
                     tmpFile("cli_ram.bin")), 0);
    auto mem = readBytes(tmpFile("cli_ram.bin"));
    ASSERT_EQ(mem.size(), 65536u);
    EXPECT_EQ(mem[0x7002], 3);
    EXPECT_EQ(mem[0x421F], 0x70);
    std::string out;
    EXPECT_EQ(runCli("--load-binary " + tmpFile("nothing.bin") + "@0", &out), 1);
    EXPECT_NE(out.find("Util Load Binary errors: ERROR: Could not open input file"), std::string::npos) << out;
    for (const char* bad : {"--key A@0:1", "--key NOPE@1:1", "--exec 70000", "--exec 1", "--keyboard qwerty",
                            "--load-binary F@000016384", "--load-binary F@1 --exec 00017408",
                            "--cassette-out-rate 100", "--cassette-out-rate 44k"})
        EXPECT_EQ(runCli(bad), 2) << bad;
    EXPECT_EQ(runCli("--cassette " + tmpFile("none.c10")), 1);
}

TEST(IoCli, LoadBinaryThenExecRunsTheCode) {
    // At 17408: LDAA #42  STAA 17420  RTS; the byte at 17420 starts as 0.
    writeBytes(tmpFile("exec.bin"), {0x86, 42, 0xB7, 0x44, 0x0C, 0x39, 0, 0, 0, 0, 0, 0, 0});
    std::string out;
    EXPECT_EQ(runCli("--load-binary " + tmpFile("exec.bin") +
                         "@17408 --exec 17408 --type-text 'PRINT PEEK(17420)\nEXEC\nPRINT PEEK(17420)+1\n' "
                         "--until-text ' 43' --text",
                     &out),
              0)
        << out;
    EXPECT_NE(out.find(" 0 "), std::string::npos) << out;
}

TEST(IoCli, RunTapesAndTextAndNeverWriteTheSettings) {
    const std::string tape = tmpFile("run_cli.c10"), wav = tmpFile("run_cli.wav");
    std::filesystem::remove(wav);
    runCli("--type-text '10 PRINT 6*7\\nCSAVE\"R\"\\n' --cassette-out " + tape + " --frames 600");
    EXPECT_TRUE(readBytes(tmpFile("cli.ini")).empty());  // cassettewr was not written into it
    runCli("--type-text '10 PRINT 6*7\\nCSAVE\"R\"\\n' --cassette-out " + wav +
           " --cassette-out-rate 22050 --frames 600");
    std::string out;
    for (const std::string& file : {tape, wav}) {
        EXPECT_EQ(runCli("--run " + file + " --until-text ' 42' --frames 3000", &out), 0) << file << out;
    }
    const std::string text = "10 FOR I=1 TO 2\n20 PRINT I*21\n30 NEXT\n";
    writeBytes(tmpFile("run_cli.bas"), std::vector<uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(runCli("--run " + tmpFile("run_cli.bas") + " --until-text ' 42' --frames 3000", &out), 0) << out;

    // A printer file that cannot be written: one line on stderr, exit status 1.
    out.clear();
    EXPECT_EQ(runCli("--type-text 'LPRINT 1\\nLPRINT 2\\n' --printer /dev/full --frames 300", &out), 1);
    EXPECT_NE(out.find("Could not write the printer file /dev/full"), std::string::npos) << out;
}

}  // namespace
