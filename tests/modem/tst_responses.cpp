#include "ModemLine.h"
#include "ReceivedBytes.h"
#include "console/frmPhone.h"
#include "modem/ModemResponses.h"
#include "modem/ModemText.h"
#include "modem/SerialControl.h"
#include "platform/Controls.h"

#include <QTest>

// What the modem sends, as the main window shows it: caller ID, automatic answering, the voice
// connection, the window restore, and any bytes at all over a real pseudo-terminal.
class TestResponses : public QObject {
    Q_OBJECT
private slots:
    void callerReports_data();
    void callerReports();
    void voiceConnection_data();
    void voiceConnection();
    void minimisedWindow_data();
    void minimisedWindow();
    void onlyReceivedCharactersAreHandled();
    void reportSplitWhileTheHandlerSettles();
    void anyBytesOverTheLine_data();
    void anyBytesOverTheLine();
};

namespace {

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QByteArray Ata("ATA\r");

QByteArray report(const QByteArray& number, const QByteArray& nameLine) {
    return "\r\nRING\r\n\r\nDATE = 1207\r\nTIME = 1205\r\nNMBR = " + number + "\r\n" + nameLine;
}

} // namespace

void TestResponses::callerReports_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("autoAns");
    QTest::addColumn<QString>("numberIn");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("red");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("lastNumber"); // as received, for the phone book
    QTest::addColumn<QString>("lastName");
    struct Row {
        const char* row;
        QByteArray bytes;
        const char *autoAns, *numberIn, *name;
        bool red, answered;
        const char *lastNumber, *lastName;
    };
    // txtNumberIn holds "before" when the report comes.
    const Row rows[] = {
        {"ten digits, auto answer", report("4075551212", "NAME = SMITH,JOHN\r\n"), "True", "555-1212", "JOHN SMITH",
         false, true, "4075551212", "SMITH,JOHN"},
        {"auto answer off", report("4075551212", "NAME = SMITH,JOHN\r\n"), "False", "555-1212", "JOHN SMITH", false,
         false, "4075551212", "SMITH,JOHN"},
        {"out of area is never answered automatically", report("O", "NAME = O\r\n"), "True", "before", "Out of Area",
         true, false, "O", "O"},
        {"private is answered", report("P", "NAME = P\r\n"), "True", "before", "Private", true, true, "P", "P"},
        {"no name line leaves the name empty", report("01632960000", "\r\nRING\r\n"), "False", "329-6000", "", false,
         false, "01632960000", ""},
        {"control bytes and markup in the name", report("4075551212", "NAME = <b>\x10X\x08</b>\x1b\r\n"), "False",
         "555-1212", "<b>X</b>", false, false, "4075551212", "<b>X</b>"},
        {"lower-case tags are no report", "\r\nnmbr = 4075551212\r\nname = X\r\n", "True", "before", "", false, false,
         "", ""},
        {"no blank before the equals sign", "\r\nNMBR=4075551212\r\nNAME=X\r\n", "True", "before", "", false, false, "",
         ""},
    };
    for (const Row& r : rows) {
        QTest::newRow(r.row) << r.bytes << QString::fromLatin1(r.autoAns) << QString::fromLatin1(r.numberIn)
                             << QString::fromLatin1(r.name) << r.red << r.answered << QString::fromLatin1(r.lastNumber)
                             << QString::fromLatin1(r.lastName);
    }
}

void TestResponses::callerReports() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, autoAns);
    QFETCH(QString, numberIn);
    QFETCH(QString, name);
    QFETCH(bool, red);
    QFETCH(bool, answered);
    QFETCH(QString, lastNumber);
    QFETCH(QString, lastName);
    ModemLine line;
    line.rig.store().write(Settings::Modem, QStringLiteral("AutoAns"), autoAns);
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    phone.txtNumberIn->setText(QStringLiteral("before"));

    const double sent = line.send(bytes);
    QTRY_VERIFY(line.handled > 0);
    QCOMPARE(phone.txtNumberIn->text(), numberIn);
    QCOMPARE(phone.txtName->text(), name);
    QCOMPARE(phone.txtName->textColor(), red ? Red : Green);
    QCOMPARE(phone.state.LastReportNumber, lastNumber);
    QCOMPARE(phone.state.LastReportName, lastName);
    QVERIFY(!phone.state.IncomingCall);
    QCOMPARE(line.rig.shared.AutoAns, autoAns == QLatin1String("True")); // reloaded, also after "O"
    if (answered) {
        QVERIFY(line.pty.waitForReceived(Ata));
        QCOMPARE(line.writes.size(), 1);
        // Half a second for the report to settle, then five for Send.
        QVERIFY(line.writtenAt(Ata) - sent >= 5.5);
        QVERIFY(line.rig.shared.CallActive);
        QCOMPARE(phone.txtStatus->text(), QStringLiteral("In Use"));
        QVERIFY(phone.picInuse[1]->isVisible());
    } else {
        QVERIFY(line.writes.isEmpty());
        QVERIFY(!line.rig.shared.CallActive);
    }
    QVERIFY(line.rig.messages.boxes.isEmpty());
}

void TestResponses::voiceConnection_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("connected");
    QTest::newRow("among other responses") << QByteArray("\r\nOK\r\nVCON\r\nOK\r\n") << true;
    QTest::newRow("inside a line") << QByteArray("xxVCONxx") << true;
    QTest::newRow("lower case") << QByteArray("\r\nvcon\r\n") << false;
}

void TestResponses::voiceConnection() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, connected);
    ModemLine line;
    QVERIFY(line.attach());
    line.send(bytes);
    QTRY_VERIFY(line.handled > 0);
    QCOMPARE(line.phone().state.VoiceConnected, connected);
    QString expected = QString::fromLatin1(bytes);
    ModemText::ModemDisplay(expected);
    QCOMPARE(line.phone().state.ModemText, expected); // replaced with what was read, normalised
}

void TestResponses::minimisedWindow_data() {
    QTest::addColumn<QByteArray>("previous"); // what the receive event before it read
    QTest::addColumn<QByteArray>("next");
    QTest::addColumn<bool>("restored");
    QTest::newRow("first ring restores") << QByteArray() << QByteArray("\r\nRING\r\n") << true;
    QTest::newRow("after other output") << QByteArray("\r\nOK\r\n") << QByteArray("\r\nRING\r\n") << true;
    QTest::newRow("not after a ring") << QByteArray("\r\nRING\r\n") << QByteArray("\r\nOK\r\n") << false;
}

void TestResponses::minimisedWindow() {
    QFETCH(QByteArray, previous);
    QFETCH(QByteArray, next);
    QFETCH(bool, restored);
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    if (!previous.isEmpty()) {
        line.send(previous);
        QTRY_COMPARE(line.handled, 1);
    }
    phone.showMinimized();
    QTRY_VERIFY(phone.isMinimized());
    const int before = line.handled;
    line.send(next);
    QTRY_VERIFY(line.handled > before);
    QCOMPARE(phone.isMinimized(), !restored);
    QCOMPARE(phone.state.ModemText, QString::fromLatin1(next));
    QVERIFY(line.writes.isEmpty());
}

void TestResponses::onlyReceivedCharactersAreHandled() {
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    phone.state.ModemText = QStringLiteral("kept");
    phone.showMinimized();
    QTRY_VERIFY(phone.isMinimized());
    // No characters have been received, so the control has no receive event to report.
    QCOMPARE(phone.comModem->commEvent(), int(SerialControl::EventNone));
    const double start = line.rig.clock.now();
    phone.responses().comModem_OnComm();
    QVERIFY(line.rig.clock.now() - start < 0.5); // no settling wait either
    QCOMPARE(phone.state.ModemText, QStringLiteral("kept"));
    QVERIFY(phone.isMinimized());
}

void TestResponses::reportSplitWhileTheHandlerSettles() {
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    const QByteArray whole = report("4075551212", "NAME = SMITH,JOHN\r\n");
    const qsizetype cut = whole.indexOf("NMBR") + 4; // "...NMBR" | " = 4075551212..."
    // The rest arrives while the first part's handling waits for the report to settle.
    bool restSent = false;
    QObject scope;
    connect(phone.comModem, &SerialControl::onComm, &scope, [&] {
        if (!restSent) {
            restSent = true;
            line.pty.send(whole.mid(cut));
        }
    });
    line.send(whole.left(cut));
    // The first read takes the whole report; the second finds nothing left.
    QTRY_COMPARE(line.handled, 1);
    QCOMPARE(phone.state.ModemText, QString());
    QCOMPARE(phone.txtNumberIn->text(), QStringLiteral("555-1212"));
    QCOMPARE(phone.txtName->text(), QStringLiteral("JOHN SMITH"));
}

void TestResponses::anyBytesOverTheLine_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("NUL") << QByteArray(3, '\0');
    QTest::newRow("LF CR") << QByteArray("OK\n\rOK");
    QTest::newRow("invalid UTF-8") << QByteArray("NMBR = 40755\xc3\r\nNAME = \xff\xfe\r\n");
    const QByteArray noisy = noise(100 * 1024, 6180);
    QTest::newRow("100 kB of noise") << noisy;
}

void TestResponses::anyBytesOverTheLine() {
    QFETCH(QByteArray, bytes);
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    // In pieces the size of a read, each handled before the next, so that the line never drops
    // any of it.
    for (qsizetype at = 0; at < bytes.size(); at += 4096) {
        const int before = line.handled;
        line.send(bytes.mid(at, 4096));
        QTRY_VERIFY(line.handled > before);
        const QString fault = lineEndFault(phone.state.ModemText);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
    QVERIFY(!phone.txtName->text().contains(QChar(0)));
    QVERIFY(line.rig.shared.ModemAttached);
    QVERIFY(phone.comModem->portOpen());
    QVERIFY(line.writes.isEmpty());
}

QTEST_MAIN(TestResponses)
#include "tst_responses.moc"
