#include "ModemEntries.h"
#include "WindowLine.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "console/frmPhone.h"
#include "modem/Waiter.h"
#include "platform/Twips.h"
#include "setup/frmSetup.h"
#include "windows/SideWindows.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTestEventLoop>
#include <QTimer>

// The modem setup dialog's window over its logic (ModemSetup, tested on its own): it shows what
// the opening returned, hands each click and what it shows to the logic, brings the main window
// back when it closes, and is opened from the main window once at a time.
class TestSetupDialog : public QObject {
    Q_OBJECT
private slots:
    void showsWhatTheOpeningReturned_data();
    void showsWhatTheOpeningReturned();
    void controlsReachTheLogic();
    void leavingBringsTheMainWindowBack_data();
    void leavingBringsTheMainWindowBack();
    void openedFromTheSetupMenuOnceAtATime();
    void firstStartOpensItAndExitLeavesTheModemDetached();
    void closedDuringAWait();
    void tooltipsDevicesAndFocusOrder();
    void commandSetSwapsTheStrings();
};

namespace {

template <typename T = QWidget> T* control(QWidget* dialog, const QString& name) {
    return dialog ? dialog->findChild<T*>(name) : nullptr;
}

QString indexed(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

frmSetup* openSetup(WindowLine& line) {
    line.control<QAction>(QStringLiteral("modem_setup"))->trigger();
    return line.window().sideWindows().setupDialog();
}

void click(QWidget* widget) {
    QVERIFY(widget);
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(4, widget->height() / 2));
}

QString text(QWidget* dialog, const char* name) {
    auto* box = control<QLineEdit>(dialog, QLatin1String(name));
    return box ? box->text() : QStringLiteral("<none>");
}

void setText(QWidget* dialog, const char* name, const QString& text) {
    control<QLineEdit>(dialog, QLatin1String(name))->setText(text);
}

bool checked(QWidget* dialog, const QString& name) {
    auto* button = control<QAbstractButton>(dialog, name);
    return button && button->isChecked();
}

QString stored(WindowLine& line, const Settings::Key& key) {
    return line.store().contains(key) ? line.store().read(key) : QStringLiteral("<absent>");
}

} // namespace

void TestSetupDialog::showsWhatTheOpeningReturned_data() {
    QTest::addColumn<QString>("store"); // key=text in "Modem", separated by ";"
    QTest::addColumn<bool>("inMemory"); // AutoAns, DisCID and DisCW
    QTest::addColumn<int>("option");    // the option checked, -1 none
    QTest::addColumn<QString>("intString");
    QTest::addColumn<QString>("callerIdString");
    QTest::addColumn<bool>("switchesChecked"); // chkAuto and chkCallerID
    QTest::newRow("empty store") << "" << false << 0 << "AT#CLS=8#VLS=6"
                                 << "#CID=1" << false;
    QTest::newRow("stored values") << "Port=3;IntString=AT&F;CallerIDString=#CID=2;CallerID=True;AutoOn=True" << true
                                   << 2 << "AT&F"
                                   << "#CID=2" << true;
    QTest::newRow("no option for the port, switches not exactly True")
        << "Port=7;CallerID=true;AutoOn=TRUE" << false << -1 << "AT#CLS=8#VLS=6"
        << "#CID=1" << false;
}

void TestSetupDialog::showsWhatTheOpeningReturned() {
    QFETCH(QString, store);
    QFETCH(bool, inMemory);
    QFETCH(int, option);
    QFETCH(QString, intString);
    QFETCH(QString, callerIdString);
    QFETCH(bool, switchesChecked);
    WindowLine line;
    writeModemEntries(line.store(), store);
    line.store().setPortDevice(2, QStringLiteral("/dev/ttyUSB0"));
    line.shared.AutoAns = inMemory;
    line.shared.DisCID = inMemory;
    line.shared.DisCW = inMemory;
    const QByteArray before = line.temp.readRaw();
    QPointer<frmSetup> setup = openSetup(line);
    QVERIFY(setup);
    QVERIFY(setup->isVisible());
    QVERIFY(!setup->isModal());
    QCOMPARE(setup->windowTitle(), QStringLiteral("Modem Setup"));
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(checked(setup, indexed("optPort", i)), i == option);
    }
    QCOMPARE(text(setup, "txtModem"), intString);
    QCOMPARE(text(setup, "txtCallerIDstring"), callerIdString);
    QCOMPARE(checked(setup, QStringLiteral("chkAuto")), switchesChecked);
    QCOMPARE(checked(setup, QStringLiteral("chkCallerID")), switchesChecked);
    QCOMPARE(checked(setup, QStringLiteral("chkAutoAns")), inMemory);
    QCOMPARE(checked(setup, QStringLiteral("chkDiscid")), inMemory);
    QCOMPARE(checked(setup, QStringLiteral("chkDisCW")), inMemory);
    const QStringList devices{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0"),
                              QStringLiteral("/dev/ttyS2"), QStringLiteral("/dev/ttyS3")};
    for (int i = 0; i < 4; ++i) {
        QCOMPARE(control<QComboBox>(setup, indexed("cboDevice", i))->currentText(), devices.at(i));
    }
    QCOMPARE(line.temp.readRaw(), before); // opening writes nothing
}

void TestSetupDialog::controlsReachTheLogic() {
    WindowLine line;
    QPointer<frmSetup> setup = openSetup(line);
    QVERIFY(setup);
    click(control(setup, indexed("optPort", 2)));
    QCOMPARE(line.shared.PortNumber, 3);
    click(control(setup, QStringLiteral("chkAuto")));
    QCOMPARE(line.shared.AutoOn, QStringLiteral("True"));
    click(control(setup, QStringLiteral("chkCallerID")));
    QCOMPARE(line.shared.CallerID, QStringLiteral("True"));
    click(control(setup, QStringLiteral("chkAutoAns")));
    QVERIFY(line.shared.AutoAns);
    click(control(setup, QStringLiteral("chkDiscid")));
    QVERIFY(line.shared.DisCID);
    click(control(setup, QStringLiteral("chkDisCW")));
    QVERIFY(line.shared.DisCW);

    // What the boxes show goes to Exit.
    setText(setup, "txtModem", QStringLiteral("ATZ"));
    setText(setup, "txtCallerIDstring", QStringLiteral(" #CID=2 "));
    auto* device = control<QComboBox>(setup, indexed("cboDevice", 1));
    device->lineEdit()->selectAll();
    QTest::keyClicks(device, QStringLiteral(" /dev/ttyACM0 "));
    click(control(setup, QStringLiteral("cmdExit")));
    QCOMPARE(stored(line, Settings::Port), QStringLiteral("3"));
    QCOMPARE(stored(line, Settings::IntString), QStringLiteral("ATZ"));
    QCOMPARE(stored(line, Settings::CallerIDString), QStringLiteral(" #CID=2 "));
    QCOMPARE(stored(line, Settings::AutoOn), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::CallerID), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::AutoAns), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::DisCID), QStringLiteral("True"));
    QCOMPARE(stored(line, Settings::DisCW), QStringLiteral("True"));
    QCOMPARE(line.store().portDevice(2), QStringLiteral("/dev/ttyACM0"));
    QVERIFY(!line.store().contains(Settings::portDevice(1)));
}

void TestSetupDialog::leavingBringsTheMainWindowBack_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("stores");
    QTest::newRow("Exit") << "exit" << true;
    QTest::newRow("Cancel") << "cancel" << false;
    QTest::newRow("Esc") << "esc" << false;
    QTest::newRow("close box") << "close" << false;
}

void TestSetupDialog::leavingBringsTheMainWindowBack() {
    QFETCH(QString, how);
    QFETCH(bool, stores);
    WindowLine line;
    line.store().write(Settings::IntString, QStringLiteral("AT&F#CLS=8"));
    line.phone();
    QVERIFY(!line.widget().isVisible());
    const QByteArray before = line.temp.readRaw();
    QPointer<frmSetup> setup = openSetup(line);
    QVERIFY(setup);
    setText(setup, "txtModem", QStringLiteral("edited"));
    click(control(setup, QStringLiteral("chkAutoAns")));
    QVERIFY(line.shared.AutoAns);

    if (how == QLatin1String("exit")) {
        click(control(setup, QStringLiteral("cmdExit")));
    } else if (how == QLatin1String("cancel")) {
        click(control(setup, QStringLiteral("cmdCancel")));
    } else if (how == QLatin1String("esc")) {
        QTest::keyClick(setup, Qt::Key_Escape);
    } else {
        QVERIFY(setup->close());
    }
    QTRY_VERIFY(!setup); // destroyed, not only hidden
    QVERIFY(line.widget().isVisible());
    QVERIFY(!QGuiApplication::overrideCursor());
    if (stores) {
        QCOMPARE(stored(line, Settings::IntString), QStringLiteral("edited"));
        QVERIFY(line.shared.AutoAns);
    } else {
        QCOMPARE(line.temp.readRaw(), before);
        QVERIFY(!line.shared.AutoAns); // the logic's Cancel ran
    }
}

void TestSetupDialog::openedFromTheSetupMenuOnceAtATime() {
    WindowLine line;
    QPointer<frmSetup> first = openSetup(line);
    QVERIFY(first);
    setText(first, "txtModem", QStringLiteral("typing"));
    QCOMPARE(openSetup(line), first.data()); // the open one comes to the front, edits and all
    QCOMPARE(text(first, "txtModem"), QStringLiteral("typing"));
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget* w) { return qobject_cast<frmSetup*>(w); }), 1);
    click(control(first, QStringLiteral("cmdCancel")));
    QTRY_VERIFY(!first);
    QPointer<frmSetup> second = openSetup(line);
    QVERIFY(second);
    QCOMPARE(text(second, "txtModem"), QStringLiteral("AT#CLS=8#VLS=6")); // made afresh from the store
}

void TestSetupDialog::firstStartOpensItAndExitLeavesTheModemDetached() {
    WindowLine line;
    line.store().setPortDevice(1, line.devicePath());
    line.load(); // nothing in "Modem": a first start
    QPointer<frmSetup> setup = line.window().sideWindows().setupDialog();
    QVERIFY(setup);
    QVERIFY(setup->isVisible());
    QVERIFY(line.widget().isVisible()); // shown again at the end of the load
    click(control(setup, QStringLiteral("chkAuto")));
    click(control(setup, QStringLiteral("cmdExit")));
    QCOMPARE(stored(line, Settings::AutoOn), QStringLiteral("True"));
    QTRY_VERIFY(!setup);
    QVERIFY(!line.shared.ModemAttached);
    QVERIFY(line.control(QStringLiteral("picPower_0"))->isVisible());
    QCOMPARE(line.written(), QByteArray());
}

void TestSetupDialog::closedDuringAWait() {
    WindowLine line;
    QPointer<frmSetup> setup = openSetup(line);
    QVERIFY(setup);
    // The user leaves the dialog while the telephone waits (a dial waiting for its connection,
    // End's pause): the wait's loop runs the click.
    bool hiddenWhileWaiting = false;
    bool clicked = false;
    QTimer::singleShot(0, setup, [&] {
        click(control(setup, QStringLiteral("cmdExit")));
        // By then the event loop has carried out whatever the close left for it.
        QTimer::singleShot(0, this, [&] {
            QTimer::singleShot(0, this, [&] {
                hiddenWhileWaiting = setup && setup->isHidden();
                clicked = true;
            });
        });
    });
    QCOMPARE(line.waiter.waitUntil([&] { return clicked; }, 10), Waiter::Result::Done);
    QVERIFY(hiddenWhileWaiting); // kept while the wait runs
    QCOMPARE(stored(line, Settings::IntString), QStringLiteral("AT#CLS=8#VLS=6"));
    QVERIFY(line.widget().isVisible());
    // Back in the main loop, once it has nothing left to do, it goes.
    if (setup) {
        connect(setup, &QObject::destroyed, &QTestEventLoop::instance(), &QTestEventLoop::exitLoop);
        QTestEventLoop::instance().enterLoop(10);
    }
    QVERIFY(!setup);
    QPointer<frmSetup> next = openSetup(line);
    QVERIFY(next);
    QVERIFY(next->isVisible());
}

void TestSetupDialog::tooltipsDevicesAndFocusOrder() {
    WindowLine line;
    frmSetup* setup = openSetup(line);
    QVERIFY(setup);
    QCOMPARE(control(setup, QStringLiteral("txtModem"))->toolTip(), QStringLiteral("Pleas Include the AT Prefix"));
    QCOMPARE(control(setup, QStringLiteral("txtCallerIDstring"))->toolTip(),
             QStringLiteral("Please Do Not Include the AT Prefix"));
    // The port devices add room below the design's frame, never beside or inside it.
    QVERIFY(control(setup, QStringLiteral("fraDevices"))->geometry().top() >=
            control(setup, QStringLiteral("SSFrame1"))->geometry().bottom());
    QVERIFY(setup->height() >= Twips::toPixels(frmSetup::DesignClientHeight));
    QCOMPARE(setup->width(), Twips::toPixels(frmSetup::DesignClientWidth));

    QList<QWidget*> expected;
    for (const QString& name : {QStringLiteral("txtModem"), indexed("optPort", 0), indexed("optPort", 1),
                                indexed("optPort", 2), indexed("optPort", 3), QStringLiteral("chkAuto"),
                                QStringLiteral("chkCallerID"), QStringLiteral("txtCallerIDstring"),
                                QStringLiteral("chkAutoAns"), QStringLiteral("cmdExit"), QStringLiteral("chkDiscid"),
                                QStringLiteral("cmdCancel"), QStringLiteral("chkDisCW"), indexed("cboDevice", 0)}) {
        QWidget* widget = control(setup, name);
        QVERIFY2(widget, qPrintable(name));
        expected << widget;
    }
    QList<QWidget*> chain;
    for (QWidget* w = expected.first(); chain.size() < expected.size(); w = w->nextInFocusChain()) {
        if (expected.contains(w) && !chain.contains(w)) {
            chain << w;
        }
    }
    QCOMPARE(chain, expected);
}

void TestSetupDialog::commandSetSwapsTheStrings() {
    WindowLine line;
    line.store().write(Settings::CommandSet, Settings::V253);
    line.shared.Voice.set = ModemVoice::Set::V253;
    line.shared.Voice.selections = {{1, QStringLiteral("MST")}};
    QPointer<frmSetup> setup = openSetup(line);
    click(control(setup, indexed("optTalkThrough", 0)));
    setText(setup, "txtModem", QStringLiteral("ATX"));
    QTest::keyClick(control(setup, QStringLiteral("cboCommandSet")), Qt::Key_Up); // Rockwell
    QCOMPARE(text(setup, "txtModem"), QStringLiteral("AT#CLS=8#VLS=6"));
    QVERIFY(!control(setup, indexed("optTalkThrough", 1))->isEnabled());
    click(control(setup, QStringLiteral("cmdExit")));
    QCOMPARE(stored(line, Settings::V253IntString), QStringLiteral("ATX")); // the set's typing, kept by the logic
    QCOMPARE(stored(line, Settings::CommandSet), Settings::Rockwell);
    QCOMPARE(stored(line, Settings::TalkThrough), Settings::Speakerphone);
    QCOMPARE(line.shared.TalkThrough, Settings::Speakerphone);
}

QTEST_MAIN(TestSetupDialog)
#include "tst_setupdialog.moc"
