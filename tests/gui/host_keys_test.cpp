// Key translation (X key codes and Qt keys to Windows virtual-key codes) and the host
// key state the emulated keyboard reads.
#include <QKeyEvent>
#include <QtTest>

#include "host_keys.h"

class HostKeysTest : public QObject {
    Q_OBJECT
private slots:
    void scanCodesFollowUsKeyPositions() {
        // X key code = Linux input code + 8.
        struct { uint32_t code; uint8_t vk; } cases[] = {
            {9, 0x1B},                                  // Escape: BREAK
            {10, '1'}, {19, '0'}, {20, 0xBD}, {21, 0xBB},  // 1 0 - =
            {24, 'Q'}, {34, 0xDB}, {35, 0xDD}, {36, 0x0D},  // Q [ ] Enter
            {38, 'A'}, {47, 0xBA}, {48, 0xDE},          // A ; '
            {50, 0xA0}, {62, 0xA1}, {37, 0xA2}, {105, 0xA3},  // shifts, controls
            {52, 'Z'}, {58, 'M'}, {59, 0xBC}, {60, 0xBE}, {61, 0xBF},  // Z M , . /
            {65, 0x20}, {67, 0x70}, {76, 0x79}, {95, 0x7A}, {96, 0x7B},  // Space F1 F10 F11 F12
            {90, 0x60}, {87, 0x61}, {79, 0x67}, {91, 0x6E}, {104, 0x0D},  // keypad 0 1 7 . Enter
            {106, 0x6F}, {63, 0x6A}, {82, 0x6D}, {86, 0x6B},  // keypad / * - +
            {111, 0x26}, {113, 0x25}, {114, 0x27}, {116, 0x28},  // arrows
            {0, 0}, {7, 0}, {300, 0},
        };
        for (auto c : cases) QCOMPARE(virtualKeyForScanCode(c.code), c.vk);
    }

    void qtKeysFallBackToTheSamePositions() {
        struct { int key; bool keypad; uint32_t sym; uint8_t vk; } cases[] = {
            {Qt::Key_A, false, 0, 'A'}, {Qt::Key_5, false, 0, '5'}, {Qt::Key_Percent, false, 0, '5'},
            {Qt::Key_Minus, false, 0, 0xBD}, {Qt::Key_Colon, false, 0, 0xBA}, {Qt::Key_Question, false, 0, 0xBF},
            {Qt::Key_BracketLeft, false, 0, 0xDB}, {Qt::Key_F9, false, 0, 0x78}, {Qt::Key_F12, false, 0, 0x7B},
            {Qt::Key_Return, false, 0, 0x0D}, {Qt::Key_Escape, false, 0, 0x1B}, {Qt::Key_Left, false, 0, 0x25},
            {Qt::Key_5, true, 0, 0x65}, {Qt::Key_Plus, true, 0, 0x6B}, {Qt::Key_Enter, true, 0, 0x0D},
            {Qt::Key_Shift, false, 0xffe1, 0xA0}, {Qt::Key_Shift, false, 0xffe2, 0xA1},
            {Qt::Key_Control, false, 0, 0xA2}, {Qt::Key_Control, false, 0xffe4, 0xA3},
            {Qt::Key_unknown, false, 0, 0},
        };
        for (auto c : cases) QCOMPARE(virtualKeyForQtKey(c.key, c.keypad, c.sym), c.vk);

        QKeyEvent withScanCode(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, 38, 0, 0, "z");
        QCOMPARE(virtualKeyFor(withScanCode), uint8_t('A'));  // the physical key wins (AZERTY)
        QKeyEvent withoutScanCode(QEvent::KeyPress, Qt::Key_Z, Qt::NoModifier, "z");
        QCOMPARE(virtualKeyFor(withoutScanCode), uint8_t('Z'));
    }

    void sidedModifiersHoldTheGenericCode() {
        HostKeyState keys;
        uint8_t s[256];
        keys.press(0xA0);
        keys.press(0xA1);
        keys.release(0xA0);
        keys.readState(s);
        QCOMPARE(s[0x10], uint8_t(0x80));  // right SHIFT still down
        keys.release(0xA1);
        keys.press(0x11);                  // a sideless CTRL counts as the left one
        keys.press('A');
        keys.readState(s);
        QCOMPARE(s[0x10], uint8_t(0));
        QCOMPARE(s[0xA2], uint8_t(0x80));
        QCOMPARE(s[0x11], uint8_t(0x80));
        QCOMPARE(s[int('A')], uint8_t(0x80));
        keys.releaseAll();
        keys.readState(s);
        for (int i = 0; i < 256; ++i) QCOMPARE(s[i], uint8_t(0));
    }
};

QTEST_MAIN(HostKeysTest)
#include "host_keys_test.moc"
