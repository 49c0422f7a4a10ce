#include "ModemLine.h"
#include "console/frmPhone.h"
#include "platform/Controls.h"

#include <QTest>
#include <QTimer>

// A whole day on the telephone over a real pseudo-terminal, with a modem that answers every line
// as a voice modem does: a call out, hung up, then a call in, answered automatically and hung up.
class TestCallFlow : public QObject {
    Q_OBJECT
private slots:
    void callOutThenCallIn();
};

void TestCallFlow::callOutThenCallIn() {
    const QByteArray ok("\r\nOK\r\n");
    const QByteArray vcon("\r\nVCON\r\n");
    const QByteArray ring("\r\nRING\r\n");
    ModemLine line;
    line.rig.store().write(Settings::Modem, QStringLiteral("AutoAns"), QStringLiteral("True"));
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    PhoneState& state = phone.state;
    SharedState& shared = line.rig.shared;

    // Out: the far end picks up after two seconds of ringing.
    line.answer("AT#VRN=0\r", ok);
    line.when("ATDT5551234\r",
              [&] { QTimer::singleShot(line.rig.clock.realMilliseconds(2), &line, [&] { line.send(vcon); }); });
    line.answer("AT#SPK=,5,,\r", ok);
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    QTest::keyClick(&phone, Qt::Key_Return);
    QVERIFY(shared.CallActive);
    QVERIFY(state.VoiceConnected);
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("In Use"));
    QVERIFY(phone.picInuse[1]->isVisible());
    QCOMPARE(line.rig.store().read(Settings::Modem, QStringLiteral("LastDialed")), QStringLiteral("5551234"));

    line.answer("ATH\r", ok);
    line.answer("AT#CLS=8#VLS=6#CID=1\r", ok);
    QTest::mouseClick(phone.cmdEnd, Qt::LeftButton);
    QVERIFY(!shared.CallActive);
    QVERIFY(!state.VoiceConnected);
    QCOMPARE(phone.txtNumberOut->text(), QString());
    QVERIFY(phone.picInuse[0]->isVisible());
    QTRY_COMPARE(state.ModemText, QString::fromLatin1(ok)); // the modem took the initialisation line

    // In: a ring, the caller ID, and another ring while the call waits to be answered.
    line.answer("ATA\r", vcon);
    line.send(ring);
    QTRY_COMPARE(state.ModemText, QString::fromLatin1(ring));
    QObject scope;
    connect(phone.txtName, &QLineEdit::textChanged, &scope, [&](const QString& name) {
        if (name == QLatin1String("JOHN SMITH")) {
            QTimer::singleShot(line.rig.clock.realMilliseconds(2), &scope, [&] { line.send(ring); });
        }
    });
    const double reported = line.send("\r\nDATE = 1207\r\nTIME = 1205\r\nNMBR = 4075551212\r\nNAME = SMITH,JOHN\r\n");
    QTRY_VERIFY(shared.CallActive && state.VoiceConnected);
    QVERIFY(line.writtenAt("ATA\r") - reported >= 5.5);
    QCOMPARE(phone.txtName->text(), QStringLiteral("JOHN SMITH"));
    QCOMPARE(phone.txtNumberIn->text(), QStringLiteral("555-1212"));
    QCOMPARE(phone.txtStatus->text(), QStringLiteral("In Use"));
    QCOMPARE(state.LastReportNumber, QStringLiteral("4075551212"));
    QVERIFY(!state.IncomingCall);
    QVERIFY(shared.AutoAns);

    line.answer("ATH\r", ok);
    line.answer("AT#CLS=8#VLS=6#CID=1\r", ok);
    QTest::mouseClick(phone.cmdEnd, Qt::LeftButton);
    QVERIFY(!shared.CallActive);
    QCOMPARE(phone.txtName->text(), QString());

    QVERIFY(line.pty.waitForReceived("ATA\rATH\rAT#CLS=8#VLS=6#CID=1\r"));
    QCOMPARE(line.pty.received(), QByteArray("AT#VRN=0\rATDT5551234\rAT#SPK=,5,,\r"
                                             "ATH\rAT#CLS=8#VLS=6#CID=1\r"
                                             "ATA\r"
                                             "ATH\rAT#CLS=8#VLS=6#CID=1\r"));
    QVERIFY(line.rig.messages.boxes.isEmpty());
}

QTEST_MAIN(TestCallFlow)
#include "tst_callflow.moc"
