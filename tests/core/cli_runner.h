// Runs the tovrin-cli built with the tests, in a folder of the test's choosing, and
// collects its exit status and output. ctest runs tests in parallel processes, so
// every run writes its own output files (named by process and run) and removes them.
//
//   CliRun r = runCliIn(folder, {"--frames", "10", "--dump-screen"});
//   EXPECT_EQ(r.status, 0);  // r.out, r.err: what it printed
#pragma once
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

inline std::string slurpFile(const std::filesystem::path& p) {
    std::stringstream s;
    s << std::ifstream(p, std::ios::binary).rdbuf();
    return s.str();
}

struct CliRun {
    int status = -1;  // the exit status, or -1 when killed by a signal
    std::string out, err;
};

inline CliRun runCliIn(const std::filesystem::path& folder, std::vector<std::string> args) {
    static int runs = 0;
    const std::string tag = std::to_string(getpid()) + "." + std::to_string(++runs);
    const std::filesystem::path out = folder / ("stdout." + tag), err = folder / ("stderr." + tag);
    args.insert(args.begin(), TOVRIN_CLI);
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(folder.c_str()) != 0 || !freopen(out.c_str(), "w", stdout) || !freopen(err.c_str(), "w", stderr))
            _exit(99);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(98);
    }
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    CliRun result{WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1, slurpFile(out), slurpFile(err)};
    std::error_code ec;
    std::filesystem::remove(out, ec);
    std::filesystem::remove(err, ec);
    return result;
}
