// Screenshots: the BMP layout, the picture placement and the numbered files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "machine.h"
#include "video/screenshot.h"

namespace {

namespace fs = std::filesystem;

uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<uint32_t>(b[at + 3]) << 24;
}

struct ScreenshotTest : ::testing::Test {
    std::unique_ptr<Machine> m = std::make_unique<Machine>();
    fs::path dir = fs::path(TOVRIN_TEST_TMP) / ("screenshot-" + std::to_string(getpid()));

    void SetUp() override {
        rebuildDisplay(*m);
        m->renderer.pixels[0] = 7;                    // surface (0, 0)
        m->renderer.pixels[191 * 256 + 255] = 9;      // surface (255, 191)
        m->renderer.borderColourIndex = 4;
        fs::remove_all(dir);
        fs::create_directories(dir / "screenshots");
        m->startupDirectory = dir;
    }
    void TearDown() override { fs::remove_all(dir); }
};

TEST_F(ScreenshotTest, FileLayout) {
    std::vector<uint8_t> b = screenshotBytes(*m);
    ASSERT_EQ(b.size(), 61558u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    struct Field {
        size_t at;
        uint32_t value;
    } fields[] = {{2, 61558}, {6, 0},  {10, 1078}, {14, 40}, {18, 280}, {22, 216}, {30, 0},
                  {34, 60480}, {38, 0}, {42, 0},   {46, 45}, {50, 45}};
    for (const Field& f : fields) EXPECT_EQ(le32(b, f.at), f.value) << "offset " << f.at;
    EXPECT_EQ(b[26] | b[27] << 8, 1);
    EXPECT_EQ(b[28] | b[29] << 8, 8);
    // Colour table: blue, green, red, 0.
    m->settings.colours[12] = {200, 100, 50};
    b = screenshotBytes(*m);
    EXPECT_EQ(b[54 + 4 * 12], 50);
    EXPECT_EQ(b[55 + 4 * 12], 100);
    EXPECT_EQ(b[56 + 4 * 12], 200);
    EXPECT_EQ(b[57 + 4 * 12], 0);
    // Surface row 0 lands on file row 203; row 191 on file row 12.
    EXPECT_EQ(b[57930], 7);
    EXPECT_EQ(b[1078 + 12 * 280 + 267], 9);
    EXPECT_EQ(b[1078 + 203 * 280 + 13], 0);
    // Border all around.
    for (size_t at : {1078, 1078 + 203 * 280 + 11, 1078 + 203 * 280 + 268, 1078 + 204 * 280 + 100, 61557})
        EXPECT_EQ(b[at], 4) << at;
}

TEST_F(ScreenshotTest, NumberedFilesTheCounterAndFailures) {
    fs::path shots = dir / "screenshots";
    takeScreenshot(*m);
    takeScreenshot(*m);
    EXPECT_EQ(fs::file_size(shots / "screenshot_0000.bmp"), 61558u);
    EXPECT_TRUE(fs::exists(shots / "screenshot_0001.bmp"));
    m->settings.nscreenshot = 9999;
    takeScreenshot(*m);
    EXPECT_TRUE(fs::exists(shots / "screenshot_9999.bmp"));
    EXPECT_EQ(m->settings.nscreenshot, 0);

    // No folder (it is not created) or no surface: no file, the counter stays.
    fs::remove_all(shots);
    m->settings.nscreenshot = 5;
    takeScreenshot(*m);
    EXPECT_FALSE(fs::exists(shots));
    fs::create_directories(shots);
    destroyDisplaySurface(*m);
    takeScreenshot(*m);
    EXPECT_TRUE(fs::is_empty(shots));
    EXPECT_EQ(m->settings.nscreenshot, 5);
}

}  // namespace
