#include "PhoneOnVirtualModem.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
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
    void personas_data();
    void personas();
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

void TestE2ePhone::personas_data() {
    QTest::addColumn<QString>("persona");
    QTest::addColumn<QString>("talk");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QByteArray>("answer"); // the line that answers a caller
    QTest::addColumn<QByteArray>("dial");   // the lines of a dialled call with a tone
    QTest::newRow("cx93001") << "cx93001"
                             << "Telephone"
                             << "V.253, found: CX93001-EIS_V0.2013-V92 CONEXANT" << QByteArray("AT+VLS=1\r")
                             << QByteArray("AT+VLS=1\rATDT5551234\rAT+VTS=5\r");
    QTest::newRow("usr5637") << "usr5637"
                             << "Speakerphone"
                             << "V.253, found: U.S. Robotics" << QByteArray("AT+VLS=7\r")
                             << QByteArray("AT+VLS=7\rATDT5551234\rAT+VGS=85\rAT+VTS=5\r");
    QTest::newRow("rockwell") << "rockwell"
                              << "Telephone"
                              << "Rockwell, found: " << QByteArray("ATA\r")
                              << QByteArray("AT#VRN=0\rATDT5551234\rAT#SPK=,5,,\rAT#VBT=1#VTS=5\r");
}

// "Detect" with each kind of modem the virtual one plays: the right set, its callers shown and
// answered, a call dialled with a tone, both hung up.
void TestE2ePhone::personas() {
    QFETCH(QString, persona);
    QFETCH(QString, talk);
    QFETCH(QString, found);
    QFETCH(QByteArray, answer);
    QFETCH(QByteArray, dial);
    PhoneOnVirtualModem line;
    line.rig.store().write(Settings::CommandSet, Settings::Detect);
    line.rig.store().write(Settings::TalkThrough, talk);
    QVERIFY(line.attach({QStringLiteral("--persona"), persona}));
    Phone& phone = line.rig.phone();
    QVERIFY2(line.rig.shared.Voice.describe().startsWith(found), qPrintable(line.rig.shared.Voice.describe()));
    const QByteArray init = line.modem.hostBytes().mid(line.modem.hostBytes().lastIndexOf("AT", -2));

    line.modem.command(QStringLiteral("ring 4075551212 SMITH,JOHN"));
    QTRY_COMPARE(textOf(line, "txtName"), QStringLiteral("JOHN SMITH"));
    QCOMPARE(textOf(line, "txtNumberIn"), QStringLiteral("555-1212"));
    const qsizetype before = line.modem.hostBytes().size();
    click(line, "cmdSend");
    QTRY_VERIFY(phone.state.VoiceConnected);
    click(line, "cmdEnd");
    QVERIFY(line.modem.waitForHostBytes(answer + "ATH\r" + init));

    const qsizetype dialled = line.modem.hostBytes().size();
    phone.face().setText(PhoneFace::Box::NumberOut, QStringLiteral("5551234"));
    click(line, "cmdSend");
    QTRY_VERIFY(phone.state.VoiceConnected);
    click(line, "cmdNumber_4");
    QVERIFY(line.modem.waitForHostBytes(dial));
    click(line, "cmdEnd");
    QVERIFY(line.modem.waitForHostBytes(dial + "ATH\r" + init));
    QCOMPARE(line.modem.hostBytes().mid(before, dialled - before), answer + "ATH\r" + init);
}

QTEST_MAIN(TestE2ePhone)
#include "tst_e2e_phone.moc"
