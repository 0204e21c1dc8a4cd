// Port 2 bit 0 output: cassette recordings decoded into .C10 files and the serial
// printer decoded into a text file, told apart by the time between writes.
//
//   writePort2(m, 1);          // from the decoder, every write to 0x0003
//   portOutputIdleCheck(m);    // once per frame: closes the files after a pause
//
// When a recording's 140th byte arrives (leader and name block), openRecording, a
// command the app layer installs (app/media_commands.h), names the file and calls
// startRecordingFile; a shorter recording leaves nothing on disk. The file is a .C10
// byte stream or a WAV recording of the line itself. Printer characters are appended
// to the PRINTER `filename` setting. A cassette leader that starts during a print job
// ends the job and is recorded.
//
// A file that cannot be written is given up (no more writes to it) and named in
// outputFailure once, for the app layer to report.
#pragma once
#include <cstdint>
#include <string>

#include <utility>
#include <vector>

#include "machine/file_handle.h"
#include "machine/wav_writer.h"

struct Machine;

using RecordingOpener = void (*)(Machine& m);

struct CassetteOut {
    int halfState = 1;  // 1: the next write ends a high half, 2: a low half
    uint32_t highHalf = 0;
    uint8_t bitMask = 0x01;
    uint8_t byteValue = 0;
    uint32_t byteCount = 0;
    uint8_t head[140] = {};
    FileHandle outFile;
    std::string outPath;
    bool wavOut = false;                // outFile is a WAV recording of the line
    WavWriter wav;
    std::vector<uint32_t> headHalves;   // the halves so far, high first, for a WAV's head
};

struct SerialPrinter {
    int state = 1;  // 1 data bits, 2 stop bit, 3 start bit 1, 4 start bit 2
    uint8_t bitMask = 0x01;
    uint8_t byteValue = 0;
    uint8_t column = 0;  // of the last written character; kept when the file closes
    FileHandle printerFile;
    std::string failedPath;  // the printer file given up on; not tried again
};

struct PortOutput {
    bool portOutputArmed = false;
    uint32_t lastWriteCycle = 0;
    bool cassetteOutMode = false;
    bool printerMode = false;
    CassetteOut cassetteOut;
    SerialPrinter printer;
    RecordingOpener openRecording = nullptr;  // null: recordings are dropped
    uint32_t wavRate = 44100;                 // sample rate of WAV recordings
    // Writes at cassette timing during a print job, held back until they prove to be a
    // leader (then recorded) or not (then printed).
    std::vector<std::pair<uint32_t, uint8_t>> cassetteRun;
    std::string outputFailure;  // a file that could not be written, not yet reported
    bool outputFailed = false;  // some output file failed during this run
};

// The program name within a recording's head (after the leader and block header).
constexpr uint32_t recordingNameOffset = 132;

// Cassette-timed writes in a row that end a print job: two leader bytes.
constexpr size_t leaderRunHalves = 32;

// Decoding windows in CPU cycles, bounds inclusive.
constexpr uint32_t recordingStartMin = 180, recordingStartMax = 500;
constexpr uint32_t printerStartMin = 1450, printerStartMax = 1650;
constexpr uint32_t oneHalfMin = 197, oneHalfMax = 239;
constexpr uint32_t zeroHalfMin = 389, zeroHalfMax = 474;
constexpr uint32_t cassetteIdleCycles = 890000;
constexpr uint32_t printerIdleCycles = 600000;

void writePort2(Machine& m, uint8_t value);
void cassetteOutHalf(Machine& m, uint32_t delta, uint8_t level);
void storeCassetteByte(Machine& m, uint8_t b);
void serialBit(Machine& m, uint8_t value);
void printByte(Machine& m, uint8_t c);
void portOutputIdleCheck(Machine& m);
// Opens path for the recording whose head is in and writes the head: the 140 bytes of
// a .C10 file, or (wav) the WAV header and the line's signal so far. False, with the
// recording dropped and outputFailure set, when the file cannot be created.
bool startRecordingFile(Machine& m, const std::string& path, bool wav);
// Called by resetMachine after the cycle count restarts at 0: closes output files.
void portOutputAfterReset(Machine& m);
// The file name a recording proposes from its 8-character program name: trailing
// blanks dropped, inner blanks as "_", "DEFAULT" when empty.
std::string cassetteOutName(const uint8_t name[8]);
