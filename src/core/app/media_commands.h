// The commands that get software in and out of the machine: choosing cassette and text
// files, the one-step Run Cassette File, rewinding and stopping the tape, files
// dropped on the window, pasted text, recent files, naming cassette recordings, and
// the status line that shows what the tape, the printer and Quick Type are doing.
// The hardware halves (cassette_in, quick_type, port_output) know nothing of these.
//
//   runCassetteFile(m, "game.c10");   // tape in, CLOAD or CLOADM, then RUN or EXEC
//   dropFile(m, "prog.bas");           // what a drop on the window does
//   mediaFrameTick(m);                 // once per frame (runFrame does it)
//   std::string s = tapeStatus(m);     // "Tape: playing 42%"
#pragma once
#include <string>
#include <vector>

struct Machine;

struct MediaCommands {
    // The one-step run: the tape is loading; typed once it has ended.
    bool runPending = false;
    bool runTapeStarted = false;  // the load has begun
    int runSettleFrames = 0;      // frames since the tape ended
    std::string runAfterLoad;     // "RUN\r" or "EXEC\r"
    std::vector<std::string> recentFiles;  // newest first, at most recentFileCount
    bool settingsWarned = false;           // the one warning about an unwritable settings file
    std::string notice;                    // the last command's result for the status bar
};

constexpr size_t recentFileCount = 8;
// Frames between the end of a tape and typing RUN: the loader finishes and shows OK.
constexpr int runSettleFrameCount = 20;
inline constexpr char mediaTitle[] = "tovrin";

enum class DropAction { RunCassette, QuickType, LoadBinary };
// .C10 and .WAV run, .TXT and .BAS are typed, anything else goes to Load Binary.
DropAction dropActionFor(const std::string& path);
bool isWavName(const std::string& path);

// "Play Cassette File...": chooser, the tape waits for CLOAD.
void playCassetteFile(Machine& m);
// "Quick Type...": chooser, then typing.
void startQuickType(Machine& m);
// "Run Cassette File...": chooser, then runCassetteFile.
void runCassetteFileCommand(Machine& m);
// Tape in, CLOAD or CLOADM typed (the name block decides), RUN or EXEC once loaded.
// A message box tells why when it cannot start.
bool runCassetteFile(Machine& m, const std::string& path);
// A text file typed, then RUN.
bool runBasicText(Machine& m, const std::string& path);
// Quick Types a file, with a message box for a file that is missing, empty or too big.
bool quickTypeFile(Machine& m, const std::string& path);
// "Rewind Cassette" and "Stop Cassette".
void rewindCassetteCommand(Machine& m);
void stopCassetteCommand(Machine& m);
// "Paste Text": types text (any line ends); false when empty or already typing.
bool pasteText(Machine& m, const std::string& text);
// A file dropped on the window. LoadBinary is left to the front end's dialog.
DropAction dropFile(Machine& m, const std::string& path);
// A recent file chosen from the menu: cassettes run, text is typed.
void openRecentFile(Machine& m, const std::string& path);
void rememberRecentFile(Machine& m, const std::string& path);

// "Save Ram" and "Screenshot" with their results shown: the path written goes into
// m.media.notice; a failure gets a message box. Screenshot creates the "screenshots"
// folder when it is missing.
bool saveRamCommand(Machine& m);
bool screenshotCommand(Machine& m);

// Names and opens a recording's file once its head is in (port_output's openRecording):
// the save chooser proposes NAME.C10; a name ending in .wav records a WAV.
void openRecordingFile(Machine& m);

// The per-frame work of these commands: the one-step run's RUN, reporting output
// files that failed, the one settings warning.
void mediaFrameTick(Machine& m);

// Status texts: "Tape: playing 42%", "Printer: LPRINT.TXT", "Typing 12%" ("" when idle).
std::string tapeStatus(const Machine& m);
std::string printerStatus(const Machine& m);
std::string quickTypeStatus(const Machine& m);
