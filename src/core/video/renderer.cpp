// The renderer: every character cell and every graphics byte is expanded into palette
// slots once, when colours or character ROMs change; a frame is then drawn by copying
// those runs out of video memory at 0x4000.
#include "video/renderer.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "machine.h"

const std::array<GraphicsMode, 8> graphicsModeTable = {{
    {"CG1", true, 16, 3},
    {"CG3", true, 32, 2},
    {"CG2", true, 32, 3},
    {"CG6", true, 32, 1},
    {"RG1", false, 16, 3},
    {"RG3", false, 16, 1},
    {"RG2", false, 16, 2},
    {"RG6", false, 32, 1},
}};

namespace {

// Slots of the ColourTable the tables draw with.
constexpr int textBackground[2] = {6, 19}, textForeground[2] = {7, 20};
constexpr int inverseBackground[2] = {8, 21}, inverseForeground[2] = {9, 22};
constexpr int semigraphicsBackground[2] = {10, 23}, semigraphicsGreen[2] = {11, 24};
// Semigraphics-6 colours: blue or red in set 0, magenta or orange in set 1.
constexpr int semigraphics6Blue[2] = {13, 30};
constexpr int fourColourGreen[2] = {33, 37};
constexpr int twoColourOff[2] = {41, 43}, twoColourOn[2] = {42, 44};

// Semigraphics-6: three bands of four lines, each two blocks of four pixels; the band's
// left block takes the higher of its two bits.
uint8_t semigraphics6Row(int pattern, int row) {
    int shift = 4 - 2 * (row / 4);
    return static_cast<uint8_t>(((pattern >> (shift + 1)) & 1 ? 0xF0 : 0) | ((pattern >> shift) & 1 ? 0x0F : 0));
}

void fillCell(GlyphCell& cell, const uint8_t rows[12], int foreground, int background) {
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 8; ++x)
            cell[y * 8 + x] = static_cast<uint8_t>((rows[y] << x) & 0x80 ? foreground : background);
}

void buildGlyphTables(Machine& m) {
    const MachineMemory& mem = m.mem;
    for (int c = 0; c < 2; ++c) {
        for (int code = 0; code < 256; ++code) {
            uint8_t rows[12];
            int fg, bg;
            // Internal character ROM, semigraphics-4 above 127.
            if (code < 128) {
                std::memcpy(rows, mem.charRom + (code & 63) * 12, 12);
                fg = code < 64 ? inverseForeground[c] : textForeground[c];
                bg = code < 64 ? inverseBackground[c] : textBackground[c];
            } else {
                for (int y = 0; y < 12; ++y) rows[y] = semigraphics4Row(code & 15, y);
                fg = semigraphicsGreen[c] + (code - 128) / 16;
                bg = semigraphicsBackground[c];
            }
            fillCell(m.renderer.glyphs[0][c][code], rows, fg, bg);

            // External character ROM, semigraphics-6 above 127 (bit 6 picks the colour).
            if (code < 128) {
                std::memcpy(rows, mem.extCharRom + code * 16, 12);
                fg = code < 64 ? inverseForeground[c] : textForeground[c];
                bg = code < 64 ? inverseBackground[c] : textBackground[c];
            } else {
                for (int y = 0; y < 12; ++y) rows[y] = semigraphics6Row(code & 63, y);
                fg = semigraphics6Blue[c] + (code - 128) / 64;
                bg = semigraphicsBackground[c];
            }
            fillCell(m.renderer.glyphs[1][c][code], rows, fg, bg);
        }
    }
}

void buildExpansionTable(Machine& m) {
    for (int c = 0; c < 2; ++c)
        for (int mode = 0; mode < 8; ++mode)
            for (int b = 0; b < 256; ++b) {
                std::array<uint8_t, 8>& run = m.renderer.expansion[c][mode][b];
                if (graphicsModeTable[mode].fourColour) {
                    for (int g = 0; g < 4; ++g) {
                        int v = (b >> (6 - 2 * g)) & 3;
                        run[2 * g] = run[2 * g + 1] = static_cast<uint8_t>(fourColourGreen[c] + v);
                    }
                } else {
                    for (int bit = 0; bit < 8; ++bit)
                        run[bit] = static_cast<uint8_t>((b << bit) & 0x80 ? twoColourOn[c] : twoColourOff[c]);
                }
            }
}

void renderGraphics(Machine& m, int colourSet, int mode) {
    const GraphicsMode& d = graphicsModeTable[mode];
    Renderer& r = m.renderer;
    r.borderColourIndex = (d.fourColour ? 2 : 0) + colourSet;
    const int repeat = 32 / d.bytesPerRow;  // 2: each run is widened to 16 pixels
    const auto& runs = r.expansion[colourSet][mode];
    const uint8_t* source = m.mem.addressSpace + videoRamStart;
    uint8_t* line = r.pixels.data();
    for (int row = 0; row < surfaceHeight / d.linesPerRow; ++row, source += d.bytesPerRow) {
        uint8_t* first = line;
        if (repeat == 1) {
            for (int k = 0; k < d.bytesPerRow; ++k, line += 8) std::memcpy(line, runs[source[k]].data(), 8);
        } else {
            for (int k = 0; k < d.bytesPerRow; ++k)
                for (uint8_t slot : runs[source[k]]) {
                    line[0] = line[1] = slot;
                    line += 2;
                }
        }
        for (int copy = 1; copy < d.linesPerRow; ++copy, line += surfaceWidth)
            std::memcpy(line, first, surfaceWidth);
    }
}

void renderText(Machine& m, int colourSet, bool external) {
    Renderer& r = m.renderer;
    r.borderColourIndex = 4 + colourSet;
    const auto& cells = r.glyphs[external ? 1 : 0][colourSet];
    const uint8_t* source = m.mem.addressSpace + videoRamStart;
    for (int row = 0; row < 16; ++row)
        for (int col = 0; col < 32; ++col) {
            const GlyphCell& cell = cells[source[row * 32 + col]];
            uint8_t* target = r.pixels.data() + row * 12 * surfaceWidth + col * 8;
            for (int y = 0; y < 12; ++y) std::memcpy(target + y * surfaceWidth, cell.data() + y * 8, 8);
        }
}

}  // namespace

uint8_t semigraphics4Row(int pattern, int row) {
    int shift = row < 6 ? 2 : 0;
    return static_cast<uint8_t>(((pattern >> (shift + 1)) & 1 ? 0xF0 : 0) | ((pattern >> shift) & 1 ? 0x0F : 0));
}

void rebuildDisplay(Machine& m) {
    destroyDisplaySurface(m);
    m.renderer.buildCount += 1;
    buildGlyphTables(m);
    buildExpansionTable(m);
    m.renderer.palette = m.settings.colours;
    m.renderer.pixels.assign(static_cast<size_t>(surfaceWidth) * surfaceHeight, 0);
}

void destroyDisplaySurface(Machine& m) {
    m.renderer.pixels = {};
    m.renderer.borderBrushSlot = -1;
}

void renderScreen(Machine& m) {
    Renderer& r = m.renderer;
    if (r.pixels.empty()) {
        r.borderColourIndex = 0;
        return;
    }
    uint8_t latch = videoLatch(m.mem);
    int colourSet = (latch >> 6) & 1;
    if (latch & 0x20)
        renderGraphics(m, colourSet, (latch >> 2) & 7);
    else
        renderText(m, colourSet, (latch & 0x04) != 0);
}

bool paintSkip(Machine& m) {
    if (!m.quickType.quickTypeActive && !m.cassetteIn.cassettePlaying) return false;
    m.renderer.paintSkipCounter += 1;
    return (m.renderer.paintSkipCounter & 15) != 0;
}

FramedPicture framedPicture(const Machine& m) {
    const Renderer& r = m.renderer;
    FramedPicture picture;
    picture.colours = r.palette;
    if (r.pixels.empty()) return picture;
    picture.pixels.assign(static_cast<size_t>(framedWidth) * framedHeight,
                          static_cast<uint8_t>(r.borderColourIndex));
    for (int y = 0; y < surfaceHeight; ++y)
        std::memcpy(picture.pixels.data() + (y + borderWidth) * framedWidth + borderWidth,
                    r.pixels.data() + y * surfaceWidth, surfaceWidth);
    return picture;
}

std::string speedText(int32_t speedPercent) {
    char text[32];
    std::snprintf(text, sizeof text, " %d%%  ", static_cast<int>(speedPercent));
    return text;
}

bool screenUnchanged(const Machine& m) {
    const ShownScreen& shown = m.renderer.shown;
    return shown.valid && shown.build == m.renderer.buildCount && shown.latch == videoLatch(m.mem) &&
           std::memcmp(shown.videoRam.data(), m.mem.addressSpace + videoRamStart, shownVideoBytes) == 0;
}

void markScreenShown(Machine& m) {
    ShownScreen& shown = m.renderer.shown;
    shown.valid = true;
    shown.build = m.renderer.buildCount;
    shown.latch = videoLatch(m.mem);
    std::memcpy(shown.videoRam.data(), m.mem.addressSpace + videoRamStart, shownVideoBytes);
}

void convertFramedToRgb(const Machine& m, uint32_t* out, int width, int height, ptrdiff_t stride) {
    const Renderer& r = m.renderer;
    if (r.pixels.empty() || width <= 0 || height <= 0) return;
    uint32_t rgb[256];
    for (int i = 0; i < 256; ++i) {
        const Rgb& c = r.palette[static_cast<size_t>(i < colourSlotCount ? i : 0)];
        rgb[i] = 0xFF000000u | uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
    }
    const uint32_t border = rgb[r.borderColourIndex & 0xFF];
    // Source column of each target column, -1 in the border.
    std::vector<int> column(static_cast<size_t>(width));
    for (int x = 0; x < width; ++x) {
        const int sx = static_cast<int>(int64_t{x} * framedWidth / width) - borderWidth;
        column[static_cast<size_t>(x)] = sx >= 0 && sx < surfaceWidth ? sx : -1;
    }
    int previous = -2;
    for (int y = 0; y < height; ++y) {
        uint32_t* line = out + y * stride;
        const int sy = static_cast<int>(int64_t{y} * framedHeight / height) - borderWidth;
        if (sy == previous) {  // the same source line again: copy the line above
            std::memcpy(line, line - stride, static_cast<size_t>(width) * sizeof(uint32_t));
            continue;
        }
        previous = sy;
        if (sy < 0 || sy >= surfaceHeight) {
            std::fill(line, line + width, border);
            continue;
        }
        const uint8_t* source = r.pixels.data() + sy * surfaceWidth;
        for (int x = 0; x < width; ++x) {
            const int sx = column[static_cast<size_t>(x)];
            line[x] = sx < 0 ? border : rgb[source[sx]];
        }
    }
}
