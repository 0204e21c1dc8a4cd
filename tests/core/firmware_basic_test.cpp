// The built-in BASIC through the real CPU and machine: boot, the line editor,
// the interpreter and its errors.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "firmware_harness.h"

TEST(FirmwareBasic, BootsWithBannerAndOk) {
    BasicMachine b;
    EXPECT_TRUE(b.shows("TOVRIN BASIC 1.0")) << b.screen();
    EXPECT_TRUE(b.shows("BYTES FREE")) << b.screen();
    EXPECT_TRUE(b.shows("OK")) << b.screen();
}

TEST(FirmwareBasic, PrintsAnExpression) {
    BasicMachine b;
    b.type("PRINT 2+3*4\r");
    EXPECT_TRUE(b.shows(" 14 ")) << b.screen();
}

TEST(FirmwareBasic, TypedProgramRunsAndListsBackAsTyped) {
    BasicMachine b;
    const char* lines[] = {"10 FOR I=1 TO 3:PRINT I;:NEXT", "20 IF I>3 THEN PRINT \"BIG\"",
                           "30 GOSUB 100:PRINT \"BACK\";-7/2", "40 END", "100 PRINT \"SUB\":RETURN"};
    std::string text;
    for (const char* l : lines) text += std::string(l) + "\r";
    b.type(text + "RUN\r", 30);
    EXPECT_TRUE(b.shows(" 1  2  3 BIG")) << b.screen();
    EXPECT_TRUE(b.shows("SUB")) << b.screen();
    EXPECT_TRUE(b.shows("BACK-3.5 ")) << b.screen();
    b.type("CLS\rLIST\r", 30);
    for (const char* l : lines) EXPECT_TRUE(b.shows(l)) << l << "\n" << b.screen();
}

TEST(FirmwareBasic, ErrorsNameTheirCodeAndLine) {
    struct Case {
        const char* program;
        const char* message;
    } cases[] = {
        {"20 PRINT 1+\r", "?SN ERROR IN 20"},
        {"20 GOTO 99\r", "?UL ERROR IN 20"},
        {"20 PRINT 1/0\r", "?/0 ERROR IN 20"},
        {"20 A=1E38*10\r", "?OV ERROR IN 20"},
        {"20 RETURN\r", "?RG ERROR IN 20"},
        {"20 NEXT\r", "?NF ERROR IN 20"},
        {"20 READ A\r", "?OD ERROR IN 20"},
        {"20 DIM A(5):A(6)=1\r", "?BS ERROR IN 20"},
    };
    for (const Case& c : cases) {
        BasicMachine b;
        b.type(std::string(c.program) + "RUN\r", 20);
        EXPECT_TRUE(b.shows(c.message)) << c.message << "\n" << b.screen();
    }
}

TEST(FirmwareBasic, BreakStopsARunningLoopAndContContinues) {
    BasicMachine b;
    b.type("10 A=A+1:GOTO 10\rRUN\r", 20);
    EXPECT_FALSE(b.shows("BREAK"));
    b.m->keyboard.emulatedKeyState[vkEscape] = 0x80;
    b.runFrames(5);
    b.m->keyboard.emulatedKeyState[vkEscape] = 0;
    b.runFrames(5);
    EXPECT_TRUE(b.shows("BREAK IN 10")) << b.screen();
    b.type("CONT\r", 10);
    EXPECT_FALSE(b.shows("?CN")) << b.screen();
}

TEST(FirmwareBasic, StatementsAndFunctions) {
    struct Case {
        const char* input;
        std::string shown;
    } cases[] = {
        {"10 DATA 5,-7\r20 READ A,B:PRINT A;B;A*B;ABS(B);SGN(B)\rRUN\r", " 5 -7 -35  7 -1 "},
        {"PRINT NOT 0;3>2;2>=3;1<>1;5=5 AND 2<1;1 OR 4\r", "-1 -1  0  0  0  5 "},
        {"10 DATA 1,2\r20 READ A:RESTORE:READ B:PRINT A;B\rRUN\r", " 1  1 "},
        {"10 ON 2 GOSUB 30,40:PRINT \"R\":END\r30 PRINT \"F\":RETURN\r40 PRINT \"S\";:RETURN\rRUN\r", "SR"},
        {"10 ON 3 GOTO 30,40:PRINT \"NONE\"\rRUN\r", "NONE"},
        {"DIM Q(3):Q(2)=9:PRINT Q(2);Q(3);2^10;-7/2;7-10\r", " 9  0  1024 -3.5 -3 "},
        {"PRINT TAB(5);\"T\";CHR$(65):PRINT 1,2\r", "     TA "},
        {"PRINT 1,2\r", " 1               2 "},
        {"POKE 17000,77:PRINT PEEK(17000);MEM>1000\r", " 77 -1 "},
        {"10 FOR I=10 TO 1 STEP -3:PRINT I;:NEXT I\rRUN\r", " 10  7  4  1 "},
        {"10 FOR I=1 TO 2:FOR J=1 TO 2:PRINT I*10+J;:NEXT J,I\rRUN\r", " 11  12  21  22 "},
                {"10 INPUT N:PRINT N*2\rRUN\rX\r21\r", "?REDO"},
        {"10 A=5\r20 A=6\r10\rLIST\r", "20 A=6"},
        {"AB=3:AC=4:ABC=5:PRINT AB;AC\r", " 5  4 "},
        {"10 PRINT \"A\";:STOP:PRINT \"B\"\rRUN\rCONT\r", "BREAK IN 10"},
        {"10 CLEAR:A=1:PRINT A;\rRUN\rPRINT A\r", " 1 "},
        {"PRINT@70,\"HI\"\r", "OK    HI"},
        {"10 PRINT 1\r20 PRINT 2\rRUN 20\r", "RUN 20" + std::string(26, ' ') + "\n 2 "},
        {"10 A=1\r20 B=2\r30 C=3\r40 D=4\rLIST 20-30\r", "LIST 20-30" + std::string(22, ' ') + "\n20 B=2" +
                                                              std::string(26, ' ') + "\n30 C=3" + std::string(26, ' ') +
                                                              "\nOK"},
        {"10 A=1\r20 B=2\rLIST -10\r", "LIST -10" + std::string(24, ' ') + "\n10 A=1" + std::string(26, ' ') + "\nOK"},
        {"10 A=1\r20 B=2\r30 C=3\rLIST 20\r", "LIST 20" + std::string(25, ' ') + "\n20 B=2" + std::string(26, ' ') + "\nOK"},
        {"10 A=1\r20 B=2\r30 C=3\rLIST 20-\r", "LIST 20-" + std::string(24, ' ') + "\n20 B=2" + std::string(26, ' ') +
                                                  "\n30 C=3" + std::string(26, ' ') + "\nOK"},
    };
    for (const Case& c : cases) {
        BasicMachine b;
        b.type(c.input, 20);
        EXPECT_TRUE(b.shows(c.shown)) << c.input << "\n" << b.screen();
    }
}

TEST(FirmwareBasic, InputAsksForMissingValues) {
    BasicMachine b;
    b.type("10 INPUT \"N\";N,M:PRINT N*M\rRUN\r3\r-4\r", 20);
    EXPECT_TRUE(b.shows("N? 3 ")) << b.screen();
    EXPECT_TRUE(b.shows("?? -4 ")) << b.screen();
    EXPECT_TRUE(b.shows("-12 ")) << b.screen();
}

namespace {
// Holds one MC-10 key code (bit 6 SHIFT, bit 7 CTRL) for a few frames, then releases.
void press(BasicMachine& b, uint8_t code) {
    pressKeyCode(*b.m, code);
    b.runFrames(3);
    std::memset(b.m->keyboard.emulatedKeyState, 0, 256);
    b.runFrames(3);
}
}  // namespace

TEST(FirmwareKeyboard, ShiftAndCtrlKeysTypeBlocksKeywordsAndModes) {
    BasicMachine b;
    uint8_t colour = b.peek(0x4282) & 0x70;
    press(b, 0x80 | 41);  // CTRL+9: PRINT
    press(b, 0x40 | 17);  // SHIFT+Q: Graphic 0, the full block in the current colour
    press(b, 0x80 | 1);   // CTRL+A: deletes it again
    press(b, 0x40 | 23);  // SHIFT+W: Graphic 1
    EXPECT_TRUE(b.shows("PRINT#")) << b.screen();
    EXPECT_EQ(b.peek(0x4000 + 3 * 32 + 5), 0x80 | colour | 14);
    press(b, 0x80 | 32);  // CTRL+0 steps the colour
    EXPECT_EQ(b.peek(0x4282) & 0x70, (colour + 0x10) & 0x70);
    press(b, 0x40 | 32);  // SHIFT+0: lower case
    EXPECT_EQ(b.peek(0x421C) & 1, 0);
    press(b, 2);          // b
    EXPECT_EQ(b.peek(0x427F), 'b');
    EXPECT_EQ(b.peek(0x4000 + 3 * 32 + 6), 0x02);  // shown as an inverse B
    press(b, 0x40 | 2);   // SHIFT+b in lower-case mode: B
    EXPECT_EQ(b.peek(0x427F), 'B');
}

TEST(FirmwareBasic, KeywordsBecomeTheirTokensInOrder) {
    const std::vector<std::string> keywords = {
        "FOR", "GOTO", "GOSUB", "REM", "IF", "DATA", "PRINT", "ON", "INPUT", "END", "NEXT", "DIM", "READ",
        "LET", "RUN", "RESTORE", "RETURN", "STOP", "POKE", "CONT", "LIST", "CLEAR", "NEW", "CLOAD", "CSAVE",
        "LLIST", "LPRINT", "SET", "RESET", "CLS", "SOUND", "EXEC", "SKIPF", "TAB(", "TO", "THEN", "NOT",
        "STEP", "OFF", "+", "-", "*", "/", "^", "AND", "OR", ">", "=", "<", "SGN", "INT", "ABS", "USR", "RND",
        "SQR", "LOG", "EXP", "SIN", "COS", "TAN", "PEEK", "LEN", "STR$", "VAL", "ASC", "CHR$", "LEFT$",
        "RIGHT$", "MID$", "POINT", "VARPTR", "INKEY$", "MEM"};
    ASSERT_EQ(keywords.size(), 0xC9u - 0x80u);
    BasicMachine b;
    // 16 keywords a line, colon separated; REM and DATA would end the tokenising
    std::string text;
    std::vector<std::vector<uint8_t>> expected;
    for (size_t i = 0; i < keywords.size(); i += 16) {
        std::string line = std::to_string(10 + i) + " ";
        std::vector<uint8_t> bytes;
        for (size_t k = i; k < keywords.size() && k < i + 16; ++k) {
            if (keywords[k] == "REM" || keywords[k] == "DATA") continue;
            line += keywords[k] + ":";
            bytes.push_back(static_cast<uint8_t>(0x80 + k));
            bytes.push_back(':');
        }
        text += line + "\r";
        expected.push_back(bytes);
    }
    b.type(text + "CLS\rLIST\r", 20);
    uint16_t at = 0x4346;
    for (const auto& bytes : expected) {
        for (size_t j = 0; j < bytes.size(); ++j) ASSERT_EQ(b.peek(static_cast<uint16_t>(at + 4 + j)), bytes[j]) << j;
        at = static_cast<uint16_t>((b.peek(at) << 8) | b.peek(static_cast<uint16_t>(at + 1)));
    }
    EXPECT_TRUE(b.shows("10 FOR:GOTO:GOSUB:IF:PRINT:ON:IN")) << b.screen();
    EXPECT_TRUE(b.shows("INKEY$:MEM:")) << b.screen();
    BasicMachine r;
    r.type("10 REM PRINT \"X\"\r20 DATA FOR,1\rLIST\r", 10);
    EXPECT_TRUE(r.shows("10 REM PRINT \"X\"")) << r.screen();
    EXPECT_TRUE(r.shows("20 DATA FOR,1")) << r.screen();
    EXPECT_EQ(r.peek(0x434A), 0x83);
    EXPECT_EQ(r.peek(0x434B), ' ');
    EXPECT_EQ(r.peek(0x434C), 'P');  // not tokenised after REM
}

TEST(FirmwareBasic, SizesTheMemoryAndEditsLines) {
    auto freeBytes = [](BasicMachine& b) {
        b.type("PRINT MEM\r", 5);
        std::string s = b.screen();
        size_t p = s.rfind("PRINT MEM");
        return std::stol(s.substr(p + 33, 8));
    };
    BasicMachine big;
    long withExpansion = freeBytes(big);
    big.type("10 A=1\r20 B=2\r15 C=3\r20\r10 A=4\r", 5);
    EXPECT_EQ(withExpansion - freeBytes(big), 2 * 8);  // two lines of 8 bytes remain
    big.type("CLS\rLIST\r", 10);
    EXPECT_TRUE(big.shows("10 A=4")) << big.screen();
    EXPECT_TRUE(big.shows("15 C=3")) << big.screen();
    EXPECT_FALSE(big.shows("20 B=2")) << big.screen();

    BasicMachine small;
    small.m->settings.expanderflag = 0;
    resetMachine(*small.m, 1);
    small.runFrames(30);
    long standard = freeBytes(small);
    EXPECT_EQ(withExpansion - standard, 16384);
    small.type("DIM A(2000)\r", 5);
    EXPECT_TRUE(small.shows("?OM ERROR")) << small.screen();
}
