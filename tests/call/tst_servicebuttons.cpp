#include "PhoneLine.h"
#include "call/CallControl.h"
#include "call/ServiceButtons.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/SerialControl.h"

#include <QTest>

// Call Fwd, Repeat, Last Caller and Cancel on an attached telephone: the exact lines each one
// dials, what Cancel cancels, and what they dial nothing for.
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

using Box = PhoneView::Box;

const QByteArray Prefix("AT#VRN=0\r");
const QByteArray Speaker("AT#SPK=,5,,\r");
const QByteArray HangUp("ATH\r");
const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");
const QByteArray Vcon("\r\nVCON\r\n");
const QString LastDialed = QStringLiteral("LastDialed");

// Settings as "Section/Key=Value".
void store(PhoneLine& line, const QStringList& settings) {
    for (const QString& setting : settings) {
        const qsizetype slash = setting.indexOf(QLatin1Char('/'));
        const qsizetype eq = setting.indexOf(QLatin1Char('='));
        line.store().write(setting.left(slash), setting.mid(slash + 1, eq - slash - 1), setting.mid(eq + 1));
    }
}

// The far end picks up every call the telephone dials.
void connectEveryDial(PhoneLine& line) {
    QObject::connect(&line.phone().comModem(), &SerialControl::bytesWritten, &line, [&line](const QByteArray& bytes) {
        if (bytes.startsWith("ATDT")) {
            line.send(Vcon);
        }
    });
}

void press(ServiceButtons& buttons, const QString& button) {
    if (button == QLatin1String("Call Fwd")) {
        buttons.cmdCallForward_Click();
    } else if (button == QLatin1String("Repeat")) {
        buttons.cmdRepeat_Click();
    } else if (button == QLatin1String("Last Caller")) {
        buttons.cmdLastCall_Click();
    } else {
        buttons.cmdCancelRPT_Click();
    }
}

} // namespace

void TestServiceButtons::dialLines_data() {
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("display");
    QTest::addColumn<QStringList>("buttons"); // pressed in turn, each call ended with End
    QTest::addColumn<QByteArrayList>("dialLines");
    const QString number = QStringLiteral("5551234");
    const QString fwd = QStringLiteral("Call Fwd");
    const QString cancel = QStringLiteral("Cancel");
    const QString last = QStringLiteral("Last Caller");
    QTest::newRow("Call Fwd to the number shown")
        << QStringList() << number << QStringList{fwd} << QByteArrayList{"ATDT*725551234\r"};
    QTest::newRow("Call Fwd to the dialable part of the display")
        << QStringList() << "(555) 123-4" << QStringList{fwd} << QByteArrayList{"ATDT*725551234\r"};
    QTest::newRow("Repeat") << QStringList() << QString() << QStringList{QStringLiteral("Repeat")}
                            << QByteArrayList{"ATDT*66\r"};
    QTest::newRow("Last Caller") << QStringList() << number << QStringList{last} << QByteArrayList{"ATDT*69\r"};
    QTest::newRow("Cancel, nothing activated")
        << QStringList() << QString() << QStringList{cancel} << QByteArrayList{"ATDT*73\r"};
    QTest::newRow("Cancel twice after Call Fwd and Last Caller")
        << QStringList() << number << QStringList{fwd, last, cancel, cancel}
        << QByteArrayList{"ATDT*725551234\r", "ATDT*69\r", "ATDT*89\r", "ATDT*73\r"};
    QTest::newRow("Cancel after Repeat") << QStringList() << QString() << QStringList{QStringLiteral("Repeat"), cancel}
                                         << QByteArrayList{"ATDT*66\r", "ATDT*86\r"};
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
    PhoneLine line;
    line.store().write(Settings::Modem, LastDialed, QStringLiteral("5550000"));
    store(line, settings);
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    connectEveryDial(line);
    phone.face().setText(Box::NumberOut, display);

    QByteArray expected;
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        if (line.shared.CallActive) {
            phone.calls().cmdEnd_Click();
            expected += HangUp + Init;
        }
        // Returns once the call is connected and the speaker level set.
        press(phone.serviceButtons(), buttons.at(i));
        QVERIFY(line.shared.CallActive);
        QCOMPARE(phone.face().text(Box::Status), QStringLiteral("In Use"));
        expected += Prefix + dialLines.at(i) + Speaker;
    }
    QCOMPARE(line.written(), expected);
    QCOMPARE(line.store().read(Settings::Modem, LastDialed), QStringLiteral("5550000"));
    QVERIFY(line.messages.boxes.isEmpty());
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
    PhoneLine line;
    QVERIFY(line.attach());
    connectEveryDial(line);
    line.messages.textAnswers << answer;

    line.phone().serviceButtons().cmdCallForward_Click();

    QCOMPARE(line.messages.boxes.size(), 1);
    QCOMPARE(line.messages.boxes.first().icon, MessageBoxes::Icon::Question);
    QCOMPARE(line.messages.boxes.first().title, QStringLiteral("Brisvane"));
    QCOMPARE(line.messages.boxes.first().text, QStringLiteral("Forward your calls to which number?"));
    QCOMPARE(line.written(), dialLine.isEmpty() ? QByteArray() : Prefix + dialLine + Speaker);
    QCOMPARE(line.shared.CallActive, !dialLine.isEmpty());
}

void TestServiceButtons::nothingDialled_data() {
    QTest::addColumn<bool>("detached");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("told");          // %1 stands for the store's path
    QTest::addColumn<QByteArray>("cancelLine"); // what Cancel dials afterwards, if anything
    const QString noCode = QStringLiteral("There is no service code to dial: \"%1\" in the group \"Services\" of %2 "
                                          "holds none.");
    QTest::newRow("detached: Repeat") << true << QStringList() << "Repeat"
                                      << "The modem is not attached, so nothing was sent to it.\rPress On/Off to "
                                         "attach it."
                                      << QByteArray("ATDT*73\r");
    QTest::newRow("detached: Call Fwd asks for no number")
        << true << QStringList() << "Call Fwd"
        << "The modem is not attached, so nothing was sent to it.\rPress On/Off to attach it."
        << QByteArray("ATDT*73\r");
    QTest::newRow("no Call Fwd code: no number asked")
        << false << QStringList{QStringLiteral("Services/CallForward=off")} << "Call Fwd"
        << noCode.arg(QStringLiteral("CallForward"), QStringLiteral("%1")) << QByteArray("ATDT*73\r");
    QTest::newRow("no Repeat code") << false << QStringList{QStringLiteral("Services/Repeat=none")} << "Repeat"
                                    << noCode.arg(QStringLiteral("Repeat"), QStringLiteral("%1"))
                                    << QByteArray("ATDT*73\r");
    QTest::newRow("no cancel code") << false << QStringList{QStringLiteral("Services/CallForwardCancel=none")}
                                    << "Cancel" << noCode.arg(QStringLiteral("CallForwardCancel"), QStringLiteral("%1"))
                                    << QByteArray();
}

void TestServiceButtons::nothingDialled() {
    QFETCH(bool, detached);
    QFETCH(QStringList, settings);
    QFETCH(QString, button);
    QFETCH(QString, told);
    QFETCH(QByteArray, cancelLine);
    PhoneLine line;
    store(line, settings);
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    if (detached) {
        phone.cmdOnOff_Click();
        QVERIFY(!phone.comModem().portOpen());
    }
    line.clearWritten();

    press(phone.serviceButtons(), button);

    QCOMPARE(line.messages.boxes.size(), 1);
    QCOMPARE(line.messages.boxes.first().icon, MessageBoxes::Icon::Warning);
    QCOMPARE(line.messages.boxes.first().title, QStringLiteral("Brisvane"));
    const QString path = line.store().filePath();
    QCOMPARE(line.messages.boxes.first().text, told.contains(QLatin1String("%1")) ? told.arg(path) : told);
    QCOMPARE(line.written(), QByteArray());
    QVERIFY(!line.shared.CallActive);
    if (cancelLine.isEmpty()) {
        return;
    }
    // Nothing was activated, so Cancel cancels call forwarding.
    if (detached) {
        phone.cmdOnOff_Click();
        QVERIFY(line.waitUntil([&line] { return line.writeCount(Init) == 1; }));
    }
    connectEveryDial(line);
    line.clearWritten();
    phone.serviceButtons().cmdCancelRPT_Click();
    QCOMPARE(line.written(), Prefix + cancelLine + Speaker);
}

QTEST_GUILESS_MAIN(TestServiceButtons)
#include "tst_servicebuttons.moc"
