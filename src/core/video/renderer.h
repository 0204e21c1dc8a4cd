// The MC6847 display: tables built from the colours and character ROMs, and the
// 256x192 picture of palette slots (0-44 of the ColourTable).
//
//   rebuildDisplay(m);                 // at start-up and after colours or character ROMs change
//   if (!paintSkip(m)) {               // the front end's paint
//       renderScreen(m);
//       FramedPicture p = framedPicture(m);   // 280x216 slots + the palette; scale and show
//       // or: convertFramedToRgb(m, pixels, w, h, stride);   // scaled 0xFFRRGGBB
//       caption(speedText(m.timing.speedPercent));
//   }
//   destroyDisplaySurface(m);          // at shut-down
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "config/settings.h"

struct Machine;

constexpr int surfaceWidth = 256, surfaceHeight = 192;
// The window shows the surface inside a border of 12 pixels (before scaling).
constexpr int borderWidth = 12;
constexpr int framedWidth = surfaceWidth + 2 * borderWidth;    // 280
constexpr int framedHeight = surfaceHeight + 2 * borderWidth;  // 216

constexpr uint16_t videoRamStart = 0x4000;

// One of the eight graphics modes, indexed by latch bits 4-2.
struct GraphicsMode {
    const char* name;   // the MC6847 mode: "CG1" ...
    bool fourColour;    // 2 bits a pixel (else 1)
    int bytesPerRow;    // 16 or 32
    int linesPerRow;    // surface lines each row of video memory is repeated on
};
extern const std::array<GraphicsMode, 8> graphicsModeTable;

// A character cell: 12 rows of 8 slots, row-major.
using GlyphCell = std::array<uint8_t, 96>;
// [internal 0 / external 1][colour set][code]
using GlyphTable = std::array<std::array<std::array<GlyphCell, 256>, 2>, 2>;
// [colour set][mode][byte]: the 8 slots one video byte expands to, before the run is
// widened to fill 256 pixels.
using GraphicsExpansionTable = std::array<std::array<std::array<std::array<uint8_t, 8>, 256>, 8>, 2>;

// What the window last showed: the latch, the video memory and the table build it was
// drawn from. Colours and character ROMs reach the picture only through a rebuild.
constexpr int shownVideoBytes = 6144;  // the most any mode displays
struct ShownScreen {
    bool valid = false;
    uint8_t latch = 0;
    uint64_t build = 0;
    std::array<uint8_t, shownVideoBytes> videoRam{};
};

struct Renderer {
    // The DisplaySurface: row-major, 256 slots a row, top row first; empty when there is none.
    std::vector<uint8_t> pixels;
    int borderColourIndex = 0;  // the border slot chosen by the last renderScreen
    ColourTable palette{};      // the colours the surface was built with
    int borderBrushSlot = -1;   // front ends: slot of their cached border brush, -1 none
    uint32_t paintSkipCounter = 0;
    GlyphTable glyphs{};
    GraphicsExpansionTable expansion{};
    uint64_t buildCount = 0;  // counts rebuildDisplay calls
    ShownScreen shown;
};

void rebuildDisplay(Machine& m);
void destroyDisplaySurface(Machine& m);
void renderScreen(Machine& m);

// While Quick Type or a cassette is running only every sixteenth paint draws; true
// means skip this one. Counts the request.
bool paintSkip(Machine& m);

// True when the picture would be the same as when markScreenShown last ran: same
// latch, same video memory, no rebuild since. A front end then need not repaint.
bool screenUnchanged(const Machine& m);
void markScreenShown(Machine& m);

// The surface inside its border (280 x 216) scaled nearest-neighbour to width x height
// while converting the slots to 0xFFRRGGBB pixels, for a front end that shows the
// result unscaled. stride is in pixels. Does nothing without a surface.
void convertFramedToRgb(const Machine& m, uint32_t* out, int width, int height, ptrdiff_t stride);

// The surface inside its border, as the window shows it at scale 1.
struct FramedPicture {
    std::vector<uint8_t> pixels;  // 280 x 216 slots, top row first; empty without a surface
    ColourTable colours{};
};
FramedPicture framedPicture(const Machine& m);

// The speed read-out for the caption: " 100%  ".
std::string speedText(int32_t speedPercent);

// The built-in semigraphics-4 patterns: 16 cells of 12 rows.
uint8_t semigraphics4Row(int pattern, int row);
