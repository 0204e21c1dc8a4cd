// The option table of tovrin-cli and the command-line parser.
#include "options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "io_options.h"
#include "state_options.h"
#include "machine.h"
#include "video/screen_text.h"
#include "video/screenshot.h"

void cliError(const std::string& text) { std::fprintf(stderr, "tovrin-cli: %s\n", text.c_str()); }

namespace {

bool parseCount(const std::string& text, long long& out) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

bool parseSeconds(const std::string& text, double& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(out) && out >= 0 && out <= 1e7;
}

std::string optIni(CliRun& run, const std::string& file) {
    if (file.empty()) return "--ini needs a file name";
    run.iniFile = file;
    return {};
}

std::string optDebug(CliRun& run, const std::string&) {
    run.debug = true;
    return {};
}

std::string optRom(CliRun& run, const std::string& file) {
    if (file.empty()) return "--rom needs a file name";
    run.afterSettings.push_back([file](Machine& m, CliRun& r) {
        m.settings.usebuiltinromflag = 0;
        m.settings.ROMfilename = file;
        int shown = r.messagesShown;
        loadRomImages(m);
        if (r.messagesShown != shown) return 1;
        if (!std::ifstream(file, std::ios::binary)) {
            hostMessage(m.host, "Could not load in ROM OS file\n " + file + "\n  See Configuration/Memory.",
                        "TOVRIN - File Missing", MessageIcon::Exclamation);
            return 1;
        }
        return 0;
    });
    return {};
}

std::string optFrames(CliRun& run, const std::string& text) {
    if (!parseCount(text, run.frames)) return "--frames needs a whole number of frames, not \"" + text + "\"";
    run.framesGiven = true;
    return {};
}

std::string optSeconds(CliRun& run, const std::string& text) {
    if (run.framesGiven) return "give either --frames or --seconds, not both";
    if (!parseSeconds(text, run.seconds)) return "--seconds needs a number of seconds, not \"" + text + "\"";
    return {};
}

std::string optRealtime(CliRun& run, const std::string&) {
    run.realtime = true;
    return {};
}

std::string optUntilText(CliRun& run, const std::string& wanted) {
    if (wanted.empty()) return "--until-text needs a text";
    run.eachFrame.push_back(
        [wanted](Machine& m, CliRun&) { return screenText(m).find(wanted) != std::string::npos; });
    run.atEnd.push_back([wanted](Machine& m, CliRun& r) {
        if (screenText(m).find(wanted) == std::string::npos) {
            cliError("\"" + wanted + "\" did not appear within " + std::to_string(r.framesRun) + " frames");
            r.status = 3;
        }
        return 0;
    });
    return {};
}

std::string optText(CliRun& run, const std::string&) {
    run.atEnd.push_back([](Machine& m, CliRun&) {
        std::fputs(screenText(m).c_str(), stdout);
        return 0;
    });
    return {};
}

std::string optScreenshot(CliRun& run, const std::string& file) {
    if (file.empty()) return "--screenshot needs a file name";
    run.atEnd.push_back([file](Machine& m, CliRun&) {
        renderScreen(m);
        if (writeScreenshotFile(m, file)) return 0;
        cliError("cannot write the screenshot " + file);
        return 1;
    });
    return {};
}

std::string optSaveRam(CliRun& run, const std::string& file) {
    if (file.empty()) return "--save-ram needs a file name";
    run.atEnd.push_back([file](Machine& m, CliRun&) {
        std::ofstream f(file, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(m.mem.addressSpace), sizeof m.mem.addressSpace);
        f.close();
        if (f) return 0;
        cliError("cannot write the memory image " + file);
        return 1;
    });
    return {};
}

std::string optSpeed(CliRun& run, const std::string&) {
    run.atEnd.push_back([](Machine&, CliRun& r) {
        double emulated = static_cast<double>(r.cyclesRun) / static_cast<double>(nominalCyclesPerSecond);
        double ratio = emulated / std::max(r.hostSeconds, 1e-9);
        std::printf("cycles %llu in %.3f s: %.2f times real time\n", r.cyclesRun, r.hostSeconds, ratio);
        return 0;
    });
    return {};
}

std::string optHelp(CliRun& run, const std::string&) {
    run.help = true;
    return {};
}

}  // namespace

const std::vector<CliOption>& cliOptions() {
    static const std::vector<CliOption> table = {
        {"--help", nullptr, "print this help", optHelp},
        {"--debug", nullptr, "print the machine's debug output to stderr", optDebug},
        {"--ini", "FILE", "settings file (default: the one of the current directory)", optIni},
        {"--rom", "FILE", "BASIC ROM image to use instead of the configured one", optRom},
        {"--load-state", "FILE", "start from the machine state in FILE instead of the start-up reset", optLoadState},
        {"--keyboard", "MODE", "\"sensible\": use the key map of the settings; \"emulated\": PC keys in place",
         optKeyboard},
        {"--key", "KEYS@F:N", "hold host keys (SHIFT+A, ESC, ENTER, F9, 0x41...) for N frames from frame F", optKey},
        {"--printer", "FILE", "append printer output to FILE", optPrinter},
        {"--cassette-out", "FILE", "save cassette recordings to FILE (a WAV if it ends in .wav; otherwise dropped)",
         optCassetteOut},
        {"--cassette-out-rate", "HZ", "sample rate of WAV recordings (default 44100)", optCassetteOutRate},
        {"--exec", "ADDR", "with --load-binary: store ADDR as the EXEC address", optExec},
        {"--load-binary", "FILE@ADDR", "copy FILE into memory at ADDR (decimal or $hex)", optLoadBinary},
        {"--cassette", "FILE", "play FILE into the cassette input (WAV if it ends in .wav, else .C10)", optCassette},
        {"--type", "FILE", "Quick Type the text file FILE", optType},
        {"--type-text", "TEXT", "Quick Type TEXT (\\n for ENTER)", optTypeText},
        {"--replay", "FILE", "play the input recording FILE (runs its length unless --frames/--seconds)", optReplay},
        {"--trace", "FILE", "write one line per instruction to FILE (cycles, pc, bytes, instruction, registers)",
         optTrace},
        {"--break", "ADDR", "stop when pc reaches ADDR and print the registers", optBreak},
        {"--until-pc", "ADDR", "stop once pc reaches ADDR (exit 3 if it never does)", optUntilPc},
        {"--run", "FILE", "run a .C10 or WAV tape (CLOAD/CLOADM, then RUN/EXEC) or type a BASIC text and RUN it",
         optRun},
        {"--frames", "N", "emulated frames to run (default 60)", optFrames},
        {"--seconds", "S", "emulated seconds to run instead of --frames", optSeconds},
        {"--realtime", nullptr, "pace the frames in real time", optRealtime},
        {"--until-text", "TEXT", "stop once the text screen shows TEXT (exit 3 if it never does)", optUntilText},
        {"--text", nullptr, "print the 32x16 text screen at the end", optText},
        {"--screenshot", "FILE", "write the final screen as a BMP file", optScreenshot},
        {"--save-ram", "FILE", "write the 65 536-byte address space", optSaveRam},
        {"--save-state", "FILE", "write the machine state at the end of the run", optSaveState},
        {"--speed", nullptr, "print the cycles run and the speed against real time", optSpeed},
    };
    return table;
}

std::string cliUsage() {
    std::string text = "usage: tovrin-cli [options]\n";
    for (const CliOption& o : cliOptions()) {
        std::string left = std::string("  ") + o.name + (o.argument ? std::string(" ") + o.argument : "");
        left.resize(std::max<size_t>(left.size() + 1, 22), ' ');
        text += left + o.help + "\n";
    }
    return text;
}

bool parseCliOptions(int argc, char** argv, CliRun& run, std::string& error) {
    const std::vector<CliOption>& table = cliOptions();
    struct Given {
        size_t option;
        std::string argument;
    };
    std::vector<Given> given;
    for (int i = 1; i < argc; ++i) {
        std::string word = argv[i], name = word, value;
        bool inlineValue = false;
        if (size_t eq = word.find('='); word.rfind("--", 0) == 0 && eq != std::string::npos) {
            name = word.substr(0, eq);
            value = word.substr(eq + 1);
            inlineValue = true;
        }
        auto it = std::find_if(table.begin(), table.end(), [&](const CliOption& o) { return name == o.name; });
        if (it == table.end()) {
            error = "unknown option \"" + word + "\"";
            return false;
        }
        if (it->argument && !inlineValue) {
            if (i + 1 >= argc) {
                error = std::string(it->name) + " needs " + it->argument;
                return false;
            }
            value = argv[++i];
        } else if (!it->argument && inlineValue) {
            error = std::string(it->name) + " takes no value";
            return false;
        }
        given.push_back({static_cast<size_t>(it - table.begin()), value});
    }
    // The table's order is the order of effect, whatever the command line's.
    std::stable_sort(given.begin(), given.end(), [](const Given& a, const Given& b) { return a.option < b.option; });
    for (const Given& g : given) {
        error = table[g.option].handler(run, g.argument);
        if (!error.empty()) return false;
    }
    return true;
}
