// bench_idle: how much CPU the desktop program uses while it runs the MC-10 at 100 %
// NTSC with nothing to do. Starts a private Xvfb display, runs build/src/gui/tovrin on
// it in a scratch directory (default settings), lets it settle for 3 s, then prints
// the CPU time tovrin used over 10 s as a percentage of one core. Target: under 10 %.
//
//   build/bench/bench_idle [path/to/tovrin]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv) {
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> envStrings;
    for (char** e = environ; *e; ++e) envStrings.emplace_back(*e);
    for (const auto& e : extraEnv) envStrings.push_back(e);
    std::vector<char*> envp;
    for (auto& e : envStrings) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) return -1;
    return pid;
}

// User plus system CPU time of a process, in clock ticks; -1 when it is gone.
long cpuTicks(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    if (!std::getline(in, line)) return -1;
    std::istringstream rest(line.substr(line.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) stime = std::stol(field);
    }
    return utime + stime;
}

bool onPath(const char* name) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (access((dir + "/" + name).c_str(), X_OK) == 0) return true;
    return false;
}

void stop(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    fs::path tovrin = argc > 1 ? fs::absolute(argv[1]) : fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src/gui/tovrin";
    if (!fs::exists(tovrin)) {
        std::printf("idle: skipped, %s not built (configure without -DTOVRIN_GUI=OFF)\n", tovrin.c_str());
        return 0;
    }
    if (!onPath("Xvfb")) {
        std::printf("idle: skipped, Xvfb is not installed\n");
        return 0;
    }

    int fds[2];
    if (pipe(fds) != 0) return 1;
    pid_t xvfb = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "800x600x24", "-nolisten", "tcp"}, {});
    close(fds[1]);
    char buf[16] = {};
    ssize_t n = xvfb > 0 ? read(fds[0], buf, sizeof buf - 1) : -1;
    close(fds[0]);
    if (n <= 0) {
        std::printf("idle: Xvfb did not start\n");
        stop(xvfb);
        return 1;
    }
    std::string display = ":" + std::string(buf, static_cast<size_t>(n));
    while (!display.empty() && (display.back() == '\n' || display.back() == ' ')) display.pop_back();

    fs::path dir = fs::temp_directory_path() / ("tovrin-idle-" + std::to_string(getpid()));
    fs::create_directories(dir);
    fs::path here = fs::current_path();
    fs::current_path(dir);
    pid_t app = spawn({tovrin.string()}, {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb"});
    fs::current_path(here);

    std::this_thread::sleep_for(std::chrono::seconds(3));
    long before = cpuTicks(app);
    auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(10));
    long after = cpuTicks(app);
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    stop(app);
    stop(xvfb);
    fs::remove_all(dir);
    if (before < 0 || after < 0) {
        std::printf("idle: tovrin ended early\n");
        return 1;
    }
    double pct = 100.0 * static_cast<double>(after - before) / static_cast<double>(sysconf(_SC_CLK_TCK)) / seconds;
    std::printf("idle: tovrin used %.1f%% of one core over %.1f s at 100%% NTSC (target < 10%%)\n", pct, seconds);
    return 0;
}
