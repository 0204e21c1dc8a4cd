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
        // Glyph 1: a single pixel in the top-left corner, the rest of its rows empty.
        std::memset(m->mem.charRom, 0, sizeof m->mem.charRom);
        m->mem.charRom[12] = 0x80;
        // External entry 0x41: its first row full, the 13th-16th bytes must be ignored.
        m->mem.extCharRom[0x41 * 16] = 0xFF;
        std::memset(m->mem.extCharRom + 0x41 * 16 + 12, 0xFF, 4);
        rebuildDisplay(*m);
    }
    void show(uint8_t latch) {
        m->mem.addressSpace[videoLatchAddress] = latch;
        renderScreen(*m);
    }
    uint8_t px(int x, int y) const { return m->renderer.pixels[y * surfaceWidth + x]; }
};

TEST_F(RendererTest, TextCellsInBothColourSets) {
    struct Case {
        uint8_t latch, code, foreground, background;
        int border;
    } cases[] = {
        {0x00, 0x41, 7, 6, 4},   {0x00, 0x01, 9, 8, 4},   {0x40, 0x41, 20, 19, 5},
        {0x40, 0x01, 22, 21, 5}, {0x04, 0x41, 7, 6, 4},   {0x44, 0x41, 20, 19, 5},
    };
    for (const Case& c : cases) {
        m->mem.addressSpace[0x4000] = c.code;
        show(c.latch);
        SCOPED_TRACE(testing::Message() << "latch " << int(c.latch) << " code " << int(c.code));
        EXPECT_EQ(m->renderer.borderColourIndex, c.border);
        EXPECT_EQ(px(0, 0), c.foreground);
        if (c.latch & 0x04) {  // external ROM: the whole first row, nothing below
            EXPECT_EQ(px(7, 0), c.foreground);
            EXPECT_EQ(px(0, 11), c.background);
        } else {
            EXPECT_EQ(px(1, 0), c.background);
            EXPECT_EQ(px(7, 11), c.background);
        }
    }
}

TEST_F(RendererTest, CellsArePlacedByRowAndColumn) {
    m->mem.addressSpace[0x4000 + 5 * 32 + 7] = 0x41;
    show(0x00);
    EXPECT_EQ(px(8 * 7, 12 * 5), 7);
    EXPECT_EQ(px(8 * 7 + 1, 12 * 5), 6);
    EXPECT_EQ(px(8 * 7, 12 * 5 - 1), 8);  // the cell above holds code 0: inverse background
}

TEST_F(RendererTest, Semigraphics4) {
    m->mem.addressSpace[0x4000] = 0x9F;  // yellow, all four blocks
    m->mem.addressSpace[0x4001] = 0xF9;  // orange, top-left and bottom-right
    show(0x00);
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 8; ++x) EXPECT_EQ(px(x, y), 12);
    EXPECT_EQ(px(8, 0), 18);
    EXPECT_EQ(px(12, 0), 10);
    EXPECT_EQ(px(8, 6), 10);
    EXPECT_EQ(px(15, 11), 18);
    show(0x40);
    EXPECT_EQ(px(8, 0), 31);
    EXPECT_EQ(px(12, 0), 23);
}

TEST_F(RendererTest, Semigraphics6FromTheExternalTable) {
    m->mem.addressSpace[0x4000] = 0xC1;  // red, bit 0: the bottom-right block
    m->mem.addressSpace[0x4001] = 0xA0;  // blue, bit 5: the top-left block
    show(0x04);
    EXPECT_EQ(px(4, 8), 14);
    EXPECT_EQ(px(7, 11), 14);
    EXPECT_EQ(px(3, 8), 10);
    EXPECT_EQ(px(4, 7), 10);
    EXPECT_EQ(px(8, 0), 13);
    EXPECT_EQ(px(11, 3), 13);
    EXPECT_EQ(px(12, 0), 10);
    EXPECT_EQ(px(8, 4), 10);
    show(0x44);
    EXPECT_EQ(px(4, 8), 31);
    EXPECT_EQ(px(4, 0), 23);
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
        m->mem.addressSpace[0x4000] = 0xFF;                  // first byte of the first row
        m->mem.addressSpace[0x4000 + c.bytesPerRow] = 0xFF;  // first byte of the second row
        int rows = 192 / c.linesPerRow;
        m->mem.addressSpace[0x4000 + rows * c.bytesPerRow - 1] = 0xFF;  // the last byte shown
        show(static_cast<uint8_t>(0x20 | c.mode << 2));
        EXPECT_EQ(m->renderer.borderColourIndex, c.border);
        uint8_t on = px(0, 0), off = px(c.pixelsPerByte, 0);
        EXPECT_NE(on, off);
        EXPECT_EQ(px(c.pixelsPerByte - 1, 0), on);
        EXPECT_EQ(px(0, c.linesPerRow - 1), on);
        EXPECT_EQ(px(0, c.linesPerRow), on);           // the second row
        EXPECT_EQ(px(0, 2 * c.linesPerRow), off);      // the third row is empty
        EXPECT_EQ(px(255, 191), on);
        EXPECT_EQ(px(255 - c.pixelsPerByte, 191), off);
    }
}

TEST_F(RendererTest, GraphicsColours) {
    m->mem.addressSpace[0x4000] = 0x1B;  // four-colour values 0, 1, 2, 3
    show(0x20);                          // CG1: each value 4 pixels wide
    EXPECT_EQ(px(0, 0), 33);
    EXPECT_EQ(px(4, 0), 34);
    EXPECT_EQ(px(8, 0), 35);
    EXPECT_EQ(px(15, 0), 36);
    show(0x60);
    EXPECT_EQ(px(0, 0), 37);
    EXPECT_EQ(px(15, 0), 40);
    EXPECT_EQ(m->renderer.borderColourIndex, 3);
    m->mem.addressSpace[0x4000] = 0x80;
    show(0x3C);  // RG6
    EXPECT_EQ(px(0, 0), 42);
    EXPECT_EQ(px(1, 0), 41);
    EXPECT_EQ(m->renderer.borderColourIndex, 0);
    show(0x7C);
    EXPECT_EQ(px(0, 0), 44);
    EXPECT_EQ(px(1, 0), 43);
    EXPECT_EQ(m->renderer.borderColourIndex, 1);
}

TEST_F(RendererTest, FramedPictureAndRebuild) {
    m->mem.addressSpace[0x4000] = 0x41;
    show(0x40);
    FramedPicture p = framedPicture(*m);
    ASSERT_EQ(p.pixels.size(), 280u * 216u);
    EXPECT_EQ(p.pixels[0], 5);
    EXPECT_EQ(p.pixels[12 * 280 + 11], 5);
    EXPECT_EQ(p.pixels[12 * 280 + 12], 20);
    EXPECT_EQ(p.pixels[204 * 280 + 268], 5);
    EXPECT_EQ(p.colours, m->settings.colours);

    m->settings.colours[7] = {1, 2, 3};
    rebuildDisplay(*m);
    EXPECT_EQ(framedPicture(*m).colours[7], (Rgb{1, 2, 3}));

    destroyDisplaySurface(*m);
    renderScreen(*m);
    EXPECT_EQ(m->renderer.borderColourIndex, 0);
    EXPECT_TRUE(framedPicture(*m).pixels.empty());
}

TEST_F(RendererTest, PaintSkipWhileTypingOrPlaying) {
    EXPECT_FALSE(paintSkip(*m));
    m->cassetteIn.cassettePlaying = true;
    int drawn = 0;
    for (int i = 0; i < 64; ++i) drawn += !paintSkip(*m);
    EXPECT_EQ(drawn, 4);
    m->cassetteIn.cassettePlaying = false;
    m->quickType.quickTypeActive = true;
    drawn = 0;
    for (int i = 0; i < 16; ++i) drawn += !paintSkip(*m);
    EXPECT_EQ(drawn, 1);
}

TEST(SpeedText, Format) {
    EXPECT_EQ(speedText(100), " 100%  ");
    EXPECT_EQ(speedText(-5), " -5%  ");
}

}  // namespace
