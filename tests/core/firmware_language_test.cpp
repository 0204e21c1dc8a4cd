// The language of the built-in BASIC through the real machine: numbers,
// strings and their garbage collection, arrays, errors, graphics, INPUT and
// INKEY$, packed type-in lines, and the old defects that must stay fixed.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "firmware_harness.h"

namespace {
struct Case {
    const char* input;
    const char* shown;
};

void runCases(const Case* begin, const Case* end, int settle = 30) {
    for (const Case* c = begin; c != end; ++c) {
        BasicMachine b;
        b.type(c->input, settle);
        EXPECT_TRUE(b.shows(c->shown)) << c->input << "\nwanted: " << c->shown << "\n" << b.screen();
    }
}

// RND ^ SQR LOG EXP SIN COS TAN are assembled only when the ROM has room for them.
bool romHasFunctions() {
    std::ifstream in(TOVRIN_ROM_SYM);
    std::string word;
    while (in >> word)
        if (word == "fpsint") return true;
    return false;
}

void pressBreak(BasicMachine& b) {
    b.m->keyboard.emulatedKeyState[vkEscape] = 0x80;
    b.runFrames(5);
    b.m->keyboard.emulatedKeyState[vkEscape] = 0;
    b.runFrames(5);
}
}  // namespace

TEST(FirmwareLanguage, PrintsNumbers) {
    const Case cases[] = {
        {"PRINT 1/3;-.25;.5\r", " .333333333 -.25  .5 "},
        {"PRINT 2147483648\r", " 2.14748365E+09 "},
        {"PRINT .001;1.5E-5;1E+10\r", " 1E-03  1.5E-05  1E+10 "},
        {"PRINT 123456789;0;-1\r", " 123456789  0 -1 "},
        {"PRINT 7/-2;10-2-3;2+3*4;-(2)\r", "-3.5  5  14 -2 "},
        {"X=1.5:B=.:PRINT X;B;INT(-1.5);ABS(-2);SGN(-3)\r", " 1.5  0 -2  2 -1 "},
        {"PRINT 3>2;2>=3;1<>1;NOT 0;5 AND 3;5 OR 2;-1 AND 255\r", "-1  0  0 -1  1  7  255 "},
    };
    runCases(std::begin(cases), std::end(cases));
}

TEST(FirmwareLanguage, PowersAndRandomNumbers) {
    const Case cases[] = {
        {"PRINT 2^3^2;-2^2;2^10;2^-1\r", " 64 -4  1024  .5 "},
        {"X=RND(6):PRINT X>0 AND X<7;RND(1);RND(0)<1\r", "-1  1 -1 "},
    };
    runCases(std::begin(cases), std::end(cases), 120);
}

TEST(FirmwareLanguage, TheOptionalFunctionsOfThePackage) {
    if (!romHasFunctions()) GTEST_SKIP() << "the functions are not assembled into this ROM";
    const Case cases[] = {
        {"PRINT SQR(16);INT(LOG(EXP(2))+.5)\r", " 4  2 "},
        {"PRINT SQR(-1)\r", "?FC ERROR"},
    };
    runCases(std::begin(cases), std::end(cases), 120);
}

TEST(FirmwareLanguage, StringsAndTheirFunctions) {
    const Case cases[] = {
        {"A$=\"HELLO\":PRINT LEN(A$);LEFT$(A$,2);RIGHT$(A$,3);MID$(A$,2,3);MID$(A$,4);MID$(A$,9);\"!\"\r",
         " 5 HELLOELLLO!"},
        {"PRINT STR$(1)+STR$(-2)+\"!\"\r", " 1-2!"},
        {"PRINT RIGHT$(\"AB\",5);RIGHT$(\"AB\",0);RIGHT$(\"\",1);MID$(\"ABC\",3,9);\"!\"\r", "ABC!"},
        {"PRINT STR$(12);VAL(\" -3.5E1X\");VAL(\"X\");ASC(\"A\");CHR$(66)\r", " 12-35  0  65 B"},
        {"PRINT \"AB\"<\"AC\";\"B\">\"AB\";\"AB\"=\"AB\";\"A\"<\"AB\";\"B\"<\"A\"\r", "-1 -1 -1 -1  0 "},
        // strings that agree over more than 128 characters still compare by content
        {"10 CLEAR 1000:FOR I=1 TO 150:A$=A$+\"A\":NEXT\r20 B$=A$+\"B\":A$=A$+\"A\":PRINT A$<B$;A$=B$;B$>A$\rRUN\r",
         "-1  0 -1 "},
        {"A$=\"lower\"+CHR$(33):PRINT A$;LEFT$(A$,200)\r", "lower!lower!"},
        {"10 CLEAR 1000:DIM B$(20)\r20 FOR I=1 TO 1000:A$=A$+\"X\":IF LEN(A$)>50 THEN A$=\"\"\r"
         "30 B$(I AND 15)=STR$(I):NEXT\r40 FOR I=0 TO 15:S=S+VAL(B$(I)):NEXT:PRINT S;LEN(A$);B$(3)\rRUN\r",
         " 15880  31  995 "},
        {"10 READ A$,B$,C:PRINT A$;\"/\";B$;C\r20 DATA \"X, Y\",  Z W ,3\rRUN\r", "X, Y/Z W  3 "},
    };
    runCases(std::begin(cases), std::end(cases), 2000);
}

TEST(FirmwareLanguage, Arrays) {
    const Case cases[] = {
        {"DIM A(3,4):A(3,4)=7:A(0,0)=1:A(2,1)=5:PRINT A(3,4)+A(0,0);A(2,1);A(1,2)\r", " 8  5  0 "},
        {"B(10)=5:C$(2)=\"S\":PRINT B(10);C$(2);B(0)\r", " 5 S 0 "},
        {"N=5:DIM A(N):A(5)=3:PRINT A(5);N\r", " 3  5 "},
        {"D(1,2,3)=4:PRINT D(1,2,3);D(10,10,10)\r", " 4  0 "},
        {"X=3:PRINT VARPTR(X)=VARPTR(X);PEEK(VARPTR(X))\r", "-1  130 "},
    };
    runCases(std::begin(cases), std::end(cases));
}

TEST(FirmwareLanguage, ErrorsNameTheirCode) {
    const Case cases[] = {
        {"A$=1\r", "?TM ERROR"},
        {"PRINT ASC(\"\")\r", "?FC ERROR"},
        {"PRINT 1E38*10\r", "?OV ERROR"},
        {"PRINT 1/0\r", "?/0 ERROR"},
        {"B(11)=1\r", "?BS ERROR"},
        {"DIM Q(2):DIM Q(3)\r", "?DD ERROR"},
        {"DIM Q(2):Q(1,1)=0\r", "?BS ERROR"},
        {"INPUT A\r", "?ID ERROR"},
        {"CONT\r", "?CN ERROR"},
        {"CLEAR 1000:A$=\"XXXXXXXXXX\":FOR I=1 TO 9:A$=A$+A$:NEXT\r", "?LS ERROR"},
        {"CLEAR 10:A$=\"1234567890\"+\"X\"\r", "?OS ERROR"},
        {"A$=\"X\":B$=A$+(A$+(A$+(A$+(A$+A$))))\r", "?ST ERROR"},
        {"10 PRINT 1+\rRUN\r", "?SN ERROR IN 10"},
        {"10 DIM Z(MEM/5-60)\r20 GOSUB 20\rRUN\r", "?OM ERROR IN 20"},
    };
    runCases(std::begin(cases), std::end(cases), 300);
}

TEST(FirmwareLanguage, PrintPlacesItsOutput) {
    BasicMachine b;
    b.type("CLS:PRINT TAB(40);\"X\":PRINT@42,\"TEXT\",,,\r", 10);
    EXPECT_EQ(b.screen().substr(33 + 8, 1), "X") << b.screen();
    EXPECT_EQ(b.screen().substr(33 + 10, 4), "TEXT") << b.screen();
    b.type("CLS:PRINTCHR$(65);:PRINT\"B\";TAB(3);\"C\";TAB(1);\"D\"\r", 10);
    EXPECT_EQ(b.screen().substr(0, 6), "AB CD ") << b.screen();
    b.type("CLS:?1,2,3\r", 10);
    EXPECT_EQ(b.screen().substr(0, 33 + 3), " 1" + std::string(15, ' ') + "2" + std::string(14, ' ') + "\n 3 ") << b.screen();
}

TEST(FirmwareLanguage, SemigraphicsSetResetPoint) {
    BasicMachine b;
    b.type("CLS:SET(0,0,3):SET(1,1,3):SET(63,31,2):PRINT@64,POINT(0,0);POINT(1,0);POINT(1,1);POINT(5,5)\r", 10);
    EXPECT_EQ(b.peek(0x4000), 0x80 | 0x20 | 0x08 | 0x01);
    EXPECT_EQ(b.peek(0x41FF), 0x80 | 0x10 | 0x01);
    EXPECT_TRUE(b.shows(" 3  0  3 -1 ")) << b.screen();
    b.type("RESET(0,0)\r", 5);
    EXPECT_EQ(b.peek(0x4000), 0x80 | 0x20 | 0x01);
    b.type("CLS 3\r", 5);
    EXPECT_EQ(b.peek(0x4100), 0x80 | 0x20 | 0x0F);
}

TEST(FirmwareLanguage, InputRedoExtraAndInkey) {
    BasicMachine b;
    b.type("10 INPUT \"NAME\";N$,A:PRINT N$;A\r20 INPUT B,C:PRINT B;C\rRUN\rBOB,X\rBOB,7\r5,6,7\r", 30);
    EXPECT_TRUE(b.shows("NAME? BOB,X")) << b.screen();
    EXPECT_TRUE(b.shows("?REDO")) << b.screen();
    EXPECT_TRUE(b.shows("NAME? BOB,7")) << b.screen();
    EXPECT_TRUE(b.shows("BOB 7")) << b.screen();
    EXPECT_TRUE(b.shows("?EXTRA IGNORED")) << b.screen();
    EXPECT_TRUE(b.shows(" 5  6 ")) << b.screen();
    BasicMachine k;
    k.type("10 A$=INKEY$:IF A$=\"\" THEN 10\r20 PRINT \"GOT\";A$\rRUN\r", 10);
    EXPECT_FALSE(k.shows("GOTQ")) << k.screen();
    k.type("Q", 10);
    EXPECT_TRUE(k.shows("GOTQ")) << k.screen();
}

TEST(FirmwareLanguage, PackedTypeInLines) {
    const Case cases[] = {
        {"FORI=1TO3:PRINTI;:NEXT\r", " 1  2  3 "},
        {"IFX<1THENX=62\rPRINTX\r", " 62 "},
        {"G=5:K=17000:POKEK,0:Y=10:Y=Y-(GAND4ANDNOTPEEK(K))/4:PRINTY\r", " 9 "},
        {"10 IFINKEY$<>CHR$(13)THEN30\r20 END\r30 PRINT\"NOKEY\"\rRUN\r", "NOKEY"},
        {"B=.:PRINTB;\"Low\"+CHR$(128)\r", " 0 Low#"},
    };
    runCases(std::begin(cases), std::end(cases));
}

TEST(FirmwareLanguage, DeepNestingStopsWithOutOfMemoryAndKeepsTheProgram) {
    BasicMachine b;
    b.type("5 DIM Z(MEM/5-60)\r10 A=1+(2+(3+(4+(5+(6+(7)))))):GOSUB 10\rRUN\r", 60);
    EXPECT_TRUE(b.shows("?OM ERROR IN 10")) << b.screen();
    b.type("CLS\rLIST\r", 10);
    EXPECT_TRUE(b.shows("10 A=1+(2+(3+(4+(5+(6+(7)))))):G\nOSUB 10 ")) << b.screen();

    BasicMachine f;  // memory nearly full
    f.type("10 DIM A(MEM/5-20)\r20 PRINT ((((((((((((((((((((1))))))))))))))))))))\rRUN\r", 30);
    EXPECT_TRUE(f.shows("?OM ERROR IN 20")) << f.screen();
    f.type("CLS\rLIST\r", 10);
    EXPECT_TRUE(f.shows("10 DIM A(MEM/5-20)")) << f.screen();
}

TEST(FirmwareLanguage, LoopsOfJumpsStopOnBreak) {
    const char* loops[] = {"10 GOTO 10\r", "10 IF 1 THEN 10\r", "10 ON 1 GOTO 10\r", "10 PRINT TAB(40);:GOTO 10\r"};
    for (const char* l : loops) {
        BasicMachine b;
        b.type(std::string(l) + "RUN\r", 10);
        pressBreak(b);
        EXPECT_TRUE(b.shows("BREAK IN 10")) << l << "\n" << b.screen();
    }
}

TEST(FirmwareLanguage, ContAfterTheEndAndMemAgreesWithTheBanner) {
    BasicMachine b;
    b.type("10 STOP\r20 PRINT \"END\"\rRUN\rCONT\rCONT\r", 20);
    EXPECT_TRUE(b.shows("END" + std::string(29, ' ') + "\nOK")) << b.screen();
    EXPECT_TRUE(b.shows("?CN ERROR")) << b.screen();

    BasicMachine f;  // STOP inside FOR and GOSUB: CONT carries on with both
    f.type("10 GOSUB 20:PRINT \"R\":END\r20 FOR I=1 TO 2:PRINT I;:STOP:NEXT:RETURN\rRUN\rCONT\rCONT\r", 20);
    EXPECT_TRUE(f.shows(" 2 ")) << f.screen();
    EXPECT_TRUE(f.shows("R" + std::string(31, ' ') + "\nOK")) << f.screen();
    EXPECT_FALSE(f.shows("?NF")) << f.screen();

    BasicMachine m;
    std::string s = m.screen();
    long banner = std::stol(s.substr(s.find('\n') + 1));
    m.type("PRINT MEM\r", 5);
    s = m.screen();
    EXPECT_EQ(std::stol(s.substr(s.rfind("PRINT MEM") + 33)), banner) << s;
}
