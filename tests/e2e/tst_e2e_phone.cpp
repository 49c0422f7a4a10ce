#include "PhoneOnVirtualModem.h"
#include "console/Phone.h"
#include "console/frmPhone.h"
#include "platform/Controls.h"

#include <QTest>
#include <QTimer>

namespace {
const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");
// The modem's report of a busy tone on the line: DLE, "b".
const QString BusyTone = QStringLiteral("\x10") + QLatin1Char('b');

QString textOf(PhoneOnVirtualModem& line, const char* box) {
    return line.control<DisplayBox>(QLatin1String(box))->text();
}

bool lit(PhoneOnVirtualModem& line, const char* lamp) {
    return line.control<Lamp>(QLatin1String(lamp))->isVisible();
}

void click(PhoneOnVirtualModem& line, const char* button) {
    QTest::mouseClick(line.control<CommandButton>(QLatin1String(button)), Qt::LeftButton);
}

} // namespace

// Brisvane's main window against the virtual modem over a real pseudo-terminal: every scenario
// is checked by the whole transcript of what the modem received, byte for byte, and by what the
// window shows.
class TestE2ePhone : public QObject {
    Q_OBJECT
private slots:
    void attach();
    void callOutWithTonesHoldAndMuteHungUpByTheFarEnd();
    void incomingCall_data();
    void incomingCall();
};

void TestE2ePhone::attach() {
    PhoneOnVirtualModem line;
    QVERIFY2(line.attach(), qPrintable(line.modem.errorOutput()));
    QCOMPARE(line.modem.hostBytes(), Init);
    QVERIFY(lit(line, "picPower_1"));
}

void TestE2ePhone::callOutWithTonesHoldAndMuteHungUpByTheFarEnd() {
    PhoneOnVirtualModem line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    const PhoneState& state = line.rig.phone().state;
    const SharedState& shared = line.rig.shared;

    QTest::keyClicks(&phone, QStringLiteral("5551234"));
    // Send runs to its end inside the key press: it dials, and sets the speaker once the modem
    // reports the voice connection.
    QTest::keyClick(&phone, Qt::Key_Return);
    QVERIFY(state.VoiceConnected);
    QCOMPARE(textOf(line, "txtStatus"), QStringLiteral("In Use"));
    QVERIFY(lit(line, "picInuse_1"));
    QCOMPARE(line.rig.store().read(Settings::Modem, QStringLiteral("LastDialed")), QStringLiteral("5551234"));

    QTest::keyClicks(&phone, QStringLiteral("1#"));
    click(line, "cmdHold");
    QCOMPARE(textOf(line, "txtStatus"), QStringLiteral("HOLD"));
    click(line, "cmdHold");
    QCOMPARE(textOf(line, "txtStatus"), QStringLiteral("In Use"));
    click(line, "cmdMute");
    QCOMPARE(textOf(line, "txtStatus"), QStringLiteral("MUTE"));
    click(line, "cmdMute");
    QCOMPARE(textOf(line, "txtStatus"), QStringLiteral("In Use"));

    // The far end hangs up: the modem reports the busy tone, and the call stays until End.
    line.modem.command(QStringLiteral("hangup"));
    QTRY_VERIFY(state.ModemText.contains(BusyTone));
    QVERIFY(shared.CallActive);
    QCOMPARE(textOf(line, "txtStatus"), QStringLiteral("In Use"));

    click(line, "cmdEnd");
    QVERIFY(!shared.CallActive);
    QVERIFY(!state.VoiceConnected);
    QCOMPARE(textOf(line, "txtStatus"), QString());
    QCOMPARE(textOf(line, "txtNumberOut"), QString());
    QVERIFY(lit(line, "picInuse_0"));

    const QByteArray transcript = Init +
                                  "AT#VRN=0\rATDT5551234\rAT#SPK=,5,,\r"
                                  "AT#VBT=1#VTS=1\rAT#VBT=1#VTS=#\r"
                                  "AT#SPK=0,16,,\rAT#SPK=1,5,0\rAT#SPK=0,,,\rAT#SPK=1,,,\r"
                                  "ATH\r" +
                                  Init;
    QVERIFY(line.modem.waitForHostBytes(transcript));
    QCOMPARE(line.modem.hostBytes(), transcript);
    // The modem took every line in the state the call was in when it came.
    QVERIFY(line.modem.waitForModemBytes("ATH\r\r\nOK\r\n" + Init + "\r\nOK\r\n"));
    QVERIFY(!line.modem.modemBytes().contains("ERROR"));
}

void TestE2ePhone::incomingCall_data() {
    QTest::addColumn<QString>("ring"); // the caller, as the modem is told
    QTest::addColumn<bool>("autoAnswer");
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("name");
    QTest::newRow("named caller answered by itself") << "ring 4075551212 SMITH,JOHN" << true << "555-1212"
                                                     << "JOHN SMITH";
    QTest::newRow("named caller answered with Send") << "ring 4075551212 SMITH,JOHN" << false << "555-1212"
                                                     << "JOHN SMITH";
    QTest::newRow("private caller answered by itself") << "ring private" << true << ""
                                                       << "Private";
}

void TestE2ePhone::incomingCall() {
    QFETCH(QString, ring);
    QFETCH(bool, autoAnswer);
    QFETCH(QString, number);
    QFETCH(QString, name);
    PhoneOnVirtualModem line;
    line.rig.store().write(Settings::Modem, QStringLiteral("AutoAns"),
                           autoAnswer ? QStringLiteral("True") : QStringLiteral("False"));
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    const PhoneState& state = line.rig.phone().state;
    // A number waits in the display: while the caller is shown, Send answers instead of dialling.
    QTest::keyClicks(&phone, QStringLiteral("5551234"));
    if (!autoAnswer) {
        // The user answers while the caller is shown.
        connect(line.control<DisplayBox>(QStringLiteral("txtName")), &QLineEdit::textChanged, &phone,
                [&](const QString& shown) {
                    if (shown == name) {
                        QTimer::singleShot(0, &phone, [&] { click(line, "cmdSend"); });
                    }
                });
    }

    line.modem.command(ring);
    QTRY_VERIFY(state.VoiceConnected);
    QCOMPARE(textOf(line, "txtNumberIn"), number);
    QCOMPARE(textOf(line, "txtName"), name);
    QCOMPARE(textOf(line, "txtStatus"), QStringLiteral("In Use"));
    QVERIFY(line.modem.waitForHostBytes(Init + "ATA\r"));
    QCOMPARE(line.modem.hostBytes(), Init + "ATA\r");
}

QTEST_MAIN(TestE2ePhone)
#include "tst_e2e_phone.moc"
