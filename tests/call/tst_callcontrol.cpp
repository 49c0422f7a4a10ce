#include "ModemLine.h"
#include "call/AudioControls.h"
#include "call/CallControl.h"
#include "console/frmPhone.h"
#include "modem/SerialControl.h"
#include "platform/Controls.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

// Send and End against a modem played over a real pseudo-terminal: the exact bytes, the waits
// between them (program time), and what the window shows.
class TestCallControl : public QObject {
    Q_OBJECT
private slots:
    void dialling_data();
    void dialling();
    void serviceCodeIsNotRemembered();
    void answeringWithAnEmptyDisplay();
    void incomingCall_data();
    void incomingCall();
    void sendWhileDetached_data();
    void sendWhileDetached();
    void ending_data();
    void ending();
    void endSendsTheCompleteInitialisationLine_data();
    void endSendsTheCompleteInitialisationLine();
    void dialInterrupted_data();
    void dialInterrupted();
    void sendAgainWhileWaitingSetsTheSpeakerOnce();
    void speakerWaitsForThisCallsConnection();
    void sendWhileEndHangsUpIsIgnored();
    void lostModemEndsTheCall_data();
    void lostModemEndsTheCall();
    void nothingStartsWhileTheLineCloses_data();
    void nothingStartsWhileTheLineCloses();
    void callRingingInDuringEndIsAnswered_data();
    void callRingingInDuringEndIsAnswered();
    void sendAgainKeepsTheConnectedCall();
};

namespace {

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);
const QByteArray Prefix("AT#VRN=0\r");
const QByteArray Dial("ATDT5551234\r");
const QByteArray HangUp("ATH\r");
const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");
const QByteArray Ata("ATA\r");
const QByteArray Vcon("\r\nVCON\r\n");
const QByteArray Report("\r\nRING\r\n\r\nDATE = 1207\r\nTIME = 1205\r\nNMBR = 4075551212\r\nNAME = SMITH,JOHN\r\n");

// The modem connects the call `seconds` (program time) after the dial line has arrived.
void connectAfter(ModemLine& line, const QByteArray& dialLine, double seconds, double* vconSentAt) {
    line.when(dialLine, [&line, seconds, vconSentAt] {
        QTimer::singleShot(line.rig.clock.realMilliseconds(seconds), &line,
                           [&line, vconSentAt] { *vconSentAt = line.send(Vcon); });
    });
}

// What a call in use shows: the status and the lit lamp.
bool showsInUse(const frmPhone& phone) {
    return phone.txtStatus->text() == QLatin1String("In Use") && phone.picInuse[1]->isVisible() &&
           !phone.picInuse[0]->isVisible();
}

} // namespace

void TestCallControl::dialling_data() {
    QTest::addColumn<QString>("disCID");
    QTest::addColumn<QString>("disCW");
    QTest::addColumn<int>("speaker");
    QTest::addColumn<QByteArray>("dialLine");
    QTest::newRow("plain") << "False"
                           << "False" << 5 << QByteArray("ATDT5551234\r");
    QTest::newRow("caller ID blocked") << "True"
                                       << "False" << 0 << QByteArray("ATDT*67,5551234\r");
    QTest::newRow("call waiting off") << "False"
                                      << "True" << 15 << QByteArray("ATDT*70,5551234\r");
    QTest::newRow("both") << "True"
                          << "True" << 9 << QByteArray("ATDT*67,*70,5551234\r");
}

void TestCallControl::dialling() {
    QFETCH(QString, disCID);
    QFETCH(QString, disCW);
    QFETCH(int, speaker);
    QFETCH(QByteArray, dialLine);
    ModemLine line;
    line.rig.store().write(Settings::Modem, QStringLiteral("DisCID"), disCID);
    line.rig.store().write(Settings::Modem, QStringLiteral("DisCW"), disCW);
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    phone.Slider1->setValue(speaker);
    phone.txtNumberIn->setText(QStringLiteral("555-0000"));
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    line.answer(Prefix, "\r\nOK\r\n");
    double vconAt = -1;
    connectAfter(line, dialLine, 3, &vconAt); // a few rings before the far end picks up

    QTest::keyClick(&phone, Qt::Key_Return);

    const QByteArray speakerLine = "AT#SPK=," + QByteArray::number(speaker) + ",,\r";
    QVERIFY(line.pty.waitForCount(Prefix.size() + dialLine.size() + speakerLine.size()));
    QCOMPARE(line.pty.received(), Prefix + dialLine + speakerLine);
    QCOMPARE(line.writes.size(), 3); // nothing else, not even while waiting for the connection
    QVERIFY(line.writtenAt(dialLine) - line.writtenAt(Prefix) >= 1.0);
    QVERIFY(vconAt > line.writtenAt(dialLine));
    QVERIFY(line.writtenAt(speakerLine) - vconAt >= 0.5); // the receive handler lets it settle
    QCOMPARE(line.rig.store().read(Settings::Modem, QStringLiteral("LastDialed")), QStringLiteral("5551234"));
    QVERIFY(showsInUse(phone));
    QCOMPARE(phone.txtNumberOut->text(), QStringLiteral("5551234")); // the display keeps the number
    QCOMPARE(phone.txtNumberIn->text(), QString());
    QVERIFY(line.rig.shared.CallActive);
    QVERIFY(phone.state.VoiceConnected);
    QVERIFY(line.rig.messages.boxes.isEmpty());
}

void TestCallControl::serviceCodeIsNotRemembered() {
    ModemLine line;
    line.rig.store().write(Settings::Modem, QStringLiteral("LastDialed"), QStringLiteral("5551234"));
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    double vconAt = -1;
    connectAfter(line, "ATDT*69\r", 1, &vconAt);
    phone.calls().placeServiceCall(QStringLiteral("*69"));
    QVERIFY(line.pty.waitForCount(Prefix.size() + 8 + 12));
    QCOMPARE(line.pty.received(), Prefix + "ATDT*69\r" + "AT#SPK=,5,,\r");
    QCOMPARE(line.rig.store().read(Settings::Modem, QStringLiteral("LastDialed")), QStringLiteral("5551234"));
    QVERIFY(line.rig.shared.CallActive);
}

void TestCallControl::answeringWithAnEmptyDisplay() {
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    QVERIFY(line.pty.waitForCount(Ata.size()));
    QCOMPARE(line.pty.received(), Ata);
    QVERIFY(line.rig.shared.CallActive);
    QVERIFY(!phone.state.IncomingCall);
    QVERIFY(showsInUse(phone));
    QVERIFY(!line.rig.store().contains(Settings::Modem, QStringLiteral("LastDialed")));
}

void TestCallControl::incomingCall_data() {
    QTest::addColumn<QString>("autoAns");
    QTest::addColumn<QString>("display"); // txtNumberOut when the call comes in
    QTest::addColumn<QString>("press");   // what the user presses while the report is shown
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("active");
    QTest::newRow("Send answers although a number is shown") << "False"
                                                             << "5551234"
                                                             << "send" << Ata << true;
    QTest::newRow("Send answers once, not again automatically") << "True"
                                                                << "5551234"
                                                                << "send" << Ata << true;
    QTest::newRow("End turns the call down") << "True"
                                             << ""
                                             << "end" << HangUp + Init << false;
}

void TestCallControl::incomingCall() {
    QFETCH(QString, autoAns);
    QFETCH(QString, display);
    QFETCH(QString, press);
    QFETCH(QByteArray, written);
    QFETCH(bool, active);
    ModemLine line;
    line.rig.store().write(Settings::Modem, QStringLiteral("AutoAns"), autoAns);
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    phone.txtNumberOut->setText(display);
    QObject scope;
    // The user reacts once the caller is shown, while the call waits to be answered.
    connect(phone.txtName, &QLineEdit::textChanged, &scope, [&](const QString& name) {
        if (name == QLatin1String("JOHN SMITH")) {
            QTimer::singleShot(0, &scope, [&] {
                QTest::mouseClick(press == QLatin1String("send") ? phone.cmdSend : phone.cmdEnd, Qt::LeftButton);
            });
        }
    });

    line.send(Report);
    QTRY_VERIFY(line.handled > 0);
    QVERIFY(line.pty.waitForCount(written.size()));
    QTest::qWait(line.rig.clock.realMilliseconds(1)); // nothing more comes: no second answer
    QCOMPARE(line.pty.received(), written);
    QCOMPARE(line.rig.shared.CallActive, active);
    QVERIFY(!phone.state.IncomingCall);
}

void TestCallControl::sendWhileDetached_data() {
    QTest::addColumn<QString>("display");
    QTest::addColumn<bool>("serviceCode");
    QTest::newRow("number in the display") << "5551234" << false;
    QTest::newRow("empty display") << "" << false;
    QTest::newRow("service code") << "" << true;
}

void TestCallControl::sendWhileDetached() {
    QFETCH(QString, display);
    QFETCH(bool, serviceCode);
    Pty pty;
    PhoneRig rig;
    rig.storeModem(pty.devicePath(), false);
    rig.load();
    frmPhone& phone = rig.phone();
    QVERIFY(!phone.comModem->portOpen());
    phone.txtNumberOut->setText(display);
    if (serviceCode) {
        phone.calls().placeServiceCall(QStringLiteral("*69"));
    } else {
        QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    }
    QCOMPARE(rig.messages.boxes.size(), 1);
    QCOMPARE(rig.messages.boxes.first().title, QStringLiteral("Brisvane"));
    QCOMPARE(rig.messages.boxes.first().icon, MessageBoxes::Icon::Warning);
    QVERIFY(rig.messages.boxes.first().text.contains(QStringLiteral("not attached")));
    QVERIFY(!rig.shared.CallActive);
    QVERIFY(!phone.state.IncomingCall);
    QVERIFY(phone.picInuse[0]->isVisible());
    QCOMPARE(phone.txtStatus->text(), QString());
    QCOMPARE(phone.txtNumberOut->text(), display);
    QVERIFY(!rig.store().contains(Settings::Modem, QStringLiteral("LastDialed")));
    QTest::qWait(50);
    QCOMPARE(pty.received(), QByteArray());
}

void TestCallControl::ending_data() {
    QTest::addColumn<QString>("situation");
    QTest::newRow("idle") << "idle";
    QTest::newRow("held call") << "held";
    QTest::newRow("muted call") << "muted";
    QTest::newRow("after an out-of-area report") << "out of area";
    QTest::newRow("port closed during the call") << "detached";
}

void TestCallControl::ending() {
    QFETCH(QString, situation);
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    PhoneState& state = phone.state;
    if (situation == QLatin1String("out of area")) {
        line.send("\r\nNMBR = O\r\n");
        QTRY_VERIFY(line.handled > 0);
        QCOMPARE(phone.txtName->textColor(), Red);
    } else if (situation != QLatin1String("idle")) {
        QTest::mouseClick(phone.cmdSend, Qt::LeftButton); // answers: the display is empty
        QVERIFY(line.rig.shared.CallActive);
        line.send(Vcon);
        QTRY_VERIFY(state.VoiceConnected);
        if (situation == QLatin1String("held")) {
            state.OnHold = true;
            phone.cmdHold->setCaptionColor(Red);
            phone.txtStatus->setText(QStringLiteral("HOLD"));
        } else if (situation == QLatin1String("muted")) {
            state.Muted = true;
            phone.cmdMute->setCaptionColor(Red);
            phone.txtStatus->setText(QStringLiteral("MUTE"));
        } else {
            phone.cmdOnOff->click();
            QVERIFY(!phone.comModem->portOpen());
        }
    }
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    phone.txtNumberIn->setText(QStringLiteral("555-1212"));
    phone.Slider2->setValue(3);
    line.pty.clearReceived();
    line.writes.clear();
    QSignalSpy ended(&phone.calls(), &CallControl::callEnded);

    QTest::mouseClick(phone.cmdEnd, Qt::LeftButton);

    QCOMPARE(ended.size(), 1);
    for (DisplayBox* box : {phone.txtNumberOut, phone.txtNumberIn, phone.txtName, phone.txtStatus}) {
        QCOMPARE(box->text(), QString());
    }
    QCOMPARE(phone.txtName->textColor(), Green);
    QCOMPARE(phone.txtNumberIn->textColor(), Green);
    QVERIFY(phone.picInuse[0]->isVisible());
    QVERIFY(!phone.picInuse[1]->isVisible());
    QVERIFY(!line.rig.shared.CallActive);
    QVERIFY(!state.IncomingCall);
    QVERIFY(!state.OnHold);
    QVERIFY(!state.Muted);
    QVERIFY(!state.VoiceConnected);
    QCOMPARE(state.ModemText, QString());
    QCOMPARE(phone.Slider2->value(), 1);
    QCOMPARE(phone.cmdHold->captionColor(), Black);
    QCOMPARE(phone.cmdMute->captionColor(), Black);
    QVERIFY(line.rig.messages.boxes.isEmpty());
    if (situation == QLatin1String("detached")) {
        QVERIFY(line.writes.isEmpty());
    } else {
        QVERIFY(line.pty.waitForCount(HangUp.size() + Init.size()));
        QCOMPARE(line.pty.received(), HangUp + Init);
        QVERIFY(line.writtenAt(Init) - line.writtenAt(HangUp) >= 2.0);
    }
}

void TestCallControl::endSendsTheCompleteInitialisationLine_data() {
    QTest::addColumn<QString>("intString");      // what IntString holds when End is pressed
    QTest::addColumn<QString>("storedCallerId"); // "CallerID" in the store by then
    QTest::addColumn<QByteArray>("init");
    QTest::newRow("bare string left by Setup") << "AT#CLS=8#VLS=6"
                                               << "True" << Init;
    QTest::newRow("caller ID switched off since") << "AT#CLS=8#VLS=6"
                                                  << "False" << QByteArray("AT#CLS=8#VLS=6\r");
}

void TestCallControl::endSendsTheCompleteInitialisationLine() {
    QFETCH(QString, intString);
    QFETCH(QString, storedCallerId);
    QFETCH(QByteArray, init);
    ModemLine line;
    QVERIFY(line.attach());
    line.rig.shared.IntString = intString;
    line.rig.store().write(Settings::Modem, QStringLiteral("CallerID"), storedCallerId);
    QTest::mouseClick(line.phone().cmdEnd, Qt::LeftButton);
    QVERIFY(line.pty.waitForCount(HangUp.size() + init.size()));
    QCOMPARE(line.pty.received(), HangUp + init);
}

void TestCallControl::dialInterrupted_data() {
    QTest::addColumn<QByteArray>("trigger"); // the line after which it happens
    QTest::addColumn<QString>("what");
    QTest::addColumn<bool>("dialled");
    QTest::newRow("End during the one-second wait") << Prefix << "end" << false;
    QTest::newRow("End while waiting for the connection") << Dial << "end" << true;
    QTest::newRow("modem detached while waiting") << Dial << "detach" << true;
    QTest::newRow("modem vanished while waiting") << Dial << "vanish" << true;
    QTest::newRow("window closed while waiting") << Dial << "close" << true;
}

void TestCallControl::dialInterrupted() {
    QFETCH(QByteArray, trigger);
    QFETCH(QString, what);
    QFETCH(bool, dialled);
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    line.when(trigger, [&] {
        if (what == QLatin1String("end")) {
            QTest::mouseClick(phone.cmdEnd, Qt::LeftButton);
        } else if (what == QLatin1String("detach")) {
            phone.cmdOnOff->click();
        } else if (what == QLatin1String("vanish")) {
            line.pty.closeMaster();
        } else {
            phone.close();
        }
    });

    // Returns: the wait for the connection has ended without it.
    QTest::mouseClick(phone.cmdSend, Qt::LeftButton);

    if (phone.comModem->portOpen()) {
        // A connection reported now belongs to no dial: nobody sets the speaker for it.
        line.send(Vcon);
        QTRY_VERIFY(phone.state.VoiceConnected);
    }
    if (what == QLatin1String("end")) {
        QVERIFY(line.pty.waitForReceived(HangUp + Init));
        QVERIFY(line.pty.received().endsWith(HangUp + Init));
        QVERIFY(!line.rig.shared.CallActive);
    }
    QVERIFY(!line.pty.received().contains("AT#SPK"));
    QCOMPARE(line.pty.received().contains(Dial), dialled);
}

void TestCallControl::sendAgainWhileWaitingSetsTheSpeakerOnce() {
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    // Send is pressed again while the first dial waits; only the second dial is connected.
    line.when(Dial, [&] {
        phone.txtNumberOut->setText(QStringLiteral("5559876"));
        QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    });
    double vconAt = -1;
    connectAfter(line, "ATDT5559876\r", 1, &vconAt);
    QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    QVERIFY(line.pty.waitForReceived("AT#SPK=,5,,\r"));
    QCOMPARE(line.pty.received(), Prefix + Dial + Prefix + "ATDT5559876\r" + "AT#SPK=,5,,\r");
    QCOMPARE(line.rig.store().read(Settings::Modem, QStringLiteral("LastDialed")), QStringLiteral("5559876"));
}

void TestCallControl::speakerWaitsForThisCallsConnection() {
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    // A connection of an earlier call that was never ended (the modem went away during it).
    line.send(Vcon);
    QTRY_VERIFY(phone.state.VoiceConnected);
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    double vconAt = -1;
    connectAfter(line, Dial, 2, &vconAt);
    QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    QVERIFY(vconAt > 0);
    QVERIFY(line.writtenAt("AT#SPK=,5,,\r") - vconAt >= 0.5);
}

void TestCallControl::sendWhileEndHangsUpIsIgnored() {
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    line.when(HangUp, [&] {
        phone.txtNumberOut->setText(QStringLiteral("5551234"));
        QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    });
    QTest::mouseClick(phone.cmdEnd, Qt::LeftButton);
    QVERIFY(line.pty.waitForCount(HangUp.size() + Init.size()));
    QTest::qWait(line.rig.clock.realMilliseconds(2));
    QCOMPARE(line.pty.received(), HangUp + Init);
    QVERIFY(!line.rig.shared.CallActive);
    QVERIFY(phone.picInuse[0]->isVisible());
    QVERIFY(line.rig.messages.boxes.isEmpty());
}

void TestCallControl::lostModemEndsTheCall_data() {
    QTest::addColumn<QString>("situation");
    QTest::newRow("connected, held, muted, on the handset") << "connected";
    QTest::newRow("dialled, waiting for the connection") << "dialling";
    QTest::newRow("caller shown, waiting to be answered") << "ringing";
}

void TestCallControl::lostModemEndsTheCall() {
    QFETCH(QString, situation);
    ModemLine line;
    line.rig.store().write(Settings::Modem, QStringLiteral("AutoAns"), QStringLiteral("True"));
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    PhoneState& state = phone.state;
    QObject scope;
    if (situation == QLatin1String("connected")) {
        phone.txtNumberOut->setText(QStringLiteral("5551234"));
        line.answer(Dial, Vcon);
        QTest::mouseClick(phone.cmdSend, Qt::LeftButton); // returns once connected
        QVERIFY(state.VoiceConnected);
        for (CommandButton* button : {phone.cmdHold, phone.cmdMute, phone.cmdHandset}) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QVERIFY(state.OnHold && state.Muted);
        phone.Slider2->setValue(3);
        line.pty.closeMaster();
    } else if (situation == QLatin1String("dialling")) {
        phone.txtNumberOut->setText(QStringLiteral("5551234"));
        line.when(Dial, [&] { line.pty.closeMaster(); });
        QTest::mouseClick(phone.cmdSend, Qt::LeftButton); // returns: the wait has ended
    } else {
        connect(phone.txtName, &QLineEdit::textChanged, &scope, [&](const QString& name) {
            if (name == QLatin1String("JOHN SMITH")) {
                line.pty.closeMaster();
            }
        });
        line.send(Report);
    }
    QTRY_VERIFY(!line.rig.shared.ModemAttached);
    QTRY_COMPARE(line.rig.messages.boxes.size(), 1); // the loss, told once

    // The call is over, as End leaves it.
    QVERIFY(!line.rig.shared.CallActive);
    QVERIFY(!state.VoiceConnected);
    QVERIFY(!state.IncomingCall);
    QVERIFY(!state.OnHold);
    QVERIFY(!state.Muted);
    for (DisplayBox* box : {phone.txtNumberOut, phone.txtNumberIn, phone.txtName, phone.txtStatus}) {
        QCOMPARE(box->text(), QString());
    }
    QVERIFY(phone.picInuse[0]->isVisible());
    QVERIFY(!phone.picInuse[1]->isVisible());
    QCOMPARE(phone.Slider2->value(), 1);
    for (CommandButton* button : {phone.cmdHold, phone.cmdMute, phone.cmdHandset}) {
        QCOMPARE(button->captionColor(), Black);
    }

    // Plugged in again (a new device node) and attached with On/Off: an idle telephone, whose
    // keys, buttons and sliders send nothing, and no late answer for the caller.
    Pty again;
    line.rig.store().setPortDevice(1, again.devicePath());
    phone.cmdOnOff->click();
    QVERIFY(again.waitForReceived(Init));
    again.clearReceived();
    QTest::mouseClick(phone.cmdNumber[4], Qt::LeftButton);
    for (CommandButton* button : {phone.cmdHold, phone.cmdMute, phone.cmdFlash, phone.cmdHandset}) {
        QTest::mouseClick(button, Qt::LeftButton);
    }
    phone.Slider1->setValue(9);
    QTest::qWait(line.rig.clock.realMilliseconds(6));
    QVERIFY(!phone.comModem->output("AT\r"));
    QVERIFY(again.waitForReceived("AT\r"));
    QCOMPARE(again.received(), QByteArray("AT\r"));
    QVERIFY(!line.rig.shared.CallActive);
    QCOMPARE(line.rig.messages.boxes.size(), 1);
}

void TestCallControl::nothingStartsWhileTheLineCloses_data() {
    QTest::addColumn<QString>("closing"); // "detach" (On/Off) or "unload" (the window closes)
    QTest::addColumn<QString>("what");    // what the user or the modem does meanwhile
    QTest::newRow("Send during the detach") << "detach"
                                            << "send";
    QTest::newRow("Enter during the detach") << "detach"
                                             << "enter";
    QTest::newRow("a service code during the detach") << "detach"
                                                      << "service";
    QTest::newRow("a caller during the detach") << "detach"
                                                << "caller";
    QTest::newRow("Send during the unload") << "unload"
                                            << "send";
    QTest::newRow("a caller during the unload") << "unload"
                                                << "caller";
}

void TestCallControl::nothingStartsWhileTheLineCloses() {
    QFETCH(QString, closing);
    QFETCH(QString, what);
    ModemLine line;
    line.rig.store().write(Settings::Modem, QStringLiteral("AutoAns"), QStringLiteral("True"));
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    // Both send "ATZ" last, then wait with the port still open.
    line.when("ATZ\r", [&] {
        if (what == QLatin1String("send")) {
            QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
        } else if (what == QLatin1String("enter")) {
            QTest::keyClick(&phone, Qt::Key_Return);
        } else if (what == QLatin1String("service")) {
            QTest::mouseClick(phone.cmdLastCall, Qt::LeftButton);
        } else {
            line.send(Report);
        }
    });

    const double start = line.rig.clock.now();
    if (closing == QLatin1String("detach")) {
        phone.cmdOnOff->click();
    } else {
        phone.close();
    }
    const double took = line.rig.clock.now() - start;
    const double own = closing == QLatin1String("detach") ? 1 : 3;
    QVERIFY2(took >= own && took < own + 0.5, qPrintable(QString::number(took)));
    QVERIFY(!phone.comModem->portOpen());
    QTest::qWait(line.rig.clock.realMilliseconds(6)); // past a caller's five seconds
    QCOMPARE(line.pty.received(), closing == QLatin1String("detach") ? QByteArray("ATH\rATZ\r") : QByteArray("ATZ\r"));
    QVERIFY(!line.rig.shared.CallActive);
    QVERIFY(line.rig.messages.boxes.isEmpty());
}

void TestCallControl::callRingingInDuringEndIsAnswered_data() {
    QTest::addColumn<bool>("byUser"); // else automatically
    QTest::newRow("by Send") << true;
    QTest::newRow("automatically") << false;
}

void TestCallControl::callRingingInDuringEndIsAnswered() {
    QFETCH(bool, byUser);
    ModemLine line;
    line.rig.store().write(Settings::Modem, QStringLiteral("AutoAns"), Convert::fromBoolean(!byUser));
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    double reportAt = -1;
    line.when(HangUp, [&] { reportAt = line.send(Report); });

    QTest::mouseClick(phone.cmdEnd, Qt::LeftButton);

    // End takes its own two seconds, and the caller who rang in meanwhile is shown and waits.
    QVERIFY(line.writtenAt(Init) - line.writtenAt(HangUp) < 2.5);
    QCOMPARE(phone.txtName->text(), QStringLiteral("JOHN SMITH"));
    QCOMPARE(phone.txtNumberIn->text(), QStringLiteral("555-1212"));
    QVERIFY(phone.state.IncomingCall);
    if (byUser) {
        QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    }
    QVERIFY(line.pty.waitForReceived(Ata));
    QCOMPARE(line.pty.received(), HangUp + Init + Ata);
    if (!byUser) {
        QVERIFY(line.writtenAt(Ata) - reportAt >= 5.5);
    }
    QVERIFY(line.rig.shared.CallActive);
    QVERIFY(showsInUse(phone));
}

void TestCallControl::sendAgainKeepsTheConnectedCall() {
    ModemLine line;
    QVERIFY(line.attach());
    frmPhone& phone = line.phone();
    phone.txtNumberOut->setText(QStringLiteral("5551234"));
    line.answer(Dial, Vcon);
    QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    QVERIFY(phone.state.VoiceConnected);
    QVERIFY(line.pty.waitForReceived("AT#SPK=,5,,\r"));
    line.pty.clearReceived();

    // Send again in the connected call: the modem reports no new connection, and the call keeps
    // its controls until End.
    QTest::mouseClick(phone.cmdSend, Qt::LeftButton);
    QVERIFY(phone.state.VoiceConnected);
    phone.Slider1->setValue(7);
    phone.Slider2->setValue(2);
    phone.audio().Slider2_Click();
    QVERIFY(line.pty.waitForReceived("AT#SPK=,,2 \r"));
    QCOMPARE(line.pty.received(), Prefix + Dial + "AT#SPK=,5,,\r" + "AT#SPK=,7,,\r" + "AT#SPK=,,2 \r");
    QCOMPARE(phone.Slider2->value(), 2);
}

QTEST_MAIN(TestCallControl)
#include "tst_callcontrol.moc"
