// tovrin-cli's options: ONE table of (name, argument, help, handler). Options are
// read from the command line in any order and then applied in the order of the
// table; a handler checks its argument, records it in the CliRun and may register
// steps that run at fixed points of the run. New options only add a row (and, if
// they need one, a field of CliRun).
//
//   CliRun run;
//   std::string error;
//   if (!parseCliOptions(argc, argv, run, error)) { usage; exit 2; }
#pragma once
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

struct Machine;
struct CliRun;
struct CliKeyboard;
struct CliChooser;

// --break and --until-pc: the pc stops of the run, and whether an --until-pc was reached.
struct CliPcStops {
    std::vector<uint16_t> breaks, untils;
    bool untilReached = false;
};

// A step returns 0 to go on, or the exit status to stop with (after printing its
// one-line message to stderr).
using CliStep = std::function<int(Machine&, CliRun&)>;
// Called after every emulated frame; true ends the run early.
using CliFrameCheck = std::function<bool(Machine&, CliRun&)>;

struct CliRun {
    // Recorded by the options.
    std::filesystem::path iniFile;  // empty: the settings file of the current directory
    bool debug = false;
    long long frames = 60;
    bool framesGiven = false;
    double seconds = -1;            // >= 0: emulated seconds to run instead of frames
    bool realtime = false;
    bool help = false;
    std::shared_ptr<CliKeyboard> keyboard;  // --key: the host keyboard of the run
    std::shared_ptr<CliChooser> chooser;    // --cassette-out: answers the save chooser
    std::string execAddress;                // --exec, used by --load-binary
    bool loadBinaryGiven = false;
    std::shared_ptr<CliPcStops> pcStops;    // --break, --until-pc

    // Steps, in table order within each point of the run.
    std::vector<CliStep> afterSettings;  // settings and ROMs loaded; before timing and reset
    std::vector<CliStep> afterReset;     // the machine has been hard-reset; before frame 1
    std::vector<CliFrameCheck> eachFrame;
    std::vector<CliStep> atEnd;          // after the last frame

    // Filled in while running.
    long long framesRun = 0;
    unsigned long long cyclesRun = 0;
    double hostSeconds = 0;
    int messagesShown = 0;  // message boxes shown so far (each is a failure in a headless run)
    int status = 0;  // the exit status when every step succeeds
};

struct CliOption {
    const char* name;      // "--frames"
    const char* argument;  // "N"; nullptr for an option without argument
    const char* help;
    // Records the option; returns an error text for bad usage, empty when it is fine.
    std::string (*handler)(CliRun& run, const std::string& argument);
};

const std::vector<CliOption>& cliOptions();
bool parseCliOptions(int argc, char** argv, CliRun& run, std::string& error);
std::string cliUsage();

// Writes a one-line "tovrin-cli: ..." message to stderr.
void cliError(const std::string& text);
