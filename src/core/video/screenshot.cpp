// The screenshot writer: a BMP with the 40-byte information header, 256 palette
// entries (0-44 the ColourTable) and 216 bottom-up rows of 280 slots.
#include "video/screenshot.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

#include "config/settings_file.h"
#include "machine.h"

namespace {

void put16(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    out[at] = static_cast<uint8_t>(v);
    out[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    put16(out, at, v & 0xFFFF);
    put16(out, at + 2, v >> 16);
}

}  // namespace

std::vector<uint8_t> screenshotBytes(const Machine& m) {
    const Renderer& r = m.renderer;
    if (r.pixels.empty()) return {};
    std::vector<uint8_t> out(screenshotFileSize, 0);
    const uint32_t imageSize = framedWidth * framedHeight;
    // File header.
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, screenshotFileSize);
    put32(out, 10, screenshotPixelOffset);
    // Information header.
    put32(out, 14, 40);
    put32(out, 18, framedWidth);
    put32(out, 22, framedHeight);  // positive: bottom row first
    put16(out, 26, 1);
    put16(out, 28, 8);
    put32(out, 30, 0);
    put32(out, 34, imageSize);
    put32(out, 46, colourSlotCount);
    put32(out, 50, colourSlotCount);
    // Colour table: blue, green, red, 0; entries 45-255 stay black.
    for (int i = 0; i < colourSlotCount; ++i) {
        const Rgb& c = m.settings.colours[i];
        out[54 + 4 * i] = c.b;
        out[55 + 4 * i] = c.g;
        out[56 + 4 * i] = c.r;
    }
    // Pixels: border everywhere, surface row y on file row 203 - y (counted from the bottom).
    uint8_t* pixels = out.data() + screenshotPixelOffset;
    std::fill(pixels, pixels + imageSize, static_cast<uint8_t>(r.borderColourIndex));
    for (int y = 0; y < surfaceHeight; ++y) {
        int fileRow = framedHeight - 1 - borderWidth - y;
        std::copy_n(r.pixels.data() + y * surfaceWidth, surfaceWidth,
                    pixels + fileRow * framedWidth + borderWidth);
    }
    return out;
}

bool writeScreenshotFile(const Machine& m, const std::filesystem::path& path) {
    std::vector<uint8_t> bytes = screenshotBytes(m);
    if (bytes.empty()) return false;
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    f.close();
    return static_cast<bool>(f);
}

std::filesystem::path screenshotPath(const Machine& m) {
    char name[32];
    int number = m.settings.nscreenshot;
    if (number < 0 || number > 9999) number = 0;
    std::snprintf(name, sizeof name, "screenshot_%04d.bmp", number);
    return m.startupDirectory / "screenshots" / name;
}

void takeScreenshot(Machine& m) {
    if (m.renderer.pixels.empty()) return;
    if (!writeScreenshotFile(m, screenshotPath(m))) return;
    int32_t number = m.settings.nscreenshot;
    m.settings.nscreenshot = number >= 0 && number < 9999 ? number + 1 : 0;
    saveScreenshotNumber(m);
}
