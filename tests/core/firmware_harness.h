// Drives a machine running the built-in BASIC ROM for the firmware tests: boot,
// type through Quick Type, run frames, read the text screen back as ASCII.
//
//   BasicMachine b;                 // boots to "OK"
//   b.type("PRINT 2+3*4\r");        // types and waits until the text is in
//   b.runFrames(10);
//   EXPECT_NE(b.screen().find(" 14 "), std::string::npos);
#pragma once
#include <memory>
#include <string>

#include "io_fakes.h"
#include "machine.h"

struct BasicMachine {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeChooser chooser;
    FakeDebug debug;

    BasicMachine() {
        m->host.files = &chooser;
        m->host.debug = &debug;
        loadRomImages(*m);
        recomputeFrameTiming(*m);
        startupReset(*m);
        runFrames(30);
    }
    void runFrames(int n) {
        for (int i = 0; i < n; ++i) {
            cpuExecute(*m, m->timing.activeScanCycles);
            cpuExecute(*m, m->timing.borderVblankCycles);
            portOutputIdleCheck(*m);
        }
    }
    // Types text (CR ends a line) and runs until it has all gone in, plus a few frames.
    void type(const std::string& text, int settle = 10) {
        startQuickTypeText(*m, text);
        for (int i = 0; i < 20000 && m->quickType.quickTypeActive; ++i) runFrames(1);
        runFrames(settle);
    }
    uint8_t peek(uint16_t a) const { return m->mem.addressSpace[a]; }
    // The 16 screen lines, each 32 characters and a '\n'; inverse letters in lower
    // case, semigraphic cells as '#'.
    std::string screen() const {
        std::string s;
        for (int i = 0; i < 512; ++i) {
            uint8_t c = peek(static_cast<uint16_t>(0x4000 + i));
            char ch = c >= 0x80 ? '#' : static_cast<char>((c & 0x3F) < 0x20 ? (c & 0x3F) + 0x40 : (c & 0x3F));
            if (c < 0x40 && ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
            s += ch;
            if (i % 32 == 31) s += '\n';
        }
        return s;
    }
    bool shows(const std::string& text) const { return screen().find(text) != std::string::npos; }
};
