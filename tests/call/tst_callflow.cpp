#include "PhoneLine.h"
#include "call/CallControl.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"

#include <QTest>

// A whole day on the telephone, with a modem that answers every line as a voice modem does: a
// call out, hung up, then a call in, answered automatically and hung up.
class TestCallFlow : public QObject {
    Q_OBJECT
private slots:
    void callOutThenCallIn();
};

void TestCallFlow::callOutThenCallIn() {
    using Box = PhoneView::Box;
    using Light = PhoneView::Light;
    const QByteArray ok("\r\nOK\r\n");
    const QByteArray vcon("\r\nVCON\r\n");
    const QByteArray ring("\r\nRING\r\n");
    PhoneLine line;
    line.store().write(Settings::AutoAns, QStringLiteral("True"));
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    PhoneState& state = phone.state;
    SharedState& shared = line.shared;

    // Out: the far end picks up after two seconds of ringing.
    line.answer("AT#VRN=0\r", ok);
    line.when("ATDT5551234\r", [&] { line.waiter.after(2, &line, [&] { line.send(vcon); }); });
    line.answer("AT#SPK=,5,,\r", ok);
    face.setText(Box::NumberOut, QStringLiteral("5551234"));
    QVERIFY(phone.Form_KeyPress(13)); // Enter; returns once connected
    QVERIFY(shared.CallActive);
    QVERIFY(state.VoiceConnected);
    QCOMPARE(face.text(Box::Status), QStringLiteral("In Use"));
    QVERIFY(face.lit(Light::InUse));
    QCOMPARE(line.store().read(Settings::LastDialed), QStringLiteral("5551234"));

    line.answer("ATH\r", ok);
    line.answer("AT#CLS=8#VLS=6#CID=1\r", ok);
    phone.calls().cmdEnd_Click();
    QVERIFY(!shared.CallActive);
    QVERIFY(!state.VoiceConnected);
    QCOMPARE(face.text(Box::NumberOut), QString());
    QVERIFY(!face.lit(Light::InUse));
    // The modem took the initialisation line.
    QVERIFY(line.waitUntil([&] { return state.ModemText == QString::fromLatin1(ok); }));

    // In: a ring, the caller ID, and another ring while the call waits to be answered.
    line.answer("ATA\r", vcon);
    line.send(ring);
    QVERIFY(line.waitUntil([&] { return state.ModemText == QString::fromLatin1(ring); }));
    const double reported = line.send("\r\nDATE = 1207\r\nTIME = 1205\r\nNMBR = 4075551212\r\nNAME = SMITH,JOHN\r\n");
    QVERIFY(line.waitUntil([&] { return face.text(Box::Name) == QLatin1String("JOHN SMITH"); }, 5));
    line.waiter.after(2, &line, [&] { line.send(ring); });
    QVERIFY(line.waitUntil([&] { return shared.CallActive && state.VoiceConnected; }));
    QVERIFY(line.writtenAt("ATA\r") - reported >= 5.5);
    QCOMPARE(face.text(Box::Name), QStringLiteral("JOHN SMITH"));
    QCOMPARE(face.text(Box::NumberIn), QStringLiteral("555-1212"));
    QCOMPARE(face.text(Box::Status), QStringLiteral("In Use"));
    QCOMPARE(state.LastReportNumber, QStringLiteral("4075551212"));
    QVERIFY(!state.IncomingCall);
    QVERIFY(shared.AutoAns);

    line.answer("ATH\r", ok);
    line.answer("AT#CLS=8#VLS=6#CID=1\r", ok);
    phone.calls().cmdEnd_Click();
    QVERIFY(!shared.CallActive);
    QCOMPARE(face.text(Box::Name), QString());

    QCOMPARE(line.written(), QByteArray("AT#VRN=0\rATDT5551234\rAT#SPK=,5,,\r"
                                        "ATH\rAT#CLS=8#VLS=6#CID=1\r"
                                        "ATA\r"
                                        "ATH\rAT#CLS=8#VLS=6#CID=1\r"));
    QVERIFY(line.messages.boxes.isEmpty());
}

QTEST_GUILESS_MAIN(TestCallFlow)
#include "tst_callflow.moc"
