// tovrin-cli: --load-state, --replay, --trace, --break, --until-pc, --save-state.
#include "state_options.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "machine.h"
#include "machine/binary_loader.h"
#include "options.h"
#include "state/input_recording.h"
#include "state/state_file.h"

namespace {

// "$4010", "0x4010" or "16400".
bool parsePc(std::string text, uint16_t& out) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text = "$" + text.substr(2);
    bool hex = false;
    const int v = parseAddress(text, hex);
    if (v < 0) return false;
    out = static_cast<uint16_t>(v);
    return true;
}

CliPcStops& pcStopsOf(CliRun& run) {
    if (run.pcStops) return *run.pcStops;
    auto stops = std::make_shared<CliPcStops>();
    run.pcStops = stops;
    run.afterReset.push_back([stops](Machine& m, CliRun&) {
        for (uint16_t a : stops->breaks) m.debugger.breakpoints.push_back(a);
        for (uint16_t a : stops->untils) m.debugger.breakpoints.push_back(a);
        debuggerChanged(m);
        return 0;
    });
    run.eachFrame.push_back([stops](Machine& m, CliRun&) {
        if (!m.debugger.paused) return false;
        const uint16_t pc = m.debugger.stopPc;
        if (std::find(stops->breaks.begin(), stops->breaks.end(), pc) != stops->breaks.end())
            std::printf("break at $%04X: %s\n", pc, registersText(m).c_str());
        if (std::find(stops->untils.begin(), stops->untils.end(), pc) != stops->untils.end())
            stops->untilReached = true;
        return true;
    });
    run.atEnd.push_back([stops](Machine&, CliRun& r) {
        if (!stops->untils.empty() && !stops->untilReached) {
            cliError("pc did not reach the --until-pc address within " + std::to_string(r.framesRun) + " frames");
            r.status = 3;
        }
        return 0;
    });
    return *stops;
}

}  // namespace

std::string optLoadState(CliRun& run, const std::string& file) {
    if (file.empty()) return "--load-state needs a file name";
    run.afterReset.push_back([file](Machine& m, CliRun&) {
        std::string why;
        if (loadStateFile(m, file, why)) return 0;
        cliError("cannot load the state " + file + ": " + why);
        return 1;
    });
    return {};
}

std::string optReplay(CliRun& run, const std::string& file) {
    if (file.empty()) return "--replay needs a file name";
    if (run.keyboard) return "give either --replay or --key, not both";
    auto replay = std::make_shared<std::unique_ptr<ReplayKeyboard>>();
    // Before the start-up reset: it builds the key tables from this keyboard's layout.
    run.afterSettings.push_back([file, replay](Machine& m, CliRun& r) {
        InputRecording rec;
        std::string why;
        if (!readInputRecordingFile(file, rec, why)) {
            cliError("cannot replay " + file + ": " + why);
            return 1;
        }
        if (!r.framesGiven && r.seconds < 0) r.frames = static_cast<long long>(rec.frames);
        *replay = std::make_unique<ReplayKeyboard>(m, std::move(rec));
        m.host.keyboard = replay->get();
        return 0;
    });
    run.afterReset.push_back([replay](Machine& m, CliRun&) {
        (*replay)->start(m);
        return 0;
    });
    // The keyboard lives as long as the run's steps.
    run.atEnd.push_back([replay](Machine& m, CliRun&) {
        m.host.keyboard = nullptr;
        return 0;
    });
    return {};
}

std::string optTrace(CliRun& run, const std::string& file) {
    if (file.empty()) return "--trace needs a file name";
    auto out = std::make_shared<std::FILE*>(nullptr);
    run.afterReset.push_back([file, out](Machine& m, CliRun&) {
        *out = std::fopen(file.c_str(), "wb");
        if (!*out) {
            cliError("cannot write the trace " + file);
            return 1;
        }
        std::FILE* f = *out;
        m.debugger.trace = [f](const std::string& line) {
            std::fputs(line.c_str(), f);
            std::fputc('\n', f);
        };
        debuggerChanged(m);
        return 0;
    });
    run.atEnd.push_back([file, out](Machine& m, CliRun&) {
        m.debugger.trace = nullptr;
        debuggerChanged(m);
        if (*out && std::fclose(*out) != 0) {
            *out = nullptr;
            cliError("cannot write the trace " + file);
            return 1;
        }
        *out = nullptr;
        return 0;
    });
    return {};
}

std::string optBreak(CliRun& run, const std::string& address) {
    uint16_t pc = 0;
    if (!parsePc(address, pc)) return "--break needs an address (decimal, $hex or 0xhex), not \"" + address + "\"";
    pcStopsOf(run).breaks.push_back(pc);
    return {};
}

std::string optUntilPc(CliRun& run, const std::string& address) {
    uint16_t pc = 0;
    if (!parsePc(address, pc)) return "--until-pc needs an address (decimal, $hex or 0xhex), not \"" + address + "\"";
    pcStopsOf(run).untils.push_back(pc);
    return {};
}

std::string optSaveState(CliRun& run, const std::string& file) {
    if (file.empty()) return "--save-state needs a file name";
    run.atEnd.push_back([file](Machine& m, CliRun&) {
        std::string why;
        if (saveStateFile(m, file, why)) return 0;
        cliError(why);
        return 1;
    });
    return {};
}
