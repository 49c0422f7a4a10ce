#include "ModemLine.h"
#include "call/ServiceButtons.h"
#include "console/frmPhone.h"
#include "modem/SerialControl.h"
#include "platform/Controls.h"

#include <QTest>

// Call Fwd, Repeat, Last Caller and Cancel against a modem played over a real pseudo-terminal:
// the exact lines each one dials, and what they dial nothing for.
class TestServiceButtons : public QObject {
    Q_OBJECT
private slots:
    void dialLines_data();
    void dialLines();
    void callForwardAsksForTheNumber_data();
    void callForwardAsksForTheNumber();
    void nothingDialled_data();
    void nothingDialled();
};

namespace {

const QByteArray Prefix("AT#VRN=0\r");
const QByteArray Speaker("AT#SPK=,5,,\r");
const QByteArray HangUp("ATH\r");
const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");
const QByteArray Vcon("\r\nVCON\r\n");
const QString LastDialed = QStringLiteral("LastDialed");

// Settings as "Section/Key=Value".
void store(ModemLine& line, const QStringList& settings) {
    for (const QString& setting : settings) {
        const qsizetype slash = setting.indexOf(QLatin1Char('/'));
        const qsizetype eq = setting.indexOf(QLatin1Char('='));
        line.rig.store().write(setting.left(slash), setting.mid(slash + 1, eq - slash - 1), setting.mid(eq + 1));
    }
}

// The far end picks up every call the program dials.
void connectEveryDial(ModemLine& line) {
    QObject::connect(&line.pty, &Pty::bytesArrived, &line, [&line, seen = qsizetype(0)]() mutable {
        for (const qsizetype dials = line.pty.received().count("\r"); seen < dials; ++seen) {
            if (line.pty.received().split('\r').at(seen).startsWith("ATDT")) {
                line.send(Vcon);
            }
        }
    });
}

} // namespace

void TestServiceButtons::dialLines_data() {
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QStringList>("buttons"); // pressed in turn, each call ended with End
    QTest::addColumn<QByteArrayList>("dialLines");
    const QString number = QStringLiteral("5551234");
    const QString fwd = QStringLiteral("cmdCallForward");
    const QString cancel = QStringLiteral("cmdCancelRPT");
    const QString last = QStringLiteral("cmdLastCall");
    QTest::newRow("Call Fwd to the number shown")
        << QStringList() << number << QStringList{fwd} << QByteArrayList{"ATDT*725551234\r"};
    QTest::newRow("Repeat") << QStringList() << QString() << QStringList{QStringLiteral("cmdRepeat")}
                            << QByteArrayList{"ATDT*66\r"};
    QTest::newRow("Last Caller") << QStringList() << number << QStringList{last} << QByteArrayList{"ATDT*69\r"};
    QTest::newRow("Cancel, nothing activated")
        << QStringList() << QString() << QStringList{cancel} << QByteArrayList{"ATDT*73\r"};
    QTest::newRow("Cancel twice after Call Fwd and Last Caller")
        << QStringList() << number << QStringList{fwd, last, cancel, cancel}
        << QByteArrayList{"ATDT*725551234\r", "ATDT*69\r", "ATDT*89\r", "ATDT*73\r"};
    QTest::newRow("codes of another network")
        << QStringList{QStringLiteral("Services/CallForward=*21*"), QStringLiteral("Services/CallForwardCancel=#21#")}
        << number << QStringList{fwd, cancel} << QByteArrayList{"ATDT*21*5551234\r", "ATDT#21#\r"};
    // The network takes a feature code only at the start of the dial string.
    QTest::newRow("codes go without the blocking prefixes of calls")
        << QStringList{QStringLiteral("Modem/DisCID=True"), QStringLiteral("Modem/DisCW=True")} << number
        << QStringList{fwd, last, cancel} << QByteArrayList{"ATDT*725551234\r", "ATDT*69\r", "ATDT*89\r"};
}

void TestServiceButtons::dialLines() {
    QFETCH(QStringList, settings);
    QFETCH(QString, display);
    QFETCH(QStringList, buttons);
    QFETCH(QByteArrayList, dialLines);
    ModemLine line;
    line.rig.store().write(Settings::Modem, LastDialed, QStringLiteral("5550000"));
    store(line, settings);
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    connectEveryDial(line);
    phone.txtNumberOut->setText(display);

    QByteArray expected;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        if (line.rig.shared.CallActive) {
            QTest::mouseClick(phone.cmdEnd, Qt::LeftButton);
            expected += HangUp + Init;
        }
        auto* button = phone.findChild<CommandButton*>(buttons.at(i));
        QVERIFY(button);
        // Returns once the call is connected and the speaker level set.
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(line.rig.shared.CallActive);
        expected += Prefix + dialLines.at(i) + Speaker;
    }
    QVERIFY(line.pty.waitForCount(expected.size()));
    QCOMPARE(line.pty.received(), expected);
    QCOMPARE(line.rig.store().read(Settings::Modem, LastDialed), QStringLiteral("5550000"));
    QVERIFY(line.rig.messages.boxes.isEmpty());
}

void TestServiceButtons::callForwardAsksForTheNumber_data() {
    QTest::addColumn<QString>("answer"); // a null text answers Cancel
    QTest::addColumn<QByteArray>("dialLine");
    QTest::newRow("a number") << "555 1234" << QByteArray("ATDT*725551234\r");
    QTest::newRow("Cancel") << QString() << QByteArray();
    QTest::newRow("nothing dialable") << "call Mum\rATZ" << QByteArray();
}

void TestServiceButtons::callForwardAsksForTheNumber() {
    QFETCH(QString, answer);
    QFETCH(QByteArray, dialLine);
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    connectEveryDial(line);
    line.rig.messages.textAnswers << answer;

    QTest::mouseClick(phone.cmdCallForward, Qt::LeftButton);

    QCOMPARE(line.rig.messages.boxes.size(), 1);
    QCOMPARE(line.rig.messages.boxes.first().icon, MessageBoxes::Icon::Question);
    QCOMPARE(line.rig.messages.boxes.first().title, QStringLiteral("Brisvane"));
    if (dialLine.isEmpty()) {
        QVERIFY(line.writes.isEmpty()); // a dial writes its first line before the click returns
        QVERIFY(!line.rig.shared.CallActive);
    } else {
        QVERIFY(line.pty.waitForCount(Prefix.size() + dialLine.size() + Speaker.size()));
        QCOMPARE(line.pty.received(), Prefix + dialLine + Speaker);
    }
}

void TestServiceButtons::nothingDialled_data() {
    QTest::addColumn<bool>("detached");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("told");
    QTest::newRow("detached: Repeat") << true << QStringList() << "cmdRepeat"
                                      << "not attached";
    QTest::newRow("detached: Call Fwd asks for no number") << true << QStringList() << "cmdCallForward"
                                                           << "not attached";
    QTest::newRow("no Call Fwd code: no number asked")
        << false << QStringList{QStringLiteral("Services/CallForward=off")} << "cmdCallForward"
        << "\"CallForward\"";
}

void TestServiceButtons::nothingDialled() {
    QFETCH(bool, detached);
    QFETCH(QStringList, settings);
    QFETCH(QString, button);
    QFETCH(QString, told);
    ModemLine line;
    store(line, settings);
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    if (detached) {
        phone.cmdOnOff->click();
        QVERIFY(!phone.comModem->portOpen());
    }
    line.writes.clear();
    auto* pressed = phone.findChild<CommandButton*>(button);
    QVERIFY(pressed);

    QTest::mouseClick(pressed, Qt::LeftButton);

    QCOMPARE(line.rig.messages.boxes.size(), 1);
    QCOMPARE(line.rig.messages.boxes.first().icon, MessageBoxes::Icon::Warning);
    QCOMPARE(line.rig.messages.boxes.first().title, QStringLiteral("Brisvane"));
    QVERIFY2(line.rig.messages.boxes.first().text.contains(told), qPrintable(line.rig.messages.boxes.first().text));
    QVERIFY(line.writes.isEmpty());
    QVERIFY(!line.rig.shared.CallActive);
    // Nothing was activated, so Cancel cancels call forwarding.
    if (detached) {
        phone.cmdOnOff->click();
        QVERIFY(line.pty.waitForReceived(Init));
    }
    connectEveryDial(line);
    QTest::mouseClick(phone.cmdCancelRPT, Qt::LeftButton);
    QVERIFY(line.pty.waitForReceived(Prefix + "ATDT*73\r" + Speaker));
}

QTEST_MAIN(TestServiceButtons)
#include "tst_servicebuttons.moc"
