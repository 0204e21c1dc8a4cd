// Quick Type against a scripted ROM: every read of port 2 with column 2 strobed is
// one step; after each we note the MC-10 key code held (0xFF: none).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "io_fakes.h"
#include "machine.h"

namespace {

using Codes = std::vector<uint8_t>;

struct QuickTypeTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    void SetUp() override { initKeyTables(*m), setUpper(true); }
    void setUpper(bool upper) { m->mem.addressSpace[0x421C] = upper; }
    uint8_t held() {
        const uint8_t* keys = m->keyboard.emulatedKeyState;
        int code = 0xFF;
        for (int k = 47; k >= 0; --k)
            if (keys[m->keyboard.matrixKeyTable[k]]) code = k;
        if (keys[0x10] || keys[0x11]) code = (code & 0x3F) | (keys[0x10] ? 0x40 : 0) | (keys[0x11] ? 0x80 : 0);
        return static_cast<uint8_t>(code);
    }
    // Polls until typing ends; returns the key of each press-hold-release cycle.
    Codes typed(int reads = 1000) {
        Codes seen, out;
        while (m->quickType.quickTypeActive && reads-- > 0) readPort2(*m, 0xFB), seen.push_back(held());
        for (size_t i = 0; i + 2 < seen.size(); i += 3) {
            EXPECT_EQ(seen[i + 1], seen[i]);
            EXPECT_EQ(seen[i + 2], 0xFF);
            out.push_back(seen[i]);
        }
        return out;
    }
};

TEST_F(QuickTypeTest, ThreeReadsPerCharacterAndTheTable) {
    ASSERT_TRUE(startQuickTypeText(*m, "PRINT 12\r"));
    EXPECT_EQ(typed(), (Codes{0x10, 0x12, 0x09, 0x0E, 0x14, 0x1F, 0x21, 0x22, 0x1E}));
    EXPECT_FALSE(m->quickType.quickTypeActive);
    FakeKeys keys;
    keys.hold({'Z'});
    m->host.keyboard = &keys;
    startQuickTypeText(*m, "A\nB[^!?*\x80");
    readPort2(*m, 0x7F);  // column 2 not strobed: no step
    EXPECT_EQ(m->quickType.phase, 0);
    scanHostKeyboard(*m);  // host keys are ignored while typing
    EXPECT_EQ(typed(), (Codes{0x01, 0x1E, 0x02, 0xFF, 0x97, 0x61, 0x6F, 0x6A, 0x42}));  // LF: ENTER
}

TEST_F(QuickTypeTest, CaseAndColourAttempts) {
    startQuickTypeText(*m, "a");
    Codes first = typed(3);
    setUpper(false);  // the ROM took SHIFT+0
    EXPECT_EQ(first, Codes{0x60});
    EXPECT_EQ(typed(), Codes{0x01});

    setUpper(true);  // SHIFT+0 has no effect: two tries, then given up for the file
    startQuickTypeText(*m, "ab");
    EXPECT_EQ(typed(), (Codes{0x60, 0x60, 0x01, 0x02}));

    m->mem.addressSpace[0x4282] = 0x00;  // nine colour presses, then given up
    startQuickTypeText(*m, "\x9F\x9F");
    EXPECT_EQ(typed(), (Codes{0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0xA0, 0x51, 0x51}));

    setUpper(false);  // graphics need upper case first
    startQuickTypeText(*m, "\x90");
    EXPECT_EQ(typed(), (Codes{0x60, 0x60, 0x42}));

    m->settings.qtuselowerflag = 0;
    startQuickTypeText(*m, "aA");
    EXPECT_EQ(typed(), (Codes{0x01, 0x01}));
}

TEST_F(QuickTypeTest, MenuCommandAndFailures) {
    FakeLog log;
    FakeChooser chooser;
    m->host.debug = &log;
    m->host.files = &chooser;
    chooser.reply = tmpFile("qt.txt");
    writeBytes(chooser.reply, {'1', '\r'});
    startQuickType(*m);
    EXPECT_EQ(chooser.proposed.at(0), "grfun.txt");
    EXPECT_EQ(m->settings.quicktype, chooser.reply);
    EXPECT_EQ(typed(), (Codes{0x21, 0x1E}));
    EXPECT_FALSE(startQuickTypeFile(*m, tmpFile("missing.txt")));
    EXPECT_EQ(log.lines, std::vector<std::string>{"Could not open file\n"});
    writeBytes(tmpFile("empty.txt"), {});
    EXPECT_FALSE(startQuickTypeFile(*m, tmpFile("empty.txt")));
}

}  // namespace
