// bench_idle: how much CPU the desktop program and the X server use while the MC-10
// runs with nothing to do, and how fast "Fast!" runs in the window. Starts a private
// Xvfb display and runs build/src/gui/tovrin on it in a scratch directory:
//   - 100 % NTSC, window at 200 % (the default settings): the CPU time tovrin and the
//     X server used over 10 s, as a percentage of one core. Target: under 1.5 % together.
//   - "Fast!" with a static screen: the speed in the window caption, sampled twice a
//     second (wall clock), and the same cycles over tovrin's CPU time, which a busy
//     machine does not distort. Target: at least 400x real time.
//
//   build/bench/bench_idle [path/to/tovrin] [seconds]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
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

// The caption of tovrin's window ("tovrin 41234%"): the speed in percent, or -1.
long captionSpeed(const std::string& display) {
    const std::string command = "xwininfo -display " + display + " -root -tree 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    char line[512];
    long speed = -1;
    while (std::fgets(line, sizeof line, pipe))
        if (const char* at = std::strstr(line, "\"tovrin ")) speed = std::strtol(at + 8, nullptr, 10);
    pclose(pipe);
    return speed;
}

struct Usage {
    double appPct = 0, serverPct = 0, seconds = 0;
    double captionPct = 0;  // mean of the caption samples, 0 without any
    bool ok = false;
};

// Runs tovrin with the given settings file, lets it settle, then measures.
Usage measure(const std::filesystem::path& tovrin, const std::string& display, pid_t xvfb, const std::string& ini,
              int seconds) {
    namespace fs = std::filesystem;
    fs::path dir = fs::temp_directory_path() / ("tovrin-idle-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    if (!ini.empty()) std::ofstream(dir / "foo.ini") << ini;
    fs::path here = fs::current_path();
    fs::current_path(dir);
    pid_t app = spawn({tovrin.string()}, {"DISPLAY=" + display, "QT_QPA_PLATFORM=xcb", "SDL_AUDIODRIVER=dummy"});
    fs::current_path(here);

    std::this_thread::sleep_for(std::chrono::seconds(3));
    Usage u;
    const long appBefore = cpuTicks(app), serverBefore = cpuTicks(xvfb);
    const auto t0 = std::chrono::steady_clock::now();
    double captionSum = 0;
    int captions = 0;
    for (int half = 0; half < 2 * seconds; ++half) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (long speed = captionSpeed(display); speed > 0) {
            captionSum += static_cast<double>(speed);
            ++captions;
        }
    }
    const long appAfter = cpuTicks(app), serverAfter = cpuTicks(xvfb);
    u.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    stop(app);
    fs::remove_all(dir);
    if (appBefore < 0 || appAfter < 0 || serverBefore < 0 || serverAfter < 0) return u;
    const double tick = static_cast<double>(sysconf(_SC_CLK_TCK));
    u.appPct = 100.0 * static_cast<double>(appAfter - appBefore) / tick / u.seconds;
    u.serverPct = 100.0 * static_cast<double>(serverAfter - serverBefore) / tick / u.seconds;
    u.captionPct = captions ? captionSum / captions : 0;
    u.ok = true;
    return u;
}

}  // namespace

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    fs::path tovrin = argc > 1 ? fs::absolute(argv[1]) : fs::read_symlink("/proc/self/exe").parent_path().parent_path() / "src/gui/tovrin";
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 10;
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
    pid_t xvfb = spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, {});
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

    const Usage idle = measure(tovrin, display, xvfb, "", seconds);
    if (!idle.ok) {
        std::printf("idle: tovrin ended early\n");
        stop(xvfb);
        return 1;
    }
    std::printf("idle: 100%% NTSC, window at 200%%: tovrin %.2f%% + X server %.2f%% = %.2f%% of one core over %.1f s "
                "(target < 1.5%%)\n",
                idle.appPct, idle.serverPct, idle.appPct + idle.serverPct, idle.seconds);

    const Usage fast = measure(tovrin, display, xvfb, "[SPEED]\ncpuspeedopt=3\n[SOUND]\nclickerflag=0\n", seconds);
    stop(xvfb);
    if (!fast.ok) {
        std::printf("fast: tovrin ended early\n");
        return 1;
    }
    if (fast.captionPct <= 0) {
        std::printf("fast: tovrin %.1f%% + X server %.1f%% of one core; no speed read (xwininfo missing?)\n",
                    fast.appPct, fast.serverPct);
        return 0;
    }
    // The caption measures against the wall clock; the same cycles over tovrin's own CPU
    // time say what a core gives when other processes do not take it away.
    const double perCpu = fast.captionPct / 100.0 * 100.0 / std::max(fast.appPct, 1e-9) * 100.0;
    std::printf("fast: \"Fast!\" shows %.0fx real time in the caption (wall clock), tovrin using %.1f%% of one core; "
                "%.0fx per second of tovrin's CPU time (target >= 400x)\n",
                fast.captionPct / 100.0, fast.appPct, perCpu / 100.0);
    return 0;
}
