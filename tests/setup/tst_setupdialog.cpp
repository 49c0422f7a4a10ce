#include "PhoneRig.h"
#include "Pty.h"
#include "console/frmPhone.h"
#include "modem/ModemLink.h"
#include "modem/SerialControl.h"
#include "modem/SerialError.h"
#include "platform/Controls.h"
#include "platform/Twips.h"
#include "setup/frmSetup.h"
#include "windows/SideWindows.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTest>

// The modem setup dialog as a user meets it: what it shows from the store, what Exit stores,
// and that Cancel, Esc and the close box store nothing.
class TestSetupDialog : public QObject {
    Q_OBJECT
private slots:
    void emptyStoreShowsDefaultsAndExitStoresThem();
    void portOptions_data();
    void portOptions();
    void switchesShowStoredTexts_data();
    void switchesShowStoredTexts();
    void clickedSwitchesAreStoredByExit();
    void leavingWithoutExitStoresNothing_data();
    void leavingWithoutExitStoresNothing();
    void exitStoresWhatTheDialogShows();
    void oneDialogAtATime();
    void firstStartOpensItAndExitLeavesTheModemDetached();
    void devicesOfThePorts();
    void designPlacesAndFocusOrder();
};

namespace {

const QString& M = Settings::Modem;

QString stored(PhoneRig& rig, const char* key) {
    return rig.store().read(M, QLatin1String(key), QStringLiteral("<absent>"));
}

frmSetup* openSetup(PhoneRig& rig) {
    frmPhone& phone = rig.phone();
    phone.modem_setup->trigger();
    return phone.sideWindows().setupDialog();
}

void click(QWidget* widget) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
}

} // namespace

void TestSetupDialog::emptyStoreShowsDefaultsAndExitStoresThem() {
    PhoneRig rig;
    rig.makePhone();
    QPointer<frmSetup> setup = openSetup(rig);
    QVERIFY(setup);
    QVERIFY(setup->isVisible());
    QVERIFY(!setup->isModal());
    QCOMPARE(setup->windowTitle(), QStringLiteral("Modem Setup"));
    QVERIFY(setup->optPort[0]->isChecked());
    QCOMPARE(setup->txtModem->text(), QStringLiteral("AT#CLS=8#VLS=6"));
    QCOMPARE(setup->txtCallerIDstring->text(), QStringLiteral("#CID=1"));
    for (QCheckBox* box : {setup->chkAuto, setup->chkCallerID, setup->chkAutoAns, setup->chkDiscid, setup->chkDisCW}) {
        QVERIFY2(!box->isChecked(), qPrintable(box->objectName()));
    }
    QCOMPARE(rig.temp.readRaw(), QByteArray()); // opening writes nothing

    click(setup->cmdExit);
    QCOMPARE(stored(rig, "Port"), QStringLiteral("1"));
    QCOMPARE(stored(rig, "IntString"), QStringLiteral("AT#CLS=8#VLS=6"));
    QCOMPARE(stored(rig, "AutoOn"), QStringLiteral("False"));
    QCOMPARE(stored(rig, "CallerID"), QString());
    QCOMPARE(stored(rig, "CallerIDString"), QStringLiteral("#CID=1"));
    QCOMPARE(stored(rig, "AutoAns"), QStringLiteral("False"));
    QCOMPARE(stored(rig, "DisCID"), QStringLiteral("False"));
    QCOMPARE(stored(rig, "DisCW"), QStringLiteral("False"));
    QVERIFY(!rig.temp.readRaw().contains("[Ports]")); // devices nobody changed are not written
    QVERIFY(rig.phone().isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    QTRY_VERIFY(!setup);
}

void TestSetupDialog::portOptions_data() {
    QTest::addColumn<QString>("storedPort"); // null: absent
    QTest::addColumn<int>("clicked");        // option clicked, -1 none
    QTest::addColumn<int>("shown");          // option selected at the opening, -1 none
    QTest::addColumn<QString>("exitStores");
    QTest::newRow("Comm 3 chosen") << QString() << 2 << 0 << "3";
    QTest::newRow("stored 4 kept") << "4" << -1 << 3 << "4";
    QTest::newRow("stored 2 with blanks") << " 2 " << -1 << 1 << "2";
    QTest::newRow("stored 7: no option, kept") << "7" << -1 << -1 << "7";
    QTest::newRow("stored 0: no option, kept") << "0" << -1 << -1 << "0";
    QTest::newRow("stored text: no option, kept") << "COM1" << -1 << -1 << "COM1";
    QTest::newRow("stored 7, Comm 2 chosen") << "7" << 1 << -1 << "2";
}

void TestSetupDialog::portOptions() {
    QFETCH(QString, storedPort);
    QFETCH(int, clicked);
    QFETCH(int, shown);
    QFETCH(QString, exitStores);
    PhoneRig rig;
    if (!storedPort.isNull()) {
        rig.store().write(M, QStringLiteral("Port"), storedPort);
    }
    rig.makePhone();
    frmSetup* setup = openSetup(rig);
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(setup->optPort[i]->isChecked(), i == shown);
    }
    if (clicked >= 0) {
        click(setup->optPort[clicked]);
        QCOMPARE(rig.shared.PortNumber, clicked + 1);
    }
    click(setup->cmdExit);
    QCOMPARE(stored(rig, "Port"), exitStores);
}

void TestSetupDialog::switchesShowStoredTexts_data() {
    QTest::addColumn<QString>("callerId");
    QTest::addColumn<QString>("autoOn");
    QTest::addColumn<bool>("callerIdChecked");
    QTest::addColumn<bool>("autoOnChecked");
    QTest::newRow("True") << "True"
                          << "True" << true << true;
    QTest::newRow("lower-case true") << "true"
                                     << "true" << false << false;
    QTest::newRow("upper-case TRUE") << "TRUE"
                                     << "TRUE" << false << false;
    QTest::newRow("False") << "False"
                           << "False" << false << false;
    QTest::newRow("with a blank") << "True "
                                  << " True" << false << false;
    QTest::newRow("empty") << ""
                           << "" << false << false;
}

void TestSetupDialog::switchesShowStoredTexts() {
    QFETCH(QString, callerId);
    QFETCH(QString, autoOn);
    QFETCH(bool, callerIdChecked);
    QFETCH(bool, autoOnChecked);
    PhoneRig rig;
    rig.store().write(M, QStringLiteral("CallerID"), callerId);
    rig.store().write(M, QStringLiteral("AutoOn"), autoOn);
    rig.makePhone();
    frmSetup* setup = openSetup(rig);
    QCOMPARE(setup->chkCallerID->isChecked(), callerIdChecked);
    QCOMPARE(setup->chkAuto->isChecked(), autoOnChecked);
    // Exit writes back what it holds: a text nobody clicked stays as it was.
    click(setup->cmdExit);
    QCOMPARE(stored(rig, "CallerID"), callerId);
    QCOMPARE(stored(rig, "AutoOn"), autoOn);
}

void TestSetupDialog::clickedSwitchesAreStoredByExit() {
    PhoneRig rig;
    rig.makePhone();
    // The three call switches show what is in memory, not what is stored.
    rig.store().write(M, QStringLiteral("DisCW"), QStringLiteral("True"));
    rig.shared.DisCW = false;
    rig.shared.DisCID = true;
    frmSetup* setup = openSetup(rig);
    QVERIFY(!setup->chkDisCW->isChecked());
    QVERIFY(setup->chkDiscid->isChecked());

    click(setup->chkAuto);
    click(setup->chkCallerID);
    click(setup->chkAutoAns);
    click(setup->chkDiscid);
    click(setup->chkDisCW);
    QCOMPARE(rig.shared.AutoOn, QStringLiteral("True"));
    QCOMPARE(rig.shared.CallerID, QStringLiteral("True"));
    QVERIFY(rig.shared.AutoAns);
    QVERIFY(!rig.shared.DisCID);
    QVERIFY(rig.shared.DisCW);
    setup->txtModem->setText(QStringLiteral("ATZ"));
    setup->txtCallerIDstring->setText(QStringLiteral(" #CID=2 ")); // stored exactly as typed
    click(setup->cmdExit);
    QCOMPARE(stored(rig, "AutoOn"), QStringLiteral("True"));
    QCOMPARE(stored(rig, "CallerID"), QStringLiteral("True"));
    QCOMPARE(stored(rig, "AutoAns"), QStringLiteral("True"));
    QCOMPARE(stored(rig, "DisCID"), QStringLiteral("False"));
    QCOMPARE(stored(rig, "DisCW"), QStringLiteral("True"));
    QCOMPARE(stored(rig, "IntString"), QStringLiteral("ATZ"));
    QCOMPARE(stored(rig, "CallerIDString"), QStringLiteral(" #CID=2 "));
    QCOMPARE(rig.shared.IntString, QStringLiteral("ATZ"));
}

void TestSetupDialog::leavingWithoutExitStoresNothing_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel") << "cancel";
    QTest::newRow("Esc") << "esc";
    QTest::newRow("close box") << "close";
}

void TestSetupDialog::leavingWithoutExitStoresNothing() {
    QFETCH(QString, how);
    PhoneRig rig;
    rig.store().write(M, QStringLiteral("IntString"), QStringLiteral("AT&F#CLS=8"));
    rig.store().write(M, QStringLiteral("CallerIDString"), QStringLiteral("#CID=2"));
    rig.makePhone();
    QVERIFY(!rig.phone().isVisible());
    const QByteArray before = rig.temp.readRaw();
    QPointer<frmSetup> setup = openSetup(rig);
    setup->txtModem->setText(QStringLiteral("edited"));
    setup->txtCallerIDstring->setText(QStringLiteral("edited too"));
    click(setup->optPort[3]);
    click(setup->chkAutoAns);
    click(setup->chkDiscid);
    click(setup->chkDisCW);
    setup->cboDevice[0]->setEditText(QStringLiteral("/dev/ttyACM0"));

    if (how == QLatin1String("cancel")) {
        click(setup->cmdCancel);
    } else if (how == QLatin1String("esc")) {
        QTest::keyClick(setup, Qt::Key_Escape);
    } else {
        QVERIFY(setup->close());
    }
    QTRY_VERIFY(!setup);
    QCOMPARE(rig.temp.readRaw(), before);
    QVERIFY(rig.phone().isVisible()); // brought back
    // Send and the caller-ID handling read these from memory: an abandoned edit is undone.
    QVERIFY(!rig.shared.AutoAns);
    QVERIFY(!rig.shared.DisCID);
    QVERIFY(!rig.shared.DisCW);

    setup = openSetup(rig);
    QCOMPARE(setup->txtModem->text(), QStringLiteral("AT&F#CLS=8"));
    QCOMPARE(setup->txtCallerIDstring->text(), QStringLiteral("#CID=2"));
    QVERIFY(setup->optPort[0]->isChecked());
    QCOMPARE(setup->cboDevice[0]->currentText(), QStringLiteral("/dev/ttyS0"));
}

void TestSetupDialog::exitStoresWhatTheDialogShows() {
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath(), false);
    rig.load();
    frmPhone& phone = rig.phone();
    QPointer<frmSetup> setup = openSetup(rig);
    QVERIFY(setup);
    click(setup->optPort[2]);
    click(setup->chkAuto);
    click(setup->chkAutoAns);
    click(setup->chkCallerID); // off
    // While the dialog is open, an attach reloads the port and the switches from the store, and
    // a port held by another program switches "AutoOn" off in memory.
    phone.cmdOnOff->click();
    QVERIFY(pty.waitForReceived("#CID=1\r"));
    QCOMPARE(rig.shared.PortNumber, 1);
    phone.modemLink().ModemError({ErrorNumber::PortAlreadyOpen, QStringLiteral("held")});
    QCOMPARE(rig.shared.AutoOn, QStringLiteral("False"));

    click(setup->cmdExit);
    QCOMPARE(stored(rig, "Port"), QStringLiteral("3"));
    QCOMPARE(stored(rig, "AutoOn"), QStringLiteral("True"));
    QCOMPARE(stored(rig, "AutoAns"), QStringLiteral("True"));
    QCOMPARE(stored(rig, "CallerID"), QStringLiteral("False"));
    QCOMPARE(rig.shared.PortNumber, 3);
    QVERIFY(rig.shared.AutoAns);
}

void TestSetupDialog::oneDialogAtATime() {
    PhoneRig rig;
    rig.makePhone();
    QPointer<frmSetup> first = openSetup(rig);
    first->txtModem->setText(QStringLiteral("typing"));
    QCOMPARE(openSetup(rig), first.data()); // the open one comes to the front, edits and all
    QCOMPARE(first->txtModem->text(), QStringLiteral("typing"));
    click(first->cmdCancel);
    QPointer<frmSetup> second = openSetup(rig);
    QVERIFY(second);
    QVERIFY(second != first.data());
    QCOMPARE(second->txtModem->text(), QStringLiteral("AT#CLS=8#VLS=6"));
}

void TestSetupDialog::firstStartOpensItAndExitLeavesTheModemDetached() {
    Pty pty;
    PhoneRig rig;
    rig.store().setPortDevice(1, pty.devicePath());
    rig.load(); // nothing in "Modem": a first start
    frmPhone& phone = rig.phone();
    QPointer<frmSetup> setup = phone.sideWindows().setupDialog();
    QVERIFY(setup);
    QVERIFY(setup->isVisible());
    QVERIFY(phone.isVisible()); // shown again at the end of the load
    click(setup->chkAuto);
    click(setup->cmdExit);
    QCOMPARE(stored(rig, "AutoOn"), QStringLiteral("True"));
    QCOMPARE(stored(rig, "IntString"), QStringLiteral("AT#CLS=8#VLS=6"));
    QTRY_VERIFY(!setup);
    QTest::qWait(50);
    QVERIFY(!rig.shared.ModemAttached);
    QVERIFY(!phone.comModem->portOpen());
    QVERIFY(phone.picPower[0]->isVisible());
    QCOMPARE(pty.received(), QByteArray());
}

void TestSetupDialog::devicesOfThePorts() {
    PhoneRig rig;
    rig.store().setPortDevice(3, QStringLiteral("/dev/serial/by-id/usb-Modem-if00"));
    rig.store().setPortDevice(4, QStringLiteral("/dev/ttyUSB1"));
    rig.makePhone();
    frmSetup* setup = openSetup(rig);
    QCOMPARE(setup->cboDevice[0]->currentText(), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(setup->cboDevice[1]->currentText(), QStringLiteral("/dev/ttyS1"));
    QCOMPARE(setup->cboDevice[2]->currentText(), QStringLiteral("/dev/serial/by-id/usb-Modem-if00"));
    QCOMPARE(setup->cboDevice[3]->currentText(), QStringLiteral("/dev/ttyUSB1"));

    setup->cboDevice[1]->lineEdit()->selectAll();
    QTest::keyClicks(setup->cboDevice[1], QStringLiteral(" /dev/ttyACM0 "));
    setup->cboDevice[3]->lineEdit()->clear(); // back to the port's usual device
    click(setup->cmdExit);
    QCOMPARE(rig.store().portDevice(1), QStringLiteral("/dev/ttyS0"));
    QVERIFY(!rig.store().contains(Settings::Ports, QStringLiteral("1")));
    QCOMPARE(rig.store().portDevice(2), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(rig.store().portDevice(3), QStringLiteral("/dev/serial/by-id/usb-Modem-if00"));
    QCOMPARE(rig.store().portDevice(4), QStringLiteral("/dev/ttyS3"));
}

void TestSetupDialog::designPlacesAndFocusOrder() {
    PhoneRig rig;
    rig.makePhone();
    frmSetup* setup = openSetup(rig);
    QCOMPARE(setup->txtModem->geometry(), Twips::rect(180, 570, 4755, 315));
    QCOMPARE(setup->txtModem->toolTip(), QStringLiteral("Pleas Include the AT Prefix"));
    QCOMPARE(setup->txtCallerIDstring->toolTip(), QStringLiteral("Please Do Not Include the AT Prefix"));
    QCOMPARE(setup->cmdCancel->geometry(), Twips::rect(2760, 3600, 1065, 375));
    // The port devices add room below the design's frame, never beside or inside it.
    QVERIFY(setup->fraDevices->geometry().top() >= setup->SSFrame1->geometry().bottom());
    QVERIFY(setup->height() >= Twips::toPixels(frmSetup::DesignClientHeight));
    QCOMPARE(setup->width(), Twips::toPixels(frmSetup::DesignClientWidth));

    const QList<QWidget*> expected{setup->txtModem,   setup->optPort[0],  setup->optPort[1],  setup->optPort[2],
                                   setup->optPort[3], setup->chkAuto,     setup->chkCallerID, setup->txtCallerIDstring,
                                   setup->chkAutoAns, setup->cmdExit,     setup->chkDiscid,   setup->cmdCancel,
                                   setup->chkDisCW,   setup->cboDevice[0]};
    QList<QWidget*> chain;
    for (QWidget* w = setup->txtModem; chain.size() < expected.size(); w = w->nextInFocusChain()) {
        if (expected.contains(w) && !chain.contains(w)) {
            chain << w;
        }
    }
    QCOMPARE(chain, expected);
}

QTEST_MAIN(TestSetupDialog)
#include "tst_setupdialog.moc"
