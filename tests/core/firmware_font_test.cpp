// The built-in character ROM: 64 distinct glyphs drawn inside a 5x7-style cell.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "firmware.h"

TEST(FirmwareFont, GlyphsStayInsideTheCellAndAreDistinct) {
    std::set<std::string> seen;
    for (int glyph = 0; glyph < 64; ++glyph) {
        const unsigned char* rows = firmware::charRom + glyph * 12;
        std::string shape(reinterpret_cast<const char*>(rows), 12);
        EXPECT_EQ(rows[0], 0) << glyph;                    // blank line above
        EXPECT_EQ(rows[11], 0) << glyph;                   // blank line below
        for (int r = 0; r < 12; ++r) EXPECT_EQ(rows[r] & 0x81, 0) << glyph;  // columns 1-6 only
        bool blank = shape == std::string(12, '\0');
        EXPECT_EQ(blank, glyph == 32) << glyph;            // only the space is empty
        EXPECT_TRUE(seen.insert(shape).second) << "glyph " << glyph << " repeats another";
    }
}
