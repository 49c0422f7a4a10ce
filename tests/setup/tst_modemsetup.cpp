#include "ModemEntries.h"
#include "PhoneLine.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/ModemLink.h"
#include "modem/SerialControl.h"
#include "modem/SerialError.h"
#include "setup/ModemSetup.h"

#include <QCoreApplication>
#include <QTest>

// The modem setup dialog's logic: what the opening reads and offers, the click handlers acting
// at once on the shared variables, Exit storing exactly what the dialog shows, and Cancel.
class TestModemSetup : public QObject {
    Q_OBJECT
private slots:
    void emptyStoreOffersDefaultsAndExitStoresThem();
    void portOptions_data();
    void portOptions();
    void textSwitches_data();
    void textSwitches();
    void clickHandlersActAtOnceAndExitStores();
    void cancelStoresNothingAndPutsBackTheCallSwitches_data();
    void cancelStoresNothingAndPutsBackTheCallSwitches();
    void exitStoresWhatTheDialogShowsNotWhatChangedMeanwhile();
    void devicesAreWrittenOnlyWhenChanged();
    void exitAfterTheFirstStartLeavesTheModemDetached();
    void commandSet_data();
    void commandSet();
};

namespace {

QString stored(PhoneLine& line, const Settings::Key& key) {
    return line.store().contains(key) ? line.store().read(key) : QStringLiteral("<absent>");
}

} // namespace

void TestModemSetup::emptyStoreOffersDefaultsAndExitStoresThem() {
    PhoneLine line;
    ModemSetup setup(line.services);
    const SetupChoices shown = setup.Form_Load();
    QCOMPARE(shown.port, 1);
    QCOMPARE(shown.intString, QStringLiteral("AT#CLS=8#VLS=6"));
    QCOMPARE(shown.callerIdString, QStringLiteral("#CID=1"));
    QVERIFY(!shown.autoOn);
    QVERIFY(!shown.callerId);
    QVERIFY(!shown.autoAns);
    QVERIFY(!shown.disCid);
    QVERIFY(!shown.disCw);
    const std::array<QString, 4> usual{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1"),
                                       QStringLiteral("/dev/ttyS2"), QStringLiteral("/dev/ttyS3")};
    QCOMPARE(shown.devices, usual);
    // The opening fills the shared variables from the store (with the dialog's own defaults)...
    QCOMPARE(line.shared.PortNumber, 1);
    QCOMPARE(line.shared.IntString, QStringLiteral("AT#CLS=8#VLS=6"));
    QCOMPARE(line.shared.AutoOn, QStringLiteral("False"));
    QCOMPARE(line.shared.CallerID, QString());
    QCOMPARE(line.shared.CallerIDString, QStringLiteral("#CID=1"));
    // ...and writes nothing.
    QCOMPARE(line.temp.readRaw(), QByteArray());

    setup.cmdExit_Click(shown);
    QCOMPARE(stored(line, Settings::Port), QStringLiteral("1"));
    QCOMPARE(stored(line, Settings::IntString), QStringLiteral("AT#CLS=8#VLS=6"));
    QCOMPARE(stored(line, Settings::AutoOn), QStringLiteral("False"));
    QCOMPARE(stored(line, Settings::CallerID), QString());
    QCOMPARE(stored(line, Settings::CallerIDString), QStringLiteral("#CID=1"));
    QCOMPARE(stored(line, Settings::AutoAns), QStringLiteral("False"));
    QCOMPARE(stored(line, Settings::DisCID), QStringLiteral("False"));
    QCOMPARE(stored(line, Settings::DisCW), QStringLiteral("False"));
    QVERIFY(!line.temp.readRaw().contains("[Ports]")); // devices nobody changed are not written
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestModemSetup::portOptions_data() {
    QTest::addColumn<QString>("storedPort"); // null: absent
    QTest::addColumn<int>("shown");          // the option shown at the opening (1 to 4), 0 none
    QTest::addColumn<int>("clicked");        // option index clicked, -1 none
    QTest::addColumn<QString>("exitStores");
    QTest::addColumn<int>("portNumber"); // the shared variable after Exit; it was 2 before the opening
    QTest::newRow("absent: Comm 1") << QString() << 1 << -1 << "1" << 1;
    QTest::newRow("Comm 3 chosen") << QString() << 1 << 2 << "3" << 3;
    QTest::newRow("stored 4 kept") << "4" << 4 << -1 << "4" << 4;
    QTest::newRow("stored 2 with blanks") << " 2 " << 2 << -1 << "2" << 2;
    QTest::newRow("stored 7: no option, kept") << "7" << 0 << -1 << "7" << 7;
    QTest::newRow("stored 0: no option, kept") << "0" << 0 << -1 << "0" << 0;
    QTest::newRow("stored text: no option, kept") << "COM1" << 0 << -1 << "COM1" << 2;
    QTest::newRow("stored 7, Comm 2 chosen") << "7" << 0 << 1 << "2" << 2;
}

void TestModemSetup::portOptions() {
    QFETCH(QString, storedPort);
    QFETCH(int, shown);
    QFETCH(int, clicked);
    QFETCH(QString, exitStores);
    QFETCH(int, portNumber);
    PhoneLine line;
    if (!storedPort.isNull()) {
        line.store().write(Settings::Port, storedPort);
    }
    line.shared.PortNumber = 2; // as the telephone's load left it
    ModemSetup setup(line.services);
    SetupChoices choices = setup.Form_Load();
    QCOMPARE(choices.port, shown);
    if (clicked >= 0) {
        setup.optPort_Click(clicked);
        QCOMPARE(line.shared.PortNumber, clicked + 1);
        choices.port = clicked + 1;
    }
    setup.cmdExit_Click(choices);
    QCOMPARE(stored(line, Settings::Port), exitStores);
    QCOMPARE(line.shared.PortNumber, portNumber);
}

void TestModemSetup::textSwitches_data() {
    // "CallerID" and "AutoOn" are held as the text stored: a box is checked only for exactly
    // "True", and Exit keeps the text while the box still shows what it means.
    QTest::addColumn<QString>("callerId");
    QTest::addColumn<QString>("autoOn");
    QTest::addColumn<bool>("checked"); // both boxes at the opening
    QTest::addColumn<bool>("atExit");  // both boxes at Exit: clicked when it differs
    QTest::addColumn<QString>("callerIdStored");
    QTest::addColumn<QString>("autoOnStored");
    QTest::newRow("True") << "True"
                          << "True" << true << true << "True"
                          << "True";
    QTest::newRow("lower-case true") << "true"
                                     << "true" << false << false << "true"
                                     << "true";
    QTest::newRow("upper-case TRUE") << "TRUE"
                                     << "TRUE" << false << false << "TRUE"
                                     << "TRUE";
    QTest::newRow("False") << "False"
                           << "False" << false << false << "False"
                           << "False";
    QTest::newRow("with a blank") << "True "
                                  << " True" << false << false << "True "
                                  << " True";
    QTest::newRow("empty") << ""
                           << "" << false << false << ""
                           << "";
    QTest::newRow("True cleared") << "True"
                                  << "True" << true << false << "False"
                                  << "False";
    QTest::newRow("lower-case true checked") << "true"
                                             << "true" << false << true << "True"
                                             << "True";
    QTest::newRow("empty checked") << ""
                                   << "" << false << true << "True"
                                   << "True";
}

void TestModemSetup::textSwitches() {
    QFETCH(QString, callerId);
    QFETCH(QString, autoOn);
    QFETCH(bool, checked);
    QFETCH(bool, atExit);
    QFETCH(QString, callerIdStored);
    QFETCH(QString, autoOnStored);
    PhoneLine line;
    line.store().write(Settings::CallerID, callerId);
    line.store().write(Settings::AutoOn, autoOn);
    ModemSetup setup(line.services);
    SetupChoices choices = setup.Form_Load();
    QCOMPARE(choices.callerId, checked);
    QCOMPARE(choices.autoOn, checked);
    QCOMPARE(line.shared.CallerID, callerId);
    QCOMPARE(line.shared.AutoOn, autoOn);
    if (atExit != checked) {
        setup.chkCallerID_Click(atExit);
        setup.chkAuto_Click(atExit);
        choices.callerId = atExit;
        choices.autoOn = atExit;
    }
    setup.cmdExit_Click(choices);
    QCOMPARE(stored(line, Settings::CallerID), callerIdStored);
    QCOMPARE(stored(line, Settings::AutoOn), autoOnStored);
    QCOMPARE(line.shared.CallerID, callerIdStored);
    QCOMPARE(line.shared.AutoOn, autoOnStored);
}

void TestModemSetup::clickHandlersActAtOnceAndExitStores() {
    PhoneLine line;
    // The three call switches show what is in memory, not what is stored.
    line.store().write(Settings::DisCW, QStringLiteral("True"));
    line.shared.DisCW = false;
    line.shared.DisCID = true;
    ModemSetup setup(line.services);
    SetupChoices choices = setup.Form_Load();
    QVERIFY(!choices.disCw);
    QVERIFY(choices.disCid);
    const QByteArray opened = line.temp.readRaw();

    setup.optPort_Click(3);
    setup.chkAuto_Click(true);
    setup.chkCallerID_Click(true);
    setup.chkAutoAns_Click(true);
    setup.chkDiscid_Click(false);
    setup.chkDisCW_Click(true);
    QCOMPARE(line.shared.PortNumber, 4);
    QCOMPARE(line.shared.AutoOn, QStringLiteral("True"));
    QCOMPARE(line.shared.CallerID, QStringLiteral("True"));
    QVERIFY(line.shared.AutoAns);
    QVERIFY(!line.shared.DisCID);
    QVERIFY(line.shared.DisCW);
    QCOMPARE(line.temp.readRaw(), opened); // nothing is stored before Exit

    choices.port = 4;
    choices.autoOn = true;
    choices.callerId = true;
    choices.autoAns = true;
    choices.disCid = false;
    choices.disCw = true;
    choices.intString = QStringLiteral("ATZ");
    choices.callerIdString = QStringLiteral(" #CID=2 "); // stored exactly as typed
    setup.cmdExit_Click(choices);
    QCOMPARE(stored(line, Settings::Port), QStringLiteral("4"));
    QCOMPARE(stored(line, Settings::AutoOn), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::CallerID), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::AutoAns), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::DisCID), QStringLiteral("False"));
    QCOMPARE(stored(line, Settings::DisCW), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::IntString), QStringLiteral("ATZ"));
    QCOMPARE(stored(line, Settings::CallerIDString), QStringLiteral(" #CID=2 "));
    QCOMPARE(line.shared.IntString, QStringLiteral("ATZ"));
    QCOMPARE(line.shared.CallerIDString, QStringLiteral(" #CID=2 "));
}

void TestModemSetup::cancelStoresNothingAndPutsBackTheCallSwitches_data() {
    QTest::addColumn<bool>("before"); // AutoAns, DisCID and DisCW in memory at the opening
    QTest::newRow("off, clicked on") << false;
    QTest::newRow("on, clicked off") << true;
}

void TestModemSetup::cancelStoresNothingAndPutsBackTheCallSwitches() {
    QFETCH(bool, before);
    PhoneLine line;
    line.store().write(Settings::IntString, QStringLiteral("AT&F#CLS=8"));
    line.store().write(Settings::CallerIDString, QStringLiteral("#CID=2"));
    line.shared.AutoAns = before;
    line.shared.DisCID = before;
    line.shared.DisCW = before;
    const QByteArray storedBefore = line.temp.readRaw();
    ModemSetup setup(line.services);
    setup.Form_Load();
    setup.optPort_Click(3);
    setup.chkAuto_Click(true);
    setup.chkAutoAns_Click(!before);
    setup.chkDiscid_Click(!before);
    setup.chkDisCW_Click(!before);

    setup.cmdCancel_Click();
    QCOMPARE(line.temp.readRaw(), storedBefore);
    // Send and the caller-ID handling read these from memory: an abandoned edit is undone.
    QCOMPARE(line.shared.AutoAns, before);
    QCOMPARE(line.shared.DisCID, before);
    QCOMPARE(line.shared.DisCW, before);
    // The others keep what the clicks gave them until the store is read again.
    QCOMPARE(line.shared.PortNumber, 4);
    QCOMPARE(line.shared.AutoOn, QStringLiteral("True"));

    ModemSetup again(line.services);
    const SetupChoices reopened = again.Form_Load();
    QCOMPARE(reopened.intString, QStringLiteral("AT&F#CLS=8"));
    QCOMPARE(reopened.callerIdString, QStringLiteral("#CID=2"));
    QCOMPARE(reopened.port, 1);
    QVERIFY(!reopened.autoOn);
    QCOMPARE(reopened.devices[0], QStringLiteral("/dev/ttyS0"));
}

void TestModemSetup::exitStoresWhatTheDialogShowsNotWhatChangedMeanwhile() {
    PhoneLine line;
    line.storeModem(false);
    line.load();
    Phone& phone = line.phone();
    ModemSetup setup(line.services);
    SetupChoices choices = setup.Form_Load();
    setup.optPort_Click(2);
    setup.chkAuto_Click(true);
    setup.chkAutoAns_Click(true);
    setup.chkCallerID_Click(false);
    choices.port = 3;
    choices.autoOn = true;
    choices.autoAns = true;
    choices.callerId = false;
    // While the dialog is open, an attach reloads the port and the switches from the store, and
    // a port held by another program switches "AutoOn" off in memory.
    phone.cmdOnOff_Click();
    QVERIFY(line.waitUntil([&] { return line.written().endsWith("#CID=1\r"); }, 10));
    QCOMPARE(line.shared.PortNumber, 1);
    phone.modemLink().ModemError({ErrorNumber::PortAlreadyOpen, QStringLiteral("held")});
    QCOMPARE(line.shared.AutoOn, QStringLiteral("False"));

    setup.cmdExit_Click(choices);
    QCOMPARE(stored(line, Settings::Port), QStringLiteral("3"));
    QCOMPARE(stored(line, Settings::AutoOn), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::AutoAns), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::CallerID), QStringLiteral("False"));
    QCOMPARE(line.shared.PortNumber, 3);
    QCOMPARE(line.shared.AutoOn, QStringLiteral("True"));
    QVERIFY(line.shared.AutoAns);
}

void TestModemSetup::devicesAreWrittenOnlyWhenChanged() {
    PhoneLine line;
    line.store().setPortDevice(3, QStringLiteral("/dev/serial/by-id/usb-Modem-if00"));
    line.store().setPortDevice(4, QStringLiteral("/dev/ttyUSB1"));
    ModemSetup setup(line.services);
    SetupChoices choices = setup.Form_Load();
    const std::array<QString, 4> offered{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyS1"),
                                         QStringLiteral("/dev/serial/by-id/usb-Modem-if00"),
                                         QStringLiteral("/dev/ttyUSB1")};
    QCOMPARE(choices.devices, offered);

    choices.devices[1] = QStringLiteral(" /dev/ttyACM0 ");
    choices.devices[3] = QString(); // back to the port's usual device
    setup.cmdExit_Click(choices);
    QCOMPARE(line.store().portDevice(1), QStringLiteral("/dev/ttyS0"));
    QVERIFY(!line.store().contains(Settings::portDevice(1))); // shown unchanged: not written
    QCOMPARE(line.store().portDevice(2), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(line.store().portDevice(3), QStringLiteral("/dev/serial/by-id/usb-Modem-if00"));
    QCOMPARE(line.store().portDevice(4), QStringLiteral("/dev/ttyS3"));
}

void TestModemSetup::exitAfterTheFirstStartLeavesTheModemDetached() {
    PhoneLine line;
    line.store().setPortDevice(1, line.devicePath());
    line.load(); // nothing in "Modem": a first start
    QCOMPARE(line.view.setupOpened, 1);
    ModemSetup setup(line.services);
    SetupChoices choices = setup.Form_Load();
    setup.chkAuto_Click(true);
    choices.autoOn = true;
    setup.cmdExit_Click(choices);
    QCOMPARE(stored(line, Settings::AutoOn), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::IntString), QStringLiteral("AT#CLS=8#VLS=6"));
    QCoreApplication::processEvents(); // whatever Exit left for the event loop
    QVERIFY(!line.shared.ModemAttached);
    QVERIFY(!line.phone().comModem().portOpen());
    QVERIFY(!line.phone().face().lit(PhoneView::Light::Power));
    QCOMPARE(line.written(), QByteArray());
}

void TestModemSetup::commandSet_data() {
    QTest::addColumn<QString>("store");  // key=text in "Modem", separated by ";"
    QTest::addColumn<QString>("found");  // the latest attach's probe: set:the one line selection; "" none
    QTest::addColumn<QString>("chosen"); // the sets chosen in turn, by ";"
    QTest::addColumn<QString>("opens");  // set|init|caller ID|talk through applies|speakerphone listed
    QTest::addColumn<QString>("stores"); // the keys of the command set after Exit, absent ones left out
    const auto row = [](const char* name, const char* store, const char* found, const char* chosen, const char* opens,
                        const char* stores) {
        QTest::newRow(name) << QString::fromLatin1(store) << QString::fromLatin1(found) << QString::fromLatin1(chosen)
                            << QString::fromLatin1(opens) << QString::fromLatin1(stores);
    };
    row("first start, V.253 chosen: IntString ends the first start", "", "", "V.253",
        "Detect|AT#CLS=8#VLS=6|#CID=1|0|0",
        "CommandSet=V.253;IntString=AT#CLS=8#VLS=6;V253IntString=AT+FCLASS=8;V253CallerIDString=+VCID=1");
    row("existing store untouched: no new key", "IntString=AT&F", "V.253:MST", "", "Rockwell|AT&F|#CID=1|0|1",
        "IntString=AT&F;CallerIDString=#CID=1");
    row("V.253 without a speakerphone, Rockwell chosen", "CommandSet=V.253;IntString=AT&F", "V.253:ST", "Rockwell",
        "V.253|AT+FCLASS=8|+VCID=1|1|0", "CommandSet=Rockwell;IntString=AT&F;CallerIDString=#CID=1");
    row("Detect found V.253", "CommandSet=Detect;IntString=AT&F;V253IntString=AT&D2", "V.253:MST", "",
        "Detect|AT&D2|+VCID=1|1|1", "CommandSet=Detect;IntString=AT&F;V253IntString=AT&D2;V253CallerIDString=+VCID=1");
    row("hand-edited words kept", "CommandSet=v253;TalkThrough=speaker;IntString=AT&F", "", "", "v253|AT&F|#CID=1|0|0",
        "CommandSet=v253;IntString=AT&F;CallerIDString=#CID=1;TalkThrough=speaker");
}

void TestModemSetup::commandSet() {
    QFETCH(QString, store);
    QFETCH(QString, found);
    QFETCH(QString, chosen);
    QFETCH(QString, opens);
    QFETCH(QString, stores);
    PhoneLine line;
    writeModemEntries(line.store(), store);
    line.shared.Voice.detected = !found.isEmpty();
    line.shared.Voice.set = found.startsWith(Settings::V253) ? ModemVoice::Set::V253 : ModemVoice::Set::Rockwell;
    line.shared.Voice.selections = {{1, found.section(QLatin1Char(':'), 1)}};
    ModemSetup setup(line.services);
    SetupChoices shown = setup.Form_Load();
    QCOMPARE(QStringList({shown.commandSet, shown.intString, shown.callerIdString,
                          QString::number(shown.talkThroughApplies), QString::number(shown.speakerphoneListed)})
                 .join(QLatin1Char('|')),
             opens);
    for (const QString& set : chosen.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        shown = setup.cboCommandSet_Click(set, shown);
    }
    setup.cmdExit_Click(shown);
    QStringList written;
    for (const Settings::Key* key : {&Settings::CommandSet, &Settings::IntString, &Settings::CallerIDString,
                                     &Settings::V253IntString, &Settings::V253CallerIDString, &Settings::TalkThrough}) {
        if (line.store().contains(*key)) {
            written << key->name + QLatin1Char('=') + line.store().read(*key);
        }
    }
    QCOMPARE(written.join(QLatin1Char(';')), stores);
    QCOMPARE(line.shared.V253IntString, line.store().read(Settings::V253IntString, Settings::Reader::Setup));
}

QTEST_MAIN(TestModemSetup)
#include "tst_modemsetup.moc"
