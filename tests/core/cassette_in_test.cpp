// Cassette input: .C10 edge timing and section gaps, WAV pacing and levels, and a
// table of broken WAV files.
#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <vector>

#include "io_fakes.h"
#include "machine.h"

namespace {

struct Edge {
    uint32_t cycle;
    bool high;
    bool operator==(const Edge&) const = default;
};

// A ROM that polls port 2 every cycle; returns every change of the input line,
// starting with the first read (which sets the line high).
std::vector<Edge> pollEdges(Machine& m, uint32_t start, uint32_t limit) {
    std::vector<Edge> out;
    bool level = false;
    for (uint32_t t = start; t < start + limit && m.cassetteIn.cassettePlaying; ++t) {
        m.cycles.count = t;
        readPort2(m, 0xFF);
        bool now = (m.mem.addressSpace[3] & 0x10) != 0;
        if (out.empty() || now != level) out.push_back({t, now});
        level = now;
    }
    return out;
}

// Durations between successive edges.
std::vector<uint32_t> halves(const std::vector<Edge>& e) {
    std::vector<uint32_t> d;
    for (size_t i = 1; i < e.size(); ++i) d.push_back(e[i].cycle - e[i - 1].cycle);
    return d;
}

std::vector<uint32_t> byteHalves(uint8_t b) {
    std::vector<uint32_t> d;
    for (int i = 0; i < 8; ++i) {
        int v = (b >> i) & 1;
        d.push_back(c10HighHalf[v]);
        d.push_back(i == 7 ? c10LowHalfLast[v] : c10LowHalf[v]);
    }
    return d;
}

struct CassetteInTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeMessages messages;
    void SetUp() override { m->host.messages = &messages; }
    void playBytes(const std::vector<uint8_t>& bytes, const char* name = "t.c10") {
        writeBytes(testTmp(name), bytes);
        ASSERT_TRUE(playCassettePath(*m, testTmp(name).string(), false));
    }
};

TEST_F(CassetteInTest, C10EdgesOfAFewBytes) {
    playBytes({0x01, 0x00, 0x55});
    std::vector<Edge> e = pollEdges(*m, 5000, 100000);
    ASSERT_FALSE(e.empty());
    EXPECT_EQ(e[0], (Edge{5000, true}));
    EXPECT_EQ(e[1], (Edge{5197, false}));
    EXPECT_EQ(e[2], (Edge{5426, true}));
    std::vector<uint32_t> expected;
    for (uint8_t b : {0x01, 0x00, 0x55}) {
        auto d = byteHalves(b);
        expected.insert(expected.end(), d.begin(), d.end());
    }
    expected.pop_back();  // the last low half never ends: the tape stops with the line low
    EXPECT_EQ(halves(e), expected);
    auto d55 = byteHalves(0x55);
    EXPECT_EQ(std::accumulate(d55.begin(), d55.end(), 0u), 4996u);
    EXPECT_FALSE(m->cassetteIn.cassettePlaying);
    EXPECT_EQ(m->mem.addressSpace[3] & 0x10, 0);
}

TEST_F(CassetteInTest, SectionGapsFollowTheLeaderAndBlocks) {
    std::vector<uint8_t> tape(128, 0x55);
    std::vector<uint8_t> nameBlock = {0x55, 0x3C, 0x00, 2, 0xAA, 0xBB, 0x12, 0x55};  // 2 + 6 bytes
    tape.insert(tape.end(), nameBlock.begin(), nameBlock.end());
    tape.insert(tape.end(), 128, 0x55);
    std::vector<uint8_t> block = {0x55, 0x3C, 0x01, 1, 0x42, 0x99, 0x55};  // 1 + 6 bytes
    tape.insert(tape.end(), block.begin(), block.end());
    tape.insert(tape.end(), block.begin(), block.end());
    tape.push_back(0x55);
    playBytes(tape);
    std::vector<uint32_t> d = halves(pollEdges(*m, 1, 3000000));
    ASSERT_EQ(d.size(), tape.size() * 16 - 1);
    // The last low half of each section is replaced by its gap.
    auto lastLow = [&](size_t byteIndex) { return d[byteIndex * 16 + 15]; };
    EXPECT_EQ(lastLow(126), 473u);
    EXPECT_EQ(lastLow(127), 690u);
    EXPECT_EQ(lastLow(128 + 7), 10000u);
    EXPECT_EQ(lastLow(136 + 127), 3605u);
    EXPECT_EQ(lastLow(264 + 6), 2893u);
    EXPECT_EQ(lastLow(271 + 6), 2893u);
    EXPECT_EQ(d[0], 197u);
}

TEST_F(CassetteInTest, ReadsOfLatePollersStretchTheSignal) {
    playBytes({0x00, 0x00});
    m->cycles.count = 100;
    readPort2(*m, 0xFF);
    m->cycles.count = 100 + 5000;  // polled late: one edge only, the next timed from here
    readPort2(*m, 0xFF);
    EXPECT_EQ(m->mem.addressSpace[3] & 0x10, 0);
    EXPECT_EQ(m->cassetteIn.nextEdgeCycle, 5100u + 421u);
}

TEST_F(CassetteInTest, ResetKeepsTheTapePlaying) {
    playBytes({0x00, 0x00});
    m->cycles.count = 800000;
    readPort2(*m, 0xFF);
    m->cycles.count = 800100;
    readPort2(*m, 0xFF);  // 289 cycles left to the first edge
    m->cycles.count = 0;
    m->mem.addressSpace[3] = 0;  // a hard reset's memory fill
    cassetteAfterReset(*m);
    EXPECT_EQ(m->mem.addressSpace[3] & 0x10, 0x10);
    std::vector<Edge> e = pollEdges(*m, 1, 1000);
    ASSERT_GE(e.size(), 2u);
    EXPECT_EQ(e[1].cycle, 289u);
}

TEST_F(CassetteInTest, MenuUsesTheFilterNotTheExtension) {
    // A WAV file chosen under "All Files" plays as a byte stream.
    writeBytes(testTmp("any.wav"), {'R', 'I', 'F', 'F'});
    FakeChooser chooser;
    chooser.reply = testTmp("any.wav").string();
    chooser.filter = 3;
    m->host.files = &chooser;
    playCassetteFile(*m);
    EXPECT_TRUE(m->cassetteIn.cassettePlaying);
    EXPECT_FALSE(m->cassetteIn.wavMode);
    EXPECT_EQ(m->settings.cassette, chooser.reply);
    EXPECT_EQ(chooser.proposed.at(0), "grloop.c10");
    playCassetteFile(*m);  // refused while one plays
    EXPECT_EQ(chooser.proposed.size(), 1u);
    stopCassette(*m);
    m->quickType.quickTypeActive = true;
    EXPECT_FALSE(playCassettePath(*m, chooser.reply, false));
    m->quickType.quickTypeActive = false;
    writeBytes(testTmp("empty.c10"), {});
    EXPECT_FALSE(playCassettePath(*m, testTmp("empty.c10").string(), false));
    EXPECT_FALSE(playCassettePath(*m, testTmp("nothere.c10").string(), false));
}

// --- WAV ---

void put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void putChunk(std::vector<uint8_t>& v, const char* id, uint32_t size, const std::vector<uint8_t>& body) {
    v.insert(v.end(), id, id + 4);
    put32(v, size);
    v.insert(v.end(), body.begin(), body.end());
}
std::vector<uint8_t> fmtBody(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    std::vector<uint8_t> b = {uint8_t(tag), uint8_t(tag >> 8), uint8_t(channels), 0};
    put32(b, rate);
    put32(b, rate * channels * bits / 8);
    b.push_back(uint8_t(channels * bits / 8));
    b.push_back(0);
    b.push_back(uint8_t(bits));
    b.push_back(0);
    return b;
}
std::vector<uint8_t> riff(const std::vector<uint8_t>& chunks, uint32_t size = 0) {
    std::vector<uint8_t> v = {'R', 'I', 'F', 'F'};
    put32(v, size ? size : uint32_t(chunks.size() + 4));
    v.insert(v.end(), {'W', 'A', 'V', 'E'});
    v.insert(v.end(), chunks.begin(), chunks.end());
    return v;
}
std::vector<uint8_t> wav(uint32_t rate, const std::vector<uint8_t>& samples) {
    std::vector<uint8_t> c;
    putChunk(c, "fmt ", 16, fmtBody(1, 1, rate, 8));
    putChunk(c, "data", uint32_t(samples.size()), samples);
    return riff(c);
}

TEST_F(CassetteInTest, WavLevelsAndPacing) {
    std::vector<uint8_t> samples(11100, 0);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<uint8_t>(i);
    samples[0] = 128;
    samples[1] = 129;
    writeBytes(testTmp("s.wav"), wav(11025, samples));
    ASSERT_TRUE(playCassettePath(*m, testTmp("s.wav").string(), true));
    m->cycles.count = 7;
    readPort2(*m, 0xFF);
    EXPECT_EQ(m->mem.addressSpace[3] & 0x10, 0x10);  // set up: line high
    m->cycles.count = 7 + 81;                         // sample 0 (128) reached: low
    readPort2(*m, 0xFF);
    EXPECT_EQ(m->cassetteIn.sampleIndex, 0u);
    m->cycles.count = 7 + 82;
    readPort2(*m, 0xFF);
    EXPECT_EQ(m->cassetteIn.sampleIndex, 1u);
    EXPECT_EQ(m->mem.addressSpace[3] & 0x10, 0);
    m->cycles.count = 7 + 163;
    readPort2(*m, 0xFF);
    EXPECT_EQ(m->mem.addressSpace[3] & 0x10, 0x10);  // 129: high
    m->cycles.count = 7 + cpuCyclesPerSecond;
    readPort2(*m, 0xFF);
    EXPECT_EQ(m->cassetteIn.sampleIndex, 11025u);
    // A reset re-bases the elapsed time instead of racing to the end.
    m->cycles.count = 0;
    cassetteAfterReset(*m);
    m->cycles.count = 1000;
    readPort2(*m, 0xFF);
    EXPECT_TRUE(m->cassetteIn.cassettePlaying);
    EXPECT_EQ(m->cassetteIn.sampleIndex, 11037u);
    m->cycles.count = 2 * cpuCyclesPerSecond;
    readPort2(*m, 0xFF);
    EXPECT_FALSE(m->cassetteIn.cassettePlaying);
    EXPECT_EQ(m->mem.addressSpace[3] & 0x10, 0);
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(CassetteInTest, MalformedWavFiles) {
    const std::string cannot = "Cannot read input WAV file";
    const std::string mono = "Input file must be an 8-bit Mono WAV file";
    std::vector<uint8_t> good = wav(8000, {200, 10, 200});
    auto withFmt = [](std::vector<uint8_t> body, uint32_t size) {
        std::vector<uint8_t> c;
        putChunk(c, "fmt ", size, body);
        putChunk(c, "data", 1, {1, 0});
        return riff(c);
    };
    std::vector<uint8_t> noFmt, noData, oddChunk, oddUnpadded, lyingData;
    putChunk(noFmt, "data", 2, {1, 2});
    putChunk(noData, "fmt ", 16, fmtBody(1, 1, 8000, 8));
    putChunk(oddChunk, "LIST", 3, {1, 2, 3, 0});  // padded to even
    putChunk(oddChunk, "fmt ", 16, fmtBody(1, 1, 8000, 8));
    putChunk(oddChunk, "data", 1, {200, 0});
    putChunk(oddUnpadded, "LIST", 3, {1, 2, 3});
    putChunk(oddUnpadded, "fmt ", 16, fmtBody(1, 1, 8000, 8));
    putChunk(lyingData, "fmt ", 16, fmtBody(1, 1, 8000, 8));
    putChunk(lyingData, "data", 0xFFFFFFF0u, {200, 200});
    std::vector<uint8_t> truncatedFmt = good;
    truncatedFmt.resize(30);
    auto fmt14 = fmtBody(1, 1, 8000, 8);
    fmt14.resize(14);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string message;  // empty: plays
    } cases[] = {
        {"empty", {}, cannot},
        {"short header", {'R', 'I', 'F', 'F', 4, 0, 0, 0}, cannot},
        {"not RIFF", {'R', 'I', 'F', 'X', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}, mono},
        {"not WAVE", {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '}, mono},
        {"no fmt", riff(noFmt), mono},
        {"no data", riff(noData), mono},
        {"fmt cut off", truncatedFmt, cannot},
        {"fmt 14 bytes", withFmt(fmt14, 14), cannot},
        {"fmt size 4 GB", withFmt(fmtBody(1, 1, 8000, 8), 0xFFFFFFFFu), cannot},
        {"16-bit", withFmt(fmtBody(1, 1, 8000, 16), 16), mono},
        {"stereo", withFmt(fmtBody(1, 2, 8000, 8), 16), mono},
        {"float", withFmt(fmtBody(3, 1, 8000, 8), 16), mono},
        {"rate 0", withFmt(fmtBody(1, 1, 0, 8), 16), cannot},
        {"odd chunk padded", riff(oddChunk), ""},
        {"odd chunk unpadded", riff(oddUnpadded), mono},
        {"RIFF size 4 GB", riff(std::vector<uint8_t>(good.begin() + 12, good.end()), 0xFFFFFFFFu), ""},
        {"data size lies", riff(lyingData), ""},
        {"good", good, ""},
    };
    for (const Case& c : cases) {
        messages.texts.clear();
        stopCassette(*m);
        writeBytes(testTmp("bad.wav"), c.bytes);
        bool ok = playCassettePath(*m, testTmp("bad.wav").string(), true);
        EXPECT_EQ(ok, c.message.empty()) << c.name;
        EXPECT_EQ(messages.texts, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message})
            << c.name;
        if (!ok) {
            EXPECT_FALSE(m->cassetteIn.cassettePlaying) << c.name;
            continue;
        }
        // Plays only the bytes that are there, then stops low.
        m->cycles.count = 1;
        readPort2(*m, 0xFF);
        m->cycles.count = 1 + cpuCyclesPerSecond;
        readPort2(*m, 0xFF);
        EXPECT_FALSE(m->cassetteIn.cassettePlaying) << c.name;
        EXPECT_LE(m->cassetteIn.sampleIndex, 3u) << c.name;
    }
    for (const std::string& t : messages.titles) EXPECT_EQ(t, "tovrin");
}

}  // namespace
