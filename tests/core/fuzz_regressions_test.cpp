// Inputs the fuzz targets (fuzz/) found to be mishandled, kept as tests.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace {

// tovrin-cli's exit status for args, its output thrown away.
int cliStatus(std::vector<std::string> args) {
    args.insert(args.begin(), TOVRIN_CLI);
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(99);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(98);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    return WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
}

TEST(FuzzRegressions, FrameCountsWithABlankOrASignAreBadUsage) {
    // strtoll skips leading blanks: " -5" ran no frame at all and reported success.
    for (const char* frames : {" -5", " 5", "\t7", "+5", "-1", "5 ", "0x10"})
        EXPECT_EQ(cliStatus({"--frames", frames}), 2) << '"' << frames << '"';
    EXPECT_EQ(cliStatus({"--frames", "1"}), 0);
}

}  // namespace
