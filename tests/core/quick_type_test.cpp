// Quick Type against a scripted ROM: every read of port 2 with column 2 strobed is
// one step; after each we note the MC-10 key code held (0xFF: none).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "io_fakes.h"
#include "machine.h"

namespace {

struct QuickTypeTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeDebug debug;
    void SetUp() override {
        m->host.debug = &debug;
        initKeyTables(*m);
        setUpper(true);
    }
    void setUpper(bool upper) { m->mem.addressSpace[0x421C] = upper ? 1 : 0; }
    uint8_t held() {
        const uint8_t* keys = m->keyboard.emulatedKeyState;
        uint8_t code = 0;
        bool any = false;
        for (int k = 0; k < 48 && !any; ++k)
            if (keys[m->keyboard.matrixKeyTable[k]] & 0x80) code = static_cast<uint8_t>(k), any = true;
        if (keys[0x10] & 0x80) code |= 0x40, any = true;
        if (keys[0x11] & 0x80) code |= 0x80, any = true;
        return any ? code : 0xFF;
    }
    // Polls until typing ends; returns the key held after each read.
    std::vector<uint8_t> poll(int limit = 1000) {
        std::vector<uint8_t> seen;
        while (m->quickType.quickTypeActive && limit-- > 0) {
            readPort2(*m, 0xFB);
            seen.push_back(held());
        }
        return seen;
    }
    // Key codes typed, one per press (the first step of each three).
    static std::vector<uint8_t> presses(const std::vector<uint8_t>& seen) {
        std::vector<uint8_t> out;
        for (size_t i = 0; i + 2 < seen.size(); i += 3) out.push_back(seen[i]);
        return out;
    }
};

TEST_F(QuickTypeTest, ThreeReadsPerCharacter) {
    ASSERT_TRUE(startQuickTypeText(*m, "PRINT 12\r"));
    std::vector<uint8_t> seen = poll();
    const std::vector<uint8_t> codes = {0x10, 0x12, 0x09, 0x0E, 0x14, 0x1F, 0x21, 0x22, 0x1E};
    ASSERT_EQ(seen.size(), codes.size() * 3 + 1);
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(seen[i * 3], codes[i]) << i;
        EXPECT_EQ(seen[i * 3 + 1], codes[i]) << i;
        EXPECT_EQ(seen[i * 3 + 2], 0xFF) << i;
    }
    EXPECT_FALSE(m->quickType.quickTypeActive);
    EXPECT_TRUE(m->quickType.text.empty());
}

TEST_F(QuickTypeTest, OnlyColumnTwoReadsStepAndHostKeysAreIgnored) {
    FakeKeys keys;
    keys.hold('Z');
    m->host.keyboard = &keys;
    startQuickTypeText(*m, "A");
    readPort2(*m, 0xFF);
    readPort2(*m, 0x7F);
    EXPECT_EQ(m->quickType.phase, 0);
    readPort2(*m, 0x00);
    scanHostKeyboard(*m);
    EXPECT_EQ(held(), 0x01);
}

TEST_F(QuickTypeTest, CharacterTable) {
    startQuickTypeText(*m, "A\nB[^!?*");
    EXPECT_EQ(presses(poll()), (std::vector<uint8_t>{0x01, 0xFF, 0x02, 0xFF, 0x97, 0x61, 0x6F, 0x6A}));
    EXPECT_EQ(quickTypeKeyTable[0x80], 0x42);
    EXPECT_EQ(quickTypeKeyTable[0xFF], 0x51);
    EXPECT_EQ(quickTypeKeyTable['~'], 0xFF);
}

TEST_F(QuickTypeTest, CaseChangeWhenTheRomFollows) {
    startQuickTypeText(*m, "a");
    std::vector<uint8_t> seen;
    for (int i = 0; i < 3; ++i) readPort2(*m, 0xFB), seen.push_back(held());
    setUpper(false);  // the ROM took SHIFT+0
    for (uint8_t h : poll()) seen.push_back(h);
    EXPECT_EQ(presses(seen), (std::vector<uint8_t>{0x60, 0x01}));
}

TEST_F(QuickTypeTest, CaseGiveUpLastsForTheFile) {
    startQuickTypeText(*m, "ab");
    EXPECT_EQ(presses(poll()), (std::vector<uint8_t>{0x60, 0x60, 0x01, 0x02}));
}

TEST_F(QuickTypeTest, LowerFlagClearTypesPlainLetters) {
    m->settings.qtuselowerflag = 0;
    startQuickTypeText(*m, "aA");
    EXPECT_EQ(presses(poll()), (std::vector<uint8_t>{0x01, 0x01}));
}

TEST_F(QuickTypeTest, GraphicsColourAttemptsThenCharacter) {
    m->mem.addressSpace[0x4282] = 0x00;
    startQuickTypeText(*m, "\x9F\x9F");
    std::vector<uint8_t> expected(9, 0xA0);
    expected.push_back(0x51);
    expected.push_back(0x51);  // colour given up for the rest of the file
    EXPECT_EQ(presses(poll()), expected);
}

TEST_F(QuickTypeTest, GraphicsInLowerCaseModeNeedsTheCaseKey) {
    setUpper(false);
    m->mem.addressSpace[0x4282] = 0x10;
    startQuickTypeText(*m, "\x90");
    EXPECT_EQ(presses(poll()), (std::vector<uint8_t>{0x60, 0x60, 0x42}));
}

TEST_F(QuickTypeTest, FileStartAndFailures) {
    auto p = testTmp("qt.txt");
    writeBytes(p, {'1', '\r'});
    FakeChooser chooser;
    chooser.reply = p.string();
    m->host.files = &chooser;
    startQuickType(*m);
    EXPECT_TRUE(m->quickType.quickTypeActive);
    EXPECT_EQ(m->settings.quicktype, p.string());
    EXPECT_EQ(chooser.proposed.at(0), "grfun.txt");
    EXPECT_EQ(presses(poll()), (std::vector<uint8_t>{0x21, 0x1E}));

    EXPECT_FALSE(startQuickTypeFile(*m, testTmp("missing.txt").string()));
    EXPECT_EQ(debug.lines, std::vector<std::string>{"Could not open file\n"});
    writeBytes(testTmp("empty.txt"), {});
    EXPECT_FALSE(startQuickTypeFile(*m, testTmp("empty.txt").string()));
    EXPECT_FALSE(m->quickType.quickTypeActive);
}

}  // namespace
