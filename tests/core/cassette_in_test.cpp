// Cassette input: .C10 edge timing and section gaps, WAV pacing and levels, a table of
// broken WAV files, and playback across a reset.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "io_fakes.h"
#include "machine.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct CassetteInTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeLog log;
    void SetUp() override { m->host.messages = &log; }
    bool play(const Bytes& bytes, bool wav = false) {
        writeBytes(tmpFile("t.tape"), bytes);
        return playCassettePath(*m, tmpFile("t.tape"), wav);
    }
    bool readAt(uint32_t t) {
        m->cycles.count = t;
        readPort2(*m, 0xFF);
        return m->mem.addressSpace[3] & 0x10;
    }
    // Polls every 10 cycles from `t` until the load has begun (the tape's set-up read);
    // returns the cycle of that read.
    uint32_t beginLoad(uint32_t t) {
        while (!m->cassetteIn.cassettePlaying) readAt(t += 10);
        return t;
    }
    // Polls every cycle from the start of the load until the tape ends; the times
    // between edges.
    std::vector<uint32_t> halves(uint32_t from) {
        std::vector<uint32_t> out;
        const uint32_t start = beginLoad(from);
        bool level = m->mem.addressSpace[3] & 0x10;
        for (uint32_t t = start + 1, last = start; m->cassetteIn.cassettePlaying; ++t)
            if (readAt(t) != level) out.push_back(t - last), last = t, level = !level;
        return out;
    }
};

TEST_F(CassetteInTest, C10EdgesAndSectionGaps) {
    ASSERT_TRUE(play({0x01, 0x55}));
    EXPECT_EQ(halves(5000), (std::vector<uint32_t>{197, 229, 389, 421, 389, 421, 389, 421, 389, 421, 389, 421, 389,
                                                   421, 389, 473, 197, 229, 389, 421, 197, 229, 389, 421, 197, 229,
                                                   389, 421, 197, 229, 389}));
    EXPECT_FALSE(m->mem.addressSpace[3] & 0x10);

    Bytes tape(128 + 8 + 128 + 7 + 7, 0x55);
    tape[128 + 3] = 2;              // name block: 2 + 6 bytes
    tape[264 + 3] = tape[271 + 3] = 1;  // two blocks of 1 + 6 bytes
    ASSERT_TRUE(play(tape));
    std::vector<uint32_t> d = halves(1);
    ASSERT_EQ(d.size(), tape.size() * 16 - 1);
    for (auto [byte, gap] : {std::pair{126, 473}, {127, 690}, {135, 10000}, {263, 3605}, {270, 2893}})
        EXPECT_EQ(d[byte * 16 + 15], uint32_t(gap)) << byte;
}

TEST_F(CassetteInTest, LatePollsStretchAndResetsRebase) {
    ASSERT_TRUE(play({0x00, 0x00}));
    beginLoad(800000 - 10 * (loadPollReads + 1));
    readAt(800100);  // 289 cycles left to the first edge
    m->cycles.count = 0;
    m->mem.addressSpace[3] = 0;  // a hard reset's memory fill
    cassetteAfterReset(*m);
    EXPECT_TRUE(m->mem.addressSpace[3] & 0x10);
    EXPECT_TRUE(readAt(288));
    EXPECT_FALSE(readAt(5000));  // polled late: one edge, the next timed from this read
    EXPECT_EQ(m->cassetteIn.nextEdgeCycle, 5000u + 421u);
}

TEST_F(CassetteInTest, MenuUsesTheFilterNotTheExtension) {
    FakeChooser chooser;
    chooser.reply = tmpFile("any.wav");
    chooser.filter = 3;
    writeBytes(chooser.reply, {'R', 'I', 'F', 'F'});
    m->host.files = &chooser;
    playCassetteFile(*m);
    EXPECT_TRUE(m->cassetteIn.waitingForLoad && !m->cassetteIn.wavMode);
    EXPECT_EQ(m->settings.cassette, chooser.reply);
    readAt(0);
    readAt(20);
    readAt(40);  // a first read no longer starts the tape
    EXPECT_FALSE(m->cassetteIn.cassettePlaying);
    beginLoad(40);
    playCassetteFile(*m);  // refused while one plays
    EXPECT_EQ(chooser.proposed, std::vector<std::string>{"grloop.c10"});
    EXPECT_FALSE(play({}));
}

Bytes chunk(const char* id, uint32_t size, Bytes body) {
    Bytes v(id, id + 4);
    for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(size >> (8 * i)));
    v.insert(v.end(), body.begin(), body.end());
    return v;
}
Bytes fmt(uint8_t tag, uint8_t channels, uint16_t rate, uint8_t bits, uint32_t size = 16) {
    Bytes b = {tag, 0, channels, 0, uint8_t(rate), uint8_t(rate >> 8), 0, 0, 0, 0, 0, 0, 1, 0, bits, 0};
    b.resize(std::min<size_t>(size, 16));
    return chunk("fmt ", size, b);
}
Bytes riff(std::initializer_list<Bytes> chunks, uint32_t size = 0) {
    Bytes body = {'W', 'A', 'V', 'E'};
    for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
    return chunk("RIFF", size ? size : uint32_t(body.size()), body);
}

TEST_F(CassetteInTest, WavLevelsAndPacing) {
    Bytes samples(11100, 0);
    samples[0] = 128;
    samples[1] = 129;
    ASSERT_TRUE(play(riff({fmt(1, 1, 11025, 8), chunk("data", uint32_t(samples.size()), samples)}), true));
    EXPECT_EQ(beginLoad(7 - 10 * (loadPollReads + 1)), 7u);
    EXPECT_TRUE(m->mem.addressSpace[3] & 0x10);  // set-up: line high
    EXPECT_FALSE(readAt(7 + 82));   // sample 0 (128): low
    EXPECT_TRUE(readAt(7 + 163));   // sample 1 (129): high
    readAt(7 + cpuCyclesPerSecond);
    EXPECT_EQ(m->cassetteIn.sampleIndex, 11025u);
    m->cycles.count = 0;  // a reset carries the position over
    cassetteAfterReset(*m);
    readAt(1000);
    EXPECT_EQ(m->cassetteIn.sampleIndex, 11037u);
    readAt(2 * cpuCyclesPerSecond);
    EXPECT_FALSE(m->cassetteIn.cassettePlaying);
}

TEST_F(CassetteInTest, MalformedWavFiles) {
    const std::string cannot = "tovrin|Cannot read input WAV file";
    const std::string mono = "tovrin|Input file must be an 8-bit Mono WAV file";
    const Bytes fmt8 = fmt(1, 1, 8000, 8), data = chunk("data", 3, {200, 10, 200, 0});
    Bytes cut = riff({fmt8, data});
    cut.resize(30);
    const struct {
        const char* name;
        Bytes bytes;
        std::string message;  // empty: plays
    } cases[] = {
        {"empty", {}, cannot},
        {"short header", {'R', 'I', 'F', 'F', 4, 0, 0, 0}, cannot},
        {"not RIFF", chunk("RIFX", 4, {'W', 'A', 'V', 'E'}), mono},
        {"not WAVE", chunk("RIFF", 4, {'A', 'V', 'I', ' '}), mono},
        {"no fmt", riff({data}), mono},
        {"no data", riff({fmt8}), mono},
        {"fmt cut off", cut, cannot},
        {"fmt 14 bytes", riff({fmt(1, 1, 8000, 8, 14), data}), cannot},
        {"fmt size 4 GB", riff({fmt(1, 1, 8000, 8, 0xFFFFFFFF), data}), cannot},
        {"16-bit", riff({fmt(1, 1, 8000, 16), data}), mono},
        {"stereo", riff({fmt(1, 2, 8000, 8), data}), mono},
        {"float", riff({fmt(3, 1, 8000, 8), data}), mono},
        {"rate 0", riff({fmt(1, 1, 0, 8), data}), cannot},
        {"odd chunk padded", riff({chunk("LIST", 3, {1, 2, 3, 0}), fmt8, data}), ""},
        {"odd chunk unpadded", riff({chunk("LIST", 3, {1, 2, 3}), fmt8, data}), mono},
        {"RIFF size 4 GB", riff({fmt8, data}, 0xFFFFFFFF), ""},
        {"data size lies", riff({fmt8, chunk("data", 0xFFFFFFF0, {200, 200})}), ""},
        {"data then LIST", riff({fmt8, data, chunk("LIST", 4, {9, 9, 9, 9})}), ""},
    };
    for (const auto& c : cases) {
        log.lines.clear();
        stopCassette(*m);
        EXPECT_EQ(play(c.bytes, true), c.message.empty()) << c.name;
        EXPECT_EQ(log.lines, c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message})
            << c.name;
        if (!m->cassetteIn.cassettePlaying) continue;
        readAt(1);  // plays only the samples that are there, then stops
        readAt(1 + cpuCyclesPerSecond);
        EXPECT_FALSE(m->cassetteIn.cassettePlaying) << c.name;
        EXPECT_LE(m->cassetteIn.sampleIndex, 3u) << c.name;
    }
}

}  // namespace
