#include "PhoneLine.h"
#include "ScriptedTransport.h"
#include "call/AudioControls.h"
#include "call/CallControl.h"
#include "call/Handset.h"
#include "call/NumberEntry.h"
#include "call/ServiceButtons.h"
#include "console/Phone.h"
#include "console/SettingsStore.h"
#include "modem/SerialControl.h"

#include <QSignalSpy>
#include <QTest>

// Send and End against a modem the test plays on a scripted line: the exact bytes, the waits
// between them (program time), and what the telephone shows.
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

using Box = PhoneView::Box;
using TextColor = PhoneView::TextColor;
using Light = PhoneView::Light;
using Latch = PhoneView::Latch;

constexpr int Enter = 13;
const QByteArray Prefix("AT#VRN=0\r");
const QByteArray Dial("ATDT5551234\r");
const QByteArray HangUp("ATH\r");
const QByteArray Init("AT#CLS=8#VLS=6#CID=1\r");
const QByteArray Ata("ATA\r");
const QByteArray Vcon("\r\nVCON\r\n");
const QByteArray Report("\r\nRING\r\n\r\nDATE = 1207\r\nTIME = 1205\r\nNMBR = 4075551212\r\nNAME = SMITH,JOHN\r\n");
const QString Caller = QStringLiteral("JOHN SMITH");

// The modem connects the call `seconds` (program time) after the dial line was written.
void connectAfter(PhoneLine& line, const QByteArray& dialLine, double seconds, double* vconSentAt) {
    line.when(dialLine, [&line, seconds, vconSentAt] {
        line.waiter.after(seconds, &line, [&line, vconSentAt] { *vconSentAt = line.send(Vcon); });
    });
}

// What a call in use shows: the status and the lit lamp.
bool showsInUse(const PhoneFace& face) {
    return face.text(Box::Status) == QLatin1String("In Use") && face.lit(Light::InUse);
}

// The caller's report is shown (and waits to be answered).
bool callerShown(PhoneLine& line) {
    return line.waitUntil([&line] { return line.phone().face().text(Box::Name) == Caller; }, 5);
}

// The telephone as End leaves it: no call, empty green displays, every latch released.
void checkAtRest(PhoneLine& line) {
    Phone& phone = line.phone();
    const PhoneFace& face = phone.face();
    for (Box box : {Box::NumberOut, Box::NumberIn, Box::Name, Box::Status}) {
        QCOMPARE(face.text(box), QString());
    }
    QCOMPARE(face.textColor(Box::Name), TextColor::Green);
    QCOMPARE(face.textColor(Box::NumberIn), TextColor::Green);
    QVERIFY(!face.lit(Light::InUse));
    for (Latch button : {Latch::Hold, Latch::Mute, Latch::Handset}) {
        QVERIFY(!face.latched(button));
    }
    QCOMPARE(face.microphoneGain(), 1);
    QVERIFY(!line.shared.CallActive);
    QVERIFY(!phone.state.IncomingCall);
    QVERIFY(!phone.state.OnHold);
    QVERIFY(!phone.state.Muted);
    QVERIFY(!phone.state.VoiceConnected);
    QVERIFY(!phone.handset().inUse());
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
    PhoneLine line;
    line.store().write(Settings::DisCID, disCID);
    line.store().write(Settings::DisCW, disCW);
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    face.setSpeakerLevel(speaker);
    face.setText(Box::NumberIn, QStringLiteral("555-0000"));
    face.setText(Box::NumberOut, QStringLiteral("5551234"));
    line.answer(Prefix, "\r\nOK\r\n");
    double vconAt = -1;
    connectAfter(line, dialLine, 3, &vconAt); // a few rings before the far end picks up

    // Returns once the call is connected.
    QVERIFY(phone.Form_KeyPress(Enter));

    const QByteArray speakerLine = "AT#SPK=," + QByteArray::number(speaker) + ",,\r";
    QCOMPARE(line.written(), Prefix + dialLine + speakerLine);
    QCOMPARE(line.writes.size(), 3); // nothing else, not even while waiting for the connection
    QVERIFY(line.writtenAt(dialLine) - line.writtenAt(Prefix) >= 1.0);
    QVERIFY(vconAt > line.writtenAt(dialLine));
    QVERIFY(line.writtenAt(speakerLine) - vconAt >= 0.5); // the receive handler lets it settle
    QCOMPARE(line.store().read(Settings::LastDialed), QStringLiteral("5551234"));
    QVERIFY(showsInUse(face));
    QCOMPARE(face.text(Box::NumberOut), QStringLiteral("5551234")); // the display keeps the number
    QCOMPARE(face.text(Box::NumberIn), QString());
    QVERIFY(line.shared.CallActive);
    QVERIFY(phone.state.VoiceConnected);
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestCallControl::serviceCodeIsNotRemembered() {
    PhoneLine line;
    line.store().write(Settings::LastDialed, QStringLiteral("5551234"));
    // The network takes a feature code only at the start of the dial string.
    line.store().write(Settings::DisCID, QStringLiteral("True"));
    line.store().write(Settings::DisCW, QStringLiteral("True"));
    QVERIFY(line.attach());
    double vconAt = -1;
    connectAfter(line, "ATDT*69\r", 1, &vconAt);
    QVERIFY(line.phone().calls().placeServiceCall(QStringLiteral("*69")));
    QCOMPARE(line.written(), Prefix + "ATDT*69\r" + "AT#SPK=,5,,\r");
    QCOMPARE(line.store().read(Settings::LastDialed), QStringLiteral("5551234"));
    QVERIFY(line.shared.CallActive);
}

void TestCallControl::answeringWithAnEmptyDisplay() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.calls().cmdSend_Click();
    QCOMPARE(line.written(), Ata);
    QVERIFY(line.shared.CallActive);
    QVERIFY(!phone.state.IncomingCall);
    QVERIFY(showsInUse(phone.face()));
    QVERIFY(!line.store().contains(Settings::LastDialed.section, Settings::LastDialed.name));
}

void TestCallControl::incomingCall_data() {
    QTest::addColumn<QString>("autoAns");
    QTest::addColumn<QString>("display"); // the number display when the call comes in
    QTest::addColumn<bool>("send");       // what the user presses while the report is shown: Send, else End
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<bool>("active");
    QTest::newRow("Send answers although a number is shown") << "False"
                                                             << "5551234" << true << Ata << true;
    QTest::newRow("Send answers once, not again automatically") << "True"
                                                                << "5551234" << true << Ata << true;
    QTest::newRow("End turns the call down") << "True"
                                             << "" << false << HangUp + Init << false;
}

void TestCallControl::incomingCall() {
    QFETCH(QString, autoAns);
    QFETCH(QString, display);
    QFETCH(bool, send);
    QFETCH(QByteArray, written);
    QFETCH(bool, active);
    PhoneLine line;
    line.store().write(Settings::AutoAns, autoAns);
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.face().setText(Box::NumberOut, display);

    line.send(Report);
    // The user reacts once the caller is shown, while the call waits to be answered.
    QVERIFY(callerShown(line));
    if (send) {
        phone.calls().cmdSend_Click();
    } else {
        phone.calls().cmdEnd_Click();
    }
    // Handled: the caller's five seconds are over, and with them any automatic answer.
    QVERIFY(line.waitUntil([&line] { return line.handled > 0; }));
    QCOMPARE(line.written(), written);
    QCOMPARE(line.shared.CallActive, active);
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
    PhoneLine line;
    line.storeModem(false);
    line.load();
    Phone& phone = line.phone();
    QVERIFY(!phone.comModem().portOpen());
    phone.face().setText(Box::NumberOut, display);
    if (serviceCode) {
        QVERIFY(!phone.calls().placeServiceCall(QStringLiteral("*69")));
    } else {
        phone.calls().cmdSend_Click();
    }
    QCOMPARE(line.messages.boxes.size(), 1);
    QCOMPARE(line.messages.boxes.first().title, QStringLiteral("Brisvane"));
    QCOMPARE(line.messages.boxes.first().icon, MessageBoxes::Icon::Warning);
    QVERIFY(line.messages.boxes.first().text.contains(QStringLiteral("not attached")));
    QVERIFY(!line.shared.CallActive);
    QVERIFY(!phone.state.IncomingCall);
    QVERIFY(!phone.face().lit(Light::InUse));
    QCOMPARE(phone.face().text(Box::Status), QString());
    QCOMPARE(phone.face().text(Box::NumberOut), display);
    QVERIFY(!line.store().contains(Settings::LastDialed.section, Settings::LastDialed.name));
    QVERIFY(line.writes.isEmpty());
    QVERIFY(line.modem()->writes.isEmpty());
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
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    if (situation == QLatin1String("out of area")) {
        line.send("\r\nNMBR = O\r\n");
        QVERIFY(line.waitUntil([&line] { return line.handled > 0; }));
        QCOMPARE(face.textColor(Box::Name), TextColor::Red);
    } else if (situation != QLatin1String("idle")) {
        phone.calls().cmdSend_Click(); // answers: the display is empty
        QVERIFY(line.shared.CallActive);
        line.send(Vcon);
        QVERIFY(line.waitUntil([&phone] { return phone.state.VoiceConnected; }));
        if (situation == QLatin1String("held")) {
            phone.audio().cmdHold_Click();
            QVERIFY(face.latched(Latch::Hold));
            QCOMPARE(face.text(Box::Status), QStringLiteral("HOLD"));
        } else if (situation == QLatin1String("muted")) {
            phone.audio().cmdMute_Click();
            QVERIFY(face.latched(Latch::Mute));
            QCOMPARE(face.text(Box::Status), QStringLiteral("MUTE"));
        } else {
            phone.cmdOnOff_Click();
            QVERIFY(!phone.comModem().portOpen());
        }
    }
    face.setText(Box::NumberOut, QStringLiteral("5551234"));
    face.setText(Box::NumberIn, QStringLiteral("555-1212"));
    face.setMicrophoneGain(3);
    line.clearWritten();
    QSignalSpy ended(&phone.calls(), &CallControl::callEnded);

    phone.calls().cmdEnd_Click();

    QCOMPARE(ended.size(), 1);
    checkAtRest(line);
    QCOMPARE(phone.state.ModemText, QString());
    QVERIFY(line.messages.boxes.isEmpty());
    if (situation == QLatin1String("detached")) {
        QVERIFY(line.writes.isEmpty());
    } else {
        QCOMPARE(line.written(), HangUp + Init);
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
    PhoneLine line;
    QVERIFY(line.attach());
    line.shared.IntString = intString;
    line.store().write(Settings::CallerID, storedCallerId);
    line.phone().calls().cmdEnd_Click();
    QCOMPARE(line.written(), HangUp + init);
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
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.face().setText(Box::NumberOut, QStringLiteral("5551234"));
    line.when(trigger, [&] {
        if (what == QLatin1String("end")) {
            phone.calls().cmdEnd_Click();
        } else if (what == QLatin1String("detach")) {
            phone.cmdOnOff_Click();
        } else if (what == QLatin1String("vanish")) {
            line.modem()->vanish();
        } else {
            QVERIFY(phone.queryUnload());
        }
    });

    // Returns: the wait for the connection has ended without it.
    phone.calls().cmdSend_Click();

    if (phone.comModem().portOpen()) {
        // A connection reported now belongs to no dial: nobody sets the speaker for it.
        line.send(Vcon);
        QVERIFY(line.waitUntil([&phone] { return phone.state.VoiceConnected; }));
    }
    const QByteArray all = line.written();
    if (what == QLatin1String("end")) {
        QVERIFY(all.endsWith(HangUp + Init));
        QVERIFY(!line.shared.CallActive);
    }
    QVERIFY(!all.contains("AT#SPK"));
    QCOMPARE(all.contains(Dial), dialled);
}

void TestCallControl::sendAgainWhileWaitingSetsTheSpeakerOnce() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.face().setText(Box::NumberOut, QStringLiteral("5551234"));
    // Send is pressed again while the first dial waits; only the second dial is connected.
    line.when(Dial, [&] {
        phone.face().setText(Box::NumberOut, QStringLiteral("5559876"));
        phone.calls().cmdSend_Click();
    });
    double vconAt = -1;
    connectAfter(line, "ATDT5559876\r", 1, &vconAt);
    phone.calls().cmdSend_Click();
    QCOMPARE(line.written(), Prefix + Dial + Prefix + "ATDT5559876\r" + "AT#SPK=,5,,\r");
    QCOMPARE(line.store().read(Settings::LastDialed), QStringLiteral("5559876"));
}

void TestCallControl::speakerWaitsForThisCallsConnection() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    // A connection of an earlier call that was never ended (the modem went away during it).
    line.send(Vcon);
    QVERIFY(line.waitUntil([&phone] { return phone.state.VoiceConnected; }));
    phone.face().setText(Box::NumberOut, QStringLiteral("5551234"));
    double vconAt = -1;
    connectAfter(line, Dial, 2, &vconAt);
    phone.calls().cmdSend_Click();
    QVERIFY(vconAt > 0);
    QVERIFY(line.writtenAt("AT#SPK=,5,,\r") - vconAt >= 0.5);
}

void TestCallControl::sendWhileEndHangsUpIsIgnored() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    line.when(HangUp, [&] {
        phone.face().setText(Box::NumberOut, QStringLiteral("5551234"));
        phone.calls().cmdSend_Click();
    });
    phone.calls().cmdEnd_Click();
    line.letPass(2); // nothing follows End either
    QCOMPARE(line.written(), HangUp + Init);
    QVERIFY(!line.shared.CallActive);
    QVERIFY(!phone.face().lit(Light::InUse));
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestCallControl::lostModemEndsTheCall_data() {
    QTest::addColumn<QString>("situation");
    QTest::newRow("connected, held, muted, on the handset") << "connected";
    QTest::newRow("dialled, waiting for the connection") << "dialling";
    QTest::newRow("caller shown, waiting to be answered") << "ringing";
}

void TestCallControl::lostModemEndsTheCall() {
    QFETCH(QString, situation);
    PhoneLine line;
    line.store().write(Settings::AutoAns, QStringLiteral("True"));
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    PhoneFace& face = phone.face();
    ScriptedTransport& modem = *line.modem();
    if (situation == QLatin1String("connected")) {
        face.setText(Box::NumberOut, QStringLiteral("5551234"));
        line.answer(Dial, Vcon);
        phone.calls().cmdSend_Click(); // returns once connected
        QVERIFY(phone.state.VoiceConnected);
        phone.audio().cmdHold_Click();
        phone.audio().cmdMute_Click();
        phone.handset().cmdHandset_Click();
        QVERIFY(phone.state.OnHold && phone.state.Muted && phone.handset().inUse());
        face.setMicrophoneGain(3);
        modem.vanish();
    } else if (situation == QLatin1String("dialling")) {
        face.setText(Box::NumberOut, QStringLiteral("5551234"));
        line.when(Dial, [&modem] { modem.vanish(); });
        phone.calls().cmdSend_Click(); // returns: the wait has ended
    } else {
        line.send(Report);
        QVERIFY(callerShown(line));
        modem.vanish();
    }
    QVERIFY(line.waitUntil([&line] { return !line.shared.ModemAttached; }));
    QVERIFY(line.waitUntil([&line] { return !line.messages.boxes.isEmpty(); }));
    QCOMPARE(line.messages.boxes.size(), 1); // the loss, told once
    QVERIFY(!face.lit(Light::Power));

    // The call is over, as End leaves it.
    checkAtRest(line);
    if (QTest::currentTestFailed()) {
        return;
    }

    // The same modem back and attached with On/Off: an idle telephone, whose keys, buttons and
    // sliders send nothing, and no late answer for the caller.
    line.clearWritten();
    phone.cmdOnOff_Click();
    QCOMPARE(line.written(), Init);
    QCOMPARE(modem.opened.size(), 2);
    QVERIFY(face.lit(Light::Power));
    line.clearWritten();
    phone.numberEntry().cmdNumber_Click(4);
    phone.audio().cmdHold_Click();
    phone.audio().cmdMute_Click();
    phone.audio().cmdFlash_Click();
    phone.handset().cmdHandset_Click();
    face.setSpeakerLevel(9);
    line.letPass(6); // past a caller's five seconds
    QCOMPARE(line.written(), QByteArray());
    QVERIFY(!phone.comModem().output("AT\r")); // the line itself works
    QCOMPARE(line.written(), QByteArray("AT\r"));
    QVERIFY(!line.shared.CallActive);
    QCOMPARE(line.messages.boxes.size(), 1);
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
    PhoneLine line;
    line.store().write(Settings::AutoAns, QStringLiteral("True"));
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.face().setText(Box::NumberOut, QStringLiteral("5551234"));
    // Both send "ATZ" last, then wait with the port still open.
    line.when("ATZ\r", [&] {
        if (what == QLatin1String("send")) {
            phone.calls().cmdSend_Click();
        } else if (what == QLatin1String("enter")) {
            phone.Form_KeyPress(Enter);
        } else if (what == QLatin1String("service")) {
            phone.serviceButtons().cmdLastCall_Click();
        } else {
            line.send(Report);
        }
    });

    const double start = line.clock.now();
    if (closing == QLatin1String("detach")) {
        phone.cmdOnOff_Click();
    } else {
        QVERIFY(phone.queryUnload());
    }
    const double took = line.clock.now() - start;
    const double own = closing == QLatin1String("detach") ? 1 : 3;
    QVERIFY2(took >= own && took < own + 0.5, qPrintable(QString::number(took)));
    QVERIFY(!phone.comModem().portOpen());
    line.letPass(6); // past a caller's five seconds
    QCOMPARE(line.written(), closing == QLatin1String("detach") ? QByteArray("ATH\rATZ\r") : QByteArray("ATZ\r"));
    QVERIFY(!line.shared.CallActive);
    QVERIFY(line.messages.boxes.isEmpty());
}

void TestCallControl::callRingingInDuringEndIsAnswered_data() {
    QTest::addColumn<bool>("byUser"); // else automatically
    QTest::newRow("by Send") << true;
    QTest::newRow("automatically") << false;
}

void TestCallControl::callRingingInDuringEndIsAnswered() {
    QFETCH(bool, byUser);
    PhoneLine line;
    line.store().write(Settings::AutoAns, Convert::fromBoolean(!byUser));
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    double reportAt = -1;
    line.when(HangUp, [&] { reportAt = line.send(Report); });

    phone.calls().cmdEnd_Click();

    // End takes its own two seconds, and the caller who rang in meanwhile is shown and waits.
    QVERIFY(line.writtenAt(Init) - line.writtenAt(HangUp) < 2.5);
    QCOMPARE(phone.face().text(Box::Name), Caller);
    QCOMPARE(phone.face().text(Box::NumberIn), QStringLiteral("555-1212"));
    QVERIFY(phone.state.IncomingCall);
    if (byUser) {
        phone.calls().cmdSend_Click();
    }
    QVERIFY(line.waitUntil([&line] { return line.writeCount(Ata) > 0; }));
    QCOMPARE(line.written(), HangUp + Init + Ata);
    if (!byUser) {
        QVERIFY(line.writtenAt(Ata) - reportAt >= 5.5);
    }
    QVERIFY(line.shared.CallActive);
    QVERIFY(showsInUse(phone.face()));
}

void TestCallControl::sendAgainKeepsTheConnectedCall() {
    PhoneLine line;
    QVERIFY(line.attach());
    Phone& phone = line.phone();
    phone.face().setText(Box::NumberOut, QStringLiteral("5551234"));
    line.answer(Dial, Vcon);
    phone.calls().cmdSend_Click();
    QVERIFY(phone.state.VoiceConnected);
    QCOMPARE(line.written(), Prefix + Dial + "AT#SPK=,5,,\r");
    line.clearWritten();

    // Send again in the connected call: the modem reports no new connection, and the call keeps
    // its controls until End.
    phone.calls().cmdSend_Click();
    QVERIFY(phone.state.VoiceConnected);
    phone.face().setSpeakerLevel(7);
    phone.audio().Slider2_Click(2);
    QCOMPARE(line.written(), Prefix + Dial + "AT#SPK=,5,,\r" + "AT#SPK=,7,,\r" + "AT#SPK=,,2 \r");
    QCOMPARE(phone.face().microphoneGain(), 2);
}

QTEST_GUILESS_MAIN(TestCallControl)
#include "tst_callcontrol.moc"
