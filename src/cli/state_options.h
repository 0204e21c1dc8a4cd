// tovrin-cli's state and debugging options: state files, input playback, the
// instruction trace and the pc stops. Each handler records what it needs in CliRun and
// registers steps; the rows are in the option table (options.cpp).
#pragma once
#include <string>

struct CliRun;

std::string optLoadState(CliRun& run, const std::string& file);
std::string optReplay(CliRun& run, const std::string& file);
std::string optTrace(CliRun& run, const std::string& file);
std::string optBreak(CliRun& run, const std::string& address);
std::string optUntilPc(CliRun& run, const std::string& address);
std::string optSaveState(CliRun& run, const std::string& file);
