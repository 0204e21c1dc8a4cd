// Cassette output and the serial printer, from synthesized port-2 write sequences;
// and a recording decoded to a .C10 file that plays back with the same edges.
#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "io_fakes.h"
#include "machine.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct PortOutputTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeChooser chooser;
    FakeLog debug;
    uint32_t t = 1000;
    void SetUp() override {
        m->host.files = &chooser;
        m->host.debug = &debug;
    }
    void writeAfter(uint32_t delta, uint8_t value) {
        m->cycles.count = t += delta;
        writePort2(*m, value);
    }
    void idle(uint32_t cycles) {
        m->cycles.count = t += cycles;
        portOutputIdleCheck(*m);
    }
    // Arms the line, then ends each bit's high and low half as the ROM toggles it.
    void record(const Bytes& bytes) {
        writeAfter(5000, 1);
        for (uint8_t b : bytes)
            for (int i = 0, v = b & 1; i < 8; v = (b >> ++i) & 1)
                writeAfter(c10HighHalf[v], 0), writeAfter(i == 7 ? c10LowHalfLast[v] : c10LowHalf[v], 1);
    }
    // The ROM's serial routine: start bit, then per character 8 data bits and 1, 1, 0.
    void print(const std::string& text, uint32_t frameEndAfterArming = 0) {
        writeAfter(3000, 1);
        if (frameEndAfterArming) idle(frameEndAfterArming);
        writeAfter(1500 - frameEndAfterArming, 0);
        for (char ch : text) {
            for (int i = 0; i < 8; ++i) writeAfter(60, (static_cast<uint8_t>(ch) >> i) & 1);
            for (uint8_t framing : {1, 1, 0}) writeAfter(60, framing);
        }
    }
};

TEST_F(PortOutputTest, BitWindowsAndFileNames) {
    for (auto [h, l, bit] : {std::tuple{210, 230, 1}, {400, 470, 0}, {400, 230, 0}, {230, 470, 1}, {300, 300, 0}}) {
        m->portOutput = PortOutput{};
        writeAfter(5000, 1), writeAfter(h, 0), writeAfter(l, 1);
        EXPECT_EQ(m->portOutput.cassetteOut.byteValue, bit) << h << " " << l;
    }
    EXPECT_EQ(debug.lines, std::vector<std::string>{"Incorrect timing in cassette 300  300\n"});
    auto name = [](const char* eight) { return cassetteOutName(reinterpret_cast<const uint8_t*>(eight)); };
    EXPECT_EQ(name("MY PROG "), "MY_PROG");
    EXPECT_EQ(name("        "), "DEFAULT");
    EXPECT_EQ(name("../X\0   "), ".._X_");
}

TEST_F(PortOutputTest, ShortOrCancelledRecordingsLeaveNoFile) {
    chooser.answer = false;
    record(Bytes(139, 0x55));
    idle(900000);
    EXPECT_TRUE(chooser.proposed.empty());
    EXPECT_FALSE(m->portOutput.portOutputArmed);
    record(Bytes(200, 0x55));
    EXPECT_EQ(chooser.proposed, std::vector<std::string>{"UUUUUUUU.C10"});
    EXPECT_FALSE(m->portOutput.cassetteOut.outFile);
}

TEST_F(PortOutputTest, RecordingDecodesAndPlaysBackWithTheSameEdges) {
    Bytes tape = {0x55, 0x3C, 0x00, 15, 'M', 'Y', ' ', 'P', 'R', 'O', 'G', ' ', 0, 0, 0, 0x4C, 0, 0x4C, 0, 0x99, 0x55};
    tape.insert(tape.begin(), 128, 0x55);
    tape.insert(tape.end(), 128, 0x55);
    for (int i = 0; i < 40; ++i) tape.push_back(static_cast<uint8_t>(i * 37));
    std::filesystem::remove(tmpFile("rec.c10"));
    m->settings.cassettewr = tmpFile("x/old.c10");
    chooser.reply = tmpFile("rec.c10");
    record(tape);
    EXPECT_EQ(chooser.proposed.at(0), tmpFile("x/MY_PROG.C10"));
    idle(890000);
    EXPECT_TRUE(m->portOutput.cassetteOutMode);
    idle(1);
    EXPECT_FALSE(m->portOutput.cassetteOutMode);
    EXPECT_EQ(readBytes(chooser.reply), tape);
    EXPECT_EQ(m->settings.cassettewr, chooser.reply);

    auto edgesOf = [](const std::string& path) {
        auto p = std::make_unique<Machine>();
        EXPECT_TRUE(playCassettePath(*p, path, false));
        std::vector<uint32_t> edges;
        for (uint32_t c = 1, level = 0; p->cassetteIn.cassettePlaying || p->cassetteIn.waitingForLoad; ++c) {
            p->cycles.count = c;
            readPort2(*p, 0xFF);
            if ((p->mem.addressSpace[3] & 0x10) != level) edges.push_back(c), level ^= 0x10;
        }
        return edges;
    };
    writeBytes(tmpFile("orig.c10"), tape);
    auto original = edgesOf(tmpFile("orig.c10"));
    EXPECT_EQ(original.size(), tape.size() * 16);
    EXPECT_EQ(original, edgesOf(chooser.reply));

    record(Bytes(150, 0x55));  // a reset closes the file at once
    m->cycles.count = 0;
    portOutputAfterReset(*m);
    EXPECT_FALSE(m->portOutput.cassetteOut.outFile);
    EXPECT_EQ(readBytes(chooser.reply).size(), 150u);
}

TEST_F(PortOutputTest, PrinterFramingAndIdleClose) {
    m->settings.filename = tmpFile("lp.txt");
    std::filesystem::remove(m->settings.filename);
    print("AB\r", 1000);  // the frame ends between the arming write and the start bit
    idle(600000);
    EXPECT_TRUE(m->portOutput.printerMode);
    idle(1);
    EXPECT_FALSE(m->portOutput.portOutputArmed);
    EXPECT_EQ(readBytes(m->settings.filename), (Bytes{'A', 'B', '\r', '\n'}));
    writeAfter(3000, 1);
    writeAfter(1500, 0);
    for (int i = 0; i < 8; ++i) writeAfter(60, ('Z' >> i) & 1);
    for (uint8_t framing : {0, 0, 1}) writeAfter(60, framing);
    EXPECT_EQ(debug.lines, (std::vector<std::string>{"Serial stop bit is 0!?\n", "Serial start bit 1 is 0!?\n",
                                                     "Serial start bit 2 is 1!?\n"}));
    idle(700000);
    EXPECT_EQ(readBytes(m->settings.filename).size(), 5u);  // appended
    writeAfter(100, 1);  // a lone arming write lasts until a frame end leaves no mode to start
    idle(1651);
    writeAfter(300, 0);
    EXPECT_FALSE(m->portOutput.cassetteOutMode);
}

TEST_F(PortOutputTest, PrinterColumns) {
    m->settings.filename = tmpFile("lp3.txt");
    m->settings.fixedwidthflag = 1;
    for (auto [width, in, out] : {std::tuple{4, "ABCDEF", "ABCD\r\nEF"}, {0, "A\r", "A\r\n\r\n\r\n"},
                                  {11, "ABC\tX\tY", "ABC\tX\t\r\nY"}, {1000, "A\x07", "A\x07"}}) {
        std::filesystem::remove(m->settings.filename);
        m->settings.width = width;
        m->portOutput.printer.column = 0;
        for (const char* c = in; *c; ++c) printByte(*m, static_cast<uint8_t>(*c));
        m->portOutput.printer.printerFile.reset();
        auto got = readBytes(m->settings.filename);
        EXPECT_EQ(std::string(got.begin(), got.end()), out) << in;
    }
    m->settings.filename = tmpFile("no-such-dir/x/lp.txt");
    printByte(*m, 'Q');
    EXPECT_EQ(debug.lines.back(), "Could not write serial byte\n");
}

}  // namespace
