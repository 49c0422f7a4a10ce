#include "call/CommandLines.h"

#include <QTest>

// The exact bytes of every command line.
class TestCommandLines : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void keypad();
    void dialable_data();
    void dialable();
};

void TestCommandLines::lines_data() {
    using namespace CommandLines;
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    const QString n = QStringLiteral("5551234");
    QTest::newRow("prefix") << prefix() << "AT#VRN=0\r";
    QTest::newRow("dial plain") << dial(n, false, false) << "ATDT5551234\r";
    QTest::newRow("dial no caller ID") << dial(n, true, false) << "ATDT*67,5551234\r";
    QTest::newRow("dial no call waiting") << dial(n, false, true) << "ATDT*70,5551234\r";
    QTest::newRow("dial both") << dial(n, true, true) << "ATDT*67,*70,5551234\r";
    QTest::newRow("dial with pauses") << dial(QStringLiteral("9,,555#"), false, false) << "ATDT9,,555#\r";
    QTest::newRow("answer") << answer() << "ATA\r";
    QTest::newRow("hang up") << hangUp() << "ATH\r";
    QTest::newRow("reset") << reset() << "ATZ\r";
    QTest::newRow("speaker 5") << speakerLevel(5) << "AT#SPK=,5,,\r";
    QTest::newRow("speaker 15") << speakerLevel(15) << "AT#SPK=,15,,\r";
    QTest::newRow("speaker 0") << speakerLevel(0) << "AT#SPK=,0,,\r";
    QTest::newRow("gain 2, one blank") << microphoneGain(2) << "AT#SPK=,,2 \r";
    QTest::newRow("hold on") << holdOn() << "AT#SPK=0,16,,\r";
    QTest::newRow("hold off") << holdOff(5) << "AT#SPK=1,5,0\r";
    QTest::newRow("mute on") << muteOn() << "AT#SPK=0,,,\r";
    QTest::newRow("mute off") << muteOff() << "AT#SPK=1,,,\r";
    QTest::newRow("flash") << flash() << "AT#VTS=!\r";
    QTest::newRow("handset") << handset() << "AT#VLS=8\r";
    QTest::newRow("speakerphone") << speakerphone(QStringLiteral("AT#CLS=8#VLS=6#CID=1\r")) << "AT#VLS=6\r";
    QTest::newRow("speakerphone of firmware with 5") << speakerphone(QStringLiteral("at#cls=8#vls=5")) << "AT#VLS=5\r";
    QTest::newRow("speakerphone, none selected") << speakerphone(QStringLiteral("AT#CLS=8")) << "AT#VLS=6\r";
    QTest::newRow("speakerphone, the last selection counts")
        << speakerphone(QStringLiteral("AT#VLS=5#CLS=8#VLS=6")) << "AT#VLS=6\r";
    QTest::newRow("speakerphone, 5 is not 55") << speakerphone(QStringLiteral("AT#VLS=55")) << "AT#VLS=6\r";
}

void TestCommandLines::lines() {
    QFETCH(QString, line);
    QFETCH(QString, expected);
    QCOMPARE(line, expected);
}

void TestCommandLines::keypad() {
    const QString symbols = QStringLiteral("123456789*0#");
    for (int i = 0; i < 12; ++i) {
        QCOMPARE(CommandLines::keypadSymbol(i), symbols.at(i));
        QCOMPARE(CommandLines::tone(i), QStringLiteral("AT#VBT=1#VTS=") + symbols.at(i) + QLatin1Char('\r'));
    }
    QCOMPARE(CommandLines::keypadSymbol(12), QChar());
}

void TestCommandLines::dialable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("plain digits") << "5551234"
                                  << "5551234";
    QTest::newRow("punctuation") << "(555) 123-4567"
                                 << "5551234567";
    QTest::newRow("star hash pause") << "*67,555#"
                                     << "*67,555#";
    QTest::newRow("letters and plus") << "+1 800 FLOWERS"
                                      << "1800";
    QTest::newRow("non-ASCII digits") << QString::fromUtf8("\u0661\u0662 34") << "34";
    QTest::newRow("empty") << ""
                           << "";
}

void TestCommandLines::dialable() {
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(CommandLines::dialable(text), expected);
}

QTEST_GUILESS_MAIN(TestCommandLines)
#include "tst_commandlines.moc"
