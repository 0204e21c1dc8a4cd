// The renderer: character cells, semigraphics, external ROM and graphics modes drawn
// as palette slots.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "machine.h"

namespace {

struct RendererTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();

    void SetUp() override {
        std::memset(m->mem.charRom, 0, sizeof m->mem.charRom);
        m->mem.charRom[12] = 0x80;  // glyph 1: one pixel in the top-left corner
        m->mem.extCharRom[0x41 * 16] = 0xFF;  // entry 0x41: the first row; bytes 12-15 unused
        std::memset(m->mem.extCharRom + 0x41 * 16 + 12, 0xFF, 4);
        rebuildDisplay(*m);
    }
    void show(uint8_t latch) {
        m->mem.addressSpace[videoLatchAddress] = latch;
        renderScreen(*m);
    }
    uint8_t px(int x, int y) const { return m->renderer.pixels[y * surfaceWidth + x]; }
};

// Each case puts one code into the cell at row 1, column 2 (pixel 16, 12) and checks
// one pixel of it, given relative to the cell.
TEST_F(RendererTest, CharacterCells) {
    struct Case {
        uint8_t latch, code;
        int x, y, slot, border;
    } cases[] = {
        {0x00, 0x41, 0, 0, 7, 4},   {0x00, 0x41, 1, 0, 6, 4},   {0x00, 0x01, 0, 0, 9, 4},
        {0x00, 0x01, 7, 11, 8, 4},  {0x40, 0x41, 0, 0, 20, 5},  {0x40, 0x01, 0, 0, 22, 5},
        {0x40, 0x01, 1, 0, 21, 5},  {0x04, 0x41, 7, 0, 7, 4},   {0x04, 0x41, 0, 11, 6, 4},
        // semigraphics-4: 0x9F yellow, all blocks; 0xF9 orange, top-left and bottom-right
        {0x00, 0x9F, 0, 0, 12, 4},  {0x00, 0x9F, 7, 11, 12, 4}, {0x00, 0xF9, 3, 5, 18, 4},
        {0x00, 0xF9, 4, 0, 10, 4},  {0x00, 0xF9, 0, 6, 10, 4},  {0x00, 0xF9, 7, 11, 18, 4},
        {0x40, 0xF9, 0, 0, 31, 5},  {0x40, 0xF9, 4, 0, 23, 5},
        // semigraphics-6 (external table): 0xC1 red, bit 0; 0xA0 blue, bit 5
        {0x04, 0xC1, 4, 8, 14, 4},  {0x04, 0xC1, 3, 8, 10, 4},  {0x04, 0xC1, 4, 7, 10, 4},
        {0x04, 0xA0, 3, 3, 13, 4},  {0x04, 0xA0, 4, 0, 10, 4},  {0x04, 0xA0, 0, 4, 10, 4},
        {0x44, 0xC1, 7, 11, 31, 5}, {0x44, 0xC1, 0, 0, 23, 5},
    };
    for (const Case& c : cases) {
        m->mem.addressSpace[0x4000 + 32 + 2] = c.code;
        show(c.latch);
        SCOPED_TRACE(testing::Message() << "latch " << int(c.latch) << " code " << int(c.code) << " at "
                                        << c.x << "," << c.y);
        EXPECT_EQ(px(16 + c.x, 12 + c.y), c.slot);
        EXPECT_EQ(m->renderer.borderColourIndex, c.border);
    }
}

TEST_F(RendererTest, GraphicsModeGeometry) {
    struct Case {
        int mode, border, pixelsPerByte, linesPerRow, bytesPerRow;
    } cases[] = {
        {0, 2, 16, 3, 16}, {1, 2, 8, 2, 32}, {2, 2, 8, 3, 32}, {3, 2, 8, 1, 32},
        {4, 0, 16, 3, 16}, {5, 0, 16, 1, 16}, {6, 0, 16, 2, 16}, {7, 0, 8, 1, 32},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        std::memset(m->mem.addressSpace + 0x4000, 0, 0x1800);
        int rows = 192 / c.linesPerRow;
        for (int at : {0, c.bytesPerRow, rows * c.bytesPerRow - 1}) m->mem.addressSpace[0x4000 + at] = 0xFF;
        show(static_cast<uint8_t>(0x20 | c.mode << 2));
        EXPECT_EQ(m->renderer.borderColourIndex, c.border);
        uint8_t on = px(0, 0), off = px(c.pixelsPerByte, 0);
        EXPECT_NE(on, off);
        EXPECT_EQ(px(c.pixelsPerByte - 1, c.linesPerRow - 1), on);
        EXPECT_EQ(px(0, c.linesPerRow), on);       // the second row
        EXPECT_EQ(px(0, 2 * c.linesPerRow), off);  // the third row is empty
        EXPECT_EQ(px(255, 191), on);
        EXPECT_EQ(px(255 - c.pixelsPerByte, 191), off);
    }
}

TEST_F(RendererTest, GraphicsColours) {
    struct Case {
        uint8_t latch, byte;
        int x, slot, border;
    } cases[] = {
        {0x20, 0x1B, 0, 33, 2}, {0x20, 0x1B, 4, 34, 2},  {0x20, 0x1B, 8, 35, 2}, {0x20, 0x1B, 15, 36, 2},
        {0x60, 0x1B, 0, 37, 3}, {0x60, 0x1B, 15, 40, 3}, {0x3C, 0x80, 0, 42, 0}, {0x3C, 0x80, 1, 41, 0},
        {0x7C, 0x80, 0, 44, 1}, {0x7C, 0x80, 1, 43, 1}};
    for (const Case& c : cases) {
        m->mem.addressSpace[0x4000] = c.byte;
        show(c.latch);
        SCOPED_TRACE(testing::Message() << "latch " << int(c.latch) << " x " << c.x);
        EXPECT_EQ(px(c.x, 0), c.slot);
        EXPECT_EQ(m->renderer.borderColourIndex, c.border);
    }
}

TEST_F(RendererTest, FramedPictureRebuildAndNoSurface) {
    m->mem.addressSpace[0x4000] = 0x41;
    show(0x40);
    FramedPicture p = framedPicture(*m);
    ASSERT_EQ(p.pixels.size(), 280u * 216u);
    for (int at : {0, 12 * 280 + 11, 204 * 280 + 268}) EXPECT_EQ(p.pixels[at], 5);
    EXPECT_EQ(p.pixels[12 * 280 + 12], 20);

    m->settings.colours[7] = {1, 2, 3};
    rebuildDisplay(*m);
    EXPECT_EQ(framedPicture(*m).colours[7], (Rgb{1, 2, 3}));

    destroyDisplaySurface(*m);
    renderScreen(*m);
    EXPECT_EQ(m->renderer.borderColourIndex, 0);
    EXPECT_TRUE(framedPicture(*m).pixels.empty());
}

TEST_F(RendererTest, PaintSkipAndSpeedText) {
    EXPECT_FALSE(paintSkip(*m));
    m->cassetteIn.cassettePlaying = true;
    int drawn = 0;
    for (int i = 0; i < 64; ++i) drawn += !paintSkip(*m);
    EXPECT_EQ(drawn, 4);
    EXPECT_EQ(speedText(100), " 100%  ");
}

}  // namespace
