// Cassette recordings and the serial printer on the one port-2 output line.
#include "machine/port_output.h"

#include <filesystem>

#include "config/settings_file.h"
#include "machine.h"

namespace {

bool within(uint32_t v, uint32_t lo, uint32_t hi) { return v >= lo && v <= hi; }
bool oneHalf(uint32_t v) { return within(v, oneHalfMin, oneHalfMax); }
bool zeroHalf(uint32_t v) { return within(v, zeroHalfMin, zeroHalfMax); }

constexpr uint32_t headSize = 140;
constexpr uint32_t nameOffset = 132;  // the program name in the first block

// Opens the recording's file once its head (leader and name block) is in.
void openRecording(Machine& m) {
    CassetteOut& out = m.portOutput.cassetteOut;
    const std::string name = cassetteOutName(out.head + nameOffset) + ".C10";
    const std::filesystem::path dir = std::filesystem::path(m.settings.cassettewr).parent_path();
    std::string path = dir.empty() ? name : (dir / name).string();
    if (!hostChooseFile(m.host, path, {{"TOVRIN Cassette Files (*.C10)", "*.c10"}, {"All Files (*.*)", "*.*"}},
                        ".C10", ChooseMode::SaveAskOverwrite))
        return;  // cancelled: the rest of the recording is dropped
    out.outFile.reset(std::fopen(path.c_str(), "wb"));
    if (!out.outFile) {
        hostDebug(m.host, "Failed to open Cassette file " + path + " for output\n");
        return;
    }
    std::fwrite(out.head, 1, headSize, out.outFile.get());
    m.settings.cassettewr = path;
    saveCassetteOutName(m);
}

void closeRecording(PortOutput& p) {
    p.cassetteOut.outFile.reset();
    p.cassetteOutMode = false;
}

void closePrinter(PortOutput& p) {
    p.printer.printerFile.reset();
    p.printerMode = false;
}

}  // namespace

std::string cassetteOutName(const uint8_t name[8]) {
    int end = 8;
    while (end > 0 && name[end - 1] == ' ') --end;
    std::string s;
    for (int i = 0; i < end; ++i) {
        const uint8_t c = name[i];
        // Blanks, and anything that would leave the directory or cut the path short.
        s += (c == ' ' || c == '/' || c == '\\' || c < 0x20) ? '_' : static_cast<char>(c);
    }
    return s.empty() ? "DEFAULT" : s;
}

void writePort2(Machine& m, uint8_t value) {
    PortOutput& p = m.portOutput;
    uint32_t delta = 0;
    p.lastWriteCycle = cyclesSinceMark(m.cycles, &delta);
    if (!p.portOutputArmed) {
        p.portOutputArmed = value == 1;
        return;
    }
    if (p.printerMode) {
        serialBit(m, value);
        return;
    }
    if (p.cassetteOutMode) {
        cassetteOutHalf(m, delta, value);
        return;
    }
    if (within(delta, recordingStartMin, recordingStartMax)) {
        CassetteOut& out = p.cassetteOut;
        out.byteValue = 0;
        out.byteCount = 0;
        out.bitMask = 0x01;
        out.halfState = 1;
        out.outFile.reset();
        p.cassetteOutMode = true;
        cassetteOutHalf(m, delta, value);
        return;
    }
    if (within(delta, printerStartMin, printerStartMax) && value == 0) {
        SerialPrinter& pr = p.printer;
        pr.byteValue = 0;
        pr.bitMask = 0x01;
        pr.state = 1;
        p.printerMode = true;
    }
}

void cassetteOutHalf(Machine& m, uint32_t delta, uint8_t level) {
    CassetteOut& out = m.portOutput.cassetteOut;
    if (out.halfState == 1) {
        if (level != 0) hostDebug(m.host, "Lost phase in cassette\n");
        out.highHalf = delta;
        out.halfState = 2;
        return;
    }
    if (level != 1) hostDebug(m.host, "Lost phase in cassette\n");
    out.halfState = 1;
    const uint32_t h = out.highHalf, l = delta;
    bool one;
    if (zeroHalf(h) && zeroHalf(l)) one = false;
    else if (oneHalf(h) && oneHalf(l)) one = true;
    else if (zeroHalf(h)) one = false;
    else if (oneHalf(h)) one = true;
    else {
        one = false;
        hostDebug(m.host, "Incorrect timing in cassette " + std::to_string(h) + "  " + std::to_string(l) + "\n");
    }
    if (one) out.byteValue |= out.bitMask;
    out.bitMask = static_cast<uint8_t>(out.bitMask << 1);
    if (out.bitMask == 0) {
        storeCassetteByte(m, out.byteValue);
        out.bitMask = 0x01;
        out.byteValue = 0;
    }
}

void storeCassetteByte(Machine& m, uint8_t b) {
    CassetteOut& out = m.portOutput.cassetteOut;
    if (out.byteCount < headSize) {
        out.head[out.byteCount] = b;
        if (out.byteCount == headSize - 1) openRecording(m);
    } else if (out.outFile) {
        std::fputc(b, out.outFile.get());
    }
    // Stops counting once past the head: a recording of 2^32 bytes must not reopen.
    if (out.byteCount <= headSize) out.byteCount += 1;
}

void serialBit(Machine& m, uint8_t value) {
    SerialPrinter& pr = m.portOutput.printer;
    switch (pr.state) {
        case 1:
            if (value != 0) pr.byteValue |= pr.bitMask;
            pr.bitMask = static_cast<uint8_t>(pr.bitMask << 1);
            if (pr.bitMask == 0) {
                pr.bitMask = 0x01;
                printByte(m, pr.byteValue);
                pr.byteValue = 0;
                pr.state = 2;
            }
            break;
        case 2:
            if (value == 0) hostDebug(m.host, "Serial stop bit is 0!?\n");
            pr.state = 3;
            break;
        case 3:
            if (value == 0) hostDebug(m.host, "Serial start bit 1 is 0!?\n");
            pr.state = 4;
            break;
        default:
            if (value != 0) hostDebug(m.host, "Serial start bit 2 is 1!?\n");
            pr.state = 1;
            break;
    }
}

void printByte(Machine& m, uint8_t c) {
    SerialPrinter& pr = m.portOutput.printer;
    const Settings& s = m.settings;
    if (!pr.printerFile) {
        pr.printerFile.reset(std::fopen(s.filename.c_str(), "ab"));
        if (!pr.printerFile) {
            hostDebug(m.host, "Could not write serial byte\n");
            return;
        }
    }
    std::FILE* f = pr.printerFile.get();
    std::fputc(c, f);
    if (c == 0x09) {
        pr.column = static_cast<uint8_t>((pr.column + 8) & 0xF8);
    } else if (c >= 0x20) {
        pr.column = static_cast<uint8_t>(pr.column + 1);
    } else if (c == 0x0D) {
        pr.column = 0;
        if (s.autolinefeedflag) std::fputc(0x0A, f);
    }
    if (s.fixedwidthflag && static_cast<int32_t>(pr.column) >= s.width) {
        std::fputc(0x0D, f);
        if (s.autolinefeedflag) std::fputc(0x0A, f);
        pr.column = 0;
    }
}

void portOutputIdleCheck(Machine& m) {
    PortOutput& p = m.portOutput;
    if (!p.portOutputArmed) return;
    const uint32_t idle = currentCycles(m.cycles) - p.lastWriteCycle;
    if (p.cassetteOutMode && idle > cassetteIdleCycles) closeRecording(p);
    if (p.printerMode && idle > printerIdleCycles) closePrinter(p);
    // Disarm only once no mode can start from the arming write any more: a recording
    // or print job whose first writes straddle the end of a frame is still decoded.
    if (!p.cassetteOutMode && !p.printerMode && idle > printerStartMax) p.portOutputArmed = false;
}

void portOutputAfterReset(Machine& m) {
    PortOutput& p = m.portOutput;
    closeRecording(p);
    closePrinter(p);
    p.portOutputArmed = false;
    p.lastWriteCycle = currentCycles(m.cycles);
}
