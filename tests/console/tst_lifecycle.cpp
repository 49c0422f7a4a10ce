#include "PhoneRig.h"
#include "Pty.h"
#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "modem/SerialControl.h"
#include "platform/Controls.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <unistd.h>

// The main window's life: load, attach and detach with On/Off, close, and the serial errors of
// an attach, against a real pseudo-terminal.
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
    void unusableStoredValues_data();
    void unusableStoredValues();
    void deviceVanishingWhileAttached();
    void attachWhileAttachedOnlyReloadsSettings();
};

void TestLifecycle::firstStartWithEmptyStore() {
    PhoneRig rig;
    frmPhone& phone = rig.makePhone();
    bool shown = false;
    connect(&phone, &frmPhone::loaded, this, [&] { shown = true; });
    const double start = rig.clock.now();
    rig.load();
    QVERIFY(shown);
    QVERIFY(phone.isVisible());
    QVERIFY(rig.clock.now() - start >= 1.0); // the load's one-second wait
    QCOMPARE(phone.widthTwips(), frmPhone::NarrowWidth);
    QVERIFY(!rig.shared.ModemAttached);
    QVERIFY(phone.picPower[0]->isVisible());
    QVERIFY(!phone.picPower[1]->isVisible());
    QCOMPARE(rig.shared.PortNumber, 1);
    QCOMPARE(rig.shared.AutoOn, QStringLiteral("False"));
    for (QLineEdit* entry : phone.txtPhoneBook) {
        QCOMPARE(entry->text(), QStringLiteral(" "));
    }
    QVERIFY(rig.messages.boxes.isEmpty());
}

void TestLifecycle::loadAttachesAndSendsTheInitialisationLine_data() {
    QTest::addColumn<QString>("intString");
    QTest::addColumn<QString>("callerId");
    QTest::addColumn<QString>("callerIdString");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("caller ID on") << "AT#CLS=8#VLS=6"
                                  << "True"
                                  << "#CID=1" << QByteArray("AT#CLS=8#VLS=6#CID=1\r");
    QTest::newRow("caller ID off") << "AT#CLS=8#VLS=6"
                                   << "False"
                                   << "#CID=1" << QByteArray("AT#CLS=8#VLS=6\r");
    QTest::newRow("lower-case true is off") << "AT#CLS=8#VLS=6"
                                            << "true"
                                            << "#CID=1" << QByteArray("AT#CLS=8#VLS=6\r");
    QTest::newRow("empty caller-ID string") << "AT#CLS=8"
                                            << "True"
                                            << "" << QByteArray("AT#CLS=8\r");
    QTest::newRow("empty initialisation string") << ""
                                                 << "True"
                                                 << "#CID=1" << QByteArray("#CID=1\r");
}

void TestLifecycle::loadAttachesAndSendsTheInitialisationLine() {
    QFETCH(QString, intString);
    QFETCH(QString, callerId);
    QFETCH(QString, callerIdString);
    QFETCH(QByteArray, line);
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath());
    rig.store().write(Settings::Modem, QStringLiteral("IntString"), intString);
    rig.store().write(Settings::Modem, QStringLiteral("CallerID"), callerId);
    rig.store().write(Settings::Modem, QStringLiteral("CallerIDString"), callerIdString);
    rig.load();
    frmPhone& phone = rig.phone();
    QVERIFY(pty.waitForCount(line.size()));
    QCOMPARE(pty.received(), line); // exactly the line, nothing before it
    QVERIFY(rig.shared.ModemAttached);
    QVERIFY(phone.picPower[1]->isVisible());
    QVERIFY(!phone.picPower[0]->isVisible());
    QVERIFY(phone.isVisible());
    QCOMPARE(phone.widthTwips(), frmPhone::NarrowWidth);
    QCOMPARE(rig.shared.IntString, QString::fromLatin1(line)); // the complete line stays for End
}

void TestLifecycle::inputBeforeTheAttachIsDiscarded() {
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath(), false);
    rig.load();
    pty.send("\r\nRING\r\n"); // before the port is open: waits in the line's queue
    frmPhone& phone = rig.phone();
    int notifications = 0;
    connect(phone.comModem, &SerialControl::onComm, this, [&] { ++notifications; });
    phone.cmdOnOff->click();
    QVERIFY(rig.shared.ModemAttached);
    QVERIFY(pty.waitForReceived("AT#CLS=8#VLS=6#CID=1\r"));
    QTest::qWait(100);
    QCOMPARE(phone.comModem->input(), QByteArray());
    QCOMPARE(notifications, 0);
}

void TestLifecycle::onOffDetachesAndAttachesAgain() {
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath());
    rig.load();
    frmPhone& phone = rig.phone();
    QVERIFY(pty.waitForReceived("#CID=1\r"));
    pty.clearReceived();
    phone.txtNumberOut->setText(QStringLiteral("5551234"));

    const double start = rig.clock.now();
    phone.cmdOnOff->click();
    QVERIFY(rig.clock.now() - start >= 1.0);
    QVERIFY(pty.waitForCount(8));
    QCOMPARE(pty.received(), QByteArray("ATH\rATZ\r"));
    QVERIFY(!phone.comModem->portOpen());
    QVERIFY(!rig.shared.ModemAttached);
    QVERIFY(phone.picPower[0]->isVisible());
    QVERIFY(!phone.picPower[1]->isVisible());
    QCOMPARE(phone.txtNumberOut->text(), QString());

    pty.clearReceived();
    phone.cmdOnOff->click();
    QVERIFY(rig.shared.ModemAttached);
    QVERIFY(pty.waitForCount(21));
    QCOMPARE(pty.received(), QByteArray("AT#CLS=8#VLS=6#CID=1\r"));
}

void TestLifecycle::onOffPressedDuringTheDetachIsIgnored() {
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath());
    rig.load();
    frmPhone& phone = rig.phone();
    QVERIFY(pty.waitForReceived("#CID=1\r"));
    pty.clearReceived();
    QTimer::singleShot(10, &phone, [&] { phone.cmdOnOff->click(); });
    phone.cmdOnOff->click();
    QVERIFY(!rig.shared.ModemAttached);
    QTest::qWait(100);
    QCOMPARE(pty.received(), QByteArray("ATH\rATZ\r"));
}

void TestLifecycle::closedDuringTheLoadStaysClosed() {
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath());
    frmPhone& phone = rig.makePhone();
    bool shown = false;
    connect(&phone, &frmPhone::loaded, this, [&] { shown = true; });
    QTimer::singleShot(0, &phone, [&] { phone.close(); });
    rig.load();
    QVERIFY(!shown);
    QVERIFY(!phone.isVisible());
    QVERIFY(!rig.shared.ModemAttached);
    QVERIFY(pty.waitForReceived("AT#CLS=8#VLS=6#CID=1\rATZ\r"));
}

void TestLifecycle::closingTheWindow_data() {
    QTest::addColumn<bool>("attached");
    QTest::newRow("attached") << true;
    QTest::newRow("detached") << false;
}

void TestLifecycle::closingTheWindow() {
    QFETCH(bool, attached);
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath(), attached);
    rig.load();
    frmPhone& phone = rig.phone();
    if (attached) {
        QVERIFY(pty.waitForReceived("#CID=1\r"));
    }
    pty.clearReceived();
    bool closed = false;
    connect(&phone, &frmPhone::closed, this, [&] { closed = true; });
    const double start = rig.clock.now();
    QVERIFY(phone.close());
    QVERIFY(closed);
    const double took = rig.clock.now() - start;
    if (attached) {
        QVERIFY(took >= 3.0);
        QVERIFY(pty.waitForCount(4));
        QCOMPARE(pty.received(), QByteArray("ATZ\r"));
        QVERIFY(phone.picPower[0]->isVisibleTo(&phone));
    } else {
        QVERIFY(took < 1.0);
        QTest::qWait(50);
        QCOMPARE(pty.received(), QByteArray());
    }
    QVERIFY(!rig.shared.ModemAttached);
    QVERIFY(!phone.comModem->portOpen());
}

void TestLifecycle::attachErrors_data() {
    QTest::addColumn<QString>("device"); // "missing" or "locked"
    QTest::addColumn<QString>("firstLine");
    QTest::addColumn<QString>("autoOnAfter");
    QTest::newRow("missing device") << "missing"
                                    << "8002"
                                    << "True";
    QTest::newRow("device held by another program") << "locked"
                                                    << "8005"
                                                    << "False";
}

void TestLifecycle::attachErrors() {
    QFETCH(QString, device);
    QFETCH(QString, firstLine);
    QFETCH(QString, autoOnAfter);
    Pty pty;
    PhoneRig rig;
    if (device == QLatin1String("missing")) {
        rig.storeModem(rig.temp.folder() + QStringLiteral("/no-such-modem"));
    } else {
        rig.storeModem(pty.devicePath());
        // A lock in the UUCP form, held by a live process (our parent).
        const QString name = pty.devicePath().mid(5).replace(QLatin1Char('/'), QLatin1Char('_'));
        QFile lock(rig.lockDir.path() + QStringLiteral("/LCK..") + name);
        QVERIFY(lock.open(QIODevice::WriteOnly));
        lock.write(QStringLiteral("%1\n").arg(getppid(), 10).toLatin1());
        lock.close();
    }
    const QByteArray storeBefore = rig.temp.readRaw();
    rig.load();
    frmPhone& phone = rig.phone();
    QCOMPARE(rig.messages.boxes.size(), 1);
    QCOMPARE(rig.messages.firstLine(0), firstLine);
    QCOMPARE(rig.messages.boxes.first().icon, MessageBoxes::Icon::Critical);
    QCOMPARE(rig.messages.boxes.first().title, QStringLiteral("Brisvane"));
    QVERIFY(!rig.shared.ModemAttached);
    QVERIFY(phone.picPower[0]->isVisible());
    QVERIFY(!phone.picPower[1]->isVisible());
    QCOMPARE(rig.shared.AutoOn, autoOnAfter);
    QCOMPARE(rig.temp.readRaw(), storeBefore); // the store keeps "AutoOn" as it was
    QTest::qWait(50);
    QCOMPARE(pty.received(), QByteArray()); // nothing reached the device
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
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath());
    rig.store().write(Settings::Modem, key, text);
    rig.load();
    frmPhone& phone = rig.phone();
    // The load says so once, and what it stops; the attach it starts does not say it again.
    QCOMPARE(rig.messages.boxes.size(), 1);
    const QString atLoad = rig.messages.boxes.first().text;
    for (const QString& part :
         {key, text, howToCorrect, rig.store().filePath(), QStringLiteral("cannot attach to the modem")}) {
        QVERIFY2(atLoad.contains(part), qPrintable(atLoad));
    }
    QVERIFY(!rig.shared.ModemAttached);
    QVERIFY(!phone.comModem->portOpen());

    // On/Off meets the same value: it says why nothing happened, every time.
    for (int press = 1; press <= 2; ++press) {
        phone.cmdOnOff->click();
        QCOMPARE(rig.messages.boxes.size(), 1 + press);
        const QString atAttach = rig.messages.boxes.last().text;
        for (const QString& part : {key, text, howToCorrect, QStringLiteral("not attached")}) {
            QVERIFY2(atAttach.contains(part), qPrintable(atAttach));
        }
        QVERIFY(!rig.shared.ModemAttached);
    }

    // Corrected as the message says, the next On/Off attaches.
    if (key == QLatin1String("Speaker")) {
        phone.Slider1->setValue(phone.Slider1->value() == 7 ? 8 : 7);
    } else {
        rig.store().write(Settings::Modem, key,
                          key == QLatin1String("Port") ? QStringLiteral("1") : QStringLiteral("False"));
    }
    phone.cmdOnOff->click();
    QVERIFY(rig.shared.ModemAttached);
    QVERIFY(pty.waitForReceived("#CID=1\r"));
    QCOMPARE(rig.messages.boxes.size(), 3);
}

void TestLifecycle::deviceVanishingWhileAttached() {
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath());
    rig.load();
    frmPhone& phone = rig.phone();
    QVERIFY(pty.waitForReceived("#CID=1\r"));
    pty.closeMaster();
    QTRY_VERIFY(!rig.shared.ModemAttached);
    QTRY_COMPARE(rig.messages.boxes.size(), 1);
    QVERIFY(phone.picPower[0]->isVisible());
    QVERIFY(!phone.comModem->portOpen());
    QTest::qWait(200);
    QCOMPARE(rig.messages.boxes.size(), 1); // told once
}

void TestLifecycle::attachWhileAttachedOnlyReloadsSettings() {
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath(), false);
    rig.load();
    frmPhone& phone = rig.phone();
    phone.cmdOnOff->click();
    QVERIFY(pty.waitForReceived("#CID=1\r"));
    pty.clearReceived();
    rig.store().write(Settings::Modem, QStringLiteral("Speaker"), QStringLiteral("9"));
    phone.modemLink().modem_int();
    QCOMPARE(phone.Slider1->value(), 9);
    QTest::qWait(50);
    QCOMPARE(pty.received(), QByteArray());
}

QTEST_MAIN(TestLifecycle)
#include "tst_lifecycle.moc"
