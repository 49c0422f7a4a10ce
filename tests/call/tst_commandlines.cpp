#include "call/CommandLines.h"

#include <QTest>

// The exact bytes of every command line.
class TestCommandLines : public QObject {
    Q_OBJECT
private slots:
    void lines_data();
    void lines();
    void keypad();
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

QTEST_GUILESS_MAIN(TestCommandLines)
#include "tst_commandlines.moc"
