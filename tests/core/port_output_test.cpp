// Cassette output and the serial printer, from synthesized port-2 write sequences;
// and a recording decoded to a .C10 file that plays back with the same edges.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "io_fakes.h"
#include "machine.h"

namespace {

struct PortOutputTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeChooser chooser;
    FakeDebug debug;
    uint32_t t = 1000;
    void SetUp() override {
        m->host.files = &chooser;
        m->host.debug = &debug;
    }
    void writeAfter(uint32_t delta, uint8_t value) {
        t += delta;
        m->cycles.count = t;
        writePort2(*m, value);
    }
    // Arms the line, then sends halves (high, low) pairs as the ROM toggles it.
    void record(const std::vector<std::pair<uint32_t, uint32_t>>& bits) {
        writeAfter(5000, 1);
        for (auto [h, l] : bits) {
            writeAfter(h, 0);
            writeAfter(l, 1);
        }
    }
    void recordBytes(const std::vector<uint8_t>& bytes) {
        std::vector<std::pair<uint32_t, uint32_t>> bits;
        for (uint8_t b : bytes)
            for (int i = 0; i < 8; ++i) {
                int v = (b >> i) & 1;
                bits.push_back({c10HighHalf[v], i == 7 ? c10LowHalfLast[v] : c10LowHalf[v]});
            }
        record(bits);
    }
    void idle(uint32_t cycles) {
        t += cycles;
        m->cycles.count = t;
        portOutputIdleCheck(*m);
    }
    // Sends characters as the ROM's serial routine: start bit, 8 data bits, 1, 1, 0.
    void print(const std::string& text) {
        writeAfter(3000, 1);
        writeAfter(1500, 0);
        for (char ch : text) {
            for (int i = 0; i < 8; ++i) writeAfter(60, (static_cast<uint8_t>(ch) >> i) & 1);
            writeAfter(60, 1);
            writeAfter(60, 1);
            writeAfter(60, 0);
        }
    }
};

TEST_F(PortOutputTest, BitWindows) {
    struct Case {
        uint32_t h, l;
        uint8_t bit;
        bool timingMessage;
    } cases[] = {
        {210, 230, 1, false}, {400, 470, 0, false}, {400, 230, 0, false},
        {230, 470, 1, false}, {300, 300, 0, true},  {197, 239, 1, false},
    };
    for (const Case& c : cases) {
        m->portOutput = PortOutput{};
        debug.lines.clear();
        record({{c.h, c.l}});
        EXPECT_TRUE(m->portOutput.cassetteOutMode);
        EXPECT_EQ(m->portOutput.cassetteOut.byteValue, c.bit) << c.h << " " << c.l;
        EXPECT_EQ(debug.lines.size(), c.timingMessage ? 1u : 0u) << c.h;
        if (c.timingMessage) {
            EXPECT_EQ(debug.lines.at(0), "Incorrect timing in cassette 300  300\n");
        }
    }
}

TEST_F(PortOutputTest, FileNameRule) {
    const uint8_t myProg[8] = {'M', 'Y', ' ', 'P', 'R', 'O', 'G', ' '};
    const uint8_t blanks[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
    const uint8_t slash[8] = {'.', '.', '/', 'X', 0, ' ', ' ', ' '};
    EXPECT_EQ(cassetteOutName(myProg), "MY_PROG");
    EXPECT_EQ(cassetteOutName(blanks), "DEFAULT");
    EXPECT_EQ(cassetteOutName(slash), ".._X_");
}

TEST_F(PortOutputTest, ShortRecordingsAndCancelLeaveNoFile) {
    chooser.answer = false;
    std::vector<uint8_t> bytes(200, 0x55);
    recordBytes(std::vector<uint8_t>(139, 0x55));
    idle(900000);
    EXPECT_TRUE(chooser.proposed.empty());
    EXPECT_FALSE(m->portOutput.portOutputArmed);
    recordBytes(bytes);
    ASSERT_EQ(chooser.proposed.size(), 1u);
    EXPECT_EQ(chooser.proposed[0], "UUUUUUUU.C10");
    EXPECT_EQ(chooser.modes[0], ChooseMode::SaveAskOverwrite);
    EXPECT_FALSE(m->portOutput.cassetteOut.outFile);
}

TEST_F(PortOutputTest, RecordingDecodesAndPlaysBackWithTheSameEdges) {
    std::vector<uint8_t> tape(128, 0x55);
    std::vector<uint8_t> nameBlock = {0x55, 0x3C, 0x00, 15, 'M', 'Y', ' ', 'P', 'R', 'O', 'G', ' ',
                                      0, 0, 0, 0x4C, 0x00, 0x4C, 0x00, 0x99, 0x55};
    tape.insert(tape.end(), nameBlock.begin(), nameBlock.end());
    tape.insert(tape.end(), 128, 0x55);
    for (int i = 0; i < 40; ++i) tape.push_back(static_cast<uint8_t>(i * 37));
    auto out = testTmp("rec.c10");
    std::filesystem::remove(out);
    m->settings.cassettewr = (testTmp("x") / "old.c10").string();
    chooser.reply = out.string();
    recordBytes(tape);
    EXPECT_EQ(chooser.proposed.at(0), (testTmp("x") / "MY_PROG.C10").string());
    idle(890000);
    EXPECT_TRUE(m->portOutput.cassetteOutMode);
    idle(1);
    EXPECT_FALSE(m->portOutput.cassetteOutMode);
    EXPECT_EQ(readBytes(out), tape);
    EXPECT_EQ(m->settings.cassettewr, out.string());

    // Both the original bytes and the decoded file, played into the input.
    auto edgesOf = [&](const std::string& path) {
        auto p = std::make_unique<Machine>();
        EXPECT_TRUE(playCassettePath(*p, path, false));
        std::vector<uint32_t> edges;
        bool level = false;
        for (uint32_t c = 1; p->cassetteIn.cassettePlaying; ++c) {
            p->cycles.count = c;
            readPort2(*p, 0xFF);
            bool now = p->mem.addressSpace[3] & 0x10;
            if (now != level) edges.push_back(c);
            level = now;
        }
        return edges;
    };
    writeBytes(testTmp("orig.c10"), tape);
    auto a = edgesOf(testTmp("orig.c10").string());
    EXPECT_EQ(a.size(), tape.size() * 16);
    EXPECT_EQ(a, edgesOf(out.string()));
}

TEST_F(PortOutputTest, ResetClosesTheRecording) {
    chooser.reply = testTmp("reset.c10").string();
    recordBytes(std::vector<uint8_t>(150, 0x55));
    ASSERT_TRUE(m->portOutput.cassetteOut.outFile);
    m->cycles.count = 0;
    portOutputAfterReset(*m);
    EXPECT_FALSE(m->portOutput.cassetteOut.outFile);
    EXPECT_FALSE(m->portOutput.portOutputArmed);
    EXPECT_EQ(readBytes(testTmp("reset.c10")).size(), 150u);
}

TEST_F(PortOutputTest, PrinterFramingLineFeedsAndIdleClose) {
    auto file = testTmp("lprint.txt");
    std::filesystem::remove(file);
    m->settings.filename = file.string();
    print("AB\r");
    EXPECT_TRUE(m->portOutput.printerMode);
    idle(600000);
    EXPECT_TRUE(m->portOutput.printer.printerFile != nullptr);
    idle(1);
    EXPECT_FALSE(m->portOutput.printerMode);
    EXPECT_FALSE(m->portOutput.portOutputArmed);
    EXPECT_EQ(readBytes(file), (std::vector<uint8_t>{'A', 'B', '\r', '\n'}));
    EXPECT_TRUE(debug.lines.empty());
    print("C");  // appended by the next job
    idle(700000);
    EXPECT_EQ(readBytes(file).size(), 5u);
}

TEST_F(PortOutputTest, PrinterFramingErrorsAreOnlyReported) {
    m->settings.filename = testTmp("lp2.txt").string();
    std::filesystem::remove(testTmp("lp2.txt"));
    writeAfter(3000, 1);
    writeAfter(1500, 0);
    for (int i = 0; i < 8; ++i) writeAfter(60, ('Z' >> i) & 1);
    writeAfter(60, 0);
    writeAfter(60, 0);
    writeAfter(60, 1);
    EXPECT_EQ(debug.lines, (std::vector<std::string>{"Serial stop bit is 0!?\n", "Serial start bit 1 is 0!?\n",
                                                     "Serial start bit 2 is 1!?\n"}));
    idle(700000);
    EXPECT_EQ(readBytes(testTmp("lp2.txt")), std::vector<uint8_t>{'Z'});
}

TEST_F(PortOutputTest, PrinterColumns) {
    auto file = testTmp("lp3.txt");
    m->settings.filename = file.string();
    struct Case {
        uint8_t fixed;
        int32_t width;
        std::string in, out;
    } cases[] = {
        {1, 4, "ABCDEF", "ABCD\r\nEF"},
        {1, 0, "A\r", "A\r\n\r\n\r\n"},
        {1, 300, std::string(300, 'x'), std::string(300, 'x')},
        {1, 8, "ABC\tX", "ABC\t\r\nX"},
        {0, 4, "ABCDEF\x07", "ABCDEF\x07"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(file);
        m->settings.fixedwidthflag = c.fixed;
        m->settings.width = c.width;
        m->portOutput.printer.column = 0;
        for (char ch : c.in) printByte(*m, static_cast<uint8_t>(ch));
        m->portOutput.printer.printerFile.reset();
        auto got = readBytes(file);
        EXPECT_EQ(std::string(got.begin(), got.end()), c.out) << c.in;
    }
    m->portOutput.printer.column = 3;
    m->settings.fixedwidthflag = 0;
    printByte(*m, '\t');
    EXPECT_EQ(m->portOutput.printer.column, 8);
    printByte(*m, '\t');
    EXPECT_EQ(m->portOutput.printer.column, 16);
    m->portOutput.printer.printerFile.reset();
    m->settings.filename = (testTmp("no-such-dir") / "x" / "lp.txt").string();
    printByte(*m, 'Q');
    EXPECT_EQ(debug.lines.back(), "Could not write serial byte\n");
}

TEST_F(PortOutputTest, ArmingEndsAtTheFirstFrameEndThatNoModeCanStartFrom) {
    writeAfter(100, 1);
    EXPECT_TRUE(m->portOutput.portOutputArmed);
    idle(1651);
    EXPECT_FALSE(m->portOutput.portOutputArmed);
    writeAfter(300, 0);  // would start a recording if still armed
    EXPECT_FALSE(m->portOutput.cassetteOutMode);

    // A frame ending between the arming write and the start bit does not lose the job.
    m->settings.filename = testTmp("lp4.txt").string();
    std::filesystem::remove(testTmp("lp4.txt"));
    writeAfter(3000, 1);
    idle(1000);
    EXPECT_TRUE(m->portOutput.portOutputArmed);
    writeAfter(500, 0);
    EXPECT_TRUE(m->portOutput.printerMode);
    for (int i = 0; i < 8; ++i) writeAfter(60, ('H' >> i) & 1);
    idle(700000);
    EXPECT_EQ(readBytes(testTmp("lp4.txt")), std::vector<uint8_t>{'H'});
}

}  // namespace
