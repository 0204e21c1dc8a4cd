// The keyboard matrix, port 2's extra keys and the Sensible key map.
#include <gtest/gtest.h>

#include <memory>

#include "io_fakes.h"
#include "machine.h"

namespace {

struct KeyboardTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    FakeKeys keys;
    void SetUp() override { m->host.keyboard = &keys, initKeyTables(*m); }
    // Holds the keys for one frame; returns the rows read (port2: the port-2 read).
    uint8_t read(std::initializer_list<uint8_t> held, uint8_t portOne, bool port2 = false) {
        keys.hold(held);
        scanHostKeyboard(*m);
        return port2 ? readPort2(*m, portOne) : readKeyboardRows(*m, portOne);
    }
};

TEST_F(KeyboardTest, EmulatedMode) {
    EXPECT_EQ(read({'A'}, 0xFD), 0xFE);
    EXPECT_EQ(read({'A'}, 0xFB), 0xFF);
    EXPECT_EQ(read({0xBD}, 0xFB), 0xDF);  // PC "-" is ":"
    EXPECT_EQ(read({0xBB}, 0xDF), 0xDF);  // PC "=" is "-"
    EXPECT_EQ(read({0xDB}, 0xFE), 0xFE);  // PC "[" is "@"
    EXPECT_EQ(read({0x78}, 0xDF), 0xF7);  // F9 and F11: keys 29 and 27
    EXPECT_EQ(read({0x7A}, 0xF7), 0xF7);
    EXPECT_EQ(read({'A', 'J', '9'}, 0xF9), 0xDC);  // two columns: rows 0, 1 and 5
    EXPECT_EQ(read({'A', 'J', '9'}, 0xFF), 0xFF);
    EXPECT_EQ(read({0x10}, 0x7F, true), 0x49);
    EXPECT_EQ(read({0x10}, 0xFF, true), 0x4B);
    EXPECT_EQ(read({0x1B}, 0xFB, true), 0x49);
    EXPECT_EQ(read({0x1B}, 0x7E, true), 0x4B);
    EXPECT_EQ(read({0x11}, 0xFE, true), 0x49);
    m->mem.addressSpace[3] = 0x11;  // the cassette bit shows; the written bit does not
    EXPECT_EQ(read({0x10}, 0x7F, true), 0x59);
}

TEST_F(KeyboardTest, SensibleMode) {
    m->settings.emulatedflag = 0;
    EXPECT_EQ(read({'A'}, 0x00), 0xFF);  // nothing assigned
    EXPECT_EQ(read({'A', 0x1B}, 0xFB, true), 0x49);
    m->settings.keyNormal['A'] = 0x05;  // E
    m->settings.keyNormal['B'] = 0x02;  // B
    EXPECT_EQ(read({'A', 'B'}, 0x00), 0xFE);
    EXPECT_EQ(readKeyboardRows(*m, 0xFB), 0xFF);  // only the lower code is seen
    EXPECT_EQ(read({'A', 0x1B}, 0x00), 0xFF);     // ESC wins
    // SHIFT + CTRL: the shift table, with no fall-back; modifiers are not passed on.
    m->settings.keyCtrl['A'] = 0x01;
    EXPECT_EQ(read({0x10, 0x11, 'A'}, 0x00), 0xFF);
    m->settings.keyShift['A'] = 0x45;  // SHIFT + E
    EXPECT_EQ(read({0x10, 0x11, 'A'}, 0xDF), 0xFE);
    EXPECT_EQ(readPort2(*m, 0x7F), 0x49);
    EXPECT_EQ(readPort2(*m, 0xFE), 0x4B);
}

}  // namespace
