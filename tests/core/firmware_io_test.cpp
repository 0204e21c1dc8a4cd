// The built-in BASIC's cassette, printer, sound and graphics through the real
// machine: CSAVE is decoded to a .C10 file and CLOAD plays it back, a
// machine-language tape loads with CLOADM and runs with EXEC, LLIST reaches
// the printer file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/scheduler.h"
#include "firmware_harness.h"
#include "machine/memory.h"

namespace {

bool timingComplaints(const FakeDebug& d) {
    for (const std::string& l : d.lines)
        if (l.find("timing") != std::string::npos || l.find("phase") != std::string::npos) return true;
    return false;
}

// A block as the ROM writes it: 55 3C type length data checksum 55.
void addBlock(std::vector<uint8_t>& tape, uint8_t type, const std::vector<uint8_t>& data) {
    tape.insert(tape.end(), {0x55, 0x3C, type, static_cast<uint8_t>(data.size())});
    uint8_t sum = static_cast<uint8_t>(type + data.size());
    for (uint8_t d : data) sum = static_cast<uint8_t>(sum + d);
    tape.insert(tape.end(), data.begin(), data.end());
    tape.insert(tape.end(), {sum, 0x55});
}

}  // namespace

TEST(FirmwareCassette, CsaveWritesADecodableFileThatCloadRestores) {
    std::filesystem::path file = testTmp("fw_prog.c10");
    std::filesystem::remove(file);
    BasicMachine b;
    b.chooser.reply = file.string();
    b.type("10 PRINT \"HELLO\"\r20 GOTO 10\rCSAVE \"PROG\"\r", 200);
    ASSERT_TRUE(std::filesystem::exists(file)) << b.screen();
    std::vector<uint8_t> tape = readBytes(file);
    EXPECT_FALSE(timingComplaints(b.debug));
    ASSERT_GT(tape.size(), 300u);
    for (int i = 0; i < 128; ++i) ASSERT_EQ(tape[i], 0x55) << i;
    const std::vector<uint8_t> nameBlock = {0x55, 0x3C, 0x00, 0x0F, 'P', 'R', 'O', 'G', ' ', ' ', ' ', ' ',
                                            0x00, 0x00, 0x00, 0x00, 0x00, 0x43, 0x46};
    EXPECT_EQ(std::vector<uint8_t>(tape.begin() + 128, tape.begin() + 147), nameBlock);
    uint8_t sum = 0;
    for (int i = 130; i < 147; ++i) sum = static_cast<uint8_t>(sum + tape[i]);
    EXPECT_EQ(tape[147], sum);
    // the end block closes the recording
    const std::vector<uint8_t> endBlock = {0x55, 0x3C, 0xFF, 0x00, 0xFF, 0x55};
    EXPECT_EQ(std::vector<uint8_t>(tape.end() - 6, tape.end()), endBlock);

    b.type("NEW\rCLS\rLIST\r", 5);
    EXPECT_FALSE(b.shows("HELLO"));
    ASSERT_TRUE(playCassettePath(*b.m, file.string(), false));
    b.type("CLOAD\r", 300);
    EXPECT_TRUE(b.shows("FOUND PROG")) << b.screen();
    b.type("CLS\rLIST\r", 10);
    EXPECT_TRUE(b.shows("10 PRINT \"HELLO\"")) << b.screen();
    EXPECT_TRUE(b.shows("20 GOTO 10")) << b.screen();
}

TEST(FirmwareCassette, CloadmLoadsMachineCodeThatExecRuns) {
    // LDAA #$2A  STAA $4000  RTS, at 0x4C00
    std::vector<uint8_t> code = {0x86, 0x2A, 0xB7, 0x40, 0x00, 0x39};
    std::vector<uint8_t> tape(128, 0x55);
    addBlock(tape, 0x00, {'M', 'C', ' ', ' ', ' ', ' ', ' ', ' ', 0x02, 0x00, 0x00, 0x4C, 0x00, 0x4C, 0x00});
    tape.insert(tape.end(), 128, 0x55);
    addBlock(tape, 0x01, code);
    addBlock(tape, 0xFF, {});
    std::filesystem::path file = testTmp("fw_mc.c10");
    writeBytes(file, tape);

    BasicMachine b;
    ASSERT_TRUE(playCassettePath(*b.m, file.string(), false));
    b.type("CLOADM\r", 200);
    EXPECT_TRUE(b.shows("FOUND MC")) << b.screen();
    for (size_t i = 0; i < code.size(); ++i) EXPECT_EQ(b.peek(static_cast<uint16_t>(0x4C00 + i)), code[i]);
    EXPECT_EQ(b.peek(0x421F), 0x4C);
    EXPECT_EQ(b.peek(0x4220), 0x00);
    b.type("CLS\rEXEC\r", 10);
    EXPECT_EQ(b.peek(0x4000), 0x2A) << b.screen();
}

TEST(FirmwarePrinter, LlistAndLprintReachThePrinterFile) {
    std::filesystem::path file = testTmp("fw_lprint.txt");
    std::filesystem::remove(file);
    BasicMachine b;
    b.m->settings.filename = file.string();
    b.type("10 PRINT \"ABC\";12\r20 END\rLLIST\rLPRINT \"X\";-5\r", 100);
    std::vector<uint8_t> out = readBytes(file);
    std::string text(out.begin(), out.end());
    EXPECT_EQ(text, "10 PRINT \"ABC\";12\r\n20 END\r\nX-5 \r\n");
}

TEST(FirmwareSound, SoundTogglesTheSpeakerAndLeavesTheVideoBits) {
    BasicMachine b;
    b.type("POKE 49151,64\r", 5);  // colour set 1 in the latch
    startQuickTypeText(*b.m, "SOUND 200,2\r");
    int edges = 0;
    uint8_t last = b.peek(0xBFFF);
    for (int i = 0; i < 5000; ++i) {
        cpuExecute(*b.m, 200);
        uint8_t now = b.peek(0xBFFF);
        if ((now ^ last) & 0x80) ++edges;
        EXPECT_EQ(now & 0x7F, 0x40);
        last = now;
    }
    // about 1/8 s of a tone near 800 Hz
    EXPECT_GT(edges, 150);
    EXPECT_LT(edges, 300);
    EXPECT_EQ(b.peek(0xBFFF), 0x40);
}

TEST(FirmwareGraphics, SetResetAndPointAgree) {
    BasicMachine b;
    b.type("CLS 0:SET(3,25,4):SET(2,24,4):PRINT@0,POINT(3,25);POINT(2,25);POINT(2,24);POINT(0,0);\r", 10);
    // x 3, y 25: lower right of cell (1,12); x 2, y 24: its upper left; colour 4 is red
    EXPECT_EQ(b.peek(0x4000 + 12 * 32 + 1), 0x80 + 0x30 + 0x09);
    EXPECT_TRUE(b.shows(" 4  0  4 -1 ")) << b.screen();
    b.type("RESET(3,25)\r", 10);
    EXPECT_EQ(b.peek(0x4000 + 12 * 32 + 1), 0x80 + 0x30 + 0x08);
}

TEST(FirmwareKeyboard, QuickTypeUsesTheCaseFlagAndColour) {
    BasicMachine b;
    // lower case letters go in through SHIFT+0; a yellow block (colour 1) needs
    // upper-case mode and one CTRL+0 step from the start colour
    std::string text = "PRINT \"ab\x9F\"\r";
    b.type(text, 10);
    EXPECT_EQ(b.peek(0x421C) & 1, 1);
    uint8_t colour = b.peek(0x4282) & 0x70;
    EXPECT_EQ(colour, 0x10);
    EXPECT_TRUE(b.shows("PRINT \"ab#\"")) << b.screen();
    EXPECT_EQ(b.peek(0x4000 + 32 * 4), 0x01);  // "a" shows as an inverse A
    EXPECT_EQ(b.peek(0x4000 + 32 * 4 + 2), 0x9F);
}

namespace {
// Gaps in cycles between successive port-2 writes while the typed command runs.
std::vector<uint32_t> port2Gaps(BasicMachine& b, const std::string& command, long instructions) {
    startQuickTypeText(*b.m, command);
    std::vector<uint32_t> gaps;
    uint32_t last = b.m->portOutput.lastWriteCycle;
    for (long i = 0; i < instructions; ++i) {
        cpuExecute(*b.m, 1);
        uint32_t w = b.m->portOutput.lastWriteCycle;
        if (w != last) gaps.push_back(w - last);
        last = w;
    }
    if (!gaps.empty()) gaps.erase(gaps.begin());  // since the last write before the command
    return gaps;
}
}  // namespace

TEST(FirmwareTiming, CassetteHalvesAndPrinterBitsKeepTheirWindows) {
    BasicMachine b;
    b.chooser.answer = false;  // nothing needs to reach a file here
    b.type("10 PRINT 1\r", 5);
    int ones = 0, zeros = 0, long_ = 0;
    for (uint32_t g : port2Gaps(b, "CSAVE \"X\"\r", 4000000)) {
        if (g >= 197 && g <= 239) ++ones;
        else if (g >= 389 && g <= 474) ++zeros;
        else ++long_;  // the low half closing a block, and the silence after the name block
    }
    EXPECT_GT(ones + zeros, 4000);
    EXPECT_LE(long_, 6);

    BasicMachine p;
    p.m->settings.filename = testTmp("fw_timing_lprint.txt").string();
    std::vector<uint32_t> gaps = port2Gaps(p, "LPRINT \"AB\"\r", 300000);
    ASSERT_EQ(gaps.size(), 32u);  // A, B, CR: 11 writes each
    for (size_t i = 0; i < gaps.size(); ++i) {
        if (i % 11 == 10) continue;  // between characters
        EXPECT_TRUE(gaps[i] == 1491 || gaps[i] == 1492) << i << ": " << gaps[i];
    }
}

TEST(FirmwareEntryPoints, UsrExecAndTheRomPointersWork) {
    std::filesystem::path file = testTmp("fw_csavem.c10");
    std::filesystem::remove(file);
    BasicMachine b;
    b.chooser.reply = file.string();
    // 20000: LDX [$FFEC] JSR  ADDD #1  LDX [$FFEA] JSR  RTS   (USR(n) = n + 1)
    // 20014: LDAA #'Z'  LDX [$FFDE] JSR  RTS                   (prints Z)
    b.type("10 FOR I=0 TO 21:READ B:POKE 20000+I,B:NEXT\r"
           "20 DATA 254,255,236,173,0,195,0,1,254,255,234,173,0,57\r"
           "30 DATA 134,90,254,255,222,173,0,57\r"
           "40 POKE 16927,78:POKE 16928,32:PRINT USR(41);:EXEC 20014\rRUN\r",
           20);
    EXPECT_TRUE(b.shows(" 42 Z")) << b.screen();
    b.type("CSAVEM \"MC\",20000,20021,20014\r", 200);
    ASSERT_TRUE(std::filesystem::exists(file));
    b.type("POKE 20000,0:POKE 20021,0:POKE 16927,0:POKE 16928,0\r", 5);
    ASSERT_TRUE(playCassettePath(*b.m, file.string(), false));
    b.type("CLOADM\r", 300);
    EXPECT_EQ(b.peek(20000), 254);
    EXPECT_EQ(b.peek(20021), 57);
    EXPECT_EQ((b.peek(0x421F) << 8) | b.peek(0x4220), 20014);
}

TEST(FirmwareCassette, CloadFindsAFileByNameAndSkipfPassesOne) {
    // two BASIC files, each one line 10 PRINT "<letter>"
    std::vector<uint8_t> tape;
    for (char name : {'A', 'B'}) {
        tape.insert(tape.end(), 128, 0x55);
        addBlock(tape, 0x00, {uint8_t(name), ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0, 0, 0, 0, 0, 0x43, 0x46});
        tape.insert(tape.end(), 128, 0x55);
        addBlock(tape, 0x01, {0x43, 0x50, 0, 10, 0x86, ' ', '"', uint8_t(name), '"', 0, 0, 0});
        addBlock(tape, 0xFF, {});
    }
    std::filesystem::path file = testTmp("fw_two.c10");
    writeBytes(file, tape);
    for (const char* command : {"CLOAD \"B\"\r", "SKIPF\rCLOAD\r"}) {
        BasicMachine b;
        ASSERT_TRUE(playCassettePath(*b.m, file.string(), false));
        b.type(command, 400);
        b.type("LIST\r", 10);
        EXPECT_TRUE(b.shows("10 PRINT \"B\"")) << command << "\n" << b.screen();
    }
}

TEST(FirmwareCassette, BreakEndsAWaitForTheTape) {
    BasicMachine b;
    b.type("10 CLOAD\rRUN\r", 20);
    EXPECT_FALSE(b.shows("BREAK"));
    b.m->keyboard.emulatedKeyState[vkEscape] = 0x80;
    b.runFrames(3);
    b.m->keyboard.emulatedKeyState[vkEscape] = 0;
    b.runFrames(3);
    EXPECT_TRUE(b.shows("BREAK IN 10" + std::string(21, ' ') + "\nOK")) << b.screen();
    b.type("CONT\r", 5);
    EXPECT_TRUE(b.shows("?CN ERROR")) << b.screen();
}

namespace {
// The number printed before " BYTES FREE" in the banner, or -1.
long bannerBytesFree(const BasicMachine& b) {
    std::string s = b.screen();
    size_t at = s.find(" BYTES FREE");
    if (at == std::string::npos) return -1;
    size_t from = s.rfind('\n', at);
    return std::stol(s.substr(from == std::string::npos ? 0 : from + 1, at));
}
// The screen cell showing the cursor block (the only block at a prompt), or -1.
int cursorCell(const BasicMachine& b) {
    for (int i = 511; i >= 0; --i)
        if (b.peek(static_cast<uint16_t>(0x4000 + i)) >= 0x80) return i;
    return -1;
}
}  // namespace

TEST(FirmwareKeyboard, KeysTypedIntoARunningProgramAllArrive) {
    BasicMachine b;
    b.type("10 FOR I=1 TO 3000:NEXT\r", 5);
    // RUN starts the loop; the 47 characters after it are typed while it runs,
    // far more than the type-ahead buffer holds.
    b.type("RUN\rPRINT \"ABCDEFGHIJKLMNOPQRSTUVWXYZ\"\rPRINT 12345\r", 30);
    EXPECT_TRUE(b.shows("\nABCDEFGHIJKLMNOPQRSTUVWXYZ      \nOK")) << b.screen();
    EXPECT_TRUE(b.shows("\n 12345 ")) << b.screen();
}

TEST(FirmwareKeyboard, TheCursorBlinksAboutThreeTimesASecond) {
    BasicMachine b;
    for (int i = 0; i < 40 && cursorCell(b) < 0; ++i) b.runFrames(1);
    int cell = cursorCell(b);
    ASSERT_GE(cell, 0) << b.screen();
    const uint16_t at = static_cast<uint16_t>(0x4000 + cell);
    const uint8_t block = b.peek(at);
    std::vector<int> changes;
    uint8_t last = block;
    for (int frame = 0; frame < 180; ++frame) {
        b.runFrames(1);
        uint8_t now = b.peek(at);
        EXPECT_TRUE(now == block || now == 0x60) << int(now);
        if (now != last) changes.push_back(frame);
        last = now;
    }
    ASSERT_GE(changes.size(), 6u);
    for (size_t i = 1; i < changes.size(); ++i) {
        int phase = changes[i] - changes[i - 1];  // frames of 1/60 s
        EXPECT_GE(phase, 14) << i;
        EXPECT_LE(phase, 26) << i;
    }
}

TEST(FirmwareKeyboard, TheDebounceCellSetsHowLongAKeyMustStayDown) {
    // Cycles from pressing A at the prompt until it is echoed, for two delays.
    auto latency = [](uint16_t debounce) {
        BasicMachine b;
        for (int i = 0; i < 40 && cursorCell(b) < 0; ++i) b.runFrames(1);
        b.m->mem.addressSpace[0x421D] = static_cast<uint8_t>(debounce >> 8);
        b.m->mem.addressSpace[0x421E] = static_cast<uint8_t>(debounce);
        int cell = cursorCell(b);
        uint16_t at = static_cast<uint16_t>(0x4000 + (cell < 0 ? 0 : cell));
        b.m->keyboard.emulatedKeyState[b.m->keyboard.matrixKeyTable[1]] = 0x80;
        long cycles = 0;
        while (b.peek(at) != 0x41 && cycles < 2000000) cycles += cpuExecute(*b.m, 50);
        b.m->keyboard.emulatedKeyState[b.m->keyboard.matrixKeyTable[1]] = 0;
        return cycles;
    };
    long shortDelay = latency(0x045E), longDelay = latency(0x045E + 10000);
    EXPECT_LT(shortDelay, 20000);
    // each step of the delay is one pass of a 6-cycle loop
    EXPECT_GT(longDelay - shortDelay, 50000);
    EXPECT_LT(longDelay - shortDelay, 70000);
}

TEST(FirmwareMemory, RamIsSizedAsTheMemoryMapAnswersAndMemAgrees) {
    struct Layout {
        uint8_t enhanced, expander, ramAtC000;
        long top;
    } layouts[] = {{0, 0, 0, 0x4FFF}, {0, 1, 0, 0x8FFF}, {1, 0, 0, 0xBEFF}, {1, 1, 1, 0xBEFF}};
    for (const Layout& l : layouts) {
        BasicMachine b;
        b.m->settings.enhancedflag = l.enhanced;
        b.m->settings.expanderflag = l.expander;
        b.m->settings.RAMatC000flag = l.ramAtC000;
        rebuildMemoryMap(*b.m);
        resetMachine(*b.m, 1);
        b.runFrames(30);
        long freeBytes = bannerBytesFree(b);
        // the program starts at 0x4346; a little goes to the stack and the strings
        EXPECT_LE(freeBytes, l.top - 0x4346) << l.top << "\n" << b.screen();
        EXPECT_GT(freeBytes, l.top - 0x4346 - 400) << l.top << "\n" << b.screen();
        b.type("PRINT MEM\r", 5);
        EXPECT_TRUE(b.shows("\n " + std::to_string(freeBytes) + " ")) << b.screen();
        // and the probe put back what it tried: a soft reset keeps a byte in RAM
        uint16_t probe = static_cast<uint16_t>(l.top - 0x0100);
        b.m->mem.addressSpace[probe] = 0x5A;
        resetMachine(*b.m, 0);
        b.runFrames(30);
        EXPECT_EQ(b.peek(probe), 0x5A) << l.top;
        EXPECT_EQ(bannerBytesFree(b), freeBytes);
    }
}
