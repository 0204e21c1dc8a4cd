// Port 2 bit 0 output: cassette recordings decoded into .C10 files and the serial
// printer decoded into a text file, told apart by the time between writes.
//
//   writePort2(m, 1);          // from the decoder, every write to 0x0003
//   portOutputIdleCheck(m);    // once per frame: closes the files after a pause
//
// A recording's file is proposed from the program name in its first block and asked
// for (save chooser, overwrite prompt) when the 140th byte arrives; a shorter
// recording leaves nothing on disk. Printer characters are appended to the PRINTER
// `filename` setting.
#pragma once
#include <cstdint>
#include <string>

#include "machine/file_handle.h"

struct Machine;

struct CassetteOut {
    int halfState = 1;  // 1: the next write ends a high half, 2: a low half
    uint32_t highHalf = 0;
    uint8_t bitMask = 0x01;
    uint8_t byteValue = 0;
    uint32_t byteCount = 0;
    uint8_t head[140] = {};
    FileHandle outFile;
};

struct SerialPrinter {
    int state = 1;  // 1 data bits, 2 stop bit, 3 start bit 1, 4 start bit 2
    uint8_t bitMask = 0x01;
    uint8_t byteValue = 0;
    uint8_t column = 0;  // of the last written character; kept when the file closes
    FileHandle printerFile;
};

struct PortOutput {
    bool portOutputArmed = false;
    uint32_t lastWriteCycle = 0;
    bool cassetteOutMode = false;
    bool printerMode = false;
    CassetteOut cassetteOut;
    SerialPrinter printer;
};

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
// Called by resetMachine after the cycle count restarts at 0: closes output files.
void portOutputAfterReset(Machine& m);
// The file name a recording proposes from its 8-character program name: trailing
// blanks dropped, inner blanks as "_", "DEFAULT" when empty.
std::string cassetteOutName(const uint8_t name[8]);
