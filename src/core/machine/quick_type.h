// Quick Type: types a host text file into the MC-10, paced by the ROM's keyboard polls.
// Every port-2 read with keyboard column 2 strobed is one step: press, hold, release
// per character. It also types SHIFT+0 (case mode) and CTRL+0 (graphics colour)
// before characters that need them, reading the BASIC ROM's state at 0x421C/0x4282.
//
// A CR, an LF or a CR LF pair each type one ENTER, so text files from any system type
// line by line.
//
//   startQuickTypeFile(m, "prog.txt");          // a given file
//   startQuickTypeText(m, "10 PRINT 1\r");      // text in memory (paste, one-step run)
//   // ... readPort2 calls quickTypeStep while m.quickType.quickTypeActive
//   cancelQuickType(m);                          // stops typing, releases the keys
// The menu command that chooses the file lives in app/media_commands.h.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct Machine;

struct QuickType {
    bool quickTypeActive = false;
    std::vector<uint8_t> text;  // the whole file, byte for byte
    int64_t textPos = -1;       // character being typed
    int phase = 0;              // 0 idle/released, 1 pressed, 2 held
    int64_t lastCasePos = -1;
    int caseTries = 0;
    bool caseGiveUp = false;
    int64_t lastColourPos = -1;
    int colourTries = 0;
    bool colourGiveUp = false;
};

// QuickTypeKeyTable: MC-10 key code per character byte, 0xFF = not typed.
extern const std::array<uint8_t, 256> quickTypeKeyTable;

// Larger texts would take days to type; they are refused rather than read.
constexpr long maxQuickTypeSize = 64L * 1024 * 1024;

enum class TextProblem { None, Busy, CannotOpen, Empty, TooBig };

// Starts typing a file's text; the reason when it does not start.
TextProblem startQuickTypeFrom(Machine& m, const std::string& path);
// Both return true when typing started (a readable, non-empty text; not already typing).
bool startQuickTypeFile(Machine& m, const std::string& path);
bool startQuickTypeText(Machine& m, const std::string& text);
void quickTypeStep(Machine& m);
void cancelQuickType(Machine& m);
// Characters typed so far and in all (line ends counted as typed).
int quickTypePercent(const Machine& m);
// CR, LF and CR LF each become one CR, the ENTER of the key table.
std::vector<uint8_t> normaliseLineEnds(const std::vector<uint8_t>& text);
