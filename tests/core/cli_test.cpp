// tovrin-cli: exit statuses and what each option produces.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct CliResult {
    int status = -1;
    std::string out, err;
};

fs::path cliDir() {
    fs::path dir = fs::path(TOVRIN_TEST_TMP) / "cli";
    fs::create_directories(dir);
    return dir;
}

std::string slurp(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

// Runs the CLI in the scratch directory (so no settings file of the source tree is read).
CliResult runCli(std::vector<std::string> args) {
    // ctest runs the tests in parallel processes: every run gets its own output files.
    static int runs = 0;
    std::string tag = std::to_string(getpid()) + "." + std::to_string(++runs);
    fs::path dir = cliDir(), out = dir / ("stdout." + tag), err = dir / ("stderr." + tag);
    args.insert(args.begin(), TOVRIN_CLI);
    pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.c_str()) != 0 || !freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr))
            _exit(99);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(98);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    CliResult result{WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, slurp(out), slurp(err)};
    fs::remove(out);
    fs::remove(err);
    return result;
}

int lineCount(const std::string& s) { return static_cast<int>(std::count(s.begin(), s.end(), '\n')); }

TEST(Cli, BadUsageExitsTwoWithTheUsage) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {"--bogus"}, {"--frames"}, {"--frames", "x"}, {"--frames", "-3"}, {"--frames", "5", "--seconds", "1"},
             {"--seconds", "abc"}, {"--text=1"}, {"stray"}, {"--until-text", ""}}) {
        CliResult r = runCli(args);
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("usage: tovrin-cli"), std::string::npos);
        EXPECT_EQ(r.err.rfind("tovrin-cli: ", 0), 0u);
    }
}

TEST(Cli, FailuresExitOneWithAMessage) {
    CliResult r = runCli({"--rom", "no-such-rom.bin"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("File Missing: Could not load in ROM OS file no-such-rom.bin"), std::string::npos);
    EXPECT_EQ(lineCount(r.err), 1);
    r = runCli({"--ini", "missing.ini"});
    EXPECT_EQ(r.status, 1);
    r = runCli({"--frames", "1", "--screenshot", "no-such-dir/x.bmp"});
    EXPECT_EQ(r.status, 1);
    r = runCli({"--frames", "1", "--save-ram", "no-such-dir/ram.bin"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(lineCount(r.err), 1);
}

TEST(Cli, TextScreenScreenshotAndRam) {
    fs::path dir = cliDir();
    fs::remove(dir / "cli-shot.bmp");
    fs::remove(dir / "cli-ram.bin");
    CliResult r = runCli({"--text", "--screenshot", "cli-shot.bmp", "--frames", "3", "--save-ram", "cli-ram.bin"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(lineCount(r.out), 16);
    EXPECT_EQ(r.out.size(), 16u * 33u);
    EXPECT_EQ(fs::file_size(dir / "cli-shot.bmp"), 61558u);
    EXPECT_EQ(fs::file_size(dir / "cli-ram.bin"), 65536u);
    EXPECT_FALSE(fs::exists(dir / "foo.ini"));  // the default settings file is not created
}

TEST(Cli, SpeedCountsTheCyclesOfEveryFrame) {
    CliResult r = runCli({"--frames", "60", "--speed"});
    ASSERT_EQ(r.status, 0) << r.err;
    unsigned long long cycles = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "cycles %llu", &cycles), 1) << r.out;
    EXPECT_GE(cycles, 60u * 14915u);
    EXPECT_LT(cycles, 60u * 14915u + 60u * 2u * 24u);  // a slice overshoots by at most an instruction
    r = runCli({"--seconds", "0.5", "--speed"});
    ASSERT_EQ(std::sscanf(r.out.c_str(), "cycles %llu", &cycles), 1);
    EXPECT_GE(cycles, 30u * 14915u);
    EXPECT_LT(cycles, 31u * 14915u);
}

TEST(Cli, UntilTextStopsEarlyOrExitsThree) {
    CliResult first = runCli({"--frames", "1", "--text"});
    std::string wanted = first.out.substr(0, 6);
    CliResult r = runCli({"--until-text", wanted, "--frames", "100000", "--speed"});
    EXPECT_EQ(r.status, 0) << r.err;
    unsigned long long cycles = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "cycles %llu", &cycles), 1);
    EXPECT_LT(cycles, 14915u * 2);
    r = runCli({"--until-text", "NOT ON THE SCREEN", "--frames", "5", "--text"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(lineCount(r.out), 16);  // the screen is still printed
    EXPECT_NE(r.err.find("NOT ON THE SCREEN"), std::string::npos);
}

TEST(Cli, RealtimeRunsThePacedLoop) {
    CliResult r = runCli({"--realtime", "--frames", "6", "--speed"});
    ASSERT_EQ(r.status, 0) << r.err;
    unsigned long long cycles = 0;
    ASSERT_EQ(std::sscanf(r.out.c_str(), "cycles %llu", &cycles), 1);
    EXPECT_GE(cycles, 6u * 14915u);
    EXPECT_LT(cycles, 7u * 14915u);
}

}  // namespace
