// The keyboard matrix, port 2's extra keys and the Sensible key map.
#include <gtest/gtest.h>

#include <memory>

#include "io_fakes.h"
#include "machine.h"

namespace {

struct KeyboardTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeKeys keys;
    void SetUp() override {
        m->host.keyboard = &keys;
        initKeyTables(*m);
    }
    uint8_t rows(uint8_t portOne) {
        scanHostKeyboard(*m);
        return readKeyboardRows(*m, portOne);
    }
};

TEST_F(KeyboardTest, EmulatedModeMatrixPositions) {
    struct Case {
        uint8_t vk;
        uint8_t portOne;
        uint8_t expected;
    } cases[] = {
        {'A', 0xFD, 0xFE},   // A: column 1, row 0
        {'A', 0xFB, 0xFF},   // other column strobed
        {'A', 0xFF, 0xFF},   // nothing strobed
        {0xBD, 0xFB, 0xDF},  // PC "-" is ":" (key 42: column 2, row 5)
        {0xBB, 0xDF, 0xDF},  // PC "=" is "-" (key 45)
        {0xDB, 0xFE, 0xFE},  // PC "[" is "@"
        {0x78, 0xDF, 0xF7},  // F9 answers at key 29
        {0x79, 0xEF, 0xF7},  // F10 at 28
        {0x7A, 0xF7, 0xF7},  // F11 at 27
        {0x0D, 0xBF, 0xF7},  // ENTER: key 30
    };
    for (const Case& c : cases) {
        std::memset(keys.state, 0, 256);
        keys.hold(c.vk);
        EXPECT_EQ(rows(c.portOne), c.expected) << std::hex << int(c.vk) << " " << int(c.portOne);
    }
}

TEST_F(KeyboardTest, SeveralColumnsCombineTheirRows) {
    keys.hold('A');  // column 1 row 0
    keys.hold('J');  // column 2 row 1
    keys.hold('9');  // column 1 row 5
    EXPECT_EQ(rows(0xF9), 0xDC);
    EXPECT_EQ(rows(0x00), 0xDC);
    EXPECT_EQ(rows(0xFB), 0xFD);
}

TEST_F(KeyboardTest, Port2ExtraKeysAndCassetteBit) {
    keys.hold(vkShift);
    scanHostKeyboard(*m);
    EXPECT_EQ(readPort2(*m, 0x7F), 0x49);
    EXPECT_EQ(readPort2(*m, 0xFF), 0x4B);
    m->mem.addressSpace[3] = 0x10 | 0x01;  // the written bit plays no part
    EXPECT_EQ(readPort2(*m, 0x7F), 0x59);
    m->mem.addressSpace[3] = 0;
    std::memset(keys.state, 0, 256);
    keys.hold(vkEscape);
    scanHostKeyboard(*m);
    EXPECT_EQ(readPort2(*m, 0xFB), 0x49);
    EXPECT_EQ(readPort2(*m, 0x7E), 0x4B);
    std::memset(keys.state, 0, 256);
    keys.hold(vkControl);
    scanHostKeyboard(*m);
    EXPECT_EQ(readPort2(*m, 0xFE), 0x49);
    EXPECT_EQ(readPort2(*m, 0x7B), 0x4B);
}

TEST_F(KeyboardTest, SensibleModePriorityRules) {
    m->settings.emulatedflag = 0;
    // Nothing assigned: only ESC gets through, as BREAK.
    keys.hold('A');
    EXPECT_EQ(rows(0x00), 0xFF);
    keys.hold(vkEscape);
    EXPECT_EQ(rows(0x00), 0xFF);
    EXPECT_EQ(readPort2(*m, 0xFB), 0x49);

    m->settings.keyNormal['A'] = 0x05;  // E
    m->settings.keyNormal['B'] = 0x02;  // B
    std::memset(keys.state, 0, 256);
    keys.hold('A');
    keys.hold('B');
    EXPECT_EQ(rows(0xDF), 0xFE);                  // A (the lower code) gives E
    EXPECT_EQ(readKeyboardRows(*m, 0xFB), 0xFF);  // B is not seen

    keys.hold(vkEscape);  // ESC beats any assigned key
    EXPECT_EQ(rows(0x00), 0xFF);

    // SHIFT + CTRL: the shift table; no fall-back to the normal table.
    std::memset(keys.state, 0, 256);
    keys.hold(vkShift);
    keys.hold(vkControl);
    keys.hold('A');
    m->settings.keyCtrl['A'] = 0x01;
    EXPECT_EQ(rows(0x00), 0xFF);
    m->settings.keyShift['A'] = 0x45;  // SHIFT + E
    EXPECT_EQ(rows(0xDF), 0xFE);
    EXPECT_EQ(readPort2(*m, 0x7F), 0x49);
    EXPECT_EQ(readPort2(*m, 0xFE), 0x4B);  // the PC's CTRL itself is not passed on
}

TEST_F(KeyboardTest, PressKeyCodeModifiers) {
    pressKeyCode(*m, 0x97);  // CTRL + W
    EXPECT_EQ(readKeyboardRows(*m, 0x7F), 0xFB);
    EXPECT_EQ(readPort2(*m, 0xFE), 0x49);
    EXPECT_EQ(readPort2(*m, 0x7F), 0x4B);
}

}  // namespace
