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
            {9, 0x1B}, {19, '0'}, {20, 0xBD}, {21, 0xBB}, {34, 0xDB}, {36, 0x0D}, {38, 'A'},   // Esc 0 - = [ Enter A
            {47, 0xBA}, {50, 0xA0}, {62, 0xA1}, {37, 0xA2}, {105, 0xA3}, {61, 0xBF}, {65, 0x20},  // ; shifts ctrls / Space
            {67, 0x70}, {76, 0x79}, {95, 0x7A}, {96, 0x7B}, {90, 0x60}, {79, 0x67}, {104, 0x0D},  // F1 F10 F11 F12 KP0 KP7 KPEnter
            {111, 0x26}, {116, 0x28}, {0, 0}, {300, 0},                                          // Up Down, none
        };
        for (auto c : cases) QCOMPARE(virtualKeyForScanCode(c.code), c.vk);
    }

    void qtKeysFallBackToTheSamePositions() {
        struct { int key; bool keypad; uint32_t sym; uint8_t vk; } cases[] = {
            {Qt::Key_A, false, 0, 'A'}, {Qt::Key_Percent, false, 0, '5'}, {Qt::Key_Colon, false, 0, 0xBA},
            {Qt::Key_Question, false, 0, 0xBF}, {Qt::Key_F9, false, 0, 0x78}, {Qt::Key_Escape, false, 0, 0x1B},
            {Qt::Key_5, true, 0, 0x65}, {Qt::Key_Enter, true, 0, 0x0D}, {Qt::Key_Shift, false, 0xffe2, 0xA1},
            {Qt::Key_Control, false, 0, 0xA2}, {Qt::Key_unknown, false, 0, 0},
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
