// Screenshots: the screen as last rendered, inside its 12-pixel border, as an
// uncompressed 8-bit BMP of 280x216 (61 558 bytes, palette = the ColourTable).
//
//   takeScreenshot(m);   // the "Screenshot" command: <startup>/screenshots/screenshot_0007.bmp
//   writeScreenshotFile(m, "final.bmp");   // a given path, no counter
#pragma once
#include <cstdint>
#include <filesystem>
#include <vector>

struct Machine;

constexpr uint32_t screenshotFileSize = 61558;
constexpr uint32_t screenshotPixelOffset = 1078;

// The whole file; empty when the renderer has no surface.
std::vector<uint8_t> screenshotBytes(const Machine& m);
// False when there is no surface or the file cannot be written.
bool writeScreenshotFile(const Machine& m, const std::filesystem::path& path);
// startupDirectory/screenshots/screenshot_NNNN.bmp for the current nscreenshot.
std::filesystem::path screenshotPath(const Machine& m);
// Writes the numbered file, then advances nscreenshot (9999 wraps to 0) and saves it.
// A missing "screenshots" folder is not created: nothing is written and the counter stays.
void takeScreenshot(Machine& m);
