#include "PhoneLine.h"
#include "ScriptedTransport.h"
#include "call/CallControl.h"
#include "call/Handset.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"

#include <QTest>

// The Handset button of an attached telephone: the exact lines, and what the button shows.
class TestHandset : public QObject {
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void endOrALostModemLeavesTheSpeakerphone_data();
    void endOrALostModemLeavesTheSpeakerphone();
};

namespace {

using Latch = PhoneView::Latch;

// What the button shows agrees with whether the handset has the call.
void checkShows(Phone& phone, bool handset) {
    QCOMPARE(phone.handset().inUse(), handset);
    QCOMPARE(phone.face().latched(Latch::Handset), handset);
    QCOMPARE(phone.face().handsetToolTip(),
             handset ? QStringLiteral("Back to Speakerphone") : QStringLiteral("Pick Up Handset"));
}

} // namespace

void TestHandset::steps_data() {
    // C a connected call, c a call not yet connected, H Handset pressed, X the call over without
    // End (CallActive cleared), 5 firmware whose speakerphone is #VLS=5.
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("handset");
    QTest::newRow("outside a call") << "H" << QByteArray() << false;
    QTest::newRow("before the voice connection") << "cH" << QByteArray() << false;
    QTest::newRow("to the handset") << "CH" << QByteArray("AT#VLS=8\r") << true;
    QTest::newRow("and back") << "CHH" << QByteArray("AT#VLS=8\rAT#VLS=6\r") << false;
    QTest::newRow("back on firmware with #VLS=5") << "5CHH" << QByteArray("AT#VLS=8\rAT#VLS=5\r") << false;
    QTest::newRow("the call went without End") << "CHXH" << QByteArray("AT#VLS=8\r") << false;
}

void TestHandset::steps() {
    QFETCH(QString, steps);
    QFETCH(QByteArray, written);
    QFETCH(bool, handset);
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    QVERIFY(line.reportConnection()); // a connection alone is no call
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'C':
        case 'c':
            line.startCall(step == QLatin1Char('C'));
            break;
        case 'H':
            phone.handset().cmdHandset_Click();
            break;
        case 'X':
            phone.calls().dropCall();
            break;
        case '5':
            line.store().write(Settings::IntString, QStringLiteral("AT#CLS=8#VLS=5"));
            break;
        }
    }
    QCOMPARE(line.written(), written);
    checkShows(phone, handset);
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestHandset::endOrALostModemLeavesTheSpeakerphone_data() {
    QTest::addColumn<bool>("end"); // else the modem vanishes
    QTest::newRow("End") << true;
    QTest::newRow("modem lost") << false;
}

void TestHandset::endOrALostModemLeavesTheSpeakerphone() {
    QFETCH(bool, end);
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    line.startCall(true);
    phone.handset().cmdHandset_Click();
    checkShows(phone, true);
    if (!end) {
        line.modem()->vanish();
        QVERIFY(line.waitUntil([&phone] { return !phone.handset().inUse(); }));
        checkShows(phone, false);
        return;
    }
    phone.calls().cmdEnd_Click();
    checkShows(phone, false);
    QCOMPARE(line.written(), QByteArray("AT#VLS=8\rATH\rAT#CLS=8#VLS=6#CID=1\r"));
    // The initialisation line selected the speakerphone; the next call goes to the handset again.
    line.startCall(true);
    phone.handset().cmdHandset_Click();
    QCOMPARE(line.written(), QByteArray("AT#VLS=8\r"));
    checkShows(phone, true);
}

QTEST_GUILESS_MAIN(TestHandset)
#include "tst_handset.moc"
