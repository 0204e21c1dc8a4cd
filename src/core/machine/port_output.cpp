// Cassette recordings and the serial printer on the one port-2 output line.
#include "machine/port_output.h"

#include "machine.h"

namespace {

bool within(uint32_t v, uint32_t lo, uint32_t hi) { return v >= lo && v <= hi; }
bool oneHalf(uint32_t v) { return within(v, oneHalfMin, oneHalfMax); }
bool zeroHalf(uint32_t v) { return within(v, zeroHalfMin, zeroHalfMax); }

constexpr uint32_t headSize = 140;

void giveUp(PortOutput& p, FileHandle& f, const std::string& what) {
    f.reset();
    p.outputFailure = what;
    p.outputFailed = true;
}

void closeRecording(Machine& m) {
    PortOutput& p = m.portOutput;
    CassetteOut& out = p.cassetteOut;
    if (out.outFile) {
        bool ok = !out.wavOut || wavFinish(out.wav, out.outFile.get());
        ok = std::fclose(out.outFile.release()) == 0 && ok;
        if (!ok) {
            p.outputFailure = "cassette file " + out.outPath;
            p.outputFailed = true;
        }
    }
    out.headHalves.clear();
    p.cassetteOutMode = false;
}

void closePrinter(Machine& m) {
    PortOutput& p = m.portOutput;
    SerialPrinter& pr = p.printer;
    if (pr.printerFile && std::fclose(pr.printerFile.release()) != 0) {
        pr.failedPath = m.settings.filename;
        p.outputFailure = "printer file " + m.settings.filename;
        p.outputFailed = true;
    }
    p.printerMode = false;
}

void startRecording(Machine& m, uint32_t delta, uint8_t value) {
    PortOutput& p = m.portOutput;
    CassetteOut& out = p.cassetteOut;
    out.byteValue = 0;
    out.byteCount = 0;
    out.bitMask = 0x01;
    out.halfState = 1;
    out.outFile.reset();
    out.wavOut = false;
    out.headHalves.clear();
    p.cassetteOutMode = true;
    cassetteOutHalf(m, delta, value);
}

// The held-back writes were not a leader after all: they are printer bits.
void printHeldBack(Machine& m) {
    std::vector<std::pair<uint32_t, uint8_t>> run;
    run.swap(m.portOutput.cassetteRun);
    for (const auto& [delta, value] : run) serialBit(m, value);
}

}  // namespace

bool startRecordingFile(Machine& m, const std::string& path, bool wav) {
    PortOutput& p = m.portOutput;
    CassetteOut& out = p.cassetteOut;
    out.outPath = path;
    out.outFile.reset(std::fopen(path.c_str(), "wb"));
    if (!out.outFile) {
        hostDebug(m.host, "Failed to open Cassette file " + path + " for output\n");
        p.outputFailure = "cassette file " + path;
        p.outputFailed = true;
        return false;
    }
    out.wavOut = wav;
    bool ok;
    if (wav) {
        out.wav = WavWriter{p.wavRate};
        ok = wavWriteHeader(out.outFile.get()) && wavAddHalf(out.wav, out.outFile.get(), cpuCyclesPerSecond / 10, false);
        bool high = true;
        for (uint32_t half : out.headHalves) {
            ok = ok && wavAddHalf(out.wav, out.outFile.get(), half, high);
            high = !high;
        }
    } else {
        ok = std::fwrite(out.head, 1, headSize, out.outFile.get()) == headSize;
    }
    out.headHalves.clear();
    if (!ok) {
        giveUp(p, out.outFile, "cassette file " + path);
        return false;
    }
    return true;
}

namespace {

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
        // A cassette leader after LPRINT: end the print job and record the tape.
        if (within(delta, recordingStartMin, recordingStartMax)) {
            p.cassetteRun.emplace_back(delta, value);
            if (p.cassetteRun.size() < leaderRunHalves) return;
            std::vector<std::pair<uint32_t, uint8_t>> run;
            run.swap(p.cassetteRun);
            size_t first = run.front().second == 0 ? 0 : 1;  // a recording starts with a write of 0
            closePrinter(m);
            startRecording(m, run[first].first, run[first].second);
            for (size_t i = first + 1; i < run.size(); ++i) cassetteOutHalf(m, run[i].first, run[i].second);
            return;
        }
        printHeldBack(m);
        serialBit(m, value);
        return;
    }
    if (p.cassetteOutMode) {
        cassetteOutHalf(m, delta, value);
        return;
    }
    if (within(delta, recordingStartMin, recordingStartMax)) {
        startRecording(m, delta, value);
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
    PortOutput& p = m.portOutput;
    CassetteOut& out = p.cassetteOut;
    // The line's signal for a WAV recording: this write ends a high half (state 1) or
    // a low half (state 2) of delta cycles.
    if (out.wavOut && out.outFile) {
        if (!wavAddHalf(out.wav, out.outFile.get(), delta, out.halfState == 1))
            giveUp(p, out.outFile, "cassette file " + out.outPath);
    } else if (out.byteCount < headSize && out.headHalves.size() < headSize * 32) {
        out.headHalves.push_back(delta);
    }
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
        if (out.byteCount == headSize - 1 && m.portOutput.openRecording) m.portOutput.openRecording(m);
    } else if (out.outFile && !out.wavOut) {
        if (std::fputc(b, out.outFile.get()) == EOF)
            giveUp(m.portOutput, out.outFile, "cassette file " + out.outPath);
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
    PortOutput& p = m.portOutput;
    SerialPrinter& pr = p.printer;
    const Settings& s = m.settings;
    if (!pr.printerFile) {
        if (!pr.failedPath.empty() && pr.failedPath == s.filename) return;  // given up on
        pr.printerFile.reset(std::fopen(s.filename.c_str(), "ab"));
        if (!pr.printerFile) {
            hostDebug(m.host, "Could not write serial byte\n");
            pr.failedPath = s.filename;
            p.outputFailure = "printer file " + s.filename;
            p.outputFailed = true;
            return;
        }
    }
    std::FILE* f = pr.printerFile.get();
    bool ok = std::fputc(c, f) != EOF;
    if (c == 0x09) {
        pr.column = static_cast<uint8_t>((pr.column + 8) & 0xF8);
    } else if (c >= 0x20) {
        pr.column = static_cast<uint8_t>(pr.column + 1);
    } else if (c == 0x0D) {
        pr.column = 0;
        if (s.autolinefeedflag) ok = std::fputc(0x0A, f) != EOF && ok;
    }
    if (s.fixedwidthflag && static_cast<int32_t>(pr.column) >= s.width) {
        ok = std::fputc(0x0D, f) != EOF && ok;
        if (s.autolinefeedflag) ok = std::fputc(0x0A, f) != EOF && ok;
        pr.column = 0;
    }
    // Each character reaches the disk at once, so a full disk shows on this write.
    if (!ok || std::fflush(f) != 0) {
        pr.failedPath = s.filename;
        giveUp(p, pr.printerFile, "printer file " + s.filename);
    }
}

void portOutputIdleCheck(Machine& m) {
    PortOutput& p = m.portOutput;
    if (!p.portOutputArmed) return;
    const uint32_t idle = currentCycles(m.cycles) - p.lastWriteCycle;
    if (p.cassetteOutMode && idle > cassetteIdleCycles) closeRecording(m);
    if (p.printerMode && idle > printerIdleCycles) {
        printHeldBack(m);
        closePrinter(m);
    }
    // Disarm only once no mode can start from the arming write any more: a recording
    // or print job whose first writes straddle the end of a frame is still decoded.
    if (!p.cassetteOutMode && !p.printerMode && idle > printerStartMax) p.portOutputArmed = false;
}

void portOutputAfterReset(Machine& m) {
    PortOutput& p = m.portOutput;
    p.cassetteRun.clear();
    closeRecording(m);
    closePrinter(m);
    p.portOutputArmed = false;
    p.lastWriteCycle = currentCycles(m.cycles);
}
