// The built-in BASIC through the real CPU and machine: boot, the line editor,
// the interpreter and its errors.
#include <gtest/gtest.h>

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
    EXPECT_TRUE(b.shows("BACK-3 ")) << b.screen();
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
        {"20 A=30000+30000\r", "?OV ERROR IN 20"},
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
