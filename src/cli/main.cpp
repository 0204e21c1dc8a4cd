// tovrin-cli: the headless runner. Loads the settings, hard-resets a machine, runs
// frames (unpaced, or paced in real time) and reports what the options ask for.
// Exit status: 0 success, 1 failure, 2 bad usage, 3 --until-text not met.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "config/settings_file.h"
#include "host/steady_clock.h"
#include "machine.h"
#include "options.h"

namespace {

// Message boxes become one line on stderr: "title: text".
struct CliMessages : MessageBoxes {
    CliRun& run;
    explicit CliMessages(CliRun& r) : run(r) {}
    void show(const std::string& text, const std::string& title, MessageIcon) override {
        std::string line;
        bool space = false;
        for (char c : text) {
            bool blank = c == '\n' || c == '\r' || c == ' ' || c == '\t';
            if (blank) {
                space = !line.empty();
            } else {
                if (space) line += ' ';
                space = false;
                line += c;
            }
        }
        std::fprintf(stderr, "%s: %s\n", title.c_str(), line.c_str());
        run.messagesShown += 1;
    }
};

struct CliDebug : DebugLog {
    bool enabled = false;
    void write(const std::string& text) override {
        if (!enabled) return;
        std::fputs(text.c_str(), stderr);
        if (text.empty() || text.back() != '\n') std::fputc('\n', stderr);
    }
};

int runSteps(std::vector<CliStep>& steps, Machine& m, CliRun& run) {
    for (CliStep& step : steps)
        if (int status = step(m, run)) return status;
    return 0;
}

bool checkFrame(Machine& m, CliRun& run) {
    run.framesRun += 1;
    bool stop = false;
    for (CliFrameCheck& check : run.eachFrame) stop = check(m, run) || stop;
    return stop;
}

void runUnpaced(Machine& m, CliRun& run, long long frames) {
    while (run.framesRun < frames) {
        run.cyclesRun += runFrame(m, currentCycles(m.cycles));
        if (checkFrame(m, run)) break;
    }
}

// The desktop loop without a window: frameStep paces, the delay is slept away.
void runRealtime(Machine& m, CliRun& run, long long frames) {
    while (run.framesRun < frames) {
        uint64_t before = m.scheduler.framesRun, cyclesBefore = m.scheduler.cyclesRun;
        frameStep(m);
        if (m.scheduler.framesRun != before) {
            run.cyclesRun += m.scheduler.cyclesRun - cyclesBefore;
            if (checkFrame(m, run)) break;
        }
        if (int32_t delay = frameStepDelayMs(m); delay > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    }
}

}  // namespace

int main(int argc, char** argv) {
    CliRun run;
    std::string error;
    if (!parseCliOptions(argc, argv, run, error)) {
        cliError(error);
        std::fputs(cliUsage().c_str(), stderr);
        return 2;
    }
    if (run.help) {
        std::fputs(cliUsage().c_str(), stdout);
        return 0;
    }

    auto m = std::make_unique<Machine>();
    CliMessages messages(run);
    CliDebug debug;
    debug.enabled = run.debug;
    SteadyHostClock clock;
    m->host.messages = &messages;
    m->host.debug = &debug;
    m->host.clock = &clock;

    std::error_code ec;
    std::filesystem::path here = std::filesystem::current_path(ec);
    if (run.iniFile.empty()) {
        m->iniPath = locateIniFile(here);
    } else {
        if (!std::filesystem::is_regular_file(run.iniFile, ec)) {
            cliError("cannot read the settings file " + run.iniFile.string());
            return 1;
        }
        m->iniPath = std::filesystem::absolute(run.iniFile, ec);
    }
    loadSettings(*m);
    m->iniPath.clear();  // the runner reads the settings file but never writes it
    if (run.messagesShown) return 1;  // a ROM image the settings name is missing
    if (int status = runSteps(run.afterSettings, *m, run)) return status;

    recomputeFrameTiming(*m);
    setupHostClock(*m);
    rebuildDisplay(*m);
    startupReset(*m);
    m->startupDirectory = here;
    if (int status = runSteps(run.afterReset, *m, run)) return status;

    long long frames = run.frames;
    if (run.seconds >= 0) frames = std::llround(run.seconds * m->timing.framesPerSecond);
    auto start = std::chrono::steady_clock::now();
    if (run.realtime)
        runRealtime(*m, run, frames);
    else
        runUnpaced(*m, run, frames);
    run.hostSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (int status = runSteps(run.atEnd, *m, run)) return status;
    // A printer or cassette file that could not be written (reported on stderr).
    if (m->portOutput.outputFailed && run.status == 0) return 1;
    return run.status;
}
