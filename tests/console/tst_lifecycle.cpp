#include "PhoneLine.h"
#include "ScriptedTransport.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/ModemLink.h"
#include "modem/SerialControl.h"

#include <QFile>
#include <QTest>
#include <QTimer>
#include <functional>
#include <unistd.h>

Q_DECLARE_METATYPE(PhoneLine::Line)
Q_DECLARE_METATYPE(SerialTransport::ErrorKind)

// The telephone's life: load, attach and detach with On/Off, close, and the serial errors of an
// attach. Over the scripted line, and over a real pseudo-terminal where the device itself
// matters (a device file that is not there, a lock another program holds, a far end that hangs
// up).
class TestLifecycle : public QObject {
    Q_OBJECT
private slots:
    void firstStartWithEmptyStore();
    void loadAttachesAndSendsTheInitialisationLine_data();
    void loadAttachesAndSendsTheInitialisationLine();
    void inputBeforeTheAttachIsDiscarded();
    void onOffDetachesAndAttachesAgain();
    void onOffPressedDuringTheDetachIsIgnored();
    void closedDuringTheLoadStaysClosed();
    void closingTheWindow_data();
    void closingTheWindow();
    void attachErrors_data();
    void attachErrors();
    void errorReporter_data();
    void errorReporter();
    void unusableStoredValues_data();
    void unusableStoredValues();
    void deviceVanishingWhileAttached_data();
    void deviceVanishingWhileAttached();
    void attachWhileAttachedOnlyReloadsSettings();
};

namespace {

using Box = PhoneFace::Box;
using Light = PhoneFace::Light;

const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");

// Whether `log` holds `lines` in this order, other lines between them allowed.
bool inOrder(const QStringList& log, const QStringList& lines) {
    qsizetype at = 0;
    for (const QString& line : lines) {
        at = log.indexOf(line, at);
        if (at < 0) {
            return false;
        }
        ++at;
    }
    return true;
}

// Runs `action` once `seconds` of program time have passed, from the event loop: only a handler
// that waits lets it run before it returns.
struct After {
    QObject scope;
    bool ran = false;
    After(PhoneLine& line, double seconds, std::function<void()> action) {
        line.waiter.after(seconds, &scope, [this, action = std::move(action)] {
            ran = true;
            action();
        });
    }
};

} // namespace

void TestLifecycle::firstStartWithEmptyStore() {
    PhoneLine line;
    Phone& phone = line.phone();
    bool shown = false;
    connect(&phone, &Phone::loaded, this, [&] { shown = true; });
    const double start = line.clock.now();
    line.load();
    QVERIFY(shown);
    QVERIFY(line.clock.now() - start >= 1.0); // the load's one-second wait
    // Nothing to initialise a modem with: the setup dialog, the window hidden, then shown.
    QCOMPARE(line.view.setupOpened, 1);
    QVERIFY(inOrder(line.view.log, {QStringLiteral("setup dialog"), QStringLiteral("hide"), QStringLiteral("show")}));
    QVERIFY(line.view.visible);
    QVERIFY(!line.view.busy);
    QCOMPARE(phone.face().widthTwips(), PhoneFace::NarrowWidth);
    QVERIFY(!line.shared.ModemAttached);
    QVERIFY(!phone.face().lit(Light::Power));
    QCOMPARE(line.shared.PortNumber, 1);
    QCOMPARE(line.shared.AutoOn, QStringLiteral("False"));
    for (int i = 0; i < PhoneFace::PhoneBookRows; ++i) {
        QCOMPARE(phone.face().phoneBookRow(i), QStringLiteral(" "));
    }
    QCOMPARE(line.written(), QByteArray());
    QVERIFY(line.modem()->opened.isEmpty());
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestLifecycle::loadAttachesAndSendsTheInitialisationLine_data() {
    QTest::addColumn<QString>("intString");
    QTest::addColumn<QString>("callerId");
    QTest::addColumn<QString>("callerIdString");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("caller ID on") << "AT#CLS=8#VLS=6"
                                  << "True"
                                  << "#CID=1" << Init;
    QTest::newRow("caller ID off") << "AT#CLS=8#VLS=6"
                                   << "False"
                                   << "#CID=1" << QByteArray("AT#CLS=8#VLS=6\r");
    QTest::newRow("lower-case true is off") << "AT#CLS=8#VLS=6"
                                            << "true"
                                            << "#CID=1" << QByteArray("AT#CLS=8#VLS=6\r");
    QTest::newRow("empty caller-ID string") << "AT#CLS=8"
                                            << "True"
                                            << "" << QByteArray("AT#CLS=8\r");
    // The attach sent a line, so the set-up is not asked for.
    QTest::newRow("empty initialisation string") << ""
                                                 << "True"
                                                 << "#CID=1" << QByteArray("#CID=1\r");
}

void TestLifecycle::loadAttachesAndSendsTheInitialisationLine() {
    QFETCH(QString, intString);
    QFETCH(QString, callerId);
    QFETCH(QString, callerIdString);
    QFETCH(QByteArray, line);
    PhoneLine phoneLine;
    phoneLine.storeModem();
    SettingsStore& store = phoneLine.store();
    store.write(Settings::IntString, intString);
    store.write(Settings::CallerID, callerId);
    store.write(Settings::CallerIDString, callerIdString);
    store.write(Settings::phoneBookName(2), QStringLiteral("Smith"));
    store.write(Settings::phoneBookNumber(2), QStringLiteral("5551212"));
    Phone& phone = phoneLine.phone();
    bool loaded = false;
    connect(&phone, &Phone::loaded, this, [&] { loaded = true; });
    phoneLine.load();
    QVERIFY(loaded);
    QCOMPARE(phoneLine.written(), line); // exactly the line, nothing before it
    QCOMPARE(phoneLine.modem()->opened, QStringList{phoneLine.devicePath()});
    QVERIFY(phoneLine.shared.ModemAttached);
    QVERIFY(phone.face().lit(Light::Power));
    QVERIFY(phoneLine.view.visible);
    QCOMPARE(phoneLine.view.setupOpened, 0);
    QCOMPARE(phone.face().widthTwips(), PhoneFace::NarrowWidth);
    QCOMPARE(phone.face().phoneBookRow(2), QStringLiteral("Smith 5551212"));
    QCOMPARE(phoneLine.shared.InitLine, QString::fromLatin1(line)); // the complete line stays for End
    QVERIFY(phoneLine.messages.boxes.isEmpty());
}

void TestLifecycle::inputBeforeTheAttachIsDiscarded() {
    PhoneLine line;
    line.storeModem(false);
    line.load();
    QVERIFY(!line.shared.ModemAttached);
    line.send("\r\nRING\r\n"); // before the port is open: waits in the line's queue
    Phone& phone = line.phone();
    int notifications = 0;
    connect(&phone.comModem(), &SerialControl::onComm, this, [&] { ++notifications; });
    phone.cmdOnOff_Click();
    QVERIFY(line.shared.ModemAttached);
    QCOMPARE(line.written(), Init);
    QVERIFY(!line.waitUntil([&] { return notifications > 0; }, 1));
    QCOMPARE(phone.comModem().input(), QByteArray());
}

void TestLifecycle::onOffDetachesAndAttachesAgain() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.face().setText(Box::NumberOut, QStringLiteral("5551234"));

    // Both lines go before the wait.
    QByteArray writtenBeforeTheWaitEnds;
    After during(line, 0.5, [&] { writtenBeforeTheWaitEnds = line.written(); });
    const double start = line.clock.now();
    phone.cmdOnOff_Click();
    QVERIFY(line.clock.now() - start >= 1.0);
    QVERIFY(during.ran);
    QCOMPARE(writtenBeforeTheWaitEnds, QByteArray("ATH\rATZ\r"));
    QCOMPARE(line.written(), QByteArray("ATH\rATZ\r"));
    QVERIFY(!phone.comModem().portOpen());
    QVERIFY(!line.shared.ModemAttached);
    QVERIFY(!phone.face().lit(Light::Power));
    QCOMPARE(phone.face().text(Box::NumberOut), QString());

    line.clearWritten();
    phone.cmdOnOff_Click();
    QVERIFY(line.shared.ModemAttached);
    QVERIFY(phone.face().lit(Light::Power));
    QCOMPARE(line.written(), Init);
}

void TestLifecycle::onOffPressedDuringTheDetachIsIgnored() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    After pressAgain(line, 0.2, [&] { phone.cmdOnOff_Click(); });
    phone.cmdOnOff_Click();
    QVERIFY(pressAgain.ran);
    QVERIFY(!line.shared.ModemAttached);
    QCOMPARE(line.written(), QByteArray("ATH\rATZ\r"));
}

void TestLifecycle::closedDuringTheLoadStaysClosed() {
    PhoneLine line;
    line.storeModem();
    Phone& phone = line.phone();
    bool shown = false;
    int closed = 0;
    connect(&phone, &Phone::loaded, this, [&] { shown = true; });
    connect(&phone, &Phone::closed, this, [&] { ++closed; });
    bool accepted = false;
    QTimer::singleShot(0, &phone, [&] { accepted = phone.queryUnload(); });
    line.load();
    QVERIFY(accepted);
    QVERIFY(!shown);
    QCOMPARE(closed, 1);
    QVERIFY(!line.view.visible);
    QVERIFY(!line.view.log.contains(QStringLiteral("show")));
    QVERIFY(!line.shared.ModemAttached);
    QCOMPARE(line.written(), Init + "ATZ\r");
}

void TestLifecycle::closingTheWindow_data() {
    QTest::addColumn<bool>("attached");
    QTest::newRow("attached") << true;
    QTest::newRow("detached") << false;
}

void TestLifecycle::closingTheWindow() {
    QFETCH(bool, attached);
    PhoneLine line;
    line.storeModem(attached);
    line.load();
    Phone& phone = line.phone();
    QCOMPARE(line.shared.ModemAttached, attached);
    line.clearWritten();
    int closed = 0;
    connect(&phone, &Phone::closed, this, [&] { ++closed; });
    // Closed again while the unload waits: refused.
    bool refusedDuringTheWait = false;
    After closeAgain(line, 1.5, [&] { refusedDuringTheWait = !phone.queryUnload(); });
    const double start = line.clock.now();
    QVERIFY(phone.queryUnload());
    QCOMPARE(closed, 1);
    if (attached) {
        QVERIFY(line.clock.now() - start >= 3.0);
        QVERIFY(closeAgain.ran);
        QVERIFY(refusedDuringTheWait);
        QCOMPARE(line.written(), QByteArray("ATZ\r"));
        QVERIFY(!phone.face().lit(Light::Power));
    } else {
        QVERIFY(!closeAgain.ran); // no wait at all
        QCOMPARE(line.written(), QByteArray());
    }
    QVERIFY(!phone.queryUnload()); // and once closed, closed
    QCOMPARE(closed, 1);
    QVERIFY(!line.shared.ModemAttached);
    QVERIFY(!phone.comModem().portOpen());
}

void TestLifecycle::attachErrors_data() {
    QTest::addColumn<PhoneLine::Line>("on");
    QTest::addColumn<SerialTransport::ErrorKind>("failure"); // of the scripted line's open
    QTest::addColumn<QString>("device");                     // on a pseudo-terminal: "missing" or "locked"
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("autoOnAfter");
    QTest::addColumn<bool>("redrawnFirst");
    using Kind = SerialTransport::ErrorKind;
    struct Row {
        const char* row;
        PhoneLine::Line on;
        Kind failure;
        const char *device, *firstLine, *autoOnAfter;
        bool redrawnFirst;
    };
    const Row rows[] = {
        {"no such device", PhoneLine::Line::Scripted, Kind::NotFound, "", "8002", "True", false},
        {"device held exclusively", PhoneLine::Line::Scripted, Kind::Permission, "", "8005", "False", true},
        {"device file missing", PhoneLine::Line::Pty, Kind::None, "missing", "8002", "True", false},
        {"device locked by another program", PhoneLine::Line::Pty, Kind::None, "locked", "8005", "False", true},
    };
    for (const Row& r : rows) {
        QTest::newRow(r.row) << r.on << r.failure << QString::fromLatin1(r.device) << QString::fromLatin1(r.firstLine)
                             << QString::fromLatin1(r.autoOnAfter) << r.redrawnFirst;
    }
}

void TestLifecycle::attachErrors() {
    QFETCH(PhoneLine::Line, on);
    QFETCH(SerialTransport::ErrorKind, failure);
    QFETCH(QString, device);
    QFETCH(QString, firstLine);
    QFETCH(QString, autoOnAfter);
    QFETCH(bool, redrawnFirst);
    PhoneLine line(on);
    line.storeModem();
    if (device == QLatin1String("missing")) {
        line.store().setPortDevice(1, line.temp.folder() + QStringLiteral("/no-such-modem"));
    } else if (device == QLatin1String("locked")) {
        // A lock in the UUCP form, held by a live process (our parent).
        const QString name = line.devicePath().mid(5).replace(QLatin1Char('/'), QLatin1Char('_'));
        QFile lock(line.lockDir.path() + QStringLiteral("/LCK..") + name);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QStringLiteral("%1\n").arg(getppid(), 10).toLatin1());
        lock.close();
    }
    Phone& phone = line.phone();
    if (failure != SerialTransport::ErrorKind::None) {
        line.modem()->failNextOpen(failure);
    }
    bool redrawnBeforeTheBox = false;
    line.messages.whileOpen = [&] { redrawnBeforeTheBox = line.view.log.contains(QStringLiteral("redraw")); };
    const QByteArray storeBefore = line.temp.readRaw();
    line.load();
    QCOMPARE(line.messages.boxes.size(), 1);
    QCOMPARE(line.messages.firstLine(0), firstLine);
    QCOMPARE(line.messages.boxes.first().icon, MessageBoxes::Icon::Critical);
    QCOMPARE(line.messages.boxes.first().title, QStringLiteral("Brisvane"));
    QCOMPARE(redrawnBeforeTheBox, redrawnFirst);
    QVERIFY(!line.shared.ModemAttached);
    QVERIFY(!phone.face().lit(Light::Power));
    QVERIFY(!phone.comModem().portOpen());
    QCOMPARE(line.shared.AutoOn, autoOnAfter);
    QCOMPARE(line.temp.readRaw(), storeBefore); // the store keeps "AutoOn" as it was
    QVERIFY(line.view.visible);
    QCOMPARE(line.written(), QByteArray()); // nothing reached the device
    if (Pty* pty = line.pty()) {
        QCOMPARE(pty->received(), QByteArray());
    }
}

void TestLifecycle::errorReporter_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("told");
    QTest::addColumn<bool>("detached");
    QTest::addColumn<QString>("verdict");
    QTest::newRow("no such port") << 8002 << true << false << "E";
    QTest::newRow("port in use") << 8005 << true << true << "E";
    QTest::newRow("port not open") << 8018 << false << false << "E";
    QTest::newRow("not the serial control's") << 13 << false << false << "";
}

// The error reporter on an attached telephone: which numbers are told, and which detach.
void TestLifecycle::errorReporter() {
    QFETCH(int, number);
    QFETCH(bool, told);
    QFETCH(bool, detached);
    QFETCH(QString, verdict);
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    QCOMPARE(phone.modemLink().ModemError({number, QStringLiteral("what went wrong")}), verdict);
    QCOMPARE(line.messages.boxes.size(), told ? 1 : 0);
    if (told) {
        QCOMPARE(line.messages.boxes.first().text, QStringLiteral("%1\rwhat went wrong").arg(number));
    }
    QCOMPARE(line.shared.ModemAttached, !detached);
    QCOMPARE(phone.face().lit(Light::Power), !detached);
    QCOMPARE(line.shared.AutoOn, detached ? QStringLiteral("False") : QStringLiteral("True"));
    QCOMPARE(line.store().read(Settings::AutoOn), QStringLiteral("True")); // in memory only
    QCOMPARE(line.written(), QByteArray());
}

void TestLifecycle::unusableStoredValues_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("howToCorrect");
    QTest::newRow("port") << "Port"
                          << "COM1"
                          << "choose a Comm Port in Setup";
    QTest::newRow("switch") << "DisCW"
                            << "maybe"
                            << "set its switch in Setup";
    QTest::newRow("speaker level") << "Speaker"
                                   << "loud"
                                   << "move the Speaker Volume slider";
}

void TestLifecycle::unusableStoredValues() {
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, howToCorrect);
    PhoneLine line;
    line.storeModem();
    line.store().write(Settings::Modem, key, text);
    line.load();
    Phone& phone = line.phone();
    // The load says so once, and what it stops; the attach it starts does not say it again.
    QCOMPARE(line.messages.boxes.size(), 1);
    const QString atLoad = line.messages.boxes.first().text;
    for (const QString& part :
         {key, text, howToCorrect, line.store().filePath(), QStringLiteral("cannot attach to the modem")}) {
        QVERIFY2(atLoad.contains(part), qPrintable(atLoad));
    }
    QVERIFY(!line.shared.ModemAttached);
    QVERIFY(!phone.comModem().portOpen());
    QVERIFY(line.modem()->opened.isEmpty());

    // On/Off meets the same value: it says why nothing happened, every time.
    for (int press = 1; press <= 2; ++press) {
        phone.cmdOnOff_Click();
        QCOMPARE(line.messages.boxes.size(), 1 + press);
        const QString atAttach = line.messages.boxes.last().text;
        for (const QString& part : {key, text, howToCorrect, QStringLiteral("not attached")}) {
            QVERIFY2(atAttach.contains(part), qPrintable(atAttach));
        }
        QVERIFY(!line.shared.ModemAttached);
    }
    QCOMPARE(line.written(), QByteArray());

    // Corrected as the message says, the next On/Off attaches.
    if (key == QLatin1String("Speaker")) {
        PhoneFace& face = phone.face();
        face.setSpeakerLevel(face.speakerLevel() == 7 ? 8 : 7);
    } else {
        line.store().write(Settings::Modem, key,
                           key == QLatin1String("Port") ? QStringLiteral("1") : QStringLiteral("False"));
    }
    phone.cmdOnOff_Click();
    QVERIFY(line.shared.ModemAttached);
    QCOMPARE(line.written(), Init);
    QCOMPARE(line.messages.boxes.size(), 3);
}

void TestLifecycle::deviceVanishingWhileAttached_data() {
    QTest::addColumn<PhoneLine::Line>("on");
    QTest::newRow("scripted line") << PhoneLine::Line::Scripted;
    QTest::newRow("pseudo-terminal hung up") << PhoneLine::Line::Pty;
}

void TestLifecycle::deviceVanishingWhileAttached() {
    QFETCH(PhoneLine::Line, on);
    PhoneLine line(on);
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    if (on == PhoneLine::Line::Pty) {
        line.pty()->closeMaster();
    } else {
        line.modem()->vanish();
    }
    QTRY_VERIFY(!line.shared.ModemAttached);
    QTRY_COMPARE(line.messages.boxes.size(), 1);
    QCOMPARE(line.messages.firstLine(0), QStringLiteral("8020"));
    QVERIFY(!phone.face().lit(Light::Power));
    QVERIFY(!phone.comModem().portOpen());
    // Told once, although a gone device keeps reporting its error.
    QVERIFY(!line.waitUntil([&] { return line.messages.boxes.size() > 1; }, 4));
}

void TestLifecycle::attachWhileAttachedOnlyReloadsSettings() {
    PhoneLine line;
    line.storeModem(false);
    line.load();
    Phone& phone = line.phone();
    phone.cmdOnOff_Click();
    QCOMPARE(line.written(), Init);
    line.clearWritten();
    line.store().write(Settings::Speaker, QStringLiteral("9"));
    phone.modemLink().modem_int();
    QCOMPARE(phone.face().speakerLevel(), 9);
    QVERIFY(line.shared.ModemAttached);
    QCOMPARE(line.modem()->opened.size(), 1);
    QCOMPARE(line.written(), QByteArray());
}

QTEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
