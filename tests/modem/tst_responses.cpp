#include "PhoneLine.h"
#include "ReceivedBytes.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/ModemLink.h"
#include "modem/ModemResponses.h"
#include "modem/ModemText.h"
#include "modem/SerialControl.h"

#include <QTest>

// What the modem sends, as the telephone shows it: caller ID, automatic answering, the voice
// connection, the window restore, and any bytes at all over the line.
class TestResponses : public QObject {
    Q_OBJECT
private slots:
    void callerReports_data();
    void callerReports();
    void voiceConnection_data();
    void voiceConnection();
    void repeatedReport_data();
    void repeatedReport();
    void reportDuringAnotherWait_data();
    void reportDuringAnotherWait();
    void minimisedWindow_data();
    void minimisedWindow();
    void onlyReceivedCharactersAreHandled();
    void reportSplitWhileTheHandlerSettles();
    void reportInPieces_data();
    void reportInPieces();
    void lineThatNeverFallsQuiet();
    void anyBytesOverTheLine_data();
    void anyBytesOverTheLine();
};

namespace {

using Box = PhoneFace::Box;
using TextColor = PhoneFace::TextColor;

const QByteArray Ata("ATA\r");

QByteArray report(const QByteArray& number, const QByteArray& nameLine) {
    return "\r\nRING\r\n\r\nDATE = 1207\r\nTIME = 1205\r\nNMBR = " + number + "\r\n" + nameLine;
}

const QByteArray Smith = report("4075551212", "NAME = SMITH,JOHN\r\n");

// For tests that act while a caller's five seconds run: they last a second of real time, so that
// a busy machine does not let them end first.
constexpr double SlowerClock = 5;

// The program time of every receive event's end, for the pauses of the handling.
struct HandledTimes {
    QList<double> at;
    QObject scope;
    explicit HandledTimes(PhoneLine& line) {
        QObject::connect(&line.phone().responses(), &ModemResponses::handled, &scope,
                         [this, &line] { at.append(line.clock.now()); });
    }
};

} // namespace

void TestResponses::callerReports_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("autoAns");
    QTest::addColumn<QString>("numberOut"); // the number display when the report comes
    QTest::addColumn<QString>("numberIn");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("red");
    QTest::addColumn<bool>("answered");
    QTest::addColumn<QString>("lastNumber"); // as received, for the phone book
    QTest::addColumn<QString>("lastName");
    struct Row {
        const char* row;
        QByteArray bytes;
        const char *autoAns, *numberOut, *numberIn, *name;
        bool red, answered;
        const char *lastNumber, *lastName;
    };
    // The caller's number box holds "before" when the report comes.
    const Row rows[] = {
        {"ten digits, auto answer", Smith, "True", "", "555-1212", "JOHN SMITH", false, true, "4075551212",
         "SMITH,JOHN"},
        {"auto answer off", Smith, "False", "", "555-1212", "JOHN SMITH", false, false, "4075551212", "SMITH,JOHN"},
        // Answered as Send answers an incoming call: the number shown is not dialled.
        {"a number in the display is not dialled", Smith, "True", "5551234", "555-1212", "JOHN SMITH", false, true,
         "4075551212", "SMITH,JOHN"},
        {"out of area is never answered automatically", report("O", "NAME = O\r\n"), "True", "", "before",
         "Out of Area", true, false, "O", "O"},
        {"private is answered", report("P", "NAME = P\r\n"), "True", "", "before", "Private", true, true, "P", "P"},
        {"no name line leaves the name empty", report("01632960000", "\r\nRING\r\n"), "False", "", "329-6000", "",
         false, false, "01632960000", ""},
        {"control bytes and markup in the name", report("4075551212", "NAME = <b>\x10X\x08</b>\x1b\r\n"), "False", "",
         "555-1212", "<b>X</b>", false, false, "4075551212", "<b>X</b>"},
        {"lower-case tags are no report", "\r\nnmbr = 4075551212\r\nname = X\r\n", "True", "", "before", "", false,
         false, "", ""},
        {"no blank before the equals sign", "\r\nNMBR=4075551212\r\nNAME=X\r\n", "True", "", "before", "", false, false,
         "", ""},
    };
    for (const Row& r : rows) {
        QTest::newRow(r.row) << r.bytes << QString::fromLatin1(r.autoAns) << QString::fromLatin1(r.numberOut)
                             << QString::fromLatin1(r.numberIn) << QString::fromLatin1(r.name) << r.red << r.answered
                             << QString::fromLatin1(r.lastNumber) << QString::fromLatin1(r.lastName);
    }
}

void TestResponses::callerReports() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, autoAns);
    QFETCH(QString, numberOut);
    QFETCH(QString, numberIn);
    QFETCH(QString, name);
    QFETCH(bool, red);
    QFETCH(bool, answered);
    QFETCH(QString, lastNumber);
    QFETCH(QString, lastName);
    PhoneLine line;
    line.store().write(Settings::AutoAns, autoAns);
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    face.setText(Box::NumberIn, QStringLiteral("before"));
    face.setText(Box::NumberOut, numberOut);
    HandledTimes handled(line);
    const bool isReport = !lastNumber.isEmpty();

    const double sent = line.send(bytes);
    QTRY_COMPARE(handled.at.size(), 1);
    // Half a second for the report to settle, then five for Send.
    QVERIFY(handled.at.first() - sent >= (isReport ? 5.5 : 0.5));
    QCOMPARE(face.text(Box::NumberIn), numberIn);
    QCOMPARE(face.text(Box::Name), name);
    QCOMPARE(face.textColor(Box::Name), red ? TextColor::Red : TextColor::Green);
    QCOMPARE(phone.state.LastReportNumber, lastNumber);
    QCOMPARE(phone.state.LastReportName, lastName);
    QVERIFY(!phone.state.IncomingCall);
    QCOMPARE(line.shared.AutoAns, autoAns == QLatin1String("True")); // reloaded, also after "O"
    if (answered) {
        QCOMPARE(line.written(), Ata);
        QVERIFY(line.writtenAt(Ata) - sent >= 5.5);
        QVERIFY(line.shared.CallActive);
        QCOMPARE(face.text(Box::Status), QStringLiteral("In Use"));
        QVERIFY(face.lit(PhoneFace::Light::InUse));
    } else {
        QCOMPARE(line.written(), QByteArray());
        QVERIFY(!line.shared.CallActive);
        QVERIFY(!face.lit(PhoneFace::Light::InUse));
    }
    QCOMPARE(face.text(Box::NumberOut), numberOut);
    QVERIFY(line.messages.boxes.isEmpty());
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
    PhoneLine line;
    QVERIFY(line.attach());
    HandledTimes handled(line);
    const double sent = line.send(bytes);
    QTRY_COMPARE(handled.at.size(), 1);
    QVERIFY(handled.at.first() - sent >= 0.5); // read once it has settled
    QCOMPARE(line.phone().state.VoiceConnected, connected);
    QString expected = QString::fromLatin1(bytes);
    ModemText::ModemDisplay(expected);
    QCOMPARE(line.phone().state.ModemText, expected); // replaced with what was read, normalised
    QCOMPARE(line.written(), QByteArray());
}

void TestResponses::repeatedReport_data() {
    QTest::addColumn<bool>("withinFiveSeconds");
    QTest::addColumn<int>("answers");
    QTest::addColumn<int>("handledAtTheEnd");
    // The modem repeats the report for the same call: the five seconds start again, and the call
    // is answered once, at the end of the last report's.
    QTest::newRow("repeated within the five seconds") << true << 1 << 2;
    // Once a caller's five seconds are over, a report is a call of its own.
    QTest::newRow("after the five seconds") << false << 2 << 2;
}

void TestResponses::repeatedReport() {
    QFETCH(bool, withinFiveSeconds);
    QFETCH(int, answers);
    QFETCH(int, handledAtTheEnd);
    PhoneLine line(PhoneLine::Line::Scripted, SlowerClock);
    line.store().write(Settings::AutoAns, QStringLiteral("True"));
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    HandledTimes handled(line);
    line.send(Smith);
    if (withinFiveSeconds) {
        QTRY_COMPARE(phone.face().text(Box::Name), QStringLiteral("JOHN SMITH"));
        QCOMPARE(handled.at.size(), 0);
    } else {
        QTRY_COMPARE(line.writeCount(Ata), 1);
        QTRY_COMPARE(handled.at.size(), 1);
    }
    const double again = line.send(report("4075550000", "NAME = DOE,JANE\r\n"));
    QTRY_COMPARE(line.writeCount(Ata), answers);
    QTRY_COMPARE(handled.at.size(), handledAtTheEnd);
    QVERIFY(line.writes.last().at - again >= 5.5);
    QCOMPARE(line.written(), Ata.repeated(answers));
    QCOMPARE(phone.face().text(Box::Name), QStringLiteral("JANE DOE"));
    QCOMPARE(phone.face().text(Box::NumberIn), QStringLiteral("555-0000"));
    QVERIFY(!phone.state.IncomingCall);
    QCOMPARE(phone.responses().reportCount(), quint64(2));
}

void TestResponses::reportDuringAnotherWait_data() {
    QTest::addColumn<QString>("wait");
    QTest::newRow("a handler's Delay") << "delay";
    QTest::newRow("the load's second") << "load";
}

// A report that comes in while a handler waits is shown at once, and its five seconds hold up
// no one: the wait ends at its own time with the call still waiting to be answered.
void TestResponses::reportDuringAnotherWait() {
    QFETCH(QString, wait);
    PhoneLine line(PhoneLine::Line::Scripted, SlowerClock);
    line.storeModem();
    line.store().write(Settings::AutoAns, QStringLiteral("True"));
    Phone& phone = line.phone();
    double sent = -1;
    line.when("\r", [&] { sent = line.send(Smith); }); // the initialisation line
    if (wait == QLatin1String("load")) {
        bool loaded = false;
        connect(&phone, &Phone::loaded, this, [&] { loaded = true; });
        line.load();
        QVERIFY(loaded);
    } else {
        phone.modemLink().modem_int();
        QVERIFY(phone.modemLink().Delay(2));
    }
    QVERIFY(sent >= 0);
    QCOMPARE(phone.face().text(Box::Name), QStringLiteral("JOHN SMITH"));
    QVERIFY(phone.state.IncomingCall);
    QCOMPARE(line.writeCount(Ata), 0);
    QTRY_COMPARE(line.writeCount(Ata), 1);
    QVERIFY(line.writtenAt(Ata) - sent >= 5.5);
    QVERIFY(line.shared.CallActive);
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
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    if (!previous.isEmpty()) {
        line.send(previous);
        QTRY_COMPARE(line.handled, 1);
    }
    line.view.minimized = true;
    line.view.log.clear();
    const int before = line.handled;
    line.send(next);
    QTRY_VERIFY(line.handled > before);
    QCOMPARE(line.view.minimized, !restored);
    QCOMPARE(line.view.log.count(QStringLiteral("restore")), restored ? 1 : 0);
    QCOMPARE(phone.state.ModemText, QString::fromLatin1(next));
    QCOMPARE(line.written(), QByteArray());
}

void TestResponses::onlyReceivedCharactersAreHandled() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.state.ModemText = QStringLiteral("kept");
    line.view.minimized = true;
    // No characters have been received, so the control has no receive event to report.
    QCOMPARE(phone.comModem().commEvent(), int(SerialControl::EventNone));
    phone.responses().comModem_OnComm();
    // Nothing is read, not even half a second later.
    QVERIFY(!line.waitUntil([&] { return line.handled > 0; }, 1));
    QCOMPARE(phone.state.ModemText, QStringLiteral("kept"));
    QVERIFY(line.view.minimized);
}

void TestResponses::reportSplitWhileTheHandlerSettles() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    const qsizetype cut = Smith.indexOf("NMBR") + 4; // "...NMBR" | " = 4075551212..."
    // The rest arrives while the first part's handling waits for the report to settle.
    bool restSent = false;
    QObject scope;
    connect(&phone.comModem(), &SerialControl::onComm, &scope, [&] {
        if (!restSent) {
            restSent = true;
            line.send(Smith.mid(cut));
        }
    });
    line.send(Smith.left(cut));
    // The first read takes the whole report; the second finds nothing left.
    QTRY_COMPARE(line.handled, 1);
    QCOMPARE(phone.state.ModemText, QString());
    QCOMPARE(phone.face().text(Box::NumberIn), QStringLiteral("555-1212"));
    QCOMPARE(phone.face().text(Box::Name), QStringLiteral("JOHN SMITH"));
    QCOMPARE(phone.responses().reportCount(), quint64(1));
}

void TestResponses::reportInPieces_data() {
    QTest::addColumn<QList<QByteArray>>("pieces");
    QTest::addColumn<double>("gap");
    QTest::newRow("a line at a time, 0.3 s apart")
        << QList<QByteArray>{"\r\nRING\r\n\r\nDATE = 1207\r\n", "TIME = 1205\r\n", "NMBR = 4075551212\r\n",
                             "NAME = SMITH,JOHN\r\n"}
        << 0.3;
    const qsizetype inName = Smith.indexOf("NAME") + 2;
    QTest::newRow("cut inside the name tag, 0.45 s apart")
        << QList<QByteArray>{Smith.left(inName), Smith.mid(inName)} << 0.45;
}

// A modem that hands its report over in pieces is read once, half a second after the last piece,
// and the caller's five seconds start at that read.
void TestResponses::reportInPieces() {
    QFETCH(QList<QByteArray>, pieces);
    QFETCH(double, gap);
    PhoneLine line(PhoneLine::Line::Scripted, SlowerClock);
    line.store().write(Settings::AutoAns, QStringLiteral("True"));
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    double shown = -1;
    connect(&phone.responses(), &ModemResponses::callerShown, this, [&] { shown = line.clock.now(); });
    double last = -1;
    for (const QByteArray& piece : pieces) {
        if (last >= 0) {
            line.letPass(gap);
        }
        last = line.send(piece);
    }
    QTRY_COMPARE(line.writeCount(Ata), 1);
    QCOMPARE(phone.responses().reportCount(), quint64(1));
    QCOMPARE(phone.face().text(Box::NumberIn), QStringLiteral("555-1212"));
    QCOMPARE(phone.face().text(Box::Name), QStringLiteral("JOHN SMITH"));
    QVERIFY(shown - last >= 0.5);
    QVERIFY(line.writtenAt(Ata) - shown >= 5);
}

// Noise that never pauses for half a second is still read, two seconds after it began.
void TestResponses::lineThatNeverFallsQuiet() {
    PhoneLine line(PhoneLine::Line::Scripted, SlowerClock);
    QVERIFY(line.attach());
    HandledTimes handled(line);
    const double began = line.send("x");
    while (line.clock.now() - began < 6) {
        line.letPass(0.2);
        line.send("x");
    }
    QVERIFY(!handled.at.isEmpty());
    QVERIFY(handled.at.first() - began >= 2);
    QVERIFY(handled.at.first() - began < 6);
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
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    // In pieces the size of a read, each handled before the next, so that the line never drops
    // any of it.
    for (qsizetype at = 0; at < bytes.size(); at += 4096) {
        const int before = line.handled;
        line.send(bytes.mid(at, 4096));
        QTRY_VERIFY(line.handled > before);
        const QString fault = lineEndFault(phone.state.ModemText);
        QVERIFY2(fault.isEmpty(), qPrintable(fault));
    }
    QVERIFY(!phone.face().text(Box::Name).contains(QChar(0)));
    QVERIFY(line.shared.ModemAttached);
    QVERIFY(phone.comModem().portOpen());
    QCOMPARE(line.written(), QByteArray());
}

QTEST_MAIN(TestResponses)
#include "tst_responses.moc"
