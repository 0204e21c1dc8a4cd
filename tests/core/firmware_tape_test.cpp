// The built-in BASIC's CLOAD from sampled recordings: a CSAVE is recorded as
// its port-2 writes with their cycle stamps, sampled into 8-bit mono WAV files
// at the common low rates with lead-in silences of several lengths, and each
// recording must load.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/scheduler.h"
#include "firmware_harness.h"

namespace {

constexpr double cpuHz = 894900.0;

// (cycle, level) for every port-2 write while the typed command runs, until the
// line has been quiet for a second.
std::vector<std::pair<uint32_t, int>> recordPort2(BasicMachine& b, const std::string& command) {
    startQuickTypeText(*b.m, command);
    std::vector<std::pair<uint32_t, int>> writes;
    uint32_t last = b.m->portOutput.lastWriteCycle;
    uint32_t quietSince = currentCycles(b.m->cycles);
    for (long i = 0; i < 8000000; ++i) {
        cpuExecute(*b.m, 1);
        uint32_t w = b.m->portOutput.lastWriteCycle;
        uint32_t now = currentCycles(b.m->cycles);
        if (w != last) {
            // the ROM writes the port with STAB: the level is bit 0 of B
            writes.emplace_back(w, b.m->cpu.d & 1);
            last = w;
            quietSince = now;
        } else if (!writes.empty() && now - quietSince > cpuHz) {
            break;
        }
    }
    return writes;
}

void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xFFFF);
    put16(v, x >> 16);
}

// An 8-bit mono WAV of the recorded line: silence (level 128) for leadIn
// seconds, the signal sampled at rate, then half a second of silence.
std::vector<uint8_t> sampleToWav(const std::vector<std::pair<uint32_t, int>>& writes, uint32_t rate, double leadIn) {
    std::vector<uint8_t> samples(static_cast<size_t>(leadIn * rate), 128);
    const uint32_t start = writes.front().first;
    const double span = (writes.back().first - start) / cpuHz;
    size_t w = 0;
    int level = 0;
    for (uint32_t k = 0; k < static_cast<uint32_t>(span * rate) + 1; ++k) {
        double cycle = start + k * cpuHz / rate;
        while (w < writes.size() && writes[w].first <= cycle) level = writes[w++].second;
        samples.push_back(level ? 0xC0 : 0x40);
    }
    samples.insert(samples.end(), rate / 2, 128);

    std::vector<uint8_t> wav = {'R', 'I', 'F', 'F'};
    put32(wav, static_cast<uint32_t>(36 + samples.size()));
    wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(wav, 16);
    put16(wav, 1);  // PCM
    put16(wav, 1);  // mono
    put32(wav, rate);
    put32(wav, rate);  // bytes per second
    put16(wav, 1);
    put16(wav, 8);
    wav.insert(wav.end(), {'d', 'a', 't', 'a'});
    put32(wav, static_cast<uint32_t>(samples.size()));
    wav.insert(wav.end(), samples.begin(), samples.end());
    return wav;
}

}  // namespace

TEST(FirmwareTape, CloadReadsSampledRecordingsOfCsave) {
    BasicMachine rec;
    rec.chooser.answer = false;  // only the port writes matter here
    const char* lines[] = {"10 REM QUICK BROWN FOX 01234",
                           "20 FOR I=1 TO 10:PRINT I;:NEXT", "30 PRINT \"LOADED FROM WAV\""};
    std::string program;
    for (const char* l : lines) program += std::string(l) + "\r";
    rec.type(program, 5);
    auto writes = recordPort2(rec, "CSAVE \"WAVE\"\r");
    ASSERT_GT(writes.size(), 5000u);

    for (uint32_t rate : {11025u, 22050u}) {
        for (double leadIn : {1.0, 1.37, 1.8, 2.25, 2.6, 3.0}) {
            std::string name = "fw_wave_" + std::to_string(rate) + "_" + std::to_string(int(leadIn * 100)) + ".wav";
            std::filesystem::path file = testTmp(name);
            writeBytes(file, sampleToWav(writes, rate, leadIn));
            BasicMachine b;
            ASSERT_TRUE(playCassettePath(*b.m, file.string(), true)) << name;
            b.type("CLOAD\r", 10);
            auto loaded = [&b] {
                std::string s = b.screen();
                size_t found = s.find("FOUND WAVE");
                return found != std::string::npos && s.find("OK", found) != std::string::npos;
            };
            for (int i = 0; i < 100 && !loaded() && !b.shows("ERROR"); ++i) b.runFrames(10);
            b.type("CLS\rLIST\r", 20);
            for (const char* l : lines) EXPECT_TRUE(b.shows(l)) << name << "\n" << b.screen();
        }
    }
}

namespace {
// A block as the ROM writes it: 55 3C type length data checksum 55; bad adds
// one to the checksum.
void addBlock(std::vector<uint8_t>& tape, uint8_t type, const std::vector<uint8_t>& data, bool bad = false) {
    tape.insert(tape.end(), {0x55, 0x3C, type, static_cast<uint8_t>(data.size())});
    uint8_t sum = static_cast<uint8_t>(type + data.size() + (bad ? 1 : 0));
    for (uint8_t d : data) sum = static_cast<uint8_t>(sum + d);
    tape.insert(tape.end(), data.begin(), data.end());
    tape.insert(tape.end(), {sum, 0x55});
}
}  // namespace

TEST(FirmwareTape, ABadBlockOrAProgramTooBigLeavesAnEmptyProgramAndSaysWhy) {
    struct Case {
        bool badChecksum;
        int blocks;  // of 255 bytes
        const char* message;
    } cases[] = {{true, 1, "?IO ERROR"}, {false, 40, "?OM ERROR"}};
    for (const Case& c : cases) {
        std::vector<uint8_t> tape(128, 0x55);
        addBlock(tape, 0x00, {'B', 'I', 'G', ' ', ' ', ' ', ' ', ' ', 0, 0, 0, 0, 0, 0x43, 0x46});
        tape.insert(tape.end(), 128, 0x55);
        for (int i = 0; i < c.blocks; ++i) addBlock(tape, 0x01, std::vector<uint8_t>(255, 0x20), c.badChecksum);
        addBlock(tape, 0xFF, {});
        std::filesystem::path file = testTmp("fw_bad.c10");
        writeBytes(file, tape);

        BasicMachine b;
        b.m->settings.expanderflag = 0;  // 4 KiB: 40 blocks cannot fit
        resetMachine(*b.m, 1);
        b.runFrames(30);
        b.type("10 PRINT \"OLD\"\r", 5);
        ASSERT_TRUE(playCassettePath(*b.m, file.string(), false));
        b.type("CLOAD\r", 10);
        for (int i = 0; i < 200 && !b.shows("ERROR"); ++i) b.runFrames(10);
        EXPECT_TRUE(b.shows(c.message)) << b.screen();
        b.type("CLS\rLIST\r", 10);
        EXPECT_FALSE(b.shows("OLD")) << b.screen();
        EXPECT_TRUE(b.shows("LIST" + std::string(28, ' ') + "\nOK")) << b.screen();
    }
}

TEST(FirmwareTape, BreakWhileWaitingForATapeKeepsTheStrings) {
    BasicMachine b;
    b.type("10 A$=\"KEEP\"+\"ME\":B$=A$+A$\r20 CLOAD\rRUN\r", 20);
    b.m->keyboard.emulatedKeyState[vkEscape] = 0x80;
    b.runFrames(3);
    b.m->keyboard.emulatedKeyState[vkEscape] = 0;
    b.runFrames(3);
    ASSERT_TRUE(b.shows("BREAK IN 20")) << b.screen();
    b.type("PRINT A$;B$\r", 10);
    EXPECT_TRUE(b.shows("\nKEEPMEKEEPMEKEEPME ")) << b.screen();
}
