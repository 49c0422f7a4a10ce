#include "AttachedPhoneTest.h"
#include "call/CallControl.h"
#include "call/Handset.h"
#include "console/frmPhone.h"
#include "platform/Controls.h"

#include <QTest>

// The Handset button against an attached window: the exact lines, and what the button shows.
class TestHandset : public AttachedPhoneTest {
    Q_OBJECT
private slots:
    void steps_data();
    void steps();
    void endOrALostModemLeavesTheSpeakerphone_data();
    void endOrALostModemLeavesTheSpeakerphone();
};

namespace {

const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

// What the button shows agrees with whether the handset has the call.
void checkShows(frmPhone& phone, bool handset) {
    QCOMPARE(phone.handset().inUse(), handset);
    QCOMPARE(phone.cmdHandset->captionColor(), handset ? Red : Black);
    QCOMPARE(phone.cmdHandset->toolTip(),
             handset ? QStringLiteral("Back to Speakerphone") : QStringLiteral("Pick Up Handset"));
    QCOMPARE(phone.cmdHandset->text(), QStringLiteral("Handset"));
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
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    phone.state.VoiceConnected = true; // a connection alone is no call
    for (const QChar step : steps) {
        switch (step.toLatin1()) {
        case 'C':
        case 'c':
            t.startCall(step == QLatin1Char('C'));
            break;
        case 'H':
            QTest::mouseClick(phone.cmdHandset, Qt::LeftButton);
            break;
        case 'X':
            t.rig.shared.CallActive = false;
            break;
        case '5':
            t.rig.store().write(Settings::Modem, QStringLiteral("IntString"), QStringLiteral("AT#CLS=8#VLS=5"));
            break;
        }
    }
    QCOMPARE(t.written(), written);
    checkShows(phone, handset);
    QVERIFY(t.rig.messages.boxes.isEmpty());
}

void TestHandset::endOrALostModemLeavesTheSpeakerphone_data() {
    QTest::addColumn<bool>("end"); // else the modem vanishes
    QTest::newRow("End") << true;
    QTest::newRow("modem lost") << false;
}

void TestHandset::endOrALostModemLeavesTheSpeakerphone() {
    QFETCH(bool, end);
    AttachedPhone& t = attached();
    frmPhone& phone = *t.phone;
    t.startCall(true);
    QTest::mouseClick(phone.cmdHandset, Qt::LeftButton);
    QVERIFY(phone.handset().inUse());
    if (!end) {
        t.pty.closeMaster();
        QTRY_VERIFY(!phone.handset().inUse());
        checkShows(phone, false);
        return;
    }
    QTest::mouseClick(phone.cmdEnd, Qt::LeftButton);
    checkShows(phone, false);
    // The initialisation line selected the speakerphone; the next call goes to the handset again.
    t.startCall(true);
    QTest::mouseClick(phone.cmdHandset, Qt::LeftButton);
    QCOMPARE(t.written(), QByteArray("AT#VLS=8\rATH\rAT#CLS=8#VLS=6#CID=1\rAT#VLS=8\r"));
    checkShows(phone, true);
}

QTEST_MAIN(TestHandset)
#include "tst_handset.moc"
